#include "app/SxFileMapping.h"

#include <algorithm>
#include <cstring>

#include "core/ToolProcesses.h"
#include "platform/os/Process.h"

TSxCustomFileMapping::~TSxCustomFileMapping()
{
  FreeViews();
  if (FHandle) CloseHandle(FHandle);
}

bool TSxCustomFileMapping::CreateMappingObject(HANDLE File, const String& Name, LPSECURITY_ATTRIBUTES SecAttr,
                                               Int64 MaximumSize, DWORD Protect)
{
  FName = Name;
  const TInt64Halves Size = SplitInt64(MaximumSize);
  FHandle = CreateFileMappingA(File, SecAttr, Protect, Size.High, Size.Low, Name.empty() ? nullptr : Name.c_str());
  if (!FHandle) throw ESxWin32Error::FromLastError<ESxFileMappingError>(SxMappingConsts::RsCreateFileMapping);
  FExisted = GetLastError() == ERROR_ALREADY_EXISTS;
  return FExisted;
}

int TSxCustomFileMapping::AddView(DWORD Access, SIZE_T Size, Int64 Offset)
{
  auto* View = new TSxFileMappingView(this, Access, Size, Offset);
  return View->IndexInMapping();
}

int TSxCustomFileMapping::IndexOfView(const TSxFileMappingView* View) const
{
  auto It = std::find(FViews.begin(), FViews.end(), View);
  return It == FViews.end() ? -1 : static_cast<int>(It - FViews.begin());
}

void TSxCustomFileMapping::FreeViews()
{
  while (!FViews.empty()) delete FViews.back();  // the view takes itself off the list
}

TSxSwapFileMapping::TSxSwapFileMapping(const String& Name, DWORD Protect, Int64 MaximumSize,
                                       LPSECURITY_ATTRIBUTES SecAttr)
{
  CreateMappingObject(INVALID_HANDLE_VALUE, Name, SecAttr, MaximumSize, Protect);
}

TSxFileMappingView::TSxFileMappingView(TSxCustomFileMapping* FileMap, DWORD Access, SIZE_T Size, Int64 ViewOffset)
    : FFileMapping(FileMap)
{
  if (!FileMap) {
    SetLastError(ERROR_INVALID_PARAMETER);
    throw ESxWin32Error::FromLastError<ESxFileMappingViewError>(SxMappingConsts::RsViewNeedsMapping);
  }
  FOffset = ViewOffset;
  RoundToAllocGranularity(FOffset, FileMap->GetRoundViewOffset() == rmUp);
  const TInt64Halves Offset = SplitInt64(FOffset);
  void* Memory = MapViewOfFile(FileMap->GetHandle(), Access, Offset.High, Offset.Low, Size);
  if (!Memory) throw ESxWin32Error::FromLastError<ESxFileMappingViewError>(SxMappingConsts::RsCreateFileMappingView);
  SetPointer(Memory, static_cast<Int64>(Size));
  FileMap->FViews.push_back(this);
}

TSxFileMappingView::~TSxFileMappingView()
{
  if (FMemory) UnmapViewOfFile(FMemory);
  SetPointer(nullptr, 0);
  if (FFileMapping) {
    auto& Views = FFileMapping->FViews;
    auto It = std::find(Views.begin(), Views.end(), this);
    if (It != Views.end()) Views.erase(It);
  }
}

Int64 TSxFileMappingView::Write(const void* Buffer, Int64 Count)
{
  if (Count < 0 || Count > FSize - FPosition) return 0;
  std::memcpy(static_cast<char*>(FMemory) + FPosition, Buffer, static_cast<std::size_t>(Count));
  FPosition += Count;
  return Count;
}

int TSxFileMappingView::IndexInMapping() const { return FFileMapping ? FFileMapping->IndexOfView(this) : -1; }

String ModuleFileName(HMODULE Module)
{
  char Buffer[261] = {};
  const DWORD Length = GetModuleFileNameA(Module, Buffer, sizeof Buffer);
  return String(Buffer, std::min<DWORD>(Length, sizeof Buffer));
}

bool ReadFixedFileInfo(const String&, VS_FIXEDFILEINFO&)
{
  return false;
}
