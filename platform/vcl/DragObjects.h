// Dragging between the controls of the program: the drag objects (what is dragged) and the drag
// itself (a hidden window holds the mouse; targets are asked through CM_DRAG; the cursor and the
// drag images follow the pointer; Escape cancels).
#pragma once

#include "platform/vcl/Controls.h"
#include "platform/vcl/ImgList.h"

// What is being dragged. The drag machinery fills the state members while the drag is on.
class TDragObject : public TObject {
public:
  TDragObject() = default;
  ~TDragObject() override = default;
  TDragObject(const TDragObject&) = delete;
  TDragObject& operator=(const TDragObject&) = delete;

  // The images shown while dragging (none here).
  virtual TDragImageList* GetDragImages() { return nullptr; }
  // The cursor: crDrag where the drop is accepted, crNoDrop elsewhere.
  virtual TCursor GetDragCursor(bool Accepted, int X, int Y);
  // Show and hide the drag images (while a target scrolls under them, for one).
  virtual void ShowDragImage();
  virtual void HideDragImage();
  // The drag ended: Target (null when cancelled or refused) at (X, Y) of Target. Calls Finished.
  virtual void EndDrag(TObject* Target, int X, int Y);
  // What a target sees as the source of the drag: this object.
  virtual TObject* GetSource() { return this; }

  // Screen position of the pointer, the control under it and the pointer in its coordinates.
  TPoint GetDragPos() const { return FDragPos; }
  TControl* GetDragTarget() const { return FDragTarget; }
  TPoint GetDragTargetPos() const { return FDragTargetPos; }
  // The drag was cancelled (Escape, CancelDrag, EndDrag(false)) / dropped on an accepting target.
  bool GetCancelling() const { return FCancelling; }
  bool GetDropped() const { return FDropped; }
  // Show the images over every target, not only over those with csDisplayDragImage.
  bool GetAlwaysShowDragImages() const { return FAlwaysShowDragImages; }
  void SetAlwaysShowDragImages(bool Value) { FAlwaysShowDragImages = Value; }

protected:
  virtual void Finished(TObject* Target, int X, int Y, bool Accepted);

private:
  friend struct TDragMachine;
  TPoint FDragPos{};
  TControl* FDragTarget = nullptr;
  TPoint FDragTargetPos{};
  bool FCancelling = false;
  bool FDropped = false;
  bool FAlwaysShowDragImages = false;
};

// A drag object for a control.
class TBaseDragControlObject : public TDragObject {
public:
  explicit TBaseDragControlObject(TControl* AControl) : FControl(AControl) {}
  TControl* GetControl() const { return FControl; }
  void SetControl(TControl* Value) { FControl = Value; }
  // Tells the control (DoEndDrag), then Finished.
  void EndDrag(TObject* Target, int X, int Y) override;

private:
  TControl* FControl;
};

// The drag object made for a control that gives none of its own: targets see the control as the
// source; the images are the control's (GetDragImages) and the accept cursor its DragCursor.
class TDragControlObject : public TBaseDragControlObject {
public:
  using TBaseDragControlObject::TBaseDragControlObject;
  TDragImageList* GetDragImages() override;
  TCursor GetDragCursor(bool Accepted, int X, int Y) override;
  TObject* GetSource() override { return GetControl(); }
};

// The drag threshold used when BeginDrag is given -1 (the mouse's DragThreshold: 5 pixels).
int GetDefaultDragThreshold();
void SetDefaultDragThreshold(int Value);
// The drag object of the drag in progress, from BeginDrag on (also before the threshold is
// reached); null when there is none.
TDragObject* GetDragObject();
// The control being dragged, or null.
TControl* GetDragControl();
// True once the pointer moved past the threshold (or at once for an immediate drag).
bool GetDragActive();

// The machinery the controls call (not for applications).
namespace DragInternal {
void Begin(TControl* Control, bool Immediate, int Threshold);
void Done(bool Drop);
// Keys while a drag is on: Escape cancels; every key message is taken (true).
bool KeyMessage(TMessage& Message);
// A control goes away: a drag of it ends without events; as the target it is forgotten.
void ControlDestroying(TControl* Control);
// Images go away: a drag showing them goes on without.
void ImagesDestroying(TDragImageList* Images);
// The cursor of the drag in progress (WM_SETCURSOR keeps it); false without a drag.
bool CurrentCursor(TCursor& Cursor);
}  // namespace DragInternal
