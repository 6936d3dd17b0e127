// Interfaces of the data-provider framework: IInterface with QueryInterface by identifier
// string, the counted interface reference TIntf<T>, and Supports.
//
// Ownership rule, stated once for every class of the framework:
// - An object that implements interfaces keeps a reference count. TIntf<T> is the counted
//   reference: copying it adds one, dropping it releases one, and the object deletes itself when
//   the count returns to 0. Plain pointers (T*) never count and never keep anything alive.
// - Objects that switch counting off (the data consumer, items of a list that owns them) answer
//   -1 from _AddRef/_Release; their creator or owning list deletes them.
// - An extension lives inside its owner's extension list; its counting goes to the owner, and
//   it points back at the owner with a plain pointer, so an object and its extensions never
//   keep each other alive. The owner deletes its extensions when it is destroyed.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

// Interface identifiers are the interfaces' GUID strings, "{D1AAAFDF-...}".
using TIID = std::string_view;
using HRESULT_T = std::int32_t;
constexpr HRESULT_T XC_S_OK = 0;
constexpr HRESULT_T XC_E_NOINTERFACE = static_cast<HRESULT_T>(0x80004002u);

class IInterface {
public:
  static constexpr TIID IID = "{00000000-0000-0000-C000-000000000046}";
  // On success Obj points at the interface named IID (as that interface's C++ type) and one
  // reference has been added for the caller.
  virtual HRESULT_T QueryInterface(TIID IID, void** Obj) = 0;
  virtual int _AddRef() = 0;
  virtual int _Release() = 0;

protected:
  ~IInterface() = default;
};

// A counted reference to an interface of type T (nil when empty).
template <class T>
class TIntf {
public:
  TIntf() = default;
  TIntf(std::nullptr_t) {}
  // Takes a new reference to P.
  TIntf(T* P) : FPtr(P) { if (FPtr) FPtr->_AddRef(); }
  TIntf(const TIntf& Other) : TIntf(Other.FPtr) {}
  TIntf(TIntf&& Other) noexcept : FPtr(std::exchange(Other.FPtr, nullptr)) {}
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  TIntf(const TIntf<U>& Other) : TIntf(static_cast<T*>(Other.Get())) {}
  ~TIntf() { Reset(); }
  TIntf& operator=(TIntf Other) noexcept
  {
    std::swap(FPtr, Other.FPtr);
    return *this;
  }
  // Adopts P without adding a reference (P came from QueryInterface).
  static TIntf Adopt(T* P)
  {
    TIntf R;
    R.FPtr = P;
    return R;
  }
  void Reset()
  {
    if (T* P = std::exchange(FPtr, nullptr)) P->_Release();
  }
  T* Get() const { return FPtr; }
  T* operator->() const { return FPtr; }
  explicit operator bool() const { return FPtr != nullptr; }

private:
  T* FPtr = nullptr;
};

template <class T, class U>
bool operator==(const TIntf<T>& A, const TIntf<U>& B) { return A.Get() == B.Get(); }

// The interface T of Obj, or nil when Obj is nil or does not answer it.
template <class T>
TIntf<T> Supports(IInterface* Obj)
{
  void* P = nullptr;
  if (Obj == nullptr || Obj->QueryInterface(T::IID, &P) != XC_S_OK || P == nullptr) return nullptr;
  return TIntf<T>::Adopt(static_cast<T*>(P));
}

template <class T, class U>
TIntf<T> Supports(const TIntf<U>& Obj) { return Supports<T>(static_cast<IInterface*>(Obj.Get())); }

// True when A and B are the same object (their IInterface answers agree).
bool SameObject(IInterface* A, IInterface* B);
template <class T, class U>
bool SameObject(const TIntf<T>& A, const TIntf<U>& B) { return SameObject(static_cast<IInterface*>(A.Get()), static_cast<IInterface*>(B.Get())); }
