#include "platform/rtl/Persistent.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RtlConsts.h"

void TPersistent::Assign(TPersistent* Source)
{
  if (Source != nullptr)
    Source->AssignTo(this);
  else
    AssignError(nullptr);
}

String TPersistent::GetNamePath() const
{
  return ClassName();
}

void TPersistent::AssignTo(TPersistent* Dest)
{
  Dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* Source)
{
  const String SourceName = Source != nullptr ? Source->ClassName() : String("nil");
  throw EConvertError(RtlConsts::SAssignError, {SourceName, ClassName()});
}
