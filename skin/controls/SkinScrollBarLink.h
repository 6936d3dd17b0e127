// IskScrollBarLink: what a grid or view needs of an external skinned scroll bar that the form
// places beside it and names in the grid's HScrollBar or VScrollBar. The skinned scroll bar
// implements it; tests use a small double.
//
// The contract callers rely on:
// - SetRange (min, max, position, page size) stores all four, clamps the position to
//   min .. max - page size + 1 (min .. max when the page size is 0), repaints and raises no
//   event.
// - SetPositionSilent clamps the same way, repaints when the value changed, raises no event.
// - SetPosition clamps, repaints when changed and raises OnChange.
// - The events are the bar's own published events: OnUpButtonClick / OnDownButtonClick when an
//   arrow button is pressed (instead of the bar's own step, repeated while held); OnPageUp /
//   OnPageDown after a press on the track has moved Position by LargeChange; OnLastChange on
//   the release after a thumb drag; OnChange on every position change through SetPosition.
// - LinkComponent is the bar as a component, for free notification: the linking control
//   forgets the bar when that component is destroyed.
#pragma once

#include "platform/vcl/Component.h"

enum TskScrollBarKind { sbHorizontal, sbVertical };

class IskScrollBarLink {
public:
  IskScrollBarLink() = default;
  IskScrollBarLink(const IskScrollBarLink&) = delete;
  IskScrollBarLink& operator=(const IskScrollBarLink&) = delete;
  virtual ~IskScrollBarLink() = default;

  virtual TComponent* LinkComponent() = 0;

  virtual int GetMin() const = 0;
  virtual int GetMax() const = 0;
  virtual int GetPageSize() const = 0;
  virtual int GetPosition() const = 0;
  virtual void SetPosition(int Value) = 0;
  virtual void SetPositionSilent(int Value) = 0;
  virtual void SetRange(int AMin, int AMax, int APosition, int APageSize) = 0;
  virtual int GetSmallChange() const = 0;
  virtual void SetSmallChange(int Value) = 0;
  virtual int GetLargeChange() const = 0;
  virtual void SetLargeChange(int Value) = 0;
  virtual bool GetBarVisible() = 0;
  virtual void SetBarVisible(bool Value) = 0;
  virtual void SetBarEnabled(bool Value) = 0;
  // The horizontal bar draws the corner piece beside a visible vertical bar.
  virtual bool GetBoth() const = 0;
  virtual void SetBoth(bool Value) = 0;

  TNotifyEvent OnChange;
  TNotifyEvent OnLastChange;
  TNotifyEvent OnUpButtonClick;
  TNotifyEvent OnDownButtonClick;
  TNotifyEvent OnPageUp;
  TNotifyEvent OnPageDown;
};
