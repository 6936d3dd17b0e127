#include "skin/foundation/PngImageList.h"

#include <algorithm>

#include "platform/rtl/Format.h"
#include "platform/rtl/Exceptions.h"
#include "skin/foundation/PngCodec.h"
#include "skin/foundation/PngLayers.h"
#include "skin/foundation/SkinRegions.h"

namespace {

// Half of an alpha value, rounded to the nearest integer with halves to even (255 gives 128).
Byte HalfAlpha(Byte Alpha)
{
  const int Half = Alpha >> 1;
  return static_cast<Byte>((Alpha & 1) ? Half + (Half & 1) : Half);
}

// The palette index of pixel X of a picture row with Bits bits per pixel.
unsigned IndexAt(const Byte* Row, int X, int Bits)
{
  const std::size_t Bit = static_cast<std::size_t>(X) * Bits;
  const int Shift = 8 - Bits - static_cast<int>(Bit & 7);
  return (Row[Bit >> 3] >> Shift) & ((1u << Bits) - 1);
}

String DefaultItemName(TCollectionItem* Item) { return Format("PngImage%d", {Item->GetIndex()}); }

bool Designing(const TComponent* Component) { return (Component->GetComponentState() & csDesigning) != 0; }

}  // namespace

void DrawDisabled(TskPngImage* Image, TCanvas* Canvas, const TRect& R)
{
  if (!Image || !Canvas || Image->Empty()) return;
  TskPngLayerIHDR* Header = Image->Header();
  if (!Header || !Header->HasImageStore()) return;
  const int W = Image->GetWidth();
  const int H = Image->GetHeight();
  const bool HasKey = Image->TransparencyKind() == ptkKeyColor;
  const TColor Key = HasKey ? Image->KeyColor() : 0;

  TskPngImage Copy;
  if (Header->ColorType == COLOR_GRAYSCALE || Header->ColorType == COLOR_PALETTE) {
    // Grey and palette pictures become RGB with alpha: a blank bitmap of the same size gives an
    // RGB image, and every pixel is copied over.
    TBitmap Blank(W, H, pf24bit);
    Copy.Assign(&Blank);
    Copy.EnsureAlpha();
    // A palette image with per-entry transparency keeps its hidden pixels hidden: each pixel gets
    // its entry's alpha scaled to the half-opacity range.
    const TskPngLayertRNS* Trns = Image->Chunks()->Find<TskPngLayertRNS>();
    const bool PerEntry = Header->ColorType == COLOR_PALETTE && Trns && !HasKey;
    const int Bits = Header->DibInfo.bmiHeader.biBitCount;
    for (int Y = 0; Y < H; ++Y) {
      Byte* Alpha = Copy.AlphaRow(Y);
      const Byte* Source = Image->ImageRow(Y);
      for (int X = 0; X < W; ++X) {
        const TColor C = Image->GetPixel(X, Y);
        Copy.SetPixel(X, Y, C);
        Byte A = 127;
        if (HasKey && C == Key)
          A = 0;
        else if (PerEntry && Source)
          A = static_cast<Byte>((Trns->AlphaTable[IndexAt(Source, X, Bits)] * 127 + 127) / 255);
        if (Alpha) Alpha[X] = A;
      }
    }
  } else {
    Copy.Assign(Image);
    if (Header->ColorType == COLOR_RGB) Copy.EnsureAlpha();
    for (int Y = 0; Y < H; ++Y) {
      Byte* Alpha = Copy.AlphaRow(Y);
      if (!Alpha) break;
      for (int X = 0; X < W; ++X)
        Alpha[X] = HasKey && Copy.GetPixel(X, Y) == Key ? 0 : HalfAlpha(Alpha[X]);
    }
  }
  Copy.Draw(Canvas, R);
}

// ---- Image list ----

TskPngImageItem::TskPngImageItem(TCollection* ACollection)
    : TCollectionItem(ACollection), FPngImage(std::make_unique<TskPngImage>())
{
  FName = DefaultItemName(this);
  if (TskPngImageList* List = ImageList()) {
    // A placeholder cell keeps the list's image count equal to the collection's.
    TBitmap Placeholder(List->GetWidth(), List->GetHeight(), pf1bit);
    const int Index = std::clamp(GetIndex(), 0, List->GetCount());
    List->Insert(Index, &Placeholder, nullptr);
  }
}

TskPngImageItem::~TskPngImageItem()
{
  TskPngImageList* List = ImageList();
  const int Index = GetIndex();
  if (List && Index >= 0 && Index < List->GetCount()) List->Delete(Index);
}

TskPngImageList* TskPngImageItem::ImageList() const
{
  auto* Items = dynamic_cast<TskPngImageItems*>(GetCollection());
  return Items ? Items->GetImageList() : nullptr;
}

void TskPngImageItem::SetPngImage(TskPngImage* Value)
{
  FPngImage->Assign(Value);
  Changed(true);
}

void TskPngImageItem::Assign(TPersistent* Source)
{
  if (auto* Item = dynamic_cast<TskPngImageItem*>(Source)) {
    FPngImage->Assign(Item->FPngImage.get());
    FName = Item->FName;
    return;
  }
  TCollectionItem::Assign(Source);
}

String TskPngImageItem::GetDisplayName() const
{
  return FName.empty() ? TCollectionItem::GetDisplayName() : FName;
}

TskPngImageItems::TskPngImageItems(TskPngImageList* AImageList)
    : TCollection(ItemClassOf<TskPngImageItem>()), FImageList(AImageList)
{
}

TPersistent* TskPngImageItems::GetOwner() const { return FImageList; }

TskPngImageList::TskPngImageList(TComponent* AOwner) : TCustomImageList(AOwner)
{
  FPngImages = std::make_unique<TskPngImageItems>(this);
}

TskPngImageList::~TskPngImageList() { FPngImages.reset(); }

void TskPngImageList::SetPngWidth(int Value)
{
  if (Value == GetWidth()) return;
  SetWidth(Value);
  if (!(GetComponentState() & csLoading)) FPngImages->Clear();
}

void TskPngImageList::SetPngHeight(int Value)
{
  if (Value == GetHeight()) return;
  SetHeight(Value);
  if (!(GetComponentState() & csLoading)) FPngImages->Clear();
}

void TskPngImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT, bool Enabled)
{
  // Cells added to the list by other means than the collection have no picture to draw.
  if (!Canvas || Index < 0 || Index >= FPngImages->GetCount()) return;
  TskPngImage* Image = FPngImages->GetItem(Index)->GetPngImage();
  const TRect R = Rect(X, Y, X + GetWidth(), Y + GetHeight());
  if (Enabled)
    Image->Draw(Canvas, R);
  else
    DrawDisabled(Image, Canvas, R);
}

// ---- Image storage ----

TskPngStorageImageItem::TskPngStorageImageItem(TCollection* ACollection)
    : TCollectionItem(ACollection), FPngImage(std::make_unique<TskPngImage>())
{
  FName = DefaultItemName(this);
}

TskPngStorageImageItem::~TskPngStorageImageItem() = default;

void TskPngStorageImageItem::SetPngImage(TskPngImage* Value)
{
  FPngImage->Assign(Value);
  Changed(true);
}

void TskPngStorageImageItem::Assign(TPersistent* Source)
{
  if (auto* Item = dynamic_cast<TskPngStorageImageItem*>(Source)) {
    FPngImage->Assign(Item->FPngImage.get());
    FName = Item->FName;
    return;
  }
  TCollectionItem::Assign(Source);
}

String TskPngStorageImageItem::GetDisplayName() const
{
  return FName.empty() ? TCollectionItem::GetDisplayName() : FName;
}

TskPngStorageImageItems::TskPngStorageImageItems(TskPngImageStorage* AStorage)
    : TCollection(ItemClassOf<TskPngStorageImageItem>()), FStorage(AStorage)
{
}

TPersistent* TskPngStorageImageItems::GetOwner() const { return FStorage; }

TskPngImageStorage::TskPngImageStorage(TComponent* AOwner) : TComponent(AOwner)
{
  FPngImages = std::make_unique<TskPngStorageImageItems>(this);
}

TskPngImageStorage::~TskPngImageStorage() { FPngImages.reset(); }

void TskPngImageStorage::DrawImage(int Index, TCanvas* Canvas, int X, int Y, bool Enabled)
{
  if (!Canvas || Index < 0 || Index >= FPngImages->GetCount()) return;
  TskPngImage* Image = FPngImages->GetItem(Index)->GetPngImage();
  const TRect R = Rect(X, Y, X + Image->GetWidth(), Y + Image->GetHeight());
  if (Enabled)
    Image->Draw(Canvas, R);
  else
    DrawDisabled(Image, Canvas, R);
}

// ---- Image view ----

TskPngImageView::TskPngImageView(TComponent* AOwner) : TGraphicControl(AOwner)
{
  SetControlStyle((GetControlStyle() & ~csOpaque) | csReplicatable);
  TControl::SetAutoSize(true);
  SetBounds(GetLeft(), GetTop(), 50, 50);
}

TskPngImageView::~TskPngImageView() = default;

bool TskPngImageView::StorageSource() const
{
  if (!FPngImageStorage) return false;
  const int Count = FPngImageStorage->GetPngImages()->GetCount();
  return Count > 0 && FImageIndex >= 0 && FImageIndex < Count;
}

bool TskPngImageView::ListSource() const
{
  if (!FPngImageList) return false;
  const int Count = FPngImageList->GetPngImages()->GetCount();
  return Count > 0 && FImageIndex >= 0 && FImageIndex < Count && FPngImageList->GetWidth() > 0 &&
         FPngImageList->GetHeight() > 0;
}

TskPngImage* TskPngImageView::SourceImage() const
{
  if (StorageSource()) return FPngImageStorage->GetPngImages()->GetItem(FImageIndex)->GetPngImage();
  if (ListSource()) return FPngImageList->GetPngImages()->GetItem(FImageIndex)->GetPngImage();
  return nullptr;
}

void TskPngImageView::SourceChanged()
{
  if (FReflectionEffect) BuildReflection();
  FitToImage();
  Invalidate();
}

void TskPngImageView::SetDoubleBuffered(bool Value)
{
  FDoubleBuffered = Value;
  if (Value)
    SetControlStyle(GetControlStyle() | csOpaque);
  else
    SetControlStyle(GetControlStyle() & ~csOpaque);
}

void TskPngImageView::SetReflectionEffect(bool Value)
{
  if (FReflectionEffect == Value) return;
  FReflectionEffect = Value;
  if (Value)
    BuildReflection();
  else
    FReflection.reset();
  FitToImage();
  Invalidate();
}

void TskPngImageView::SetAutoSize(bool Value)
{
  if (GetAutoSize() == Value) return;
  TGraphicControl::SetAutoSize(Value);
  FitToImage();
}

void TskPngImageView::SetPngImageList(TskPngImageList* Value)
{
  if (FPngImageList == Value) return;
  if (FPngImageList) FPngImageList->RemoveFreeNotification(this);
  FPngImageList = Value;
  if (Value) Value->FreeNotification(this);
  SourceChanged();
}

void TskPngImageView::SetPngImageStorage(TskPngImageStorage* Value)
{
  if (FPngImageStorage == Value) return;
  if (FPngImageStorage) FPngImageStorage->RemoveFreeNotification(this);
  FPngImageStorage = Value;
  if (Value) Value->FreeNotification(this);
  SourceChanged();
}

void TskPngImageView::SetImageIndex(int Value)
{
  if (Value < -1) return;
  FImageIndex = Value;
  if (FPngImageList || FPngImageStorage) SourceChanged();
}

void TskPngImageView::SetCenter(bool Value)
{
  if (FCenter == Value) return;
  FCenter = Value;
  Invalidate();
}

void TskPngImageView::FitToImage()
{
  if (!GetAutoSize()) return;
  int W = 0, H = 0;
  if (StorageSource()) {
    TskPngImage* Image = SourceImage();
    W = Image->GetWidth();
    H = Image->GetHeight();
  } else if (FPngImageList) {
    W = FPngImageList->GetWidth();
    H = FPngImageList->GetHeight();
  } else {
    return;
  }
  if (FReflectionEffect) H += H / 2 + 5;
  SetBounds(GetLeft(), GetTop(), W, H);
}

void TskPngImageView::BuildReflection()
{
  FReflection.reset();
  TskPngImage* Image = SourceImage();
  if (!Image || Image->Empty()) return;
  auto Reflection = std::make_unique<TskBitmap>();
  try {
    // Pictures without an alpha plane count as opaque.
    AssignPngToBitmap(Reflection.get(), Image);
  } catch (const Exception&) {
    // No memory for the mirror image: the view shows the picture without it.
    return;
  }
  if (Reflection->Empty()) return;
  if (GetEnabled())
    Reflection->MakeReflection();
  else
    Reflection->MakeFaintReflection();
  // The fading lives in the alpha bytes, so the mirror image is always blended (an opaque
  // picture would otherwise be copied as a solid block).
  Reflection->HasAlpha = true;
  FReflection = std::move(Reflection);
}

void TskPngImageView::Paint()
{
  TCanvas* Target = GetCanvas();
  const int W = GetWidth();
  const int H = GetHeight();
  std::unique_ptr<TBitmap> Buffer;
  if (FDoubleBuffered && W > 0 && H > 0) {
    Buffer = std::make_unique<TBitmap>(W, H, pf32bit);
    PaintParentBackground(this, Buffer->GetCanvas());
    Target = Buffer->GetCanvas();
  }

  int ImageWidth = 0, ImageHeight = 0;
  const bool FromStorage = StorageSource();
  const bool FromList = !FromStorage && ListSource();
  if (FromStorage) {
    TskPngImage* Image = SourceImage();
    ImageWidth = Image->GetWidth();
    ImageHeight = Image->GetHeight();
  } else if (FromList) {
    ImageWidth = FPngImageList->GetWidth();
    ImageHeight = FPngImageList->GetHeight();
  }
  if (FromStorage || FromList) {
    int X = 0, Y = 0;
    if (FCenter) {
      const int Tall = ImageHeight + (FReflection ? ImageHeight / 2 : 0);
      X = W / 2 - ImageWidth / 2;
      Y = H / 2 - Tall / 2;
    }
    if (FromStorage)
      FPngImageStorage->DrawImage(FImageIndex, Target, X, Y, GetEnabled());
    else
      FPngImageList->Draw(Target, X, Y, FImageIndex, GetEnabled());
    if (FReflection) FReflection->DrawToCanvas(Target, X, Y + ImageHeight);
  }

  if (Designing(this)) {
    Target->GetPen()->SetStyle(psDash);
    Target->GetPen()->SetColor(clBlack);
    Target->GetBrush()->SetStyle(bsClear);
    Target->Rectangle(0, 0, W, H);
  }

  if (Buffer) BitBlt(GetCanvas()->GetHandle(), 0, 0, W, H, Buffer->GetCanvas()->GetHandle(), 0, 0, SRCCOPY);
}

void TskPngImageView::Loaded()
{
  TGraphicControl::Loaded();
  if (FReflectionEffect) BuildReflection();
  FitToImage();
}

void TskPngImageView::Notification(TComponent* AComponent, TOperation Operation)
{
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FPngImageList) FPngImageList = nullptr;
  if (AComponent == FPngImageStorage) FPngImageStorage = nullptr;
}

void TskPngImageView::CMEnabledChanged(TMessage& Message)
{
  // The reflection fades less while the view is disabled.
  if (FReflectionEffect) BuildReflection();
  TGraphicControl::CMEnabledChanged(Message);
}

// The base handlers only fire the events; the view fires them itself, at run time and while
// enabled only.
void TskPngImageView::CMMouseEnter(TMessage&)
{
  if (OnMouseEnter && !Designing(this) && GetEnabled()) OnMouseEnter(this);
}

void TskPngImageView::CMMouseLeave(TMessage&)
{
  if (OnMouseLeave && !Designing(this) && GetEnabled()) OnMouseLeave(this);
}
