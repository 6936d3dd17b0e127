// Class references for the streamable objects of the data-provider framework: a class is
// known by its name, its parent class and a virtual constructor taking the object it is made
// for (an owner, an item list or a parent item, as the class family decides). Registered
// classes can be found by name, which is what makes an object or extension streamable.
#pragma once

#include <functional>
#include <vector>

#include "extctrls/XcTypes.h"
#include "platform/rtl/System.h"

class TXcClassRef {
public:
  using TConstructor = TObject* (*)(TObject* Arg);
  TXcClassRef(const char* AName, const TXcClassRef* AParent, TConstructor ACreate)
      : FName(AName), FParent(AParent), FCreate(ACreate) {}

  const char* Name() const { return FName; }
  const TXcClassRef* Parent() const { return FParent; }
  // True when this class is Base or descends from it.
  bool InheritsFrom(const TXcClassRef* Base) const;
  // The class's virtual constructor; EXCLException for an abstract class.
  TObject* Create(TObject* Arg) const;
  bool IsAbstract() const { return FCreate == nullptr; }

private:
  const char* FName;
  const TXcClassRef* FParent;
  TConstructor FCreate;
};

using TClassArray = std::vector<const TXcClassRef*>;

// Registers a class under its name (a second registration of the same class is ignored).
void XcRegisterClass(const TXcClassRef* AClass);
// The registered class of that name (exact name), nil when there is none.
const TXcClassRef* XcGetClass(const String& Name);
// Like XcGetClass, but an unknown name raises EClassNotFound "Class %s not found".
const TXcClassRef* XcFindClass(const String& Name);
QV_DECLARE_EXCEPTION(EClassNotFound, EReadError);

// The object a class is being made for, as the type its constructor takes; a stream that names
// a class for the wrong kind of owner gets EReadError "Invalid class type".
template <class T>
T* XcArgAs(TObject* Arg)
{
  T* P = dynamic_cast<T*>(Arg);
  if (P == nullptr) throw EReadError("Invalid class type");
  return P;
}

// Declares the class reference of a class inside its body. Parent is the class reference of the
// base class (nullptr for a root), Ctor a function making an instance from its argument, or
// nullptr for an abstract class.
#define XC_CLASS_REF(Cls)                                               \
public:                                                                 \
  static const TXcClassRef* StaticClass();                              \
  const TXcClassRef* ClassType() const override { return StaticClass(); }

#define XC_DEFINE_CLASS_REF(Cls, ParentRef, Ctor)                        \
  const TXcClassRef* Cls::StaticClass()                                 \
  {                                                                     \
    static const TXcClassRef Ref(#Cls, ParentRef, Ctor);                \
    return &Ref;                                                        \
  }
