// The table of drawing objects behind HGDIOBJ handles. Every pen, brush, font, bitmap, palette,
// region and device context is a TGdiObject owned by the table; a handle is a number that the
// table never gives out twice, so a stale handle finds nothing instead of another object.
// The table is thread-safe: worker threads may create and delete bitmaps.
#pragma once

#include <atomic>
#include <memory>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Region.h"
#include "platform/rtl/WinTypes.h"

class TGdiObject {
public:
  explicit TGdiObject(DWORD Type) : ObjectType(Type) {}
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;
  virtual ~TGdiObject();

  // OBJ_PEN, OBJ_BRUSH, OBJ_DC, OBJ_PAL, OBJ_FONT, OBJ_BITMAP, OBJ_REGION, OBJ_MEMDC, OBJ_EXTPEN.
  DWORD ObjectType;
  // Stock objects are never deleted (DeleteObject answers TRUE and does nothing).
  bool Stock = false;
  // The handle the table gave this object; nullptr until registered.
  HGDIOBJ Handle = nullptr;
  // How many device contexts (and their saved states) hold this object selected; the object
  // cannot be deleted while this is above zero.
  std::atomic<int> SelectCount{0};

  // GetObject: copies the object's description (BITMAP, LOGPEN, LOGFONTA ...) into Buffer, at
  // most Size bytes; a null Buffer asks for the size. Returns the bytes copied or needed, 0 when
  // the object has no description.
  virtual int GetObjectData(int Size, void* Buffer);
};

// Takes ownership and returns the new handle (never nullptr unless Object is nullptr).
HGDIOBJ GdiRegisterObject(std::unique_ptr<TGdiObject> Object);
// The object behind Handle when it exists and its type is Type (0 = any type; OBJ_DC also
// matches OBJ_MEMDC and OBJ_PEN also OBJ_EXTPEN); nullptr otherwise.
TGdiObject* GdiLookupObject(HGDIOBJ Handle, DWORD Type = 0);
template <class T>
T* GdiLookup(HGDIOBJ Handle, DWORD Type)
{
  return static_cast<T*>(GdiLookupObject(Handle, Type));
}
// Removes and deletes the object. Fails (false) for unknown handles, stock objects and objects
// still selected somewhere.
bool GdiDeleteObject(HGDIOBJ Handle);
// Number of live objects (tests look for leaks with it).
int GdiObjectCount();

// A logical font: the LOGFONTA it was created from. The text code may derive from it to keep
// its rasteriser state; stock fonts are plain TGdiFont objects.
class TGdiFont : public TGdiObject {
public:
  explicit TGdiFont(const LOGFONTA& Font) : TGdiObject(OBJ_FONT), LogFont(Font) {}
  LOGFONTA LogFont;
  int GetObjectData(int Size, void* Buffer) override;
};

// A region object (HRGN).
class TGdiRegion : public TGdiObject {
public:
  TGdiRegion() : TGdiObject(OBJ_REGION) {}
  explicit TGdiRegion(TRegion R) : TGdiObject(OBJ_REGION), Region(std::move(R)) {}
  TRegion Region;
};

// The region behind an HRGN, nullptr for a bad handle.
TRegion* RegionFromHandle(HRGN Rgn);
// Makes a new region object holding R.
HRGN CreateRegionHandle(TRegion R);
