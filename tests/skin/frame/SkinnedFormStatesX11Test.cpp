// Window states, the system menu and the skinned message box on a private Xvfb, driven through
// XTest as a user would: the caption buttons maximise, restore and minimise (a secondary form
// to a caption strip, the main form through the application), Alt+Space and the caption's right
// button open the system menu whose RollUp item rolls the form up, and message boxes are
// answered by keyboard and by mouse. The message box in both built-in skins joins the gallery.
#include "platform/display/Screenshot.h"
#include "platform/rtl/Files.h"
#include "skin/controls/SkinButton.h"
#include "skin/frame/SkinLayerBorder.h"
#include "skin/frame/SkinMessages.h"
#include "tests/skin/frame/SkinFrameX11Support.h"

namespace {

// The centre of a frame object on the screen.
TPoint ObjectCentre(TFramedWindow& W, const String& Name)
{
  for (TskActiveSkinObject* o : W.Frame->Objects())
    if (o->IDName == Name) {
      const TRect b = W.Bounds();
      return TPoint{b.left + (o->ObjectRect.left + o->ObjectRect.right) / 2,
                    b.top + (o->ObjectRect.top + o->ObjectRect.bottom) / 2};
    }
  ADD_FAILURE() << "no object " << Name;
  return TPoint{0, 0};
}

// A point of the caption (window coordinates), away from the caption's buttons.
TPoint CaptionPoint(TFramedWindow& W)
{
  for (TskActiveSkinObject* o : W.Frame->Objects())
    if (dynamic_cast<TskSkinCaptionObject*>(o) && W.Frame->OnCaptionObject(TPoint{o->ObjectRect.left + 2, (o->ObjectRect.top + o->ObjectRect.bottom) / 2}))
      return TPoint{o->ObjectRect.left + 2, (o->ObjectRect.top + o->ObjectRect.bottom) / 2};
  return TPoint{60, 10};
}

void ClickAt(TFramedWindow& W, TX11Probe& X, TPoint P, int Button = 1)
{
  W.Play([&] {
    X.MoveTo(P.x, P.y);
    usleep(60000);
    X.Click(Button);
    usleep(100000);
  });
}

TRect MaximisedArea(TForm* Form)
{
  TRect area{}, monitor{};
  GetMonitorArea(Form->GetHandle(), true, area);
  GetMonitorArea(Form->GetHandle(), false, monitor);
  if (area == monitor)
    InflateRect(&area, -1, -1);
  return area;
}

void StatesByTheCaptionButtons(TDisplayBackend* Display, TX11Probe& X)
{
  TBuiltinSkin skin = TBuiltinSkin::bsFrame;
  TFramedWindow w(Display, &skin);
  w.Frame->SetBorderIcons(biSystemMenu | biMinimize | biMaximize | biRollUp);
  w.Form->Show();
  ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return X.Viewable(w.Xid()); }));
  w.Pump(20);
  const TRect before = w.Bounds();

  ClickAt(w, X, ObjectCentre(w, "maxbutton"));
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return w.Frame->GetSkinWindowState() == wsMaximized; }));
  const TRect area = MaximisedArea(w.Form);
  int l = 0, t = 0, r = 0, b = 0;
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return X.Bounds(w.Xid(), l, t, r, b) && TRect(l, t, r, b) == area; }))
      << l << "," << t << "," << r << "," << b;

  ClickAt(w, X, ObjectCentre(w, "maxbutton"));
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return w.Frame->GetSkinWindowState() == wsNormal; }));
  EXPECT_EQ(before, w.Bounds());

  // A secondary form minimises to a caption strip at the bottom-left of the work area.
  ClickAt(w, X, ObjectCentre(w, "minbutton"));
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return w.Frame->GetSkinWindowState() == wsMinimized; }));
  TRect work{};
  GetMonitorArea(w.Form->GetHandle(), true, work);
  EXPECT_EQ(work.left, w.Bounds().left);
  EXPECT_EQ(work.bottom, w.Bounds().bottom);
  EXPECT_EQ(w.Frame->GetEffectiveMinHeight(), w.Form->GetHeight());
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return X.Bounds(w.Xid(), l, t, r, b) && b == work.bottom; }));
  // Its caption's double click restores it.
  const TPoint strip = CaptionPoint(w);
  w.DoubleClick(X, strip.x, strip.y);
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return w.Frame->GetSkinWindowState() == wsNormal; }));
  EXPECT_EQ(before, w.Bounds());

  // The main form minimises through the application.
  Application->SetMainForm(w.Form);
  int minimised = 0;
  w.Frame->OnMinimize = [&](TObject*) { ++minimised; };
  ClickAt(w, X, ObjectCentre(w, "minbutton"));
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return minimised == 1; }));
  EXPECT_TRUE(IsIconic(w.Form->GetHandle()));
  EXPECT_EQ(wsNormal, w.Frame->GetSkinWindowState());
  Application->Restore();
  w.Pump(20);
  EXPECT_FALSE(IsIconic(w.Form->GetHandle()));
  Application->SetMainForm(nullptr);
}

void SystemMenuRollsUp(TDisplayBackend* Display, TX11Probe& X)
{
  TBuiltinSkin skin = TBuiltinSkin::bsFrame;
  TFramedWindow w(Display, &skin);
  w.Frame->SetBorderIcons(biSystemMenu | biMaximize | biRollUp);
  w.Form->Show();
  ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return X.Viewable(w.Xid()); }));
  w.Pump(20);

  // Alt+Space opens the menu under the system button; Escape closes it.
  w.Play([&] {
    X.MoveTo(w.Bounds().left + 200, w.Bounds().top + 150);
    usleep(50000);
    X.KeyTap(KsSpace, true);
    usleep(150000);
  });
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return w.Frame->GetSkinMenu()->Visible; }));
  w.Play([&] {
    X.KeyTap(KsEscape);
    usleep(150000);
  });
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return !w.Frame->GetSkinMenu()->Visible; }));

  // The caption's right button opens it at the pointer; a click on "Ro&llUp" rolls the form up.
  ClickAt(w, X, TPoint{w.Bounds().left + 150, w.Bounds().top + 12}, 3);
  ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return w.Frame->GetSkinMenu()->Visible; }));
  TskSkinPopupWindow* level = w.Frame->GetSkinMenu()->LastLevel();
  ASSERT_NE(nullptr, level);
  TPoint item{-1, -1};
  for (int i = 0; i < level->ItemCount(); ++i)
    if (level->Item(i)->MenuItem->GetName() == "SKF_ROLLUP") {
      const TRect r = level->Item(i)->ObjectRect;
      item = TPoint{level->GetLeft() + (r.left + r.right) / 2, level->GetTop() + (r.top + r.bottom) / 2};
    }
  ASSERT_GE(item.x, 0);
  ClickAt(w, X, item);
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return w.Frame->GetRollUpState(); }));
  EXPECT_EQ(w.Frame->GetEffectiveMinHeight(), w.Form->GetHeight());
  int l = 0, t = 0, r = 0, b = 0;
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] {
    return X.Bounds(w.Xid(), l, t, r, b) && b - t == w.Frame->GetEffectiveMinHeight();
  }));
  // Its caption's double click rolls it down.
  const TPoint rolled = CaptionPoint(w);
  w.DoubleClick(X, rolled.x, rolled.y);
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return !w.Frame->GetRollUpState(); }));
  EXPECT_EQ(300, w.Form->GetHeight());
}

// Opens a message box; once it shows, Prepare (on this thread) looks at it and gives the user's
// steps, which another thread plays while the box runs its modal loop.
int AnswerBox(TskSkinMessage& Box, TskMsgDlgButtons Buttons,
              const std::function<std::function<void()>(TskMessageForm*)>& Prepare)
{
  std::thread user;
  Box.OnDialogBuilt = [&](TskMessageForm* Form) {
    Form->HandleNeeded();
    TWndMethod old = Form->WindowProc;
    Form->WindowProc = [&user, &Prepare, old, Form](TMessage& M) {
      if (M.Msg == WM_APP + 79) {
        std::function<void()> steps = Prepare(Form);
        user = std::thread([steps] {
          usleep(300000);
          steps();
        });
        return;
      }
      old(M);
    };
    PostMessageA(Form->GetHandle(), WM_APP + 79, 0, 0);
  };
  const int result = Box.MessageDlgCaption("Overwrite \"clip -1.avi\"?", "Quelvo 3", skmtCustom, Buttons, 0);
  if (user.joinable())
    user.join();
  return result;
}

void MessageBoxAnswers(TDisplayBackend* Display, TX11Probe& X)
{
  TBuiltinSkin skin = TBuiltinSkin::bsFrame;
  TFramedWindow owner(Display, &skin);
  owner.Form->Show();
  ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return X.Viewable(owner.Xid()); }));
  owner.Pump(10);
  TskSkinMessage box(nullptr);
  box.SetSkinData(owner.Frame->GetSkinData());
  box.SetCtrlSkinData(BuiltinSkinData(owner.Holder, TBuiltinSkin::bsControls));

  EXPECT_EQ(6, AnswerBox(box, skmbYes | skmbNo, [&](TskMessageForm*) { return [&] { X.KeyTap(KsReturn); }; }));
  EXPECT_EQ(7, AnswerBox(box, skmbYes | skmbNo, [&](TskMessageForm*) { return [&] { X.KeyTap(KsEscape); }; }));
  // By mouse; modal: the owner takes no input while the box is up.
  bool ownerEnabled = true;
  EXPECT_EQ(7, AnswerBox(box, skmbYes | skmbNo, [&](TskMessageForm* Form) -> std::function<void()> {
              ownerEnabled = IsWindowEnabled(owner.Form->GetHandle()) != FALSE;
              auto* no = dynamic_cast<TskSkinButton*>(Form->FindComponent("No"));
              TPoint p{no->GetWidth() / 2, no->GetHeight() / 2};
              ClientToScreen(no->GetHandle(), &p);
              return [&X, p] {
                X.MoveTo(p.x, p.y);
                usleep(80000);
                X.Click(1);
              };
            }));
  EXPECT_FALSE(ownerEnabled);
  EXPECT_TRUE(IsWindowEnabled(owner.Form->GetHandle()));
}

void SaveMessageBoxLooks(TDisplayBackend* Display)
{
  struct TLook {
    const char* Name;
    TBuiltinSkin Frame, Controls;
  } const looks[] = {{"frameskin", TBuiltinSkin::bsFrame, TBuiltinSkin::bsControls},
                     {"controlsskin", TBuiltinSkin::bsControls, TBuiltinSkin::bsControls}};
  for (const TLook& look : looks) {
    auto* holder = new TComponent(nullptr);
    TskSkinMessage box(nullptr);
    box.SetSkinData(BuiltinSkinData(holder, look.Frame));
    box.SetCtrlSkinData(BuiltinSkinData(holder, look.Controls));
    TFont bold;
    bold.SetName("Arial");
    bold.SetHeight(14);
    bold.SetStyle(fsBold);
    box.SetDefaultFont(&bold);
    box.ShowAgainFlag = true;
    const String file = String(QV_TEST_BIN_DIR) + "/../skin-message-" + look.Name + ".png";
    DeleteFile(file);
    box.OnDialogBuilt = [&](TskMessageForm* Form) {
      Form->HandleNeeded();
      TWndMethod old = Form->WindowProc;
      Form->WindowProc = [old, Form, Display, file](TMessage& M) {
        if (M.Msg == WM_APP + 78) {
          PumpDisplay(Display, 30);
          EXPECT_TRUE(SaveWindowPng(*Display, GetDisplayWindow(Form->GetHandle()), file));
          Form->SetModalResult(mrCancel);
          return;
        }
        old(M);
      };
      PostMessageA(Form->GetHandle(), WM_APP + 78, 0, 0);
    };
    box.MessageDlg("The conversion of \"holiday & friends.mkv\" is done.\nOpen the output folder?",
                   skmtConfirmation, skmbYes | skmbNo | skmbHelp, 0);
    delete holder;
    EXPECT_TRUE(FileExists(file)) << file;
  }
}

} // namespace

TEST(SkinnedFormStatesX11, CaptionButtonsMaximiseRestoreAndMinimise)
{
  const TXvfbChild run = RunOnXvfbChild("QV_SKIN_STATES_X11", [](const char* Server, TDisplayBackend* Display) {
    TX11Probe x(Server);
    ASSERT_TRUE(x.Connected());
    StatesByTheCaptionButtons(Display, x);
  });
  if (run == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
}

TEST(SkinnedFormStatesX11, SystemMenuByKeyboardAndRightButtonRollsUp)
{
  const TXvfbChild run = RunOnXvfbChild("QV_SKIN_SYSMENU_X11", [](const char* Server, TDisplayBackend* Display) {
    TX11Probe x(Server);
    ASSERT_TRUE(x.Connected());
    SystemMenuRollsUp(Display, x);
  });
  if (run == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
}

TEST(SkinnedFormStatesX11, MessageBoxAnsweredByKeyboardAndMouse)
{
  const TXvfbChild run = RunOnXvfbChild("QV_SKIN_MESSAGE_X11", [](const char* Server, TDisplayBackend* Display) {
    TX11Probe x(Server);
    ASSERT_TRUE(x.Connected());
    MessageBoxAnswers(Display, x);
  });
  if (run == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
}

TEST(SkinnedFormStatesX11, GalleryOfMessageBoxes)
{
  const TXvfbChild run = RunOnXvfbChild("QV_SKIN_MESSAGE_GALLERY_X11",
                                        [](const char*, TDisplayBackend* Display) { SaveMessageBoxLooks(Display); });
  if (run == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
}

TEST(SkinnedFormStatesX11, LayeredBorderStripsSurroundTheForm)
{
  const TXvfbChild run = RunOnXvfbChild("QV_SKIN_LAYERBORDER_X11", [](const char* Server, TDisplayBackend* Display) {
    TX11Probe x(Server);
    ASSERT_TRUE(x.Connected());
    TFramedWindow w(Display, nullptr, 200, 100, 300, 200);
    w.Frame->SetSkinData(LayerFrameSkinData(w.Holder));
    w.Form->Show();
    ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return x.Viewable(w.Xid()); }));
    w.Pump(20);
    TskFormLayerBorder* border = w.Frame->GetLayerBorder();
    ASSERT_TRUE(border->Shown);
    struct TCase {
      TskLayerSide Side;
      TRect Expected;
    };
    const TCase cases[] = {{lsTop, {190, 90, 510, 100}},
                           {lsBottom, {190, 300, 510, 310}},
                           {lsLeft, {190, 100, 200, 300}},
                           {lsRight, {500, 100, 510, 300}}};
    for (const TCase& c : cases) {
      SCOPED_TRACE(c.Side);
      ASSERT_NE(nullptr, border->Window(c.Side));
      const std::uint64_t id = Display->NativeId(GetDisplayWindow(border->Window(c.Side)->GetHandle()));
      EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return x.Viewable(id); }));
      int l = 0, t = 0, r = 0, b = 0;
      ASSERT_TRUE(x.Bounds(id, l, t, r, b));
      EXPECT_EQ(c.Expected, TRect(l, t, r, b));
    }
    // Moving the form moves the strips.
    w.Form->SetBounds(260, 140, 300, 200);
    w.Pump(10);
    const std::uint64_t top = Display->NativeId(GetDisplayWindow(border->Window(lsTop)->GetHandle()));
    int l = 0, t = 0, r = 0, b = 0;
    EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return x.Bounds(top, l, t, r, b) && l == 250 && t == 130; }))
        << l << "," << t;
  });
  if (run == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
}
