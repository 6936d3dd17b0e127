// The program on a private Xvfb, driven as a user drives it: a clip given on the command line, a
// device chosen in the brand and model boxes with the pointer and the keys (XTest), Go clicked.
// While the conversion runs the status line must follow its steps and the gauge must move (the
// window is then saved to the gallery as "program-converting.png"); at the end the
// source row reads "Done" and the output file exists. The windows are the program's own, made as
// start-up makes them; the run happens in a child process that owns the X connection. Skipped
// when Xvfb or one of the tools is missing.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "app/AboutBox.h"
#include "app/HistoryWindow.h"
#include "app/MainWindow.h"
#include "app/ProgramMain.h"
#include "app/FormSkin.h"
#include "skin/foundation/SkinData.h"
#include "core/SourceRow.h"
#include "platform/os/ToolLinks.h"
#include "platform/vcl/Dialogs.h"
#include "platform/display/Screenshot.h"
#include "platform/vcl/Timer.h"
#include "tests/extctrls/XTestInput.h"
#include "tests/support/TempDirTest.h"
#include "tests/support/XvfbChildRun.h"

namespace {

constexpr const char* ServerVariable = "QV_PROGRAM_X11";

bool Installed(const char* Tool)
{
  const char* Path = getenv("PATH");
  return !qv::os::FindProgramOnPath(Tool, Path ? Path : "").empty();
}

// Pumps until Done holds or Seconds pass.
bool PumpFor(TDisplayBackend* Display, int Seconds, const std::function<bool()>& Done)
{
  for (int I = 0; I < Seconds * 100; ++I) {
    Application->ProcessMessages();
    Display->Flush();
    if (Done()) return true;
    usleep(10000);
  }
  return false;
}

void ClickCentre(TXTestInput& Input, TControl* C)
{
  const TPoint P = C->ClientToScreen(Point(C->GetWidth() / 2, C->GetHeight() / 2));
  Input.Click(P.x, P.y, 1);
}

// Clicks the combo, closes its list if the click opened it, and steps with the arrow keys to the
// item named Item.
void ChooseInCombo(TXTestInput& Input, TDisplayBackend* Display, TskSkinComboBox* Combo, const String& Item)
{
  const int Wanted = Combo->GetItems()->IndexOf(Item);
  ASSERT_GE(Wanted, 0) << Item << " is not offered";
  ClickCentre(Input, Combo);
  ASSERT_TRUE(PumpFor(Display, 3, [&] { return Combo->Focused(); })) << "the click did not focus the box";
  PumpDisplay(Display, 10);
  if (Combo->GetListBox()->GetVisible()) {
    Input.Key("Escape");
    ASSERT_TRUE(PumpFor(Display, 3, [&] { return !Combo->GetListBox()->GetVisible(); }));
  }
  for (int Step = 0; Step < 200 && Combo->GetItemIndex() != Wanted; ++Step) {
    const int Before = Combo->GetItemIndex();
    Input.Key(Before < Wanted ? "Down" : "Up");
    ASSERT_TRUE(PumpFor(Display, 3, [&] { return Combo->GetItemIndex() != Before; })) << "the key did not step";
  }
  EXPECT_EQ(Combo->GetText(), Item);
}

// The colours of the gauge on the screen near its left and its right end, halfway down.
std::pair<std::uint32_t, std::uint32_t> GaugeEnds(TDisplayBackend* Display, TMainWindow* W)
{
  std::vector<std::uint32_t> Pixels;
  int Width = 0, Height = 0;
  if (!Display->ReadPixels(GetDisplayWindow(W->GetHandle()), Pixels, Width, Height)) return {0, 0};
  RECT Outer{};
  GetWindowRect(W->GetHandle(), &Outer);
  TControl* G = W->progressbar1;
  const TPoint At = G->ClientToScreen(Point(0, G->GetHeight() / 2));
  const int X = At.x - Outer.left, Y = At.y - Outer.top;
  auto Pixel = [&](int Dx) {
    const int Px = X + Dx;
    return Px >= 0 && Px < Width && Y >= 0 && Y < Height ? Pixels[Y * Width + Px] & 0xFFFFFF : 0u;
  };
  return {Pixel(G->GetWidth() / 20), Pixel(G->GetWidth() - G->GetWidth() / 20)};
}

class TProgramX11 : public TTempDirTest {
protected:
  void SetUp() override
  {
    TTempDirTest::SetUp();
    Home = Dir + "home/";
    Clip = Dir + "media/Short \"clip\".mpg";
  }
  std::string Home, Clip;
};

TEST_F(TProgramX11, DeviceChosenWithTheMouseAndKeysConvertsWithProgressShown)
{
  const bool Child = getenv(ServerVariable) != nullptr;
  if (!Child) {
    for (const char* Tool : {"mplayer", "mencoder", "ffmpeg"})
      if (!Installed(Tool)) GTEST_SKIP() << Tool << " is not installed";
  }
  const TXvfbChild Where = RunOnXvfbChild(ServerVariable, [&](const char* Server, TDisplayBackend* Display) {
    // The child makes its own home, clip and settings (the parent's temporary folder is its own).
    setenv("HOME", Home.c_str(), 1);
    setenv("XDG_DATA_HOME", (Home + ".local/share").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (Home + ".config").c_str(), 1);
    const std::string Work = Home + ".local/share/Quelvo3/";
    std::filesystem::create_directories(Work);
    std::filesystem::create_directories(Home + ".mplayer");
    std::filesystem::create_directories(Dir + "media");
    WriteBytes(Home + ".mplayer/config", "ao=null\nlirc=no\n");
    // 90 s of clip: the encoder runs for a few seconds here, across several of the once-a-second
    // ticks that carry its progress to the gauge (a clip converted within the first second shows
    // no progress at all).
    ASSERT_EQ(0, system(("ffmpeg -v error -y -f lavfi -i testsrc2=size=320x240:rate=25 -f lavfi -i "
                         "sine=frequency=440:sample_rate=44100 -t 90 -c:v mpeg2video -q:v 2 -c:a mp2 -ac 2 '" +
                         Clip + "'")
                            .c_str()));
    SetDialogHandler([](TDialogRequest&) { return mrOk; });

    TXTestInput Input(Server);
    ASSERT_TRUE(Input.Ok());
    String Failure;
    ASSERT_TRUE(CreateProgramWindows({Clip}, Failure)) << Failure;
    TMainWindow* W = ProgramMainWindow();
    W->SetBounds(0, 0, W->GetWidth(), W->GetHeight());
    W->Show();
    PumpDisplay(Display, 20);
    // The command line is scanned two seconds after the start.
    ASSERT_TRUE(PumpFor(Display, 20, [&] { return W->StringGrid1->GetCells(scConvert, 1) == "Yes"; }))
        << "the clip was not taken: " << W->status->GetCaption() << "\n" << W->log->GetText();

    ChooseInCombo(Input, Display, W->brand, "HD ( 720)");
    ChooseInCombo(Input, Display, W->model, "NMT XVID");
    // The output goes beside the source.
    W->videofolder->SetChecked(true);

    // Go runs the conversion inside its own message loop: a timer looks at the window while it
    // runs, as the user's eye would.
    std::set<String> Captions;
    int Gauge = 0, GaugeMax = 0;
    // Idle, the gauge is one colour from end to end.
    const auto IdleEnds = GaugeEnds(Display, W);
    EXPECT_EQ(IdleEnds.first, IdleEnds.second) << "the idle gauge shows progress";
    bool Shot = false;
    std::pair<std::uint32_t, std::uint32_t> RunEnds{0, 0};
    int ShotValue = 0;
    const String Idle = W->status->GetCaption();
    TTimer Eye(nullptr);
    Eye.SetInterval(20);
    Eye.SetOnTimer([&](TObject*) {
      if (W->StringGrid1->GetCells(scConvert, 1) == "Done") return;
      Captions.insert(W->status->GetCaption());
      Gauge = std::max(Gauge, W->progressbar1->GetValue());
      GaugeMax = W->progressbar1->GetMaxValue();
      // Once the gauge stands well inside its range, the window as the user sees it joins the
      // gallery, and its gauge must read filled at the left and empty at the right.
      const int Value = W->progressbar1->GetValue();
      if (!Shot && Value > GaugeMax / 10 && Value < GaugeMax * 9 / 10) {
        Shot = true;
        ShotValue = Value;
        W->Repaint();
        PumpDisplay(Display, 5);
        RunEnds = GaugeEnds(Display, W);
        SaveWindowPng(*Display, GetDisplayWindow(W->GetHandle()), String(QV_TEST_BIN_DIR) + "/../program-converting.png");
      }
    });
    Eye.SetEnabled(true);
    ClickCentre(Input, W->b1);
    const bool Done =
        PumpFor(Display, 100, [&] { return W->StringGrid1->GetCells(scConvert, 1) == "Done"; });
    Eye.SetEnabled(false);
    EXPECT_TRUE(Done) << "the row reads " << W->StringGrid1->GetCells(scConvert, 1) << "; status "
                      << W->status->GetCaption();
    // The status line walks through the run's steps (start, crop detection positions ...).
    EXPECT_GE(Captions.size(), 3u) << "the status line did not follow the run (idle: " << Idle << ")";
    // The gauge moved while the clip was converted (its end is the clip's length in seconds).
    ASSERT_TRUE(Shot) << "the gauge never stood inside its range (highest " << Gauge << " of " << GaugeMax << ")";
    EXPECT_NE(RunEnds.first, RunEnds.second) << "the gauge at " << ShotValue << " of " << GaugeMax
                                             << " looks as it does idle";
    EXPECT_GT(Gauge, 0) << "the gauge did not move (its end: " << GaugeMax << ")" << [&] {
      std::string All;
      for (const String& C : Captions) All += C + "\n";
      return All;
    }();
    std::string All;
    for (const String& C : Captions) All += C + "\n";
    EXPECT_NE(All.find(" of "), std::string::npos) << "no progress in the status line:\n" << All;
    bool Written = false;
    for (const auto& E : std::filesystem::directory_iterator(Dir + "media"))
      if (E.path().extension() == ".avi" && std::filesystem::file_size(E.path()) > 10000) Written = true;
    EXPECT_TRUE(Written) << "no output beside the clip";
    DestroyProgramWindows();
    SetDialogHandler(nullptr);
  }, false);
  if (Where == TXvfbChild::NoServer) GTEST_SKIP() << "Xvfb is not available";
}

// The program's windows in each built-in skin, as start-up makes them, saved to the gallery:
// the main window (its main page and its settings pages), the history window and the about box.
class TProgramGallery : public TProgramX11, public testing::WithParamInterface<const char*> {};

TEST_P(TProgramGallery, WindowsInTheSkin)
{
  const std::string Skin = GetParam();
  const std::string Variable = "QV_PROGRAM_GALLERY_X11_" + Skin;
  const TXvfbChild Where = RunOnXvfbChild(Variable.c_str(), [&](const char*, TDisplayBackend* Display) {
    setenv("HOME", Home.c_str(), 1);
    setenv("XDG_DATA_HOME", (Home + ".local/share").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (Home + ".config").c_str(), 1);
    setenv("QV_SKIN", Skin.c_str(), 1);
    std::filesystem::create_directories(Home + "Videos");
    SetDialogHandler([](TDialogRequest&) { return mrOk; });
    String Failure;
    ASSERT_TRUE(CreateProgramWindows({}, Failure)) << Failure;
    TMainWindow* W = ProgramMainWindow();
    const String Base = String(QV_TEST_BIN_DIR) + "/../program-" + Skin + "-";
    auto Save = [&](TForm* F, const char* Name) {
      F->Show();
      PumpDisplay(Display, 30);
      EXPECT_TRUE(SaveWindowPng(*Display, GetDisplayWindow(F->GetHandle()), Base + Name + ".png")) << Name;
    };
    Save(W, "main");
    // The run buttons' plain panel wears the skin's face, not the system's grey.
    EXPECT_EQ(W->cbuttons->GetColor(), ProgramSkinData()->SkinColors->cbtnface);
    // Everything of the window stays on a 1024 x 768 screen.
    EXPECT_LE(W->GetWidth(), 1024);
    EXPECT_LE(W->GetHeight(), 768);
    W->skSkinSpeedButton8Click(W);
    Save(W, "settings");
    EXPECT_EQ(W->skSkinSpeedButton8->GetCaption(), "Hide settings");
    W->skSkinSpeedButton8Click(W);
    Save(ProgramHistoryWindow(), "history");
    ShowAboutBox();
    Save(ProgramAboutBox(), "about");
    DestroyProgramWindows();
    SetDialogHandler(nullptr);
  });
  if (Where == TXvfbChild::NoServer) GTEST_SKIP() << "Xvfb is not available";
  if (Where == TXvfbChild::Parent) {
    for (const char* Name : {"main", "settings", "history", "about"})
      EXPECT_TRUE(std::filesystem::exists(std::string(QV_TEST_BIN_DIR) + "/../program-" + Skin + "-" + Name + ".png"))
          << Name;
  }
}

INSTANTIATE_TEST_SUITE_P(Skins, TProgramGallery, testing::Values("controls", "frame"),
                         [](const auto& Info) { return std::string(Info.param); });

}  // namespace
