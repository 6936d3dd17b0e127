// The skinned-control gallery: one form showing every skinned control of a test program in three
// looks side by side (the program's controls skin, its frame skin, and no skin), shown on a real
// X server (Xvfb) through the X11 backend and kept as a PNG screenshot in the build folder, so
// the looks can be checked by eye. Families that do not fit one screen go on further pages,
// saved beside the first with "-2", "-3" ... in the name.
//
// A control family joins by registering a builder in any source file of its test program:
//
//   static TGalleryFamily Buttons("Buttons", 150, [](TGalleryColumn& C) {
//     auto* b = C.Add<TskSkinButton>(0, 0, 75, 25);   // placed at (0, 0) of the family's area
//     b->SetGroupIndex(C.Group(1));                  // groups per column: they share the form
//     b->SetCaption("OK");
//   });
//
// Each family gets a band of the given height in every column; Add creates a control owned by the
// form, places it in the band (coordinates relative to the band), gives it the column's skin data
// and answers it. A test program shows its gallery with RunSkinGallery (see SkinGalleryTest.cpp).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/display/Screenshot.h"
#include "platform/rtl/Files.h"
#include "platform/vcl/Forms.h"
#include "tests/skin/support/SkinTestSupport.h"
#include "tests/support/XvfbChildRun.h"

// One look's column of the gallery while a family builds its band.
class TGalleryColumn {
public:
  TGalleryColumn(TForm* AForm, TskSkinData* ASkinData, int AIndex, int ALeft, int ATop)
      : Form(AForm), SkinData(ASkinData), Index(AIndex), Left(ALeft), Top(ATop)
  {
  }

  // The columns share one form: a group index (latching buttons, radio boxes) of this column that
  // no other column uses.
  int Group(int N) const { return N * 10 + Index + 1; }

  // A control of type T in the band at (X, Y), W x H; the column's skin data is set last (it may
  // size the control from its record).
  template <typename T>
  T* Add(int X, int Y, int W, int H)
  {
    auto* c = new T(Form);
    c->SetParent(Form);
    c->SetBounds(Left + X, Top + Y, W, H);
    if (SkinData)
      c->SetSkinData(SkinData);
    return c;
  }
  // A plain control without skin data (a caption, a backdrop).
  template <typename T>
  T* AddPlain(int X, int Y, int W, int H)
  {
    auto* c = new T(Form);
    c->SetParent(Form);
    c->SetBounds(Left + X, Top + Y, W, H);
    return c;
  }

  TForm* Form;
  TskSkinData* SkinData;  // null in the column without a skin
  int Index;              // 0, 1, 2 from the left
  int Left, Top;
};

// A caption drawn straight on the form (the class library's label is not used here: its
// header's bevel shapes clash with the names of the built-in skins).
class TGalleryCaption : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;
  TColor Color = 0;
  bool Bold = false;

protected:
  void Paint() override
  {
    TCanvas* c = GetCanvas();
    c->GetFont()->SetName("Arial");
    c->GetFont()->SetHeight(14);
    c->GetFont()->SetStyle(Bold ? TFontStyles(fsBold) : TFontStyles(0));
    c->GetFont()->SetColor(Color);
    c->GetBrush()->SetStyle(bsClear);
    c->TextOut(0, 0, GetCaption());
  }
};

struct TGalleryFamily;
inline std::vector<TGalleryFamily*>& GalleryFamilies()
{
  static std::vector<TGalleryFamily*> families;
  return families;
}

struct TGalleryFamily {
  TGalleryFamily(const char* AName, int AHeight, std::function<void(TGalleryColumn&)> ABuild)
      : Name(AName), Height(AHeight), Build(std::move(ABuild))
  {
    GalleryFamilies().push_back(this);
  }
  const char* Name;
  int Height;
  std::function<void(TGalleryColumn&)> Build;
};

namespace SkinGallery {

constexpr int ColumnWidth = 300;
constexpr int HeaderHeight = 24;
constexpr int FamilyTitleHeight = 18;
// The height of one page of the gallery: the private X server's screen is 1024 x 768.
constexpr int MaxPageHeight = 760;

// Builds and shows the gallery on the X server of Display and saves it to FileName.
inline void ShowAndSave(TDisplayBackend* Display, const String& FileName)
{

  auto* holder = new TComponent(nullptr);
  struct TLookColumn {
    const char* Title;
    TskSkinData* SkinData;
  } const looks[] = {{"controls skin", BuiltinSkinData(holder, TBuiltinSkin::bsControls)},
                     {"frame skin", BuiltinSkinData(holder, TBuiltinSkin::bsFrame)},
                     {"no skin", nullptr}};
  // The families in pages that each fit the test server's 768-pixel-high screen.
  std::vector<std::vector<const TGalleryFamily*>> pages(1);
  int pageHeight = HeaderHeight;
  for (const TGalleryFamily* f : GalleryFamilies()) {
    const int h = FamilyTitleHeight + f->Height;
    if (!pages.back().empty() && pageHeight + h + 8 > MaxPageHeight) {
      pages.emplace_back();
      pageHeight = HeaderHeight;
    }
    pages.back().push_back(f);
    pageHeight += h;
  }
  for (std::size_t page = 0; page < pages.size(); ++page) {
    int height = HeaderHeight;
    for (const TGalleryFamily* f : pages[page])
      height += FamilyTitleHeight + f->Height;
    auto* form = new TForm(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetCaption("Skinned controls");
    form->SetColor(looks[0].SkinData && looks[0].SkinData->SkinColors ? looks[0].SkinData->SkinColors->cbtnface
                                                                       : clBtnFace);
    form->SetBounds(0, 0, ColumnWidth * 3, height + 8);
    for (int c = 0; c < 3; ++c) {
      const int left = c * ColumnWidth + 8;
      auto* title = new TGalleryCaption(form);
      title->SetParent(form);
      title->SetBounds(left, 4, ColumnWidth - 16, 18);
      title->Bold = true;
      title->SetCaption(looks[c].Title);
      int top = HeaderHeight;
      for (const TGalleryFamily* f : pages[page]) {
        auto* name = new TGalleryCaption(form);
        name->SetParent(form);
        name->SetBounds(left, top, ColumnWidth - 16, FamilyTitleHeight);
        name->Color = 0x707070;
        name->SetCaption(f->Name);
        TGalleryColumn column(form, looks[c].SkinData, c, left, top + FamilyTitleHeight);
        f->Build(column);
        top += FamilyTitleHeight + f->Height;
      }
    }
    form->Show();
    PumpDisplay(Display, 30);
    // The first page is FileName, the next ones FileName with "-2", "-3" ... before ".png".
    String name = FileName;
    if (page > 0) {
      const std::size_t dot = name.rfind(".png");
      name.insert(dot == String::npos ? name.size() : dot, "-" + std::to_string(page + 1));
    }
    DeleteFile(name);
    EXPECT_TRUE(SaveWindowPng(*Display, GetDisplayWindow(form->GetHandle()), name));
    delete form;
    Application->ProcessMessages();
  }
  delete holder;
  Application->ProcessMessages();
}

// Runs the gallery in a child process (its own display backend) on a private Xvfb; skips when
// Xvfb is missing. TestFilter names the calling test so that the child runs only it.
inline void RunSkinGallery(const String& FileName, const char* TestFilter)
{
  const TXvfbChild run = RunOnXvfbChild(
      "QV_SKIN_GALLERY_X11", [&](const char*, TDisplayBackend* Display) { ShowAndSave(Display, FileName); }, true,
      TestFilter);
  if (run == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
  if (run != TXvfbChild::Parent)
    return;
  EXPECT_TRUE(FileExists(FileName));
}

} // namespace SkinGallery
