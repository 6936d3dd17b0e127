// TExtensibleInterfacedPersistent: a reference-counted persistent object that carries a list of
// extension objects (TAggregatedPersistentEx) and answers their interfaces as its own; the
// extensions stream with it as its "Extensions" property. The ownership rule is the one stated
// in XcInterfaces.h.
//
// Objects of these classes are made with XcCreate<T>(...) (constructor, then AfterConstruction,
// which counts for the virtual set-up a constructor cannot do) and freed with XcFree (or by
// their last counted reference going away).
#pragma once

#include <vector>

#include "extctrls/XcClassRegistry.h"
#include "extctrls/XcFiler.h"
#include "extctrls/XcInterfaces.h"
#include "platform/rtl/Persistent.h"

class TAggregatedPersistentEx;

// Sets *Obj to Self as interface I (adding a reference) when IID names I.
template <class I, class Self>
bool XcAnswer(Self* S, TIID IID, void** Obj)
{
  if (IID != I::IID) return false;
  I* P = S;
  P->_AddRef();
  *Obj = P;
  return true;
}

class TExtensibleInterfacedPersistent : public TPersistent, public virtual IInterface, public IXcStreamable {
public:
  static const TXcClassRef* StaticClass();
  virtual const TXcClassRef* ClassType() const { return StaticClass(); }

  // The count is 1 from here until AfterConstruction ends, so references taken while the object
  // is being set up cannot free it.
  TExtensibleInterfacedPersistent() = default;
  // Frees every extension (last first), then the list.
  ~TExtensibleInterfacedPersistent() override;
  TExtensibleInterfacedPersistent(const TExtensibleInterfacedPersistent&) = delete;
  TExtensibleInterfacedPersistent& operator=(const TExtensibleInterfacedPersistent&) = delete;

  virtual void AfterConstruction();
  virtual void BeforeDestruction() {}

  int _AddRef() override;
  // Frees the object when the count reaches 0.
  int _Release() override;
  HRESULT_T QueryInterface(TIID IID, void** Obj) override;
  virtual void InitImplementers() {}
  // True when Ext's class is registered (so it can be found again when read back).
  virtual bool IsStreamableExtension(TAggregatedPersistentEx* Ext);
  // The object's own interfaces first, then the extensions from the last to the first (hidden
  // ones skipped).
  virtual bool GetInterface(TIID IID, void** Obj);

  // Appends Ext; EXCLException "Implementation of that class already exists" when an extension
  // of Ext's class or a descendant of it is there already.
  void AddIntfImpl(TAggregatedPersistentEx* Ext);
  // Frees Ext and takes it out of the list (nothing when it is not in the list).
  void RemoveIntfImpl(TAggregatedPersistentEx* Ext);
  // The last index holding an extension of AClass or a descendant, -1 for none.
  int IndexOfImplClass(const TXcClassRef* AClass) const;
  void ClearIntfImpl();
  void SuspendRefCount();
  void ResumeRefCount();
  int ExtensionCount() const { return static_cast<int>(FImplementers.size()); }
  TAggregatedPersistentEx* Extension(int Index) const { return FImplementers.at(static_cast<std::size_t>(Index)); }
  int RefCount() const { return FRefCount; }

  void DefineProperties(TXcFiler& Filer) override;

protected:
  // The interfaces this class answers itself; descendants add theirs and end with the base's.
  virtual bool GetOwnInterface(TIID IID, void** Obj);

private:
  friend class TAggregatedPersistentEx;
  void ReadExtensions(TXcFilerReader& Reader);
  void WriteExtensions(TXcFilerWriter& Writer);
  // Takes Ext out of the list without freeing it.
  void DetachIntfImpl(TAggregatedPersistentEx* Ext);

  std::vector<TAggregatedPersistentEx*> FImplementers;
  int FRefCount = 1;
};

// An object living inside a controlling object: its reference counting and any interface it
// does not answer itself go to the controller.
class TAggregatedPersistent : public TPersistent, public virtual IInterface, public IXcStreamable {
public:
  static const TXcClassRef* StaticClass();
  virtual const TXcClassRef* ClassType() const { return StaticClass(); }

  explicit TAggregatedPersistent(IInterface* AController) : FController(AController) {}
  TAggregatedPersistent(const TAggregatedPersistent&) = delete;
  TAggregatedPersistent& operator=(const TAggregatedPersistent&) = delete;
  virtual void AfterConstruction() {}
  virtual void BeforeDestruction() {}

  HRESULT_T QueryInterface(TIID IID, void** Obj) override { return FController->QueryInterface(IID, Obj); }
  int _AddRef() override { return FController->_AddRef(); }
  int _Release() override { return FController->_Release(); }
  // This object's own interfaces only.
  virtual bool GetInterface(TIID IID, void** Obj) { return GetOwnInterface(IID, Obj); }
  IInterface* GetController() const { return FController; }

  // Published properties of descendants; none here.
  void DefineProperties(TXcFiler&) override {}

protected:
  virtual bool GetOwnInterface(TIID, void**) { return false; }

private:
  IInterface* FController;  // not counted
};

// An extension: made for an owner, it enters the owner's extension list when its construction
// ends and leaves it when it is destroyed.
class TAggregatedPersistentEx : public TAggregatedPersistent {
public:
  static const TXcClassRef* StaticClass();
  const TXcClassRef* ClassType() const override { return StaticClass(); }

  explicit TAggregatedPersistentEx(TExtensibleInterfacedPersistent* AOwner);
  virtual bool IsHidden() { return false; }
  void AfterConstruction() override;
  void BeforeDestruction() override;
  TExtensibleInterfacedPersistent* GetOwnerObject() const { return FOwner; }

private:
  TExtensibleInterfacedPersistent* FOwner;  // not owned
};

// Builds a T and completes its construction; a failure there frees it again.
template <class T, class... A>
T* XcCreate(A&&... Args)
{
  T* Obj = new T(std::forward<A>(Args)...);
  try {
    Obj->AfterConstruction();
  } catch (...) {
    delete Obj;
    throw;
  }
  return Obj;
}

// Frees an object made by XcCreate. A counted object still referenced raises EInvalidPointer
// and is left alone.
void XcFree(TExtensibleInterfacedPersistent* Obj);
void XcFree(TAggregatedPersistent* Obj);
