// Relays ffmpeg's output to the program with the progress time the program can read: in every
// line, "time=HH:MM:SS.cc" becomes "time=" and the seconds in at most seven characters
// ("time=00:01:02.50" -> "time=62.50", "time=27:46:40.00" -> "time=100000"). Lines keep their
// ends (CR for progress, LF for messages); a line split across reads is rewritten whole.
// Other text passes unchanged.
#pragma once

#include <string>

namespace qv::tools {

class TProgressRelay {
public:
  // The text to pass on now for the next piece of output (whole lines only).
  std::string Feed(const char* Data, std::size_t Size);
  // What is left when the output ends (an unfinished last line).
  std::string Finish();

  static std::string RewriteLine(const std::string& Line);

private:
  std::string Pending;
};

}  // namespace qv::tools
