// Painting of the skinned grid: the background (a tiled skin picture, what lies under a
// transparent grid, or a wallpaper), the grid lines, and every visible cell: fixed, selected
// and focused cells from pieces of the skin's grid picture, normal cells in the skin's font,
// or the plain look in system colours when there is no usable skin record.
#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinImages.h"
#include "skin/foundation/SkinRegions.h"
#include "skin/foundation/SkinStripImages.h"
#include "skin/shell/SkinGridEditors.h"
#include "skin/shell/SkinGrids.h"

namespace {

int RW(const TRect& R) { return R.right - R.left; }
int RH(const TRect& R) { return R.bottom - R.top; }
bool NoArea(const TRect& R) { return RW(R) <= 0 || RH(R) <= 0; }

TBitmap* PictureAt(TskSkinData* SD, int Index) {
  if (!SD || Index < 0 || Index >= static_cast<int>(SD->ActivePictures.size())) return nullptr;
  return SD->ActivePictures[static_cast<size_t>(Index)];
}

}  // namespace

// ----- skin record -----

void TskSkinCustomGrid::GetSkinData() {
  FSkin.Picture = nullptr;
  FSkin.BGPicture = nullptr;
  TskSkinControl::GetSkinData();
  if (FIndex < 0) return;
  auto* R = dynamic_cast<TskDataSkinGridControl*>(FSkinData->ControlList[static_cast<size_t>(FIndex)]);
  if (!R) {
    FIndex = -1;
    return;
  }
  FSkin.Picture = PictureAt(FSkinData, R->pictureindex);
  FSkin.fixedcellrect = R->fixedcellrect;
  FSkin.selectcellrect = R->selectcellrect;
  FSkin.focuscellrect = R->focuscellrect;
  FSkin.fixedcellleftoffset = R->fixedcellleftoffset;
  FSkin.fixedcellrightoffset = R->fixedcellrightoffset;
  FSkin.fixedcelltextrect = R->fixedcelltextrect;
  FSkin.cellleftoffset = R->cellleftoffset;
  FSkin.cellrightoffset = R->cellrightoffset;
  FSkin.celltextrect = R->celltextrect;
  FSkin.linescolor = R->linescolor;
  FSkin.bgcolor = R->bgcolor;
  FSkin.bgpictureindex = R->bgpictureindex;
  FSkin.fontname = R->fontname;
  FSkin.fontheight = R->fontheight;
  FSkin.fontstyle = R->fontstyle;
  FSkin.fontcolor = R->fontcolor;
  FSkin.selectfontcolor = R->selectfontcolor;
  FSkin.focusfontcolor = R->focusfontcolor;
  FSkin.fixedfontname = R->fixedfontname;
  FSkin.fixedfontheight = R->fixedfontheight;
  FSkin.fixedfontstyle = R->fixedfontstyle;
  FSkin.fixedfontcolor = R->fixedfontcolor;
  FSkin.cellstretcheffect = R->cellstretcheffect;
  FSkin.fixedcellstretcheffect = R->fixedcellstretcheffect;
  FSkin.showfocus = R->showfocus;
  FSkin.BGPicture = PictureAt(FSkinData, R->bgpictureindex);
  if (NoArea(FSkin.selectcellrect)) FSkin.selectcellrect = FSkin.focuscellrect;
  if (NoArea(FSkin.focuscellrect)) FSkin.focuscellrect = FSkin.selectcellrect;
  if (NoArea(FSkin.fixedcellrect)) {
    FIndex = -1;
    FSkin.Picture = nullptr;
    FSkin.BGPicture = nullptr;
  }
}

void TskSkinCustomGrid::ChangeSkinData() {
  GetSkinData();
  CursorIndex = -1;
  if (FIndex >= 0) CursorIndex = FSkinData->ControlList[static_cast<size_t>(FIndex)]->cursorindex;
  SetCursor(SkinCursor(FSkinData, CursorIndex));
  if (FIndex >= 0 && FUseSkinCellHeight && FDefaultRowHeight != RH(FSkin.selectcellrect))
    SetDefaultRowHeight(RH(FSkin.selectcellrect));
  else
    InvalidateGrid();
}

// ----- look properties -----

void TskSkinCustomGrid::SetWallpaper(TBitmap* Value) {
  if (Value) FWallpaper->Assign(Value);
  else FWallpaper->SetSize(0, 0);
  if (Value) FTransparent = true;
  Invalidate();
}

void TskSkinCustomGrid::SetWallpaperStretch(bool Value) {
  FWallpaperStretch = Value;
  if (!FWallpaper->Empty()) Invalidate();
}

void TskSkinCustomGrid::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  Invalidate();
}

void TskSkinCustomGrid::SetGridLineColor(TColor Value) {
  FGridLineColor = Value;
  if (FIndex < 0) Invalidate();
}

// ----- text rectangle -----

TRect TskSkinCustomGrid::GetTextRect(const TRect& CR, TGridDrawState State) {
  if (FIndex < 0) return CR;
  const bool Fixed = (State & gdFixed) != 0;
  const TRect Pic = Fixed ? FSkin.fixedcellrect : FSkin.selectcellrect;
  const TRect Txt = Fixed ? FSkin.fixedcelltextrect : FSkin.celltextrect;
  if (NoArea(Txt)) return CR;
  const int DW = RW(CR) - RW(Pic);
  const int DH = FUseSkinCellHeight ? 0 : RH(CR) - RH(FSkin.fixedcellrect);
  TRect R;
  R.left = CR.left + Txt.left;
  R.top = CR.top + Txt.top;
  R.right = R.left + RW(Txt) + DW;
  R.bottom = R.top + RH(Txt) + DH;
  return R;
}

// ----- painting -----

void TskSkinCustomGrid::SetCanvasSkinFont(const String& Name, int Height, TFontStyles Style, TColor Color) {
  TFont* F = GetCanvas()->GetFont();
  const TFontCharset Charset = GetFont()->GetCharset();
  F->SetName(Name);
  F->SetHeight(Height);
  F->SetStyle(Style);
  F->SetColor(Color);
  F->SetCharset(Charset);
}

void TskSkinCustomGrid::ApplyCharset() {
  TFont* F = GetCanvas()->GetFont();
  if (FSkinData && FSkinData->GetResourceStrData()) F->SetCharset(FSkinData->GetResourceStrData()->CharSet);
  else F->SetCharset(GetFont()->GetCharset());
}

void TskSkinCustomGrid::PrepareSkinCell(const TRect& Where, TGridDrawState State) {
  const int W = RW(Where), H = RH(Where);
  TBitmap B;
  if (!FUseSkinCellHeight) B.SetSize(W, H);
  TRect Piece, TextR;
  int LeftOffset, RightOffset;
  bool Stretch;
  TCanvas* C = GetCanvas();
  if (State & gdFixed) {
    Piece = FSkin.fixedcellrect;
    LeftOffset = FSkin.fixedcellleftoffset;
    RightOffset = FSkin.fixedcellrightoffset;
    TextR = FSkin.fixedcelltextrect;
    Stretch = FSkin.fixedcellstretcheffect;
    if (FUseSkinFont) SetCanvasSkinFont(FSkin.fixedfontname, FSkin.fixedfontheight, FSkin.fixedfontstyle, FSkin.fixedfontcolor);
    else {
      C->GetFont()->Assign(GetFont());
      C->GetFont()->SetColor(FSkin.fixedfontcolor);
    }
  } else {
    const bool Focus = (State & gdFocused) || (FOptions & goRowSelect);
    Piece = Focus ? FSkin.focuscellrect : FSkin.selectcellrect;
    LeftOffset = FSkin.cellleftoffset;
    RightOffset = FSkin.cellrightoffset;
    TextR = FSkin.celltextrect;
    Stretch = FSkin.cellstretcheffect;
    const TColor FontColor = Focus ? FSkin.focusfontcolor : FSkin.selectfontcolor;
    if (FUseSkinFont) SetCanvasSkinFont(FSkin.fontname, FSkin.fontheight, FSkin.fontstyle, FontColor);
    else {
      C->GetFont()->Assign(GetFont());
      C->GetFont()->SetColor(FontColor);
    }
  }
  ApplyCharset();
  if (!FSkin.Picture) return;
  if (FUseSkinCellHeight) {
    BuildHorzSkinBitmap(LeftOffset, RightOffset, &B, FSkin.Picture, Piece, W, H, Stretch);
  } else {
    const TRect Border{LeftOffset, TextR.top, RW(Piece) - RightOffset, TextR.bottom};
    BuildSkinBitmap(&B, FSkin.Picture, Piece, Border, true);
  }
  if (FSkin.showfocus && (State & gdFocused) && !(FOptions & goRowSelect)) {
    B.GetCanvas()->GetFont()->SetColor(C->GetFont()->GetColor());
    DrawDottedFocusRect(B.GetCanvas(), TRect{0, 0, B.GetWidth(), B.GetHeight()});
  }
  C->Draw(Where.left, Where.top, &B);
}

void TskSkinCustomGrid::PaintCells(const TskGridDrawInfo& DI, int ACol, int ARow, int StartX, int StartY, int StopX,
                                   int StopY, TColor Color, TGridDrawState IncludeDrawState) {
  TCanvas* C = GetCanvas();
  const TRect Clip = C->GetClipRect();
  const TGridRect Sel = GetSelection();
  const bool Focused = IsActiveControl();
  int CurRow = ARow;
  int Y = StartY;
  while (Y < StopY && CurRow < FRowCount) {
    int CurCol = ACol;
    int X = StartX;
    const int RowH = GetRowHeights(CurRow);
    while (X < StopX && CurCol < FColCount) {
      const int ColW = GetColWidths(CurCol);
      const TRect Where{X, Y, X + ColW, Y + RowH};
      const bool Visible = ColW > 0 && Where.right > Clip.left && Where.left < Clip.right &&
                           Where.bottom > Clip.top && Where.top < Clip.bottom;
      if (Visible) {
        TGridDrawState State = IncludeDrawState;
        if (Focused && CurRow == FCurrent.Y && CurCol == FCurrent.X) State |= gdFocused;
        if (CurCol >= Sel.Left && CurCol <= Sel.Right && CurRow >= Sel.Top && CurRow <= Sel.Bottom)
          State |= gdSelected;
        const bool Edited = (State & gdFocused) && (FOptions & goEditing) && FEditorMode && !Designing();
        if (!Edited) {
          if (FDefaultDrawing || Designing()) {
            if (FIndex < 0) {
              C->GetFont()->Assign(GetFont());
              const bool Highlight = (State & gdSelected) && (!(State & gdFocused) ||
                                                              (FOptions & (goDrawFocusSelected | goRowSelect)));
              if (Highlight) {
                C->GetBrush()->SetColor(clHighlight);
                C->GetFont()->SetColor(clHighlightText);
                C->FillRect(Where);
              } else if (!FTransparent || (State & gdFixed)) {
                C->GetBrush()->SetColor(Color);
                C->FillRect(Where);
                if (State & gdFixed) DrawBevelFrame(C, Where, clBtnHighlight, clBtnShadow);
              }
            } else if (State & (gdFixed | gdSelected | gdFocused)) {
              PrepareSkinCell(Where, State);
            } else {
              if (FUseSkinFont) SetCanvasSkinFont(FSkin.fontname, FSkin.fontheight, FSkin.fontstyle, FSkin.fontcolor);
              else {
                C->GetFont()->Assign(GetFont());
                C->GetFont()->SetColor(FSkin.fontcolor);
              }
              ApplyCharset();
              if (!FSkin.BGPicture && !FTransparent) {
                C->GetBrush()->SetColor(FSkin.bgcolor);
                C->FillRect(Where);
              }
            }
          }
          C->GetBrush()->SetStyle(bsSolid);
          DrawCell(CurCol, CurRow, Where, State);
          if (FIndex < 0 && FDefaultDrawing && !Designing() && (State & gdFocused) &&
              !((FOptions & goEditing) && (FOptions & goAlwaysShowEditor)) && !(FOptions & goRowSelect))
            DrawDottedFocusRect(C, Where);
        }
      }
      X += ColW + DI.Horz.EffectiveLineWidth;
      ++CurCol;
    }
    Y += RowH + DI.Vert.EffectiveLineWidth;
    ++CurRow;
  }
}

void TskSkinCustomGrid::PaintLines(const TskGridDrawInfo& DI) {
  if (DI.Horz.EffectiveLineWidth <= 0 && DI.Vert.EffectiveLineWidth <= 0) return;
  TColor LineColor = FIndex >= 0 ? FSkin.linescolor : FGridLineColor;
  if ((ColorToRGB(GetColor()) & 0xFFFFFF) == 0xC0C0C0) LineColor = clGray;
  HDC DC = GetCanvas()->GetHandle();
  // Lines of one axis in a box, each spanning the box across; all in one call.
  auto DrawAxisLines = [&](bool Vertical, const TRect& Box, int FirstCell, TColor Color) {
    const TskGridAxisDrawInfo& A = Vertical ? DI.Horz : DI.Vert;
    const int LW = A.EffectiveLineWidth;
    if (LW <= 0) return;
    std::vector<POINT> Points;
    std::vector<DWORD> Counts;
    const int BoxStart = Vertical ? Box.left : Box.top;
    const int BoxEnd = Vertical ? Box.right : Box.bottom;
    int Cell = FirstCell;
    int Pos = BoxStart + A.GetExtent(Cell) + LW / 2;
    while (Pos <= BoxEnd + LW && Cell < A.GridCellCount) {
      if (Vertical) {
        Points.push_back(POINT{Pos, Box.top});
        Points.push_back(POINT{Pos, Box.bottom});
      } else {
        Points.push_back(POINT{Box.left, Pos});
        Points.push_back(POINT{Box.right, Pos});
      }
      Counts.push_back(2);
      ++Cell;
      if (Cell >= A.GridCellCount) break;
      Pos += A.GetExtent(Cell) + LW;
    }
    if (Counts.empty()) return;
    HPEN Pen;
    if (FGridLineWidth > 1) {
      LOGBRUSH LB{BS_SOLID, ColorToRGB(Color), 0};
      Pen = ::ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER, static_cast<DWORD>(FGridLineWidth),
                           &LB, 0, nullptr);
    } else {
      Pen = ::CreatePen(PS_SOLID, 1, ColorToRGB(Color));
    }
    HGDIOBJ Old = ::SelectObject(DC, Pen);
    ::PolyPolyline(DC, Points.data(), Counts.data(), static_cast<DWORD>(Counts.size()));
    ::SelectObject(DC, Old);
    ::DeleteObject(Pen);
  };
  auto DrawArea = [&](const TRect& Box, int Col, int Row, bool HorzOn, bool VertOn, TColor OffColor) {
    if (NoArea(Box)) return;
    if (HorzOn) {
      DrawAxisLines(true, Box, Col, VertOn ? LineColor : OffColor);
      DrawAxisLines(false, Box, Row, LineColor);
    } else {
      DrawAxisLines(false, Box, Row, OffColor);
      DrawAxisLines(true, Box, Col, VertOn ? LineColor : OffColor);
    }
  };
  const int HF = DI.Horz.FixedBoundary, VF = DI.Vert.FixedBoundary;
  const int HB = DI.Horz.GridBoundary, VB = DI.Vert.GridBoundary;
  const bool FH = (FOptions & goFixedHorzLine) != 0, FV = (FOptions & goFixedVertLine) != 0;
  const bool GH = (FOptions & goHorzLine) != 0, GV = (FOptions & goVertLine) != 0;
  DrawArea(TRect{0, 0, HF, VF}, 0, 0, FH, FV, FFixedColor);
  DrawArea(TRect{HF, 0, HB, VF}, FTopLeft.X, 0, FH, FV, FFixedColor);
  DrawArea(TRect{0, VF, HF, VB}, 0, FTopLeft.Y, FH, FV, FFixedColor);
  DrawArea(TRect{HF, VF, HB, VB}, FTopLeft.X, FTopLeft.Y, GH, GV, GetColor());
}

void TskSkinCustomGrid::Paint() {
  if (GetWidth() < 1 || GetHeight() < 1) return;
  GetSkinData();
  TCanvas* C = GetCanvas();
  const int W = GetWidth(), H = GetHeight();
  // Background.
  if (FIndex >= 0 && FSkin.BGPicture && !FTransparent) {
    const int PW = FSkin.BGPicture->GetWidth(), PH = FSkin.BGPicture->GetHeight();
    if (PW > 0 && PH > 0)
      for (int I = 0; I <= W / PW; ++I)
        for (int J = 0; J <= H / PH; ++J) C->Draw(I * PW, J * PH, FSkin.BGPicture);
  } else if (FTransparent) {
    TBitmap B;
    B.SetSize(W, H);
    if (FWallpaper->Empty()) {
      PaintParentBackground(this, B.GetCanvas());
    } else if (FWallpaperStretch) {
      B.GetCanvas()->StretchDraw(TRect{0, 0, W, H}, FWallpaper);
    } else {
      const int PW = FWallpaper->GetWidth(), PH = FWallpaper->GetHeight();
      for (int I = 0; I <= W / PW; ++I)
        for (int J = 0; J <= H / PH; ++J) B.GetCanvas()->Draw(I * PW, J * PH, FWallpaper);
    }
    C->Draw(0, 0, &B);
  }
  TskGridDrawInfo DI;
  CalcDrawInfo(DI);
  PaintLines(DI);
  const int HF = DI.Horz.FixedBoundary, VF = DI.Vert.FixedBoundary;
  PaintCells(DI, 0, 0, 0, 0, HF, VF, FFixedColor, gdFixed);
  PaintCells(DI, FTopLeft.X, 0, HF - FColOffset, 0, DI.Horz.GridBoundary, VF, FFixedColor, gdFixed);
  PaintCells(DI, 0, FTopLeft.Y, 0, VF, HF, DI.Vert.GridBoundary, FFixedColor, gdFixed);
  PaintCells(DI, FTopLeft.X, FTopLeft.Y, HF - FColOffset, VF, DI.Horz.GridBoundary, DI.Vert.GridBoundary, GetColor(),
             0);
  if (!Designing() && (FOptions & goRowSelect) && FDefaultDrawing && Focused() && FIndex < 0) {
    const TGridRect Sel = GetSelection();
    const TRect R = BoxRect(Sel.Left, Sel.Top, Sel.Right, Sel.Bottom);
    if (!NoArea(R)) DrawDottedFocusRect(C, R);
  }
  if (!((FIndex >= 0 && FSkin.BGPicture) || FTransparent)) {
    C->GetBrush()->SetColor(FIndex >= 0 ? FSkin.bgcolor : GetColor());
    C->GetBrush()->SetStyle(bsSolid);
    const int HB = DI.Horz.GridBoundary, VB = DI.Vert.GridBoundary;
    if (HB < DI.Horz.GridExtent + 1) C->FillRect(TRect{HB, 0, DI.Horz.GridExtent + 1, VB});
    if (VB < DI.Vert.GridExtent) C->FillRect(TRect{0, VB, DI.Horz.GridExtent + 1, DI.Vert.GridExtent});
  }
}
