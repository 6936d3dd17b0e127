#include "platform/vcl/DragObjects.h"

#include <algorithm>
#include <cstdlib>

#include "platform/vcl/Forms.h"

// ---------------------------------------------------------------------------------------------
// The drag in progress

struct TDragMachine {
  TControl* Control = nullptr;       // the control being dragged
  TDragObject* Object = nullptr;     // its drag object
  bool OwnsObject = false;           // made here (deleted at the end)
  bool Active = false;               // past the threshold
  bool Finishing = false;            // in Done
  TPoint StartPos{};
  int Threshold = 5;
  TControl* Target = nullptr;
  bool Accepted = false;
  HWND Capture = nullptr;
  TDragImageList* Images = nullptr;  // the images begun for this drag
  TCursor Cursor = crNoDrop;

  static void SetObjectState(TDragObject* O, TPoint Pos, TControl* Target, TPoint TargetPos) {
    O->FDragPos = Pos;
    O->FDragTarget = Target;
    O->FDragTargetPos = TargetPos;
  }
  static void SetEndState(TDragObject* O, bool Cancelling, bool Dropped) {
    O->FCancelling = Cancelling;
    O->FDropped = Dropped;
  }
};

namespace {

TDragMachine Drag;
int DefaultThreshold = 5;
// The source of a drag that was released before it got going, while the end is reported: null
// once the control goes away (an OnEndDrag handler may free it).
TControl* ReleasedSource = nullptr;

void WindowProcOfCapture(TMessage& Message);

// Sends Msg about the drag to the target's window control (a derived control may catch CM_DRAG
// there); answers the result.
LRESULT SendDragMessage(TControl* Target, TDragMessage Msg, const TPoint& Pos) {
  if (!Target) return 0;
  TDragRec Rec;
  Rec.Pos = Pos;
  Rec.Source = Drag.Object;
  Rec.Target = Target;
  TControl* Receiver = dynamic_cast<TWinControl*>(Target) ? Target : static_cast<TControl*>(Target->GetParent());
  if (!Receiver) Receiver = Target;
  return Receiver->Perform(CM_DRAG, static_cast<WPARAM>(Msg), reinterpret_cast<LPARAM>(&Rec));
}

// The control under the screen point Pos as the window there answers dmFindTarget.
TControl* FindTarget(const TPoint& Pos) {
  TWinControl* Window = FindVCLWindow(Pos);
  if (!Window) return nullptr;
  TDragRec Rec;
  Rec.Pos = Pos;
  Rec.Source = Drag.Object;
  auto* Found = reinterpret_cast<TControl*>(Window->Perform(CM_DRAG, dmFindTarget, reinterpret_cast<LPARAM>(&Rec)));
  if (Found && !Found->GetEnabled()) return nullptr;
  return Found;
}

void ShowCursor(TCursor Cursor) {
  Drag.Cursor = Cursor;
  if (Screen) ::SetCursor(Screen->GetCursors(Cursor));
}

void UpdateImages(const TPoint& Pos) {
  if (!Drag.Images) return;
  bool Show = !Drag.Target || (Drag.Target->GetControlStyle() & csDisplayDragImage) ||
              Drag.Object->GetAlwaysShowDragImages();
  if (Show) {
    Drag.Images->DragMove(Pos.x, Pos.y);
    Drag.Images->ShowDragImage();
  } else {
    Drag.Images->HideDragImage();
  }
}

void Activate(const TPoint& Pos) {
  Drag.Active = true;
  if (TDragImageList* Images = Drag.Object->GetDragImages()) {
    if (Images->BeginDrag(GetDesktopWindow(), Pos.x, Pos.y)) {
      Drag.Images = Images;
      Images->HideDragImage();  // shown by UpdateImages where the target wants it
    }
  }
}

// The pointer is at the screen point Pos.
void DragTo(const TPoint& Pos) {
  if (!Drag.Object) return;
  if (!Drag.Active) {
    if (std::abs(Pos.x - Drag.StartPos.x) < Drag.Threshold && std::abs(Pos.y - Drag.StartPos.y) < Drag.Threshold)
      return;
    Activate(Pos);
  }
  TControl* Target = FindTarget(Pos);
  if (Target != Drag.Target) {
    TControl* Old = Drag.Target;
    Drag.Target = nullptr;
    Drag.Accepted = false;
    if (Old) SendDragMessage(Old, dmDragLeave, Pos);
    if (!Drag.Object) return;  // a handler ended the drag
    Drag.Target = Target;
    if (Target) {
      TDragMachine::SetObjectState(Drag.Object, Pos, Target, Target->ScreenToClient(Pos));
      Drag.Accepted = SendDragMessage(Target, dmDragEnter, Pos) != 0;
      if (!Drag.Object) return;
    }
  }
  TDragMachine::SetObjectState(Drag.Object, Pos, Drag.Target, Drag.Target ? Drag.Target->ScreenToClient(Pos) : Pos);
  if (Drag.Target) {
    Drag.Accepted = SendDragMessage(Drag.Target, dmDragMove, Pos) != 0;
    if (!Drag.Object) return;
  }
  ShowCursor(Drag.Object->GetDragCursor(Drag.Accepted, Pos.x, Pos.y));
  UpdateImages(Pos);
}

TPoint CapturePoint(const TMessage& Message) {
  POINT P{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  if (Drag.Capture) ClientToScreen(Drag.Capture, &P);
  return P;
}

void WindowProcOfCapture(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEMOVE: DragTo(CapturePoint(Message)); break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      TPoint Pos = CapturePoint(Message);
      if (!Drag.Active) {
        // Released before the pointer went past the threshold: no drag, but the press stays a
        // click of the control.
        ReleasedSource = Drag.Control;
        TControlState State = ReleasedSource ? ReleasedSource->GetControlState() : 0;
        DragInternal::Done(false);
        TControl* Source = ReleasedSource;
        ReleasedSource = nullptr;
        if (Source && !Drag.Control) {
          Source->SetControlState(Source->GetControlState() | (State & (csLButtonDown | csClicked)));
          TPoint P = Source->ScreenToClient(Pos);
          Source->Perform(Message.Msg, Message.WParam, MAKELPARAM(static_cast<WORD>(P.x), static_cast<WORD>(P.y)));
        }
        break;
      }
      DragTo(Pos);
      DragInternal::Done(true);
      break;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case CN_KEYDOWN:
    case CN_KEYUP: DragInternal::KeyMessage(Message); break;
    case WM_CANCELMODE: DragInternal::Done(false); break;
    case WM_CAPTURECHANGED:
      // Someone else took the mouse: the drag cannot go on.
      if (reinterpret_cast<HWND>(Message.LParam) != Drag.Capture && !Drag.Finishing) DragInternal::Done(false);
      break;
    case WM_SETCURSOR:
      ShowCursor(Drag.Cursor);
      Message.Result = 1;
      break;
    default:
      if (Drag.Capture) Message.Result = DefWindowProcA(Drag.Capture, Message.Msg, Message.WParam, Message.LParam);
      break;
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Drag objects

TCursor TDragObject::GetDragCursor(bool Accepted, int, int) { return Accepted ? crDrag : crNoDrop; }

void TDragObject::ShowDragImage() {
  if (TDragImageList* Images = GetDragImages()) Images->ShowDragImage();
}

void TDragObject::HideDragImage() {
  if (TDragImageList* Images = GetDragImages()) Images->HideDragImage();
}

void TDragObject::EndDrag(TObject* Target, int X, int Y) { Finished(Target, X, Y, Target != nullptr); }

void TDragObject::Finished(TObject*, int, int, bool) {}

void TBaseDragControlObject::EndDrag(TObject* Target, int X, int Y) {
  if (FControl) FControl->DoEndDrag(Target, X, Y);
  Finished(Target, X, Y, Target != nullptr);
}

TDragImageList* TDragControlObject::GetDragImages() { return GetControl() ? GetControl()->GetDragImages() : nullptr; }

TCursor TDragControlObject::GetDragCursor(bool Accepted, int X, int Y) {
  if (Accepted && GetControl()) return GetControl()->GetDragCursor();
  return TDragObject::GetDragCursor(Accepted, X, Y);
}

// ---------------------------------------------------------------------------------------------
// The machinery

int GetDefaultDragThreshold() { return DefaultThreshold; }
void SetDefaultDragThreshold(int Value) { DefaultThreshold = Value > 0 ? Value : 1; }
TDragObject* GetDragObject() { return Drag.Object; }
TControl* GetDragControl() { return Drag.Control; }
bool GetDragActive() { return Drag.Object && Drag.Active; }

void CancelDrag() {
  if (Drag.Object)
    DragInternal::Done(false);
  else
    Drag.Control = nullptr;  // cancelled while starting (in OnStartDrag)
}

namespace DragInternal {

void Begin(TControl* Control, bool Immediate, int Threshold) {
  if (!Control || Drag.Control || Drag.Object) return;
  Drag.Control = Control;
  TDragObject* Object = nullptr;
  try {
    Control->DoStartDrag(Object);
  } catch (...) {
    Drag.Control = nullptr;
    throw;
  }
  if (Drag.Control != Control) return;  // cancelled by the handler
  bool Owns = false;
  if (!Object) {
    Object = new TDragControlObject(Control);
    Owns = true;
  }
  Drag.Object = Object;
  Drag.OwnsObject = Owns;
  Drag.Active = false;
  Drag.Target = nullptr;
  Drag.Accepted = false;
  Drag.Images = nullptr;
  Drag.Threshold = Threshold < 0 ? DefaultThreshold : std::max(Threshold, 1);
  POINT P{};
  GetCursorPos(&P);
  Drag.StartPos = P;
  TDragMachine::SetEndState(Object, false, false);
  TDragMachine::SetObjectState(Object, P, nullptr, P);
  // A control that held the mouse (a pressed list box, say) hears it is gone.
  Drag.Capture = AllocateHWnd(WindowProcOfCapture);
  if (Drag.Capture) SetCapture(Drag.Capture);
  if (Immediate) {
    Activate(P);
    DragTo(P);
  }
}

void Done(bool Drop) {
  if (!Drag.Object) {
    Drag.Control = nullptr;
    return;
  }
  if (Drag.Finishing) return;
  Drag.Finishing = true;
  TDragObject* Object = Drag.Object;
  TControl* Source = Drag.Control;
  bool Owns = Drag.OwnsObject;
  bool WasActive = Drag.Active;
  if (Drag.Images) {
    Drag.Images->HideDragImage();
    Drag.Images->EndDrag();
    Drag.Images = nullptr;
  }
  HWND Capture = Drag.Capture;
  if (Capture) {
    if (GetCapture() == Capture) ReleaseCapture();
    DeallocateHWnd(Capture);
    Drag.Capture = nullptr;
  }
  TPoint Pos = Object->GetDragPos();
  TControl* Target = Drag.Target;
  bool Accepted = Drop && WasActive && Target && Drag.Accepted;
  TObject* EndTarget = nullptr;
  TPoint TargetPos{};
  if (Target) {
    if (Accepted) {
      TargetPos = Target->ScreenToClient(Pos);
      SendDragMessage(Target, dmDragDrop, Pos);
      EndTarget = Target;
    } else {
      SendDragMessage(Target, dmDragLeave, Pos);
    }
  }
  TDragMachine::SetEndState(Object, !Drop, Accepted);
  // The press that started the drag is over (no click follows a drag).
  if (Source) Source->SetControlState(Source->GetControlState() & ~(csLButtonDown | csClicked));
  Drag.Object = nullptr;
  Drag.Control = nullptr;
  Drag.Target = nullptr;
  Drag.Active = false;
  Drag.Accepted = false;
  if (WasActive && Screen) ::SetCursor(Screen->GetCursors(crDefault));
  Drag.Finishing = false;
  try {
    if (dynamic_cast<TBaseDragControlObject*>(Object)) {
      Object->EndDrag(EndTarget, TargetPos.x, TargetPos.y);
    } else {
      Object->EndDrag(EndTarget, TargetPos.x, TargetPos.y);
      if (Source) Source->DoEndDrag(EndTarget, TargetPos.x, TargetPos.y);
    }
  } catch (...) {
    if (Owns) delete Object;
    throw;
  }
  if (Owns) delete Object;
}

bool KeyMessage(TMessage& Message) {
  if (!Drag.Object) return false;
  if ((Message.Msg == WM_KEYDOWN || Message.Msg == CN_KEYDOWN) && Message.WParam == VK_ESCAPE) Done(false);
  Message.Result = 1;
  return true;
}

void ControlDestroying(TControl* Control) {
  if (!Control) return;
  if (ReleasedSource == Control) ReleasedSource = nullptr;
  if (Drag.Target == Control) {
    Drag.Target = nullptr;
    Drag.Accepted = false;
    if (Drag.Object) TDragMachine::SetObjectState(Drag.Object, Drag.Object->GetDragPos(), nullptr, Drag.Object->GetDragPos());
  }
  if (Drag.Control != Control) return;
  // The source goes: end the drag without calling into it.
  if (auto* Base = dynamic_cast<TBaseDragControlObject*>(Drag.Object))
    if (Base->GetControl() == Control) Base->SetControl(nullptr);
  Drag.Control = nullptr;
  if (!Drag.Object) return;
  TControl* Target = Drag.Target;
  Drag.Target = nullptr;
  if (Target) SendDragMessage(Target, dmDragLeave, Drag.Object->GetDragPos());
  Done(false);
}

void ImagesDestroying(TDragImageList* Images) {
  if (Images && Drag.Images == Images) Drag.Images = nullptr;
}

bool CurrentCursor(TCursor& Cursor) {
  if (!Drag.Object || !Drag.Active) return false;
  Cursor = Drag.Cursor;
  return true;
}

}  // namespace DragInternal
