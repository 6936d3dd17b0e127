// The stand-in for the companion library's ExtractPlay: it makes the external tools appear in
// the work folder under the names the program's command lines use, as symbolic links to the
// tools installed on the system (found on PATH):
//   mplayer.exe, mplayer2.exe -> mplayer;  mencoder.exe, mencoder2.exe -> mencoder;
//   ffmpeg.exe, ffmpeg2.exe -> ffmpeg;  mp4box.exe -> MP4Box.
// A link that leads to an executable regular file is kept, whether it is ours or one the user
// made to a tool build of their own (even when the tool is not on PATH); a dangling link, or
// one to a folder or to a file that can't run, is replaced. A regular file of that name (a
// build the user copied there) is never touched, nor is a folder of that name (reported as
// failed: a folder is no tool). When a tool is not on PATH its names are left absent.
#pragma once

#include <vector>

#include "platform/rtl/System.h"

namespace qv::os {

struct TToolLink {
  String LinkName;  // "mencoder.exe"
  String Program;   // "mencoder"
};

// The table above.
const std::vector<TToolLink>& ToolLinkTable();

// True for an executable regular file (links followed).
bool IsExecutableFile(const String& Path);

// Searches Program in the folders of PathList (colon-separated, as $PATH; empty entries mean
// the current folder is NOT searched); returns the full path of the first executable regular
// file, or "".
String FindProgramOnPath(const String& Program, const String& PathList);

struct TToolLinkResult {
  std::vector<String> Linked;   // names that now are links to a tool (made or kept)
  std::vector<String> Missing;  // names left absent: the tool is not installed
  std::vector<String> Kept;     // names held by a regular file, left alone
  std::vector<String> Failed;   // names that could not be made (folder not writable ...)
};

// Provides the links in WorkFolder (created when missing) from the tools on PathList.
TToolLinkResult ProvideToolLinks(const String& WorkFolder, const String& PathList);

}  // namespace qv::os

// The program calls the library's export without arguments: links into the current folder
// (the program sets it to the work folder first) from $PATH. Returns 1 when mplayer.exe and
// mencoder.exe are there afterwards as executable regular files (links followed), else 0.
int ExtractPlay();
// The same for an explicit work folder.
int ExtractPlay(const String& WorkFolder);
