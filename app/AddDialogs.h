// The dialogs behind "Add file(s)" and "Add folder" (and every other folder choice of the main
// window): one call each, which the main window hands to the intake. Until the skinned open and
// select-folder dialogs take their place, a plain input dialog stands in: it asks for one path,
// starting at the dialog's folder.
//
// Contract: Execute answers true only for a path that exists as what was asked for (a file for
// the files dialog, a folder for the folder dialog); the path is taken exactly as typed (quotes,
// backslashes, line breaks and a leading "-" are part of the name). Anything else says why in a
// message and answers false; Cancel answers false without a word. A chosen file's folder becomes
// the files dialog's start folder for the next call.
#pragma once

#include "core/qv_scan.h"

TAddFilesDialog& ProgramFilesDialog();
TAddFolderDialog& ProgramFolderDialog();
