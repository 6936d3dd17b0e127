// mencoder command lines on Debian's mencoder, with ffmpeg and sox for what it lacks.
#include <cstdlib>
#include <map>

#include "tools/adapter/OptionList.h"
#include "tools/adapter/ToolPlanParts.h"

namespace qv::tools {

namespace {

const std::initializer_list<const char*> MencoderFlags = {
    "-noodml", "-nosound", "-novideo", "-noautosub", "-forcedsubsonly", "-quiet", "-really-quiet", "-forceidx",
    "-nocache", "-noskip", "-idx", "-subcc", "-nocorrect-pts", "-noaspect", "-noskiplimit"};

// libavcodec options that mencoder's -lavcopts no longer knows, in their current form.
void MendRemovedLavcOptions(TSubOptions& Lavc)
{
  static const std::map<std::string, std::string> Flags = {
      {"cbp", "cbp_rd"}, {"mv0", "mv0"}, {"naq", "naq"}, {"qprd", "qp_rd"}};
  std::string MpvFlags, Other;
  for (const auto& [Old, New] : Flags)
    if (Lavc.Has(Old)) {
      Lavc.Remove(Old);
      MpvFlags += "+" + New;
    }
  // lmin and lmax were quantiser values; libavcodec takes them as lambda (118 per step).
  for (const char* Key : {"lmin", "lmax"})
    if (Lavc.Has(Key)) {
      const std::string V = Lavc.Value(Key);
      Lavc.Remove(Key);
      const double Q = std::atof(V.c_str());
      if (Q > 0) Other += std::string(Other.empty() ? "" : ",") + Key + "=" + std::to_string(static_cast<long>(Q * 118 + 0.5));
    }
  std::string O = MpvFlags.empty() ? Other : "mpv_flags=" + MpvFlags + (Other.empty() ? "" : "," + Other);
  if (!O.empty()) Lavc.Add("o=" + O);
}

// x264's removed "turbo", and the defaults that give the profiles the devices decode.
void MendX264Options(TSubOptions& X264)
{
  X264.Remove("turbo");
  if (!X264.Has("bframes")) X264.Add("bframes=0");
  if (!X264.Has("8x8dct") && !X264.Has("no8x8dct")) X264.Add("no8x8dct");
  if (!X264.Has("weightp")) X264.Add("weightp=0");
}

std::string DvdAspect(const TOptionList& L)
{
  // The picture's shape from the scale filter the line carries; 4:3 without one.
  TSubOptions Filters(L.LastValue("-vf"), ',');
  for (const std::string& F : Filters.Items)
    if (F.rfind("scale=", 0) == 0) {
      TSubOptions Size(F.substr(6));
      if (Size.Items.size() >= 2) {
        const long W = WholeNumber(Size.Items[0], 0), H = WholeNumber(Size.Items[1], 0);
        if (W > 0 && H > 0 && W * 10 >= H * 16) return "16/9";
      }
    }
  return "4/3";
}

}  // namespace

TToolPlan TranslateMencoder(const std::vector<std::string>& Args, const std::string& Temp)
{
  TToolPlan Plan;
  TOptionList L(Args, MencoderFlags);
  const std::string Output = L.LastValue("-o");
  Plan.Output = Output;
  const std::string Oac = L.Value("-oac");

  // The AVI demuxer decodes MPEG-4 and MS-MPEG4 as the first picture repeated: libavformat's
  // reads AVI right. A sample of a few pictures at a seek (the crop and preview clips) keeps
  // mencoder's own demuxer: its first picture is right, and a seek past the end gives no picture,
  // where libavformat's would give the last ones.
  const bool Sample = L.Has("-ss") && L.Has("-frames") && std::atoi(L.Value("-frames").c_str()) <= 5;
  if (!L.Has("-demuxer") && !Sample) {
    bool Avi = false;
    for (const std::string& W : L.Words()) Avi = Avi || EndsWithNoCase(W, ".avi") || EndsWithNoCase(W, ".divx");
    if (Avi) {
      if (Oac == "copy") L.InsertFront("-mc", "0");
      L.InsertFront("-demuxer", "lavf");
    }
  }

  TSubOptions Lavc(L.Value("-lavcopts"));
  MendRemovedLavcOptions(Lavc);
  if (L.Has("-x264encopts")) {
    TSubOptions X264(L.Value("-x264encopts"));
    MendX264Options(X264);
    L.Set("-x264encopts", X264.Text());
  }

  enum { AudioAsIs, AudioAac, AudioAmr } Audio = AudioAsIs;
  std::string AudioRate;  // kbit/s of AAC, bit/s of AMR
  const std::string Acodec = Lavc.Value("acodec");
  if (Oac == "faac") {
    Audio = AudioAac;
    AudioRate = TSubOptions(L.Value("-faacopts")).Value("br");
    if (WholeNumber(AudioRate, 0) <= 0) AudioRate = "128";
    L.Remove("-faacopts");
    L.Set("-oac", "pcm");
  } else if (Oac == "lavc" && (Acodec == "libamr_nb" || Acodec == "libamr_wb")) {
    // Debian has an AMR-NB encoder only (through sox): the wide-band preset gets AMR-NB too.
    Audio = AudioAmr;
    AudioRate = Lavc.Value("abitrate");
    Lavc.Remove("acodec");
    Lavc.Remove("abitrate");
    L.Set("-oac", "pcm");
  } else if (Oac == "lavc" && Acodec == "mp2") {
    // libavcodec's MP2 cannot open in mencoder: its built-in twolame at the same rate.
    std::string Rate = Lavc.Has("abitrate") ? Lavc.Value("abitrate") : Lavc.Value("br");
    Lavc.Remove("acodec");
    Lavc.Remove("abitrate");
    Lavc.Remove("br");
    L.Set("-oac", "twolame");
    L.Set("-twolameopts", "br=" + std::to_string(WholeNumber(Rate, 224)));
  }

  // MPEG program streams.
  if (L.Value("-of") == "mpeg") {
    TSubOptions Mpeg(L.Value("-mpegopts"));
    if (Mpeg.Value("format") == "dvd") {
      // What DVD authoring needs: the aspect flag, film pictures with soft telecine, 48 kHz.
      if (!Lavc.Has("aspect") && !L.Has("-aspect")) Lavc.Add("aspect=" + DvdAspect(L));
      if (L.LastValue("-ofps") == "30000/1001" && !Mpeg.Has("telecine")) {
        L.Set("-ofps", "24000/1001");
        Mpeg.Add("telecine");
      }
      L.Set("-mpegopts", Mpeg.Text());
      if (L.Value("-oac") != "copy") L.Set("-srate", "48000");
    } else {
      // mencoder's own MPEG muxer leaves most B-frame pictures undecodable.
      L.Remove("-mpegopts");
      L.Set("-of", "lavf");
      const bool Mpeg1 = Lavc.Value("vcodec") == "mpeg1video";
      TSubOptions Lavf(L.Value("-lavfopts"));
      Lavf.Remove("format");
      Lavf.Add(std::string("format=") + (Mpeg1 ? "mpeg" : "vob"));
      L.Set("-lavfopts", Lavf.Text());
    }
  }

  if (L.Has("-lavcopts")) {
    if (Lavc.Items.empty())
      L.Remove("-lavcopts");
    else
      L.Set("-lavcopts", Lavc.Text());
  }

  if (Audio == AudioAsIs) {
    L.MoveToEnd(L.Find("-o"));
    const std::string Of = L.LastValue("-of");
    Plan.Container = Of == "lavf" ? TSubOptions(L.Value("-lavfopts")).Value("format") : Of.empty() ? "avi" : Of;
    TToolStep Step;
    Step.Processes.push_back({"mencoder", L.Args(), {}, {}, false});
    Plan.Steps.push_back(Step);
    return Plan;
  }

  // Video and PCM audio leave mencoder as NUT through a pipe; ffmpeg (and sox) make the audio
  // and write the container. mencoder's own progress lines stay the run's progress.
  TSubOptions Lavf(L.Value("-lavfopts"));
  Plan.Container = Lavf.Value("format");
  if (Plan.Container.empty()) Plan.Container = Audio == AudioAmr ? "3gp" : "mp4";
  Lavf.Remove("format");
  Lavf.Add("format=nut");
  L.Set("-of", "lavf");
  L.Set("-lavfopts", Lavf.Text());
  L.Set("-o", "/dev/fd/" + std::to_string(PipeFd(0)));
  L.MoveToEnd(L.Find("-o"));
  TToolStep Step;
  Step.PipeCount = 1;
  Step.Processes.push_back({"mencoder", L.Args(), {0}, {}, false});
  const std::vector<std::string> Quiet = {"-nostdin", "-hide_banner", "-loglevel", "error"};
  const std::string In = "pipe:" + std::to_string(PipeFd(0));
  if (Audio == AudioAac) {
    std::vector<std::string> F = Quiet;
    for (const char* A : {"-f", "nut", "-i"}) F.push_back(A);
    F.push_back(In);
    for (const char* A : {"-map", "0:v?", "-map", "0:a?", "-c:v", "copy", "-c:a", "aac", "-b:a"}) F.push_back(A);
    F.push_back(AudioRate + "k");
    for (const std::string& A : {std::string("-f"), Plan.Container, std::string("-y"), SafePath(Output)}) F.push_back(A);
    Step.Processes.push_back({"ffmpeg", F, {}, {0}, false});
    Plan.Steps.push_back(Step);
    return Plan;
  }

  // AMR-NB: ffmpeg splits the stream into the video and a WAV pipe that sox encodes; a second
  // step muxes both into 3GP.
  static const std::map<long, int> AmrModes = {{4750, 0}, {5150, 1}, {5900, 2}, {6700, 3},
                                               {7400, 4}, {7950, 5}, {10200, 6}, {12200, 7}};
  const auto Mode = AmrModes.find(WholeNumber(AudioRate, 12200));
  const std::string Video = Temp + "/video.nut", Amr = Temp + "/audio.amr";
  Plan.UsesTempFolder = true;
  Step.PipeCount = 2;
  std::vector<std::string> Split = Quiet;
  for (const std::string& A : {std::string("-f"), std::string("nut"), std::string("-i"), In, std::string("-map"),
                               std::string("0:v"), std::string("-c"), std::string("copy"), std::string("-f"),
                               std::string("nut"), std::string("-y"), Video, std::string("-map"), std::string("0:a"),
                               std::string("-c:a"), std::string("pcm_s16le"), std::string("-ac"), std::string("1"),
                               std::string("-ar"), std::string("8000"), std::string("-f"), std::string("wav"),
                               "pipe:" + std::to_string(PipeFd(1))})
    Split.push_back(A);
  Step.Processes.push_back({"ffmpeg", Split, {1}, {0}, false});
  Step.Processes.push_back({"sox",
                            {"-q", "-t", "wav", "/dev/fd/" + std::to_string(PipeFd(1)), "-t", "amr-nb", "-C",
                             std::to_string(Mode == AmrModes.end() ? 7 : Mode->second), Amr},
                            {},
                            {1},
                            false});
  Plan.Steps.push_back(Step);
  std::vector<std::string> Mux = Quiet;
  for (const std::string& A : {std::string("-i"), Video, std::string("-i"), Amr, std::string("-map"), std::string("0:v"),
                               std::string("-map"), std::string("1:a"), std::string("-c"), std::string("copy"),
                               std::string("-f"), Plan.Container, std::string("-y"), SafePath(Output)})
    Mux.push_back(A);
  TToolStep MuxStep;
  MuxStep.Processes.push_back({"ffmpeg", Mux, {}, {}, false});
  Plan.Steps.push_back(MuxStep);
  return Plan;
}

}  // namespace qv::tools
