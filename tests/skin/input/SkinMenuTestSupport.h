// Shared set-up of the skinned menu tests: a headless form with the menu host of its skinned form
// component, a skinned popup menu built from a compact item description, an opener control and a
// form that log the menu messages they receive, and reads of a level's painted pixels.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/rtl/Convert.h"
#include "platform/vcl/Forms.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/input/SkinMenu.h"
#include "tests/skin/support/SkinTestSupport.h"

// A log of what happened, in order ("opener 1228", "form 1228", "click Open" ...).
inline std::vector<String>& MenuLog()
{
  static std::vector<String> log;
  return log;
}

class TLoggingForm : public TForm {
public:
  using TForm::TForm;

protected:
  void WndProc(TMessage& Message) override
  {
    if (Message.Msg == SkinMenuClosedMessage || Message.Msg == SkinMenuCommandDoneMessage)
      MenuLog().push_back("form " + IntToStr(static_cast<int>(Message.Msg)));
    TForm::WndProc(Message);
  }
};

class TLoggingOpener : public TCustomControl {
public:
  using TCustomControl::TCustomControl;

protected:
  void WndProc(TMessage& Message) override
  {
    if (Message.Msg == SkinMenuClosedMessage || Message.Msg == SkinMenuCommandDoneMessage)
      MenuLog().push_back(GetName() + " " + IntToStr(static_cast<int>(Message.Msg)));
    TCustomControl::WndProc(Message);
  }
};

class TSkinMenuTest : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    MenuLog().clear();
    Form = new TLoggingForm(nullptr);
    Owned.push_back(Form);
    Form->SetBounds(100, 100, 400, 300);
    Form->Show();
    Host = new TskSkinMenuHost(Form);
    Manager = Host->GetSkinMenu();
    Menu = new TskSkinPopupMenu(Form);
    Opener = new TLoggingOpener(Form);
    Opener->SetName("opener");
    Opener->SetParent(Form);
    Opener->SetBounds(10, 10, 50, 20);
  }

  // Adds an item to Parent: "-" is a separator; OnClick logs "click <caption>".
  TMenuItem* Add(TMenuItem* Parent, const String& Caption, bool Enabled = true)
  {
    auto* item = new TMenuItem(Menu);
    item->SetCaption(Caption);
    item->SetEnabled(Enabled);
    item->OnClick = [Caption](TObject*) { MenuLog().push_back("click " + Caption); };
    Parent->Add(item);
    return item;
  }
  TMenuItem* Root() { return Menu->GetItems(); }

  // Opens the manager's menu for Root at a point, with or without a skin.
  void Open(TskSkinData* Data, int X = 200, int Y = 150, TControl* AOpener = nullptr)
  {
    Manager->Popup(AOpener, Data, 0, Rect(X, Y, X, Y), Root(), false);
  }
  TskSkinPopupWindow* Level(int I) { return Manager->Levels[static_cast<std::size_t>(I)]; }

  // The level as painted, in a bitmap of its size.
  std::unique_ptr<TBitmap> Paint(TskSkinPopupWindow* L)
  {
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetSize(L->GetWidth(), L->GetHeight());
    L->PaintLevel(b->GetCanvas()->GetHandle());
    return b;
  }

  TLoggingForm* Form = nullptr;
  TskSkinMenuHost* Host = nullptr;
  TskSkinMenu* Manager = nullptr;
  TskSkinPopupMenu* Menu = nullptr;
  TLoggingOpener* Opener = nullptr;
};
