#include "extctrls/XcListBox.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "extctrls/XcDrawUtils.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/vcl/DragObjects.h"

namespace {

LRESULT Send(HWND H, UINT Msg, WPARAM W = 0, LPARAM L = 0) { return SendMessageA(H, Msg, W, L); }

std::unique_ptr<TXcListBoxStrings> MakeListBoxStrings(TCustomListBox* ListBox)
{
  return std::make_unique<TXcListBoxStrings>(ListBox);
}

bool IsVirtualStyle(TListBoxStyle Style) { return Style == lbVirtual || Style == lbVirtualOwnerDraw; }

}  // namespace

// ---------- item store ----------

TXcListBoxStrings::TXcListBoxStrings(TCustomListBox* AListBox)
    : TListBoxStrings(AListBox), FInternal(std::make_unique<TStringList>())
{
}

TXcListBoxStrings::~TXcListBoxStrings() = default;

bool TXcListBoxStrings::LoadingInternal() const
{
  return FUseInternal && FListBox != nullptr && (FListBox->GetComponentState() & csLoading) != 0;
}

void TXcListBoxStrings::DetachProvider() const
{
  if (FListBox != nullptr && FListBox->GetProvider() != nullptr) FListBox->GetProvider()->SetProvider(nullptr);
}

String TXcListBoxStrings::Get(int Index) const
{
  if (FUseInternal) return FInternal->Get(Index);
  return TListBoxStrings::Get(Index);
}

int TXcListBoxStrings::GetCount() const
{
  if (FUseInternal) return FDestroyCount > 0 ? 0 : FInternal->GetCount();
  return TListBoxStrings::GetCount();
}

TObject* TXcListBoxStrings::GetObject(int Index) const
{
  if (FUseInternal) return FInternal->GetObject(Index);
  return TListBoxStrings::GetObject(Index);
}

void TXcListBoxStrings::Put(int Index, const String& S)
{
  DetachProvider();
  TListBoxStrings::Put(Index, S);
}

void TXcListBoxStrings::PutObject(int Index, TObject* AObject)
{
  if (Index == -1) return;
  if (FListBox != nullptr && IsVirtualStyle(FListBox->GetStyle())) return;
  DetachProvider();
  TListBoxStrings::PutObject(Index, AObject);
}

int TXcListBoxStrings::Add(const String& S)
{
  if (LoadingInternal()) return FInternal->Add(S);
  if (FListBox != nullptr && IsVirtualStyle(FListBox->GetStyle())) return -1;
  DetachProvider();
  return TListBoxStrings::Add(S);
}

void TXcListBoxStrings::Insert(int Index, const String& S)
{
  if (LoadingInternal()) {
    FInternal->Insert(Index, S);
    return;
  }
  DetachProvider();
  TListBoxStrings::Insert(Index, S);
}

void TXcListBoxStrings::Delete(int Index)
{
  if (LoadingInternal()) {
    FInternal->Delete(Index);
    return;
  }
  DetachProvider();
  TListBoxStrings::Delete(Index);
}

void TXcListBoxStrings::Clear()
{
  if (FUseInternal && FDestroyCount > 0) return;
  if (LoadingInternal()) {
    FInternal->Clear();
    return;
  }
  DetachProvider();
  TListBoxStrings::Clear();
}

int TXcListBoxStrings::IndexOf(const String& S) const
{
  if (FUseInternal) return FInternal->IndexOf(S);
  return TListBoxStrings::IndexOf(S);
}

void TXcListBoxStrings::Move(int CurIndex, int NewIndex)
{
  if (LoadingInternal()) {
    FInternal->Move(CurIndex, NewIndex);
    return;
  }
  if (FListBox != nullptr && IsVirtualStyle(FListBox->GetStyle())) return;
  if (CurIndex == NewIndex) return;
  TStringsUpdate Update(this);
  const String Text = Get(CurIndex);
  TObject* Data = GetObject(CurIndex);
  PutObject(CurIndex, nullptr);
  Delete(CurIndex);
  InsertObject(NewIndex, Text, Data);
}

void TXcListBoxStrings::SetUpdateState(bool Updating)
{
  FUpdating = Updating;
  TListBoxStrings::SetUpdateState(Updating);
}

// ---------- background ----------

TXcListBoxBackground::TXcListBoxBackground() : FImage(std::make_unique<TBitmap>()) {}

void TXcListBoxBackground::Assign(TPersistent* Source)
{
  auto* Other = dynamic_cast<TXcListBoxBackground*>(Source);
  if (Other == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  FImage->Assign(Other->FImage.get());
  FFillMode = Other->FFillMode;
  FVisible = Other->FVisible;
}

void TXcListBoxBackground::Changed()
{
  if (OnChange) OnChange(this);
}

void TXcListBoxBackground::SetImage(TBitmap* Value)
{
  FImage->Assign(Value);
  Changed();
}

void TXcListBoxBackground::SetFillMode(TXcListboxFillMode Value)
{
  if (Value == FFillMode) return;
  FFillMode = Value;
  Changed();
}

void TXcListBoxBackground::SetVisible(bool Value)
{
  if (Value == FVisible) return;
  FVisible = Value;
  Changed();
}

// ---------- the list box ----------

TXcCustomListBox::TXcCustomListBox(TComponent* AOwner) : TXcExCustomListBox(AOwner)
{
  FProvider = XcCreate<TXcDataConsumer>(this, std::vector<int>{1, 3});
  FProvider->OnChanging = [this](TXcDataConsumer* S, TXcConsumerChange R) { ProviderChanging(S, R); };
  FProvider->OnChanged = [this](TXcDataConsumer* S, TXcConsumerChange R) { ProviderChanged(S, R); };
  FProvider->AfterCreateSubSvc = [this](TXcDataConsumer* S, TXcDataConsumerAggregatedObject* Svc) {
    ProviderSubSvcCreated(S, Svc);
  };
  FConsumerStrings = std::make_unique<TXcConsumerStrings>(FProvider);
  std::unique_ptr<TXcListBoxStrings> Store = GetItemsClass()(this);
  Store->SetListBox(this);
  ReplaceItems(std::move(Store));
  FBackground = std::make_unique<TXcListBoxBackground>();
  FBackground->OnChange = [this](TObject* Sender) { BackgroundPictureChanged(Sender); };
}

TXcCustomListBox::~TXcCustomListBox()
{
  Destroying();
  // The window goes while every part of the list box still exists.
  DestroyHandle();
  FBackground.reset();
  FConsumerStrings.reset();
  TXcDataConsumer* Consumer = std::exchange(FProvider, nullptr);
  try {
    XcFree(Consumer);
  } catch (...) {
  }
}

TXcListBoxStringsClass TXcCustomListBox::GetItemsClass() { return MakeListBoxStrings; }

void TXcCustomListBox::ItemsChanged() { Changed(); }

void TXcCustomListBox::DoGetText(int Index, String& Text)
{
  if (OnGetText) OnGetText(this, Index, Text);
}

TStrings* TXcCustomListBox::GetItemsShowing()
{
  if (FProviderActive) return FConsumerStrings.get();
  return TCustomListBox::GetItems();
}

UINT TXcCustomListBox::AlignmentFlag() const
{
  switch (FAlignment) {
  case taRightJustify: return DrawTextBiDiModeFlags(DT_RIGHT);
  case taCenter: return DrawTextBiDiModeFlags(DT_CENTER);
  default: return DrawTextBiDiModeFlags(DT_LEFT);
  }
}

void TXcCustomListBox::Loaded()
{
  TXcExCustomListBox::Loaded();
  ApplyOwnerDrawStyle();
}

void TXcCustomListBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
  TXcExCustomListBox::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (FAlignment != taLeftJustify) Repaint();
}

void TXcCustomListBox::ApplyOwnerDrawStyle()
{
  if (FormLoading()) return;
  const TListBoxStyle Old = GetStyle();
  TListBoxStyle Style = Old;
  if (FMultiLine)
    Style = lbOwnerDrawVariable;
  else if (FAlignment != taLeftJustify)
    Style = lbOwnerDrawFixed;
  if (FBackground->GetVisible() && (Style == lbStandard || IsVirtualStyle(Style))) Style = lbOwnerDrawFixed;
  SetStyle(Style);
  if (Old == lbStandard && Style != lbStandard) {
    GetCanvas()->GetFont()->Assign(GetFont());
    SetItemHeight(CanvasFontHeight(GetCanvas()) + (FShowFocusRect ? 2 : 0));
    RemeasureItems();
  }
}

void TXcCustomListBox::SetHotTrack(bool Value)
{
  if (Value == FHotTrack) return;
  FHotTrack = Value;
  SetCtl3D(!Value);
}

void TXcCustomListBox::SetAlignment(TAlignment Value)
{
  if (Value == FAlignment) return;
  FAlignment = Value;
  ApplyOwnerDrawStyle();
  Invalidate();
}

void TXcCustomListBox::SetScrollBars(TScrollStyle Value)
{
  if (Value == FScrollBars) return;
  FScrollBars = Value;
  RecreateWnd();
}

void TXcCustomListBox::SetSorted(bool Value)
{
  if (Value == FSorted) return;
  FSorted = Value;
  RecreateWnd();
}

void TXcCustomListBox::SetMultiLine(bool Value)
{
  if (Value == FMultiLine) return;
  FMultiLine = Value;
  ApplyOwnerDrawStyle();
  if (!Value) {
    RemeasureItems();
    return;
  }
  if (FScrollBars == ssBoth) FScrollBars = ssVertical;
  if (FScrollBars == ssHorizontal) FScrollBars = ssNone;
  FExtentWidth = 0;
  if (HandleAllocated()) Send(GetHandle(), LB_SETHORIZONTALEXTENT, 0);
}

void TXcCustomListBox::SetShowFocusRect(bool Value)
{
  if (Value == FShowFocusRect) return;
  FShowFocusRect = Value;
  GetCanvas()->GetFont()->Assign(GetFont());
  SetItemHeight(CanvasFontHeight(GetCanvas()) + (Value ? 2 : 0));
  RemeasureItems();
  if (Focused()) Invalidate();
}

void TXcCustomListBox::SetSelectedTextColor(TColor Value)
{
  if (Value == FSelectedTextColor) return;
  FSelectedTextColor = Value;
  Invalidate();
}

void TXcCustomListBox::SetSelectedColor(TColor Value)
{
  if (Value == FSelectedColor) return;
  FSelectedColor = Value;
  Invalidate();
}

void TXcCustomListBox::SetDisabledTextColor(TColor Value)
{
  if (Value == FDisabledTextColor) return;
  FDisabledTextColor = Value;
  Invalidate();
}

void TXcCustomListBox::BackgroundPictureChanged(TObject*)
{
  ApplyOwnerDrawStyle();
  Invalidate();
}

// ---------- window ----------

void TXcCustomListBox::CreateParams(TCreateParams& Params)
{
  TXcExCustomListBox::CreateParams(Params);
  Params.Style &= ~(WS_HSCROLL | WS_VSCROLL);
  switch (FScrollBars) {
  case ssHorizontal: Params.Style |= WS_HSCROLL; break;
  case ssVertical: Params.Style |= WS_VSCROLL; break;
  case ssBoth: Params.Style |= WS_HSCROLL | WS_VSCROLL; break;
  default: break;
  }
  if (FSorted) Params.Style |= LBS_SORT;
  if (FProviderActive) {
    Params.Style &= ~(LBS_SORT | LBS_HASSTRINGS | LBS_NODATA);
    if ((Params.Style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) == 0) Params.Style |= LBS_OWNERDRAWFIXED;
  }
}

void TXcCustomListBox::CreateWnd()
{
  if (!FormLoading()) {
    if (GetStyle() != lbOwnerDrawVariable) FMultiLine = false;
    if (GetStyle() == lbStandard || IsVirtualStyle(GetStyle())) FAlignment = taLeftJustify;
  }
  FScrollOffset = 0;
  TXcExCustomListBox::CreateWnd();
  SyncProviderItemCount();
  RemeasureIfScrollable();
}

void TXcCustomListBox::DestroyWnd()
{
  // The canvas must not keep a device context of the window that goes.
  static_cast<TControlCanvas*>(GetCanvas())->FreeHandle();
  if (!FProviderActive && !ItemStore()->FUseInternal) {
    TXcExCustomListBox::DestroyWnd();
    return;
  }
  // The window holds only placeholders for the provider's rows; the own items wait in the
  // internal list, so nothing of the window is kept.
  TXcListBoxStrings* Store = ItemStore();
  ++Store->FDestroyCount;
  try {
    TWinControl::DestroyWnd();
  } catch (...) {
    Store->FDestroyCount = std::max(0, Store->FDestroyCount - 1);
    throw;
  }
  Store->FDestroyCount = std::max(0, Store->FDestroyCount - 1);
}

void TXcCustomListBox::SuspendRedraw()
{
  if (HandleAllocated()) Send(GetHandle(), WM_SETREDRAW, 0);
}

void TXcCustomListBox::ResumeRedraw()
{
  if (!HandleAllocated()) return;
  Send(GetHandle(), WM_SETREDRAW, 1);
  const RECT R{0, 0, GetWidth(), GetHeight()};
  InvalidateRect(GetHandle(), &R, TRUE);
}

void TXcCustomListBox::WndProc(TMessage& Message)
{
  bool RemeasureAfter = false;
  switch (Message.Msg) {
  case WM_SETFONT:
    InheritedWndProc(Message);
    GetCanvas()->GetFont()->Assign(GetFont());
    RemeasureIfScrollable();
    return;
  case LB_ADDSTRING:
  case LB_INSERTSTRING:
    // Items that wrap at the client width have no horizontal extent.
    if (Message.LParam != 0 && HandleAllocated() && !WrapsAtClientWidth()) {
      GetCanvas()->GetFont()->Assign(GetFont());
      const String S = reinterpret_cast<const char*>(Message.LParam);
      const int W = static_cast<std::uint16_t>(GetCanvas()->TextWidth(S + " "));
      if (W > FExtentWidth) FExtentWidth = W;
      Send(GetHandle(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(FExtentWidth));
    }
    break;
  case LB_DELETESTRING: {
    TStrings* Shown = GetItemsShowing();
    const int Index = static_cast<int>(Message.WParam);
    int W = FExtentWidth;
    if (Index >= 0 && Index < Shown->GetCount()) {
      GetCanvas()->GetFont()->Assign(GetFont());
      W = GetCanvas()->TextWidth(Shown->Get(Index) + " ");
    }
    RemeasureAfter = W == FExtentWidth;
    break;
  }
  case LB_RESETCONTENT:
    if (HandleAllocated()) Send(GetHandle(), LB_SETHORIZONTALEXTENT, 0);
    break;
  default: break;
  }

  if (FProviderActive && ProviderMessage(Message)) return;
  switch (Message.Msg) {
  case LB_ADDSTRING: LBAddString(Message); break;
  case LB_INSERTSTRING: LBInsertString(Message); break;
  case LB_DELETESTRING: LBDeleteString(Message); break;
  case WM_HSCROLL: ScrollMessage(Message, OnHorizontalScroll, true); break;
  case WM_VSCROLL: ScrollMessage(Message, OnVerticalScroll, false); break;
  case CN_CTLCOLORLISTBOX:
    InheritedWndProc(Message);
    // The space below the items keeps the picture the background erase painted there.
    if (FBackground->DoDraw()) Message.Result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    break;
  case CN_KEYDOWN:
    if (FBackground->DoDraw() && Message.Result == 0 && Message.WParam >= VK_LEFT && Message.WParam <= VK_DOWN) {
      SuspendRedraw();
      try {
        InheritedWndProc(Message);
      } catch (...) {
        ResumeRedraw();
        throw;
      }
      ResumeRedraw();
    } else {
      InheritedWndProc(Message);
    }
    break;
  default: InheritedWndProc(Message); break;
  }
  if (RemeasureAfter) RemeasureIfScrollable();
}

void TXcCustomListBox::CNCommand(TMessage& Message)
{
  // The selection-cancel notification of the list box (the window-moved message keeps its
  // own handling).
  if (HIWORD(Message.WParam) == LBN_SELCANCEL) {
    if (OnSelectCancel) OnSelectCancel(this);
    return;
  }
  TXcExCustomListBox::CNCommand(Message);
}

void TXcCustomListBox::LBAddString(TMessage& Message)
{
  const String S = Message.LParam != 0 ? String(reinterpret_cast<const char*>(Message.LParam)) : String();
  if (!WrapsAtClientWidth() && HandleAllocated()) {
    int W = 0, H = 0;
    MeasureText(S, 0, W, H);
    if (W > FExtentWidth) SetExtentWidth(W);
  }
  InheritedWndProc(Message);
  if (OnAddString) OnAddString(this, S);
  if (OnChange) OnChange(this);
}

void TXcCustomListBox::LBInsertString(TMessage& Message)
{
  const String S = Message.LParam != 0 ? String(reinterpret_cast<const char*>(Message.LParam)) : String();
  if (!WrapsAtClientWidth() && HandleAllocated()) {
    int W = 0, H = 0;
    MeasureText(S, 0, W, H);
    if (W > FExtentWidth) SetExtentWidth(W);
  }
  InheritedWndProc(Message);
}

void TXcCustomListBox::LBDeleteString(TMessage& Message)
{
  TStrings* Shown = GetItemsShowing();
  const int Index = static_cast<int>(Message.WParam);
  const bool Exists = Index >= 0 && Index < Shown->GetCount();
  const String Text = Exists ? Shown->Get(Index) : String();
  int W = FExtentWidth;
  const bool Measure = !WrapsAtClientWidth();
  if (Measure && Exists) {
    int H = 0;
    MeasureText(Text, 0, W, H);
  }
  if (OnDeleteString && Exists) OnDeleteString(this, Text);
  InheritedWndProc(Message);
  if (Measure && W == FExtentWidth) RemeasureItems();
  if (OnChange) OnChange(this);
}

void TXcCustomListBox::ScrollMessage(TMessage& Message, const TXcScrollEvent& Event, bool Horizontal)
{
  const bool Draw = FBackground->DoDraw();
  if (Draw) SuspendRedraw();
  struct TResume {
    TXcCustomListBox* Self;
    bool Active;
    ~TResume()
    {
      if (Active) Self->ResumeRedraw();
    }
  } Resume{this, Draw};
  if (Event) {
    const TWMScroll Scroll{Message.Msg, LOWORD(Message.WParam), HIWORD(Message.WParam),
                           reinterpret_cast<HWND>(Message.LParam), 0};
    bool DontScroll = false;
    Event(this, Scroll, DontScroll);
    if (DontScroll) return;
  }
  InheritedWndProc(Message);
  if (!Horizontal) return;
  if (!Draw || FExtentWidth < 1) {
    FScrollOffset = 0;
    return;
  }
  SCROLLINFO Info;
  Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
  if (!GetScrollInfo(GetHandle(), SB_HORZ, &Info)) return;
  // A range without a maximum has nothing to scroll through.
  if (Info.nMax == 0) {
    FScrollOffset = 0;
    return;
  }
  FScrollOffset = static_cast<int>(std::nearbyint(static_cast<double>(FExtentWidth) / Info.nMax * Info.nPos));
}

// ---------- measuring ----------

bool TXcCustomListBox::WrapsAtClientWidth() const { return FMultiLine && (FScrollBars == ssNone || FScrollBars == ssVertical); }

void TXcCustomListBox::MeasureText(const String& Text, int Limit, int& Width, int& Height)
{
  TCanvas* Canvas = GetCanvas();
  Canvas->GetFont()->Assign(GetFont());
  RECT R{0, 0, Limit == 0 ? INT_MAX : Limit - 2, 1};
  DrawTextOnDC(Canvas->GetHandle(), Text, -1, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | AlignmentFlag(), R);
  Width = R.right + 4;
  Height = std::max(std::min(static_cast<int>(R.bottom), 255), GetItemHeight());
}

void TXcCustomListBox::MeasureItem(int Index, int& Height)
{
  TStrings* Shown = GetItemsShowing();
  if (OnMeasureItem || (!FMultiLine && !FProviderActive) || Index < 0 || Index >= Shown->GetCount()) {
    TXcExCustomListBox::MeasureItem(Index, Height);
    return;
  }
  if (FProviderActive) {
    int W = 0;
    MeasureProviderItem(Index, W, Height);
    return;
  }
  int W = 0;
  MeasureText(Shown->Get(Index), WrapsAtClientWidth() ? GetClientWidth() : 0, W, Height);
}

void TXcCustomListBox::RemeasureItems()
{
  if (!HandleAllocated()) return;
  const int Limit = WrapsAtClientWidth() ? GetClientWidth() : 0;
  TStrings* Shown = GetItemsShowing();
  int Widest = 0;
  for (int I = 0; I < Shown->GetCount(); ++I) {
    int W = 0, H = 0;
    if (FProviderActive) {
      MeasureProviderItem(I, W, H);
    } else {
      MeasureText(Shown->Get(I), Limit, W, H);
    }
    if (FMultiLine) Send(GetHandle(), LB_SETITEMHEIGHT, static_cast<WPARAM>(I), MAKELONG(H, 0));
    Widest = std::max(Widest, W);
  }
  if (!WrapsAtClientWidth()) SetExtentWidth(Widest);
}

void TXcCustomListBox::SetExtentWidth(int Value)
{
  if (WrapsAtClientWidth() || Value == FExtentWidth) return;
  FExtentWidth = Value;
  if (HandleAllocated()) Send(GetHandle(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(Value));
}

void TXcCustomListBox::RemeasureIfScrollable()
{
  if (HandleAllocated() && (FScrollBars == ssHorizontal || FScrollBars == ssBoth)) RemeasureItems();
}

void TXcCustomListBox::HookFontChanged()
{
  TXcExCustomListBox::HookFontChanged();
  GetCanvas()->GetFont()->Assign(GetFont());
  if (GetStyle() != lbStandard && GetStyle() != lbOwnerDrawFixed)
    SetItemHeight(CanvasFontHeight(GetCanvas()) + (FShowFocusRect ? 2 : 0));
  RemeasureItems();
}

// ---------- drawing ----------

void TXcCustomListBox::CNDrawItem(TMessage& Message)
{
  auto* S = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  if (S == nullptr) return;
  const TOwnerDrawState State = static_cast<TOwnerDrawState>(S->itemState & 0xFFFF);
  TCanvas* Canvas = GetCanvas();
  // Drawing goes to the given context; a window context the canvas held is given back first.
  static_cast<TControlCanvas*>(Canvas)->FreeHandle();
  const int Saved = SaveDC(S->hDC);
  Canvas->SetHandle(S->hDC);
  struct TRelease {
    TCanvas* Canvas;
    HDC DC;
    int Saved;
    ~TRelease()
    {
      Canvas->SetHandle(nullptr);
      RestoreDC(DC, Saved);
    }
  } Release{Canvas, S->hDC, Saved};
  Canvas->GetFont()->Assign(GetFont());
  Canvas->GetBrush()->Assign(GetBrush());
  const int Index = static_cast<int>(S->itemID);
  const TRect R = S->rcItem;
  if (Index >= 0) {
    if (State & odSelected) {
      Canvas->GetBrush()->SetColor(FSelectedColor);
      Canvas->GetFont()->SetColor(FSelectedTextColor);
    }
    if ((State & (odGrayed | odDisabled)) || !GetEnabled()) Canvas->GetFont()->SetColor(FDisabledTextColor);
    DrawItem(Index, R, State);
  } else {
    if (FBackground->DoDraw())
      Send(GetHandle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(S->hDC));
    else
      Canvas->FillRect(R);
    if (State & odFocused) DrawFocusRect(S->hDC, &R);
  }
  Message.Result = 1;
}

void TXcCustomListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
  if (Destroying()) return;
  if (OnDrawItem) {
    TXcExCustomListBox::DrawItem(Index, Rect, State);
    return;
  }
  DefaultDrawItem(Index, Rect, State);
  if (FShowFocusRect && (State & odFocused)) GetCanvas()->DrawFocusRect(Rect);
}

void TXcCustomListBox::DefaultDrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
  if (Destroying()) return;
  TCanvas* Canvas = GetCanvas();
  TRect R = Rect;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) {
    R.left = 0;
    R.right = std::max(GetClientWidth(), FExtentWidth);
  }
  const bool Draw = FBackground->DoDraw();
  if (Draw) {
    Canvas->GetBrush()->SetStyle(bsClear);
    Canvas->GetFont()->SetColor(GetFont()->GetColor());
    HDC DC = Canvas->GetHandle();
    const int Saved = SaveDC(DC);
    IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
    PaintBackgroundPicture(DC, true);
    RestoreDC(DC, Saved);
  }
  TStrings* Shown = GetItemsShowing();
  if (Index < Shown->GetCount()) {
    if (!Draw) Canvas->FillRect(R);
    UINT Flags = AlignmentFlag();
    Flags |= FMultiLine ? (DT_WORDBREAK | DT_NOPREFIX) : (DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    Flags = DrawTextBiDiModeFlags(Flags);
    TRect T = R;
    if (UseRightToLeftAlignment())
      T.right -= 2;
    else
      T.left += 2;
    if (FProviderActive) {
      DrawProviderItem(Index, T, State);
    } else {
      String Text = Shown->Get(Index);
      DoGetText(Index, Text);
      DrawTextOnDC(Canvas->GetHandle(), Text, -1, Flags, T);
    }
  }
  if (Draw && (State & odSelected)) InvertRect(Canvas->GetHandle(), &R);
}

void TXcCustomListBox::PaintBackgroundPicture(HDC DC, bool WithOffset)
{
  if (DC == nullptr || !FBackground->DoDraw() || Destroying()) return;
  TRect Area = GetClientRect();
  if (WithOffset) OffsetRect(&Area, FScrollOffset, 0);
  RECT Clip{};
  const int Kind = GetClipBox(DC, &Clip);
  if (Kind == NULLREGION) return;
  if (Kind == ERROR) Clip = GetClientRect();
  TCanvas Canvas;
  Canvas.SetHandle(DC);
  TBitmap* Image = FBackground->GetImage();
  if (FBackground->GetFillMode() == bfmStretch) {
    Canvas.StretchDraw(Area, Image);
  } else {
    const int W = Image->GetWidth();
    const int H = Image->GetHeight();
    for (int Y = 0; Y < Area.bottom; Y += H)
      for (int X = 0; X < Area.right; X += W) {
        const RECT Tile{X, Y, X + W, Y + H};
        RECT Hit{};
        if (IntersectRect(&Hit, &Tile, &Clip)) Canvas.Draw(X, Y, Image);
      }
  }
  Canvas.SetHandle(nullptr);
}

bool TXcCustomListBox::HookEraseBackground(TCanvas* Canvas, LPARAM Param)
{
  if (FBackground->DoDraw()) {
    PaintBackgroundPicture(Canvas->GetHandle(), false);
    return true;
  }
  return TXcExCustomListBox::HookEraseBackground(Canvas, Param);
}

// ---------- hot tracking ----------

void TXcCustomListBox::HookMouseEnter(TControl* Control)
{
  if (!GetMouseOver() && FHotTrack) SetCtl3D(true);
  TXcExCustomListBox::HookMouseEnter(Control);
}

void TXcCustomListBox::HookMouseLeave(TControl* Control)
{
  if (GetMouseOver() && FHotTrack) SetCtl3D(false);
  TXcExCustomListBox::HookMouseLeave(Control);
}

// ---------- dragging ----------

void TXcCustomListBox::DoStartDrag(TDragObject*& DragObject)
{
  if (OnStartDrag) {
    TXcExCustomListBox::DoStartDrag(DragObject);
    return;
  }
  DefaultStartDrag(DragObject);
}

void TXcCustomListBox::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
  if (OnDragOver) {
    TXcExCustomListBox::DragOver(Source, X, Y, State, Accept);
    return;
  }
  DefaultDragOver(Source, X, Y, State, Accept);
}

void TXcCustomListBox::DragDrop(TObject* Source, int X, int Y)
{
  if (OnDragDrop) {
    TXcExCustomListBox::DragDrop(Source, X, Y);
    return;
  }
  DefaultDragDrop(Source, X, Y);
}

void TXcCustomListBox::DefaultStartDrag(TDragObject*&)
{
  FDragIndex = GetItemIndex();
  if (FDragIndex >= GetCount()) FDragIndex = GetCount() - 1;
  if (FProviderActive || FDragIndex < 0) {
    CancelDrag();
    return;
  }
  const String Text = GetItems()->Get(FDragIndex);
  TCanvas* Canvas = GetCanvas();
  Canvas->GetFont()->Assign(GetFont());
  SIZE Size = Canvas->TextExtent(Text);
  if (FMultiLine) {
    RECT R{0, 0, INT_MAX, 0};
    DrawTextOnDC(Canvas->GetHandle(), Text, -1, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | AlignmentFlag(), R);
    Size = SIZE{R.right, R.bottom};
  }
  const int Width = std::max(1, static_cast<int>(Size.cx) + 15);
  const int Height = std::max(1, static_cast<int>(Size.cy));
  if (!FDragImage)
    FDragImage = std::make_unique<TDragImageList>(nullptr, Width, Height);
  else {
    FDragImage->Clear();
    FDragImage->SetWidth(Width);
    FDragImage->SetHeight(Height);
  }
  TBitmap Bitmap;
  Bitmap.SetSize(Width, Height);
  TCanvas* B = Bitmap.GetCanvas();
  B->GetBrush()->SetColor(clWhite);
  B->FillRect(TRect{0, 0, Width, Height});
  B->GetFont()->Assign(GetFont());
  B->GetFont()->SetColor(clBlack);
  B->GetBrush()->SetStyle(bsClear);
  if (FMultiLine) {
    RECT R{15, 0, Width, Height};
    DrawTextOnDC(B->GetHandle(), Text, -1, DT_WORDBREAK | DT_NOPREFIX | AlignmentFlag(), R);
  } else {
    B->TextOut(15, 0, Text);
  }
  FDragImage->AddMasked(&Bitmap, clWhite);
  SetControlStyle(GetControlStyle() | csDisplayDragImage);
}

void TXcCustomListBox::DefaultDragOver(TObject* Source, int, int Y, TDragState, bool& Accept)
{
  Accept = !FProviderActive && Source == this;
  if (!Accept) return;
  const bool Up = Y < 5;
  if (!Up && GetClientHeight() - Y > 5) return;
  if (FDragImage) FDragImage->HideDragImage();
  Send(GetHandle(), WM_VSCROLL, Up ? SB_LINEUP : SB_LINEDOWN);
  Send(GetHandle(), WM_VSCROLL, SB_ENDSCROLL);
  if (FDragImage) FDragImage->ShowDragImage();
}

void TXcCustomListBox::DefaultDragDrop(TObject* Source, int X, int Y)
{
  if (FProviderActive || Source != this) return;
  if (FDragIndex < 0 || FDragIndex >= GetCount()) return;
  TStrings* Items = GetItems();
  const String Text = Items->Get(FDragIndex);
  TObject* Data = Items->GetObject(FDragIndex);
  int Target = ItemAtPos(TPoint{X, Y}, true);
  const int Top = GetTopIndex();
  Items->Delete(FDragIndex);
  if (Target > FDragIndex) --Target;
  if (Target < 0)
    Items->AddObject(Text, Data);
  else
    Items->InsertObject(Target, Text, Data);
  SetTopIndex(Top);
}

// ---------- item operations ----------

void TXcCustomListBox::DeleteSelected()
{
  if (FProviderActive) return;
  if (GetMultiSelect()) {
    for (int I = GetCount() - 1; I >= 0; --I)
      if (GetSelected(I)) GetItems()->Delete(I);
  } else {
    const int Index = GetItemIndex();
    if (Index != -1) {
      GetItems()->Delete(Index);
      if (GetCount() > 0) SetItemIndex(Index == 0 ? 0 : Index - 1);
    }
  }
  ItemsChanged();
}

void TXcCustomListBox::SelectAll()
{
  if (!GetMultiSelect()) return;
  TStrings* Shown = GetItemsShowing();
  TStringsUpdate Update(Shown);
  for (int I = 0; I < Shown->GetCount(); ++I) SetSelected(I, true);
}

void TXcCustomListBox::ExchangeItems(int Index1, int Index2) { GetItems()->Exchange(Index1, Index2); }

void TXcCustomListBox::MoveSelectedUp()
{
  if (FProviderActive) return;
  const int Count = GetCount();
  if (GetMultiSelect()) {
    if (Count == 0 || GetSelCount() < 1 || GetSelected(0)) return;
    for (int I = 1; I < Count; ++I)
      if (GetSelected(I)) {
        ExchangeItems(I, I - 1);
        SetSelected(I - 1, true);
      }
    return;
  }
  const int Index = GetItemIndex();
  if (Index < 1) return;
  ExchangeItems(Index, Index - 1);
  SetItemIndex(Index - 1);
}

void TXcCustomListBox::MoveSelectedDown()
{
  if (FProviderActive) return;
  const int Count = GetCount();
  if (GetMultiSelect()) {
    if (Count == 0 || GetSelCount() < 1 || GetSelected(Count - 1)) return;
    for (int I = Count - 2; I >= 0; --I)
      if (GetSelected(I)) {
        ExchangeItems(I, I + 1);
        SetSelected(I + 1, true);
      }
    return;
  }
  const int Index = GetItemIndex();
  if (Index == -1 || Index >= Count - 1) return;
  ExchangeItems(Index, Index + 1);
  SetItemIndex(Index + 1);
}
