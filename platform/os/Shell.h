// ShellExecute: opening files, folders and addresses with the desktop's opener (xdg-open), and
// starting programs directly. Nothing goes through a shell: the program and its arguments are
// an argv array, and the call does not wait for what it started.
//
//   verb "open" (or null/empty): an address ("http://...", "mailto:...") or an existing
//     document or folder is given to the opener. What is a program is decided by the name and
//     the place, never by the execute bit alone: a name that says document or data (videos,
//     images, archives, texts, pages, ".prf" ...) always goes to the opener, and so does every
//     file on a removable, optical, network or "noexec" volume. Only our own executable, the
//     programs the user configured (SetShellConfiguredPrograms) and programs found on PATH (an
//     executable file, or a bare name looked up there) are started themselves, with Parameters
//     split into arguments as a Windows command line (blanks separate, double quotes group, ""
//     inside quotes is one quote, backslashes are literal) and Directory as its working folder.
//     A relative File is looked for in Directory.
//   verb "explore": an existing folder, given to the opener.
//   other verbs: SE_ERR_NOASSOC. Verbs are case-insensitive; "E:\..." paths are taken on the
//   drive's mount point (Drives.h).
// ShowCmd (SW_*) is accepted and not used. The result is above 32 on success, else one of the
// SE_ERR_* codes below, as on Windows.
#pragma once

#include <vector>

#include "platform/rtl/System.h"
#include "platform/rtl/WinTypes.h"

constexpr int SE_ERR_OOM = 0;  // "out of memory or resources"
constexpr int SE_ERR_FNF = 2;
constexpr int SE_ERR_PNF = 3;
constexpr int SE_ERR_ACCESSDENIED = 5;
constexpr int SE_ERR_NOASSOC = 31;

HINSTANCE ShellExecuteA(HWND Owner, LPCSTR Operation, LPCSTR File, LPCSTR Parameters, LPCSTR Directory,
                        INT ShowCmd);
inline HINSTANCE ShellExecute(HWND Owner, LPCSTR Operation, LPCSTR File, LPCSTR Parameters, LPCSTR Directory,
                              INT ShowCmd)
{
  return ShellExecuteA(Owner, Operation, File, Parameters, Directory, ShowCmd);
}

// The result of ShellExecute as a number (the HINSTANCE carries it).
inline int ShellExecuteResult(HINSTANCE Result) { return static_cast<int>(reinterpret_cast<std::intptr_t>(Result)); }

// The opener program (default "xdg-open", looked up on PATH); tests inject their own.
void SetShellOpener(const String& Program);
String GetShellOpener();

// The programs the user set up in the options (commands run after a job and the like): they
// start directly when opened, wherever they are (except on the volumes named above).
void SetShellConfiguredPrograms(const std::vector<String>& Programs);
std::vector<String> GetShellConfiguredPrograms();
