#include "core/FfmpegStreamLine.h"

#include <cctype>
#include <cstddef>
#include <vector>

#include "core/DetectText.h"

using namespace detecttext;

namespace {

// The trimmed comma-separated fields of Text; commas inside (...) or [...] do not separate.
std::vector<String> Fields(const String& Text)
{
  std::vector<String> Out;
  int Depth = 0;
  std::size_t Start = 0;
  for (std::size_t I = 0; I < Text.size(); ++I) {
    const char C = Text[I];
    if (C == '(' || C == '[') ++Depth;
    if ((C == ')' || C == ']') && Depth > 0) --Depth;
    if (C == ',' && Depth == 0) {
      Out.push_back(Trim(Text.substr(Start, I - Start)));
      Start = I + 1;
    }
  }
  Out.push_back(Trim(Text.substr(Start)));
  return Out;
}

// The fields from First on, joined the way ffmpeg prints them.
String FieldsFrom(const std::vector<String>& F, std::size_t First)
{
  String Out;
  for (std::size_t I = First; I < F.size(); ++I) Out += (I == First ? "" : ", ") + F[I];
  return Out;
}

// The values after Marker, split into fields; false when the line has no Marker.
bool StreamFields(const String& Line, const char* Marker, std::vector<String>& F)
{
  const auto At = Line.find(Marker);
  if (At == String::npos) return false;
  F = Fields(Line.substr(At + String(Marker).size()));
  return true;
}

std::size_t Digits(const String& S, std::size_t From)
{
  std::size_t I = From;
  while (I < S.size() && std::isdigit(static_cast<unsigned char>(S[I]))) ++I;
  return I - From;
}

// "<width>x<height>" at the start of Field.
bool LeadingSize(const String& Field, String& Width, String& Height)
{
  const std::size_t W = Digits(Field, 0);
  if (W == 0 || W >= Field.size() || Field[W] != 'x') return false;
  const std::size_t H = Digits(Field, W + 1);
  if (H == 0) return false;
  Width = Field.substr(0, W);
  Height = Field.substr(W + 1, H);
  return true;
}

// The number of the first field from From on that reads "<number> <Unit>", with its blank.
bool RateField(const std::vector<String>& F, std::size_t From, const char* Unit, String& Rate)
{
  for (std::size_t I = From; I < F.size(); ++I) {
    const auto Blank = F[I].find(' ');
    if (Blank != String::npos && Blank > 0 && FirstWord(F[I].substr(Blank)) == Unit) {
      Rate = F[I].substr(0, Blank + 1);
      return true;
    }
  }
  return false;
}

}  // namespace

bool ReadFfmpegVideoStream(const String& Line, TFfmpegVideoStream& Stream)
{
  std::vector<String> F;
  if (!StreamFields(Line, "Video:", F) || Has(Line, "(attached pic)")) return false;
  Stream = TFfmpegVideoStream();
  Stream.Codec = UpperCase(FirstWord(F[0]));

  std::size_t SizeField = 0;
  for (std::size_t I = 1; I < F.size() && SizeField == 0; ++I)
    if (LeadingSize(F[I], Stream.Width, Stream.Height)) SizeField = I;
  Stream.HasSize = SizeField != 0;

  const std::size_t RateFrom = Stream.HasSize ? SizeField + 1 : 1;
  if (RateField(F, RateFrom, "fps", Stream.FrameRate)) return true;
  if (!Stream.HasSize) {
    RateField(F, RateFrom, "tbr", Stream.FrameRate);
    return true;
  }
  // No "fps" field: the field after the size, passing one bit rate and then one aspect.
  std::size_t I = RateFrom;
  if (Has(FieldsFrom(F, I), "kb")) ++I;
  if (Has(FieldsFrom(F, I), "AR")) ++I;
  Stream.FrameRate = BeforeRaw(FieldsFrom(F, I), "t");
  return true;
}

bool ReadFfmpegAudioStream(const String& Line, TFfmpegAudioStream& Stream)
{
  std::vector<String> F;
  if (!StreamFields(Line, "Audio:", F)) return false;
  Stream = TFfmpegAudioStream();
  Stream.Codec = FirstWord(F[0]);
  for (std::size_t I = 1; I < F.size(); ++I)
    if (Has(F[I], "Hz")) {
      Stream.SampleRate = Trim(RemoveFirst(F[I], "Hz"));
      Stream.HasSampleRate = true;
      break;
    }
  return true;
}
