// Frame grabs and both border measurements with the installed mplayer tools and ffmpeg: a
// moving test picture is padded with black bars by ffmpeg at test time, and the crops found
// must agree with the bars drawn, within the rounding of each measurement. Skipped when a
// tool is missing.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "CropTestSupport.h"
#include "core/BorderMeasure.h"
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

// A broadcast-like letterbox: a moving picture of 480 x 240 with 60 px black bars above and below,
// encoded at a modest rate, so the blocks along the picture's edges ring into the bars and the
// bars carry compression noise. Both measurements must find the same bars at every position:
// the preview's values (cells 44, 45) against the batch measurement of the job's frame at the
// same position (twice the frame's values, the display pixels that position puts to the vote),
// and the preview's values near the drawn bar.
TEST_F(RealToolsCrop, PreviewAndBatchAgreeOnACompressedLetterbox)
{
  struct TEncoding {
    const char* Name;
    const char* Encoder;
    const char* Codec;
  } Encodings[] = {{"mpeg4", "mpeg4", "-c:v mpeg4 -b:v 300k"},
                   {"h264", "libx264", "-c:v libx264 -preset veryfast -g 25 -b:v 250k"}};
  constexpr int Bar = 60;
  for (const auto& E : Encodings) {
    const std::string HasEncoder =
        "ffmpeg -hide_banner -encoders </dev/null 2>/dev/null | grep -qw " + std::string(E.Encoder);
    if (std::system(HasEncoder.c_str()) != 0) {
      std::printf("[ SKIPPED  ] ffmpeg has no %s encoder\n", E.Encoder);
      continue;
    }
    const std::string Clip = Dir + "letterbox-" + E.Name + ".avi";
    const std::string Command =
        "ffmpeg -v error -y -f lavfi -i testsrc2=size=480x240:rate=25 -f lavfi -i sine=d=8 -t 8 "
        "-vf pad=480:360:0:60:black " +
        std::string(E.Codec) + " -c:a mp3 -shortest \"" + Clip + "\" </dev/null";
    ASSERT_EQ(std::system(Command.c_str()), 0) << E.Name;
    SetSourceRow(1, "VIDEO", 480, 360, 480, 360, "\"" + Clip + "\"");
    TskSkinStringGrid* J = Form->convertgrid;
    for (auto [Col, Value] : {std::pair{0, "00001"}, {15, "8"}, {16, "480x360"}, {27, "480"}, {28, "360"},
                              {53, "480"}, {54, "360"}, {58, "1"}})
      J->SetCells(Col, 1, Value);
    J->SetCells(6, 1, "\"" + Clip + "\"");
    for (int Position : {1, 3, 4, 6}) {
      DetectBlackBorders(Position);
      const int PreviewTop = Cell(Form->StringGrid1, 1, 44);
      const int PreviewBottom = Cell(Form->StringGrid1, 1, 45);
      ASSERT_TRUE(GrabJobFrame(Position, 1)) << E.Name << " at " << Position;
      TFrameImage* Image = PreviewFrameImage();
      const TBorders B =
          MeasureBordersBatch(CanvasPixelReader(Image->GetCanvas()), Image->GetWidth(), Image->GetHeight());
      const std::string Where = std::string(E.Name) + " at " + std::to_string(Position) + " s";
      EXPECT_NEAR(PreviewTop, 2 * B.Top, 2) << Where;
      EXPECT_NEAR(PreviewBottom, 2 * B.Bottom, 2) << Where;
      EXPECT_NEAR(PreviewTop, Bar - 2, 2) << Where;  // the top gives the innermost black line's index
      EXPECT_NEAR(PreviewBottom, Bar, 2) << Where;
    }
  }
}

}  // namespace
