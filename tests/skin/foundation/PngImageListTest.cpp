// The PNG image list, image storage and image view: drawing with transparency and at half
// opacity, streaming the stored images, and the view's placement and reflection.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "skin/foundation/PngCodec.h"
#include "skin/foundation/PngImageList.h"
#include "tests/platform/vcl/VclTestSupport.h"
#include "tests/skin/foundation/PngTestSupport.h"

using namespace pngtest;

namespace {

constexpr TColor Back = RGB(0, 200, 0);

Byte Mix(Byte S, Byte A, Byte D) { return static_cast<Byte>((S * A + 255 + (255 - A) * D) >> 8); }

// A source colour of alpha A over D as the PNG drawing blends it.
TColor Mix(TColor S, Byte A, TColor D)
{
  if (A == 0) return D;
  if (A == 255) return S;
  return RGB(Mix(GetRValue(S), A, GetRValue(D)), Mix(GetGValue(S), A, GetGValue(D)), Mix(GetBValue(S), A, GetBValue(D)));
}

// A W x H bitmap filled with Back.
std::unique_ptr<TBitmap> Background(int W, int H)
{
  auto B = std::make_unique<TBitmap>(W, H, pf32bit);
  B->GetCanvas()->GetBrush()->SetColor(Back);
  B->GetCanvas()->FillRect(Rect(0, 0, W, H));
  return B;
}

TColor At(TBitmap& B, int X, int Y) { return GetPixel(B.GetCanvas()->GetHandle(), X, Y) & 0xFFFFFF; }

void Load(TskPngImage* Image, const pngtest::TPicture& P, const Bytes& Palette = "", const Bytes& Trns = "")
{
  TWriteOptions O;
  O.Palette = Palette;
  O.Transparency = Trns;
  LoadImage(*Image, WritePng(P, O));
  ASSERT_FALSE(Image->Empty());
}

// A W x H RGB picture whose pixel (x, y) is (x mod 256, y mod 256, 40 + x div 256).
pngtest::TPicture Gradient(int W, int H)
{
  pngtest::TPicture P{W, H, 2, 8, {}};
  for (int Y = 0; Y < H; ++Y) {
    std::vector<unsigned> Row;
    for (int X = 0; X < W; ++X) {
      Row.push_back(static_cast<unsigned>(X % 256));
      Row.push_back(static_cast<unsigned>(Y % 256));
      Row.push_back(static_cast<unsigned>(40 + X / 256));
    }
    P.Samples.push_back(Row);
  }
  return P;
}

TColor GradientAt(int X, int Y) { return RGB(X % 256, Y % 256, 40 + X / 256); }

}  // namespace

TEST(PngImageList, CellsFollowTheCollectionAndDrawWithTheirAlpha)
{
  TskPngImageList List(nullptr);
  List.SetPngWidth(4);
  List.SetPngHeight(4);
  TskPngImageItem* First = List.GetPngImages()->Add();
  TskPngImageItem* Second = List.GetPngImages()->Add();
  EXPECT_EQ("PngImage0", First->GetName());
  EXPECT_EQ("PngImage1", Second->GetDisplayName());
  EXPECT_EQ(2, List.GetCount());
  delete First;
  EXPECT_EQ(1, List.GetCount()) << "a deleted item takes its cell along";

  // A 2 x 2 picture with alpha, stretched to the 4 x 4 cell at (1, 1).
  Load(Second->GetPngImage(), pngtest::TPicture{2, 2, 6, 8, {{255, 0, 0, 255, 0, 0, 255, 0}, {10, 20, 30, 3, 90, 90, 90, 128}}});
  const TColor Colour[4] = {RGB(255, 0, 0), RGB(0, 0, 255), RGB(10, 20, 30), RGB(90, 90, 90)};
  const Byte Alpha[4] = {255, 0, 3, 128};
  const Byte Halved[4] = {128, 0, 2, 64};  // halves rounded to even
  for (bool Enabled : {true, false}) {
    auto B = Background(6, 6);
    List.Draw(B->GetCanvas(), 1, 1, 0, Enabled);
    for (int Y = 0; Y < 6; ++Y)
      for (int X = 0; X < 6; ++X) {
        const bool Inside = X >= 1 && X < 5 && Y >= 1 && Y < 5;
        const int K = Inside ? ((Y - 1) / 2) * 2 + (X - 1) / 2 : 0;
        const TColor Expected = Inside ? Mix(Colour[K], Enabled ? Alpha[K] : Halved[K], Back) : Back;
        EXPECT_EQ(Expected, At(*B, X, Y)) << "enabled " << Enabled << " at " << X << "," << Y;
      }
  }

  // A new cell size empties the collection, except while the list is being loaded.
  List.BeginLoad();
  List.SetPngWidth(8);
  EXPECT_EQ(1, List.GetPngImages()->GetCount());
  List.EndLoad();
  List.SetPngHeight(8);
  EXPECT_EQ(0, List.GetPngImages()->GetCount());
  EXPECT_EQ(0, List.GetCount());
  EXPECT_EQ(8, List.GetPngWidth());
  EXPECT_EQ(8, List.GetPngHeight());
}

TEST(PngImageList, DisabledImagesDrawAtHalfOpacity)
{
  const Bytes Palette("\xFF\x00\x00" "\x00\x00\xFF" "\x20\x40\x60", 9);
  const TColor Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), Dark = RGB(0x20, 0x40, 0x60), White = RGB(255, 255, 255);
  const struct {
    const char* What;
    pngtest::TPicture Picture;
    Bytes Palette, Trns;
    std::vector<std::pair<TColor, Byte>> Expected;  // colour and alpha per pixel
  } Cases[] = {
      {"RGB without alpha", {2, 1, 2, 8, {{255, 0, 0, 0, 0, 255}}}, "", "", {{Red, 128}, {Blue, 128}}},
      {"RGB with alpha", {3, 1, 6, 8, {{255, 0, 0, 255, 0, 0, 255, 1, 0, 0, 255, 0}}}, "", "",
       {{Red, 128}, {Blue, 0}, {Blue, 0}}},
      {"RGB with a key colour", {2, 1, 2, 8, {{255, 0, 0, 0, 0, 255}}}, "", Bytes("\0\0\0\0\0\xFF", 6),
       {{Red, 128}, {Blue, 0}}},
      {"2-bit grey with a key level", {4, 1, 0, 2, {{0, 1, 2, 3}}}, "", Bytes("\0\x01", 2),
       {{0, 127}, {RGB(85, 85, 85), 0}, {RGB(170, 170, 170), 127}, {White, 127}}},
      {"1-bit grey", {2, 1, 0, 1, {{0, 1}}}, "", "", {{0, 127}, {White, 127}}},
      {"palette with one key entry", {3, 1, 3, 8, {{0, 1, 2}}}, Palette, Bytes("\xFF\x00", 2),
       {{Red, 127}, {Blue, 0}, {Dark, 127}}},
      {"palette with alpha per entry", {3, 1, 3, 8, {{0, 1, 2}}}, Palette, Bytes("\x00\xFF\x80", 3),
       {{Red, 0}, {Blue, 127}, {Dark, 64}}},
  };
  for (const auto& C : Cases) {
    TskPngImage Image;
    Load(&Image, C.Picture, C.Palette, C.Trns);
    const int W = C.Picture.Width;
    auto B = Background(W, 1);
    DrawDisabled(&Image, B->GetCanvas(), Rect(0, 0, W, 1));
    for (int X = 0; X < W; ++X)
      EXPECT_EQ(Mix(C.Expected[X].first, C.Expected[X].second, Back), At(*B, X, 0)) << C.What << ", pixel " << X;
    EXPECT_EQ(C.Picture.ColorType, Image.Header()->ColorType) << C.What << ": the image itself is unchanged";
  }
  // Nothing to draw: no crash, nothing painted.
  TskPngImage Empty;
  auto B = Background(1, 1);
  DrawDisabled(&Empty, B->GetCanvas(), Rect(0, 0, 1, 1));
  DrawDisabled(nullptr, B->GetCanvas(), Rect(0, 0, 1, 1));
  EXPECT_EQ(Back, At(*B, 0, 0));
}

TEST(PngImageStorage, ImagesStreamAndDrawAtTheirOwnSize)
{
  TskPngImageStorage Storage(nullptr);
  TskPngStorageImageItem* Logo = Storage.GetPngImages()->Add();
  TskPngStorageImageItem* Small = Storage.GetPngImages()->Add();
  EXPECT_EQ("PngImage1", Small->GetName());
  Logo->SetName("Logo");
  Load(Logo->GetPngImage(), Gradient(37, 5));
  Load(Small->GetPngImage(), pngtest::TPicture{1, 2, 6, 8, {{1, 2, 3, 200}, {4, 5, 6, 0}}});
  EXPECT_EQ(37, Logo->GetPngWidth());
  EXPECT_EQ(5, Logo->GetPngHeight());

  // Written as a form writes them (name and image data), read into a new storage.
  std::vector<std::pair<String, Bytes>> Form;
  for (int I = 0; I < Storage.GetPngImages()->GetCount(); ++I) {
    TStringStream Data;
    Storage.GetPngImages()->GetItem(I)->WriteData(&Data);
    Form.emplace_back(Storage.GetPngImages()->GetItem(I)->GetName(), Data.GetDataString());
  }
  TskPngImageStorage Copy(nullptr);
  for (const auto& [Name, Data] : Form) {
    TskPngStorageImageItem* Item = Copy.GetPngImages()->Add();
    Item->SetName(Name);
    TStringStream In(Data);
    Item->ReadData(&In);
  }
  ASSERT_EQ(2, Copy.GetPngImages()->GetCount());
  EXPECT_EQ("Logo", Copy.GetPngImages()->GetItem(0)->GetDisplayName());
  for (int I = 0; I < 2; ++I) {
    TskPngImage* A = Storage.GetPngImages()->GetItem(I)->GetPngImage();
    TskPngImage* B = Copy.GetPngImages()->GetItem(I)->GetPngImage();
    ASSERT_EQ(A->GetWidth(), B->GetWidth());
    ASSERT_EQ(A->GetHeight(), B->GetHeight());
    for (int Y = 0; Y < A->GetHeight(); ++Y)
      for (int X = 0; X < A->GetWidth(); ++X) {
        EXPECT_EQ(A->GetPixel(X, Y), B->GetPixel(X, Y)) << I << ": " << X << "," << Y;
        if (A->AlphaRow(Y)) {
          EXPECT_EQ(A->AlphaRow(Y)[X], B->AlphaRow(Y)[X]);
        }
      }
  }

  // The collection setter copies names and pictures.
  TskPngImageStorage Assigned(nullptr);
  Assigned.SetPngImages(Copy.GetPngImages());
  EXPECT_EQ("Logo", Assigned.GetPngImages()->GetItem(0)->GetName());
  EXPECT_EQ(37, Assigned.GetPngImages()->GetItem(0)->GetPngWidth());

  // Each image at its own size and place; disabled at half opacity; other indexes draw nothing.
  auto B = Background(4, 4);
  Copy.DrawImage(1, B->GetCanvas(), 2, 1, true);
  Copy.DrawImage(1, B->GetCanvas(), 3, 1, false);
  Copy.DrawImage(2, B->GetCanvas(), 0, 0, true);
  Copy.DrawImage(-1, B->GetCanvas(), 0, 0, true);
  EXPECT_EQ(Back, At(*B, 2, 0));
  EXPECT_EQ(Mix(RGB(1, 2, 3), 200, Back), At(*B, 2, 1));
  EXPECT_EQ(Back, At(*B, 2, 2));
  EXPECT_EQ(Mix(RGB(1, 2, 3), 100, Back), At(*B, 3, 1));
  EXPECT_EQ(Back, At(*B, 2, 3));
  EXPECT_EQ(Back, At(*B, 0, 0));

  // Damaged data leaves an empty image that draws nothing.
  TStringStream Damaged(Form[0].second.substr(0, 8) + "garbage");
  Copy.GetPngImages()->GetItem(0)->ReadData(&Damaged);
  EXPECT_TRUE(Copy.GetPngImages()->GetItem(0)->GetPngImage()->Empty());
  auto Untouched = Background(2, 2);
  Copy.DrawImage(0, Untouched->GetCanvas(), 0, 0, true);
  EXPECT_EQ(Back, At(*Untouched, 1, 1));
}

TEST(PngImageView, ReflectionFadesRowByRow)
{
  // A 4 x 6 picture whose rows differ; opaque through an alpha plane or without one.
  const int W = 4, H = 6;
  const auto Picture = [&](bool WithAlpha) {
    pngtest::TPicture P{W, H, WithAlpha ? 6 : 2, 8, {}};
    for (int Y = 0; Y < H; ++Y) {
      std::vector<unsigned> Row;
      for (int X = 0; X < W; ++X) {
        for (unsigned S : {unsigned(30 * Y), 100u, 200u}) Row.push_back(S);
        if (WithAlpha) Row.push_back(255);
      }
      P.Samples.push_back(Row);
    }
    return P;
  };
  const auto RowColour = [](int Y) { return RGB(30 * Y, 100, 200); };
  const struct {
    bool WithAlpha;
    bool Enabled;
    int Divisor;
  } Cases[] = {{true, true, 3}, {false, true, 3}, {true, false, 4}, {false, false, 4}};
  for (const auto& C : Cases) {
    TskPngImageStorage Storage(nullptr);
    Load(Storage.GetPngImages()->Add()->GetPngImage(), Picture(C.WithAlpha));
    TskPngImageView View(nullptr);
    View.SetReflectionEffect(true);
    View.SetPngImageStorage(&Storage);
    View.SetImageIndex(0);
    View.SetEnabled(C.Enabled);
    EXPECT_EQ(W, View.GetWidth());
    EXPECT_EQ(H + H / 2 + 5, View.GetHeight()) << "room for the reflection";

    auto B = Background(View.GetWidth(), View.GetHeight());
    View.Perform(WM_PAINT, reinterpret_cast<WPARAM>(B->GetCanvas()->GetHandle()), 0);
    double F = 1.0;
    for (int Y = 0; Y < View.GetHeight(); ++Y) {
      TColor Expected = Back;
      if (Y < H) {
        Expected = Mix(RowColour(Y), C.Enabled ? 255 : 128, Back);
      } else if (Y < 2 * H) {
        // Mirrored: reflection row i shows picture row H - 1 - i with a fading alpha.
        const int I = Y - H;
        const long A = std::max(0L, std::lrint(F * 255) / C.Divisor);
        F -= 2.0 / H;
        std::uint32_t Src = (static_cast<std::uint32_t>(A) << 24) | ColorToRGB(RowColour(H - 1 - I));
        Src = (Src & 0xFF00FF00u) | ((Src & 0xFF) << 16) | ((Src >> 16) & 0xFF);  // COLORREF to pixel
        std::uint32_t Dst = 0xFF000000u | (GetRValue(Back) << 16) | (GetGValue(Back) << 8) | GetBValue(Back);
        BlendLine(&Src, &Dst, 1);
        Expected = RGB((Dst >> 16) & 0xFF, (Dst >> 8) & 0xFF, Dst & 0xFF);
      }
      for (int X = 0; X < W; ++X)
        EXPECT_EQ(Expected, At(*B, X, Y)) << "alpha plane " << C.WithAlpha << ", enabled " << C.Enabled << ", row " << Y;
    }

    // Turning the reflection off frees it and shrinks the view.
    View.SetReflectionEffect(false);
    EXPECT_EQ(H, View.GetHeight());
  }
}

class PngImageViewTest : public TVclWindowTest {
protected:
  void SetUp() override
  {
    // Share the headless display that earlier tests of this program may have created already.
    if (!VclDisplay()) VclDisplay() = dynamic_cast<THeadlessDisplay*>(&GetDisplayBackend());
    TVclWindowTest::SetUp();
  }
};

TEST_F(PngImageViewTest, AboutBoxViewCentresItsPictureOnTheFormBackground)
{
  TForm* Form = NewForm(50, 50, 640, 260);
  Form->SetColor(clWhite);
  auto* Storage = new TskPngImageStorage(Form);
  Load(Storage->GetPngImages()->Add()->GetPngImage(), Gradient(640, 194));
  auto* View = new TskPngImageView(Form);
  View->SetAlign(alTop);
  View->SetDoubleBuffered(true);
  View->SetCenter(true);
  View->SetPngImageStorage(Storage);
  View->SetImageIndex(0);
  int Clicks = 0;
  View->OnClick = [&](TObject*) { ++Clicks; };
  View->SetParent(Form);
  EXPECT_EQ(640, View->GetWidth());
  EXPECT_EQ(194, View->GetHeight());
  EXPECT_TRUE(View->GetControlStyle() & csOpaque) << "double-buffered views paint their whole rectangle";
  EXPECT_TRUE(View->GetControlStyle() & csReplicatable);

  // Taller than its picture: the picture sits at X 0, vertically centred (Y = 120 - 97).
  View->SetAutoSize(false);
  View->SetHeight(240);
  Form->Show();
  Pump();
  const struct {
    int X, Y;
    TColor Expected;
  } Cases[] = {
      {0, 23, GradientAt(0, 0)},        {639, 23, GradientAt(639, 0)},     {300, 120, GradientAt(300, 97)},
      {639, 216, GradientAt(639, 193)}, {0, 22, clWhite},                  {0, 217, clWhite},
      {5, 250, clWhite},
  };
  for (const auto& C : Cases) EXPECT_EQ(C.Expected, Pixel(Form, C.X, C.Y)) << C.X << "," << C.Y;

  // A click reaches the form's handler.
  SendMessageA(Form->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 30));
  SendMessageA(Form->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 30));
  EXPECT_EQ(1, Clicks);

  // Image -1 shows nothing; values below -1 are ignored.
  View->SetImageIndex(-1);
  View->SetImageIndex(-5);
  EXPECT_EQ(-1, View->GetImageIndex());
  Pump();
  EXPECT_EQ(clWhite, Pixel(Form, 0, 23));
  EXPECT_EQ(clWhite, Pixel(Form, 300, 120));

  // A storage that goes away is forgotten.
  View->SetImageIndex(0);
  delete Storage;
  EXPECT_EQ(nullptr, View->GetPngImageStorage());
  View->Invalidate();
  Pump();
  EXPECT_EQ(clWhite, Pixel(Form, 300, 120));
}

TEST(PngImageView, ListSourceAndMouseEvents)
{
  TskPngImageList List(nullptr);
  List.SetPngWidth(2);
  List.SetPngHeight(2);
  Load(List.GetPngImages()->Add()->GetPngImage(), pngtest::TPicture{1, 1, 6, 8, {{9, 8, 7, 255}}});
  TskPngImageView View(nullptr);
  View.SetPngImageList(&List);
  EXPECT_EQ(2, View.GetWidth()) << "the list's cell size even without an image chosen";
  View.SetAutoSize(false);
  View.SetBounds(0, 0, 6, 4);
  View.SetCenter(true);
  View.SetImageIndex(0);
  auto B = Background(6, 4);
  View.Perform(WM_PAINT, reinterpret_cast<WPARAM>(B->GetCanvas()->GetHandle()), 0);
  // The 1 x 1 picture stretched to the 2 x 2 cell at (2, 1).
  for (int Y = 0; Y < 4; ++Y)
    for (int X = 0; X < 6; ++X)
      EXPECT_EQ(X >= 2 && X < 4 && Y >= 1 && Y < 3 ? RGB(9, 8, 7) : Back, At(*B, X, Y)) << X << "," << Y;

  // Hover events only while enabled.
  int Enters = 0, Leaves = 0;
  View.OnMouseEnter = [&](TObject*) { ++Enters; };
  View.OnMouseLeave = [&](TObject*) { ++Leaves; };
  View.Perform(CM_MOUSEENTER, 0, 0);
  View.Perform(CM_MOUSELEAVE, 0, 0);
  View.SetEnabled(false);
  View.Perform(CM_MOUSEENTER, 0, 0);
  View.Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(1, Enters);
  EXPECT_EQ(1, Leaves);
}
