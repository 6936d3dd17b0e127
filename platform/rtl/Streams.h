// Streams: the abstract TStream, streams over file handles and files, and memory and string
// streams.
#pragma once

#include <cstddef>

#include "platform/rtl/System.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// The older integer origins of Seek.
constexpr int soFromBeginning = 0;
constexpr int soFromCurrent = 1;
constexpr int soFromEnd = 2;

// A sequence of bytes with a position. Read and Write move the position and answer how many
// bytes they moved; ReadBuffer and WriteBuffer insist on the full count.
class TStream : public TObject {
public:
  virtual Int64 Read(void* Buffer, Int64 Count) = 0;
  virtual Int64 Write(const void* Buffer, Int64 Count) = 0;
  // Answers the new position.
  virtual Int64 Seek(Int64 Offset, TSeekOrigin Origin) = 0;
  // Origin soFromBeginning, soFromCurrent or soFromEnd.
  Int64 Seek(Int64 Offset, int Origin);

  Int64 GetPosition();
  void SetPosition(Int64 Pos);
  virtual Int64 GetSize();
  // Does nothing here; streams that can change their size override it.
  virtual void SetSize(Int64 NewSize);

  // EReadError "Stream read error" when fewer than Count bytes can be read.
  void ReadBuffer(void* Buffer, Int64 Count);
  // EWriteError "Stream write error" when fewer than Count bytes can be written.
  void WriteBuffer(const void* Buffer, Int64 Count);
  // Copies Count bytes from Source's position; Count <= 0 copies the whole of Source from its
  // start (EReadError for a source without a size, such as a pipe). Answers the count copied.
  Int64 CopyFrom(TStream* Source, Int64 Count);
};

// A stream over an open file handle, which it does not close. A failing read raises EReadError
// (rather than looking like the end of the file); a failing write answers a short count.
class THandleStream : public TStream {
public:
  explicit THandleStream(int AHandle) : FHandle(AHandle) {}
  THandleStream(const THandleStream&) = delete;
  THandleStream& operator=(const THandleStream&) = delete;

  using TStream::Seek;
  Int64 Read(void* Buffer, Int64 Count) override;
  Int64 Write(const void* Buffer, Int64 Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  // Truncates or extends the file and leaves the position at NewSize; EOSError on failure.
  void SetSize(Int64 NewSize) override;
  int GetHandle() const { return FHandle; }

protected:
  int FHandle;
};

// A stream over a named file, closed by the destructor. Mode is fmCreate (create or truncate;
// EFCreateError "Cannot create file "name". <system text>") or an fmOpen... mode (EFOpenError
// "Cannot open file "name". <system text>"), optionally with a share mode, which is accepted
// and ignored. A directory can't be opened as a file stream.
// fmCreate empties an existing file before the first byte is written, so a failure halfway
// (a full disk, a crash) leaves the user's file lost. Program code never replaces a file the
// user has (settings, lists, profiles, pictures) through a TFileStream: it replaces files only
// through the safe save path, AtomicSaveToFile below (a temporary file in the same folder,
// renamed over the old one when complete), which every SaveToFile routine uses. fmCreate is for
// files the program makes fresh (its own temporary and output files).
class TFileStream : public THandleStream {
public:
  TFileStream(const String& AFileName, unsigned Mode);
  ~TFileStream() override;
  const String& GetFileName() const { return FFileName; }

private:
  String FFileName;
};

// A stream over a block of memory it manages.
class TCustomMemoryStream : public TStream {
public:
  using TStream::Seek;
  Int64 Read(void* Buffer, Int64 Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  Int64 GetSize() override { return FSize; }
  // Writes the whole contents (not just from the position).
  void SaveToStream(TStream* Stream);
  // Replaces the file safely (see AtomicSaveToFile).
  void SaveToFile(const String& FileName);
  void* GetMemory() const { return FMemory; }

protected:
  void SetPointer(void* Ptr, Int64 Size);

  void* FMemory = nullptr;
  Int64 FSize = 0;
  Int64 FPosition = 0;
};

// A memory stream that grows as it is written (the capacity in multiples of 8 KB, growing by
// at least half). Seeking past the end and writing leaves zeros in the gap. A failed
// allocation raises EOutOfMemory "Out of memory while expanding memory stream".
class TMemoryStream : public TCustomMemoryStream {
public:
  TMemoryStream() = default;
  TMemoryStream(const TMemoryStream&) = delete;
  TMemoryStream& operator=(const TMemoryStream&) = delete;
  ~TMemoryStream() override;

  using TStream::Seek;
  Int64 Write(const void* Buffer, Int64 Count) override;
  // New bytes past the old size are zero. The position stays unless it was past the new end.
  void SetSize(Int64 NewSize) override;
  void Clear();
  // Replaces the contents by the whole of Stream (from its start); the position stays (or
  // moves back to the new end). A failing read leaves the old contents.
  void LoadFromStream(TStream* Stream);
  void LoadFromFile(const String& FileName);
  Int64 GetCapacity() const { return FCapacity; }

protected:
  void SetCapacity(Int64 NewCapacity);

private:
  Int64 FCapacity = 0;
};

// A stream over a string. Writes overwrite at the position and extend the string.
class TStringStream : public TStream {
public:
  explicit TStringStream(const String& AString = String()) : FDataString(AString) {}

  using TStream::Seek;
  Int64 Read(void* Buffer, Int64 Count) override;
  Int64 Write(const void* Buffer, Int64 Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  Int64 GetSize() override { return static_cast<Int64>(FDataString.size()); }
  void SetSize(Int64 NewSize) override;
  // Up to Count bytes from the position.
  String ReadString(Int64 Count);
  void WriteString(const String& AString);
  const String& GetDataString() const { return FDataString; }

private:
  String FDataString;
  Int64 FPosition = 0;
};

// Replaces FileName with Count bytes of Data without ever leaving a partial file behind: the
// data goes to a temporary file in the same folder, is flushed to disk, and is then renamed
// over FileName (a symbolic link is followed to the file it names, except that in a sticky
// world-writable folder such as /tmp only a link of our own or of the folder's owner is
// followed, as the kernel's rule for such folders says: "Permission denied" otherwise; an
// existing file keeps its permission bits). On any failure the temporary file is removed, the
// old file is untouched and EFCreateError "Cannot create file "name". <system text>" is raised.
void AtomicSaveToFile(const String& FileName, const void* Data, std::size_t Count);
