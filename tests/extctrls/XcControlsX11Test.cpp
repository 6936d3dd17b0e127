// The extended panels and speed buttons on a private X server: a player drawing into a panel's
// native window under overlay panels (the preview window's layout), and the gallery of the
// controls' looks. Both save a screenshot in the build folder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "extctrls/XcPanel.h"
#include "extctrls/XcSpeedButton.h"
#include "platform/display/Screenshot.h"
#include "platform/rtl/Files.h"
#include "platform/vcl/Menus.h"
#include "tests/support/XvfbChildRun.h"

extern char** environ;

namespace {

const String GalleryDir = String(QV_TEST_BIN_DIR) + "/../";

bool OnPath(const char* Tool)
{
  const char* Path = std::getenv("PATH");
  std::string Dirs = Path ? Path : "";
  std::size_t Start = 0;
  while (Start <= Dirs.size()) {
    const std::size_t End = Dirs.find(':', Start);
    const std::string Dir = Dirs.substr(Start, End == std::string::npos ? std::string::npos : End - Start);
    if (!Dir.empty() && access((Dir + "/" + Tool).c_str(), X_OK) == 0) return true;
    if (End == std::string::npos) break;
    Start = End + 1;
  }
  return false;
}

// Starts a program found on PATH with Args and the extra environment; answers its id (-1 on failure).
pid_t Start(const std::vector<std::string>& Args, const std::vector<std::string>& Env)
{
  std::vector<char*> Argv;
  for (const auto& A : Args) Argv.push_back(const_cast<char*>(A.c_str()));
  Argv.push_back(nullptr);
  std::vector<std::string> EnvCopy = Env;
  for (char** E = environ; *E; ++E) {
    const std::string Entry = *E;
    const std::string Name = Entry.substr(0, Entry.find('='));
    bool Replaced = false;
    for (const auto& X : Env) Replaced = Replaced || X.rfind(Name + "=", 0) == 0;
    if (!Replaced) EnvCopy.push_back(Entry);
  }
  std::vector<char*> Envp;
  for (const auto& E : EnvCopy) Envp.push_back(const_cast<char*>(E.c_str()));
  Envp.push_back(nullptr);
  posix_spawn_file_actions_t Actions;
  posix_spawn_file_actions_init(&Actions);
  posix_spawn_file_actions_addopen(&Actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&Actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&Actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t Pid = -1;
  const int Rc = posix_spawnp(&Pid, Argv[0], &Actions, nullptr, Argv.data(), Envp.data());
  posix_spawn_file_actions_destroy(&Actions);
  return Rc == 0 ? Pid : -1;
}

int RunToEnd(const std::vector<std::string>& Args)
{
  const pid_t Pid = Start(Args, {});
  if (Pid < 0) return -1;
  int Status = 0;
  waitpid(Pid, &Status, 0);
  return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
}

// A glyph: an arrow in Colour on the transparent fuchsia, Size x Size.
TBitmap* ArrowGlyph(int Size, TColor Colour, int Direction)
{
  auto* B = new TBitmap();
  B->SetPixelFormat(pf24bit);
  B->SetSize(Size, Size);
  TCanvas* C = B->GetCanvas();
  C->GetBrush()->SetColor(clFuchsia);
  C->FillRect(TRect(0, 0, Size, Size));
  C->GetBrush()->SetColor(Colour);
  C->GetPen()->SetColor(Colour);
  const int M = Size / 2, Q = Size / 4;
  std::vector<TPoint> P;
  switch (Direction) {
    case 0: P = {Point(M, Q), Point(Size - Q, Size - Q), Point(Q, Size - Q)}; break;   // up
    case 1: P = {Point(Q, Q), Point(Size - Q, Q), Point(M, Size - Q)}; break;           // down
    case 2: P = {Point(Q, M), Point(Size - Q, Q), Point(Size - Q, Size - Q)}; break;   // left
    default: P = {Point(Q, Q), Point(Size - Q, M), Point(Q, Size - Q)}; break;         // right
  }
  C->Polygon(P);
  return B;
}

std::uint32_t At(const std::vector<std::uint32_t>& Pixels, int W, int X, int Y)
{
  return Pixels[static_cast<std::size_t>(Y) * static_cast<std::size_t>(W) + static_cast<std::size_t>(X)] | 0xFF000000u;
}

// The preview window's layout: a black video panel with four crop-edge panels above it, and the
// crop buttons below. Everything belongs to Form.
struct TPreviewLayout {
  TXcPanel* Video = nullptr;
  TXcPanel* Edges[4] = {};
  std::vector<std::unique_ptr<TBitmap>> Glyphs;

  explicit TPreviewLayout(TForm* Form)
  {
    auto* Base = new TXcPanel(Form);
    Base->SetParent(Form);
    Base->SetBevelOuter(bvNone);
    Base->SetBounds(0, 0, 360, 260);
    Video = new TXcPanel(Form);
    Video->SetParent(Base);
    Video->SetBevelOuter(bvNone);
    Video->SetColor(clBlack);
    Video->SetBounds(20, 10, 320, 240);
    const TRect EdgeRects[4] = {TRect(20, 10, 340, 30), TRect(20, 230, 340, 250), TRect(20, 10, 44, 250),
                                TRect(316, 10, 340, 250)};
    for (int I = 0; I < 4; ++I) {
      Edges[I] = new TXcPanel(Form);
      Edges[I]->SetParent(Base);
      Edges[I]->SetBevelOuter(bvNone);
      Edges[I]->SetColor(clMedGray);
      Edges[I]->SetFlatBorder(true);
      Edges[I]->SetFlatBorderColor(clRed);
      Edges[I]->SetBorderWidth(1);
      Edges[I]->SetBoundsRect(EdgeRects[I]);
    }
    auto* Buttons = new TXcPanel(Form);
    Buttons->SetParent(Form);
    Buttons->SetBevelOuter(bvNone);
    Buttons->SetBounds(180, 265, 170, 40);
    for (int I = 0; I < 4; ++I) {
      auto* B = new TXcSpeedButton(Form);
      B->SetParent(Buttons);
      B->SetBounds(I * 42, 5, 40, 30);
      Glyphs.emplace_back(ArrowGlyph(30, clNavy, I));
      B->SetGlyph(Glyphs.back().get());
    }
  }
};

void PlayIntoPanel(const char* Server, TDisplayBackend* Display)
{
  std::string Dir = testing::TempDir() + "xcpanel-XXXXXX";
  ASSERT_NE(mkdtemp(Dir.data()), nullptr);
  const std::string Clip = Dir + "/clip.avi";
  ASSERT_EQ(RunToEnd({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=320x240:rate=25", "-t", "6",
                      "-c:v", "mpeg4", "-q:v", "4", Clip}),
            0);

  auto* Form = new TForm(nullptr);
  Form->SetBorderStyle(bsNone);
  Form->SetCaption("Preview");
  Form->SetBounds(0, 0, 360, 310);
  TPreviewLayout Layout(Form);
  Form->Show();
  PumpDisplay(Display, 10);
  const std::uint64_t Wid = Layout.Video->NativeWindowId();
  ASSERT_NE(Wid, 0u);
  PumpDisplay(Display, 10);

  const TDisplayWindow Top = GetDisplayWindow(Form->GetHandle());
  std::vector<std::uint32_t> Before, First, Second;
  int W = 0, H = 0;
  ASSERT_TRUE(Display->ReadPixels(Top, Before, W, H));
  // The video area (form coordinates 44..316 x 30..230 are not under an overlay).
  const TRect Area(50, 36, 310, 224);
  auto Differ = [&](const std::vector<std::uint32_t>& A, const std::vector<std::uint32_t>& B) {
    int Count = 0;
    for (int Y = Area.top; Y < Area.bottom; Y += 2)
      for (int X = Area.left; X < Area.right; X += 2) Count += At(A, W, X, Y) != At(B, W, X, Y);
    return Count;
  };
  EXPECT_EQ(At(Before, W, 180, 130), 0xFF000000u);  // black before the player draws

  const pid_t Player =
      Start({"mplayer", "-really-quiet", "-nolirc", "-noconsolecontrols", "-nosound", "-vo", "x11", "-wid",
             std::to_string(Wid), "-loop", "0", Clip},
            {"DISPLAY=" + std::string(Server), "HOME=" + Dir});
  ASSERT_GT(Player, 0);
  bool Playing = false;
  for (int I = 0; I < 100 && !Playing; ++I) {
    PumpDisplay(Display, 10);
    ASSERT_TRUE(Display->ReadPixels(Top, First, W, H));
    Playing = Differ(Before, First) > 100;
  }
  EXPECT_TRUE(Playing) << "the player drew nothing into the panel's window";
  PumpDisplay(Display, 60);
  ASSERT_TRUE(Display->ReadPixels(Top, Second, W, H));
  EXPECT_GT(Differ(First, Second), 10) << "the picture does not move";

  // The overlays stay above the video: grey faces with red borders.
  EXPECT_EQ(At(Second, W, 180, 20), 0xFFA0A0A4u);
  EXPECT_EQ(At(Second, W, 180, 10), 0xFFFF0000u);
  EXPECT_EQ(At(Second, W, 30, 130), 0xFFA0A0A4u);
  EXPECT_EQ(At(Second, W, 330, 130), 0xFFA0A0A4u);
  EXPECT_EQ(At(Second, W, 180, 240), 0xFFA0A0A4u);

  // Hiding an overlay uncovers the video beneath it.
  Layout.Edges[0]->SetVisible(false);
  PumpDisplay(Display, 60);
  std::vector<std::uint32_t> Uncovered;
  ASSERT_TRUE(Display->ReadPixels(Top, Uncovered, W, H));
  EXPECT_NE(At(Uncovered, W, 180, 20), 0xFFA0A0A4u);
  Layout.Edges[0]->SetVisible(true);
  PumpDisplay(Display, 60);

  const String Png = GalleryDir + "extctrls-preview.png";
  DeleteFile(Png);
  EXPECT_TRUE(SaveWindowPng(*Display, Top, Png));

  kill(Player, SIGTERM);
  int Status = 0;
  waitpid(Player, &Status, 0);
  delete Form;
  Application->ProcessMessages();
  std::filesystem::remove_all(Dir);
}

TEST(XcPanelX11, PlayerDrawsIntoThePanelUnderItsOverlays)
{
  if (!OnPath("mplayer") || !OnPath("ffmpeg")) {
    GTEST_SKIP() << "mplayer or ffmpeg is not installed";
  }
  const TXvfbChild Run = RunOnXvfbChild("QV_XCPANEL_PLAYER_X11", PlayIntoPanel);
  if (Run == TXvfbChild::NoServer) {
    GTEST_SKIP() << "Xvfb is not available";
  }
}

// A video panel that starts hidden (the title picker's) has its window as soon as its id is
// asked for, so a player can be started before the panel shows; while hidden it covers nothing
// of what lies where it will be, and once shown what the player draws appears.
void HiddenPanelWindow(const char* Server, TDisplayBackend* Display)
{
  auto* Form = new TForm(nullptr);
  Form->SetBorderStyle(bsNone);
  Form->SetColor(clBtnFace);
  Form->SetBounds(0, 0, 200, 160);
  auto* Video = new TXcPanel(Form);
  Video->SetParent(Form);
  Video->SetBevelOuter(bvNone);
  Video->SetColor(clBlack);
  Video->SetBounds(20, 20, 160, 120);
  Video->SetVisible(false);
  Form->Show();
  PumpDisplay(Display, 10);
  const std::uint64_t Wid = Video->NativeWindowId();
  ASSERT_NE(Wid, 0u) << "a hidden panel gives no window to draw into";
  const std::string Fill = String(QV_TEST_BIN_DIR) + "/qv_x11fill";
  const std::string Env = "DISPLAY=" + std::string(Server);
  auto FillGreen = [&] {
    const pid_t Pid = Start({Fill, std::to_string(Wid), "00ff00"}, {Env});
    int Status = -1;
    if (Pid > 0) waitpid(Pid, &Status, 0);
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
  };
  const TDisplayWindow Top = GetDisplayWindow(Form->GetHandle());
  std::vector<std::uint32_t> Pixels;
  int W = 0, H = 0;
  EXPECT_EQ(FillGreen(), 0);
  PumpDisplay(Display, 10);
  ASSERT_TRUE(Display->ReadPixels(Top, Pixels, W, H));
  EXPECT_NE(At(Pixels, W, 100, 80), 0xFF00FF00u) << "the hidden panel's window shows";
  EXPECT_EQ(Video->NativeWindowId(), Wid);

  Video->SetVisible(true);
  PumpDisplay(Display, 10);
  EXPECT_EQ(Video->NativeWindowId(), Wid);
  EXPECT_EQ(FillGreen(), 0);
  PumpDisplay(Display, 10);
  ASSERT_TRUE(Display->ReadPixels(Top, Pixels, W, H));
  EXPECT_EQ(At(Pixels, W, 100, 80), 0xFF00FF00u);
  EXPECT_NE(At(Pixels, W, 10, 10), 0xFF00FF00u);
  delete Form;
  Application->ProcessMessages();
}

TEST(XcPanelX11, AHiddenPanelHasItsWindowBeforeItShows)
{
  if (RunOnXvfbChild("QV_XCPANEL_HIDDEN_X11", HiddenPanelWindow) == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
}

// ---- The gallery ----

void ShowGallery(const char*, TDisplayBackend* Display)
{
  auto* Form = new TForm(nullptr);
  Form->SetBorderStyle(bsNone);
  Form->SetCaption("Extended controls");
  Form->SetColor(clBtnFace);
  Form->SetBounds(0, 0, 640, 420);
  std::vector<std::unique_ptr<TBitmap>> Glyphs;
  auto Panel = [&](TWinControl* Parent, int X, int Y, int W, int H, const char* Caption) {
    auto* P = new TXcPanel(Form);
    P->SetParent(Parent);
    P->SetBounds(X, Y, W, H);
    P->SetCaption(Caption);
    return P;
  };
  // Row 1: bevels, flat borders, captions.
  Panel(Form, 10, 10, 110, 40, "raised");
  Panel(Form, 130, 10, 110, 40, "lowered")->SetBevelOuter(bvLowered);
  auto* Flat = Panel(Form, 250, 10, 110, 40, "flat border 3");
  Flat->SetFlatBorder(true);
  Flat->SetFlatBorderColor(clRed);
  Flat->SetBorderWidth(3);
  auto* Multi = Panel(Form, 370, 10, 120, 40, "a word-wrapped caption over two lines");
  Multi->SetMultiLine(true);
  auto* Right = Panel(Form, 500, 10, 130, 40, "right caption");
  Right->SetAlignment(taRightJustify);
  // Row 2: hot look, grip, transparency, disabled.
  auto* Hot = Panel(Form, 10, 60, 110, 40, "hot");
  Hot->SetHotTrack(true);
  Hot->GetHotTrackOptions()->SetEnabled(true);
  Hot->GetHotTrackOptions()->SetFrameVisible(true);
  Hot->GetHotTrackOptions()->SetColor(clInfoBk);
  Hot->Perform(CM_MOUSEENTER, 0, 0);
  auto* Grip = Panel(Form, 130, 60, 110, 40, "sizeable");
  Grip->SetSizeable(true);
  auto* Backdrop = Panel(Form, 250, 60, 110, 40, "");
  Backdrop->SetColor(clTeal);
  auto* Glass = Panel(Backdrop, 20, 8, 70, 24, "transparent");
  Glass->SetTransparent(true);
  Glass->SetBevelOuter(bvLowered);
  Panel(Form, 370, 60, 120, 40, "disabled")->SetEnabled(false);
  // Row 3: an arranging panel, centred lines.
  auto* Arranging = Panel(Form, 10, 110, 300, 110, "");
  Arranging->SetBevelOuter(bvLowered);
  for (int I = 0; I < 7; ++I) {
    auto* Kid = Panel(Arranging, 0, 0, 50 + (I % 3) * 15, 25, std::to_string(I + 1).c_str());
    Kid->SetColor(I % 2 ? clSkyBlue : clMoneyGreen);
  }
  TXcArrangeSettings* S = Arranging->GetArrangeSettings();
  S->SetBorderLeft(6);
  S->SetBorderTop(6);
  S->SetDistanceHorizontal(4);
  S->SetDistanceVertical(4);
  S->SetHorizontalAlignLines(true);
  S->SetAutoArrange(true);
  // Row 3, right: speed buttons in their states.
  auto Button = [&](int X, int Y, int W, int H, const char* Caption, int Direction) {
    auto* B = new TXcSpeedButton(Form);
    B->SetParent(Form);
    B->SetBounds(X, Y, W, H);
    B->SetCaption(Caption);
    if (Direction >= 0) {
      Glyphs.emplace_back(ArrowGlyph(16, clGreen, Direction));
      B->SetGlyph(Glyphs.back().get());
    }
    return B;
  };
  Button(330, 110, 60, 40, "Up", 0);
  auto* Down = Button(395, 110, 60, 40, "Down", 1);
  Down->SetGroupIndex(1);
  Down->SetDown(true);
  Button(460, 110, 60, 40, "Flat", 2)->SetFlat(true);
  auto* FlatHot = Button(525, 110, 60, 40, "Hot", 3);
  FlatHot->SetFlat(true);
  FlatHot->Perform(CM_MOUSEENTER, 0, 0);
  Button(330, 155, 60, 40, "Off", 0)->SetEnabled(false);
  auto* Tracked = Button(395, 155, 60, 40, "Track", 1);
  Tracked->SetHotTrack(true);
  Tracked->GetHotTrackOptions()->SetEnabled(true);
  Tracked->GetHotTrackOptions()->SetFrameVisible(true);
  Tracked->Perform(CM_MOUSEENTER, 0, 0);
  auto* Menu = new TPopupMenu(Form);
  auto* Drop = Button(460, 155, 60, 40, "Menu", 1);
  Drop->SetDropDownMenu(Menu);
  Drop->SetLayout(blGlyphLeft);
  auto* Old = Button(525, 155, 60, 40, "Win31", 3);
  Old->SetStyle(bsWin31);
  // Row 4: layouts.
  const TButtonLayout Layouts[] = {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom};
  const char* Names[] = {"Left", "Right", "Top", "Bottom"};
  for (int I = 0; I < 4; ++I) Button(10 + I * 85, 235, 80, 50, Names[I], I)->SetLayout(Layouts[I]);
  auto* Wrapped = Button(350, 235, 90, 50, "a caption that wraps", -1);
  Wrapped->SetWordWrap(true);
  Button(450, 235, 90, 50, "a caption far too long", 0)->SetLayout(blGlyphLeft);
  Form->Show();
  PumpDisplay(Display, 30);
  const String Png = GalleryDir + "extctrls-gallery.png";
  DeleteFile(Png);
  EXPECT_TRUE(SaveWindowPng(*Display, GetDisplayWindow(Form->GetHandle()), Png));
  delete Form;
  Application->ProcessMessages();
}

TEST(XcControlsX11, Gallery)
{
  const TXvfbChild Run = RunOnXvfbChild("QV_XCCONTROLS_GALLERY_X11", ShowGallery);
  if (Run == TXvfbChild::NoServer) {
    GTEST_SKIP() << "Xvfb is not available";
  }
  if (Run == TXvfbChild::Parent) {
    EXPECT_TRUE(FileExists(GalleryDir + "extctrls-gallery.png"));
  }
}

}  // namespace
