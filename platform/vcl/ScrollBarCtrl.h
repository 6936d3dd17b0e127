// TScrollBar: the class library's scroll bar control over the "SCROLLBAR" window class.
#pragma once

#include <functional>

#include "platform/vcl/Controls.h"
#include "platform/vcl/ListCtrlsConsts.h"

enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

class TScrollBar : public TWinControl {
public:
  explicit TScrollBar(TComponent* AOwner);
  void WndProc(TMessage& Message) override;

  TScrollBarKind GetKind() const { return FKind; }
  // Turns the bar (width and height swap).
  void SetKind(TScrollBarKind Value);
  int GetPosition() const { return FPosition; }
  void SetPosition(int Value) { SetParams(Value, FMin, FMax); }
  int GetMin() const { return FMin; }
  void SetMin(int Value) { SetParams(FPosition, Value, FMax); }
  int GetMax() const { return FMax; }
  void SetMax(int Value) { SetParams(FPosition, FMin, Value); }
  int GetPageSize() const { return FPageSize; }
  // EInvalidOperation "Scroll bar property out of range" for a page larger than the range.
  void SetPageSize(int Value);
  int GetSmallChange() const { return FSmallChange; }
  void SetSmallChange(int Value) { FSmallChange = std::max(1, Value); }
  int GetLargeChange() const { return FLargeChange; }
  void SetLargeChange(int Value) { FLargeChange = std::max(1, Value); }
  // Sets position and range at once; EInvalidOperation "Scroll bar property out of range"
  // when AMax < AMin or the range is smaller than the page. The position is kept in range.
  void SetParams(int APosition, int AMin, int AMax);

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  virtual void Change();
  virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos);
  // A WM_HSCROLL / WM_VSCROLL the window sent (reflected as CN_HSCROLL / CN_VSCROLL).
  void DoScroll(TMessage& Message);

private:
  void UpdateWindow();
  TScrollBarKind FKind = sbHorizontal;
  int FPosition = 0;
  int FMin = 0;
  int FMax = 100;
  int FPageSize = 0;
  int FSmallChange = 1;
  int FLargeChange = 1;
};
