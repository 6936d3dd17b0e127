// The handle table of the drawing objects.
#include "platform/gdi/GdiObject.h"

#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/rtl/Exceptions.h"

namespace {

struct TObjectTable {
  std::mutex Lock;
  std::unordered_map<std::uintptr_t, std::unique_ptr<TGdiObject>> Objects;
  // Handles count up and are never given out twice. They start high enough to stay clear of
  // the small numbers FillRect takes as system colours (COLOR_xxx + 1), and step by 4 so
  // that they look like aligned pointers.
  std::uintptr_t Next = 0x10000;
};

TObjectTable& Table()
{
  static TObjectTable* T = new TObjectTable; // never destroyed: objects may outlive statics
  return *T;
}

bool TypeMatches(DWORD Actual, DWORD Wanted)
{
  if (Wanted == 0 || Actual == Wanted)
    return true;
  if (Wanted == OBJ_DC && Actual == OBJ_MEMDC)
    return true;
  if (Wanted == OBJ_PEN && Actual == OBJ_EXTPEN)
    return true;
  return false;
}

} // namespace

TGdiObject::~TGdiObject() = default;

int TGdiObject::GetObjectData(int, void*) { return 0; }

HGDIOBJ GdiRegisterObject(std::unique_ptr<TGdiObject> Object)
{
  if (!Object)
    return nullptr;
  TObjectTable& T = Table();
  std::lock_guard<std::mutex> Guard(T.Lock);
  std::uintptr_t Key = T.Next;
  T.Next += 4;
  HGDIOBJ Handle = reinterpret_cast<HGDIOBJ>(Key);
  Object->Handle = Handle;
  T.Objects.emplace(Key, std::move(Object));
  return Handle;
}

TGdiObject* GdiLookupObject(HGDIOBJ Handle, DWORD Type)
{
  if (!Handle)
    return nullptr;
  TObjectTable& T = Table();
  std::lock_guard<std::mutex> Guard(T.Lock);
  auto It = T.Objects.find(reinterpret_cast<std::uintptr_t>(Handle));
  if (It == T.Objects.end() || !TypeMatches(It->second->ObjectType, Type))
    return nullptr;
  return It->second.get();
}

bool GdiDeleteObject(HGDIOBJ Handle)
{
  std::unique_ptr<TGdiObject> Doomed;
  {
    TObjectTable& T = Table();
    std::lock_guard<std::mutex> Guard(T.Lock);
    auto It = T.Objects.find(reinterpret_cast<std::uintptr_t>(Handle));
    if (It == T.Objects.end() || It->second->Stock || It->second->SelectCount.load() > 0)
      return false;
    Doomed = std::move(It->second);
    T.Objects.erase(It);
  }
  // Destroyed outside the lock: a DC's destructor deselects (looks up) its objects.
  Doomed.reset();
  return true;
}

int GdiObjectCount()
{
  TObjectTable& T = Table();
  std::lock_guard<std::mutex> Guard(T.Lock);
  return static_cast<int>(T.Objects.size());
}

int TGdiFont::GetObjectData(int Size, void* Buffer)
{
  if (!Buffer)
    return sizeof(LOGFONTA);
  int N = Size < static_cast<int>(sizeof(LOGFONTA)) ? Size : static_cast<int>(sizeof(LOGFONTA));
  if (N <= 0)
    return 0;
  std::memcpy(Buffer, &LogFont, N);
  return N;
}

TRegion* RegionFromHandle(HRGN Rgn)
{
  auto* R = GdiLookup<TGdiRegion>(Rgn, OBJ_REGION);
  return R ? &R->Region : nullptr;
}

HRGN CreateRegionHandle(TRegion R)
{
  return static_cast<HRGN>(GdiRegisterObject(std::make_unique<TGdiRegion>(std::move(R))));
}

BOOL DeleteObject(HGDIOBJ Object)
{
  TGdiObject* O = GdiLookupObject(Object);
  if (!O) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (O->Stock)
    return TRUE;
  // Device contexts go through DeleteDC.
  if (O->ObjectType == OBJ_DC || O->ObjectType == OBJ_MEMDC)
    return FALSE;
  return GdiDeleteObject(Object) ? TRUE : FALSE;
}

int GetObjectA(HGDIOBJ Object, int Size, LPVOID Buffer)
{
  TGdiObject* O = GdiLookupObject(Object);
  if (!O || (Buffer && Size <= 0))
    return 0;
  return O->GetObjectData(Size, Buffer);
}

DWORD GetObjectType(HGDIOBJ Object)
{
  TGdiObject* O = GdiLookupObject(Object);
  if (!O) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return O->ObjectType;
}

BOOL GdiFlush() { return TRUE; }
