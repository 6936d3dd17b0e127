#include "extctrls/XcMaxPixel.h"

TXcMaxPixel::TXcMaxPixel(TControl* AControl) : FControl(AControl), FFont(std::make_unique<TFont>())
{
  FFont->OnChange = [this](TObject*) { Changed(); };
}

TXcMaxPixel::~TXcMaxPixel() { FFont->OnChange = nullptr; }

void TXcMaxPixel::Changed()
{
  if (OnChange) OnChange(this);
}

void TXcMaxPixel::SetUseControlFont(bool Value)
{
  if (FUseControlFont == Value) return;
  FUseControlFont = Value;
  Changed();
}

void TXcMaxPixel::SetLength(int Value)
{
  if (FLength == Value) return;
  FLength = Value;
  Changed();
}

void TXcMaxPixel::SetFont(TFont* Value)
{
  if (Value != FFont.get()) FFont->Assign(Value);
}

namespace {

// The byte length of Text without its last character (a UTF-8 sequence counts as one).
std::size_t WithoutLastCharacter(const String& Text)
{
  std::size_t N = Text.size() - 1;
  while (N > 0 && (static_cast<unsigned char>(Text[N]) & 0xC0) == 0x80) --N;
  return N;
}

}  // namespace

bool TXcMaxPixel::TrimToWidth(String& Text, TFont* ControlFont)
{
  if (FLength == 0) return true;
  TControlCanvas Canvas;
  Canvas.SetControl(FControl);
  if (TFont* Source = FUseControlFont ? ControlFont : FFont.get()) Canvas.GetFont()->Assign(Source);
  const bool Result = Canvas.TextWidth(Text) > FLength;
  while (!Text.empty() && Canvas.TextWidth(Text) > FLength) Text.resize(WithoutLastCharacter(Text));
  return Result;
}
