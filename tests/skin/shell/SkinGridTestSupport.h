// Shared set-up of the skinned grid tests: a shown form with a string grid on the headless
// display, a grid whose protected handlers the tests can call, and a scroll bar double that
// behaves like the external skinned scroll bar (clamping, silent and event-raising setters).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/shell/SkinGridEditors.h"
#include "skin/shell/SkinGrids.h"
#include "tests/platform/vcl/VclTestSupport.h"

class TTestSkinGrid : public TskSkinStringGrid {
public:
  using TskSkinStringGrid::TskSkinStringGrid;
  void Key(Word K, TShiftState Shift = 0) { KeyDown(K, Shift); }
  void Char(char C) { KeyPress(C); }
  void WheelDown() { DoMouseWheelDown(0, TPoint{}); }
  void WheelUp() { DoMouseWheelUp(0, TPoint{}); }
  using TskSkinCustomGrid::ChangeGridOrientation;
  int WidthsChanged = 0, HeightsChanged = 0;
  int EditLimit = 0;

protected:
  int GetEditLimit() override { return EditLimit; }
  void ColWidthsChanged() override {
    ++WidthsChanged;
    TskSkinStringGrid::ColWidthsChanged();
  }
  void RowHeightsChanged() override {
    ++HeightsChanged;
    TskSkinStringGrid::RowHeightsChanged();
  }

public:
  using TskSkinCustomGrid::GetTextRect;
  using TskSkinCustomGrid::ModifyScrollBar;
};

class TTestScrollBar : public TComponent, public IskScrollBarLink {
public:
  using TComponent::TComponent;
  TComponent* LinkComponent() override { return this; }
  int GetMin() const override { return Min; }
  int GetMax() const override { return Max; }
  int GetPageSize() const override { return Page; }
  int GetPosition() const override { return Pos; }
  void SetPosition(int Value) override {
    const int Old = Pos;
    Pos = Clamp(Value);
    if (Pos != Old && OnChange) OnChange(this);
  }
  void SetPositionSilent(int Value) override { Pos = Clamp(Value); }
  void SetRange(int AMin, int AMax, int APosition, int APageSize) override {
    Min = AMin;
    Max = AMax;
    Page = APageSize;
    Pos = Clamp(APosition);
  }
  int GetSmallChange() const override { return Small; }
  void SetSmallChange(int Value) override { Small = Value; }
  int GetLargeChange() const override { return Large; }
  void SetLargeChange(int Value) override { Large = Value; }
  bool GetBarVisible() override { return Shown; }
  void SetBarVisible(bool Value) override { Shown = Value; }
  void SetBarEnabled(bool Value) override { Enabled = Value; }
  bool GetBoth() const override { return Both; }
  void SetBoth(bool Value) override { Both = Value; }

  // The user's actions on the bar.
  void DragThumbTo(int P) {
    SetPosition(P);
    if (OnLastChange) OnLastChange(this);
  }
  void PressUp() { if (OnUpButtonClick) OnUpButtonClick(this); }
  void PressDown() { if (OnDownButtonClick) OnDownButtonClick(this); }
  void PressTrackAfterThumb() {
    SetPosition(Pos + Large);
    if (OnPageDown) OnPageDown(this);
  }

  int Min = 0, Max = 100, Page = 0, Pos = 0, Small = 1, Large = 1;
  bool Shown = true, Enabled = false, Both = false;

private:
  int Clamp(int V) const {
    const int Hi = Page == 0 ? Max : Max - Page + 1;
    return std::max(Min, std::min(Hi, V));
  }
};

class SkinGridTest : public TVclWindowTest {
protected:
  TForm* Form = nullptr;
  TTestSkinGrid* Grid = nullptr;
  std::vector<String> Events;

  // A grid of W x H pixels on a shown form; no border, so the client area is the whole grid.
  void MakeGrid(int W = 200, int H = 100, bool Show = true) {
    Form = NewForm(100, 100, 400, 300);
    Grid = Add<TTestSkinGrid>(Form, "Grid", 0, 0, W, H);
    Grid->SetBorderStyle(bsNone);
    if (Show) {
      Form->Show();
      Pump();
    }
  }
  // Logs "click r" and "select c,r" events.
  void LogEvents() {
    Grid->OnClick = [this](TObject*) { Events.push_back("click " + std::to_string(Grid->GetRow())); };
    Grid->OnSelectCell = [this](TObject*, int C, int R, bool&) {
      Events.push_back("select " + std::to_string(C) + "," + std::to_string(R));
    };
  }
  static String GridError(const std::function<void()>& F) {
    try {
      F();
    } catch (const EInvalidGridOperation& E) {
      return E.what();
    }
    return "";
  }
  static String Sel(const TGridRect& R) {
    return std::to_string(R.Left) + "," + std::to_string(R.Top) + "-" + std::to_string(R.Right) + "," +
           std::to_string(R.Bottom);
  }
  void Click(int X, int Y, WPARAM Keys = 0) {
    HWND W = Grid->GetHandle();
    SendMessageA(W, WM_LBUTTONDOWN, MK_LBUTTON | Keys, MAKELPARAM(X, Y));
    SendMessageA(W, WM_LBUTTONUP, Keys, MAKELPARAM(X, Y));
  }
};
