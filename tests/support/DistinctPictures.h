// What a viewer would see of a converted file: the pictures ffmpeg decodes from its first video
// stream and how many of them differ (one checksum per picture, ffmpeg's framemd5). A frozen
// picture repeated for every frame gives few distinct pictures among many decoded ones; a test
// clip made with a running picture (ffmpeg's testsrc) has every picture distinct.
#pragma once

#include <stdio.h>

#include <set>
#include <sstream>
#include <string>

#include "tests/support/ShellCommands.h"

namespace qvtest {

struct TPictureCount {
  int Decoded = 0;
  int Distinct = 0;
};

inline TPictureCount CountPictures(const std::string& File)
{
  TPictureCount Count;
  std::set<std::string> Seen;
  const std::string Command = "ffmpeg -nostdin -v error -i " + ShellQuoted(File) + " -map 0:v:0 -f framemd5 - 2>/dev/null";
  if (FILE* P = popen(Command.c_str(), "r")) {
    char Line[512];
    while (fgets(Line, sizeof Line, P)) {
      if (Line[0] == '#') continue;
      // stream, dts, pts, duration, size, hash
      std::string Text(Line), Hash;
      const std::size_t Comma = Text.find_last_of(',');
      if (Comma == std::string::npos) continue;
      std::istringstream(Text.substr(Comma + 1)) >> Hash;
      ++Count.Decoded;
      Seen.insert(Hash);
    }
    pclose(P);
  }
  Count.Distinct = static_cast<int>(Seen.size());
  return Count;
}

}  // namespace qvtest
