// ffmpeg command lines written for an older ffmpeg, and the Windows Media Encoder script, on
// Debian's ffmpeg.
#include <cstdio>
#include <cstdlib>

#include "tools/adapter/OptionList.h"
#include "tools/adapter/ToolPlanParts.h"

namespace qv::tools {

namespace {

const std::initializer_list<const char*> FfmpegFlags = {"-y", "-n", "-an", "-vn", "-sn", "-dn", "-nostdin",
                                                        "-hide_banner", "-stats", "-nostats", "-shortest"};

std::string Decimal(double V)
{
  char Buffer[32];
  std::snprintf(Buffer, sizeof Buffer, "%.4g", V);
  return Buffer;
}

// A crop filter from the four border widths; "" when nothing is cut.
std::string CropFilter(long Left, long Top, long Right, long Bottom)
{
  if (Left <= 0 && Top <= 0 && Right <= 0 && Bottom <= 0) return std::string();
  return "crop=iw-" + std::to_string(Left + Right) + ":ih-" + std::to_string(Top + Bottom) + ":" +
         std::to_string(Left) + ":" + std::to_string(Top);
}

void AddVideoFilter(TOptionList& L, const std::string& Filter)
{
  if (Filter.empty()) return;
  const std::string Old = L.Value("-vf");
  L.Set("-vf", Old.empty() ? Filter : Filter + "," + Old);
}

}  // namespace

TToolPlan TranslateFfmpeg(const std::vector<std::string>& Args)
{
  TToolPlan Plan;
  TOptionList L(Args, FfmpegFlags);
  for (TOptionItem& Item : L.Items) {
    if (Item.Name == "-b" && WholeNumber(Item.Value, -1) >= 0) {
      Item.Name = "-b:v";  // the templates give the video rate in kbit/s
      Item.Value += "k";
    } else if (Item.Name == "-b") {
      Item.Name = "-b:v";
    } else if (Item.Name == "-ab") {
      Item.Name = "-b:a";
    } else if (Item.Name == "-vcodec" && Item.Value == "xvid") {
      Item.Value = "libxvid";
    } else if (Item.Name == "-vcodec" && Item.Value == "h264") {
      Item.Value = "libx264";
    } else if (Item.Name == "-s") {
      const std::size_t Colon = Item.Value.find(':');
      if (Colon != std::string::npos && Item.Value.find('x') == std::string::npos) Item.Value[Colon] = 'x';
    }
  }
  if (L.Has("-vol")) {
    const long Vol = WholeNumber(L.Value("-vol"), 256);
    L.Remove("-vol");
    if (Vol != 256) {
      const std::string Old = L.Value("-af");
      L.Set("-af", "volume=" + Decimal(Vol / 256.0) + (Old.empty() ? "" : "," + Old));
    }
  }
  if (L.Has("-croptop") || L.Has("-cropbottom") || L.Has("-cropleft") || L.Has("-cropright")) {
    const std::string Crop = CropFilter(WholeNumber(L.Value("-cropleft"), 0), WholeNumber(L.Value("-croptop"), 0),
                                        WholeNumber(L.Value("-cropright"), 0), WholeNumber(L.Value("-cropbottom"), 0));
    for (const char* O : {"-croptop", "-cropbottom", "-cropleft", "-cropright"}) L.Remove(O);
    AddVideoFilter(L, Crop);
  }
  // The output is the last word that is no option's value; an identify run ("-i file") has none.
  // Options added above go before it: ffmpeg ignores options after the last output.
  const std::vector<std::string> Words = L.Words();
  if (!Words.empty()) {
    for (int I = static_cast<int>(L.Items.size()) - 1; I >= 0; --I)
      if (L.Items[static_cast<std::size_t>(I)].Name.empty()) {
        L.MoveToEnd(I);
        break;
      }
    Plan.Output = Words.back();
    Plan.Container = L.Value("-f");
    for (TOptionItem& Item : L.Items)
      if (Item.Name.empty()) Item.Value = SafePath(Item.Value);
  }
  for (TOptionItem& Item : L.Items)
    if (Item.Name == "-i") Item.Value = SafePath(Item.Value);
  TToolStep Step;
  std::vector<std::string> A = {"-nostdin"};
  for (const std::string& X : L.Args()) A.push_back(X);
  Step.Processes.push_back({"ffmpeg", A, {}, {}, true});
  Plan.Steps.push_back(Step);
  return Plan;
}

// qvcscript.exe wmcmd.vbs -input IN [-v_clip L T R B] -v_width W -v_height H [-v_framerate R]
// -time START END|end -v_codec WMVn -v_bitrate BITS -v_mode M -a_setting KBITS [-v_profile P]
// [-v_keydist SECONDS] [-v_performance N] -output OUT, in any order. Times are "0", or seconds
// followed by "000".
TToolPlan TranslateWindowsMediaScript(const std::vector<std::string>& Args)
{
  TToolPlan Plan;
  std::string Input, Output, Codec = "wmv2", Rate, Width, Height, Bitrate, Audio, KeyDist, Clip;
  double Start = 0, End = -1;
  auto Seconds = [](std::string T) {
    if (T.size() > 3 && T.compare(T.size() - 3, 3, "000") == 0) T.resize(T.size() - 3);
    return std::atof(T.c_str());
  };
  for (std::size_t I = 0; I < Args.size(); ++I) {
    const std::string& A = Args[I];
    auto Next = [&]() { return I + 1 < Args.size() ? Args[++I] : std::string(); };
    if (A == "-input") Input = Next();
    else if (A == "-output") Output = Next();
    else if (A == "-v_codec") Codec = Next() == "WMV7" ? "wmv1" : "wmv2";  // WMV8 for WMV8 and WMV9
    else if (A == "-v_width") Width = Next();
    else if (A == "-v_height") Height = Next();
    else if (A == "-v_framerate") Rate = Next();
    else if (A == "-v_bitrate") Bitrate = Next();
    else if (A == "-a_setting") Audio = Next();
    else if (A == "-v_keydist") KeyDist = Next();
    else if (A == "-v_clip") {
      long B[4] = {0, 0, 0, 0};
      for (long& V : B) V = WholeNumber(Next(), 0);
      Clip = CropFilter(B[0], B[1], B[2], B[3]);
    } else if (A == "-time") {
      Start = Seconds(Next());
      if (I + 1 < Args.size() && Args[I + 1] != "" && Args[I + 1][0] != '-') {
        const std::string E = Next();
        if (E != "end") End = Seconds(E);
      }
    } else if (A == "-v_mode" || A == "-v_profile" || A == "-v_performance") {
      Next();  // one pass at the asked rate; the profile and speed settings have no match
    }
  }
  std::vector<std::string> F = {"-nostdin", "-hide_banner"};
  if (Start > 0) {
    F.push_back("-ss");
    F.push_back(Decimal(Start));
  }
  F.push_back("-i");
  F.push_back(SafePath(Input));
  if (End > Start) {
    F.push_back("-t");
    F.push_back(Decimal(End - Start));
  }
  std::string Filters = Clip;
  if (WholeNumber(Width, 0) > 0 && WholeNumber(Height, 0) > 0)
    Filters += (Filters.empty() ? "" : ",") + std::string("scale=") + Width + ":" + Height;
  if (!Filters.empty()) {
    F.push_back("-vf");
    F.push_back(Filters);
  }
  if (!Rate.empty()) {
    F.push_back("-r");
    F.push_back(Rate);
  }
  F.push_back("-c:v");
  F.push_back(Codec);
  if (WholeNumber(Bitrate, 0) > 0) {
    F.push_back("-b:v");
    F.push_back(Bitrate);
  }
  if (std::atof(KeyDist.c_str()) > 0) {
    F.push_back("-force_key_frames");
    F.push_back("expr:gte(t,n_forced*" + KeyDist + ")");
  }
  F.push_back("-c:a");
  F.push_back("wmav2");
  const long AudioRate = WholeNumber(Audio.substr(0, Audio.find('_')), 0);
  if (AudioRate > 0) {
    F.push_back("-b:a");
    F.push_back(std::to_string(AudioRate) + "k");
  }
  for (const char* X : {"-f", "asf", "-y"}) F.push_back(X);
  F.push_back(SafePath(Output));
  Plan.Output = Output;
  Plan.Container = "asf";
  TToolStep Step;
  Step.Processes.push_back({"ffmpeg", F, {}, {}, true});
  Plan.Steps.push_back(Step);
  return Plan;
}

}  // namespace qv::tools
