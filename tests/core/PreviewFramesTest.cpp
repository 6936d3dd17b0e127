// Frame grabs, the preview's border measurement and the crop texts of a source row and a job
// row, with fake tools: the fake mencoder writes the clip, the fake ffmpeg copies a fixture
// frame drawn by the test (or writes nothing, or a damaged file).
#include <gtest/gtest.h>

#include "CropTestSupport.h"
#include "core/PreviewFrames.h"
#include "core/PreviewToolRun.h"
#include "platform/rtl/MathErrors.h"

namespace {

using namespace croptest;

class PreviewFrames : public TCropTest {
protected:
  // The usual tools: mencoder writes a clip, ffmpeg hands over Frame as the grabbed frame.
  void FakeGrab(const std::string& FfmpegCommands)
  {
    UseFakeTools("[mencoder.exe]\nfile $after:-o 4000\n[ffmpeg.exe]\n" + FfmpegCommands + "\n");
  }
  std::string Frame() const { return Dir + "frame.jpg"; }
  // A half-size PAL-like frame of 160 x 120 with 16 black rows top and bottom.
  void WriteLetterboxFrame() { WriteFrameJpeg(Frame(), 160, 120, 0, 0, 16, 16); }
};

TEST_F(PreviewFrames, DetectBlackBordersMeasuresTheGrabbedFrame)
{
  WriteLetterboxFrame();
  FakeGrab("copy " + Frame() + " $last");
  SetSourceRow(1, "VIDEO", 320, 240, 320, 240, "\"/videos/film.avi\"");
  Form->croptimer->SetEnabled(false);

  DetectBlackBorders(7);

  EXPECT_EQ(LinesOf("mencoder.exe"),
            std::vector<std::string>{Q(WorkFolder + "mencoder.exe") +
                                     " -vf scale=160:120  -frames 5 -ss 7 -oac mp3lame -ovc lavc -lavcopts "
                                     "vcodec=mpeg4 \"/videos/film.avi\" -o " +
                                     Q(Temp("temp.avi"))});
  EXPECT_EQ(LinesOf("ffmpeg.exe"), std::vector<std::string>{Q(WorkFolder + "ffmpeg.exe") + " -y -i " +
                                                            Q(Temp("temp.avi")) + " -f image2 -vframes 1 -an " +
                                                            Q(Temp("temp.jpg"))});
  // Rows 0..15 black: the innermost uniform top row is 15, the bottom border 16 rows; doubled.
  // The letterbox has no side bars and is still cropped (offset X 0).
  EXPECT_EQ(Cells(Form->StringGrid1, 1, {42, 43, 44, 45, 46, 47, 48, 67, 68}),
            (std::vector<std::string>{"0", "0", "30", "32", "crop=320:176:0:32", "320", "176", "-v_clip 0 30 0 32",
                                      "-croptop 30 -cropbottom 32 -cropleft 0 -cropright 0"}));
  EXPECT_EQ(PreviewFrameImage()->GetWidth(), 160);
  EXPECT_EQ(PreviewFrameImage()->GetHeight(), 120);
  EXPECT_FALSE(std::filesystem::exists(Temp("temp.avi")));
  EXPECT_FALSE(std::filesystem::exists(Temp("temp.jpg")));
  EXPECT_EQ(ReadBytes(Temp("temp2.jpg")).substr(0, 2), "BM");  // the marked frame, as bitmap data
  EXPECT_FALSE(BatchRunning);
  EXPECT_FALSE(ToolRunning);
  EXPECT_TRUE(PlaybackMode);
  EXPECT_FALSE(Form->croptimer->GetEnabled());
}

struct TClipCase {
  const char* Name;
  const char* Input;
  const char* Aspect;
  int Position;
  const char* Expected;  // the clip line after the mencoder path, with WF for the work folder
};

const TClipCase ClipCases[] = {
    {"aspect_twice_with_two_blanks_after_scale", "\"/v/a.avi\"", "1.7778", 12,
     " -vf scale=160:120  -aspect 1.7778 -frames 5 -ss 12 -oac mp3lame -ovc lavc -lavcopts vcodec=mpeg4 "
     "\"/v/a.avi\" -o \"WFtemp/temp.avi\" -aspect 1.7778"},
    {"aspect_starting_with_zero_is_none", "\"/v/a.avi\"", "0.0000", 12,
     " -vf scale=160:120  -frames 5 -ss 12 -oac mp3lame -ovc lavc -lavcopts vcodec=mpeg4 \"/v/a.avi\" -o "
     "\"WFtemp/temp.avi\""},
    {"dvr_ms_capped_at_20_seconds", "\"/v/show.dvr-ms\"", "", 45,
     " -vf scale=160:120  -frames 5 -ss 20 -oac mp3lame -ovc lavc -lavcopts vcodec=mpeg4 \"/v/show.dvr-ms\" -o "
     "\"WFtemp/temp.avi\""},
    {"dvr_ms_below_the_cap_kept", "\"/v/show.dvr-ms\"", "", 15,
     " -vf scale=160:120  -frames 5 -ss 15 -oac mp3lame -ovc lavc -lavcopts vcodec=mpeg4 \"/v/show.dvr-ms\" -o "
     "\"WFtemp/temp.avi\""},
    // A drive's video folder is played from the drive; a VOB file keeps its folder.
    {"dvd_video_folder_played_from_the_drive", "-dvd-device D:\\VIDEO_TS  dvdnav://1 ", "", 12,
     " -vf scale=160:120  -frames 5 -ss 12 -oac mp3lame -ovc lavc -lavcopts vcodec=mpeg4 -dvd-device D:  dvdnav://1 "
     " -o \"WFtemp/temp.avi\""},
    {"vob_file_keeps_its_video_folder", "\"D:\\VIDEO_TS\\VTS_01_1.VOB\"", "", 12,
     " -vf scale=160:120  -frames 5 -ss 12 -oac mp3lame -ovc lavc -lavcopts vcodec=mpeg4 "
     "\"D:\\VIDEO_TS\\VTS_01_1.VOB\" -o \"WFtemp/temp.avi\""},
};

TEST_F(PreviewFrames, ClipCommandLines)
{
  FakeGrab("");
  for (const auto& C : ClipCases) {
    Lines.clear();
    SetSourceRow(1, "VIDEO", 320, 240, 320, 240, C.Input, C.Aspect);
    GrabPreviewFrame(C.Position);
    std::string Expected = Q(WorkFolder + "mencoder.exe") + C.Expected;
    for (size_t At; (At = Expected.find("WF")) != std::string::npos;) Expected.replace(At, 2, WorkFolder);
    EXPECT_EQ(LinesOf("mencoder.exe"), std::vector<std::string>{Expected}) << C.Name;
  }
}

struct TNoFrameCase {
  const char* Name;
  const char* Scenario;
};

// Each grab finds an earlier frame of another source in the frame image and the leftovers of
// an earlier failed grab (a clip and a good frame file) in the temp folder.
const TNoFrameCase NoFrameCases[] = {
    {"ffmpeg_writes_nothing", "[mencoder.exe]\nfile $after:-o 4000\n[ffmpeg.exe]\nexit 1\n"},
    {"source_ends_before_the_position", "[mencoder.exe]\nprint Video stream is empty\n[ffmpeg.exe]\nexit 1\n"},
    {"damaged_jpeg", "[mencoder.exe]\nfile $after:-o 4000\n[ffmpeg.exe]\nfile $last 3000\n"},
    {"empty_jpeg", "[mencoder.exe]\nfile $after:-o 4000\n[ffmpeg.exe]\nfile $last 0\n"},
    {"ffmpeg_killed_by_the_watchdog", "[mencoder.exe]\nfile $after:-o 4000\n[ffmpeg.exe]\nstall\n"},
};

TEST_F(PreviewFrames, NoFrameMeasuresNothingAndLeavesTheCropAtZero)
{
  // The watchdog as run control runs it: it kills the silent tool.
  Form->croptimer->SetInterval(50);
  Form->croptimer->SetOnTimer([this](TObject*) {
    if (++StallTicks > 10) try {
        Form->XcCreateProcess1->KillProcess();
      } catch (const Exception&) {
      }
  });
  for (const auto& C : NoFrameCases) {
    UseFakeTools(C.Scenario);
    WriteFrameJpeg(Dir + "other.jpg", 160, 120, 20, 20, 20, 20);
    TBitmap Other;
    Other.LoadFromDibImage(LoadJpegFromFile(Dir + "other.jpg"));
    PreviewFrameImage()->ShowFrame(&Other);
    std::filesystem::copy_file(Dir + "other.jpg", Temp("temp.jpg"), std::filesystem::copy_options::overwrite_existing);
    WriteBytes(Temp("temp.avi"), "an old clip");
    SetSourceRow(1, "VIDEO", 320, 240, 320, 240, "\"/videos/film.avi\"");
    for (int Col : {42, 43, 44, 45}) Form->StringGrid1->SetCells(Col, 1, "40");
    SeekDragging = true;

    DetectBlackBorders(5);

    EXPECT_EQ(Cells(Form->StringGrid1, 1, {42, 43, 44, 45, 46, 67, 68, 47, 48}),
              (std::vector<std::string>{"0", "0", "0", "0", "", "", "", "320", "240"}))
        << C.Name;
    EXPECT_FALSE(std::filesystem::exists(Temp("temp2.jpg"))) << C.Name;
    EXPECT_EQ(PreviewFrameImage()->GetWidth(), 160) << C.Name;  // the old picture, untouched
    EXPECT_FALSE(BatchRunning) << C.Name;
    EXPECT_FALSE(ToolRunning) << C.Name;
    EXPECT_TRUE(SeekDragging) << C.Name;
    EXPECT_FALSE(Form->croptimer->GetEnabled()) << C.Name;
  }
}

TEST_F(PreviewFrames, ToolThatCannotStartGivesNoFrame)
{
  FakeGrab("copy " + Dir + "frame.jpg $last");
  WriteLetterboxFrame();
  std::filesystem::remove(WorkFolder + "ffmpeg.exe");
  SetSourceRow(1, "VIDEO", 320, 240, 320, 240, "\"/videos/film.avi\"");
  EXPECT_FALSE(GrabPreviewFrame(3));
  EXPECT_FALSE(ToolRunning);
  EXPECT_FALSE(BatchRunning);
  EXPECT_FALSE(Form->croptimer->GetEnabled());
  EXPECT_EQ(ToolRuns(), std::vector<std::string>{"mencoder.exe"});
}

TEST_F(PreviewFrames, StopRequestedGrabsNothing)
{
  FakeGrab("copy " + Frame() + " $last");
  WriteLetterboxFrame();
  SetSourceRow(1, "VIDEO", 320, 240, 320, 240, "\"/videos/film.avi\"");
  Form->StringGrid1->SetCells(44, 1, "24");
  StopRequested = true;
  EXPECT_FALSE(GrabPreviewFrame(3));
  MakeOutputThumbnail(1);
  EXPECT_TRUE(ToolRuns().empty());
  EXPECT_EQ(Form->StringGrid1->GetCells(44, 1), "24");
}

TEST_F(PreviewFrames, BadSizeCellRaisesWithTheFlagsClear)
{
  FakeGrab("copy " + Frame() + " $last");
  SetSourceRow(1, "VIDEO", 320, 240, 320, 240, "\"/videos/film.avi\"");
  Form->StringGrid1->SetCells(scDisplayWidth, 1, "wide");
  EXPECT_THROW(DetectBlackBorders(3), EConvertError);
  EXPECT_FALSE(BatchRunning);
  EXPECT_FALSE(ToolRunning);
  EXPECT_EQ(Form->StringGrid1->GetCells(42, 1), "0");
  EXPECT_TRUE(ToolRuns().empty());
}

TEST_F(PreviewFrames, BuildCropOptionsNeedsUiSyncAndFillsEmptyCells)
{
  SetSourceRow(1, "VIDEO", 720, 576, 720, 576, "\"/v/a.vob\"");
  TskSkinStringGrid* G = Form->StringGrid1;
  for (int Col : {42, 43}) G->SetCells(Col, 1, "8");
  for (int Col : {44, 45}) G->SetCells(Col, 1, "72");
  UiSync = false;
  BuildCropOptions();
  EXPECT_EQ(G->GetCells(46, 1), "");
  UiSync = true;
  BuildCropOptions();
  EXPECT_EQ(Cells(G, 1, {46, 47, 48, 67, 68}),
            (std::vector<std::string>{"crop=704:432:8:72", "704", "432", "-v_clip 8 72 8 72",
                                      "-croptop 72 -cropbottom 72 -cropleft 8 -cropright 8"}));
  G->SetCells(43, 1, "");
  G->SetCells(45, 1, "");
  BuildCropOptions();
  EXPECT_EQ(Cells(G, 1, {43, 45, 46}), (std::vector<std::string>{"0", "0", "crop=704:504:8:72"}));
  ResetCrop();
  EXPECT_EQ(Cells(G, 1, {42, 43, 44, 45, 46, 67, 68, 47, 48}),
            (std::vector<std::string>{"0", "0", "0", "0", "", "", "", "720", "576"}));
}

TEST_F(PreviewFrames, ResetCropAndFillScreenCutsTheSidesForTheScreen)
{
  // 720 x 576 shown as 1024 x 576 on a 4:3 screen: 90 stored pixels off each side.
  SetSourceRow(1, "DVD", 720, 576, 1024, 576, "\"/v/a.vob\"");
  Form->screensize->GetItems()->Clear();
  Form->screensize->GetItems()->Add(" 176 x  144");
  Form->screensize->GetItems()->Add(" 320 x  240");
  Form->screensize->SetItemIndex(1);
  Form->StringGrid1->SetCells(42, 1, "30");
  ResetCropAndFillScreen();
  EXPECT_EQ(Cells(Form->StringGrid1, 1, {42, 43, 44, 45, 46}),
            (std::vector<std::string>{"90", "90", "0", "0", "crop=544:576:88:0"}));
  Form->StringGrid1->SetCells(scWidth, 1, "0");
  EXPECT_THROW(ResetCropAndFillScreen(), EZeroDivide);
}

TEST_F(PreviewFrames, DetectBordersAndFillScreenEnlargesTheMeasuredCrop)
{
  WriteLetterboxFrame();
  FakeGrab("copy " + Frame() + " $last");
  SetSourceRow(1, "VIDEO", 320, 240, 320, 240, "\"/videos/film.avi\"");
  Form->screensize->GetItems()->Clear();
  Form->screensize->GetItems()->Add(" 320 x  240");
  Form->screensize->SetItemIndex(0);
  // Crop 0, 0, 30, 32 leaves 320 x 178, scaled to 320 x 178 on a 4:3 screen: 62 rows short,
  // so the sides lose Round((320 - Trunc(178 / 240 * 320)) / 2) = Round(42.5) = 42 each.
  DetectBordersAndFillScreen(5);
  EXPECT_EQ(Cells(Form->StringGrid1, 1, {42, 43, 44, 45, 46}),
            (std::vector<std::string>{"42", "42", "30", "32", "crop=240:176:40:32"}));
}

class JobFrames : public PreviewFrames {
protected:
  // Job row 1 of source row 2.
  void SetJobRow(const std::string& SourceKind, const std::string& Input, const std::string& Aspect = "")
  {
    SetSourceRow(2, SourceKind, 640, 480, 640, 480, Input);
    TskSkinStringGrid* J = Form->convertgrid;
    J->SetCells(0, 1, "00001");
    J->SetCells(6, 1, Input);
    J->SetCells(10, 1, Aspect);
    J->SetCells(27, 1, "640");
    J->SetCells(28, 1, "480");
    J->SetCells(53, 1, "");
    J->SetCells(54, 1, " ");
    J->SetCells(58, 1, "2");
  }
};

TEST_F(JobFrames, VideoStarSourceIsGrabbedByFfmpegDirectly)
{
  WriteLetterboxFrame();
  FakeGrab("copy " + Frame() + " $last");
  SetJobRow("VIDEO*", "\"/v/odd.ts\"");
  for (int Col : {42, 43, 44, 45}) Form->convertgrid->SetCells(Col, 1, "12");
  EXPECT_TRUE(GrabJobFrame(60, 1));
  EXPECT_EQ(Lines, std::vector<std::string>{Q(WorkFolder + "ffmpeg.exe") +
                                            " -y -i \"/v/odd.ts\" -s 320:240 -ss 60 -f image2 -vframes 1 -an " +
                                            Q(Temp("temp.jpg"))});
  // The empty display cells came from the source row's stored size; the crop became 0.
  EXPECT_EQ(Cells(Form->convertgrid, 1, {53, 54, 42, 43, 44, 45}),
            (std::vector<std::string>{"640", "480", "0", "0", "0", "0"}));
  EXPECT_EQ(PreviewFrameImage()->GetHeight(), 120);
}

TEST_F(JobFrames, OtherSourcesGoThroughTheClipAndDvrMsIsCappedAt200)
{
  WriteLetterboxFrame();
  FakeGrab("copy " + Frame() + " $last");
  SetJobRow("VIDEO", "\"/v/show.dvr-ms\"", "1.3333");
  BatchRunning = true;
  EXPECT_TRUE(GrabJobFrame(450, 1));
  EXPECT_EQ(LinesOf("mencoder.exe"),
            std::vector<std::string>{Q(WorkFolder + "mencoder.exe") +
                                     " -vf scale=320:240  -aspect 1.3333 -frames 5 -ss 200 -oac mp3lame -ovc lavc "
                                     "-lavcopts vcodec=mpeg4 \"/v/show.dvr-ms\" -o " +
                                     Q(Temp("temp.avi")) + " -aspect 1.3333"});
  EXPECT_EQ(ToolRuns(), (std::vector<std::string>{"mencoder.exe", "ffmpeg.exe"}));
  EXPECT_TRUE(BatchRunning);  // the conversion run holds it
}

TEST_F(JobFrames, JobCropTextsUseTheJobsStoredSize)
{
  SetJobRow("VIDEO", "\"/v/a.avi\"");
  for (int Col : {42, 43}) Form->convertgrid->SetCells(Col, 1, "16");
  for (int Col : {44, 45}) Form->convertgrid->SetCells(Col, 1, "60");
  BuildJobCropOptions(1);
  EXPECT_EQ(Cells(Form->convertgrid, 1, {46, 47, 48, 67, 68}),
            (std::vector<std::string>{"crop=608:352:16:64", "608", "352", "-v_clip 16 60 16 60",
                                      "-croptop 60 -cropbottom 60 -cropleft 16 -cropright 16"}));
}

TEST_F(JobFrames, ThumbnailLineQuotesTheOutputNames)
{
  UseFakeTools("[160x120]\njpeg $last\n");
  TskSkinStringGrid* J = Form->convertgrid;
  const std::string Folder = Dir + "out \"x\"/";
  std::filesystem::create_directories(Folder);
  J->SetCells(3, 1, "mp4");
  J->SetCells(7, 1, Folder);
  J->SetCells(8, 1, "-Film");
  FfmpegAddonPresent = true;
  MakeOutputThumbnail(1);
  EXPECT_EQ(Lines, std::vector<std::string>{"\"" + WorkFolder + "ffmpeg2.exe\" -y -i \"" + Dir +
                                            "out \"\"x\"\"/-Film.mp4\" -ss 5 -s 160x120 -f image2 -vframes 1 -an \"" +
                                            Dir + "out \"\"x\"\"/-Film.jpg\""});
  EXPECT_TRUE(std::filesystem::exists(Folder + "-Film.jpg"));
}

struct TSwapCase {
  const char* Name;
  bool Hastekit, Ticked;
  const char* Kind;
  const char* Line;
  const char* Expected;
};

const TSwapCase SwapCases[] = {
    {"hastekit_ticked", true, true, "VIDEO", "\"/w/mencoder.exe\" -x \"/v/a.avi\"", "\"/w/mencoder2.exe\" -x \"/v/a.avi\""},
    {"hastekit_not_ticked", true, false, "VIDEO", "\"/w/mencoder.exe\" -x \"/v/a.avi\"",
     "\"/w/mencoder.exe\" -x \"/v/a.avi\""},
    {"no_hastekit", false, true, "VIDEO", "\"/w/mencoder.exe\" -x \"/v/a.avi\"", "\"/w/mencoder.exe\" -x \"/v/a.avi\""},
    {"dvr_ms_goes_back", true, true, "VIDEO", "\"/w/mencoder.exe\" -x \"/v/a.dvr-ms\"",
     "\"/w/mencoder.exe\" -x \"/v/a.dvr-ms\""},
    {"video_star_goes_back", true, true, "VIDEO*", "\"/w/mencoder.exe\" -x \"/v/a.avi\"",
     "\"/w/mencoder.exe\" -x \"/v/a.avi\""},
    // A file name holding a tool's name is data: it never changes.
    {"name_in_a_path_untouched", false, false, "VIDEO*", "\"/w/mencoder.exe\" -x \"/v/mencoder2.exe.avi\"",
     "\"/w/mencoder.exe\" -x \"/v/mencoder2.exe.avi\""},
};

TEST_F(PreviewFrames, MencoderSwaps)
{
  for (const auto& C : SwapCases) {
    HastekitPresent = C.Hastekit;
    Form->mencoder2->SetChecked(C.Ticked);
    EXPECT_EQ(ApplyMencoderSwaps(C.Line, C.Kind), C.Expected) << C.Name;
  }
  FfmpegAddonPresent = true;
  EXPECT_EQ(ApplyFfmpegSwap("\"/w/ffmpeg.exe\" -i \"/v/ffmpeg.exe.avi\""), "\"/w/ffmpeg2.exe\" -i \"/v/ffmpeg.exe.avi\"");
  FfmpegAddonPresent = false;
  EXPECT_EQ(ApplyFfmpegSwap("\"/w/ffmpeg.exe\" -i x"), "\"/w/ffmpeg.exe\" -i x");
}

}  // namespace
