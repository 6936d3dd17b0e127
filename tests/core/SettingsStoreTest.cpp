#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "MainFormTestSupport.h"
#include "core/qv_settings.h"

namespace {

using mainformtest::TMainFormTest;

class SettingsStore : public TMainFormTest {
protected:
  void SetUp() override
  {
    TMainFormTest::SetUp();
    WorkFolder = Dir + "work/";
    std::filesystem::create_directories(WorkFolder);
    SetSettingsMessageProc([this](const String& Text) { Messages.push_back(Text); });
  }
  void TearDown() override
  {
    SetSettingsMessageProc(nullptr);
    TMainFormTest::TearDown();
  }
  std::string SettingsPath() const { return WorkFolder + "settings.txt"; }
  void WriteSettings(const std::string& Bytes) { WriteFile(SettingsPath(), Bytes); }
  static void WriteFile(const std::string& Name, const std::string& Bytes)
  {
    std::filesystem::create_directories(std::filesystem::path(Name).parent_path());
    FILE* F = fopen(Name.c_str(), "wb");
    ASSERT_NE(F, nullptr);
    fwrite(Bytes.data(), 1, Bytes.size(), F);
    fclose(F);
  }
  // A fresh main window, as the next start of the program has.
  void Restart()
  {
    delete Form;
    ResetRunState();
    Form = new TForm1(nullptr);
  }
  std::vector<std::string> Messages;
};

std::string Joined(const std::vector<std::string>& Lines)
{
  std::string S;
  for (const auto& L : Lines) S += L + "\r\n";
  return S;
}

// The values start-up gives before the settings are read.
void StartUpValues(TForm1* F)
{
  F->radiobutton2->SetChecked(true);
  F->monitorvalue->SetValue(1);
  F->corecount->SetValue(3);
  F->SetBounds(0, 0, 900, 650);
}

TEST_F(SettingsStore, DefaultsWriteTheFourteenLines)
{
  StartUpValues(Form);
  SaveSettings();
  EXPECT_EQ(ReadBytes(SettingsPath()),
            Joined({"Profile:", "Prio:1", "Crop2", "AudioLang1:24", "AudioLang2:24", "SubsLang1:24", "SubsLang2:24",
                    "TestValue:1", "Corecount:3", "avchdfps:9", "QV_SIZE_W:900", "QV_SIZE_H:650", "Monitor:1",
                    "Minimum:600"}));
  EXPECT_TRUE(std::filesystem::exists(WorkFolder + "profiles/lastprofile.prf"));
  EXPECT_TRUE(Messages.empty());
}

TEST_F(SettingsStore, EveryOptionReadsBackAsItWasWritten)
{
  StartUpValues(Form);
  TivoMak = "1234567890";
  NoDeviceSubfolder = true;
  Form->prioritybox1->SetItemIndex(3);
  Form->radiobutton4x->SetChecked(true);
  for (TskSkinCheckRadioBox* B :
       {Form->finuse, Form->checkbox4, Form->askscan, Form->checkbox5, Form->episodes, Form->checkbox1, Form->selfexit,
        Form->checkbox2, Form->checkbox12, Form->checkbox13, Form->videofolder, Form->skSkinCheckRadioBox4x,
        Form->mplayer2, Form->detect2, Form->skSkinCheckRadioBox5, Form->dvdnav, Form->cc, Form->skSkinCheckRadioBox12,
        Form->skSkinCheckRadioBox13, Form->savestatus, Form->deint})
    B->SetChecked(true);
  Form->checkbox7->SetChecked(true);
  for (TskSkinCheckRadioBox* B : {Form->checkbox9, Form->checkbox10, Form->checkbox11, Form->skSkinCheckRadioBox4,
                                  Form->mencoder2})
    B->SetChecked(false);
  Form->combobox4->SetItemIndex(3);
  Form->combobox7->SetItemIndex(0);
  Form->limit->SetValue(7);
  Form->skSkinLabel2->SetCaption("C:\\tools\\before shutdown.cmd");
  Form->skSkinLabel3->SetCaption("after.sh --explorer");
  Form->fpstext->SetItemIndex(2);
  Form->Edit1->SetVisible(true);
  Form->monitorvalue->SetValue(61);
  Form->skSkinSpinEdit5->SetValue(1200);
  SaveSettings();
  const std::string First = ReadBytes(SettingsPath());

  Restart();
  StartUpValues(Form);
  TivoMak.clear();
  LoadSettings();
  EXPECT_TRUE(Messages.empty()) << Messages[0];
  EXPECT_EQ(TivoMak, "1234567890");
  EXPECT_TRUE(NoDeviceSubfolder);
  EXPECT_EQ(MinTitleSeconds, 1200);
  EXPECT_TRUE(Form->radiobutton4x->GetChecked());
  EXPECT_FALSE(Form->radiobutton2->GetChecked());
  EXPECT_TRUE(Form->checkbox7->GetChecked());
  EXPECT_TRUE(Form->MonitorTimer->GetEnabled());
  EXPECT_EQ(Form->MonitorTimer->GetInterval(), 61u * 60000u);
  Form->SetBounds(0, 0, 10, 10);  // the file's size must come back through the save
  LoadSettings();
  Messages.clear();
  SaveSettings();
  EXPECT_EQ(ReadBytes(SettingsPath()), First);
}

struct TLineCase {
  const char* Name;
  const char* File;
  void (*Check)(TForm1* F);
  bool Reported;  // a line could not be read
};

TEST_F(SettingsStore, EachLineSetsOnlyItsOwnOption)
{
  const TLineCase Cases[] = {
      {"lower-case key changes nothing", "prio:2\r\n",
       [](TForm1* F) { EXPECT_EQ(F->prioritybox1->GetItemIndex(), 1); }, true},
      {"values are trimmed", "Prio: 2\r\n", [](TForm1* F) { EXPECT_EQ(F->prioritybox1->GetItemIndex(), 2); }, false},
      {"non-numeric value is skipped", "Prio:high\r\nAudioLang1:3x\r\n",
       [](TForm1* F) {
         EXPECT_EQ(F->prioritybox1->GetItemIndex(), 1);
         EXPECT_EQ(F->combobox4->GetItemIndex(), 24);
       },
       true},
      {"a command naming shutdown does not power off", "beforecmd:C:\\shutdown.exe -s\r\n",
       [](TForm1* F) {
         EXPECT_EQ(F->skSkinLabel2->GetCaption(), "C:\\shutdown.exe -s");
         EXPECT_FALSE(F->checkbox1->GetChecked());
       },
       false},
      {"free text with other flag words", "after cmd:explorer Startup NoAppend Tray CMD2\r\n",
       [](TForm1* F) {
         EXPECT_TRUE(F->skSkinCheckRadioBox4->GetChecked());
         EXPECT_FALSE(F->skSkinCheckRadioBox8->GetChecked());
         EXPECT_FALSE(F->skSkinCheckRadioBox6->GetChecked());
         EXPECT_FALSE(F->log->GetVisible());
         EXPECT_FALSE(NoDeviceSubfolder);
       },
       false},
      {"the flag itself", "shutdown\r\nexplorer\r\n",
       [](TForm1* F) {
         EXPECT_TRUE(F->checkbox1->GetChecked());
         EXPECT_FALSE(F->skSkinCheckRadioBox4->GetChecked());
       },
       false},
      {"minimum below the spin edit's range", "Minimum:1\r\n", [](TForm1*) { EXPECT_EQ(MinTitleSeconds, 2); }, false},
      {"monitor 0 gives one minute", "Monitor:0\r\n",
       [](TForm1* F) { EXPECT_EQ(F->MonitorTimer->GetInterval(), 60000u); }, false},
      {"last crop line wins", "Crop1\r\nCrop4\r\n",
       [](TForm1* F) {
         EXPECT_TRUE(F->radiobutton12->GetChecked());
         EXPECT_FALSE(F->radiobutton1->GetChecked());
       },
       false},
      {"duplicates: the last one wins", "Prio:0\r\nPrio:3\r\n",
       [](TForm1* F) { EXPECT_EQ(F->prioritybox1->GetItemIndex(), 3); }, false},
      {"limits clamp", "TestValue:99\r\nCorecount:-4\r\n",
       [](TForm1* F) {
         EXPECT_EQ(F->limit->GetValue(), 30);
         EXPECT_EQ(F->corecount->GetValue(), 1);
       },
       false},
      {"lines without CR LF at the end", "DoIgnore\nEpisode",
       [](TForm1* F) {
         EXPECT_TRUE(F->checkbox13->GetChecked());
         EXPECT_TRUE(F->episodes->GetChecked());
       },
       false},
      {"a profile that does not exist", "Profile:gone\r\n",
       [](TForm1* F) { EXPECT_EQ(F->profilebox->GetItemIndex(), 0); }, false},
      {"a huge window size is no size", "QV_SIZE_W:99999999\r\n",
       [](TForm1* F) { EXPECT_EQ(F->GetWidth(), 900); }, false},
  };
  for (const TLineCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    Restart();
    StartUpValues(Form);
    NoDeviceSubfolder = false;
    Form->profilebox->GetItems()->Add("first");
    Form->profilebox->SetItemIndex(0);
    Messages.clear();
    WriteSettings(C.File);
    LoadSettings();
    C.Check(Form);
    EXPECT_EQ(!Messages.empty(), C.Reported);
  }
}

TEST_F(SettingsStore, DamagedFilesGiveDefaultsPlusWhatWasReadable)
{
  const std::string Binary = std::string("\x7f" "ELF\x02\x01\x01", 7) + std::string(40, '\0') + "\xff\xfe\r\nDoIgnore\r\n";
  const std::string Cases[] = {Binary, "AudioLang1:2\r\nDoIgnore\r\nSubsLa", "DoIgnore\r\nnothing:\r\n%%%\r\n"};
  for (const std::string& Bytes : Cases) {
    Restart();
    StartUpValues(Form);
    Messages.clear();
    std::filesystem::remove(WorkFolder + "settings.damaged.txt");
    WriteSettings(Bytes);
    LoadSettings();
    EXPECT_TRUE(Form->checkbox13->GetChecked());  // what was readable
    EXPECT_TRUE(Form->radiobutton2->GetChecked());
    EXPECT_EQ(Form->prioritybox1->GetItemIndex(), 1);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_NE(Messages[0].find("settings.txt"), std::string::npos);
    // The file is left alone, and its bytes are kept before an exit can replace it.
    EXPECT_EQ(ReadBytes(SettingsPath()), Bytes);
    EXPECT_EQ(ReadBytes(WorkFolder + "settings.damaged.txt"), Bytes);
    EXPECT_FALSE(SettingsLoadRunning());
    EXPECT_EQ(Form->settings->GetLines()->GetCount(), 0);
  }
}

TEST_F(SettingsStore, NothingIsWrittenWhenSavingIsDisabled)
{
  SettingsSaveDisabled = true;
  SaveSettings();
  EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
  EXPECT_FALSE(std::filesystem::exists(WorkFolder + "profiles/lastprofile.prf"));
}

TEST_F(SettingsStore, AFailedSaveIsReportedNotRaised)
{
  WriteFile(Dir + "plainfile", "x");
  WorkFolder = Dir + "plainfile/";  // a folder that cannot exist
  EXPECT_NO_THROW(SaveSettings());
  EXPECT_EQ(Messages.size(), 2u);  // settings.txt and lastprofile.prf
}

TEST_F(SettingsStore, SubtitleScaleTakesTheLastLineAndRewritesTheFile)
{
  struct TCase {
    const char* Name;
    const char* Conf;
    int Scale;
    const char* After;  // nullptr: the file stays as it was
  } const Cases[] = {
      {"last line wins", "vf=scale\r\nsubfont-text-scale=30\r\nao=null\r\nsubfont-text-scale=15\r\n", 15,
       "vf=scale\r\nao=null\r\nsubfont-text-scale=15\r\n"},
      {"clamped", "subfont-text-scale=250\r\n", 100, "subfont-text-scale=100\r\n"},
      {"no number", "subfont-text-scale=\r\nao=null\r\n", 20, nullptr},
      {"no scale line", "ao=null\r\n", 20, nullptr},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    Restart();
    const std::string Conf = WorkFolder + "mplayer/mencoder.conf";
    WriteFile(Conf, C.Conf);
    LoadSubtitleScale();
    EXPECT_EQ(Form->skSkinSpinEdit6->GetValue(), C.Scale);
    EXPECT_EQ(ReadBytes(Conf), C.After ? C.After : C.Conf);
  }
}

TEST_F(SettingsStore, ProfileListShowsItsPanelWithTwoProfiles)
{
  WriteFile(WorkFolder + "profiles/lastprofile.prf", "1\r\n1\r\nx\r\n");
  LoadProfileList();
  EXPECT_EQ(Items(Form->profilebox->GetItems()), std::vector<std::string>{"lastprofile"});
  EXPECT_FALSE(Form->Panel6->GetVisible());
  WriteFile(WorkFolder + "profiles/more/Phone.prf", "1\r\n1\r\nx\r\n");
  LoadProfileList();
  EXPECT_EQ(Items(Form->profilebox->GetItems()), (std::vector<std::string>{"lastprofile", "Phone"}));
  EXPECT_EQ(Form->profilebox->GetItemIndex(), 0);
  EXPECT_TRUE(Form->Panel6->GetVisible());
}

}  // namespace

TEST_F(SettingsStore, EveryLineInItsPlace)
{
  // Every line written: each option on, each option whose flag records "off" off, every text
  // set. The crop choices are one group and the two subtitle choices another, so the files
  // below take them in turn; together they pin every line of the whole list in its place.
  StartUpValues(Form);
  TivoMak = "1234567890";
  NoDeviceSubfolder = true;
  Form->profilebox->SetText("Phones");
  Form->prioritybox1->SetItemIndex(2);
  for (TskSkinCheckRadioBox* B :
       {Form->finuse, Form->checkbox4, Form->askscan, Form->checkbox5, Form->checkbox7, Form->episodes, Form->checkbox1,
        Form->selfexit, Form->checkbox2, Form->checkbox12, Form->checkbox13, Form->videofolder,
        Form->skSkinCheckRadioBox4x, Form->mplayer2, Form->detect2, Form->skSkinCheckRadioBox5,
        Form->skSkinCheckRadioBox6, Form->skSkinCheckRadioBox7, Form->skSkinCheckRadioBox8, Form->dvdnav, Form->cc,
        Form->skSkinCheckRadioBox12, Form->skSkinCheckRadioBox13, Form->savestatus, Form->deint})
    B->SetChecked(true);
  for (TskSkinCheckRadioBox* B : {Form->checkbox9, Form->checkbox10, Form->checkbox11, Form->skSkinCheckRadioBox4,
                                  Form->mencoder2})
    B->SetChecked(false);
  Form->combobox4->SetItemIndex(1);
  Form->combobox5->SetItemIndex(2);
  Form->combobox6->SetItemIndex(3);
  Form->combobox7->SetItemIndex(4);
  Form->limit->SetValue(7);
  Form->corecount->SetValue(5);
  Form->skSkinLabel2->SetCaption("before.sh");
  Form->skSkinLabel3->SetCaption("after.sh");
  Form->fpstext->SetItemIndex(3);
  Form->Edit1->SetVisible(true);
  Form->log->SetVisible(true);
  Form->SetBounds(0, 0, 901, 651);
  Form->monitorvalue->SetValue(16);
  Form->skSkinSpinEdit5->SetValue(1200);
  const struct {
    TskSkinCheckRadioBox *Crop, *Subs;
    const char *CropLine, *SubsLine;
  } Choices[] = {{Form->radiobutton1, Form->checkbox7, "Crop1", "SubsNoAudio"},
                 {Form->radiobutton2, Form->checkbox8, "Crop2", "AlwaysSubs"},
                 {Form->radiobutton4x, Form->checkbox7, "Crop3", "SubsNoAudio"},
                 {Form->radiobutton12, Form->checkbox8, "Crop4", "AlwaysSubs"}};
  for (const auto& C : Choices) {
    SCOPED_TRACE(C.CropLine);
    C.Crop->SetChecked(true);
    C.Subs->SetChecked(true);
    SaveSettings();
    const std::vector<std::string> Lines = {
        "Profile:Phones", "Tivo:1234567890", "NoAppend", "Prio:2", "Crop1", "ifinuse", "Crop2", "Crop3", "Crop4",
        "DefaultAudio", "AskScan", "AudioLang1:1", "AudioLang2:2", "DefaultSubs", "SubsLang1:3", "SubsLang2:4",
        "SubsNoAudio", "Episode", "shutdown", "selfexit", "FullAuto", "AlwaysSubs", "NoScanOnStart",
        "NoMonitorInsert", "DontEject", "DoRemember", "DoIgnore", "Source=Destination", "Test:", "TestValue:7",
        "Corecount:5", "beforecmd:before.sh", "after cmd:after.sh", "avchdfps:3", "explorer", "No Hastekit",
        "PreviewFix", "Detect2", "Minimized", "Tray", "SendTo", "Startup", "Dvdnav", "ClosedCaption", "CMD1", "CMD2",
        "Savestate", "Loadstate", "Savestatus", "QV_SIZE_W:901", "QV_SIZE_H:651", "Monitor:16", "Minimum:1200",
        "Do De-Interlace"};
    ASSERT_EQ(Lines.size(), 54u);
    std::vector<std::string> Want;
    for (const std::string& L : Lines) {
      const bool Crop = L.rfind("Crop", 0) == 0, Subs = L == "SubsNoAudio" || L == "AlwaysSubs";
      if ((!Crop && !Subs) || L == C.CropLine || L == C.SubsLine) Want.push_back(L);
    }
    EXPECT_EQ(ReadBytes(SettingsPath()), Joined(Want));
  }
}
