// A small frame skin made in the test that carries one frame object of every kind: the caption,
// the six caption buttons with hot, pressed and restore looks, a picture button with a menu, a
// button-style animation, a gauge, a horizontal and a vertical track bar, a switch, a filmstrip
// gauge and regulator, a label, a bit label, a user object and the main-menu item record. Every
// look is a solid block of its own colour, so a pixel tells which look is shown.
#pragma once

#include "tests/skin/frame/SkinFrameTestSupport.h"

// The colours of the looks (RGB; the INI text and the pictures use them).
namespace ObjectSkin {
constexpr TColor Frame = static_cast<TColor>(0x784028);   // RGB(40, 64, 120)
constexpr TColor Client = static_cast<TColor>(0xC0C0C0);
// Caption buttons: normal, hot, pressed per row; restore looks in the maximise row.
constexpr TColor Normal[6] = {static_cast<TColor>(0x0000C8), static_cast<TColor>(0x00C800),
                              static_cast<TColor>(0xC80000), static_cast<TColor>(0x00C8C8),
                              static_cast<TColor>(0xC800C8), static_cast<TColor>(0xC8C800)};
constexpr TColor Hot = static_cast<TColor>(0x64FFFF);     // every button's hot look
constexpr TColor Pressed = static_cast<TColor>(0x000050); // every button's pressed look
constexpr TColor Restore = static_cast<TColor>(0x808000);
constexpr TColor RestoreHot = static_cast<TColor>(0xFFFF00);
constexpr TColor SwitchOn = static_cast<TColor>(0x00FF00);
constexpr TColor LabelHot = static_cast<TColor>(0x00FFFF);
constexpr TColor MenuNormal = static_cast<TColor>(0x909090);
constexpr TColor MenuHot = static_cast<TColor>(0xE0E0E0);
constexpr TColor MenuDown = static_cast<TColor>(0x303030);
constexpr TColor GaugeFill = static_cast<TColor>(0x0080FF);
constexpr TColor TrackFill = static_cast<TColor>(0xFF8000);
constexpr TColor TrackButton = static_cast<TColor>(0x000000);
// Filmstrip frame k (1..10) has colour RGB(k * 20, 0, 0).
inline TColor FilmFrame(int K) { return static_cast<TColor>(K * 20); }
// Bit-label digit d has colour RGB(0, 0, 100 + d * 10).
inline TColor Digit(int D) { return static_cast<TColor>((100 + D * 10) << 16); }

// The frame picture: 200 x 80, caption band 0..20, main-menu band 20..40, client 5,42,195,75.
inline std::unique_ptr<TBitmap> FramePicture()
{
  auto p = SolidPicture(200, 80, Frame);
  FillArea(p.get(), Rect(5, 42, 195, 75), Client);
  return p;
}

// The active picture: 320 x 100 of looks.
inline std::unique_ptr<TBitmap> LooksPicture()
{
  auto p = SolidPicture(320, 100, clWhite);
  for (int i = 0; i < 6; ++i) {
    FillArea(p.get(), Rect(0, i * 14, 14, i * 14 + 14), Normal[i]);
    FillArea(p.get(), Rect(14, i * 14, 28, i * 14 + 14), Hot);
    FillArea(p.get(), Rect(28, i * 14, 42, i * 14 + 14), Pressed);
  }
  FillArea(p.get(), Rect(42, 14, 56, 28), Restore);
  FillArea(p.get(), Rect(56, 14, 70, 28), RestoreHot);
  FillArea(p.get(), Rect(70, 14, 84, 28), Pressed);
  FillArea(p.get(), Rect(100, 0, 110, 10), TrackButton);
  FillArea(p.get(), Rect(110, 0, 230, 12), TrackFill);
  FillArea(p.get(), Rect(120, 12, 134, 26), SwitchOn);
  for (int k = 1; k <= 10; ++k) {
    FillArea(p.get(), Rect(100 + (k - 1) * 10, 30, 100 + k * 10, 40), FilmFrame(k));
    FillArea(p.get(), Rect(100 + (k - 1) * 20, 40, 100 + k * 20, 60), FilmFrame(k));
  }
  for (int d = 0; d < 10; ++d)
    FillArea(p.get(), Rect(100 + d * 6, 60, 106 + d * 6, 68), Digit(d));
  FillArea(p.get(), Rect(0, 84, 60, 98), LabelHot);
  FillArea(p.get(), Rect(100, 70, 140, 88), MenuNormal);
  FillArea(p.get(), Rect(140, 70, 180, 88), MenuHot);
  FillArea(p.get(), Rect(180, 70, 220, 88), MenuDown);
  FillArea(p.get(), Rect(100, 90, 200, 94), GaugeFill);
  return p;
}

inline const char* ObjectSkinIni()
{
  return "[FORMINFO]\nlefttoppoint=5,42\nrighttoppoint=195,42\nleftbottompoint=5,75\nrightbottompoint=195,75\n"
         "clientrect=5,42,195,75\nborderwidth=3\ncaptionrect=4,3,196,19\nbuttonsoffset=2\n"
         "mainmenurect=5,22,195,40\n"
         "hittestlefttoppoint=5,5\nhittestrighttoppoint=195,5\nhittestleftbottompoint=5,75\n"
         "hittestrightbottompoint=195,75\n"
         "[SKINOBJECTS]\ncount=21\n"
         "0=caption:caption\n1=closebutton:stdbutton\n2=maxbutton:stdbutton\n3=minbutton:stdbutton\n"
         "4=rollupbutton:stdbutton\n5=sysmenubutton:stdbutton\n6=traybutton:stdbutton\n"
         "7=volume:trackbar\n8=balance:trackbar\n9=mute:switch\n10=level:framegauge\n11=knob:frameregulator\n"
         "12=title:label\n13=counter:bitlabel\n14=progress:gauge\n15=logo:userobject\n16=MAINMENUITEM:mainmenuitem\n"
         "17=spinner:animate\n18=menubutton:button\n19=slider:frameregulator\n20=helpbutton:stdbutton\n"
         "[caption]\nskinrect=4,3,196,19\ntextrect=2,1,150,15\nfontheight=12\nfontcolor=8421504\n"
         "activefontcolor=16777215\nshadow=1\nshadowcolor=0\nactiveshadowcolor=0\nalignment=tacenter\n"
         "defaultcaption=1\n"
         "[closebutton]\ncommand=cmclose\nactivepictureindex=0\nskinrectinapicture=1\nskinrect=0,0,14,14\n"
         "activeskinrect=14,0,28,14\ndownrect=28,0,42,14\nhint=Close\n"
         "[maxbutton]\ncommand=cmmaximize\nactivepictureindex=0\nskinrectinapicture=1\nskinrect=0,14,14,28\n"
         "activeskinrect=14,14,28,28\ndownrect=28,14,42,28\nrestorerect=42,14,56,28\n"
         "restoreactiverect=56,14,70,28\nrestoredownrect=70,14,84,28\nhint=Maximize\n"
         "[minbutton]\ncommand=cmminimize\nactivepictureindex=0\nskinrectinapicture=1\nskinrect=0,28,14,42\n"
         "activeskinrect=14,28,28,42\ndownrect=28,28,42,42\nhint=Minimize\n"
         "[rollupbutton]\ncommand=cmrollup\nactivepictureindex=0\nskinrectinapicture=1\nskinrect=0,42,14,56\n"
         "activeskinrect=14,42,28,56\ndownrect=28,42,42,56\n"
         "[sysmenubutton]\ncommand=cmsysmenu\nactivepictureindex=0\nskinrectinapicture=1\nskinrect=0,56,14,70\n"
         "activeskinrect=14,56,28,70\ndownrect=28,56,42,70\n"
         "[traybutton]\ncommand=cmminimizetotray\nactivepictureindex=0\nskinrectinapicture=1\n"
         "skinrect=0,70,14,84\nactiveskinrect=14,70,28,84\ndownrect=28,70,42,84\n"
         "[volume]\nskinrect=20,60,140,72\nactivepictureindex=0\nactiveskinrect=110,0,230,12\n"
         "beginpoint=10,5\nendpoint=110,5\nminvalue=0\nmaxvalue=100\nmousedownchangevalue=1\n"
         "buttonrect=100,0,110,10\n"
         "[balance]\nskinrect=150,44,162,74\nactivepictureindex=0\nbeginpoint=6,25\nendpoint=6,5\nminvalue=0\n"
         "maxvalue=20\nbuttonrect=100,0,110,10\n"
         "[mute]\nskinrect=20,44,34,58\nactivepictureindex=0\nactiveskinrect=120,12,134,26\n"
         "[level]\nskinrect=40,44,50,54\nactivepictureindex=0\nactiveskinrect=100,30,200,40\ncountframes=10\n"
         "minvalue=0\nmaxvalue=90\nframesplacement=fphorizontal\n"
         "[knob]\nskinrect=60,44,80,64\nactivepictureindex=0\nactiveskinrect=100,40,300,60\ncountframes=10\n"
         "minvalue=0\nmaxvalue=90\nkind=rkround\n"
         "[title]\nskinrect=85,44,145,58\nactivepictureindex=0\nactiveskinrect=0,84,60,98\ntextvalue=Hi\n"
         "fontheight=10\nfontcolor=0\nactivefontcolor=255\nalignment=tacenter\nmorphing=1\n"
         "[counter]\nskinrect=100,60,120,68\nactivepictureindex=0\nactiveskinrect=100,60,160,68\nsymbolwidth=6\n"
         "symbolheight=8\nsymbolslinecount=1\nsymbolsline0=0123456789\ntextvalue=1234\n"
         "[progress]\nskinrect=20,74,120,78\nactivepictureindex=0\nactiveskinrect=100,90,200,94\nminvalue=0\n"
         "maxvalue=100\nkind=gkhorizontal\n"
         "[logo]\nskinrect=125,60,145,70\n"
         "[MAINMENUITEM]\nactivepictureindex=0\nskinrect=100,70,140,88\nactiveskinrect=140,70,180,88\n"
         "downrect=180,70,220,88\ntextrect=6,2,34,16\nitemleftoffset=3\nitemrightoffset=3\nfontheight=10\n"
         "fontcolor=0\nactivefontcolor=0\ndownfontcolor=16777215\nunenabledfontColor=8421504\n"
         "[spinner]\nskinrect=0,0,14,14\nactivepictureindex=0\nactiveskinrect=100,30,200,40\ncountframes=8\n"
         "buttonstyle=1\ntimerinterval=50\ncommand=cmdefault\n"
         "[menubutton]\nskinrect=170,44,184,58\nactivepictureindex=0\nactiveskinrect=14,0,28,14\nactivemaskpictureindex=1\n"
         "[helpbutton]\ncommand=cmdefault\nactivepictureindex=0\nskinrectinapicture=1\nskinrect=0,0,14,14\n"
         "[slider]\nskinrect=60,66,80,74\nactivepictureindex=0\nactiveskinrect=100,40,300,60\ncountframes=10\n"
         "minvalue=0\nmaxvalue=90\nkind=rkhorizontal\n";
}
} // namespace ObjectSkin

// The object skin loaded into a new skin data component owned by Owner.
inline TskSkinData* ObjectFrameSkin(TComponent* Owner)
{
  auto* skin = new TskSkinData(Owner);
  auto frame = ObjectSkin::FramePicture();
  auto looks = ObjectSkin::LooksPicture();
  skin->ClearSkin();
  skin->ActivePictures.push_back(looks.release());
  // The hit mask of "menubutton": black (hit) on its left half only.
  auto mask = SolidPicture(14, 14, clWhite);
  FillArea(mask.get(), Rect(0, 0, 7, 14), clBlack);
  skin->ActivePictures.push_back(mask.release());
  skin->picture->Assign(frame.get());
  skin->picturename = "frame.bmp";
  TStringList lines;
  lines.SetText(ObjectSkin::ObjectSkinIni());
  TMemIniFile ini("");
  ini.SetStrings(&lines);
  skin->LoadFormInfo(&ini);
  skin->LoadSkinObjects(&ini);
  skin->Empty = false;
  return skin;
}

// The frame object named Name of Frame, as T (null when absent or of another kind).
template <typename T = TskActiveSkinObject>
T* FrameObject(TskSkinnedForm* Frame, const String& Name)
{
  for (TskActiveSkinObject* obj : Frame->Objects())
    if (obj->IDName == Name)
      return dynamic_cast<T*>(obj);
  return nullptr;
}
