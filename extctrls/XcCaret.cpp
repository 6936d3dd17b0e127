#include "extctrls/XcCaret.h"

#include "extctrls/XcComponentUtils.h"
#include "extctrls/XcTypes.h"
#include "platform/rtl/Format.h"

TXcCaret::TXcCaret(TWinControl* AOwner) : FOwner(AOwner)
{
  if (!AOwner) throw EXCLException(Format("%s: cannot be created without a valid Owner", String("TXcCaret")));
  FBitmap = std::make_unique<TBitmap>();
}

TXcCaret::~TXcCaret()
{
  try {
    HideCustomCaret();
  } catch (...) {
  }
}

bool TXcCaret::IsDefaultMode() const { return FWidth == 0 && FHeight == 0 && !FGray && FBitmap->Empty(); }

bool TXcCaret::IsBitmapMode() const { return FWidth == 0 && FHeight == 0 && !FGray && !FBitmap->Empty(); }

bool TXcCaret::OwnerReady() const
{
  return FOwner->Focused() && !(FOwner->GetComponentState() & csDesigning) && !IsDefaultMode();
}

void TXcCaret::ShowCustomCaret()
{
  if (!OwnerReady()) return;
  HWND Wnd = FOwner->GetHandle();
  if (IsBitmapMode()) {
    CheckOSResult(CreateCaret(Wnd, FBitmap->GetHandle(), 0, 0) != FALSE);
  } else {
    auto Shape = FGray ? reinterpret_cast<HBITMAP>(1) : static_cast<HBITMAP>(nullptr);
    if (!CreateCaret(Wnd, Shape, FWidth, FHeight)) CheckOSResult(CreateCaret(Wnd, nullptr, FWidth, FHeight) != FALSE);
  }
  FCaretCreated = true;
  ShowCaret(Wnd);
}

void TXcCaret::HideCustomCaret()
{
  if (FCaretCreated && OwnerReady() && DestroyCaret()) FCaretCreated = false;
}

void TXcCaret::SetBitmap(TBitmap* Value)
{
  FBitmap->Assign(Value);
  FWidth = 0;
  FHeight = 0;
  FGray = false;
  CaretChanged();
}

void TXcCaret::SetWidth(int Value)
{
  if (FWidth == Value) return;
  FWidth = Value;
  CaretChanged();
}

void TXcCaret::SetHeight(int Value)
{
  if (FHeight == Value) return;
  FHeight = Value;
  CaretChanged();
}

void TXcCaret::SetGray(bool Value)
{
  if (FGray == Value) return;
  FGray = Value;
  CaretChanged();
}

void TXcCaret::CaretChanged()
{
  if (FUpdateCount > 0) {
    FModified = true;
    return;
  }
  FModified = false;
  if (OnChange) OnChange(this);
}

void TXcCaret::BeginCaretUpdate() { ++FUpdateCount; }

void TXcCaret::EndCaretUpdate()
{
  --FUpdateCount;
  if (FUpdateCount == 0 && FModified) CaretChanged();
}

void TXcCaret::Assign(TPersistent* Source)
{
  auto* Other = dynamic_cast<TXcCaret*>(Source);
  if (!Other) {
    TPersistent::Assign(Source);
    return;
  }
  BeginCaretUpdate();
  try {
    SetBitmap(Other->GetBitmap());
    SetWidth(Other->GetWidth());
    SetHeight(Other->GetHeight());
    SetGray(Other->GetGray());
  } catch (...) {
    EndCaretUpdate();
    throw;
  }
  EndCaretUpdate();
}

void TXcCaret::DefineProperties(TXcFiler& Filer)
{
  Filer.DefineProperty(
      "CaretBitmap",
      [this](TXcFilerReader& Reader) {
        TMemoryStream Data;
        const String Bytes = Reader.ReadString();
        Data.WriteBuffer(Bytes.data(), static_cast<std::int64_t>(Bytes.size()));
        Data.SetPosition(0);
        FBitmap->LoadFromStream(&Data);
      },
      [this](TXcFilerWriter& Writer) {
        TMemoryStream Data;
        FBitmap->SaveToStream(&Data);
        Writer.WriteString(String(static_cast<const char*>(Data.GetMemory()), static_cast<std::size_t>(Data.GetSize())));
      },
      !FBitmap->Empty());
}
