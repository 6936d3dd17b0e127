// TComRef: holds one reference to an interface of ours (AddRef/Release), the way an interface
// variable of the class library does: assigning releases the old one, copying adds a
// reference, going out of scope releases.
#pragma once

#include <utility>

template <class T>
class TComRef {
public:
  TComRef() = default;
  // Takes over a reference the caller already holds (a result of a Bind/Get call).
  static TComRef Adopt(T* Object)
  {
    TComRef r;
    r.FObject = Object;
    return r;
  }
  // Adds a reference of its own.
  explicit TComRef(T* Object) : FObject(Object)
  {
    if (FObject) FObject->AddRef();
  }
  TComRef(const TComRef& Other) : TComRef(Other.FObject) {}
  TComRef(TComRef&& Other) noexcept : FObject(std::exchange(Other.FObject, nullptr)) {}
  TComRef& operator=(TComRef Other) noexcept
  {
    std::swap(FObject, Other.FObject);
    return *this;
  }
  ~TComRef() { Reset(); }

  void Reset()
  {
    if (FObject) std::exchange(FObject, nullptr)->Release();
  }
  T* Get() const { return FObject; }
  T* operator->() const { return FObject; }
  explicit operator bool() const { return FObject != nullptr; }
  // For out-parameters: releases what is held and gives the slot.
  T** Put()
  {
    Reset();
    return &FObject;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }

private:
  T* FObject = nullptr;
};
