#include "core/qv_settings.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "core/GridFiles.h"
#include "core/MainForm.h"
#include "core/SavedProfiles.h"
#include "core/qv_functions.h"
#include "platform/rtl/Convert.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StrUtils.h"

namespace {

bool LoadRunning = false;
// Set when settings.txt was there but could not be read: it is not written over at exit.
String UnreadableReason;
constexpr size_t MaxSettingsBytes = 1u << 20;  // far beyond any file the program writes

std::function<void(const String&)>& MessageProc()
{
  static std::function<void(const String&)> Proc;
  return Proc;
}

void Report(const String& Text)
{
  if (MessageProc()) {
    MessageProc()(Text);
    return;
  }
  if (!Form1) return;
  Form1->status->SetCaption(Text);
  Form1->log->GetLines()->Add(Text);
}

String SettingsFile() { return WorkFolder + "settings.txt"; }

int Rounded(double Value) { return static_cast<int>(std::lround(Value)); }

// A whole decimal number: an optional '-' and digits, within int.
bool WholeNumber(const String& Text, int& Value)
{
  if (Text.empty() || Text.size() > 11) return false;
  size_t I = Text[0] == '-' ? 1 : 0;
  if (I == Text.size()) return false;
  long long N = 0;
  for (; I < Text.size(); ++I) {
    if (Text[I] < '0' || Text[I] > '9') return false;
    N = N * 10 + (Text[I] - '0');
  }
  if (Text[0] == '-') N = -N;
  if (N < INT_MIN || N > INT_MAX) return false;
  Value = static_cast<int>(N);
  return true;
}

void Tick(TskSkinCheckRadioBox* Box) { Box->SetChecked(true); }
void Untick(TskSkinCheckRadioBox* Box) { Box->SetChecked(false); }

// Combo boxes take any index from -1 on; the box decides what an index beyond its items does.
void SelectIndex(TOptionComboBox* Box, int Index)
{
  if (Index >= -1) Box->SetItemIndex(Index);
}

struct TFlag {
  const char* Word;
  void (*Apply)(TForm1* F);
};

// Flag words in the order the reading applies them (a line holds one, so the order matters only
// for a word with more than one effect).
const TFlag Flags[] = {
    {"Crop1", [](TForm1* F) { Tick(F->radiobutton1); }},
    {"Crop2", [](TForm1* F) { Tick(F->radiobutton2); }},
    {"ifinuse", [](TForm1* F) { Tick(F->finuse); }},
    {"Crop3", [](TForm1* F) { Tick(F->radiobutton4x); }},
    {"Crop4", [](TForm1* F) { Tick(F->radiobutton12); }},
    {"No Hastekit", [](TForm1* F) { Untick(F->mencoder2); }},
    {"PreviewFix", [](TForm1* F) { Tick(F->mplayer2); }},
    {"Detect2", [](TForm1* F) { Tick(F->detect2); }},
    {"DefaultAudio", [](TForm1* F) { Tick(F->checkbox4); }},
    {"AskScan", [](TForm1* F) { Tick(F->askscan); }},
    {"DefaultSubs", [](TForm1* F) { Tick(F->checkbox5); }},
    {"SubsNoAudio", [](TForm1* F) { Tick(F->checkbox7); }},
    {"AlwaysSubs", [](TForm1* F) { Tick(F->checkbox8); }},
    {"NoScanOnStart", [](TForm1* F) { Untick(F->checkbox9); }},
    {"NoMonitorInsert", [](TForm1* F) { Untick(F->checkbox10); }},
    {"DontEject", [](TForm1* F) { Untick(F->checkbox11); }},
    {"Dvdnav", [](TForm1* F) { Tick(F->dvdnav); }},
    {"selfexit", [](TForm1* F) { Tick(F->selfexit); }},
    {"CMD1", [](TForm1* F) { F->Edit1->SetVisible(true); }},
    {"CMD2", [](TForm1* F) { F->log->SetVisible(true); }},
    {"ClosedCaption", [](TForm1* F) { Tick(F->cc); }},
    {"Do De-Interlace", [](TForm1* F) { Tick(F->deint); }},
    {"DoRemember", [](TForm1* F) { Tick(F->checkbox12); }},
    {"shutdown", [](TForm1* F) { Tick(F->checkbox1); }},
    {"Test:", [](TForm1* F) { Tick(F->skSkinCheckRadioBox4x); }},
    {"explorer", [](TForm1* F) { Untick(F->skSkinCheckRadioBox4); }},
    {"Minimized", [](TForm1* F) { Tick(F->skSkinCheckRadioBox5); }},
    {"Tray", [](TForm1* F) { Tick(F->skSkinCheckRadioBox6); }},
    {"SendTo", [](TForm1* F) { Tick(F->skSkinCheckRadioBox7); }},
    {"Startup", [](TForm1* F) { Tick(F->skSkinCheckRadioBox8); }},
    {"Savestate", [](TForm1* F) { Tick(F->skSkinCheckRadioBox12); }},
    {"Savestatus", [](TForm1* F) { Tick(F->savestatus); }},
    {"Loadstate", [](TForm1* F) { Tick(F->skSkinCheckRadioBox13); }},
    {"Source=Destination", [](TForm1* F) { Tick(F->videofolder); }},
    {"DoIgnore", [](TForm1* F) { Tick(F->checkbox13); }},
    {"FullAuto",
     [](TForm1* F) {
       Tick(F->checkbox2);
       F->MonitorTimer->SetEnabled(true);
     }},
    {"Episode", [](TForm1* F) { Tick(F->episodes); }},
};

struct TNumberKey {
  const char* Key;
  void (*Apply)(TForm1* F, int N);
};

const TNumberKey NumberKeys[] = {
    {"Prio:", [](TForm1* F, int N) { SelectIndex(F->prioritybox1, N); }},
    {"AudioLang1:", [](TForm1* F, int N) { SelectIndex(F->combobox4, N); }},
    {"AudioLang2:", [](TForm1* F, int N) { SelectIndex(F->combobox5, N); }},
    {"SubsLang1:", [](TForm1* F, int N) { SelectIndex(F->combobox6, N); }},
    {"SubsLang2:", [](TForm1* F, int N) { SelectIndex(F->combobox7, N); }},
    {"Monitor:", [](TForm1* F, int N) { F->monitorvalue->SetValue(N); }},
    {"TestValue:", [](TForm1* F, int N) { F->limit->SetValue(N); }},
    {"Corecount:", [](TForm1* F, int N) { F->corecount->SetValue(N); }},
    {"Minimum:",
     [](TForm1* F, int N) {
       MinTitleSeconds = N;
       F->skSkinSpinEdit5->SetValue(N);  // its action keeps the clamped value
     }},
    // The window size is not the store's to judge, except that it must be a size at all.
    {"QV_SIZE_W:", [](TForm1* F, int N) { if (N > 0 && N <= 32767) F->SetWidth(N); }},
    {"QV_SIZE_H:", [](TForm1* F, int N) { if (N > 0 && N <= 32767) F->SetHeight(N); }},
    {"avchdfps:", [](TForm1* F, int N) { SelectIndex(F->fpstext, N); }},
};

struct TTextKey {
  const char* Key;
  void (*Apply)(TForm1* F, const String& Text);
};

const TTextKey TextKeys[] = {
    {"Tivo:", [](TForm1*, const String& Text) { TivoMak = Text; }},
    {"beforecmd:", [](TForm1* F, const String& Text) { F->skSkinLabel2->SetCaption(Text); }},
    {"after cmd:", [](TForm1* F, const String& Text) { F->skSkinLabel3->SetCaption(Text); }},
    {"Profile:",
     [](TForm1* F, const String& Text) {
       TStrings* Items = F->profilebox->GetItems();
       for (int I = 0; I < Items->GetCount(); ++I)
         if (Items->Get(I) == Text) F->profilebox->SetItemIndex(I);
     }},
};

bool StartsWith(const String& Line, const char* Key)
{
  const size_t N = strlen(Key);
  return Line.size() >= N && Line.compare(0, N, Key) == 0;
}

bool HasControlBytes(const String& Line)
{
  for (unsigned char C : Line)
    if (C < 0x20 && C != '\t') return true;
  return false;
}

// Applies one line; false when it is not a line the program writes, or its value is unusable.
bool ReadLine(TForm1* F, const String& Raw)
{
  if (HasControlBytes(Raw)) return false;
  const String Line = Trim(Raw);
  if (Line.empty()) return true;
  for (const TTextKey& K : TextKeys)
    if (StartsWith(Line, K.Key)) {
      K.Apply(F, Trim(Line.substr(strlen(K.Key))));
      return true;
    }
  for (const TNumberKey& K : NumberKeys)
    if (StartsWith(Line, K.Key)) {
      int N = 0;
      if (!WholeNumber(Trim(Line.substr(strlen(K.Key))), N)) return false;
      K.Apply(F, N);
      return true;
    }
  if (LowerCase(Line) == "noappend") {
    NoDeviceSubfolder = true;
    return true;
  }
  for (const TFlag& Flag : Flags)
    if (Line == Flag.Word) {
      Flag.Apply(F);
      return true;
    }
  return false;
}

// A value stays on its own line: CR and LF inside it are written as blanks.
String OneLine(String Value)
{
  for (char& C : Value)
    if (C == '\r' || C == '\n') C = ' ';
  return Value;
}

void Add(TStrings* Lines, bool When, const String& Line)
{
  if (When) Lines->Add(Line);
}

}  // namespace

bool SettingsLoadRunning() { return LoadRunning; }

void SetSettingsMessageProc(std::function<void(const String& Text)> Proc) { MessageProc() = std::move(Proc); }

void SaveSettings()
{
  TForm1* F = Form1;
  if (!F) return;
  TStrings* L = F->settings->GetLines();
  L->Clear();
  L->Add("Profile:" + OneLine(F->profilebox->GetText()));
  Add(L, !TivoMak.empty(), "Tivo:" + OneLine(TivoMak));
  Add(L, NoDeviceSubfolder, "NoAppend");
  L->Add("Prio:" + IntToStr(F->prioritybox1->GetItemIndex()));
  Add(L, F->radiobutton1->GetChecked(), "Crop1");
  Add(L, F->finuse->GetChecked(), "ifinuse");
  Add(L, F->radiobutton2->GetChecked(), "Crop2");
  Add(L, F->radiobutton4x->GetChecked(), "Crop3");
  Add(L, F->radiobutton12->GetChecked(), "Crop4");
  Add(L, F->checkbox4->GetChecked(), "DefaultAudio");
  Add(L, F->askscan->GetChecked(), "AskScan");
  L->Add("AudioLang1:" + IntToStr(F->combobox4->GetItemIndex()));
  L->Add("AudioLang2:" + IntToStr(F->combobox5->GetItemIndex()));
  Add(L, F->checkbox5->GetChecked(), "DefaultSubs");
  L->Add("SubsLang1:" + IntToStr(F->combobox6->GetItemIndex()));
  L->Add("SubsLang2:" + IntToStr(F->combobox7->GetItemIndex()));
  Add(L, F->checkbox7->GetChecked(), "SubsNoAudio");
  Add(L, F->episodes->GetChecked(), "Episode");
  Add(L, F->checkbox1->GetChecked(), "shutdown");
  Add(L, F->selfexit->GetChecked(), "selfexit");
  Add(L, F->checkbox2->GetChecked(), "FullAuto");
  Add(L, F->checkbox8->GetChecked(), "AlwaysSubs");
  Add(L, !F->checkbox9->GetChecked(), "NoScanOnStart");
  Add(L, !F->checkbox10->GetChecked(), "NoMonitorInsert");
  Add(L, !F->checkbox11->GetChecked(), "DontEject");
  Add(L, F->checkbox12->GetChecked(), "DoRemember");
  Add(L, F->checkbox13->GetChecked(), "DoIgnore");
  Add(L, F->videofolder->GetChecked(), "Source=Destination");
  Add(L, F->skSkinCheckRadioBox4x->GetChecked(), "Test:");
  L->Add("TestValue:" + IntToStr(Rounded(F->limit->GetValue())));
  L->Add("Corecount:" + IntToStr(Rounded(F->corecount->GetValue())));
  Add(L, !F->skSkinLabel2->GetCaption().empty(), "beforecmd:" + OneLine(F->skSkinLabel2->GetCaption()));
  Add(L, !F->skSkinLabel3->GetCaption().empty(), "after cmd:" + OneLine(F->skSkinLabel3->GetCaption()));
  L->Add("avchdfps:" + IntToStr(F->fpstext->GetItemIndex()));
  Add(L, !F->skSkinCheckRadioBox4->GetChecked(), "explorer");
  Add(L, !F->mencoder2->GetChecked(), "No Hastekit");
  Add(L, F->mplayer2->GetChecked(), "PreviewFix");
  Add(L, F->detect2->GetChecked(), "Detect2");
  Add(L, F->skSkinCheckRadioBox5->GetChecked(), "Minimized");
  Add(L, F->skSkinCheckRadioBox6->GetChecked(), "Tray");
  Add(L, F->skSkinCheckRadioBox7->GetChecked(), "SendTo");
  Add(L, F->skSkinCheckRadioBox8->GetChecked(), "Startup");
  Add(L, F->dvdnav->GetChecked(), "Dvdnav");
  Add(L, F->cc->GetChecked(), "ClosedCaption");
  Add(L, F->Edit1->GetVisible(), "CMD1");
  Add(L, F->log->GetVisible(), "CMD2");
  Add(L, F->skSkinCheckRadioBox12->GetChecked(), "Savestate");
  Add(L, F->skSkinCheckRadioBox13->GetChecked(), "Loadstate");
  Add(L, F->savestatus->GetChecked(), "Savestatus");
  L->Add("QV_SIZE_W:" + IntToStr(F->GetWidth()));
  L->Add("QV_SIZE_H:" + IntToStr(F->GetHeight()));
  L->Add("Monitor:" + IntToStr(Rounded(F->monitorvalue->GetValue())));
  L->Add("Minimum:" + IntToStr(MinTitleSeconds));
  Add(L, F->deint->GetChecked(), "Do De-Interlace");
  if (SettingsSaveDisabled) return;

  String Text;
  for (int I = 0; I < L->GetCount(); ++I) Text += L->Get(I) + "\r\n";
  if (!UnreadableReason.empty()) {
    Report("The settings were not saved: \"" + SettingsFile() + "\" could not be read at start-up (" + UnreadableReason +
           "), so it is left as it is.");
  } else {
    try {
      AtomicSaveToFile(SettingsFile(), Text.data(), Text.size());
    } catch (const Exception& E) {
      Report("The settings could not be saved to \"" + SettingsFile() + "\": " + E.Message());
    }
  }
  ForceDirectories(WorkFolder + "profiles");
  String Why;
  if (!SaveGridText(F->dq, WorkFolder + "profiles/lastprofile.prf", &Why))
    Report("The device queue could not be saved to \"" + WorkFolder + "profiles/lastprofile.prf\": " + Why);
}

void LoadSettings()
{
  TForm1* F = Form1;
  if (!F) return;
  for (TskSkinCheckRadioBox* B : {F->checkbox4, F->checkbox5, F->checkbox7, F->checkbox8}) Untick(B);
  Tick(F->checkbox9);
  for (TOptionComboBox* C : {F->combobox4, F->combobox5, F->combobox6, F->combobox7}) C->SetItemIndex(24);
  const String Name = SettingsFile();
  UnreadableReason.clear();
  String Bytes, Why;
  bool Missing = false, Unreadable = false;
  if (!ReadGridFileBytes(Name, Bytes, Missing, Why, &Unreadable, MaxSettingsBytes)) {
    if (Unreadable) {
      UnreadableReason = Why;
      Report("The settings file \"" + Name + "\" cannot be read (" + Why +
             "); the defaults stand, and the file will not be written at exit.");
    } else if (!Missing) {
      // Too large to be a settings file: keep its bytes before an exit writes over it.
      const String Kept = WorkFolder + "settings.damaged.txt";
      const bool Copied = CopyFile(Name, Kept, false);
      Report("The settings file \"" + Name + "\" was not read (" + Why + "); the defaults stand." +
             (Copied ? " The file as it was is kept as \"" + Kept + "\"."
                     : " It could not be kept as \"" + Kept + "\": " + SysErrorMessage(GetLastError())));
    }
    return;
  }
  const String Original = Bytes;

  LoadRunning = true;
  TStrings* L = F->settings->GetLines();
  L->Clear();
  // Lines end at CR LF, LF or CR; a NUL ends nothing and marks its line as damaged.
  std::vector<String> Lines;
  String Cur;
  for (size_t I = 0; I < Bytes.size(); ++I) {
    const char C = Bytes[I];
    if (C == '\r' || C == '\n') {
      Lines.push_back(Cur);
      Cur.clear();
      if (C == '\r' && I + 1 < Bytes.size() && Bytes[I + 1] == '\n') ++I;
    } else {
      Cur += C;
    }
  }
  if (!Cur.empty()) Lines.push_back(Cur);
  for (const String& Line : Lines) L->Add(Line);

  int Unread = 0;
  for (const String& Line : Lines) {
    try {
      if (!ReadLine(F, Line)) ++Unread;
    } catch (const Exception&) {
      ++Unread;
    }
    F->monitorvalueChange(F);
  }
  L->Clear();
  LoadRunning = false;

  if (Unread > 0) {
    const String Kept = WorkFolder + "settings.damaged.txt";
    String Note;
    try {
      AtomicSaveToFile(Kept, Original.data(), Original.size());
      Note = " The file as it was is kept as \"" + Kept + "\".";
    } catch (const Exception& E) {
      Note = " It could not be kept as \"" + Kept + "\": " + E.Message();
    }
    Report(IntToStr(Unread) + " line(s) of the settings file \"" + Name + "\"" +
           " could not be read; those options keep their defaults." + Note);
  }
}

void LoadProfileList()
{
  TForm1* F = Form1;
  if (!F) return;
  TStrings* Items = F->profilebox->GetItems();
  Items->Clear();
  TStringList Found;
  FindFilesRecursive(WorkFolder + "profiles", "*.prf", &Found);
  for (int I = 0; I < Found.GetCount(); ++I) {
    String Name = Found.Get(I);
    Name = Trim(Name.substr(0, Name.size() >= 4 ? Name.size() - 4 : 0));
    const size_t Sep = Name.find_last_of("/\\");
    if (Sep != String::npos) Name = Name.substr(Sep + 1);
    // A name with control characters cannot be chosen, saved nor kept in the settings.
    if (std::any_of(Name.begin(), Name.end(), [](unsigned char C) { return C < 0x20 || C == 0x7f; })) continue;
    // A name that cannot be loaded is not offered; the user learns why it is missing.
    if (!ProfileNameUsable(Name)) {
      Report("The profile file \"" + Found.Get(I) + "\" is not listed: a profile name must not hold \"..\", \"/\" or \"\\\".");
      continue;
    }
    Items->Add(Name);
  }
  F->profilebox->SetItemIndex(0);
  F->Panel6->SetVisible(Items->GetCount() >= 2);
}

void LoadSubtitleScale()
{
  TForm1* F = Form1;
  if (!F) return;
  const String Name = WorkFolder + "mplayer/mencoder.conf";
  if (DirectoryExists(Name)) {
    Report("\"" + Name + "\" could not be read: it is a folder.");
    return;
  }
  if (!FileExists(Name)) return;
  TStrings* Lines = F->mencoder_conf->GetItems();
  try {
    Lines->LoadFromFile(Name);
  } catch (const Exception& E) {
    Report("\"" + Name + "\" could not be read: " + E.Message());
    return;
  }
  const String Key = "subfont-text-scale=";
  for (int I = Lines->GetCount() - 1; I >= 0; --I) {
    if (I >= Lines->GetCount()) continue;
    const String Probe = " " + Lines->Get(I);
    const size_t At = Probe.find(Key);
    if (At == String::npos) continue;
    int N = 0;
    if (!WholeNumber(Trim(Probe.substr(0, At) + Probe.substr(At + Key.size())), N)) continue;
    F->skSkinSpinEdit6->SetValue(N);  // its action leaves one scale line, at the end
    break;
  }
}
