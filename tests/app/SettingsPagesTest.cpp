// (Kept after the program-units suite in the test binary: that suite makes the first window.)
// The option pages, the menus and the links of the program's main window (headless): area
// switching, every stored option kept across a restart of the program, the Send To and Startup
// desktop entries, the help and web links through a recording opener, the contact mail and the
// add-on switch.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

#include "app/OptionPages.h"
#include "app/QueueEditPanel.h"
#include "core/SourceRow.h"
#include "core/qv_functions.h"
#include "platform/os/Folders.h"
#include "platform/os/Shell.h"
#include "platform/os/Shortcuts.h"
#include "tests/app/ProgramHomeTest.h"
#include "tests/core/RunnerTestSupport.h"

namespace {

class TOptionPagesTest : public TProgramHomeTest {
protected:
  void SetUp() override
  {
    TProgramHomeTest::SetUp();
    runnertest::EnsureHeadlessDisplay();
    ASSERT_TRUE(Start()) << Failure;
  }
  void TearDown() override
  {
    SetShellOpener("xdg-open");
    TProgramHomeTest::TearDown();
  }
  TOptionPages* O() { return W()->Options.get(); }
  // An opener that writes each argument it gets on a line of Dir + "opened".
  void RecordOpener()
  {
    const std::string Script = Dir + "opener";
    WriteBytes(Script, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + Dir + "opened'; done\n");
    chmod(Script.c_str(), 0755);
    SetShellOpener(Script);
  }
  // A plain word percent-encoded (the device names hold letters, digits and blanks).
  static std::string PercentOf(const String& S)
  {
    std::string Out;
    for (char C : S) Out += C == ' ' ? std::string("%20") : std::string(1, C);
    return Out;
  }
  // The lines the opener got, once N lines are there (or after five seconds).
  std::string Opened(size_t N)
  {
    for (int I = 0; I < 500; ++I) {
      const std::string Text = ReadBytes(Dir + "opened");
      if (static_cast<size_t>(std::count(Text.begin(), Text.end(), '\n')) >= N) return Text;
      usleep(10000);
    }
    return ReadBytes(Dir + "opened");
  }
};

TEST_F(TOptionPagesTest, AreasComeToTheFrontAsTheActionsSay)
{
  TMainWindow* M = W();
  auto Front = [](TControl* C) {
    TWinControl* Parent = C->GetParent();
    return Parent->GetControl(Parent->GetControlCount() - 1) == C;
  };
  O()->OpenSettingsPage(2);
  EXPECT_TRUE(M->Panel13->GetVisible());
  EXPECT_FALSE(M->p1->GetVisible());
  EXPECT_EQ(M->skSkinPageControl1->GetActivePageIndex(), 2);
  EXPECT_EQ(M->skSkinSpeedButton8->GetCaption(), "Hide settings");
  // View > "Add to Queue" while the settings are in front changes nothing visible.
  O()->MenuItem({"View", "Add to Queue"})->Click();
  EXPECT_FALSE(M->p1->GetVisible());
  EXPECT_TRUE(Front(M->addstuff));
  // The settings toggle pressed twice: back on the main page.
  M->skSkinSpeedButton8->OnClick(M->skSkinSpeedButton8);
  EXPECT_TRUE(M->p1->GetVisible());
  EXPECT_EQ(M->skSkinSpeedButton8->GetCaption(), "Global settings");
  M->skSkinSpeedButton8->OnClick(M->skSkinSpeedButton8);
  M->skSkinSpeedButton8->OnClick(M->skSkinSpeedButton8);
  EXPECT_EQ(M->skSkinSpeedButton8->GetCaption(), "Global settings");

  const struct {
    const char* What;
    std::function<void()> Do;
    TControl* Front;
    bool MainPage;
  } Cases[] = {
      {"Edit video settings", [&] { O()->editsettings->OnClick(nullptr); }, M->QueueEdit->modify, true},
      {"Add videos", [&] { M->skSkinSpeedButton4->OnClick(nullptr); }, M->addstuff, true},
      {"Modify", [&] { O()->skSkinSpeedButton3->OnClick(nullptr); }, M->Panel18, true},
      {"View > Selection settings", [&] { O()->MenuItem({"View", "Selection settings"})->Click(); },
       M->QueueEdit->modify, true},
      {"View > Device settings", [&] { O()->MenuItem({"View", "Device settings"})->Click(); }, M->Panel18, true},
      {"View > Conversion Status", [&] { O()->MenuItem({"View", "Conversion Status"})->Click(); }, M->g2, true},
      {"View > Global Settings > Help", [&] { O()->MenuItem({"View", "Global Settings", "Help"})->Click(); },
       M->Panel13, false},
  };
  for (const auto& C : Cases) {
    C.Do();
    EXPECT_TRUE(Front(C.Front)) << C.What;
    EXPECT_EQ(M->p1->GetVisible(), C.MainPage) << C.What;
  }
  EXPECT_EQ(M->skSkinPageControl1->GetActivePageIndex(), 5);
  // While a conversion runs, the job list stays in front of the queue.
  Converting = true;
  O()->modifyclick(nullptr);
  Converting = false;
  EXPECT_TRUE(Front(M->g2));
}

TEST_F(TOptionPagesTest, EveryStoredOptionTickedInTheWindowIsThereAfterARestart)
{
  struct TBox {
    const char* Name;
    bool Value;
  };
  // Each box set away from its default (on-by-default ones unticked).
  const TBox Boxes[] = {{"finuse", true},       {"radiobutton12", true},        {"checkbox4", true},
                        {"askscan", true},      {"checkbox5", true},            {"checkbox8", true},
                        {"episodes", true},     {"checkbox1", true},            {"selfexit", true},
                        {"checkbox2", true},    {"checkbox9", false},           {"checkbox10", false},
                        {"checkbox11", false},  {"checkbox12", true},           {"checkbox13", true},
                        {"videofolder", true},  {"skSkinCheckRadioBox4x", true}, {"skSkinCheckRadioBox4", false},
                        {"mencoder2", false},   {"mplayer2", true},             {"detect2", true},
                        {"skSkinCheckRadioBox5", true}, {"skSkinCheckRadioBox6", true},
                        {"skSkinCheckRadioBox7", true}, {"skSkinCheckRadioBox8", true},
                        {"dvdnav", true},       {"cc", true},                   {"skSkinCheckRadioBox12", true},
                        {"skSkinCheckRadioBox13", true}, {"savestatus", true},   {"deint", true}};
  const struct {
    const char* Name;
    int Index;
  } Combos[] = {{"prioritybox1", 3}, {"combobox4", 30}, {"combobox5", 31}, {"combobox6", 32},
                {"combobox7", 33},   {"fpstext", 2}};
  const struct {
    const char* Name;
    double Value;
  } Spins[] = {{"limit", 7}, {"corecount", 3}, {"monitorvalue", 30}, {"skSkinSpinEdit5", 1200}};
  auto Find = [this](const char* Name) { return W()->FindComponent(Name); };

  for (const auto& B : Boxes) dynamic_cast<TskSkinCheckRadioBox*>(Find(B.Name))->SetChecked(B.Value);
  for (const auto& C : Combos) dynamic_cast<TskSkinComboBox*>(Find(C.Name))->SetItemIndex(C.Index);
  for (const auto& S : Spins) dynamic_cast<TskSkinSpinEdit*>(Find(S.Name))->SetValue(S.Value);
  W()->skSkinLabel2->SetCaption("/opt/before \"x\".sh");
  W()->skSkinLabel3->SetCaption("/opt/after.sh");
  W()->Edit1->SetVisible(true);
  W()->log->SetVisible(true);
  W()->ExitApp();
  DestroyProgramWindows();
  ASSERT_TRUE(Start()) << Failure;

  for (const auto& B : Boxes)
    EXPECT_EQ(dynamic_cast<TskSkinCheckRadioBox*>(Find(B.Name))->GetChecked(), B.Value) << B.Name;
  EXPECT_FALSE(W()->radiobutton2->GetChecked()) << "the crop group has one choice";
  for (const auto& C : Combos) EXPECT_EQ(dynamic_cast<TskSkinComboBox*>(Find(C.Name))->GetItemIndex(), C.Index) << C.Name;
  for (const auto& S : Spins) EXPECT_EQ(dynamic_cast<TskSkinSpinEdit*>(Find(S.Name))->GetValue(), S.Value) << S.Name;
  EXPECT_EQ(MinTitleSeconds, 1200);
  EXPECT_EQ(W()->skSkinStdLabel25->GetCaption(), "(0:20:00)");
  EXPECT_EQ(W()->skSkinLabel2->GetCaption(), "/opt/before \"x\".sh");
  EXPECT_EQ(W()->skSkinLabel3->GetCaption(), "/opt/after.sh");
  EXPECT_TRUE(W()->Edit1->GetVisible());
  EXPECT_TRUE(W()->log->GetVisible());
  EXPECT_TRUE(W()->skTrayIcon1->MinimizeToTray);
}

TEST_F(TOptionPagesTest, SendToAndStartupBecomeDesktopEntriesWhileTicked)
{
  const std::string OpenWith = Home + ".local/share/applications/Quelvo 3.desktop";
  const std::string Autostart = Home + ".config/autostart/Quelvo 3.desktop";
  W()->skSkinCheckRadioBox7->SetChecked(true);
  W()->skSkinCheckRadioBox8->SetChecked(true);
  ASSERT_TRUE(std::filesystem::exists(OpenWith));
  ASSERT_TRUE(std::filesystem::exists(Autostart));
  const std::string Entry = ReadBytes(OpenWith);
  EXPECT_NE(Entry.find(" %F\n"), std::string::npos) << Entry;
  EXPECT_NE(Entry.find("MimeType=video/mpeg;"), std::string::npos) << Entry;
  EXPECT_NE(Entry.find("inode/directory;"), std::string::npos) << Entry;
  EXPECT_NE(Entry.find("NoDisplay=true"), std::string::npos) << Entry;
  EXPECT_EQ(ReadBytes(Autostart).find("%F"), std::string::npos) << "the autostart entry takes no files";
  TShellLink Link;
  ASSERT_EQ(Link.Load(OpenWith, 0), S_OK);
  EXPECT_EQ(Link.Path(), Application->GetExeName());
  EXPECT_EQ(Link.Arguments(), "");

  // A shortcut deleted by hand comes back at the next start while the option is stored.
  W()->ExitApp();
  DestroyProgramWindows();
  std::filesystem::remove(OpenWith);
  ASSERT_TRUE(Start()) << Failure;
  EXPECT_TRUE(std::filesystem::exists(OpenWith));
  W()->skSkinCheckRadioBox7->SetChecked(false);
  W()->skSkinCheckRadioBox8->SetChecked(false);
  EXPECT_FALSE(std::filesystem::exists(OpenWith));
  EXPECT_FALSE(std::filesystem::exists(Autostart));
}

TEST_F(TOptionPagesTest, AnOpenWithEntryKeepsAnyProgramPathWhole)
{
  const struct {
    const char* What;
    std::string Path;
  } Cases[] = {{"blank and quote", "/opt/my \"video\" tools/quelvo3"},
               {"backslash, dollar, backquote, percent", "/opt/a\\b$HOME`x`%F/quelvo3"},
               {"newline and tab", "/opt/line\nbreak\ttab/quelvo3"},
               {"leading dash", "-rf/quelvo3"},
               {"not UTF-8", "/opt/\xFF\xFE/quelvo3"}};
  for (const auto& C : Cases) {
    TShellLink Link;
    Link.SetPath(C.Path.c_str());
    Link.SetOpenWith("video/mpeg;");
    const std::string File = Dir + "entry.desktop";
    ASSERT_EQ(Link.Save(File, TRUE), S_OK) << C.What;
    TShellLink Back;
    ASSERT_EQ(Back.Load(File, 0), S_OK) << C.What;
    EXPECT_EQ(Back.Path(), C.Path) << C.What;
    EXPECT_EQ(Back.Arguments(), "") << C.What << ": the field code is no argument";
    const std::string Text = ReadBytes(File);
    EXPECT_EQ(std::count(Text.begin(), Text.end(), '\n'), 7) << C.What << ": one line per key\n" << Text;
  }
}

TEST_F(TOptionPagesTest, HelpLinksAndTheMailGoToTheDesktopsOpener)
{
  RecordOpener();
  ProgramFolder = Dir + "program/";
  std::filesystem::create_directories(ProgramFolder);
  for (const char* F : {"manual.pdf", "tcpmp.html", "wme.html"}) WriteBytes(ProgramFolder + F, "x");
  const struct {
    const char* What;
    std::function<void()> Do;
    std::string Opened;
  } Cases[] = {
      {"User Guide", [&] { O()->skSkinSpeedButton7->OnClick(nullptr); }, ProgramFolder + "manual.pdf"},
      {"TCPMP info", [&] { O()->PopupItem({"Help", "TCPMP info"})->Click(); }, ProgramFolder + "tcpmp.html"},
      {"WMV info", [&] { O()->PopupItem({"Help", "WMV info"})->Click(); }, ProgramFolder + "wme.html"},
      {"info button", [&] {
         W()->tcpmp->SetCaption("TCPMP info");
         W()->tcpmp->OnClick(nullptr);
       }, ProgramFolder + "tcpmp.html"},
      {"website", [&] { O()->PopupItem({"Help", "Quelvo website"})->Click(); }, MakerSite().Website},
      {"Hastekit not installed.", [&] { O()->bp1->OnClick(nullptr); }, MakerSite().Website},
      {"Download the Hastekit", [&] { O()->bp2->OnClick(nullptr); }, MakerSite().HastekitDownload},
      {"Download the Preview Fix", [&] { O()->pf2->OnClick(nullptr); }, MakerSite().PreviewFixDownload},
      {"Speed booster", [&] { O()->MenuItem({"Help", "Speed booster"})->Click(); }, MakerSite().HastekitPage},
      {"Email us", [&] { O()->MenuItem({"Email us"})->Click(); },
       "mailto:" + MakerSite().Support + "?subject=Quelvo%203%20Build%203.83.1%20Support%20Request%20%28" +
           PercentOf(W()->brand->GetText()) + "%20" + PercentOf(W()->model->GetText()) + "%20No%20Hastekit%29&body="},
  };
  size_t Lines = 0;
  for (const auto& C : Cases) {
    C.Do();
    ++Lines;
    const std::string All = Opened(Lines);
    const size_t Start = All.rfind('\n', All.size() - 2);
    const std::string Last = All.substr(Start == std::string::npos ? 0 : Start + 1);
    EXPECT_EQ(Last.substr(0, C.Opened.size()), C.Opened) << C.What;
  }
  EXPECT_EQ(O()->ContactSubject(),
            "Quelvo 3 Build 3.83.1 Support Request (" + W()->brand->GetText() + " " + W()->model->GetText() +
                " No Hastekit)");
}

TEST_F(TOptionPagesTest, TheMailAddressCarriesSubjectAndBodyAsData)
{
  const struct {
    const char* Subject;
    const char* Body;
    const char* Url;
  } Cases[] = {{"a b", "c", "mailto:s@x?subject=a%20b&body=c"},
               {"Phone & Co X?1 #2", "x=y", "mailto:s@x?subject=Phone%20%26%20Co%20X%3F1%20%232&body=x%3Dy"},
               {"100% \\ \"q\"", "line\\nnext", "mailto:s@x?subject=100%25%20%5C%20%22q%22&body=line%5Cnnext"},
               {"caf\xC3\xA9", "\r\n", "mailto:s@x?subject=caf%C3%A9&body=%0D%0A"},
               {"-a.b_c~", "", "mailto:s@x?subject=-a.b_c~&body="}};
  for (const auto& C : Cases) EXPECT_EQ(MailtoUrl("s@x", C.Subject, C.Body), C.Url) << C.Subject;
}

TEST_F(TOptionPagesTest, TheContactSubjectNamesTheAddOn)
{
  const bool Saved[] = {HastekitPresent, FfmpegAddonPresent};
  const struct {
    bool Hastekit, Ffmpeg, Enabled;
    const char* Ends;
  } Cases[] = {{false, false, true, " No Hastekit)"},
               {true, false, true, " With Hastekit  Enabled)"},
               {true, false, false, " With Hastekit  Installed)"},
               {true, true, true, " With Hastekit 2 Enabled)"}};
  for (const auto& C : Cases) {
    HastekitPresent = C.Hastekit;
    FfmpegAddonPresent = C.Ffmpeg;
    W()->mencoder2->SetChecked(C.Enabled);
    const String S = O()->ContactSubject();
    EXPECT_EQ(S.substr(S.size() - std::string(C.Ends).size()), C.Ends) << S;
  }
  HastekitPresent = Saved[0];
  FfmpegAddonPresent = Saved[1];
}

TEST_F(TOptionPagesTest, EnableHastekitMarksTheTitlesOnlyWithTheAddOn)
{
  const bool Saved = HastekitPresent;
  W()->mencoder2->SetChecked(false);
  W()->mencoder2->SetChecked(true);
  EXPECT_EQ(W()->GetCaption(), "Brannick | Quelvo 3") << "without the add-on no title changes";
  EXPECT_FALSE(W()->corelabel->GetVisible());
  HastekitPresent = true;
  W()->mencoder2->SetChecked(true);
  W()->mencoder2->SetChecked(true);
  EXPECT_EQ(W()->GetCaption(), "Brannick | Quelvo 3+");
  EXPECT_EQ(VersionCaption, "Quelvo 3+ Build 3.83.1");
  EXPECT_TRUE(W()->corelabel->GetVisible());
  W()->mencoder2->SetChecked(false);
  EXPECT_EQ(WindowTitle, "Brannick | Quelvo 3 ");
  EXPECT_FALSE(W()->corecount->GetVisible());
  HastekitPresent = Saved;
}

TEST_F(TOptionPagesTest, TheMinimumPlaytimeShowsItsDuration)
{
  const struct {
    double Value;
    const char* Shown;
    int Stored;
  } Cases[] = {{3600, "(1:00:00)", 3600}, {600, "(0:10:00)", 600}, {1, "(0:00:02)", 2}, {99999, "(10:00:00)", 36000}};
  for (const auto& C : Cases) {
    W()->skSkinSpinEdit5->SetValue(C.Value);
    EXPECT_EQ(W()->skSkinStdLabel25->GetCaption(), C.Shown) << C.Value;
    EXPECT_EQ(MinTitleSeconds, C.Stored) << C.Value;
  }
}

TEST_F(TOptionPagesTest, MenusRunTheQueueCommands)
{
  TskSkinStringGrid* G = W()->StringGrid1;
  G->SetRowCount(4);
  for (int R = 1; R < 4; ++R) {
    G->SetCells(scNumber, R, IntToStr(R));
    G->SetCells(scOutputName, R, "n" + IntToStr(R));
  }
  G->SetRow(2);
  O()->PopupItem({"Remove from queue"})->Click();
  EXPECT_EQ(G->GetRowCount(), 3);
  EXPECT_EQ(G->GetCells(scOutputName, 2), "n3");
  O()->MenuItem({"Edit", "Remove from Queue"})->Click();
  EXPECT_EQ(G->GetRowCount(), 2);
  O()->MenuItem({"Edit", "Clear Queue"})->Click();
  EXPECT_EQ(G->GetCells(scOutputName, 1), "");
  G->SetCells(scOutputName, 1, "x");
  O()->PopupItem({"Empty Queue"})->Click();
  EXPECT_EQ(G->GetCells(scOutputName, 1), "");
  // Every item of both menus has its action, but the context menu's "User Guide".
  std::function<void(TMenuItem*, const std::string&)> Walk = [&](TMenuItem* I, const std::string& Path) {
    for (int K = 0; K < I->GetCount(); ++K) {
      TMenuItem* Sub = I->GetItem(K);
      const std::string Name = Path + "/" + Sub->GetCaption();
      if (Sub->GetCount()) {
        Walk(Sub, Name);
      } else if (Name != "/Help/User Guide" && Name != "/ ") {
        EXPECT_TRUE(static_cast<bool>(Sub->OnClick)) << Name;
      }
    }
  };
  Walk(O()->MainMenu1->GetItems(), "");
  Walk(O()->PopupMenu1->GetItems(), "");
  EXPECT_EQ(W()->GetMenu(), O()->MainMenu1);
}

}  // namespace
