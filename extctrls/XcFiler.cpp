#include "extctrls/XcFiler.h"

void TXcFilerWriter::DefineProperty(const String& Name, const TReaderProc&, const TWriterProc& WriteData, bool HasData)
{
  if (!HasData || !WriteData) return;
  WritePropName(Name);
  WriteData(*this);
}

void TXcFilerWriter::WriteProperties(IXcStreamable& Obj) { Obj.DefineProperties(*this); }

void TXcFilerWriter::WriteBytes(const void* Data, std::size_t Count) { FStream->WriteBuffer(Data, static_cast<Int64>(Count)); }

void TXcFilerWriter::WriteValue(TXcValueType Value) { WriteBytes(&Value, 1); }

void TXcFilerWriter::WritePropName(const String& Name)
{
  if (Name.size() > 255) throw EWriteError("Property name too long: %s", {Name});
  const auto Len = static_cast<std::uint8_t>(Name.size());
  WriteBytes(&Len, 1);
  WriteBytes(Name.data(), Name.size());
}

void TXcFilerWriter::WriteString(const String& Value)
{
  if (Value.size() <= 255) {
    WriteValue(vaString);
    const auto Len = static_cast<std::uint8_t>(Value.size());
    WriteBytes(&Len, 1);
  } else {
    WriteValue(vaLString);
    const auto Len = static_cast<std::uint32_t>(Value.size());
    const std::uint8_t B[4] = {static_cast<std::uint8_t>(Len), static_cast<std::uint8_t>(Len >> 8),
                               static_cast<std::uint8_t>(Len >> 16), static_cast<std::uint8_t>(Len >> 24)};
    WriteBytes(B, 4);
  }
  WriteBytes(Value.data(), Value.size());
}

void TXcFilerWriter::WriteInteger(std::int32_t Value)
{
  if (Value >= -128 && Value <= 127) {
    WriteValue(vaInt8);
    const auto B = static_cast<std::uint8_t>(static_cast<std::int8_t>(Value));
    WriteBytes(&B, 1);
  } else if (Value >= -32768 && Value <= 32767) {
    WriteValue(vaInt16);
    const auto V = static_cast<std::uint16_t>(static_cast<std::int16_t>(Value));
    const std::uint8_t B[2] = {static_cast<std::uint8_t>(V), static_cast<std::uint8_t>(V >> 8)};
    WriteBytes(B, 2);
  } else {
    WriteValue(vaInt32);
    const auto V = static_cast<std::uint32_t>(Value);
    const std::uint8_t B[4] = {static_cast<std::uint8_t>(V), static_cast<std::uint8_t>(V >> 8),
                               static_cast<std::uint8_t>(V >> 16), static_cast<std::uint8_t>(V >> 24)};
    WriteBytes(B, 4);
  }
}

void TXcFilerWriter::WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }

void TXcFilerReader::DefineProperty(const String& Name, const TReaderProc& ReadData, const TWriterProc&, bool)
{
  if (!FFound && ReadData && Name == FWantedName) FFound = ReadData;
}

void TXcFilerReader::ReadProperties(IXcStreamable& Obj)
{
  if (FNesting >= MaxNesting) throw EReadError("Objects nested too deeply");
  struct TLevel {
    int& Nesting;
    explicit TLevel(int& N) : Nesting(N) { ++Nesting; }
    ~TLevel() { --Nesting; }
  } Level(FNesting);
  while (!EndOfList()) {
    FWantedName = ReadPropName();
    FFound = nullptr;
    Obj.DefineProperties(*this);
    if (!FFound) throw EReadError("Property %s does not exist", {FWantedName});
    const TReaderProc Proc = std::move(FFound);
    FFound = nullptr;
    Proc(*this);
  }
  ReadListEnd();
}

void TXcFilerReader::ReadBytes(void* Data, std::size_t Count) { FStream->ReadBuffer(Data, static_cast<Int64>(Count)); }

void TXcFilerReader::InvalidValue() { throw EReadError("Invalid property value"); }

TXcValueType TXcFilerReader::ReadValue()
{
  std::uint8_t B = 0;
  ReadBytes(&B, 1);
  return static_cast<TXcValueType>(B);
}

TXcValueType TXcFilerReader::NextValue()
{
  const TXcValueType V = ReadValue();
  FStream->Seek(-1, soCurrent);
  return V;
}

void TXcFilerReader::ReadListBegin()
{
  if (ReadValue() != vaList) InvalidValue();
}

void TXcFilerReader::ReadListEnd()
{
  if (ReadValue() != vaNull) InvalidValue();
}

String TXcFilerReader::ReadPropName()
{
  std::uint8_t Len = 0;
  ReadBytes(&Len, 1);
  String S(Len, '\0');
  if (Len > 0) ReadBytes(S.data(), Len);
  return S;
}

String TXcFilerReader::ReadString()
{
  std::uint32_t Len = 0;
  switch (ReadValue()) {
  case vaString: {
    std::uint8_t L = 0;
    ReadBytes(&L, 1);
    Len = L;
    break;
  }
  case vaLString: {
    std::uint8_t B[4];
    ReadBytes(B, 4);
    Len = B[0] | (B[1] << 8) | (B[2] << 16) | (static_cast<std::uint32_t>(B[3]) << 24);
    if (static_cast<Int64>(Len) > FStream->GetSize() - FStream->GetPosition()) throw EReadError("Stream read error");
    break;
  }
  default:
    InvalidValue();
  }
  String S(Len, '\0');
  if (Len > 0) ReadBytes(S.data(), Len);
  return S;
}

std::int32_t TXcFilerReader::ReadInteger()
{
  switch (ReadValue()) {
  case vaInt8: {
    std::uint8_t B = 0;
    ReadBytes(&B, 1);
    return static_cast<std::int8_t>(B);
  }
  case vaInt16: {
    std::uint8_t B[2];
    ReadBytes(B, 2);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(B[0] | (B[1] << 8)));
  }
  case vaInt32: {
    std::uint8_t B[4];
    ReadBytes(B, 4);
    return static_cast<std::int32_t>(B[0] | (B[1] << 8) | (B[2] << 16) | (static_cast<std::uint32_t>(B[3]) << 24));
  }
  default:
    InvalidValue();
  }
}

bool TXcFilerReader::ReadBoolean()
{
  switch (ReadValue()) {
  case vaTrue: return true;
  case vaFalse: return false;
  default: InvalidValue();
  }
}
