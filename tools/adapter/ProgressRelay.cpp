#include "tools/adapter/ProgressRelay.h"

#include <cctype>
#include <cstdio>

namespace qv::tools {

namespace {

// A line longer than this is passed on without waiting for its end.
constexpr std::size_t LongestLine = 65536;

bool Digits(const std::string& S, std::size_t At, std::size_t Count)
{
  if (At + Count > S.size()) return false;
  for (std::size_t I = At; I < At + Count; ++I)
    if (!std::isdigit(static_cast<unsigned char>(S[I]))) return false;
  return true;
}

std::string SecondsText(double Seconds)
{
  char Buffer[48];
  for (int Decimals = 2; Decimals >= 0; --Decimals) {
    std::snprintf(Buffer, sizeof Buffer, "%.*f", Decimals, Seconds);
    if (std::string(Buffer).size() <= 7) return Buffer;
  }
  return Buffer;
}

}  // namespace

std::string TProgressRelay::RewriteLine(const std::string& Line)
{
  const std::size_t Key = Line.find("time=");
  if (Key == std::string::npos) return Line;
  std::size_t At = Key + 5;
  const bool Negative = At < Line.size() && Line[At] == '-';
  if (Negative) ++At;
  // Hours (one digit or more), then ":MM:SS", then an optional fraction.
  std::size_t H = At;
  while (H < Line.size() && std::isdigit(static_cast<unsigned char>(Line[H]))) ++H;
  if (H == At || H - At > 9 || H >= Line.size() || Line[H] != ':' || !Digits(Line, H + 1, 2) || H + 3 >= Line.size() ||
      Line[H + 3] != ':' || !Digits(Line, H + 4, 2))
    return Line;
  std::size_t End = H + 6;
  double Fraction = 0;
  if (End < Line.size() && Line[End] == '.') {
    std::size_t F = End + 1;
    double Scale = 0.1;
    while (F < Line.size() && std::isdigit(static_cast<unsigned char>(Line[F]))) {
      Fraction += (Line[F] - '0') * Scale;
      Scale /= 10;
      ++F;
    }
    End = F;
  }
  const double Hours = std::stod(Line.substr(At, H - At));
  const double Seconds = Hours * 3600 + std::stoi(Line.substr(H + 1, 2)) * 60 + std::stoi(Line.substr(H + 4, 2)) + Fraction;
  return Line.substr(0, Key + 5) + SecondsText(Negative ? -Seconds : Seconds) + Line.substr(End);
}

std::string TProgressRelay::Feed(const char* Data, std::size_t Size)
{
  Pending.append(Data, Size);
  std::string Out;
  std::size_t Start = 0;
  for (;;) {
    const std::size_t End = Pending.find_first_of("\r\n", Start);
    if (End == std::string::npos) break;
    Out += RewriteLine(Pending.substr(Start, End - Start));
    Out += Pending[End];
    Start = End + 1;
  }
  Pending.erase(0, Start);
  if (Pending.size() > LongestLine) {
    Out += Pending;
    Pending.clear();
  }
  return Out;
}

std::string TProgressRelay::Finish()
{
  std::string Out = RewriteLine(Pending);
  Pending.clear();
  return Out;
}

}  // namespace qv::tools
