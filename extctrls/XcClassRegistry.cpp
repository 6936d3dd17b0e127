#include "extctrls/XcClassRegistry.h"

#include <map>

namespace {

std::map<String, const TXcClassRef*>& Registry()
{
  static std::map<String, const TXcClassRef*> R;
  return R;
}

}  // namespace

void XcRegisterDataProviderClasses();

bool TXcClassRef::InheritsFrom(const TXcClassRef* Base) const
{
  for (const TXcClassRef* C = this; C != nullptr; C = C->FParent)
    if (C == Base) return true;
  return false;
}

TObject* TXcClassRef::Create(TObject* Arg) const
{
  if (FCreate == nullptr) throw EXCLException(String("Cannot create an instance of the abstract class ") + FName);
  return FCreate(Arg);
}

void XcRegisterClass(const TXcClassRef* AClass)
{
  if (AClass != nullptr) Registry().emplace(AClass->Name(), AClass);
}

const TXcClassRef* XcGetClass(const String& Name)
{
  // The framework's own classes are registered before the first lookup.
  static const bool Registered = (XcRegisterDataProviderClasses(), true);
  (void)Registered;
  const auto It = Registry().find(Name);
  return It == Registry().end() ? nullptr : It->second;
}

const TXcClassRef* XcFindClass(const String& Name)
{
  const TXcClassRef* C = XcGetClass(Name);
  if (C == nullptr) throw EClassNotFound("Class %s not found", {Name});
  return C;
}
