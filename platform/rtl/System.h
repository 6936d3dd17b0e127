// Basic types of the runtime library: the string type, integer aliases, TObject and the
// notify-event type that every event of the component style uses.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Text is a string of bytes (UTF-8 on Linux). Routines that count characters count bytes
// from 1, as the class library does.
using String = std::string;

using Integer = std::int32_t;
using Cardinal = std::uint32_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;
using Byte = std::uint8_t;
using Word = std::uint16_t;
using LongWord = std::uint32_t;

constexpr Integer MaxInt = 2147483647;

// Line break written by every text routine (string-list text, files).
inline constexpr const char* sLineBreak = "\r\n";

// Root of the class hierarchy. Objects are deleted through a TObject pointer, and every
// class can tell its name.
class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
  virtual ~TObject();

  // The class name of the most derived class, as written in the source ("TStringList").
  String ClassName() const;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;
