#include "extctrls/XcButtonGlyph.h"

#include <algorithm>

#include "extctrls/XcDrawUtils.h"
#include "extctrls/XcThemes.h"
#include "platform/rtl/StrUtils.h"

namespace {

TXcGlyphCache*& CachePointer()
{
  static TXcGlyphCache* Cache = nullptr;
  return Cache;
}

// Frees the cache when the program ends.
struct TCacheFinalizer {
  ~TCacheFinalizer()
  {
    delete CachePointer();
    CachePointer() = nullptr;
  }
} CacheFinalizer;

TXcGlyphCache& EnsureCache()
{
  if (!CachePointer()) CachePointer() = new TXcGlyphCache;
  return *CachePointer();
}

// A W x H bitmap filled with clBtnFace.
std::unique_ptr<TBitmap> FaceBitmap(int W, int H)
{
  auto B = std::make_unique<TBitmap>();
  B->SetSize(W, H);
  B->GetCanvas()->GetBrush()->SetColor(clBtnFace);
  B->GetCanvas()->FillRect(TRect{0, 0, W, H});
  return B;
}

bool IsHorizontal(TButtonLayout Layout) { return Layout == blGlyphLeft || Layout == blGlyphRight; }

}  // namespace

TXcGlyphCache* SharedGlyphCache() { return CachePointer(); }

// ---------------------------------------------------------------------------------------------
// TXcGlyphList

int TXcGlyphList::ReserveSlot()
{
  const int Slot = FUsedSlots.OpenBit();
  if (Slot >= GetCount()) {
    TBitmap Empty;
    Empty.SetSize(GetWidth(), GetHeight());
    while (GetCount() <= Slot) Add(&Empty, nullptr);
  }
  if (FUsedSlots.GetSize() < Slot + 1) FUsedSlots.SetSize(Slot + 1);
  FUsedSlots.SetBit(Slot, true);
  return Slot;
}

int TXcGlyphList::StoreImage(TBitmap* Image, TBitmap* Mask)
{
  const int Slot = ReserveSlot();
  Replace(Slot, Image, Mask);
  ++FUsedCount;
  return Slot;
}

int TXcGlyphList::StoreMasked(TBitmap* Image, TColor MaskColor)
{
  TBitmap Mask;
  Mask.Assign(Image);
  Mask.Mask(MaskColor);
  return StoreImage(Image, &Mask);
}

void TXcGlyphList::FreeSlot(int Index)
{
  if (!SlotInUse(Index)) return;
  --FUsedCount;
  FUsedSlots.SetBit(Index, false);
}

// ---------------------------------------------------------------------------------------------
// TXcGlyphCache

TXcGlyphCache::~TXcGlyphCache()
{
  for (TXcGlyphList* L : FLists) delete L;
}

TXcGlyphList* TXcGlyphCache::AcquireList(int Width, int Height)
{
  for (auto It = FLists.rbegin(); It != FLists.rend(); ++It)
    if ((*It)->GetWidth() == Width && (*It)->GetHeight() == Height) return *It;
  FLists.push_back(new TXcGlyphList(Width, Height));
  return FLists.back();
}

void TXcGlyphCache::ReleaseList(TXcGlyphList* List)
{
  if (!List || List->GetUsedCount() != 0) return;
  auto It = std::find(FLists.begin(), FLists.end(), List);
  if (It == FLists.end()) return;
  FLists.erase(It);
  delete List;
}

// ---------------------------------------------------------------------------------------------
// TXcxButtonGlyph

TXcxButtonGlyph::TXcxButtonGlyph() : FSourceBitmap(std::make_unique<TBitmap>())
{
  FSourceBitmap->OnChange = [this](TObject* Sender) { SourceChanged(Sender); };
  EnsureCache();
}

TXcxButtonGlyph::~TXcxButtonGlyph()
{
  FSourceBitmap->OnChange = nullptr;
  FSourceBitmap.reset();
  ReleaseStateImages();
  if (CachePointer() && CachePointer()->Empty()) {
    delete CachePointer();
    CachePointer() = nullptr;
  }
}

void TXcxButtonGlyph::SetGlyph(TBitmap* Value)
{
  ReleaseStateImages();
  if (Value)
    FSourceBitmap->Assign(Value);
  else
    FSourceBitmap->SetSize(0, 0);
}

void TXcxButtonGlyph::SetGrayNewStyle(bool Value)
{
  if (Value == FGrayNewStyle) return;
  ReleaseStateImages();
  FGrayNewStyle = Value;
}

void TXcxButtonGlyph::SetNumGlyphs(int Value)
{
  if (Value == 0 || Value == FNumGlyphs) return;
  ReleaseStateImages();
  FNumGlyphs = std::clamp(Value, 1, XcGlyphStates);
}

void TXcxButtonGlyph::SourceChanged(TObject*)
{
  ReleaseStateImages();
  TBitmap* B = FSourceBitmap.get();
  if (B->GetHeight() > 0) {
    FMaskColor = static_cast<TColor>(static_cast<std::uint32_t>(B->GetTransparentColor()) & ~0x02000000u);
    if (B->GetWidth() % B->GetHeight() == 0) {
      const int Cells = B->GetWidth() / B->GetHeight();
      FNumGlyphs = Cells >= 1 && Cells <= XcGlyphStates ? Cells : 1;
    }
  }
  if (OnChange) OnChange();
}

void TXcxButtonGlyph::ReleaseStateImages()
{
  for (int& Slot : FStateImages) {
    if (Slot != -1 && FImageStore) FImageStore->FreeSlot(Slot);
    Slot = -1;
  }
  if (FImageStore && CachePointer()) CachePointer()->ReleaseList(FImageStore);
  FImageStore = nullptr;
}

TXcGlyphList* TXcxButtonGlyph::AcquireStore(int Width, int Height)
{
  if (!FImageStore) FImageStore = EnsureCache().AcquireList(Width, Height);
  return FImageStore;
}

void TXcxButtonGlyph::StoreState(int State, int Slot)
{
  FStateImages[State] = Slot;
  FSourceBitmap->Dormant();
}

TColor TXcxButtonGlyph::GrayPixel(TColor Color) const
{
  if (Color == FMaskColor || ColorToRGB(Color) == ColorToRGB(clBtnFace)) return Color;
  const COLORREF C = ColorToRGB(Color);
  const int Y = (77 * GetRValue(C) + 150 * GetGValue(C) + 29 * GetBValue(C)) >> 8;
  return static_cast<TColor>(RGB(Y, Y, Y));
}

int TXcxButtonGlyph::BuildStateImage(int State)
{
  if (State == XcGlyphPressed && FNumGlyphs < 3) State = XcGlyphUp;
  if (State < 0 || State >= XcGlyphStates) return -1;
  if (FStateImages[State] != -1) return FStateImages[State];
  TBitmap* Src = FSourceBitmap.get();
  if (Src->GetWidth() <= 0 || Src->GetHeight() <= 0 || Src->Empty()) return -1;
  const int W = Src->GetWidth() / FNumGlyphs, H = Src->GetHeight();
  if (W <= 0) return -1;
  TXcGlyphList* Store = AcquireStore(W, H);
  auto Temp = FaceBitmap(W, H);
  TCanvas* TC = Temp->GetCanvas();
  auto CopyCell = [&](int Cell) {
    const TRect Dest{0, 0, W, H};
    TC->CopyRect(Dest, Src->GetCanvas(), TRect{W * Cell, 0, W * (Cell + 1), H});
  };
  const int OwnCell = State < FNumGlyphs ? State : 0;
  int Slot = -1;
  switch (State) {
    case XcGlyphUp:
    case XcGlyphPressed:
    case XcGlyphExclusive:
      CopyCell(OwnCell);
      Slot = Store->StoreMasked(Temp.get(), FMaskColor);
      break;
    case XcGlyphDisabled:
      if (FNumGlyphs >= 2) {
        CopyCell(1);
        Slot = Store->StoreMasked(Temp.get(), FMaskColor);
      } else if (FGrayNewStyle) {
        std::unique_ptr<TBitmap> D(MakeDisabledBitmapFlat(Src, FMaskColor));
        Slot = Store->StoreMasked(D.get(), FMaskColor);
      } else {
        std::unique_ptr<TBitmap> D(MakeDisabledBitmap(Src, clBlack));
        Slot = Store->StoreMasked(D.get(), static_cast<TColor>(ColorToRGB(clBtnFace)));
      }
      break;
    case XcGlyphInactive:
      if (FNumGlyphs == 5) {
        CopyCell(4);
      } else {
        TCanvas* SC = Src->GetCanvas();
        for (int Y = 0; Y < H; ++Y)
          for (int X = 0; X < W; ++X) TC->SetPixels(X, Y, GrayPixel(SC->GetPixels(X, Y)));
      }
      Slot = Store->StoreMasked(Temp.get(), FMaskColor);
      break;
    default: break;
  }
  StoreState(State, Slot);
  return Slot;
}

int TXcxButtonGlyph::BuildImageListStateImage(int State, TCustomImageList* Images, int Index)
{
  if (State == XcGlyphPressed) State = XcGlyphUp;
  if (State < 0 || State >= XcGlyphStates) return -1;
  if (FStateImages[State] != -1) return FStateImages[State];
  if (!Images || Images->GetCount() == 0 || Index < 0 || Index >= Images->GetCount()) return -1;
  const int W = Images->GetWidth(), H = Images->GetHeight();
  TXcGlyphList* Store = AcquireStore(W, H);
  auto Temp = FaceBitmap(W, H);
  int Slot = -1;
  switch (State) {
    case XcGlyphDisabled:
      DrawDisabledImageGlyph(Images, Temp->GetCanvas(), 0, 0, Index, clBtnHighlight, clBtnShadow, true);
      Slot = Store->StoreMasked(Temp.get(), static_cast<TColor>(ColorToRGB(clBtnFace)));
      break;
    case XcGlyphInactive: {
      Images->Draw(Temp->GetCanvas(), 0, 0, Index);
      TCanvas* TC = Temp->GetCanvas();
      for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) TC->SetPixels(X, Y, GrayPixel(TC->GetPixels(X, Y)));
      Slot = Store->StoreMasked(Temp.get(), static_cast<TColor>(ColorToRGB(clBtnFace)));
      break;
    }
    case XcGlyphUp:
    case XcGlyphExclusive: {
      TBitmap Image, Mask;
      Images->GetBitmap(Index, &Image);
      Mask.SetSize(W, H);
      Mask.GetCanvas()->GetBrush()->SetColor(clWhite);
      Mask.GetCanvas()->FillRect(TRect{0, 0, W, H});
      DrawImageListItem(Images, Index, Mask.GetCanvas()->GetHandle(), 0, 0, ILD_MASK);
      Mask.SetMonochrome(true);
      Slot = Store->StoreImage(&Image, &Mask);
      break;
    }
    default: break;
  }
  FStateImages[State] = Slot;
  return Slot;
}

// ---- Layout ----

void TXcxButtonGlyph::ShortenCaption(TCanvas* Canvas, String& Caption, int Width) const
{
  if (FWordWrap) return;
  std::vector<String> Lines;
  std::size_t Start = 0;
  while (true) {
    const std::size_t Br = Caption.find_first_of("\r\n", Start);
    Lines.push_back(Caption.substr(Start, Br == String::npos ? String::npos : Br - Start));
    if (Br == String::npos) break;
    Start = Br + ((Caption[Br] == '\r' && Br + 1 < Caption.size() && Caption[Br + 1] == '\n') ? 2 : 1);
  }
  String Joined;
  for (std::size_t I = 0; I < Lines.size(); ++I) {
    if (I) Joined += "\r\n";
    Joined += EllipsizeToWidth(Lines[I], Canvas, Width);
  }
  while (!Joined.empty() && (Joined.back() == ' ' || Joined.back() == '\r' || Joined.back() == '\n')) Joined.pop_back();
  Caption = Joined;
}

void TXcxButtonGlyph::ComputeLayout(TCanvas* Canvas, const TRect& Client, const TPoint& Offset, String& Caption,
                                    TButtonLayout Layout, int Margin, int Spacing, bool DrawMark, UINT TextFlags,
                                    TCustomImageList* Images, int Index, TPoint& GlyphPos, TRect& TextBounds)
{
  const bool Horizontal = IsHorizontal(Layout);
  const TPoint ClientSize{Client.right - Client.left, Client.bottom - Client.top};
  TPoint GlyphSize{0, 0};
  if (Images && Images->GetWidth() > 0 && Index >= 0 && Index < Images->GetCount())
    GlyphSize = Point(Images->GetWidth(), Images->GetHeight());
  else if (!FSourceBitmap->Empty())
    GlyphSize = Point(FSourceBitmap->GetWidth() / FNumGlyphs, FSourceBitmap->GetHeight());

  int RoomW, RoomH;
  if (Horizontal) {
    RoomW = ClientSize.x - GlyphSize.x - (Margin != -1 ? Margin : 0) - (Spacing != -1 ? Spacing : 0) -
            (DrawMark ? 9 : 0);
    RoomH = ClientSize.y;
  } else {
    RoomW = ClientSize.x;
    RoomH = ClientSize.y - GlyphSize.y - (Margin != -1 ? Margin : 0) - (Spacing != -1 ? Spacing : 0);
  }
  RoomW = std::max(RoomW, 0);
  RoomH = std::max(RoomH, 0);

  ShortenCaption(Canvas, Caption, RoomW);
  TextBounds = TRect{0, 0, 0, 0};
  if (!Caption.empty()) {
    TRect M{0, 0, RoomW, 0};
    DrawTextPlain(Canvas->GetHandle(), Caption, M, false,
                  DT_CALCRECT | DT_VCENTER | TextFlags | (FWordWrap ? DT_WORDBREAK : 0));
    TextBounds = TRect{0, 0, std::max(0, std::min(RoomW, M.right - M.left)),
                       std::max(0, std::min(RoomH, M.bottom - M.top))};
  }
  TPoint TextSize{TextBounds.right - TextBounds.left, TextBounds.bottom - TextBounds.top};
  if (DrawMark) {
    if (GlyphSize.x == 0 || GlyphSize.y == 0 || Layout == blGlyphLeft)
      TextSize.x += 9;
    else
      GlyphSize.x += 6;
  }

  TPoint TextPos{0, 0};
  GlyphPos = Point(0, 0);
  if (Horizontal) {
    GlyphPos.y = (ClientSize.y - GlyphSize.y) / 2;
    TextPos.y = (ClientSize.y - TextSize.y) / 2;
  } else {
    GlyphPos.x = (ClientSize.x - GlyphSize.x) / 2;
    TextPos.x = (ClientSize.x - TextSize.x) / 2;
  }
  if (!(TextFlags & DT_CENTER)) {
    if (TextFlags & DT_RIGHT) {
      if (Horizontal) GlyphPos.x = ClientSize.x - GlyphSize.x - TextSize.x;
      TextPos.x = ClientSize.x - TextSize.x;
    } else if (Horizontal) {
      GlyphPos.x = 0;
      TextPos.x = GlyphSize.x;
    } else {
      TextPos.x = 0;
    }
  }
  if (TextSize.x == 0 || GlyphSize.x == 0) Spacing = 0;

  // Along the layout direction: x for horizontal layouts, y for vertical ones.
  const int Client1 = Horizontal ? ClientSize.x : ClientSize.y;
  const int Glyph1 = Horizontal ? GlyphSize.x : GlyphSize.y;
  const int Text1 = Horizontal ? TextSize.x : TextSize.y;
  if (Margin == -1 && Spacing == -1) {
    Margin = (Client1 - (Glyph1 + Text1)) / 3;
    Spacing = Margin;
  } else if (Margin == -1) {
    const int Total = Glyph1 + Spacing + Text1;
    if (!Horizontal || (TextFlags & DT_CENTER))
      Margin = Client1 / 2 - Total / 2;
    else if (Layout == blGlyphRight)
      Margin = (TextFlags & DT_RIGHT) ? 0 : ClientSize.x - TextSize.x - GlyphSize.x;
    else
      Margin = GlyphPos.x;
  } else if (Spacing == -1) {
    const int Rest = Client1 - (Margin + Glyph1);
    Spacing = Rest / 2 - Text1 / 2;
  }

  switch (Layout) {
    case blGlyphLeft:
      GlyphPos.x = Margin;
      TextPos.x = Margin + GlyphSize.x + Spacing;
      break;
    case blGlyphRight:
      GlyphPos.x = ClientSize.x - Margin - GlyphSize.x;
      TextPos.x = GlyphPos.x - Spacing - TextSize.x;
      break;
    case blGlyphTop:
      GlyphPos.y = Margin;
      TextPos.y = Margin + GlyphSize.y + Spacing;
      break;
    case blGlyphBottom:
      GlyphPos.y = ClientSize.y - Margin - GlyphSize.y;
      TextPos.y = GlyphPos.y - Spacing - TextSize.y;
      break;
  }
  const int DX = Client.left + Offset.x, DY = Client.top + Offset.y;
  GlyphPos = Point(GlyphPos.x + DX, GlyphPos.y + DY);
  const int TW = TextBounds.right - TextBounds.left, TH = TextBounds.bottom - TextBounds.top;
  TextBounds = TRect{TextPos.x + DX, TextPos.y + DY, TextPos.x + DX + TW, TextPos.y + DY + TH};
}

// ---- Drawing ----

TPoint TXcxButtonGlyph::DrawBitmapGlyph(TCanvas* Canvas, int X, int Y, int State)
{
  TBitmap* Src = FSourceBitmap.get();
  if (Src->GetWidth() <= 0 || Src->GetHeight() <= 0 || Src->Empty()) return Point(0, 0);
  const int Slot = BuildStateImage(State);
  if (Slot == -1) return Point(0, 0);
  DrawImageListItem(FImageStore, Slot, Canvas->GetHandle(), X, Y, ILD_NORMAL);
  return Point(FImageStore->GetWidth(), FImageStore->GetHeight());
}

TPoint TXcxButtonGlyph::DrawImageListGlyph(TCanvas* Canvas, int X, int Y, int State, TCustomImageList* Images,
                                           int Index)
{
  if (State == XcGlyphDisabled) {
    if (FGrayNewStyle)
      Images->Draw(Canvas, X, Y, Index, false);
    else
      DrawDisabledImageGlyph(Images, Canvas, X, Y, Index, clBtnHighlight, clBtnShadow, true);
  } else if (State == XcGlyphInactive) {
    const int Slot = BuildImageListStateImage(State, Images, Index);
    if (Slot != -1) DrawImageListItem(FImageStore, Slot, Canvas->GetHandle(), X, Y, ILD_NORMAL);
  } else {
    DrawImageListItem(Images, Index, Canvas->GetHandle(), X, Y, ILD_NORMAL);
  }
  return Point(Images->GetWidth(), Images->GetHeight());
}

void TXcxButtonGlyph::DrawCaptionText(TCanvas* Canvas, const String& Caption, const TRect& Rect, int State,
                                      UINT TextFlags) const
{
  Canvas->GetBrush()->SetStyle(bsClear);
  const UINT Format = TextFlags | DT_VCENTER | (FWordWrap ? DT_WORDBREAK : 0);
  TRect R = Rect;
  if (State == XcGlyphDisabled) {
    const TColor Previous = Canvas->GetFont()->GetColor();
    OffsetRect(&R, 1, 1);
    Canvas->GetFont()->SetColor(clBtnHighlight);
    DrawTextPlain(Canvas->GetHandle(), Caption, R, false, Format);
    R = Rect;
    Canvas->GetFont()->SetColor(clBtnShadow);
    DrawTextPlain(Canvas->GetHandle(), Caption, R, false, Format);
    Canvas->GetFont()->SetColor(Previous);
  } else {
    DrawTextPlain(Canvas->GetHandle(), Caption, R, false, Format);
  }
}

TRect TXcxButtonGlyph::DrawGlyphAndText(TCanvas* Canvas, const TRect& Client, const TPoint& Offset,
                                        const String& Caption, TButtonLayout Layout, int Margin, int Spacing,
                                        bool DrawMark, int State, UINT TextFlags, TCustomImageList* Images, int Index)
{
  String Text = Caption;
  TPoint GlyphPos;
  TRect TextBounds;
  ComputeLayout(Canvas, Client, Offset, Text, Layout, Margin, Spacing, DrawMark, TextFlags, Images, Index, GlyphPos,
                TextBounds);
  const bool ListGlyph = Images && Images->GetWidth() > 0 && Index >= 0 && Index < Images->GetCount();
  const TPoint Drawn = ListGlyph ? DrawImageListGlyph(Canvas, GlyphPos.x, GlyphPos.y, State, Images, Index)
                                 : DrawBitmapGlyph(Canvas, GlyphPos.x, GlyphPos.y, State);
  DrawCaptionText(Canvas, Text, TextBounds, State, TextFlags);
  if (DrawMark) {
    int X, Y;
    if (Layout != blGlyphLeft && (FSourceBitmap->GetWidth() > 0 || ListGlyph)) {
      X = GlyphPos.x + Drawn.x + 1;
      Y = GlyphPos.y + Drawn.y / 2;
    } else {
      X = !Text.empty() ? TextBounds.right + 3 : (Client.left + Client.right - 7) / 2;
      Y = TextBounds.top + (TextBounds.bottom - TextBounds.top) / 2;
    }
    DrawDropDownMark(Canvas, X, Y, State == XcGlyphDisabled);
  }
  return TextBounds;
}

void DrawDropDownMark(TCanvas* Canvas, int X, int Y, bool Disabled)
{
  auto Mark = [&](int MX, int MY, TColor Color) {
    for (int I = 0; I <= 6; ++I) Canvas->SetPixels(MX + I, MY - 1, Color);
    for (int I = 1; I <= 5; ++I) Canvas->SetPixels(MX + I, MY, Color);
    for (int I = 2; I <= 4; ++I) Canvas->SetPixels(MX + I, MY + 1, Color);
    Canvas->SetPixels(MX + 3, MY + 2, Color);
  };
  if (Disabled) {
    Mark(X + 1, Y + 1, clBtnHighlight);
    Mark(X, Y, clBtnShadow);
  } else {
    Mark(X, Y, clBtnText);
  }
}
