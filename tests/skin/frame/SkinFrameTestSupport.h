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

// A frame skin of a 100 x 60 picture in Fill with a client part (5, 20, 95, 55) in Client,
// corner points at the client's corners, borders sizing by 3 pixels.
inline TskSkinData* PlainFrameSkinData(TComponent* Holder, TColor Fill, TColor Client, TBitmap* Mask = nullptr,
                                       const String& Extra = "")
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

// PlainFrameSkinData with a LAYERFRAME record over a 100 x 100 picture whose client part is
// (10, 10, 90, 90); picture row y has the red level y, the mask is white but for a grey (128)
// band of the five left columns; opacity 200 active, 100 inactive.
inline TskSkinData* LayerFrameSkinData(TComponent* Holder, const TRect& BorderRect = TRect{})
{
  TskSkinData* skin = PlainFrameSkinData(Holder, clNavy, clSilver);
  auto picture = std::make_unique<TBitmap>();
  picture->SetPixelFormat(pf24bit);
  picture->SetSize(100, 100);
  for (int y = 0; y < 100; ++y)
    FillArea(picture.get(), Rect(0, y, 100, y + 1), static_cast<TColor>(RGB(y, 0, 0)));
  auto mask = SolidPicture(100, 100, clWhite);
  FillArea(mask.get(), Rect(0, 0, 5, 100), static_cast<TColor>(RGB(128, 128, 128)));
  skin->ActivePictures.push_back(picture.release());
  skin->ActivePictures.push_back(mask.release());
  TskDataSkinLayerFrame* r = skin->LayerFrame;
  r->pictureindex = static_cast<int>(skin->ActivePictures.size()) - 2;
  r->maskpictureindex = r->pictureindex + 1;
  r->inactivepictureindex = -1;
  r->lefttoppoint = TPoint{10, 10};
  r->righttoppoint = TPoint{90, 10};
  r->leftbottompoint = TPoint{10, 90};
  r->rightbottompoint = TPoint{90, 90};
  r->clientrect = TRect{10, 10, 90, 90};
  r->borderrect = BorderRect;
  r->alphablendvalue = 200;
  r->inactivealphablendvalue = 100;
  return skin;
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

  // A frame skin of a 100 x 60 picture in Fill with a client part in Client (see PlainFrameSkinData).
  TskSkinData* PlainFrameSkin(TColor Fill, TColor Client, TBitmap* Mask = nullptr, const String& Extra = "")
  {
    return PlainFrameSkinData(Holder, Fill, Client, Mask, Extra);
  }

  TComponent* Holder = nullptr;
};
