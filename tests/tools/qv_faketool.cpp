// A stand-in for the external tools (mplayer, mencoder, ffmpeg, ...). The tests link it under
// every tool name ("mplayer.exe", "mencoder.exe", "ffmpeg.exe", ...) and tell it what to do.
//
// What it plays, first match wins:
//   QV_FAKETOOL_SCRIPT    an inline script: commands separated by newlines or ";".
//   QV_FAKETOOL_SCENARIO  a scenario file of sections. A section starts with a header line
//                         "[word word ...]" and holds the commands up to the next header; it
//                         applies when every word of the header occurs in the command line (the
//                         program's base name, a space and the arguments joined by spaces).
//                         The header "[*]" matches every command line. The first matching
//                         section is played; lines before the first header are ignored.
//   neither, or no section matched: prints "<name>: fake tool" and ends with 0.
// Blank lines and lines starting with "#" are ignored. Commands:
//   print TEXT           TEXT and LF on standard output
//   write TEXT           TEXT alone (no LF)
//   eprint TEXT          TEXT and LF on standard error
//   progress FMT A B S MS  for v = A, A+S, ... up to B: FMT with "%d" replaced by v, then CR;
//                        sleeps MS between steps (no LF at the end: add "print" for it)
//   flood BYTES [TEXT]   BYTES bytes of TEXT repeated (default "flood 0123456789abcdef\n")
//   sleep MS             pauses
//   stall                waits until a signal ends the program
//   sigint ignore|obey   ignores SIGINT from now on, or ends on it (the default)
//   sigterm ignore|obey  the same for SIGTERM
//   sigint finish        the first SIGINT ends a "stall" and the script goes on (as a tool that
//                        closes its file); a second SIGINT ends the program
//   drainfd N            reads file descriptor N to its end (logged: "drained N BYTES")
//   writefd N BYTES      writes BYTES bytes to "/dev/fd/N" opened read and write (as mencoder
//                        opens its output: it blocks for ever once nobody reads)
//   closeout             closes standard output and standard error (the program goes on)
//   readinput            reads standard input to its end (logged)
//   echoinput            copies standard input lines to standard output until it ends or a
//                        line "quit" comes (logged)
//   file PATH SIZE       writes a file of SIZE bytes
//   jpeg PATH            writes a small real JPEG (32 x 24 pixels)
//   copy SRC PATH        copies a file
//   exit CODE            ends at once with CODE (the end of the script ends with 0)
// TEXT takes the escapes \r \n \t \b \a \0 \\ and \xHH. A PATH may be "$N" (argument N),
// "$last" (the last argument) or "$after:WORD" (the argument after the first WORD).
//
// Log: when QV_FAKETOOL_LOG names a file, each run appends (one write per line):
//   run PID NAME / arg I TEXT (argv[1] on) / cmd COMMAND-LINE / stdin LINE / exit CODE
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const unsigned char FixtureJpeg[] = {
    0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00,
    0xff, 0xdb, 0x00, 0x43, 0x00, 0x0d, 0x09, 0x0a, 0x0b, 0x0a, 0x08, 0x0d, 0x0b, 0x0a, 0x0b, 0x0e, 0x0e, 0x0d, 0x0f, 0x13,
    0x20, 0x15, 0x13, 0x12, 0x12, 0x13, 0x27, 0x1c, 0x1e, 0x17, 0x20, 0x2e, 0x29, 0x31, 0x30, 0x2e, 0x29, 0x2d, 0x2c, 0x33,
    0x3a, 0x4a, 0x3e, 0x33, 0x36, 0x46, 0x37, 0x2c, 0x2d, 0x40, 0x57, 0x41, 0x46, 0x4c, 0x4e, 0x52, 0x53, 0x52, 0x32, 0x3e,
    0x5a, 0x61, 0x5a, 0x50, 0x60, 0x4a, 0x51, 0x52, 0x4f, 0xff, 0xdb, 0x00, 0x43, 0x01, 0x0e, 0x0e, 0x0e, 0x13, 0x11, 0x13,
    0x26, 0x15, 0x15, 0x26, 0x4f, 0x35, 0x2d, 0x35, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f,
    0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f,
    0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0x4f, 0xff, 0xc0,
    0x00, 0x11, 0x08, 0x00, 0x18, 0x00, 0x20, 0x03, 0x01, 0x22, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01, 0xff, 0xc4, 0x00,
    0x15, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x06,
    0xff, 0xc4, 0x00, 0x17, 0x10, 0x01, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x61, 0x15, 0x14, 0xff, 0xc4, 0x00, 0x18, 0x01, 0x01, 0x00, 0x03, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x04, 0x05, 0x07, 0xff, 0xc4, 0x00, 0x1c, 0x11, 0x00, 0x01, 0x03, 0x05,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x03, 0x12, 0x13, 0x14, 0x15, 0x51,
    0x61, 0xff, 0xda, 0x00, 0x0c, 0x03, 0x01, 0x00, 0x02, 0x11, 0x03, 0x11, 0x00, 0x3f, 0x00, 0x95, 0xcf, 0x86, 0x7c, 0x55,
    0x70, 0x43, 0x82, 0x36, 0x73, 0xbd, 0x23, 0xa4, 0x4a, 0xe7, 0xc3, 0x3e, 0x2a, 0xb8, 0x21, 0xc1, 0x0c, 0xef, 0x45, 0x22,
    0xab, 0x3e, 0x19, 0xf0, 0x1c, 0xa6, 0xf1, 0xdd, 0x97, 0xa2, 0x83, 0x3e, 0x19, 0xf0, 0x0b, 0xc7, 0x76, 0x22, 0x87, 0xff,
    0xd9,
};

std::vector<std::string> Args;
std::string LogPath;

void WriteAll(int Fd, const std::string& Text)
{
  const char* P = Text.data();
  std::size_t Left = Text.size();
  while (Left > 0) {
    ssize_t N = write(Fd, P, Left);
    if (N < 0) {
      if (errno == EINTR) continue;
      return;
    }
    P += N;
    Left -= static_cast<std::size_t>(N);
  }
}

void Log(const std::string& Line)
{
  if (LogPath.empty()) return;
  int Fd = open(LogPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (Fd < 0) return;
  WriteAll(Fd, Line + "\n");
  close(Fd);
}

[[noreturn]] void Exit(int Code)
{
  Log("exit " + std::to_string(Code));
  _exit(Code);
}

int HexDigit(char C)
{
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}

std::string Unescape(const std::string& S)
{
  std::string R;
  for (std::size_t I = 0; I < S.size(); ++I) {
    if (S[I] != '\\' || I + 1 >= S.size()) {
      R += S[I];
      continue;
    }
    char C = S[++I];
    switch (C) {
      case 'r': R += '\r'; break;
      case 'n': R += '\n'; break;
      case 't': R += '\t'; break;
      case 'b': R += '\b'; break;
      case 'a': R += '\a'; break;
      case '0': R += '\0'; break;
      case 'x':
        if (I + 2 < S.size() + 0 && HexDigit(S[I + 1]) >= 0 && HexDigit(S[I + 2]) >= 0) {
          R += static_cast<char>(HexDigit(S[I + 1]) * 16 + HexDigit(S[I + 2]));
          I += 2;
        } else {
          R += 'x';
        }
        break;
      default: R += C; break;
    }
  }
  return R;
}

std::string BaseName(const std::string& Path)
{
  auto Slash = Path.find_last_of('/');
  return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

std::string CommandLine()
{
  std::string Line = BaseName(Args.empty() ? std::string() : Args[0]);
  for (std::size_t I = 1; I < Args.size(); ++I) Line += " " + Args[I];
  return Line;
}

std::string ResolvePath(const std::string& Given)
{
  if (Given == "$last") return Args.size() > 1 ? Args.back() : std::string();
  if (Given.rfind("$after:", 0) == 0) {
    const std::string Word = Given.substr(7);
    for (std::size_t I = 1; I + 1 < Args.size(); ++I)
      if (Args[I] == Word) return Args[I + 1];
    return std::string();
  }
  if (Given.size() > 1 && Given[0] == '$') {
    std::size_t N = std::strtoul(Given.c_str() + 1, nullptr, 10);
    return N < Args.size() ? Args[N] : std::string();
  }
  return Given;
}

void WriteFile(const std::string& Path, const std::string& Bytes)
{
  if (Path.empty()) return;
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

volatile sig_atomic_t Finishing = 0;

void OnFinishSignal(int)
{
  Finishing = 1;
  signal(SIGINT, SIG_DFL);
}

void Pause()
{
  while (!Finishing) pause();
}

void SleepMs(long Ms)
{
  if (Ms > 0) usleep(static_cast<useconds_t>(Ms) * 1000);
}

bool ReadLine(std::string& Line)
{
  Line.clear();
  char C;
  for (;;) {
    ssize_t N = read(0, &C, 1);
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) return !Line.empty();
    if (C == '\n') return true;
    Line += C;
  }
}

void Run(const std::string& RawLine)
{
  std::string Line = RawLine;
  while (!Line.empty() && (Line.back() == '\r' || Line.back() == ' ')) Line.pop_back();
  std::size_t Start = Line.find_first_not_of(" \t");
  if (Start == std::string::npos || Line[Start] == '#') return;
  Line = Line.substr(Start);
  std::string Cmd = Line.substr(0, Line.find(' '));
  std::string Rest = Line.size() > Cmd.size() ? Line.substr(Cmd.size() + 1) : std::string();
  std::istringstream Words(Rest);

  if (Cmd == "print") {
    WriteAll(1, Unescape(Rest) + "\n");
  } else if (Cmd == "write") {
    WriteAll(1, Unescape(Rest));
  } else if (Cmd == "eprint") {
    WriteAll(2, Unescape(Rest) + "\n");
  } else if (Cmd == "progress") {
    std::string Fmt;
    long A = 0, B = 0, Step = 1, Ms = 0;
    Words >> Fmt >> A >> B >> Step >> Ms;
    Fmt = Unescape(Fmt);
    if (Step <= 0) Step = 1;
    for (long V = A; V <= B; V += Step) {
      std::string Text = Fmt;
      auto At = Text.find("%d");
      if (At != std::string::npos) Text.replace(At, 2, std::to_string(V));
      WriteAll(1, Text + "\r");
      if (V + Step <= B) SleepMs(Ms);
    }
  } else if (Cmd == "flood") {
    long Bytes = 0;
    Words >> Bytes;
    std::string Text;
    std::getline(Words >> std::ws, Text);
    Text = Text.empty() ? std::string("flood 0123456789abcdef\n") : Unescape(Text);
    std::string Block;
    while (Block.size() < 65536) Block += Text;
    long Left = Bytes;
    while (Left > 0) {
      std::size_t N = static_cast<std::size_t>(std::min<long>(Left, static_cast<long>(Block.size())));
      WriteAll(1, Block.substr(0, N));
      Left -= static_cast<long>(N);
    }
  } else if (Cmd == "sleep") {
    long Ms = 0;
    Words >> Ms;
    SleepMs(Ms);
  } else if (Cmd == "stall") {
    Pause();
  } else if (Cmd == "sigint" && Rest == "finish") {
    signal(SIGINT, OnFinishSignal);
  } else if (Cmd == "drainfd") {
    int Fd = -1;
    Words >> Fd;
    char Buffer[65536];
    long Total = 0;
    for (ssize_t N; (N = read(Fd, Buffer, sizeof Buffer)) != 0;) {
      if (N < 0 && errno == EINTR) continue;
      if (N < 0) break;
      Total += N;
    }
    Log("drained " + std::to_string(Fd) + " " + std::to_string(Total));
  } else if (Cmd == "writefd") {
    int Fd = -1;
    long Bytes = 0;
    Words >> Fd >> Bytes;
    const int Out = open(("/dev/fd/" + std::to_string(Fd)).c_str(), O_RDWR);
    const std::string Block(65536, 'n');
    for (long Left = Bytes; Out >= 0 && Left > 0;) {
      const ssize_t N = write(Out, Block.data(), static_cast<std::size_t>(std::min<long>(Left, 65536)));
      if (N < 0 && errno == EINTR) continue;
      if (N <= 0) break;
      Left -= N;
    }
    if (Out >= 0) close(Out);
  } else if (Cmd == "sigint" || Cmd == "sigterm") {
    int Sig = Cmd == "sigint" ? SIGINT : SIGTERM;
    signal(Sig, Rest == "ignore" ? SIG_IGN : SIG_DFL);
  } else if (Cmd == "closeout") {
    close(1);
    close(2);
  } else if (Cmd == "readinput") {
    std::string In;
    while (ReadLine(In)) Log("stdin " + In);
  } else if (Cmd == "echoinput") {
    std::string In;
    while (ReadLine(In)) {
      while (!In.empty() && In.back() == '\r') In.pop_back();
      Log("stdin " + In);
      if (In == "quit") break;
      WriteAll(1, "got " + In + "\n");
    }
  } else if (Cmd == "file") {
    std::string Path;
    long Size = 0;
    Words >> Path >> Size;
    std::string Bytes(static_cast<std::size_t>(std::max(Size, 0L)), '\0');
    for (std::size_t I = 0; I < Bytes.size(); ++I) Bytes[I] = static_cast<char>('a' + I % 26);
    WriteFile(ResolvePath(Path), Bytes);
  } else if (Cmd == "jpeg") {
    std::string Path;
    Words >> Path;
    WriteFile(ResolvePath(Path), std::string(reinterpret_cast<const char*>(FixtureJpeg), sizeof FixtureJpeg));
  } else if (Cmd == "copy") {
    std::string Src, Path;
    Words >> Src >> Path;
    std::ifstream In(ResolvePath(Src), std::ios::binary);
    std::stringstream Content;
    Content << In.rdbuf();
    WriteFile(ResolvePath(Path), Content.str());
  } else if (Cmd == "exit") {
    Exit(std::atoi(Rest.c_str()));
  } else {
    WriteAll(2, "qv_faketool: unknown command: " + Cmd + "\n");
  }
}

std::vector<std::string> SplitScript(const std::string& Script)
{
  std::vector<std::string> Lines;
  std::string Current;
  for (char C : Script) {
    if (C == '\n' || C == ';') {
      Lines.push_back(Current);
      Current.clear();
    } else {
      Current += C;
    }
  }
  Lines.push_back(Current);
  return Lines;
}

bool HeaderMatches(const std::string& Header, const std::string& Command)
{
  std::istringstream Words(Header);
  std::string Word;
  while (Words >> Word)
    if (Word != "*" && Command.find(Word) == std::string::npos) return false;
  return true;
}

// The commands of the first section of the scenario file that matches the command line.
bool ScenarioLines(const std::string& Path, std::vector<std::string>& Lines)
{
  std::ifstream In(Path);
  if (!In) return false;
  const std::string Command = CommandLine();
  std::string Line;
  bool Inside = false;
  while (std::getline(In, Line)) {
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    if (!Line.empty() && Line[0] == '[' && Line.find(']') != std::string::npos) {
      if (Inside) return true;
      Inside = HeaderMatches(Line.substr(1, Line.find(']') - 1), Command);
      continue;
    }
    if (Inside) Lines.push_back(Line);
  }
  return Inside;
}

}  // namespace

int main(int Argc, char** Argv)
{
  for (int I = 0; I < Argc; ++I) Args.emplace_back(Argv[I]);
  if (const char* L = std::getenv("QV_FAKETOOL_LOG")) LogPath = L;
  signal(SIGINT, SIG_DFL);
  signal(SIGTERM, SIG_DFL);
  Log("run " + std::to_string(getpid()) + " " + BaseName(Args[0]));
  for (std::size_t I = 1; I < Args.size(); ++I) Log("arg " + std::to_string(I) + " " + Args[I]);
  Log("cmd " + CommandLine());

  std::vector<std::string> Lines;
  bool Found = false;
  if (const char* Script = std::getenv("QV_FAKETOOL_SCRIPT")) {
    Lines = SplitScript(Script);
    Found = true;
  } else if (const char* Scenario = std::getenv("QV_FAKETOOL_SCENARIO")) {
    Found = ScenarioLines(Scenario, Lines);
  }
  if (!Found) Lines = {"print " + BaseName(Args[0]) + ": fake tool"};
  for (const std::string& Line : Lines) Run(Line);
  Exit(0);
}
