// Frame grabs and both border measurements with the installed mplayer tools and ffmpeg: a
// moving test picture is padded with black bars by ffmpeg at test time, and the crops found
// must agree with the bars drawn, within the rounding of each measurement. Skipped when a
// tool is missing.
#include <gtest/gtest.h>

#include <cstdlib>

#include "CropTestSupport.h"
#include "core/CropDetect.h"
#include "core/PreviewFrames.h"

namespace {

using namespace croptest;

struct TBars {
  int Left, Right, Top, Bottom;
};

class RealToolsCrop : public TCropTest {
protected:
  void SetUp() override
  {
    TCropTest::SetUp();
    if (!UseRealTools()) GTEST_SKIP() << "mplayer, mencoder or ffmpeg is not installed";
  }
  // A 3-second 320 x 240 clip: the test picture padded with black bars.
  std::string MakeClip(const TBars& B)
  {
    const std::string Path = Dir + "bars.avi";
    const int W = 320 - B.Left - B.Right;
    const int H = 240 - B.Top - B.Bottom;
    const std::string Command = "ffmpeg -v error -y -f lavfi -i testsrc=size=" + std::to_string(W) + "x" +
                                std::to_string(H) + ":rate=25 -f lavfi -i sine=d=3 -t 3 -vf pad=320:240:" +
                                std::to_string(B.Left) + ":" + std::to_string(B.Top) +
                                ":black -c:v mpeg4 -q:v 2 -c:a mp3 -shortest \"" + Path + "\" </dev/null";
    EXPECT_EQ(std::system(Command.c_str()), 0);
    return Path;
  }
  int Cell(TskSkinStringGrid* G, int Row, int Col) { return std::stoi(G->GetCells(Col, Row)); }
};

// The bars end on the encoders' block grid (8 x 8 blocks of the half-size clip, 16 x 16 of its
// JPEG's colour): an edge inside a block makes the block ring, and the ringing is picture to
// the measurement, so such a bar would be found a block short.
const TBars Letterbox{0, 0, 32, 32};
const TBars FourSides{32, 32, 32, 32};

// The preview's values: the top and left give the index of the innermost black line of the
// half-size frame doubled (the bar less 2), right and bottom its count doubled (the bar); the
// encoders may soften the picture's edge by one line of the frame.
void ExpectPreviewCrop(TskSkinStringGrid* G, int Row, const TBars& B)
{
  const int Drawn[4] = {B.Left, B.Right, B.Top, B.Bottom};
  for (int Side = 0; Side < 4; ++Side) {
    const int Value = std::stoi(G->GetCells(42 + Side, Row));
    if (Drawn[Side] == 0) {
      EXPECT_EQ(Value, 0) << "side " << Side;
    } else {
      EXPECT_GE(Value, Drawn[Side] - 4) << "side " << Side;
      EXPECT_LE(Value, Drawn[Side] + 2) << "side " << Side;
    }
  }
}

TEST_F(RealToolsCrop, PreviewMeasurementFindsTheDrawnBars)
{
  for (const TBars& B : {Letterbox, FourSides}) {
    const std::string Clip = MakeClip(B);
    SetSourceRow(1, "VIDEO", 320, 240, 320, 240, "\"" + Clip + "\"");
    DetectBlackBorders(1);
    ExpectPreviewCrop(Form->StringGrid1, 1, B);
    EXPECT_EQ(PreviewFrameImage()->GetWidth(), 160);
    EXPECT_EQ(PreviewFrameImage()->GetHeight(), 120);
    // The letterbox without side bars is cropped by hand too.
    EXPECT_EQ(Form->StringGrid1->GetCells(46, 1).rfind("crop=", 0), 0u) << Form->StringGrid1->GetCells(46, 1);
    EXPECT_FALSE(BatchRunning);
  }
}

TEST_F(RealToolsCrop, BatchDetectionFindsTheDrawnBars)
{
  const std::string Clip = MakeClip(FourSides);
  SetSourceRow(1, "VIDEO", 320, 240, 320, 240, "\"" + Clip + "\"");
  TskSkinStringGrid* J = Form->convertgrid;
  for (auto [Col, Value] : {std::pair{0, "00001"}, {6, ""}, {15, "3"}, {16, "320x240"}, {27, "320"}, {28, "240"},
                            {53, "320"}, {54, "240"}, {58, "1"}})
    J->SetCells(Col, 1, Value);
  J->SetCells(6, 1, "\"" + Clip + "\"");
  EXPECT_EQ(AutoDetectCrop(1), TCropDetectResult::Measured);
  // The batch value of a side is one or two lines past the bar in the frame, to a multiple of 4
  // display pixels, plus 2: from the bar + 2 up to the bar + 8 (one more frame line of
  // softened edge allowed).
  const int Drawn[4] = {FourSides.Left, FourSides.Right, FourSides.Top, FourSides.Bottom};
  for (int Side = 0; Side < 4; ++Side) {
    const int Value = Cell(J, 1, 42 + Side);
    EXPECT_GE(Value, Drawn[Side]) << "side " << Side;
    EXPECT_LE(Value, Drawn[Side] + 10) << "side " << Side;
  }
  EXPECT_EQ(J->GetCells(46, 1).rfind("crop=", 0), 0u);
}

TEST_F(RealToolsCrop, SourceEndingBeforeThePositionGivesNoCrop)
{
  const std::string Clip = MakeClip(Letterbox);
  SetSourceRow(1, "VIDEO", 320, 240, 320, 240, "\"" + Clip + "\"");
  DetectBlackBorders(1);  // a frame of this very source first
  DetectBlackBorders(60);
  EXPECT_EQ(Cells(Form->StringGrid1, 1, {42, 43, 44, 45, 46}), (std::vector<std::string>{"0", "0", "0", "0", ""}));
  EXPECT_FALSE(BatchRunning);
  EXPECT_FALSE(ToolRunning);
}

}  // namespace
