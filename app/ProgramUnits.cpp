#include "app/ProgramUnits.h"

#include "extctrls/XcDrawUtils.h"
#include "extctrls/XcUrlGrabbers.h"
#include "platform/rtl/Exceptions.h"

namespace {

// One record per unit: source file, revision, date, log path, extra.
const TUnitVersionInfo SxSysUtilsRevision{"SxSysUtils.cpp", "3.0", "2026-12-10", "core", "", nullptr};
const TUnitVersionInfo SxDynamicTableRevision{"SxDynamicTable.cpp", "3.0", "2026-12-10", "core", "", nullptr};
const TUnitVersionInfo SxSharedMemoryRevision{"SxSharedMemory.cpp", "3.0", "2026-12-10", "core", "", nullptr};
const TUnitVersionInfo SxUnitVersioningRevision{"SxUnitVersioning.cpp", "3.0", "2026-12-10", "core", "", nullptr};
const TUnitVersionInfo SxSyncObjectsRevision{"SxSyncObjects.cpp", "3.0", "2026-12-10", "app", "", nullptr};
const TUnitVersionInfo SxFileMappingRevision{"SxFileMapping.cpp", "3.0", "2026-12-10", "app", "", nullptr};

char InstanceMarker;

}  // namespace

HINSTANCE ProgramInstance() { return reinterpret_cast<HINSTANCE>(&InstanceMarker); }

const std::vector<const TUnitVersionInfo*>& SystemUnitRevisions()
{
  static const std::vector<const TUnitVersionInfo*> Records = {
      &SxSysUtilsRevision,       &SxDynamicTableRevision, &SxSharedMemoryRevision,
      &SxUnitVersioningRevision, &SxSyncObjectsRevision,  &SxFileMappingRevision};
  return Records;
}

void StartProgramUnits()
{
  for (const TUnitVersionInfo* Record : SystemUnitRevisions()) {
    try {
      AddUnitRevision(ProgramInstance(), Record);
    } catch (const Exception&) {
      break;  // no registry here: the program runs without it
    }
  }
  RegisterXclCursors();
  XcRegisterUrlGrabbers();
}

void EndProgramUnits()
{
  try {
    RemoveModuleRevisions(ProgramInstance());
  } catch (const Exception&) {
  }
  CloseUnitRegistry();
}
