// Named page-file mappings with views that are memory streams.
#pragma once

#include <vector>

#include "core/SxSysUtils.h"
#include "platform/os/FileMapping.h"
#include "platform/rtl/Streams.h"

QV_DECLARE_EXCEPTION(ESxFileMappingError, ESxWin32Error);
QV_DECLARE_EXCEPTION(ESxFileMappingViewError, ESxWin32Error);

namespace SxMappingConsts {
inline constexpr const char* RsCreateFileMapping = "Failed to create FileMapping";
inline constexpr const char* RsCreateFileMappingView = "Failed to create FileMappingView";
inline constexpr const char* RsViewNeedsMapping = "FileMap argument of TSxFileMappingView constructor cannot be nil";
}  // namespace SxMappingConsts

class TSxFileMappingView;

enum TSxFileMappingRoundMode { rmDown, rmUp };

class TSxCustomFileMapping : public TObject {
public:
  ~TSxCustomFileMapping() override;
  TSxCustomFileMapping(const TSxCustomFileMapping&) = delete;
  TSxCustomFileMapping& operator=(const TSxCustomFileMapping&) = delete;

  // A new view of Size bytes at Offset (rounded to the allocation granularity); its index.
  int AddView(DWORD Access, SIZE_T Size, Int64 Offset);
  TSxFileMappingView* ViewAt(int Index) const { return FViews[static_cast<std::size_t>(Index)]; }
  int IndexOfView(const TSxFileMappingView* View) const;
  int GetViewCount() const { return static_cast<int>(FViews.size()); }
  void FreeViews();

  HANDLE GetHandle() const { return FHandle; }
  const String& GetName() const { return FName; }
  bool GetExisted() const { return FExisted; }
  TSxFileMappingRoundMode GetRoundViewOffset() const { return FRoundViewOffset; }
  void SetRoundViewOffset(TSxFileMappingRoundMode Value) { FRoundViewOffset = Value; }

protected:
  TSxCustomFileMapping() = default;
  // Makes the mapping; raises ESxFileMappingError. Returns whether it existed.
  bool CreateMappingObject(HANDLE File, const String& Name, LPSECURITY_ATTRIBUTES SecAttr, Int64 MaximumSize,
                           DWORD Protect);

private:
  friend class TSxFileMappingView;
  HANDLE FHandle = nullptr;
  String FName;
  bool FExisted = false;
  std::vector<TSxFileMappingView*> FViews;
  TSxFileMappingRoundMode FRoundViewOffset = rmDown;
};

class TSxSwapFileMapping : public TSxCustomFileMapping {
public:
  TSxSwapFileMapping(const String& Name, DWORD Protect, Int64 MaximumSize, LPSECURITY_ATTRIBUTES SecAttr);
};

class TSxFileMappingView : public TCustomMemoryStream {
public:
  TSxFileMappingView(TSxCustomFileMapping* FileMap, DWORD Access, SIZE_T Size, Int64 ViewOffset);
  ~TSxFileMappingView() override;

  // Writes nothing (and returns 0) when Count is more than what is left of the view.
  Int64 Write(const void* Buffer, Int64 Count) override;
  int IndexInMapping() const;
  Int64 GetOffset() const { return FOffset; }
  TSxCustomFileMapping* GetFileMapping() const { return FFileMapping; }

private:
  TSxCustomFileMapping* FFileMapping;
  Int64 FOffset = 0;
};

// The module's file name (up to 260 characters).
String ModuleFileName(HMODULE Module);

struct VS_FIXEDFILEINFO {
  DWORD dwSignature = 0;
  DWORD dwStrucVersion = 0;
  DWORD dwFileVersionMS = 0;
  DWORD dwFileVersionLS = 0;
  DWORD dwProductVersionMS = 0;
  DWORD dwProductVersionLS = 0;
  DWORD dwFileFlagsMask = 0;
  DWORD dwFileFlags = 0;
  DWORD dwFileOS = 0;
  DWORD dwFileType = 0;
  DWORD dwFileSubtype = 0;
  DWORD dwFileDateMS = 0;
  DWORD dwFileDateLS = 0;
};
// The fixed version information of a file's version resource; False (FixedInfo untouched)
// when the file has none. Programs on this system carry no version resources.
bool ReadFixedFileInfo(const String& FileName, VS_FIXEDFILEINFO& FixedInfo);
