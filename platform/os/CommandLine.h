// Splitting one command-line string into the argument vector of a child, by the Windows
// grouping rules that the program's command lines rely on:
// - blanks (space and tab) separate arguments; runs of them count as one separator;
// - a double quote starts or ends a quoted part, which may contain blanks; the quote itself is
//   removed, and quoted and unquoted parts next to each other form one argument
//   ("C:\a b"\c -> C:\a b\c);
// - inside a quoted part, two double quotes in a row give one literal double quote;
// - "" standing alone gives an empty argument;
// - backslashes are ordinary characters: the program's command lines carry Windows-style
//   folder paths ("temp\", "D:\") whose backslashes must reach the tool unchanged, so the
//   C runtime's backslash-before-quote escapes are NOT applied;
// - an unterminated quote runs to the end of the line.
#pragma once

#include <vector>

#include "platform/rtl/System.h"

namespace qv::os {

std::vector<String> SplitCommandLine(const String& CommandLine);

// The inverse for arguments without double quotes: joins them, quoting an argument that is
// empty or holds a blank. An argument with a double quote gets its quotes doubled inside a
// quoted part, which SplitCommandLine reads back unchanged.
String JoinCommandLine(const std::vector<String>& Arguments);

// The one way a file or folder path enters a tool's command line: the path as one quoted
// argument that SplitCommandLine reads back as exactly that path, whatever the name holds
// (blanks, double quotes, backslashes, newlines, a leading "-"). A double quote inside is
// doubled. A relative path is first joined to the current folder, so that a name starting
// with "-" can never be read by the tool as an option; the path is otherwise left as it is
// ("..", "\\" and links stay for the system to resolve). An empty path gives "" (an empty
// argument). Paths that are meant relative to a tool's own folder must be joined to that folder
// (SubPath) before they come here.
String QuoteCommandLinePath(const String& Path);

}  // namespace qv::os
