// The "SysTreeView32" window class: a tree of items with text, images and a has-children mark,
// shown as indented rows with expand buttons, drawn in the plain look. Items are addressed by
// HTREEITEM handles (checked, so a stale handle is refused); selection and expansion by mouse
// and keyboard ask the parent first (TVN_SELCHANGING, TVN_ITEMEXPANDING: a non-zero answer
// vetoes) and tell it afterwards. Callback texts, images and child marks are asked of the parent
// with TVN_GETDISPINFO. With TVS_HASLINES dotted lines join each item to its parent's line, the
// buttons sitting on them. Labels are edited in place (TVM_EDITLABEL, or with TVS_EDITLABELS a
// second click on the selected item's label), the parent deciding with TVN_BEGINLABELEDIT and
// TVN_ENDLABELEDIT. The wheel scrolls by the system's lines per notch.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/StdCtrlsConsts.h"
#include "platform/vcl/TreeViewCtrl.h"
#include "platform/vcl/ViewCtrlsConsts.h"
#include "platform/vcl/ViewCtrlsShared.h"

struct _TREEITEM {
  String Text;
  bool TextCallback = false;
  int Image = 0;
  int SelectedImage = 0;
  int Children = 0;  // 0, 1 or I_CHILDRENCALLBACK
  UINT State = 0;
  LPARAM Param = 0;
  _TREEITEM* Parent = nullptr;
  std::vector<_TREEITEM*> Kids;
  int Width = -1;  // the label's text width (kept texts only); -1 = to measure
};

namespace {

struct TTreeState {
  _TREEITEM Root;
  std::set<_TREEITEM*> Live;
  _TREEITEM* Caret = nullptr;
  _TREEITEM* DropHilite = nullptr;
  int Top = 0;  // index of the first shown row
  int ScrollX = 0;  // pixels scrolled to the left
  int Indent = 19;
  int ItemHeight = 0;  // 0 = from the font and images
  HFONT Font = nullptr;
  HIMAGELIST Images = nullptr;
  HIMAGELIST StateImages = nullptr;
  COLORREF BkColor = CLR_INVALID, TextColor = CLR_INVALID;
  HWND Edit = nullptr;             // the label editor while a label is edited
  _TREEITEM* Editing = nullptr;    // whose label
  bool EndingEdit = false;         // the end is being announced
  _TREEITEM* PendingEdit = nullptr;  // clicked again; edited when no double click follows
  int WheelRest = 0;               // wheel turns not yet scrolled
  bool RedrawOff = false;          // between WM_SETREDRAW FALSE and TRUE
  bool ScrollStale = false;        // the scroll ranges wait for redrawing to come back
};

// The timer that waits out the double-click time before a second click starts editing.
constexpr UINT_PTR EditTimer = 0x4544;

std::map<HWND, std::unique_ptr<TTreeState>>& States() {
  static std::map<HWND, std::unique_ptr<TTreeState>> Map;
  return Map;
}

TTreeState* Find(HWND Wnd) {
  auto It = States().find(Wnd);
  return It == States().end() ? nullptr : It->second.get();
}

TTreeState& StateOf(HWND Wnd) {
  auto& P = States()[Wnd];
  if (!P) P = std::make_unique<TTreeState>();
  return *P;
}

DWORD StyleOf(HWND Wnd) { return static_cast<DWORD>(GetWindowLongA(Wnd, GWL_STYLE)); }

_TREEITEM* Item(TTreeState& S, HTREEITEM H) {
  if (H == TVI_ROOT || H == nullptr) return nullptr;
  return S.Live.count(H) ? H : nullptr;
}

LRESULT SendNotify(HWND Wnd, NMHDR& H, UINT Code) {
  H.hwndFrom = Wnd;
  H.idFrom = static_cast<UINT_PTR>(GetWindowLongPtrA(Wnd, GWLP_ID));
  H.code = Code;
  HWND Parent = GetParent(Wnd);
  return Parent ? SendMessageA(Parent, WM_NOTIFY, H.idFrom, reinterpret_cast<LPARAM>(&H)) : 0;
}

void FillItem(const _TREEITEM* I, TVITEMA& T) {
  T.hItem = const_cast<_TREEITEM*>(I);
  T.state = I->State;
  T.stateMask = 0xFFFF;
  T.lParam = I->Param;
  T.iImage = I->Image;
  T.iSelectedImage = I->SelectedImage;
  T.cChildren = I->Children;
}

// Asks the parent for callback values of Mask.
void GetDispInfo(HWND Wnd, _TREEITEM* I, UINT Mask, NMTVDISPINFOA& D, char* Buffer, int Size) {
  D.item.mask = Mask;
  FillItem(I, D.item);
  D.item.pszText = Buffer;
  D.item.cchTextMax = Size;
  if (Buffer && Size > 0) Buffer[0] = '\0';
  SendNotify(Wnd, D.hdr, TVN_GETDISPINFOA);
}

String TextOf(HWND Wnd, _TREEITEM* I) {
  if (!I->TextCallback) return I->Text;
  char Buffer[260];
  NMTVDISPINFOA D;
  GetDispInfo(Wnd, I, TVIF_TEXT, D, Buffer, sizeof Buffer);
  return D.item.pszText ? String(D.item.pszText) : String();
}

bool HasChildren(HWND Wnd, _TREEITEM* I) {
  if (!I->Kids.empty()) return true;
  if (I->Children != I_CHILDRENCALLBACK) return I->Children != 0;
  NMTVDISPINFOA D;
  GetDispInfo(Wnd, I, TVIF_CHILDREN, D, nullptr, 0);
  return D.item.cChildren != 0;
}

int ImageOf(HWND Wnd, _TREEITEM* I, bool Selected) {
  int Image = Selected ? I->SelectedImage : I->Image;
  if (Image != I_IMAGECALLBACK) return Image;
  NMTVDISPINFOA D;
  GetDispInfo(Wnd, I, Selected ? TVIF_SELECTEDIMAGE : TVIF_IMAGE, D, nullptr, 0);
  return Selected ? D.item.iSelectedImage : D.item.iImage;
}

bool Expanded(const _TREEITEM* I) { return (I->State & TVIS_EXPANDED) != 0; }

// The rows shown when every collapsed item hides its children.
void VisibleRows(_TREEITEM* Parent, std::vector<_TREEITEM*>& Rows) {
  for (_TREEITEM* K : Parent->Kids) {
    Rows.push_back(K);
    if (Expanded(K)) VisibleRows(K, Rows);
  }
}

std::vector<_TREEITEM*> Rows(TTreeState& S) {
  std::vector<_TREEITEM*> R;
  VisibleRows(&S.Root, R);
  return R;
}

int Level(const _TREEITEM* I) {
  int L = 0;
  for (const _TREEITEM* P = I->Parent; P && P->Parent; P = P->Parent) ++L;
  return L;
}

int RowHeight(TTreeState& S) {
  if (S.ItemHeight > 0) return S.ItemHeight;
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = S.Font ? SelectObject(DC, S.Font) : nullptr;
  TEXTMETRICA TM{};
  GetTextMetricsA(DC, &TM);
  if (Old) SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  int H = TM.tmHeight + 3;
  if (S.Images) H = std::max(H, S.Images->GetHeight() + 1);
  return std::max(H, 1);
}

int PageRows(HWND Wnd, TTreeState& S) {
  RECT C{};
  GetClientRect(Wnd, &C);
  return std::max(0, static_cast<int>(C.bottom) / RowHeight(S));
}

int ContentWidth(HWND Wnd, TTreeState& S, const std::vector<_TREEITEM*>& Shown);

void UpdateScrollNow(HWND Wnd, TTreeState& S) {
  S.ScrollStale = false;
  auto Shown = Rows(S);
  int Count = static_cast<int>(Shown.size());
  int Page = PageRows(Wnd, S);
  S.Top = std::max(0, std::min(S.Top, Count - std::max(Page, 1)));
  SCROLLINFO SI{};
  SI.cbSize = sizeof SI;
  SI.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  SI.nMin = 0;
  SI.nMax = Count > 0 ? Count - 1 : 0;
  SI.nPage = static_cast<UINT>(Page);
  SI.nPos = S.Top;
  SetScrollInfo(Wnd, SB_VERT, &SI, TRUE);
  // Sideways, in pixels, as far as the widest shown row reaches.
  RECT C{};
  GetClientRect(Wnd, &C);
  int Width = ContentWidth(Wnd, S, Shown);
  S.ScrollX = std::max(0, std::min(S.ScrollX, Width - static_cast<int>(C.right)));
  SI.nMax = std::max(0, Width - 1);
  SI.nPage = static_cast<UINT>(std::max<LONG>(C.right, 0));
  SI.nPos = S.ScrollX;
  SetScrollInfo(Wnd, SB_HORZ, &SI, TRUE);
}

// While redrawing is off (a batch of changes), the ranges are worked out once, when it comes back.
void UpdateScroll(HWND Wnd, TTreeState& S) {
  if (S.RedrawOff)
    S.ScrollStale = true;
  else
    UpdateScrollNow(Wnd, S);
}

// Whether I is on a row: every item above it is expanded.
bool Shown(const _TREEITEM* I) {
  for (const _TREEITEM* P = I->Parent; P && P->Parent; P = P->Parent)
    if (!Expanded(P)) return false;
  return true;
}

// Where the parts of a row start: x of the button column, the image and the text.
int IndentOf(HWND Wnd, TTreeState& S, _TREEITEM* I) {
  int L = Level(I);
  if (StyleOf(Wnd) & TVS_LINESATROOT) ++L;
  return L * S.Indent;
}

int TextWidth(TTreeState& S, const String& Text) {
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = S.Font ? SelectObject(DC, S.Font) : nullptr;
  SIZE Size{};
  if (!Text.empty()) GetTextExtentPoint32A(DC, Text.c_str(), static_cast<int>(Text.size()), &Size);
  if (Old) SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  return Size.cx;
}

// The width of I's label text, measured once for a kept text.
int LabelTextWidth(HWND Wnd, TTreeState& S, _TREEITEM* I) {
  if (I->TextCallback) return TextWidth(S, TextOf(Wnd, I));
  if (I->Width < 0) I->Width = TextWidth(S, I->Text);
  return I->Width;
}

// Where a row's parts lie, in client coordinates (scrolled). HasColumn: the item has a button
// column (not a top-level item without TVS_LINESATROOT).
struct TRowParts {
  RECT Row{}, Button{}, Icon{}, Label{};
  bool HasColumn = false;
};

int ContentWidth(HWND Wnd, TTreeState& S, const std::vector<_TREEITEM*>& Shown) {
  int Icon = S.Images ? S.Images->GetWidth() + 2 : 0;
  int Width = 0;
  for (_TREEITEM* I : Shown) Width = std::max(Width, IndentOf(Wnd, S, I) + Icon + LabelTextWidth(Wnd, S, I) + 4);
  return Width;
}

bool RowParts(HWND Wnd, TTreeState& S, _TREEITEM* I, TRowParts& P) {
  auto R = Rows(S);
  auto It = std::find(R.begin(), R.end(), I);
  if (It == R.end()) return false;
  int Index = static_cast<int>(It - R.begin()) - S.Top;
  int H = RowHeight(S);
  RECT C{};
  GetClientRect(Wnd, &C);
  P.Row = Rect(0, Index * H, C.right, (Index + 1) * H);
  int X = IndentOf(Wnd, S, I);
  P.HasColumn = X >= S.Indent;
  X -= S.ScrollX;
  P.Button = Rect(X - S.Indent, P.Row.top, X, P.Row.bottom);
  if (S.Images) {
    P.Icon = Rect(X, P.Row.top, X + S.Images->GetWidth() + 2, P.Row.bottom);
    X = P.Icon.right;
  } else {
    P.Icon = Rect(X, P.Row.top, X, P.Row.bottom);
  }
  P.Label = Rect(X, P.Row.top, X + LabelTextWidth(Wnd, S, I) + 4, P.Row.bottom);
  return true;
}

_TREEITEM* HitTest(HWND Wnd, TTreeState& S, POINT Pt, UINT& Flags) {
  RECT C{};
  GetClientRect(Wnd, &C);
  Flags = 0;
  if (Pt.y < 0) Flags |= TVHT_ABOVE;
  if (Pt.y >= C.bottom) Flags |= TVHT_BELOW;
  if (Pt.x < 0) Flags |= TVHT_TOLEFT;
  if (Pt.x >= C.right) Flags |= TVHT_TORIGHT;
  if (Flags) return nullptr;
  auto R = Rows(S);
  int Index = S.Top + Pt.y / RowHeight(S);
  if (Index < 0 || Index >= static_cast<int>(R.size())) {
    Flags = TVHT_NOWHERE;
    return nullptr;
  }
  _TREEITEM* I = R[static_cast<size_t>(Index)];
  TRowParts P;
  RowParts(Wnd, S, I, P);
  if (Pt.x >= P.Button.left && Pt.x < P.Button.right && (StyleOf(Wnd) & TVS_HASBUTTONS) && HasChildren(Wnd, I) &&
      P.HasColumn)
    Flags = TVHT_ONITEMBUTTON;
  else if (Pt.x < P.Icon.left)
    Flags = TVHT_ONITEMINDENT;
  else if (Pt.x < P.Icon.right)
    Flags = TVHT_ONITEMICON;
  else if (Pt.x < P.Label.right)
    Flags = TVHT_ONITEMLABEL;
  else
    Flags = TVHT_ONITEMRIGHT;
  return I;
}

void EnsureVisible(HWND Wnd, TTreeState& S, _TREEITEM* I);
bool EndEdit(HWND Wnd, bool Cancel);

// Selects I (or nothing); Action says why. False when the parent vetoed.
bool Select(HWND Wnd, _TREEITEM* I, UINT Action) {
  TTreeState& S = StateOf(Wnd);
  if (S.Caret == I) return true;
  NMTREEVIEWA N;
  N.action = Action;
  if (S.Caret) FillItem(S.Caret, N.itemOld);
  if (I) FillItem(I, N.itemNew);
  N.itemOld.mask = N.itemNew.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
  if (SendNotify(Wnd, N.hdr, TVN_SELCHANGINGA) != 0) return false;
  TTreeState* St = Find(Wnd);
  if (!St || (I && !St->Live.count(I))) return false;
  if (St->Caret && St->Live.count(St->Caret)) St->Caret->State &= ~TVIS_SELECTED;
  St->Caret = I;
  if (I) {
    I->State |= TVIS_SELECTED;
    // The ancestors of a selected item open.
    for (_TREEITEM* P = I->Parent; P && P->Parent; P = P->Parent) P->State |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    EnsureVisible(Wnd, *St, I);
  }
  InvalidateRect(Wnd, nullptr, TRUE);
  NMTREEVIEWA Done = N;
  if (I) FillItem(I, Done.itemNew);
  SendNotify(Wnd, Done.hdr, TVN_SELCHANGEDA);
  return true;
}

bool IsAncestor(const _TREEITEM* A, const _TREEITEM* I) {
  for (const _TREEITEM* P = I ? I->Parent : nullptr; P; P = P->Parent)
    if (P == A) return true;
  return false;
}

// Expands, collapses or toggles I. Notify: as the user did it (the parent is asked and told);
// TVM_EXPAND does it silently, as on Windows.
bool Expand(HWND Wnd, _TREEITEM* I, UINT Code, bool Notify = true) {
  UINT Action = Code & 3;
  if (Action == TVE_TOGGLE) Action = Expanded(I) ? TVE_COLLAPSE : TVE_EXPAND;
  if (Action == TVE_EXPAND && Expanded(I)) return false;
  if (Action == TVE_COLLAPSE && !Expanded(I) && !(Code & TVE_COLLAPSERESET)) return false;
  if (Action == TVE_EXPAND && !HasChildren(Wnd, I)) return false;
  NMTREEVIEWA N;
  N.action = Action;
  FillItem(I, N.itemNew);
  N.itemNew.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
  if (Notify && SendNotify(Wnd, N.hdr, TVN_ITEMEXPANDINGA) != 0) return false;
  TTreeState* St = Find(Wnd);
  if (!St || !St->Live.count(I)) return false;
  if (Action == TVE_EXPAND) {
    // Children added while the parent was asked count; none left means nothing to open.
    if (I->Kids.empty()) {
      InvalidateRect(Wnd, nullptr, TRUE);
      return false;
    }
    I->State |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
  } else {
    // A label edited below a closing item ends, keeping its text.
    if (St->Edit && St->Editing && IsAncestor(I, St->Editing)) {
      EndEdit(Wnd, false);
      St = Find(Wnd);
      if (!St || !St->Live.count(I)) return false;
    }
    I->State &= ~TVIS_EXPANDED;
    if (St->Caret && IsAncestor(I, St->Caret)) Select(Wnd, I, TVC_UNKNOWN);
    St = Find(Wnd);
    if (!St || !St->Live.count(I)) return false;
  }
  UpdateScroll(Wnd, *St);
  InvalidateRect(Wnd, nullptr, TRUE);
  FillItem(I, N.itemNew);
  if (Notify) SendNotify(Wnd, N.hdr, TVN_ITEMEXPANDEDA);
  return true;
}

void EnsureVisible(HWND Wnd, TTreeState& S, _TREEITEM* I) {
  for (_TREEITEM* P = I->Parent; P && P->Parent; P = P->Parent) P->State |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
  auto R = Rows(S);
  int Index = static_cast<int>(std::find(R.begin(), R.end(), I) - R.begin());
  int Page = std::max(PageRows(Wnd, S), 1);
  if (Index < S.Top) S.Top = Index;
  else if (Index >= S.Top + Page) S.Top = Index - Page + 1;
  UpdateScroll(Wnd, S);
}

void DismissEdit(TTreeState& S);

void DeleteItem(HWND Wnd, TTreeState& S, _TREEITEM* I) {
  // Children first, then the item: each one is announced before it goes.
  while (!I->Kids.empty()) DeleteItem(Wnd, S, I->Kids.back());
  // An edited label goes with its item, without a word to the parent.
  if (S.Editing == I) DismissEdit(S);
  if (S.PendingEdit == I) S.PendingEdit = nullptr;
  NMTREEVIEWA N;
  FillItem(I, N.itemOld);
  N.itemOld.mask = TVIF_HANDLE | TVIF_PARAM;
  SendNotify(Wnd, N.hdr, TVN_DELETEITEMA);
  if (S.DropHilite == I) S.DropHilite = nullptr;
  auto& Siblings = I->Parent->Kids;
  if (!Siblings.empty() && Siblings.back() == I)
    Siblings.pop_back();  // the usual order of clearing: last first
  else
    Siblings.erase(std::remove(Siblings.begin(), Siblings.end(), I), Siblings.end());
  S.Live.erase(I);
  delete I;
}

int CompareText(const String& A, const String& B) { return AnsiCompareText(A, B); }

void SortKids(HWND Wnd, _TREEITEM* Parent, const TVSORTCB* Cb, bool Recurse) {
  auto& K = Parent->Kids;
  if (Cb && Cb->lpfnCompare)
    std::stable_sort(K.begin(), K.end(), [&](_TREEITEM* A, _TREEITEM* B) {
      return Cb->lpfnCompare(A->Param, B->Param, Cb->lParam) < 0;
    });
  else
    std::stable_sort(K.begin(), K.end(),
                     [&](_TREEITEM* A, _TREEITEM* B) { return CompareText(TextOf(Wnd, A), TextOf(Wnd, B)) < 0; });
  if (Recurse)
    for (_TREEITEM* C : K) SortKids(Wnd, C, Cb, true);
}

void StoreItem(_TREEITEM* I, const TVITEMA& T) {
  if (T.mask & TVIF_TEXT) {
    I->TextCallback = T.pszText == LPSTR_TEXTCALLBACKA;
    I->Text = I->TextCallback || !T.pszText ? String() : String(T.pszText);
    I->Width = -1;
  }
  if (T.mask & TVIF_IMAGE) I->Image = T.iImage;
  if (T.mask & TVIF_SELECTEDIMAGE) I->SelectedImage = T.iSelectedImage;
  if (T.mask & TVIF_CHILDREN) I->Children = T.cChildren;
  if (T.mask & TVIF_PARAM) I->Param = T.lParam;
  if (T.mask & TVIF_STATE) {
    UINT Mask = T.stateMask & ~(TVIS_SELECTED);  // the selection goes through TVM_SELECTITEM
    I->State = (I->State & ~Mask) | (T.state & Mask);
  }
}

HTREEITEM Insert(HWND Wnd, TTreeState& S, const TVINSERTSTRUCTA& In) {
  _TREEITEM* Parent = In.hParent == TVI_ROOT || !In.hParent ? &S.Root : Item(S, In.hParent);
  if (!Parent) return nullptr;
  auto* I = new _TREEITEM;
  StoreItem(I, In.item);
  I->State &= ~TVIS_SELECTED;
  I->Parent = Parent;
  auto& K = Parent->Kids;
  size_t Pos = K.size();
  if (In.hInsertAfter == TVI_FIRST) {
    Pos = 0;
  } else if (In.hInsertAfter == TVI_SORT) {
    String T = TextOf(Wnd, I);
    Pos = 0;
    while (Pos < K.size() && CompareText(TextOf(Wnd, K[Pos]), T) <= 0) ++Pos;
  } else if (In.hInsertAfter != TVI_LAST && In.hInsertAfter && !(!K.empty() && K.back() == In.hInsertAfter)) {
    auto It = std::find(K.begin(), K.end(), In.hInsertAfter);
    if (It != K.end()) Pos = static_cast<size_t>(It - K.begin()) + 1;
  }
  K.insert(K.begin() + static_cast<std::ptrdiff_t>(Pos), I);
  S.Live.insert(I);
  // Below a collapsed item no row changes; only the parent's button may appear.
  if (Shown(I)) UpdateScroll(Wnd, S);
  InvalidateRect(Wnd, nullptr, TRUE);
  return I;
}

HTREEITEM NextItem(HWND, TTreeState& S, UINT Code, _TREEITEM* I) {
  switch (Code) {
    case TVGN_ROOT: return S.Root.Kids.empty() ? nullptr : S.Root.Kids.front();
    case TVGN_CARET: return S.Caret;
    case TVGN_DROPHILITE: return S.DropHilite;
    case TVGN_FIRSTVISIBLE: {
      auto R = Rows(S);
      return S.Top < static_cast<int>(R.size()) ? R[static_cast<size_t>(S.Top)] : nullptr;
    }
    case TVGN_LASTVISIBLE: {
      auto R = Rows(S);
      return R.empty() ? nullptr : R.back();
    }
    default: break;
  }
  if (!I) {
    if (Code == TVGN_CHILD) return S.Root.Kids.empty() ? nullptr : S.Root.Kids.front();
    return nullptr;
  }
  switch (Code) {
    case TVGN_CHILD: return I->Kids.empty() ? nullptr : I->Kids.front();
    case TVGN_PARENT: return I->Parent == &S.Root ? nullptr : I->Parent;
    case TVGN_NEXT:
    case TVGN_PREVIOUS: {
      auto& K = I->Parent->Kids;
      auto It = std::find(K.begin(), K.end(), I);
      if (Code == TVGN_NEXT) return It + 1 < K.end() ? *(It + 1) : nullptr;
      return It == K.begin() ? nullptr : *(It - 1);
    }
    case TVGN_NEXTVISIBLE:
    case TVGN_PREVIOUSVISIBLE: {
      auto R = Rows(S);
      auto It = std::find(R.begin(), R.end(), I);
      if (It == R.end()) return nullptr;
      if (Code == TVGN_NEXTVISIBLE) return It + 1 < R.end() ? *(It + 1) : nullptr;
      return It == R.begin() ? nullptr : *(It - 1);
    }
    default: return nullptr;
  }
}

// The middle of the button column of I (x) and of its row (y).
POINT Joint(HWND Wnd, TTreeState& S, _TREEITEM* I, const RECT& Row) {
  int X = IndentOf(Wnd, S, I) - S.ScrollX;
  return POINT{(X - S.Indent + X) / 2, (Row.top + Row.bottom) / 2};
}

bool HasNextSibling(const _TREEITEM* I) { return I->Parent && !I->Parent->Kids.empty() && I->Parent->Kids.back() != I; }

// The dotted lines of one row (every other pixel): from the item's joint to its icon, up to the
// item above it (not for the very first item) and down when a sibling follows; and the lines of
// the ancestors that have siblings still to come, passing through the row.
void DrawLines(HWND Wnd, HDC DC, TTreeState& S, _TREEITEM* I, const TRowParts& P, COLORREF Colour) {
  auto Dot = [&](int X, int Y) {
    if (((X + Y) & 1) == 0) SetPixelV(DC, X, Y, Colour);
  };
  auto Vertical = [&](int X, int From, int To) {
    for (int Y = From; Y < To; ++Y) Dot(X, Y);
  };
  POINT J = Joint(Wnd, S, I, P.Row);
  for (int X = J.x; X < P.Button.right; ++X) Dot(X, J.y);
  bool First = I->Parent == &S.Root && S.Root.Kids.front() == I;
  Vertical(J.x, First ? J.y : P.Row.top, J.y + 1);
  if (HasNextSibling(I)) Vertical(J.x, J.y, P.Row.bottom);
  for (_TREEITEM* A = I->Parent; A && A != &S.Root; A = A->Parent) {
    if (!HasNextSibling(A)) continue;
    POINT AJ = Joint(Wnd, S, A, P.Row);
    if (IndentOf(Wnd, S, A) >= S.Indent) Vertical(AJ.x, P.Row.top, P.Row.bottom);
  }
}

void Paint(HWND Wnd, HDC DC, TTreeState& S) {
  RECT C{};
  GetClientRect(Wnd, &C);
  COLORREF Back = S.BkColor != CLR_INVALID ? S.BkColor : GetSysColor(COLOR_WINDOW);
  COLORREF Fore = S.TextColor != CLR_INVALID ? S.TextColor : GetSysColor(COLOR_WINDOWTEXT);
  HBRUSH BackBrush = CreateSolidBrush(Back);
  ::FillRect(DC, &C, BackBrush);
  DeleteObject(BackBrush);
  auto R = Rows(S);
  int H = RowHeight(S);
  DWORD Style = StyleOf(Wnd);
  bool Focused = GetFocus() == Wnd;
  HGDIOBJ OldFont = S.Font ? SelectObject(DC, S.Font) : nullptr;
  SetBkMode(DC, TRANSPARENT);
  for (int Row = S.Top; Row < static_cast<int>(R.size()); ++Row) {
    int Y = (Row - S.Top) * H;
    if (Y >= C.bottom) break;
    _TREEITEM* I = R[static_cast<size_t>(Row)];
    TRowParts P;
    RowParts(Wnd, S, I, P);
    if ((Style & TVS_HASLINES) && P.HasColumn) DrawLines(Wnd, DC, S, I, P, GetSysColor(COLOR_GRAYTEXT));
    if ((Style & TVS_HASBUTTONS) && HasChildren(Wnd, I) && P.HasColumn) {
      // A 9 x 9 box with a minus, or a plus while collapsed, hiding the lines under it.
      int Cx = (P.Button.left + P.Button.right) / 2, Cy = (P.Button.top + P.Button.bottom) / 2;
      RECT Box = Rect(Cx - 4, Cy - 4, Cx + 5, Cy + 5);
      HBRUSH Inside = CreateSolidBrush(Back);
      ::FillRect(DC, &Box, Inside);
      DeleteObject(Inside);
      HBRUSH Frame = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
      ::FrameRect(DC, &Box, Frame);
      RECT Bar = Rect(Cx - 2, Cy, Cx + 3, Cy + 1);
      HBRUSH Ink = CreateSolidBrush(Fore);
      ::FillRect(DC, &Bar, Ink);
      if (!Expanded(I)) {
        RECT Up = Rect(Cx, Cy - 2, Cx + 1, Cy + 3);
        ::FillRect(DC, &Up, Ink);
      }
      DeleteObject(Ink);
      DeleteObject(Frame);
    }
    bool Selected = I == S.Caret || I == S.DropHilite;
    if (S.Images) {
      int Image = ImageOf(Wnd, I, I == S.Caret);
      if (Image >= 0 && Image < S.Images->GetCount()) {
        TCanvas Canvas;
        Canvas.SetHandle(DC);
        S.Images->Draw(&Canvas, P.Icon.left, P.Row.top + (H - S.Images->GetHeight()) / 2, Image);
        Canvas.SetHandle(nullptr);
        if (S.Font) SelectObject(DC, S.Font);
        SetBkMode(DC, TRANSPARENT);
      }
    }
    RECT L = P.Label;
    if (Style & TVS_FULLROWSELECT) L.right = C.right;
    COLORREF TextColour = Fore;
    if (Selected && (Focused || (Style & TVS_SHOWSELALWAYS) || I == S.DropHilite)) {
      bool Active = Focused || I == S.DropHilite;
      HBRUSH Sel = CreateSolidBrush(GetSysColor(Active ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
      ::FillRect(DC, &L, Sel);
      DeleteObject(Sel);
      TextColour = GetSysColor(Active ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
    }
    if (!IsWindowEnabled(Wnd)) TextColour = GetSysColor(COLOR_GRAYTEXT);
    SetTextColor(DC, TextColour);
    String Text = TextOf(Wnd, I);
    RECT T = L;
    T.left += 2;
    DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &T, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (I == S.Caret && Focused) DrawFocusRect(DC, &L);
  }
  if (OldFont) SelectObject(DC, OldFont);
}

void Scroll(HWND Wnd, TTreeState& S, int NewTop) {
  int Old = S.Top;
  S.Top = NewTop;
  UpdateScroll(Wnd, S);
  if (S.Top != Old) InvalidateRect(Wnd, nullptr, TRUE);
}

// ---- Label editing ----

void DismissEdit(TTreeState& S) {
  HWND Edit = S.Edit;
  S.Edit = nullptr;
  S.Editing = nullptr;
  if (Edit) DestroyLabelEdit(Edit);
}

// Ends the edit in progress: the parent hears TVN_ENDLABELEDIT (no text when cancelled) and a
// non-zero answer lets the new text replace the label. False when nothing was edited.
bool EndEdit(HWND Wnd, bool Cancel) {
  TTreeState* S = Find(Wnd);
  if (!S || !S->Edit || S->EndingEdit) return false;
  S->EndingEdit = true;
  HWND Edit = S->Edit;
  _TREEITEM* I = S->Editing;
  String Text = LabelEditText(Edit);
  if (I && S->Live.count(I)) {
    NMTVDISPINFOA D;
    FillItem(I, D.item);
    D.item.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE | TVIF_TEXT;
    D.item.pszText = Cancel ? nullptr : Text.data();
    D.item.cchTextMax = Cancel ? 0 : static_cast<int>(Text.size()) + 1;
    LRESULT Keep = SendNotify(Wnd, D.hdr, TVN_ENDLABELEDITA);
    S = Find(Wnd);
    if (S && !Cancel && Keep != 0 && S->Live.count(I)) {
      if (I->TextCallback) {
        // The parent keeps callback texts: it is given the new one.
        NMTVDISPINFOA Set;
        FillItem(I, Set.item);
        Set.item.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_TEXT;
        Set.item.pszText = Text.data();
        Set.item.cchTextMax = static_cast<int>(Text.size()) + 1;
        SendNotify(Wnd, Set.hdr, TVN_SETDISPINFOA);
        S = Find(Wnd);
      } else {
        I->Text = Text;
        I->Width = -1;
      }
    }
  }
  if (S && S->Edit == Edit) {
    S->Edit = nullptr;
    S->Editing = nullptr;
  }
  DestroyLabelEdit(Edit);
  if ((S = Find(Wnd)) != nullptr) {
    S->EndingEdit = false;
    UpdateScroll(Wnd, *S);
    InvalidateRect(Wnd, nullptr, TRUE);
  }
  return true;
}

void EditEnded(HWND Wnd, bool Cancel) { EndEdit(Wnd, Cancel); }

// Starts editing I's label (selecting I and scrolling it into view); the editor, or null when
// the parent refused or I cannot be selected.
HWND BeginEdit(HWND Wnd, _TREEITEM* I) {
  TTreeState* S = Find(Wnd);
  if (S && S->Edit) {
    EndEdit(Wnd, false);
    S = Find(Wnd);
  }
  if (!S || !I || !S->Live.count(I)) return nullptr;
  if (S->Caret != I && !Select(Wnd, I, TVC_UNKNOWN)) return nullptr;
  S = Find(Wnd);
  if (!S || !S->Live.count(I) || S->Caret != I) return nullptr;
  EnsureVisible(Wnd, *S, I);
  InvalidateRect(Wnd, nullptr, TRUE);
  TRowParts P;
  if (!RowParts(Wnd, *S, I, P)) return nullptr;
  String Text = TextOf(Wnd, I);
  HWND Edit = CreateLabelEdit(Wnd, Text, S->Font, P.Label, EditEnded);
  if (!Edit) return nullptr;
  S->Edit = Edit;
  S->Editing = I;
  S->PendingEdit = nullptr;
  // The parent may look at the editor (TVM_GETEDITCONTROL) before it answers.
  NMTVDISPINFOA D;
  FillItem(I, D.item);
  D.item.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE | TVIF_TEXT;
  D.item.pszText = Text.data();
  D.item.cchTextMax = static_cast<int>(Text.size()) + 1;
  LRESULT Refused = SendNotify(Wnd, D.hdr, TVN_BEGINLABELEDITA);
  S = Find(Wnd);
  if (Refused != 0 || !S || S->Edit != Edit || !S->Live.count(I)) {
    if (S && S->Edit == Edit) DismissEdit(*S);
    else if (IsWindow(Edit)) DestroyLabelEdit(Edit);
    return nullptr;
  }
  ShowLabelEdit(Edit);
  return IsWindow(Edit) ? Edit : nullptr;
}

LRESULT TreeViewProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_NCDESTROY) {
    if (TTreeState* S = Find(Wnd)) {
      for (_TREEITEM* I : S->Live) {
        I->Kids.clear();
        delete I;
      }
      States().erase(Wnd);
    }
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
  }
  if (Msg == WM_DESTROY) {
    // Items go with the window, each one announced.
    if (TTreeState* S = Find(Wnd)) {
      KillTimer(Wnd, EditTimer);
      DismissEdit(*S);
      S = Find(Wnd);
    }
    if (TTreeState* S = Find(Wnd)) {
      S->Caret = nullptr;
      while (!S->Root.Kids.empty()) {
        DeleteItem(Wnd, *S, S->Root.Kids.back());
        S = Find(Wnd);
        if (!S) break;
      }
    }
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
  }
  TTreeState& S = StateOf(Wnd);
  switch (Msg) {
    case WM_SETREDRAW:
      S.RedrawOff = WParam == FALSE;
      if (!S.RedrawOff && S.ScrollStale) UpdateScrollNow(Wnd, S);
      break;
    case TVM_INSERTITEMA: {
      auto* In = reinterpret_cast<const TVINSERTSTRUCTA*>(LParam);
      return In ? reinterpret_cast<LRESULT>(Insert(Wnd, S, *In)) : 0;
    }
    case TVM_DELETEITEM: {
      auto H = reinterpret_cast<HTREEITEM>(LParam);
      if (H == TVI_ROOT || !H) {
        if (S.Caret) Select(Wnd, nullptr, TVC_UNKNOWN);
        TTreeState* St = Find(Wnd);
        while (St && !St->Root.Kids.empty()) {
          DeleteItem(Wnd, *St, St->Root.Kids.back());
          St = Find(Wnd);
        }
        if (St) {
          St->Top = 0;
          UpdateScroll(Wnd, *St);
        }
        InvalidateRect(Wnd, nullptr, TRUE);
        return TRUE;
      }
      _TREEITEM* I = Item(S, H);
      if (!I) return FALSE;
      if (S.Caret && (S.Caret == I || IsAncestor(I, S.Caret))) {
        // The selection moves to the next sibling, else the previous one, else the parent.
        _TREEITEM* Next = NextItem(Wnd, S, TVGN_NEXT, I);
        if (!Next) Next = NextItem(Wnd, S, TVGN_PREVIOUS, I);
        if (!Next) Next = NextItem(Wnd, S, TVGN_PARENT, I);
        Select(Wnd, Next, TVC_UNKNOWN);
        if (!Find(Wnd) || !S.Live.count(I)) return TRUE;
        if (S.Caret && (S.Caret == I || IsAncestor(I, S.Caret))) {
          S.Caret->State &= ~TVIS_SELECTED;
          S.Caret = nullptr;
        }
      }
      DeleteItem(Wnd, S, I);
      if (TTreeState* St = Find(Wnd)) UpdateScroll(Wnd, *St);
      InvalidateRect(Wnd, nullptr, TRUE);
      return TRUE;
    }
    case TVM_EXPAND: {
      _TREEITEM* I = Item(S, reinterpret_cast<HTREEITEM>(LParam));
      return I ? Expand(Wnd, I, static_cast<UINT>(WParam), false) : FALSE;
    }
    case TVM_GETITEMRECT: {
      auto* R = reinterpret_cast<RECT*>(LParam);
      if (!R) return FALSE;
      HTREEITEM Asked = nullptr;
      std::memcpy(&Asked, R, sizeof Asked);  // the item comes in the rectangle's first bytes
      _TREEITEM* I = Item(S, Asked);
      TRowParts P;
      if (!I || !RowParts(Wnd, S, I, P)) return FALSE;
      *R = WParam ? P.Label : P.Row;
      return TRUE;
    }
    case TVM_GETCOUNT: return static_cast<LRESULT>(S.Live.size());
    case TVM_GETINDENT: return S.Indent;
    case TVM_SETINDENT:
      S.Indent = std::max(static_cast<int>(WParam), 3);
      UpdateScroll(Wnd, S);
      InvalidateRect(Wnd, nullptr, TRUE);
      return 0;
    case TVM_GETIMAGELIST: return reinterpret_cast<LRESULT>(WParam == TVSIL_STATE ? S.StateImages : S.Images);
    case TVM_SETIMAGELIST: {
      HIMAGELIST& Slot = WParam == TVSIL_STATE ? S.StateImages : S.Images;
      HIMAGELIST Old = Slot;
      Slot = reinterpret_cast<HIMAGELIST>(LParam);
      UpdateScroll(Wnd, S);
      InvalidateRect(Wnd, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(Old);
    }
    case TVM_GETNEXTITEM: {
      auto H = reinterpret_cast<HTREEITEM>(LParam);
      _TREEITEM* I = Item(S, H);
      if (H && H != TVI_ROOT && !I) return 0;
      return reinterpret_cast<LRESULT>(NextItem(Wnd, S, static_cast<UINT>(WParam), I));
    }
    case TVM_SELECTITEM: {
      auto H = reinterpret_cast<HTREEITEM>(LParam);
      _TREEITEM* I = Item(S, H);
      if (H && !I) return FALSE;
      switch (WParam & 0xFF) {
        case TVGN_CARET: return Select(Wnd, I, TVC_UNKNOWN);
        case TVGN_DROPHILITE:
          S.DropHilite = I;
          InvalidateRect(Wnd, nullptr, TRUE);
          return TRUE;
        case TVGN_FIRSTVISIBLE:
          if (I) {
            EnsureVisible(Wnd, S, I);
            auto R = Rows(S);
            Scroll(Wnd, S, static_cast<int>(std::find(R.begin(), R.end(), I) - R.begin()));
          }
          return TRUE;
        default: return FALSE;
      }
    }
    case TVM_GETITEMA:
    case TVM_SETITEMA: {
      auto* T = reinterpret_cast<TVITEMA*>(LParam);
      if (!T) return FALSE;
      _TREEITEM* I = Item(S, T->hItem);
      if (!I) return FALSE;
      if (Msg == TVM_SETITEMA) {
        StoreItem(I, *T);
        if (Shown(I)) UpdateScroll(Wnd, S);
        InvalidateRect(Wnd, nullptr, TRUE);
        return TRUE;
      }
      if (T->mask & TVIF_TEXT) {
        if (I->TextCallback) {
          T->pszText = LPSTR_TEXTCALLBACKA;
        } else if (T->pszText && T->cchTextMax > 0) {
          size_t N = std::min(I->Text.size(), static_cast<size_t>(T->cchTextMax - 1));
          std::copy_n(I->Text.data(), N, T->pszText);
          T->pszText[N] = '\0';
        }
      }
      if (T->mask & TVIF_IMAGE) T->iImage = I->Image;
      if (T->mask & TVIF_SELECTEDIMAGE) T->iSelectedImage = I->SelectedImage;
      if (T->mask & TVIF_CHILDREN) T->cChildren = I->Children == I_CHILDRENCALLBACK ? I_CHILDRENCALLBACK : (I->Children != 0 || !I->Kids.empty() ? 1 : 0);
      if (T->mask & TVIF_PARAM) T->lParam = I->Param;
      if (T->mask & TVIF_STATE) T->state = I->State & T->stateMask;
      return TRUE;
    }
    case TVM_GETVISIBLECOUNT: return PageRows(Wnd, S);
    case TVM_HITTEST: {
      auto* Info = reinterpret_cast<TVHITTESTINFO*>(LParam);
      if (!Info) return 0;
      Info->hItem = HitTest(Wnd, S, Info->pt, Info->flags);
      return reinterpret_cast<LRESULT>(Info->hItem);
    }
    case TVM_SORTCHILDREN:
    case TVM_SORTCHILDRENCB: {
      const TVSORTCB* Cb = nullptr;
      HTREEITEM H;
      if (Msg == TVM_SORTCHILDRENCB) {
        Cb = reinterpret_cast<const TVSORTCB*>(LParam);
        if (!Cb) return FALSE;
        H = Cb->hParent;
      } else {
        H = reinterpret_cast<HTREEITEM>(LParam);
      }
      _TREEITEM* P = H == TVI_ROOT || !H ? &S.Root : Item(S, H);
      if (!P) return FALSE;
      SortKids(Wnd, P, Cb, Msg == TVM_SORTCHILDREN && WParam != 0);
      InvalidateRect(Wnd, nullptr, TRUE);
      return TRUE;
    }
    case TVM_ENSUREVISIBLE: {
      _TREEITEM* I = Item(S, reinterpret_cast<HTREEITEM>(LParam));
      if (!I) return FALSE;
      EnsureVisible(Wnd, S, I);
      InvalidateRect(Wnd, nullptr, TRUE);
      return TRUE;
    }
    case TVM_SETITEMHEIGHT: {
      int Old = RowHeight(S);
      S.ItemHeight = static_cast<int>(static_cast<short>(LOWORD(WParam)));
      if (S.ItemHeight < 0) S.ItemHeight = 0;
      UpdateScroll(Wnd, S);
      InvalidateRect(Wnd, nullptr, TRUE);
      return Old;
    }
    case TVM_GETITEMHEIGHT: return RowHeight(S);
    case TVM_SETBKCOLOR: {
      COLORREF Old = S.BkColor;
      S.BkColor = static_cast<COLORREF>(LParam);
      InvalidateRect(Wnd, nullptr, TRUE);
      return static_cast<LRESULT>(Old == CLR_INVALID ? static_cast<COLORREF>(-1) : Old);
    }
    case TVM_SETTEXTCOLOR: {
      COLORREF Old = S.TextColor;
      S.TextColor = static_cast<COLORREF>(LParam);
      InvalidateRect(Wnd, nullptr, TRUE);
      return static_cast<LRESULT>(Old == CLR_INVALID ? static_cast<COLORREF>(-1) : Old);
    }
    case TVM_GETBKCOLOR: return static_cast<LRESULT>(S.BkColor == CLR_INVALID ? static_cast<COLORREF>(-1) : S.BkColor);
    case TVM_GETTEXTCOLOR:
      return static_cast<LRESULT>(S.TextColor == CLR_INVALID ? static_cast<COLORREF>(-1) : S.TextColor);
    case TVM_EDITLABELA: {
      _TREEITEM* I = Item(S, reinterpret_cast<HTREEITEM>(LParam));
      return I ? reinterpret_cast<LRESULT>(BeginEdit(Wnd, I)) : 0;
    }
    case TVM_GETEDITCONTROL: return reinterpret_cast<LRESULT>(S.Edit);
    case TVM_ENDEDITLABELNOW: return EndEdit(Wnd, WParam != 0) ? TRUE : FALSE;
    case TVM_CREATEDRAGIMAGE: return 0;  // no drag images here
    case WM_COMMAND:
      // The label editor grows with its text.
      if (S.Edit && reinterpret_cast<HWND>(LParam) == S.Edit && HIWORD(WParam) == EN_CHANGE && S.Editing) {
        TRowParts P;
        if (RowParts(Wnd, S, S.Editing, P)) FitLabelEdit(S.Edit, P.Label);
      }
      return 0;
    case WM_TIMER:
      if (WParam == EditTimer) {
        KillTimer(Wnd, EditTimer);
        _TREEITEM* I = S.PendingEdit;
        S.PendingEdit = nullptr;
        if (I && S.Live.count(I) && I == S.Caret && GetFocus() == Wnd && (StyleOf(Wnd) & TVS_EDITLABELS))
          BeginEdit(Wnd, I);
        return 0;
      }
      break;
    case WM_SETFONT:
      S.Font = reinterpret_cast<HFONT>(WParam);
      for (_TREEITEM* I : S.Live) I->Width = -1;
      UpdateScroll(Wnd, S);
      if (LOWORD(LParam)) InvalidateRect(Wnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(S.Font);
    case WM_GETDLGCODE: return 0x0001 | 0x0080;  // arrows and characters
    case WM_SIZE:
      UpdateScroll(Wnd, S);
      InvalidateRect(Wnd, nullptr, TRUE);
      return DefWindowProcA(Wnd, Msg, WParam, LParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      InvalidateRect(Wnd, nullptr, TRUE);
      NMHDR H;
      SendNotify(Wnd, H, Msg == WM_SETFOCUS ? NM_SETFOCUS : NM_KILLFOCUS);
      return 0;
    }
    case WM_VSCROLL: {
      // Scrolling ends a label edit, keeping the text.
      if (S.Edit) {
        EndEdit(Wnd, false);
        if (!Find(Wnd)) return 0;
      }
      int Page = std::max(PageRows(Wnd, S), 1);
      switch (LOWORD(WParam)) {
        case SB_LINEUP: Scroll(Wnd, S, S.Top - 1); break;
        case SB_LINEDOWN: Scroll(Wnd, S, S.Top + 1); break;
        case SB_PAGEUP: Scroll(Wnd, S, S.Top - Page); break;
        case SB_PAGEDOWN: Scroll(Wnd, S, S.Top + Page); break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: Scroll(Wnd, S, ThumbPosition(Wnd, SB_VERT, WParam)); break;
        case SB_TOP: Scroll(Wnd, S, 0); break;
        case SB_BOTTOM: Scroll(Wnd, S, static_cast<int>(Rows(S).size())); break;
        default: break;
      }
      return 0;
    }
    case WM_HSCROLL: {
      if (S.Edit) {
        EndEdit(Wnd, false);
        if (!Find(Wnd)) return 0;
      }
      RECT C{};
      GetClientRect(Wnd, &C);
      int Pos = S.ScrollX;
      switch (LOWORD(WParam)) {
        case SB_LINELEFT: Pos -= 8; break;
        case SB_LINERIGHT: Pos += 8; break;
        case SB_PAGELEFT: Pos -= std::max<int>(C.right, 1); break;
        case SB_PAGERIGHT: Pos += std::max<int>(C.right, 1); break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: Pos = ThumbPosition(Wnd, SB_HORZ, WParam); break;
        case SB_LEFT: Pos = 0; break;
        case SB_RIGHT: Pos = 1 << 30; break;
        default: return 0;
      }
      int Old = S.ScrollX;
      S.ScrollX = Pos;
      UpdateScroll(Wnd, S);
      if (S.ScrollX != Old) InvalidateRect(Wnd, nullptr, TRUE);
      return 0;
    }
    case WM_MOUSEWHEEL: {
      // Nothing to scroll: the wheel is the parent's.
      int Page = std::max(PageRows(Wnd, S), 1);
      if (static_cast<int>(Rows(S).size()) <= Page) {
        S.WheelRest = 0;
        return DefWindowProcA(Wnd, Msg, WParam, LParam);
      }
      if (S.Edit) {
        EndEdit(Wnd, false);
        if (!Find(Wnd)) return 0;
      }
      int Lines = WheelScrollLines(S.WheelRest, static_cast<short>(HIWORD(WParam)), Page);
      if (Lines) Scroll(Wnd, S, S.Top - Lines);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: {
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      UINT Flags = 0;
      _TREEITEM* I = HitTest(Wnd, S, P, Flags);
      // A second click on the selected item's label edits it, once the double-click time has
      // passed without a double click.
      bool Again = Msg == WM_LBUTTONDOWN && GetFocus() == Wnd && I && I == S.Caret && (Flags & TVHT_ONITEMLABEL) &&
                   (StyleOf(Wnd) & TVS_EDITLABELS);
      KillTimer(Wnd, EditTimer);
      S.PendingEdit = nullptr;
      if (GetFocus() != Wnd) SetFocus(Wnd);
      if (!IsWindow(Wnd) || !I || !Find(Wnd) || !Find(Wnd)->Live.count(I)) return 0;
      if (Again) {
        S.PendingEdit = I;
        SetTimer(Wnd, EditTimer, GetDoubleClickTime(), nullptr);
        return 0;
      }
      if (Msg == WM_RBUTTONDOWN) {
        NMHDR H;
        SendNotify(Wnd, H, NM_RCLICK);
        return 0;
      }
      if (Flags & TVHT_ONITEMBUTTON) {
        Expand(Wnd, I, TVE_TOGGLE);
        return 0;
      }
      if (Msg == WM_LBUTTONDBLCLK) {
        NMHDR H;
        if (SendNotify(Wnd, H, NM_DBLCLK) == 0 && Find(Wnd) && Find(Wnd)->Live.count(I)) Expand(Wnd, I, TVE_TOGGLE);
        return 0;
      }
      if (Flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT)) Select(Wnd, I, TVC_BYMOUSE);
      return 0;
    }
    case WM_LBUTTONUP: {
      NMHDR H;
      SendNotify(Wnd, H, NM_CLICK);
      return 0;
    }
    case WM_KEYDOWN: {
      auto R = Rows(S);
      _TREEITEM* I = S.Caret;
      int Index = I ? static_cast<int>(std::find(R.begin(), R.end(), I) - R.begin()) : -1;
      int Count = static_cast<int>(R.size());
      int Page = std::max(PageRows(Wnd, S), 1);
      auto Go = [&](int To) {
        if (Count == 0) return;
        To = std::max(0, std::min(To, Count - 1));
        Select(Wnd, R[static_cast<size_t>(To)], TVC_BYKEYBOARD);
      };
      switch (WParam) {
        case VK_UP: Go(Index < 0 ? 0 : Index - 1); break;
        case VK_DOWN: Go(Index + 1); break;
        case VK_HOME: Go(0); break;
        case VK_END: Go(Count - 1); break;
        case VK_PRIOR: Go(Index - Page + 1); break;
        case VK_NEXT: Go(Index + Page - 1); break;
        case VK_LEFT:
          if (I && Expanded(I)) Expand(Wnd, I, TVE_COLLAPSE);
          else if (I && I->Parent != &S.Root) Select(Wnd, I->Parent, TVC_BYKEYBOARD);
          break;
        case VK_RIGHT:
          if (I && !Expanded(I)) Expand(Wnd, I, TVE_EXPAND);
          else if (I && !I->Kids.empty()) Select(Wnd, I->Kids.front(), TVC_BYKEYBOARD);
          break;
        case VK_ADD:
          if (I) Expand(Wnd, I, TVE_EXPAND);
          break;
        case VK_SUBTRACT:
          if (I) Expand(Wnd, I, TVE_COLLAPSE);
          break;
        default: break;
      }
      return 0;
    }
    case WM_PAINT: {
      auto DC = reinterpret_cast<HDC>(WParam);
      if (DC) {
        Paint(Wnd, DC, S);
        return 0;
      }
      PAINTSTRUCT PS{};
      DC = BeginPaint(Wnd, &PS);
      Paint(Wnd, DC, S);
      EndPaint(Wnd, &PS);
      return 0;
    }
    case WM_ERASEBKGND: return 1;  // painting fills everything
    default: break;
  }
  return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

}  // namespace

void RegisterTreeViewClass() {
  WNDCLASSA Existing{};
  if (GetClassInfoA(nullptr, WC_TREEVIEWA, &Existing)) return;
  WNDCLASSA Class{};
  Class.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS;
  Class.lpfnWndProc = TreeViewProc;
  Class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  Class.lpszClassName = WC_TREEVIEWA;
  RegisterClassA(&Class);
}
