// The binary property stream of the data-provider framework's persistent objects, in the
// class library's form-stream value encoding: each value starts with a one-byte tag (vaNull 0
// ends a list, vaList 1, vaInt8 2, vaInt16 3, vaInt32 4, vaString 6 with a length byte, vaFalse
// 8, vaTrue 9, vaLString 12 with a 32-bit length, vaCollection 14), property names are
// length-prefixed short strings, integers little-endian.
//
// An object lists its properties through DefineProperties(TXcFiler&): for each property a name,
// a routine that reads the value, a routine that writes it, and whether it has data (a property
// without data is not written).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

enum TXcValueType : std::uint8_t {
  vaNull = 0,
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaString = 6,
  vaFalse = 8,
  vaTrue = 9,
  vaLString = 12,
  vaCollection = 14,
};

class TXcFilerReader;
class TXcFilerWriter;

// What DefineProperties is given: the reader or the writer of the moment.
class TXcFiler {
public:
  using TReaderProc = std::function<void(TXcFilerReader& Reader)>;
  using TWriterProc = std::function<void(TXcFilerWriter& Writer)>;
  virtual ~TXcFiler() = default;
  virtual void DefineProperty(const String& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                              bool HasData) = 0;
};

// Something that streams its properties.
class IXcStreamable {
public:
  virtual void DefineProperties(TXcFiler& Filer) = 0;

protected:
  ~IXcStreamable() = default;
};

class TXcFilerWriter : public TXcFiler {
public:
  explicit TXcFilerWriter(TStream* AStream) : FStream(AStream) {}
  void DefineProperty(const String& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                      bool HasData) override;

  // Every property of Obj that has data: its name and its value.
  void WriteProperties(IXcStreamable& Obj);
  void WriteValue(TXcValueType Value);
  void WriteListBegin() { WriteValue(vaList); }
  void WriteListEnd() { WriteValue(vaNull); }
  void WritePropName(const String& Name);
  void WriteString(const String& Value);
  void WriteInteger(std::int32_t Value);
  void WriteBoolean(bool Value);

  // The dotted path of the property being written, as nested names are built from it.
  const String& GetPropPath() const { return FPropPath; }
  void SetPropPath(const String& Value) { FPropPath = Value; }

private:
  void WriteBytes(const void* Data, std::size_t Count);
  TStream* FStream;
  String FPropPath;
};

// Sets a writer's property path to empty for the life of the guard and restores it after,
// also when writing fails.
class TXcPropPathGuard {
public:
  explicit TXcPropPathGuard(TXcFilerWriter& AWriter) : FWriter(AWriter), FSaved(AWriter.GetPropPath()) { FWriter.SetPropPath(""); }
  ~TXcPropPathGuard() { FWriter.SetPropPath(FSaved); }
  TXcPropPathGuard(const TXcPropPathGuard&) = delete;
  TXcPropPathGuard& operator=(const TXcPropPathGuard&) = delete;

private:
  TXcFilerWriter& FWriter;
  String FSaved;
};

class TXcFilerReader : public TXcFiler {
public:
  explicit TXcFilerReader(TStream* AStream) : FStream(AStream) {}
  void DefineProperty(const String& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                      bool HasData) override;

  // Reads name/value pairs into Obj until the end-of-list marker (which is consumed). A name
  // Obj does not define raises EReadError "Property %s does not exist"; objects nested deeper
  // than MaxNesting raise EReadError "Objects nested too deeply".
  static constexpr int MaxNesting = 200;
  void ReadProperties(IXcStreamable& Obj);
  TXcValueType ReadValue();
  TXcValueType NextValue();
  void ReadListBegin();
  void ReadListEnd();
  bool EndOfList() { return NextValue() == vaNull; }
  String ReadPropName();
  String ReadString();
  std::int32_t ReadInteger();
  bool ReadBoolean();

private:
  void ReadBytes(void* Data, std::size_t Count);
  [[noreturn]] void InvalidValue();
  TStream* FStream;
  int FNesting = 0;
  // Filled by DefineProperty while ReadProperties looks for one name.
  String FWantedName;
  TReaderProc FFound;
};
