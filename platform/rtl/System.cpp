#include "platform/rtl/System.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

TObject::~TObject() = default;

String TObject::ClassName() const
{
  const char* mangled = typeid(*this).name();
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  String name = (status == 0 && demangled) ? String(demangled.get()) : String(mangled);
  // Classes inside a namespace answer with their own name only.
  const auto colon = name.rfind("::");
  if (colon != String::npos) name.erase(0, colon + 2);
  return name;
}
