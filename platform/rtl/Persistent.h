// TPersistent: the root of objects that can copy their state from one another with Assign.
#pragma once

#include "platform/rtl/System.h"

class TPersistent : public TObject {
public:
  // Copies Source's state into this object. The default asks Source to do it (AssignTo), so
  // either side may know how; when neither does, EConvertError "Cannot assign a X to a Y".
  // A null Source raises the same error with "nil".
  virtual void Assign(TPersistent* Source);
  // The name used to address this object in messages; the class name by default.
  virtual String GetNamePath() const;

protected:
  // Copies this object's state into Dest; the default reports that it can't.
  virtual void AssignTo(TPersistent* Dest);
  // Raises EConvertError "Cannot assign a <Source's class or nil> to a <this class>".
  [[noreturn]] void AssignError(TPersistent* Source);
};
