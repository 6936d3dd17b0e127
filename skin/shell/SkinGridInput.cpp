// The skinned grid and the user: keys move the current cell, the mouse selects, extends the
// selection and scrolls at the edges, the wheel steps the current row, and the fixed band lets
// columns and rows be sized and moved.
#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Forms.h"
#include "skin/shell/SkinGridEditors.h"
#include "skin/shell/SkinGrids.h"

namespace {

constexpr UINT_PTR SelectTimer = 1;
constexpr UINT SelectTimerPeriod = 60;

enum : unsigned { sdLeft = 1, sdRight = 2, sdUp = 4, sdDown = 8 };

}  // namespace

bool TskSkinCustomGrid::IsActiveControl() {
  if (TCustomForm* Form = GetParentForm(this)) return Form->GetActiveControl() == this;
  if (!HandleAllocated()) return false;
  HWND Focus = ::GetFocus();
  return Focus && (Focus == GetHandle() || ::IsChild(GetHandle(), Focus));
}

// ----- messages -----

void TskSkinCustomGrid::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS;
      if (!(FOptions & goRowSelect)) {
        if (FOptions & goTabs) Message.Result |= DLGC_WANTTAB;
        if (FOptions & goEditing) Message.Result |= DLGC_WANTCHARS;
      }
      return;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (Message.LParam == 0) {
        ModifyScrollBar(Message.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, Message.WParamLo(), Message.WParamHi(), true);
        Message.Result = 0;
        return;
      }
      break;
    case WM_TIMER:
      if (FGridState == gsSelecting || FGridState == gsRowMoving || FGridState == gsColMoving) {
        POINT P{};
        ::GetCursorPos(&P);
        const TPoint Pt = ScreenToClient(Point(P.x, P.y));
        TskGridDrawInfo DI;
        CalcDrawInfo(DI);
        if (FGridState == gsSelecting) {
          unsigned Dir = 0;
          if (Pt.x < DI.Horz.FixedBoundary) Dir |= sdLeft;
          else if (Pt.x > DI.Horz.FullVisBoundary) Dir |= sdRight;
          if (Pt.y < DI.Vert.FixedBoundary) Dir |= sdUp;
          else if (Pt.y > DI.Vert.FullVisBoundary) Dir |= sdDown;
          if (Dir) TimedScroll(Dir);
        } else {
          const TGridCoord Cell = CalcCoordFromPoint(Pt.x, Pt.y);
          if (FGridState == gsRowMoving) MoveAndScroll(Pt.y, Cell.Y, DI, DI.Vert, SB_VERT, Pt);
          else MoveAndScroll(Pt.x, Cell.X, DI, DI.Horz, SB_HORZ, Pt);
        }
      }
      Message.Result = 0;
      return;
    case WM_NCHITTEST:
      FHitTest = ScreenToClient(Point(static_cast<short>(Message.LParamLo()), static_cast<short>(Message.LParamHi())));
      break;
    case WM_CANCELMODE:
      CancelMode();
      break;
    case CM_CANCELMODE:
      if (FInplaceEdit) FInplaceEdit->Perform(CM_CANCELMODE, Message.WParam, Message.LParam);
      CancelMode();
      break;
    case CM_WANTSPECIALKEY:
      if ((FOptions & goEditing) && (Message.WParam & 0xFFFF) == VK_RETURN) {
        Message.Result = 1;
        return;
      }
      break;
    case CM_DESIGNHITTEST: {
      int State = FGridState, Index = -1, Pos = 0, Ofs = 0;
      TskGridDrawInfo DI;
      if (State == gsNormal)
        CalcSizingState(static_cast<short>(Message.LParamLo()), static_cast<short>(Message.LParamHi()), State, Index,
                        Pos, Ofs, DI);
      Message.Result = State != gsNormal ? 1 : 0;
      return;
    }
    case WM_COMMAND:
      // Every change of the editor's text goes to the cell at once.
      if (FInplaceEdit && HIWORD(Message.WParam) == EN_CHANGE && FInplaceEdit->HandleAllocated() &&
          reinterpret_cast<HWND>(Message.LParam) == FInplaceEdit->GetHandle()) {
        UpdateText();
        return;
      }
      break;
    case WM_SETCURSOR:
      if (LOWORD(static_cast<std::uintptr_t>(Message.LParam)) == HTCLIENT) {
        int State = FGridState, Index = -1, Pos = 0, Ofs = 0;
        TskGridDrawInfo DI;
        if (State == gsNormal) CalcSizingState(FHitTest.x, FHitTest.y, State, Index, Pos, Ofs, DI);
        if (State == gsRowSizing || State == gsColSizing) {
          ::SetCursor(Screen->GetCursors(State == gsRowSizing ? crVSplit : crHSplit));
          Message.Result = 1;
          return;
        }
      }
      break;
    case WM_SETFOCUS:
      TskSkinControl::WndProc(Message);
      if (!FInplaceEdit || !FInplaceEdit->HandleAllocated() ||
          reinterpret_cast<HWND>(Message.WParam) != FInplaceEdit->GetHandle()) {
        InvalidateRect(GetSelection());
        if (GetVisible()) UpdateEditor();
      }
      return;
    case WM_KILLFOCUS:
      TskSkinControl::WndProc(Message);
      InvalidateRect(GetSelection());
      if (!FInplaceEdit || !FInplaceEdit->HandleAllocated() ||
          reinterpret_cast<HWND>(Message.WParam) != FInplaceEdit->GetHandle())
        HideEditor();
      return;
    case WM_LBUTTONDOWN:
      if (FInplaceEdit) FInplaceEdit->FClickTime = static_cast<DWORD>(::GetMessageTime());
      break;
    case WM_CHAR:
      if ((FOptions & goEditing) &&
          (Message.WParam == VK_BACK || (Message.WParam >= 32 && Message.WParam <= 255))) {
        ShowEditorChar(static_cast<char>(Message.WParam));
        return;
      }
      break;
    case WM_PAINT:
      TskSkinControl::WndProc(Message);
      if (!FUpdatingScrollBars) UpdateScrollRange();
      return;
    default:
      break;
  }
  TskSkinControl::WndProc(Message);
}

void TskSkinCustomGrid::CancelMode() {
  try {
    switch (FGridState) {
      case gsSelecting:
        if (HandleAllocated()) ::KillTimer(GetHandle(), SelectTimer);
        break;
      case gsRowSizing:
      case gsColSizing: {
        TskGridDrawInfo DI;
        CalcDrawInfo(DI);
        DrawSizingLine(DI);
        break;
      }
      case gsRowMoving:
      case gsColMoving:
        DrawMove();
        if (HandleAllocated()) ::KillTimer(GetHandle(), SelectTimer);
        break;
      default: break;
    }
  } catch (...) {
    FGridState = gsNormal;
    throw;
  }
  FGridState = gsNormal;
}

// ----- keyboard -----

void TskSkinCustomGrid::KeyDown(Word& Key, TShiftState Shift) {
  TskSkinControl::KeyDown(Key, Shift);
  if (!CanGridAcceptKey(Key, Shift)) Key = 0;
  const int Factor = 1;  // no right-to-left reading
  TGridCoord NewCurrent = FCurrent;
  TGridCoord NewTopLeft = FTopLeft;
  TskGridDrawInfo DI;
  CalcDrawInfo(DI);
  const int PageWidth = std::max(1, DI.Horz.LastFullVisibleCell - FTopLeft.X);
  const int PageHeight = std::max(1, DI.Vert.LastFullVisibleCell - FTopLeft.Y);
  const bool RowSelect = (FOptions & goRowSelect) != 0;
  if (Shift & ssCtrl) {
    switch (Key) {
      case VK_PRIOR: NewCurrent.Y = FTopLeft.Y; break;
      case VK_NEXT: NewCurrent.Y = DI.Vert.LastFullVisibleCell; break;
      case VK_END: NewCurrent = TGridCoord{FColCount - 1, FRowCount - 1}; break;
      case VK_HOME: NewCurrent = TGridCoord{FFixedCols, FFixedRows}; break;
      case VK_LEFT:
        if (!RowSelect) {
          NewCurrent.X -= Factor * PageWidth;
          NewTopLeft.X -= Factor * PageWidth;
        }
        break;
      case VK_RIGHT:
        if (!RowSelect) {
          NewCurrent.X += Factor * PageWidth;
          NewTopLeft.X += Factor * PageWidth;
        }
        break;
      case VK_UP: NewTopLeft.Y -= 1; break;
      case VK_DOWN: NewTopLeft.Y += 1; break;
      default: break;
    }
  } else {
    switch (Key) {
      case VK_UP: NewCurrent.Y -= 1; break;
      case VK_DOWN: NewCurrent.Y += 1; break;
      case VK_LEFT:
        if (RowSelect) NewCurrent.Y -= Factor;
        else NewCurrent.X -= Factor;
        break;
      case VK_RIGHT:
        if (RowSelect) NewCurrent.Y += Factor;
        else NewCurrent.X += Factor;
        break;
      case VK_NEXT:
        NewCurrent.Y += PageHeight;
        NewTopLeft.Y += PageHeight;
        break;
      case VK_PRIOR:
        NewCurrent.Y -= PageHeight;
        NewTopLeft.Y -= PageHeight;
        break;
      case VK_HOME:
        if (RowSelect) NewCurrent.Y = FFixedRows;
        else NewCurrent.X = FFixedCols;
        break;
      case VK_END:
        if (RowSelect) NewCurrent.Y = FRowCount - 1;
        else NewCurrent.X = FColCount - 1;
        break;
      case VK_TAB:
        if (!(Shift & ssAlt)) {
          bool Back = (Shift & ssShift) != 0;
          do {
            if (Back) {
              --NewCurrent.X;
              if (NewCurrent.X < FFixedCols) {
                NewCurrent.X = FColCount - 1;
                --NewCurrent.Y;
                if (NewCurrent.Y < FFixedRows) NewCurrent.Y = FRowCount - 1;
              }
              Shift &= ~ssShift;
              Back = false;
            } else {
              ++NewCurrent.X;
              if (NewCurrent.X >= FColCount) {
                NewCurrent.X = FFixedCols;
                ++NewCurrent.Y;
                if (NewCurrent.Y >= FRowCount) NewCurrent.Y = FFixedRows;
              }
            }
          } while (!(GetTabStops(NewCurrent.X) || NewCurrent.X == FCurrent.X));
        }
        break;
      case VK_F2: SetEditorMode(true); break;
      default: break;
    }
  }
  const TGridCoord MaxTopLeft = CalcMaxTopLeft(TGridCoord{FColCount - 1, FRowCount - 1}, DI);
  NewTopLeft.X = std::max(FFixedCols, std::min(MaxTopLeft.X, NewTopLeft.X));
  NewTopLeft.Y = std::max(FFixedRows, std::min(MaxTopLeft.Y, NewTopLeft.Y));
  if (!(NewTopLeft == FTopLeft)) MoveTopLeft(NewTopLeft.X, NewTopLeft.Y);
  NewCurrent.X = std::max(FFixedCols, std::min(FColCount - 1, NewCurrent.X));
  NewCurrent.Y = std::max(FFixedRows, std::min(FRowCount - 1, NewCurrent.Y));
  if (!(NewCurrent == FCurrent)) FocusCell(NewCurrent.X, NewCurrent.Y, !(Shift & ssShift));
}

void TskSkinCustomGrid::KeyPress(char& Key) {
  TskSkinControl::KeyPress(Key);
  if (!(FOptions & goAlwaysShowEditor) && Key == '\r') {
    SetEditorMode(!FEditorMode);
    Key = 0;
  }
}

// ----- mouse -----

void TskSkinCustomGrid::CalcSizingAxis(const TskGridAxisDrawInfo& A, int N, int& State, int& Index, int& SizingPos,
                                       int& SizingOfs, int AxisState) {
  int Range = A.EffectiveLineWidth;
  int Back = 0;
  if (Range < 7) {
    Range = 7;
    Back = (Range - A.EffectiveLineWidth) >> 1;
  }
  int Line = A.FixedBoundary;
  for (int I = A.FirstGridCell; I < A.GridCellCount; ++I) {
    Line += A.GetExtent(I);
    if (Line > A.GridBoundary) break;
    if (N >= Line - Back && N <= Line - Back + Range) {
      State = AxisState;
      SizingPos = Line;
      SizingOfs = Line - N;
      Index = I;
      return;
    }
    Line += A.EffectiveLineWidth;
  }
  if (A.GridBoundary == A.GridExtent && N >= A.GridExtent - Back && N <= A.GridExtent) {
    State = AxisState;
    SizingPos = A.GridExtent;
    SizingOfs = A.GridExtent - N;
    Index = A.LastFullVisibleCell + 1;
  }
}

void TskSkinCustomGrid::CalcSizingState(int X, int Y, int& State, int& Index, int& SizingPos, int& SizingOfs,
                                        TskGridDrawInfo& FixedInfo) {
  State = gsNormal;
  Index = -1;
  TGridOptions Effective = FOptions;
  if (Designing()) Effective |= FDesignOptionsBoost;
  if (!(Effective & (goColSizing | goRowSizing))) return;
  CalcDrawInfo(FixedInfo);
  if (X > FixedInfo.Horz.FixedBoundary && (Effective & goColSizing)) {
    if (Y < FixedInfo.Vert.FixedBoundary)
      CalcSizingAxis(FixedInfo.Horz, X, State, Index, SizingPos, SizingOfs, gsColSizing);
  } else if (Y > FixedInfo.Vert.FixedBoundary && (Effective & goRowSizing)) {
    if (X < FixedInfo.Horz.FixedBoundary)
      CalcSizingAxis(FixedInfo.Vert, Y, State, Index, SizingPos, SizingOfs, gsRowSizing);
  }
}

namespace {

// Draws an invertible line on the control's window: drawing it twice restores the pixels.
void XorLine(HWND Wnd, int X1, int Y1, int X2, int Y2, int Width, bool Dotted) {
  if (!Wnd) return;
  HDC DC = ::GetDC(Wnd);
  if (!DC) return;
  HPEN Pen = Dotted ? ::CreatePen(PS_DOT, 1, RGB(255, 255, 255)) : ::CreatePen(PS_SOLID, Width, RGB(255, 255, 255));
  HGDIOBJ OldPen = ::SelectObject(DC, Pen);
  const int OldRop = ::SetROP2(DC, R2_XORPEN);
  if (Dotted || Width <= 1) {
    ::MoveToEx(DC, X1, Y1, nullptr);
    ::LineTo(DC, X2, Y2);
  } else {
    // A wide line as a band of one-pixel lines, so every pixel is drawn exactly once.
    const bool Horizontal = Y1 == Y2;
    for (int I = -(Width / 2); I < Width - Width / 2; ++I) {
      if (Horizontal) {
        ::MoveToEx(DC, X1, Y1 + I, nullptr);
        ::LineTo(DC, X2, Y2 + I);
      } else {
        ::MoveToEx(DC, X1 + I, Y1, nullptr);
        ::LineTo(DC, X2 + I, Y2);
      }
    }
  }
  ::SetROP2(DC, OldRop);
  ::SelectObject(DC, OldPen);
  ::DeleteObject(Pen);
  ::ReleaseDC(Wnd, DC);
}

}  // namespace

void TskSkinCustomGrid::DrawSizingLine(const TskGridDrawInfo& DI) {
  if (!HandleAllocated()) return;
  if (FGridState == gsRowSizing) XorLine(GetHandle(), 0, FSizingPos, DI.Horz.GridExtent, FSizingPos, 1, true);
  else if (FGridState == gsColSizing) XorLine(GetHandle(), FSizingPos, 0, FSizingPos, DI.Vert.GridExtent, 1, true);
}

void TskSkinCustomGrid::DrawMove() {
  if (!HandleAllocated() || FMovePos < 0) return;
  const TRect R = CellRect(FGridState == gsRowMoving ? 0 : FMovePos, FGridState == gsRowMoving ? FMovePos : 0);
  if (FGridState == gsRowMoving) {
    const int Y = FMoveIndex < FMovePos ? R.bottom : R.top;
    XorLine(GetHandle(), 0, Y, GetClientWidth(), Y, 5, false);
  } else if (FGridState == gsColMoving) {
    const int X = FMoveIndex < FMovePos ? R.right : R.left;
    XorLine(GetHandle(), X, 0, X, GetClientHeight(), 5, false);
  }
}

void TskSkinCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  HideEditor();
  if (!Designing()) {
    if (CanFocus() || !GetParentForm(this)) {
      SetFocus();
      if (!IsActiveControl()) {
        SetMouseCapture(false);
        return;
      }
    }
  }
  bool MoveLineDrawn = false;
  if (Button == mbLeft && (Shift & ssDouble)) {
    DblClick();
  } else if (Button == mbLeft) {
    TskGridDrawInfo DI;
    CalcDrawInfo(DI);
    int State = gsNormal, Index = -1, Pos = 0, Ofs = 0;
    CalcSizingState(X, Y, State, Index, Pos, Ofs, DI);
    if (State != gsNormal) {
      FGridState = State;
      FSizingIndex = Index;
      FSizingPos = Pos;
      FSizingOfs = Ofs;
      DrawSizingLine(DI);
      return;
    }
    const TGridCoord Cell = CalcCoordFromPoint(X, Y);
    if (Cell.X >= FFixedCols && Cell.Y >= FFixedRows) {
      if (FOptions & goEditing) {
        if (Cell == FCurrent) {
          ShowEditor();
        } else {
          MoveColRow(Cell.X, Cell.Y, true, true);
          UpdateEditor();
        }
        Click();
      } else {
        FGridState = gsSelecting;
        if (HandleAllocated()) ::SetTimer(GetHandle(), SelectTimer, SelectTimerPeriod, nullptr);
        if (Shift & ssShift) MoveAnchor(Cell);
        else MoveColRow(Cell.X, Cell.Y, true, true);
      }
    } else if ((FOptions & goRowMoving) && Cell.X >= 0 && Cell.X < FFixedCols && Cell.Y >= FFixedRows) {
      FMoveIndex = Cell.Y;
      FMovePos = FMoveIndex;
      if (BeginRowDrag(FMoveIndex, FMovePos, Point(X, Y))) {
        FGridState = gsRowMoving;
        RepaintPending();
        DrawMove();
        MoveLineDrawn = true;
        if (HandleAllocated()) ::SetTimer(GetHandle(), SelectTimer, SelectTimerPeriod, nullptr);
      }
    } else if ((FOptions & goColMoving) && Cell.Y >= 0 && Cell.Y < FFixedRows && Cell.X >= FFixedCols) {
      FMoveIndex = Cell.X;
      FMovePos = FMoveIndex;
      if (BeginColumnDrag(FMoveIndex, FMovePos, Point(X, Y))) {
        FGridState = gsColMoving;
        RepaintPending();
        DrawMove();
        MoveLineDrawn = true;
        if (HandleAllocated()) ::SetTimer(GetHandle(), SelectTimer, SelectTimerPeriod, nullptr);
      }
    }
  }
  try {
    TskSkinControl::MouseDown(Button, Shift, X, Y);
  } catch (...) {
    if (MoveLineDrawn) DrawMove();
  }
}

void TskSkinCustomGrid::MoveAndScroll(int Mouse, int CellHit, TskGridDrawInfo& DI, TskGridAxisDrawInfo& Axis,
                                      int ScrollBar, const TPoint& MousePt) {
  if (CellHit == FMovePos) return;
  if (Mouse < Axis.FixedBoundary && FMovePos == Axis.FixedCellCount) return;
  if (Mouse > Axis.GridBoundary && FMovePos == Axis.GridCellCount - 1) return;
  DrawMove();
  int Aim = CellHit;
  if (Mouse < Axis.FixedBoundary) {
    if (FMovePos > Axis.FixedCellCount) {
      ModifyScrollBar(ScrollBar, SB_LINEUP, 0, false);
      RepaintPending();
      CalcDrawInfo(DI);
    }
    Aim = ScrollBar == SB_VERT ? DI.Vert.FirstGridCell : DI.Horz.FirstGridCell;
  } else if (Mouse >= Axis.FullVisBoundary) {
    if (FMovePos == Axis.LastFullVisibleCell && FMovePos < Axis.GridCellCount - 1) {
      ModifyScrollBar(ScrollBar, SB_LINEDOWN, 0, false);
      RepaintPending();
      CalcDrawInfo(DI);
    }
    Aim = ScrollBar == SB_VERT ? DI.Vert.LastFullVisibleCell : DI.Horz.LastFullVisibleCell;
  } else if (CellHit < 0) {
    Aim = FMovePos;
  }
  const bool Agreed = FGridState == gsRowMoving ? CheckRowDrag(FMoveIndex, Aim, MousePt)
                                                : CheckColumnDrag(FMoveIndex, Aim, MousePt);
  if (Agreed) FMovePos = Aim;
  DrawMove();
}

void TskSkinCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
  TskGridDrawInfo DI;
  CalcDrawInfo(DI);
  switch (FGridState) {
    case gsRowSizing:
    case gsColSizing:
      DrawSizingLine(DI);
      FSizingPos = (FGridState == gsRowSizing ? Y : X) + FSizingOfs;
      DrawSizingLine(DI);
      break;
    case gsSelecting:
    case gsRowMoving:
    case gsColMoving: {
      const TGridCoord Cell = CalcCoordFromPoint(X, Y);
      if (Cell.X >= FFixedCols && Cell.Y >= FFixedRows && Cell.X <= DI.Horz.LastFullVisibleCell + 1 &&
          Cell.Y <= DI.Vert.LastFullVisibleCell + 1) {
        if (FGridState == gsSelecting) {
          if (!(Cell == FAnchor)) MoveAnchor(Cell);
        } else if (FGridState == gsRowMoving) {
          MoveAndScroll(Y, Cell.Y, DI, DI.Vert, SB_VERT, Point(X, Y));
        } else {
          MoveAndScroll(X, Cell.X, DI, DI.Horz, SB_HORZ, Point(X, Y));
        }
      }
      break;
    }
    default: break;
  }
  TskSkinControl::MouseMove(Shift, X, Y);
}

void TskSkinCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  try {
    TskGridDrawInfo DI;
    CalcDrawInfo(DI);
    switch (FGridState) {
      case gsSelecting:
        MouseMove(Shift, X, Y);
        if (HandleAllocated()) ::KillTimer(GetHandle(), SelectTimer);
        UpdateEditor();
        Click();
        break;
      case gsRowSizing:
      case gsColSizing: {
        DrawSizingLine(DI);
        const TskGridAxisDrawInfo& A = FGridState == gsColSizing ? DI.Horz : DI.Vert;
        int Start = A.FixedBoundary;
        for (int I = A.FirstGridCell; I < FSizingIndex; ++I) Start += A.GetExtent(I) + A.EffectiveLineWidth;
        const int NewSize = FSizingPos - Start;
        if (NewSize > 1) {
          if (FGridState == gsColSizing) SetColWidths(FSizingIndex, NewSize);
          else SetRowHeights(FSizingIndex, NewSize);
        }
        break;
      }
      case gsRowMoving:
      case gsColMoving: {
        DrawMove();
        if (HandleAllocated()) ::KillTimer(GetHandle(), SelectTimer);
        const bool Rows = FGridState == gsRowMoving;
        const bool Agreed = Rows ? EndRowDrag(FMoveIndex, FMovePos, Point(X, Y))
                                 : EndColumnDrag(FMoveIndex, FMovePos, Point(X, Y));
        if (Agreed && FMovePos != FMoveIndex) {
          FGridState = gsNormal;
          if (Rows) MoveRow(FMoveIndex, FMovePos);
          else MoveColumn(FMoveIndex, FMovePos);
        }
        UpdateEditor();
        break;
      }
      default:
        UpdateEditor();
        break;
    }
    TskSkinControl::MouseUp(Button, Shift, X, Y);
  } catch (...) {
    FGridState = gsNormal;
    throw;
  }
  FGridState = gsNormal;
}

bool TskSkinCustomGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  if (!TskSkinControl::DoMouseWheelDown(Shift, MousePos)) {
    if (FCurrent.Y < FRowCount - 1) SetRow(FCurrent.Y + 1);
  }
  return true;
}

bool TskSkinCustomGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  if (!TskSkinControl::DoMouseWheelUp(Shift, MousePos)) {
    if (FCurrent.Y > FFixedRows) SetRow(FCurrent.Y - 1);
  }
  return true;
}

void TskSkinCustomGrid::DoExit() {
  TskSkinControl::DoExit();
  if (!(FOptions & goAlwaysShowEditor)) HideEditor();
}

void TskSkinCustomGrid::TimedScroll(unsigned Direction) {
  TGridCoord NewAnchor = FAnchor;
  if ((Direction & sdLeft) && FAnchor.X > FFixedCols) --NewAnchor.X;
  if ((Direction & sdRight) && FAnchor.X < FColCount - 1) ++NewAnchor.X;
  if ((Direction & sdUp) && FAnchor.Y > FFixedRows) --NewAnchor.Y;
  if ((Direction & sdDown) && FAnchor.Y < FRowCount - 1) ++NewAnchor.Y;
  if (!(NewAnchor == FAnchor)) MoveAnchor(NewAnchor);
}
