// Batch crop detection of a job row with fake tools (every grab hands over the same fixture
// frame, or none), and the per-side vote as a table.
#include <gtest/gtest.h>

#include "CropTestSupport.h"
#include "core/CropDetect.h"

namespace {

using namespace croptest;

class CropDetect : public TCropTest {
protected:
  void SetUp() override
  {
    TCropTest::SetUp();
    UiSync = false;
    Form->radiobutton3->SetChecked(false);
    Form->radiobutton1->SetChecked(false);
    Form->cbuttons->SetVisible(false);
  }
  // Every grab gives a fixture frame of 160 x 120 with those bars (or none with NoFrame).
  void FakeFrames(int Left, int Right, int Top, int Bottom, bool NoFrame = false)
  {
    WriteFrameJpeg(Dir + "frame.jpg", 160, 120, Left, Right, Top, Bottom);
    UseFakeTools("[mencoder.exe]\nfile $after:-o 4000\n[ffmpeg.exe]\n" +
                 (NoFrame ? std::string("exit 1") : "copy " + Dir + "frame.jpg $last") + "\n");
  }
  // Job row Row of source row 1: stored 320 x 240, display 320 x 240, length Seconds.
  void SetJobRow(int Row, const std::string& Label, const std::string& Seconds = "20",
                 const std::string& Input = "\"/v/a.avi\"")
  {
    SetSourceRow(1, "VIDEO", 320, 240, 320, 240, Input);
    TskSkinStringGrid* J = Form->convertgrid;
    if (J->GetRowCount() <= Row) J->SetRowCount(Row + 1);
    J->SetCells(0, Row, Label);
    J->SetCells(6, Row, Input);
    J->SetCells(15, Row, Seconds);
    J->SetCells(16, Row, "320x240");
    J->SetCells(27, Row, "320");
    J->SetCells(28, Row, "240");
    J->SetCells(53, Row, "320");
    J->SetCells(54, Row, "240");
    J->SetCells(58, Row, "1");
  }
  std::vector<std::string> Crop(int Row = 1) const
  {
    return Cells(Form->convertgrid, Row, {42, 43, 44, 45, 46, 47, 48, 67, 68});
  }
  // The "-ss" values of the clip lines, in order.
  std::vector<int> Positions() const
  {
    std::vector<int> Out;
    for (const auto& L : LinesOf("mencoder.exe")) Out.push_back(std::stoi(L.substr(L.find(" -ss ") + 5)));
    return Out;
  }
  void ExpectIdleEnd()
  {
    EXPECT_FALSE(UiSync);
    EXPECT_TRUE(Form->cbuttons->GetVisible());
    EXPECT_EQ(Form->status->GetCaption(), "");
    EXPECT_FALSE(Form->croptimer->GetEnabled());
    EXPECT_FALSE(ToolRunning);
  }
};

TEST_F(CropDetect, FramesWithoutBordersGiveTenOnEverySide)
{
  FakeFrames(0, 0, 0, 0);
  SetJobRow(1, "00001");
  EXPECT_EQ(AutoDetectCrop(1), TCropDetectResult::Measured);
  // 1, 2, 1, 2 measured, 4 each at least; Round(4 / 2) * 4 = 8 display pixels; + 2.
  EXPECT_EQ(Crop(), (std::vector<std::string>{"10", "10", "10", "10", "crop=304:224:8:8", "304", "224",
                                               "-v_clip 10 10 10 10",
                                               "-croptop 10 -cropbottom 10 -cropleft 10 -cropright 10"}));
  EXPECT_EQ(Form->convertgrid->GetCells(13, 1), "Cropdetection");
  EXPECT_EQ(Form->cropgrid->GetRowCount(), 6);
  for (int K = 1; K <= 5; ++K) {
    EXPECT_EQ(Form->cropgrid->GetCells(0, K), "8") << K;
    EXPECT_TRUE(std::filesystem::exists(Temp(std::to_string(K) + ".jpg"))) << K;
  }
  EXPECT_EQ(Positions(), (std::vector<int>{0, 0, 0, 0, 0}));  // 20 seconds: step Random(1) = 0
  EXPECT_FALSE(Form->b1->GetVisible());
  EXPECT_TRUE(Form->b3->GetVisible());
  ExpectIdleEnd();
}

TEST_F(CropDetect, LetterboxedFramesGiveTheBarsInDisplayPixels)
{
  FakeFrames(0, 0, 16, 16);
  SetJobRow(1, "00001");
  EXPECT_EQ(AutoDetectCrop(1), TCropDetectResult::Measured);
  // Top: row 16 is the outermost picture row, T = 17, Round(8.5) * 4 = 32, + 2; bottom: 18,
  // 36, + 2.
  EXPECT_EQ(Crop(), (std::vector<std::string>{"10", "10", "34", "38", "crop=304:160:8:32", "304", "160",
                                               "-v_clip 10 34 10 38",
                                               "-croptop 34 -cropbottom 38 -cropleft 10 -cropright 10"}));
}

TEST_F(CropDetect, RemoveBlackBarsFromDeviceEnlargesTheCropToFillTheScreen)
{
  struct {
    const char* Name;
    bool NoFrame;
    TCropDetectResult Result;
    std::vector<std::string> Crop;
  } Cases[] = {
      // 720 x 576 shown as 1024 x 576: crop 10 each leaves 996 x 556 display pixels; on 320 x
      // 240 that is 320 x 178, so the sides lose Round(255 / 2.844) = 90, Round(90 / 4) * 4 =
      // 88 more.
      {"measured_crop", false, TCropDetectResult::Measured, {"98", "98", "10", "10", "crop=528:560:96:8"}},
      // Filling the screen needs no frame: the whole 1024 x 576 picture on 4:3 loses 256
      // display pixels of width, 90 stored pixels a side, Round(90 / 4) * 4 = 88.
      {"no_frame_zero_crop", true, TCropDetectResult::NoFrame, {"88", "88", "0", "0", "crop=544:576:88:0"}},
  };
  for (const auto& C : Cases) {
    FakeFrames(0, 0, 0, 0, C.NoFrame);
    SetJobRow(1, "00001");
    for (int Col : {42, 43, 44, 45}) Form->convertgrid->SetCells(Col, 1, "");
    for (auto [Col, Value] : {std::pair{27, "720"}, {28, "576"}, {53, "1024"}, {54, "576"}})
      Form->convertgrid->SetCells(Col, 1, Value);
    Form->radiobutton3->SetChecked(true);
    EXPECT_EQ(AutoDetectCrop(1), C.Result) << C.Name;
    EXPECT_EQ(Cells(Form->convertgrid, 1, {42, 43, 44, 45, 46}), C.Crop) << C.Name;
  }
}

TEST_F(CropDetect, NoCroppingWritesNoCrop)
{
  FakeFrames(0, 0, 16, 16);
  SetJobRow(1, "00001");
  Form->radiobutton1->SetChecked(true);
  EXPECT_EQ(AutoDetectCrop(1), TCropDetectResult::Measured);
  EXPECT_EQ(Cells(Form->convertgrid, 1, {42, 43, 44, 45, 46}), (std::vector<std::string>{"0", "0", "0", "0", ""}));
}

TEST_F(CropDetect, ExistingCropIsKept)
{
  FakeFrames(0, 0, 16, 16);
  SetJobRow(1, "00001");
  TskSkinStringGrid* J = Form->convertgrid;
  J->SetCells(44, 1, "8");
  J->SetCells(46, 1, "crop=by:hand");
  EXPECT_EQ(AutoDetectCrop(1), TCropDetectResult::KeptCrop);
  EXPECT_EQ(Cells(J, 1, {44, 46, 13}), (std::vector<std::string>{"8", "crop=by:hand", ""}));
  EXPECT_TRUE(ToolRuns().empty());
  EXPECT_FALSE(UiSync);
}

TEST_F(CropDetect, SecondPassCopiesTheFirstPassUnchanged)
{
  FakeFrames(0, 0, 16, 16);
  SetJobRow(1, "Pass1");
  SetJobRow(2, "Pass2");
  TskSkinStringGrid* J = Form->convertgrid;
  const std::vector<std::pair<int, std::string>> First = {{46, "crop=304:160:8:32"}, {47, "304"}, {48, "160"},
                                                          {53, "640"}, {54, "360"}, {67, "-v_clip 1 2 3 4"},
                                                          {68, "-croptop 2"}};
  for (const auto& [Col, Value] : First) J->SetCells(Col, 1, Value);
  EXPECT_EQ(AutoDetectCrop(2), TCropDetectResult::SecondPass);
  for (const auto& [Col, Value] : First) EXPECT_EQ(J->GetCells(Col, 2), Value) << Col;
  EXPECT_TRUE(ToolRuns().empty());
}

TEST_F(CropDetect, NoFrameAtAnyPositionLeavesTheCropAtZero)
{
  FakeFrames(0, 0, 16, 16, true);
  SetJobRow(1, "00001");
  // An earlier frame of another job in the frame image must not be measured.
  WriteFrameJpeg(Dir + "other.jpg", 160, 120, 30, 30, 30, 30);
  TBitmap Other;
  Other.LoadFromDibImage(LoadJpegFromFile(Dir + "other.jpg"));
  PreviewFrameImage()->ShowFrame(&Other);
  EXPECT_EQ(AutoDetectCrop(1), TCropDetectResult::NoFrame);
  EXPECT_EQ(Crop(), (std::vector<std::string>{"0", "0", "0", "0", "", "320", "240", "", ""}));
  EXPECT_EQ(ToolRuns().size(), 10u);
  ExpectIdleEnd();
}

TEST_F(CropDetect, StopDuringPositionTwoSkipsTheRestAndBuildsNoTexts)
{
  FakeFrames(0, 0, 16, 16);
  SetJobRow(1, "00001", "7200");
  Form->convertgrid->SetCells(46, 1, "old");
  Form->Edit1->OnChange = [this](TObject*) {
    Lines.push_back(Form->Edit1->GetText());
    if (LinesOf("mencoder.exe").size() == 2) StopRequested = true;
  };
  EXPECT_EQ(AutoDetectCrop(1), TCropDetectResult::Stopped);
  EXPECT_EQ(LinesOf("mencoder.exe").size(), 2u);
  // Rows 3 to 5 kept the "0" of the reset: with the no-crop entry they outvote positions 1, 2.
  EXPECT_EQ(Cells(Form->convertgrid, 1, {42, 43, 44, 45, 46}), (std::vector<std::string>{"2", "2", "2", "2", "old"}));
  EXPECT_TRUE(Form->b1->GetVisible());
  EXPECT_FALSE(Form->b2->GetVisible());
  EXPECT_FALSE(Form->b3->GetVisible());
  EXPECT_TRUE(Form->b4->GetVisible());
  ExpectIdleEnd();
}

TEST_F(CropDetect, PositionsAreMultiplesOfARandomStep)
{
  struct {
    const char* Name;
    const char* Seconds;
    const char* Input;
    int MaxStep;
  } Cases[] = {{"long_input_capped_at_300", "7200", "\"/v/a.avi\"", 300},
               {"dvr_ms_capped_at_15", "7200", "\"/v/a.dvr-ms\"", 15},
               {"ten_minutes", "600,0", "\"/v/a.avi\"", 37},
               {"short_input_all_at_zero", "23.9", "\"/v/a.avi\"", 0}};
  FakeFrames(0, 0, 0, 0);
  for (const auto& C : Cases) {
    // Four detections: a step drawn from 16 or more values is 0 in all four once in 65,536.
    int Largest = 0;
    for (int Try = 0; Try < 4; ++Try) {
      Lines.clear();
      SetJobRow(1, "00001", C.Seconds, C.Input);
      for (int Col : {42, 43, 44, 45}) Form->convertgrid->SetCells(Col, 1, "");
      AutoDetectCrop(1);
      const std::vector<int> P = Positions();
      ASSERT_EQ(P.size(), 5u) << C.Name;
      const int Step = P[0];
      EXPECT_LE(Step, C.MaxStep) << C.Name;
      for (int K = 1; K <= 5; ++K) EXPECT_EQ(P[K - 1], K * Step) << C.Name;
      Largest = std::max(Largest, Step);
    }
    if (C.MaxStep > 0) {
      EXPECT_GT(Largest, 0) << C.Name << ": the positions are spread over the input";
    }
  }
}

TEST_F(CropDetect, BadCellsEndWithNoCropAndTheFlagsRestored)
{
  struct {
    const char* Name;
    int Col;
    const char* Value;
  } Cases[] = {{"stored_width_not_a_number", 27, "wide"},
               {"display_width_not_a_number", 53, "1024px"},
               {"source_row_missing", 58, "99"},
               {"screen_size_not_a_number", 16, "big"},
               {"zero_stored_height", 28, "0"}};
  FakeFrames(0, 0, 0, 0);
  for (const auto& C : Cases) {
    SetJobRow(1, "00001");
    for (int Col : {42, 43, 44, 45}) Form->convertgrid->SetCells(Col, 1, "");
    Form->convertgrid->SetCells(46, 1, "crop=stale");
    Form->radiobutton3->SetChecked(true);
    Form->convertgrid->SetCells(C.Col, 1, C.Value);
    EXPECT_EQ(AutoDetectCrop(1), TCropDetectResult::BadRow) << C.Name;
    EXPECT_EQ(Cells(Form->convertgrid, 1, {42, 43, 44, 45, 46, 67, 68}),
              (std::vector<std::string>{"0", "0", "0", "0", "", "", ""}))
        << C.Name;
    ExpectIdleEnd();
  }
}

struct TVoteCase {
  const char* Name;
  std::vector<const char*> Values;  // rows 0.. of one side; nullptr: no value (no frame)
  const char* Winner;
  std::vector<const char*> Counts;
};

const TVoteCase VoteCases[] = {
    {"all_different_no_crop_wins_the_tie", {"0", "8", "16", "24", "32", "40"}, "0", {"1", "1", "1", "1", "1", "1"}},
    {"two_agree", {"0", "24", "16", "24", "32", "40"}, "24", {"1", "2", "1", "2", "1", "1"}},
    {"majority_of_zero", {"0", "8", "0", "8", "0", "12"}, "0", {"3", "2", "3", "2", "3", "1"}},
    {"later_equal_count_does_not_replace", {"0", "8", "8", "12", "12", "4"}, "8", {"1", "2", "2", "2", "2", "1"}},
    {"positions_without_frame_do_not_vote", {"0", "", "8", "", "8", ""}, "8", {"1", "0", "2", "0", "2", "0"}},
};

TEST_F(CropDetect, VotePerSide)
{
  TStringGrid* Votes = Form->cropgrid;
  for (const auto& C : VoteCases) {
    Votes->SetRowCount(static_cast<int>(C.Values.size()));
    for (size_t R = 0; R < C.Values.size(); ++R) {
      Votes->SetCells(4, static_cast<int>(R), C.Values[R]);
      Votes->SetCells(5, static_cast<int>(R), "0");
    }
    EXPECT_EQ(VoteCropSide(Votes, 4), C.Winner) << C.Name;
    for (size_t R = 0; R < C.Counts.size(); ++R) EXPECT_EQ(Votes->GetCells(5, static_cast<int>(R)), C.Counts[R]) << C.Name << R;
  }
}

}  // namespace
