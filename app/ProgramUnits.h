// What the program's units do when it starts and when it ends, in one place: the units of the
// system library record their revisions in the process's revision registry (and drop them at
// the end), and the extended controls put their drag cursors into the screen's cursor table,
// and the URL grabber classes join the process's grabber class list.
//
// StartProgramUnits runs once at start-up, before any window is made and after the screen
// object exists (without one the cursors are left out); EndProgramUnits runs at exit. A
// registry that cannot be had (no runtime folder) costs the revisions only, never the start.
#pragma once

#include <vector>

#include "core/SxUnitVersioning.h"

// The module instance the program's revisions are recorded under.
HINSTANCE ProgramInstance();
// The revision records of the system library's units, in their initialisation order.
const std::vector<const TUnitVersionInfo*>& SystemUnitRevisions();

void StartProgramUnits();
void EndProgramUnits();
