// Shared set-up of the skinned-frame tests: framed forms on the headless display, frame skins
// made in the test from INI text and pictures (so tests can give geometry a stored skin would
// refuse), and the program's built-in frame skin.
#pragma once

#include <gtest/gtest.h>

#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"
#include "skin/frame/SkinnedForm.h"
#include "tests/skin/support/SkinTestSupport.h"

// Loads FORMINFO and SKINOBJECTS of IniText with the frame Picture (and Mask, may be null) into
// SkinData and marks the skin loaded.
inline void FillFrameSkin(TskSkinData* SkinData, TBitmap* Picture, TBitmap* Mask, const String& IniText)
{
  SkinData->ClearSkin();
  SkinData->picture->Assign(Picture);
  SkinData->picturename = "frame.bmp";
  if (Mask) {
    SkinData->mask->Assign(Mask);
    SkinData->maskname = "mask.bmp";
  }
  TStringList lines;
  lines.SetText(IniText);
  TMemIniFile ini("");
  ini.SetStrings(&lines);
  SkinData->LoadFormInfo(&ini);
  SkinData->LoadSkinObjects(&ini);
  SkinData->Empty = false;
}

class TSkinFrameTest : public TVclWindowTest {
protected:
  void SetUp() override
  {
    TVclWindowTest::SetUp();
    Display()->SetMonitors({TDisplayMonitor{RECT{0, 0, 1280, 1024}, RECT{0, 0, 1280, 1000}, true}});
    Holder = new TComponent(nullptr);
    Owned.push_back(Holder);
  }

  // A sizeable form at (100, 100) of W x H with a skinned form component bound to Skin.
  TskSkinnedForm* FramedForm(TskSkinData* Skin, int W = 400, int H = 300, TFormBorderStyle Style = bsSizeable)
  {
    auto* form = new TForm(nullptr);
    Owned.push_back(form);
    form->SetBorderStyle(Style);
    form->SetBounds(100, 100, W, H);
    form->SetCaption("Framed");
    auto* frame = new TskSkinnedForm(form);
    frame->SetSkinData(Skin);
    return frame;
  }

  TskSkinData* FrameSkin() { return BuiltinSkinData(Holder, TBuiltinSkin::bsFrame); }

  // A frame skin of a W0 x H0 picture in Fill with a client part in Client, corner points at
  // the client's corners, borders sizing by BorderWidth.
  TskSkinData* PlainFrameSkin(TColor Fill, TColor Client, TBitmap* Mask = nullptr, const String& Extra = "")
  {
    auto* skin = new TskSkinData(Holder);
    auto picture = SolidPicture(100, 60, Fill);
    FillArea(picture.get(), Rect(5, 20, 95, 55), Client);
    FillFrameSkin(skin, picture.get(), Mask,
                  "[FORMINFO]\nlefttoppoint=5,20\nrighttoppoint=95,20\nleftbottompoint=5,55\n"
                  "rightbottompoint=95,55\nclientrect=5,20,95,55\nborderwidth=3\n"
                  "hittestlefttoppoint=5,5\nhittestrighttoppoint=95,5\nhittestleftbottompoint=5,55\n"
                  "hittestrightbottompoint=95,55\n" +
                      Extra);
    return skin;
  }

  TComponent* Holder = nullptr;
};
