// Damaged skin records painted by every control of this library in its states and at odd sizes:
// each paints its default look or nothing, and never fails (run under the sanitizers too).
#include <gtest/gtest.h>

#include <functional>

#include "skin/controls/SkinButton.h"
#include "skin/controls/SkinCheckRadioBox.h"
#include "skin/controls/SkinSpeedButton.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace {

std::vector<std::unique_ptr<TBitmap>> Pictures()
{
  std::vector<std::unique_ptr<TBitmap>> p;
  p.push_back(SolidPicture(64, 48, 0x00FF00));
  p.push_back(SolidPicture(1, 1, 0));        // a mask of the wrong size
  p.push_back(SolidPicture(30, 20, 0xFFFFFF)); // a glow picture
  p.push_back(SolidPicture(7, 3, 0));        // a glow mask of another size
  return p;
}

// Every record kind the controls look up, with sound keys; the cases then damage them.
const char* const Records =
    "[SKINCONTROLS]\ncount=4\n0=button:button\n1=toolbutton:button\n2=checkbox:checkradio\n3=panel:panel\n"
    "[button]\npictureindex=0\nskinrect=0,0,32,24\nlefttoppoint=4,4\nrighttoppoint=28,4\nleftbottompoint=4,20\n"
    "rightbottompoint=28,20\nclientrect=4,4,28,20\nactiveskinrect=32,0,64,24\nmorphing=1\n"
    "animateskinrect=0,24,64,48\nframecount=2\n"
    "[toolbutton]\npictureindex=0\nskinrect=0,0,32,24\nclientrect=2,2,30,22\nactiveskinrect=32,0,64,24\nmorphing=1\n"
    "[checkbox]\npictureindex=0\nskinrect=0,0,32,24\nclientrect=0,0,32,24\nlefttoppoint=10,0\nrighttoppoint=20,0\n"
    "checkimagearea=0,4,16,20\ntextarea=18,0,30,24\ncheckimagerect=0,24,16,40\nuncheckimagerect=16,24,32,40\n"
    "morphing=1\n"
    "[panel]\npictureindex=0\nskinrect=0,0,32,24\nlefttoppoint=4,4\nrighttoppoint=28,4\nleftbottompoint=4,20\n"
    "rightbottompoint=28,20\nclientrect=4,4,28,20\n";

// A panel-like control that paints its frame directly.
class TDirect : public TskSkinCustomControl {
public:
  explicit TDirect(TComponent* AOwner) : TskSkinCustomControl(AOwner)
  {
    DirectFramePaint = true;
    SetSkinDataName("panel");
  }
};

using TDamage = std::function<void(TskDataSkinControl*)>;

template <typename T>
void Each(TskDataSkinControl* R, const std::function<void(T*)>& F)
{
  if (auto* r = dynamic_cast<T*>(R))
    F(r);
}

class SkinDamagedRecordsTest : public TSkinControlTest {};

TEST_F(SkinDamagedRecordsTest, EveryControlPaintsDamagedRecordsWithoutFailing)
{
  struct Case {
    const char* Name;
    TDamage Damage;
  } const cases[] = {
      {"sound", [](TskDataSkinControl*) {}},
      {"empty client rectangle", [](TskDataSkinControl* r) {
         Each<TskDataSkinCustomControl>(r, [](auto* c) { c->clientrect = Rect(0, 0, 0, 0); });
       }},
      {"inverted client rectangle", [](TskDataSkinControl* r) {
         Each<TskDataSkinCustomControl>(r, [](auto* c) { c->clientrect = Rect(20, 20, 4, 4); });
       }},
      {"skin rectangle outside the picture", [](TskDataSkinControl* r) { r->skinrect = Rect(1000, 900, 1032, 924); }},
      {"inverted skin rectangle", [](TskDataSkinControl* r) { r->skinrect = Rect(30, 20, 2, 2); }},
      {"picture index beyond the list", [](TskDataSkinControl* r) { r->pictureindex = 99; }},
      {"picture index below -1", [](TskDataSkinControl* r) { r->pictureindex = -3; }},
      {"mask of the wrong size", [](TskDataSkinControl* r) { r->maskpictureindex = 1; }},
      {"mask index below -1", [](TskDataSkinControl* r) { r->maskpictureindex = -9; }},
      {"corner points outside the skin", [](TskDataSkinControl* r) {
         Each<TskDataSkinCustomControl>(r, [](auto* c) {
           c->righttoppoint = Point(500, 4);
           c->rightbottompoint = Point(500, 900);
           c->leftbottompoint = Point(-40, 900);
         });
       }},
      {"state rectangles damaged", [](TskDataSkinControl* r) {
         Each<TskDataSkinButtonControl>(r, [](auto* b) {
           b->activeskinrect = Rect(64, 24, 0, 0);
           b->downskinrect = Rect(-5, -5, 400, 400);
           b->disabledskinrect = Rect(0, 0, 1, 1000);
           b->focusedskinrect = Rect(2000, 0, 2100, 24);
         });
       }},
      {"animation of many frames", [](TskDataSkinControl* r) {
         Each<TskDataSkinButtonControl>(r, [](auto* b) {
           b->animateskinrect = Rect(0, 24, 64, 48);
           b->framecount = 1000;
         });
       }},
      {"glow with a mask of another size", [](TskDataSkinControl* r) {
         Each<TskDataSkinButtonControl>(r, [](auto* b) {
           b->glowlayerpictureindex = 2;
           b->glowlayermaskpictureindex = 3;
         });
       }},
      {"glow picture beyond the list", [](TskDataSkinControl* r) {
         Each<TskDataSkinButtonControl>(r, [](auto* b) {
           b->glowlayerpictureindex = 40;
           b->glowlayermaskpictureindex = -1;
         });
       }},
      {"check images damaged", [](TskDataSkinControl* r) {
         Each<TskDataSkinCheckRadioControl>(r, [](auto* c) {
           c->checkimagerect = Rect(0, 0, 5000, 5000);
           c->uncheckimagerect = Rect(40, 40, 0, 0);
           c->checkimagearea = Rect(0, 0, 0, 0);
           c->textarea = Rect(100, 0, -100, 24);
         });
       }},
  };
  const std::pair<int, int> sizes[] = {{0, 0}, {1, 1}, {3, 200}, {240, 70}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TForm* form = NewForm(100, 100, 400, 300);
    TskSkinData* skin = NewSkin(Pictures(), Records);
    skin->ShowButtonGlowFrames = true;
    for (TskDataSkinControl* r : skin->ControlList)
      c.Damage(r);
    std::vector<TControl*> controls;
    auto add = [&](TControl* control) {
      control->SetParent(form);
      controls.push_back(control);
    };
    auto* button = new TskSkinButton(form);
    add(button);
    auto* loose = new TskSkinButton(form);
    loose->SetUseSkinSize(false);
    add(loose);
    auto* speed = new TskSkinSpeedButton(form);
    add(speed);
    auto* flat = new TskSkinCheckRadioBox(form);
    add(flat);
    auto* framed = new TskSkinCheckRadioBox(form);
    framed->SetFlat(false);
    add(framed);
    auto* direct = new TDirect(form);
    add(direct);
    form->Show();
    button->SetSkinData(skin);
    loose->SetSkinData(skin);
    speed->SetSkinData(skin);
    flat->SetSkinData(skin);
    framed->SetSkinData(skin);
    direct->SetSkinData(skin);
    for (auto [w, h] : sizes)
      for (TControl* control : controls) {
        control->SetBounds(5, 5, w, h);
        Snapshot(control);
        control->Perform(CM_MOUSEENTER, 0, 0);
        Clock->Advance(20);
        Pump();
        Snapshot(control);
        control->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
        Snapshot(control);
        control->Perform(WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
        control->Perform(CM_MOUSELEAVE, 0, 0);
        control->SetEnabled(false);
        Snapshot(control);
        control->SetEnabled(true);
      }
    framed->SetState(cbGrayed);
    Snapshot(framed);
    // The skin going away in the middle of all this leaves default looks.
    delete skin;
    for (TControl* control : controls)
      Snapshot(control);
  }
}

} // namespace
