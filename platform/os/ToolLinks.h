// The stand-in for the companion library's ExtractPlay: it makes the external tools appear in
// the work folder under the names the program's command lines use, as symbolic links:
//   mplayer.exe, mplayer2.exe -> mplayer (found on PATH);
//   mencoder.exe, mencoder2.exe, ffmpeg.exe, ffmpeg2.exe, qvcscript.exe, mp4box.exe, tivo.exe
//     -> the tool adapter (tools/adapter), which runs the system's mencoder, ffmpeg and sox so
//        that the command lines give the files they ask for; qvcscript.exe also gets the
//        script file "wmcmd.vbs" its command lines name (a placeholder the adapter ignores).
// Without the adapter, mencoder and ffmpeg names link the system's tools directly and the
// adapter-only names are left absent.
// A link that leads to an executable regular file is kept, whether it is ours or one the user
// made to a tool build of their own (even when the tool is not on PATH), except a link of ours
// that is out of date: one to the system's tool where the adapter is now due, or to an adapter
// elsewhere. A dangling link, or one to a folder or to a file that can't run, is replaced. A
// regular file of that name (a build the user copied there) is never touched, nor is a folder
// of that name (reported as failed: a folder is no tool). When a tool is not there its names
// are left absent.
#pragma once

#include <vector>

#include "platform/rtl/System.h"

namespace qv::os {

struct TToolLink {
  String LinkName;  // "mencoder.exe"
  String Program;   // "mencoder": the system's tool (linked directly without the adapter)
  bool Adapted;     // linked to the tool adapter when there is one
};

// The tool adapter's file name.
extern const char* const ToolAdapterName;

// Where the program finds its tool adapter: $QV_TOOL_ADAPTER when it names an executable
// file, else beside the running program, else in the build tree's tools/ folder next to the
// program's folder, else on PATH. "" when there is none.
String FindToolAdapter();

// The table above.
const std::vector<TToolLink>& ToolLinkTable();

// True for an executable regular file (links followed).
bool IsExecutableFile(const String& Path);

// Searches Program in the folders of PathList (colon-separated, as $PATH; empty entries mean
// the current folder is NOT searched); returns the full path of the first executable regular
// file, or "".
String FindProgramOnPath(const String& Program, const String& PathList);
// FindProgramOnPath with the process's own $PATH (unset: nothing is found).
String FindProgramOnSystemPath(const String& Program);

struct TToolLinkResult {
  std::vector<String> Linked;   // names that now are links to a tool (made or kept)
  std::vector<String> Missing;  // names left absent: the tool is not installed
  std::vector<String> Kept;     // names held by a regular file, left alone
  std::vector<String> Failed;   // names that could not be made (folder not writable ...)
};

// Provides the links in WorkFolder (created when missing) from the tools on PathList and the
// adapter at AdapterPath ("" for none).
TToolLinkResult ProvideToolLinks(const String& WorkFolder, const String& PathList, const String& AdapterPath = "");

}  // namespace qv::os

// The program calls the library's export without arguments: links into the current folder
// (the program sets it to the work folder first) from $PATH and FindToolAdapter(). Returns 1 when mplayer.exe and
// mencoder.exe are there afterwards as executable regular files (links followed), else 0.
int ExtractPlay();
// The same for an explicit work folder.
int ExtractPlay(const String& WorkFolder);
