// Shared set-up of the skinned-control tests: a headless window test with a skin data component
// filled straight from INI text and pictures made in the test (no stored skin, so tests can also
// give records that a stored skin would refuse), the program's built-in skins, and pixel reads of
// painted controls.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Bitmap.h"
#include "skin/foundation/SkinData.h"
#include "skins/BuiltinSkins.h"
#include "tests/platform/vcl/VclTestSupport.h"

// A 24-bit picture of W x H filled with Fill.
inline std::unique_ptr<TBitmap> SolidPicture(int W, int H, TColor Fill)
{
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(W, H);
  b->GetCanvas()->GetBrush()->SetColor(Fill);
  b->GetCanvas()->FillRect(Rect(0, 0, W, H));
  return b;
}

inline void FillArea(TBitmap* B, const TRect& R, TColor Fill)
{
  B->GetCanvas()->GetBrush()->SetStyle(bsSolid);
  B->GetCanvas()->GetBrush()->SetColor(Fill);
  B->GetCanvas()->FillRect(R);
}

// The colour at (X, Y) of a bitmap, as a TColor (0x00BBGGRR).
inline TColor BitmapPixel(TBitmap* B, int X, int Y) { return B->GetCanvas()->GetPixels(X, Y); }

// Fills SkinData with the records of the SKINCONTROLS section of IniText and the given active
// pictures (taken over), and marks the skin loaded. Records keep whatever indexes the text gives.
inline void FillSkinData(TskSkinData* SkinData, std::vector<std::unique_ptr<TBitmap>> Pictures, const String& IniText)
{
  SkinData->ClearSkin();
  for (auto& p : Pictures)
    SkinData->ActivePictures.push_back(p.release());
  TStringList lines;
  lines.SetText(IniText);
  TMemIniFile ini("");
  ini.SetStrings(&lines);
  SkinData->LoadSkinControls(&ini);
  SkinData->Empty = false;
}

// The record named Name of SkinData (null when absent).
template <typename T = TskDataSkinControl>
T* SkinRecord(TskSkinData* SkinData, const String& Name)
{
  const int i = SkinData->GetControlIndex(Name);
  return i < 0 ? nullptr : dynamic_cast<T*>(SkinData->ControlList[static_cast<std::size_t>(i)]);
}

// One of the program's own skins loaded into a new skin data component owned by Owner.
inline TskSkinData* BuiltinSkinData(TComponent* Owner, TBuiltinSkin Which)
{
  auto* stored = new TskCompressedStoredSkin(Owner);
  LoadBuiltinSkin(stored, Which);
  auto* data = new TskSkinData(Owner);
  data->SetCompressedStoredSkin(stored);
  return data;
}

class TSkinControlTest : public TVclWindowTest {
protected:
  void SetUp() override
  {
    TVclWindowTest::SetUp();
    Holder = new TComponent(nullptr);
    Owned.push_back(Holder);
  }

  // A skin data component (deleted after the test) holding the records of IniText.
  TskSkinData* NewSkin(std::vector<std::unique_ptr<TBitmap>> Pictures, const String& IniText)
  {
    auto* data = new TskSkinData(Holder);
    FillSkinData(data, std::move(Pictures), IniText);
    return data;
  }

  // Paints Control as it shows on its parent into a bitmap of its size and answers the bitmap.
  std::unique_ptr<TBitmap> Snapshot(TControl* Control)
  {
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetSize(Control->GetWidth(), Control->GetHeight());
    if (auto* w = dynamic_cast<TWinControl*>(Control))
      w->PaintTo(b->GetCanvas()->GetHandle(), 0, 0);
    else
      Control->PaintTo(b->GetCanvas()->GetHandle(), 0, 0);
    return b;
  }

  // Text typed on the keyboard into the focused control, through the display.
  void Type(const String& Text)
  {
    Display()->InjectChar(Text);
    Pump();
  }
  // Key K pressed and released, through the display.
  void KeyStroke(unsigned K)
  {
    Display()->InjectKey(K, true);
    Display()->InjectKey(K, false);
    Pump();
  }

  TComponent* Holder = nullptr;
};

// "left,top,right,bottom" of R, for comparing rectangles in one expectation.
inline String RectText(const TRect& R)
{
  return std::to_string(R.left) + "," + std::to_string(R.top) + "," + std::to_string(R.right) + "," +
         std::to_string(R.bottom);
}

// A skinned-control test on a shown form of 400 x 300, with the user's pointer played through the
// display, the test clock advanced, and a log the test's event handlers write to.
class TSkinPointerTest : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    Form = NewForm(100, 100, 400, 300);
  }

  // Advances the test clock by Ms and lets the timers that fall due run.
  void Advance(DWORD Ms)
  {
    Clock->Advance(Ms);
    Pump();
  }
  // The user's pointer at (X, Y) of control C, through the display.
  TPoint Screen(TControl* C, int X, int Y) { return C->ClientToScreen(TPoint{X, Y}); }
  void Move(TControl* C, int X, int Y)
  {
    const TPoint p = Screen(C, X, Y);
    Display()->InjectMouseMove(p.x, p.y);
    Pump();
  }
  void Button(TControl* C, int X, int Y, int Which, bool Pressed)
  {
    const TPoint p = Screen(C, X, Y);
    Display()->InjectButton(p.x, p.y, Which, Pressed);
    Pump();
  }
  void Down(TControl* C, int X, int Y) { Button(C, X, Y, 1, true); }
  void Up(TControl* C, int X, int Y) { Button(C, X, Y, 1, false); }
  // The log so far, entries joined with "; "; empties the log.
  String Events()
  {
    String s;
    for (const String& e : Log)
      s += (s.empty() ? "" : "; ") + e;
    Log.clear();
    return s;
  }

  TForm* Form = nullptr;
  std::vector<String> Log;
};
