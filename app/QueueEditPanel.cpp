#include "app/QueueEditPanel.h"

#include <cmath>

#include "core/SourceRecognition.h"
#include "core/SourceRow.h"
#include "core/TrackChoice.h"
#include "core/OptionControls.h"
#include "core/qv_detect.h"
#include "core/qv_functions.h"
#include "platform/rtl/Convert.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"

namespace {

template <class T>
T* Put(TComponent* Owner, TWinControl* Parent, const char* Name, int Left, int Top, int Width, int Height)
{
  auto* C = new T(Owner);
  C->SetName(Name);
  if (C->GetText() == Name) C->SetText("");
  C->SetParent(Parent);
  C->SetBounds(Left, Top, Width, Height);
  return C;
}

TskSkinStdLabel* Text(TComponent* Owner, TWinControl* Parent, const String& Caption, int Left, int Top,
                      int Width)
{
  auto* L = new TskSkinStdLabel(Owner);
  L->SetCaption(Caption);
  L->SetParent(Parent);
  L->SetBounds(Left, Top + 3, Width, 18);
  return L;
}

TskSkinSpinEdit* Spin(TComponent* Owner, TWinControl* Parent, const char* Name, int Left, int Top)
{
  auto* E = Put<TskSkinSpinEdit>(Owner, Parent, Name, Left, Top, 56, 22);
  E->SetValueType(vtInteger);
  E->SetMinValue(1);
  E->SetMaxValue(99);
  E->SetIncrement(1);
  E->SetValue(1);
  return E;
}

int Whole(const String& Cell) { return static_cast<int>(std::lround(StrToFloatSafe(Cell))); }

String SpinText(TskSkinSpinEdit* E) { return IntToStr(static_cast<int>(std::lround(E->GetValue()))); }

// The command word, then the item's first word and one blank ("switch_audio 128 ").
String SlaveText(const char* Command, const String& Item)
{
  const size_t Blank = Item.find(' ');
  return String(Command) + " " + (Blank == String::npos ? String() : Item.substr(0, Blank + 1));
}

// Count > 1 in the cell: the spin edits take it as their maximum.
bool CountAbove1(const String& Cell, int& Count)
{
  int N = 0;
  if (!TryStrToInt(Trim(Cell), N) || N <= 1) return false;
  Count = N;
  return true;
}

void SetSpinFromCell(TskSkinSpinEdit* E, int Max, const String& Cell)
{
  E->SetMaxValue(Max);
  double V = E->GetValue();
  if (!Cell.empty()) V = StrToFloatSafe(Cell);
  E->SetValue(std::min<double>(std::max<double>(V, 1), Max));
}

}  // namespace

bool CleanOutputName(const String& Text, String& Clean, String& Why)
{
  Clean.clear();
  Why.clear();
  bool Slash = false, Control = false;
  for (char C : Text) {
    const auto U = static_cast<unsigned char>(C);
    if (C == '/') {
      Slash = true;
      Clean += ' ';
    } else if (U < 0x20 || U == 0x7F) {
      Control = true;
      Clean += ' ';
    } else {
      Clean += C;
    }
  }
  bool Cut = false;
  if (Clean.size() > MaxOutputNameBytes) {
    size_t End = MaxOutputNameBytes;
    // Never end inside a multi-byte character.
    while (End > 0 && (static_cast<unsigned char>(Clean[End]) & 0xC0) == 0x80) --End;
    Clean.resize(End);
    Cut = true;
  }
  if (Slash) Why += "\"/\" would name a folder and became a blank. ";
  if (Control) Why += "Line breaks and other control characters became blanks. ";
  if (Cut) Why += "The name was cut to " + IntToStr(static_cast<int>(MaxOutputNameBytes)) + " bytes. ";
  Why = Trim(Why);
  const String Bare = Trim(Clean);
  if (Bare.empty() || Bare == "." || Bare == "..") {
    Why = "\"" + Clean + "\" is no file name: the name was not changed.";
    return false;
  }
  return true;
}

int ChooseAspectItem(TStrings* Items, const String& Cell)
{
  if (Cell.empty()) return -1;
  const String T = Format("%.2f", StrToFloatSafe(Cell));
  int Found = -1;
  for (int I = 0; I < Items->GetCount(); ++I)
    if ((" " + Items->Get(I)).find(T) != String::npos) Found = I;
  if (Found >= 0) return Found;
  return Items->Add(T + ":1");
}

String SeekBarHint(int Position, int SelStart, int SelEnd, int Max)
{
  return SecondsToHMS(Position) + " (" + SecondsToHMS(SelEnd - SelStart) + " " + SecondsToHMS(Max) + ")";
}

TQueueEditPanel::TQueueEditPanel(TForm1* Form, TWinControl* Parent, const TRect& Bounds)
    : F(Form), G(Form->StringGrid1)
{
  modify = Put<TskSkinPanel>(F, Parent, "modify", Bounds.left, Bounds.top, Bounds.right - Bounds.left,
                             Bounds.bottom - Bounds.top);
  // Left column: name, convert flag, tracks, preview.
  Text(F, modify, "Modify resulting filename:", 8, 6, 230);
  edit2 = Put<TskSkinEdit>(F, modify, "edit2", 8, 28, 240, 22);
  checkbox3 = Put<TskSkinCheckRadioBox>(F, modify, "checkbox3", 8, 56, 240, 22);
  checkbox3->SetCaption("Enable selection for conversion");
  audiopanel = Put<TskSkinPanel>(F, modify, "audiopanel", 4, 84, 248, 50);
  Text(F, audiopanel, "Audio language:", 4, 0, 200);
  combobox2 = Put<TskSkinComboBox>(F, audiopanel, "combobox2", 4, 22, 240, 22);
  subspanel = Put<TskSkinPanel>(F, modify, "subspanel", 4, 138, 248, 50);
  checkbox6 = Put<TskSkinCheckRadioBox>(F, subspanel, "checkbox6", 4, 0, 200, 22);
  checkbox6->SetCaption("Subtitles:");
  combobox3 = Put<TskSkinComboBox>(F, subspanel, "combobox3", 4, 24, 240, 22);
  for (TskSkinComboBox* C : {combobox2, combobox3}) C->SetStyle(spcbFixedStyle);
  skSkinSpeedButton9 = Put<TskSkinSpeedButton>(F, modify, "skSkinSpeedButton9", 8, 196, 120, 24);
  skSkinSpeedButton9->SetCaption("Preview");
  skSkinSpeedButton9->SetSkinDataName("button");
  // Middle: chapters and angle.
  scenes = Put<TskSkinPanel>(F, modify, "scenes", 262, 4, 250, 64);
  skSkinCheckRadioBox1 = Put<TskSkinCheckRadioBox>(F, scenes, "skSkinCheckRadioBox1", 4, 4, 100, 22);
  skSkinCheckRadioBox1->SetCaption("Start scene:");
  skSkinSpinEdit1 = Spin(F, scenes, "skSkinSpinEdit1", 106, 4);
  Text(F, scenes, "Stop", 166, 4, 30);
  skSkinSpinEdit2 = Spin(F, scenes, "skSkinSpinEdit2", 194, 4);
  skSkinCheckRadioBox2 = Put<TskSkinCheckRadioBox>(F, scenes, "skSkinCheckRadioBox2", 4, 34, 130, 22);
  skSkinCheckRadioBox2->SetCaption("Split in parts of ");
  skSkinSpinEdit3 = Spin(F, scenes, "skSkinSpinEdit3", 136, 34);
  Text(F, scenes, "scenes", 196, 34, 50);
  angles = Put<TskSkinPanel>(F, modify, "angles", 262, 72, 250, 32);
  skSkinCheckRadioBox3 = Put<TskSkinCheckRadioBox>(F, angles, "skSkinCheckRadioBox3", 4, 4, 120, 22);
  skSkinCheckRadioBox3->SetCaption("Select angle:");
  skSkinSpinEdit4 = Spin(F, angles, "skSkinSpinEdit4", 136, 4);
  for (TskSkinPanel* P : {audiopanel, subspanel, scenes, angles}) P->SetVisible(false);
  // Right: the batch rename.
  const int R = 524;
  Text(F, modify, "Batch Rename:", R, 6, 200);
  Text(F, modify, "Name", R, 30, 90);
  skSkinEdit1 = Put<TskSkinEdit>(F, modify, "skSkinEdit1", R + 96, 30, 150, 22);
  skSkinEdit1->SetText("tvshow s01e");
  Text(F, modify, "Number(Auto)", R, 58, 90);
  skSkinEdit2 = Put<TskSkinEdit>(F, modify, "skSkinEdit2", R + 96, 58, 60, 22);
  skSkinEdit2->SetText("01");
  skSkinEdit3 = Put<TskSkinEdit>(F, modify, "skSkinEdit3", R + 160, 58, 86, 22);
  skSkinCheckRadioBox11 = Put<TskSkinCheckRadioBox>(F, modify, "skSkinCheckRadioBox11", R, 86, 150, 22);
  skSkinCheckRadioBox11->SetCaption("Enabled only");
  skSkinCheckRadioBox11->SetChecked(true);
  skSkinSpeedButton19 = Put<TskSkinSpeedButton>(F, modify, "skSkinSpeedButton19", R, 114, 120, 24);
  skSkinSpeedButton19->SetCaption("Rename");
  skSkinSpeedButton19->SetSkinDataName("button");

  auto On = [this](void (TQueueEditPanel::*Handler)(TObject*)) {
    return [this, Handler](TObject* Sender) { (this->*Handler)(Sender); };
  };
  G->SetOptions(G->GetOptions() | goRangeSelect | goRowSelect);
  G->OnClick = On(&TQueueEditPanel::StringGridClick);
  edit2->OnChange = On(&TQueueEditPanel::Edit2Change);
  checkbox3->OnClick = On(&TQueueEditPanel::CheckBox3Click);
  combobox2->OnChange = On(&TQueueEditPanel::ComboBox2Change);
  combobox3->OnChange = On(&TQueueEditPanel::ComboBox3Change);
  checkbox6->OnClick = On(&TQueueEditPanel::CheckBox6Click);
  skSkinCheckRadioBox1->OnClick = On(&TQueueEditPanel::skSkinCheckRadioBox1Click);
  skSkinCheckRadioBox2->OnClick = On(&TQueueEditPanel::skSkinCheckRadioBox2Click);
  skSkinCheckRadioBox3->OnClick = On(&TQueueEditPanel::skSkinCheckRadioBox3Click);
  skSkinSpinEdit1->OnChange = On(&TQueueEditPanel::skSkinSpinEdit1Change);
  skSkinSpinEdit2->OnChange = On(&TQueueEditPanel::skSkinSpinEdit2Change);
  skSkinSpinEdit3->OnChange = On(&TQueueEditPanel::skSkinSpinEdit3Change);
  skSkinSpinEdit4->OnChange = On(&TQueueEditPanel::skSkinSpinEdit4Change);
  skSkinSpeedButton19->OnClick = On(&TQueueEditPanel::skSkinSpeedButton19Click);
  skSkinEdit2->OnKeyPress = [this](TObject* Sender, char& Key) { skSkinEdit2KeyPress(Sender, Key); };
  SlaveCommand = [this](const String& Text) { F->XcCreateProcess1->QueueInputLine(Text); };
  Report = [this](const String& Text) { F->status->SetCaption(Text); };
  StopPreview = [] { KillAllTools(); };
}

void TQueueEditPanel::Say(const String& Text)
{
  if (Report) Report(Text);
}

void TQueueEditPanel::StringGridClick(TObject* Sender)
{
  // 1-2
  if (Sender == G) modify->BringToFront();
  if (!UiSync) return;
  // 3
  G->SetEnabled(false);
  if (G->GetRowCount() < 2) G->SetRowCount(2);
  if (G->GetRow() == 0) G->SetRow(1);
  // 4
  const int Row = G->GetRow();
  auto Cell = [&](int Col) { return G->GetCells(Col, Row); };
  if (Cell(scNumber).empty()) {
    G->SetEnabled(true);
    return;
  }
  // 5-7
  UiSync = false;
  edit2->SetText(Cell(scOutputName));
  combobox2->SetVisible(false);
  combobox2->SetVisible(Cell(scType) != "AUDIO");
  combobox2->GetItems()->Clear();
  combobox3->GetItems()->Clear();
  audiopanel->SetVisible(false);
  checkbox6->SetChecked(false);
  subspanel->SetVisible(false);
  // 8-9, 13: the preview window's part.
  if (Preview) {
    TPreviewRowView View;
    View.Caption = Cell(scOutputName);
    View.Aspect = Cell(scAspect);
    View.Max = Whole(Cell(scLength));
    View.SelStart = Whole(Cell(scTrimStart));
    View.SelEnd = Whole(Cell(scTrimEnd));
    View.StartCaption = SecondsToHMS(StrToFloatSafe(Cell(scTrimStart)));
    View.EndCaption = SecondsToHMS(StrToFloatSafe(Cell(scTrimEnd)));
    Preview(View);
  }
  // 10
  checkbox3->SetChecked(Cell(scConvert) == "Yes");
  // 11-12
  struct {
    int Lines, Line;
    TskSkinComboBox* Box;
    bool Subtitles;
  } const Tracks[] = {{scAudioTracks, scAudioChoiceLine, combobox2, false},
                      {scSubtitleTracks, scSubtitleChoiceLine, combobox3, true}};
  for (const auto& T : Tracks) {
    if (Cell(T.Lines).empty()) continue;
    TStrings* Items = T.Box->GetItems();
    for (const String& Line : TrackLines(Cell(T.Lines), T.Subtitles)) {
      const String D = DescribeTrack(Line);
      if (NotInList(D, Items)) Items->Add(D);
    }
    if (T.Subtitles)
      subspanel->SetVisible(true);
    else if (Items->GetCount() >= 2)
      audiopanel->SetVisible(true);
    const int Index = Cell(T.Line).empty() ? 0 : StrToIntDef(Trim(Cell(T.Line)), 0);
    T.Box->SetItemIndex(Index >= 0 && Index < Items->GetCount() ? Index : 0);
    if (T.Subtitles) checkbox6->SetChecked(Cell(scSubtitlesOn) == "YES");
  }
  // 14
  scenes->SetVisible(false);
  int Count = 0;
  if (CountAbove1(Cell(scChapters), Count)) {
    SetSpinFromCell(skSkinSpinEdit1, Count, Cell(scFirstChapter));
    SetSpinFromCell(skSkinSpinEdit2, Count, Cell(scLastChapter));
    SetSpinFromCell(skSkinSpinEdit3, Count, Cell(scChaptersPerPart));
    skSkinCheckRadioBox1->SetChecked(Cell(scStartAtChapter) == "Yes");
    skSkinCheckRadioBox2->SetChecked(Cell(scSplitParts) == "Yes");
    scenes->SetVisible(true);
  }
  // 15
  angles->SetVisible(false);
  if (CountAbove1(Cell(scAngles), Count)) {
    SetSpinFromCell(skSkinSpinEdit4, Count, Cell(scAngleNumber));
    skSkinCheckRadioBox3->SetChecked(Cell(scAngleChosen) == "Yes");
    angles->SetVisible(true);
  }
  // 16-17: a preview player stops; an identification or title scan that runs goes on.
  if (ToolRunning && PlaybackMode && StopPreview) StopPreview();
  G->SetEnabled(true);
  UiSync = true;
  if (ModifyClick) ModifyClick();
}

void TQueueEditPanel::Edit2Change(TObject*)
{
  if (!UiSync || FCleaning) return;
  String Clean, Why;
  if (!CleanOutputName(edit2->GetText(), Clean, Why)) {
    Say(Why);
    return;
  }
  G->SetCells(scOutputName, G->GetRow(), Clean);
  if (!Why.empty()) {
    // The caret stays where the user types (cleaning keeps the length unless it cuts).
    const int Caret = edit2->GetSelStart();
    FCleaning = true;
    edit2->SetText(Clean);
    FCleaning = false;
    edit2->SetSelStart(std::min(Caret, static_cast<int>(Clean.size())));
    Say(Why);
  }
}

void TQueueEditPanel::SetFlag(int Col, bool On, const char* Yes, const char* No)
{
  G->SetCells(Col, G->GetRow(), On ? Yes : No);
}

void TQueueEditPanel::CheckBox3Click(TObject*)
{
  if (!UiSync) return;
  const TGridRect S = G->GetSelection();
  for (int R = std::max(S.Top, 1); R <= S.Bottom && R < G->GetRowCount(); ++R)
    G->SetCells(scConvert, R, checkbox3->GetChecked() ? "Yes" : "No");
}

void TQueueEditPanel::WriteTrack(TskSkinComboBox* Box, int TextCol, int IndexCol, const char* Command)
{
  if (!UiSync || Box->GetItems()->GetCount() == 0) return;
  const int Index = Box->GetItemIndex();
  const String Item = Index >= 0 && Index < Box->GetItems()->GetCount() ? Box->GetItems()->Get(Index) : String();
  G->SetCells(TextCol, G->GetRow(), Item);
  G->SetCells(IndexCol, G->GetRow(), IntToStr(Index));
  if (ToolRunning && SlaveCommand) SlaveCommand(SlaveText(Command, Item));
}

void TQueueEditPanel::ComboBox2Change(TObject*) { WriteTrack(combobox2, scAudioChoice, scAudioChoiceLine, "switch_audio"); }

void TQueueEditPanel::ComboBox3Change(TObject*)
{
  WriteTrack(combobox3, scSubtitleChoice, scSubtitleChoiceLine, "sub_select");
}

void TQueueEditPanel::CheckBox6Click(TObject* Sender)
{
  if (!UiSync) return;
  SetFlag(scSubtitlesOn, checkbox6->GetChecked(), "YES", "NO");
  ComboBox3Change(Sender);
}

void TQueueEditPanel::skSkinCheckRadioBox1Click(TObject*)
{
  if (UiSync) SetFlag(scStartAtChapter, skSkinCheckRadioBox1->GetChecked(), "Yes", "No");
}

void TQueueEditPanel::skSkinCheckRadioBox2Click(TObject*)
{
  if (UiSync) SetFlag(scSplitParts, skSkinCheckRadioBox2->GetChecked(), "Yes", "No");
}

void TQueueEditPanel::skSkinCheckRadioBox3Click(TObject*)
{
  if (UiSync) SetFlag(scAngleChosen, skSkinCheckRadioBox3->GetChecked(), "Yes", "No");
}

void TQueueEditPanel::WriteSpin(TskSkinSpinEdit* Edit, int Col, TskSkinCheckRadioBox* Tick)
{
  if (!UiSync) return;
  G->SetCells(Col, G->GetRow(), SpinText(Edit));
  Tick->SetChecked(true);
}

void TQueueEditPanel::skSkinSpinEdit1Change(TObject*) { WriteSpin(skSkinSpinEdit1, scFirstChapter, skSkinCheckRadioBox1); }
void TQueueEditPanel::skSkinSpinEdit2Change(TObject*) { WriteSpin(skSkinSpinEdit2, scLastChapter, skSkinCheckRadioBox1); }
void TQueueEditPanel::skSkinSpinEdit3Change(TObject*)
{
  WriteSpin(skSkinSpinEdit3, scChaptersPerPart, skSkinCheckRadioBox2);
}
void TQueueEditPanel::skSkinSpinEdit4Change(TObject*) { WriteSpin(skSkinSpinEdit4, scAngleNumber, skSkinCheckRadioBox3); }

void TQueueEditPanel::SetFilesize()
{
  const int Video = static_cast<int>(std::lround(F->vq->GetValue()));
  const int Audio = static_cast<int>(std::lround(F->aq->GetValue()));
  for (int R = 1; R < G->GetRowCount(); ++R) {
    const String Seconds = G->GetCells(scConvertSeconds, R);
    if (!Seconds.empty()) G->SetCells(scFileSize, R, EstimateSizeMB(Video, Audio, Whole(Seconds)));
  }
}

void TQueueEditPanel::skSkinSpeedButton12Click(TObject*)
{
  ApplyOptionControls();
  const TTrackPreferences Prefs = DetectionHost().TrackPreferences;
  for (int R = 1; R < G->GetRowCount(); ++R) SelectDefaultTracks(G, R, Prefs);
  StringGridClick(nullptr);
}

void TQueueEditPanel::EmptyQueue1Click(TObject*)
{
  for (int R = 1; R < G->GetRowCount(); ++R)
    for (int C = 0; C < G->GetColCount(); ++C) G->SetCells(C, R, "");
  G->SetRowCount(2);
  if (ShowAddPanel) ShowAddPanel();
}

void TQueueEditPanel::RemovefromQueue1Click(TObject*)
{
  if (!UiSync) return;
  const TGridRect S = G->GetSelection();
  for (int R = std::min(S.Bottom, G->GetRowCount() - 1); R >= std::max(S.Top, 1); --R) {
    for (int C = 0; C < G->GetColCount(); ++C) G->SetCells(C, R, "");
    DeleteGridRow(G, R);
  }
  // An emptied queue keeps its shape: the title row and one blank row.
  if (G->GetRowCount() < 2) G->SetRowCount(2);
}

void TQueueEditPanel::skSkinSpeedButton19Click(TObject*)
{
  // 1: the number and its width.
  const String Number = skSkinEdit2->GetText();
  bool Digits = !Number.empty() && Number.size() <= 9;
  for (char C : Number) Digits = Digits && C >= '0' && C <= '9';
  if (!Digits) {
    Say("\"" + Number + "\" is no whole number of at most 9 digits: nothing was renamed.");
    return;
  }
  const int Width = static_cast<int>(Number.size());
  int Counter = StrToInt(Number);
  // 2-3
  if (G->GetRowCount() <= 1) return;
  const TGridRect S = G->GetSelection();
  int First = 1, Last = G->GetRowCount() - 1;
  if (S.Bottom - S.Top >= 2) {
    First = std::max(S.Top, 1);
    Last = std::min(S.Bottom, Last);
  }
  // 4: every name is made and checked before any row changes.
  std::vector<std::pair<int, String>> Names;
  for (int R = First; R <= Last; ++R) {
    if (skSkinCheckRadioBox11->GetChecked() && LowerCase(G->GetCells(scConvert, R)) != "yes") continue;
    const String Name = skSkinEdit1->GetText() + ZeroPad(Counter, Width) + skSkinEdit3->GetText();
    String Clean, Why;
    if (!CleanOutputName(Name, Clean, Why) || Clean.size() < Name.size()) {
      Say("The batch rename would make the name \"" + Name + "\": " + Why + " Nothing was renamed.");
      return;
    }
    Names.emplace_back(R, Name == Clean ? Name : Clean);
    if (!Why.empty() && Names.size() == 1) Say(Why);
    ++Counter;
  }
  for (const auto& [R, Name] : Names) G->SetCells(scOutputName, R, Name);
}

void TQueueEditPanel::skSkinEdit2KeyPress(TObject*, char& Key)
{
  if (Key != 8 && (Key < '0' || Key > '9')) Key = 0;
}

void TQueueEditPanel::grids()
{
  TskSkinStringGrid* Q = G;
  for (int C = 2; C < Q->GetColCount(); ++C) Q->SetColWidths(C, 0);
  const struct {
    int Col;
    const char* Title;
    int Width;
  } Source[] = {{0, "#", 50},          {1, "Type", 45},         {7, "Width", 0},       {8, "Height", 0},
                {25, "Duration", 70},  {34, "Convert", 70},     {36, "Filesize", 70},  {49, "Started", 0},
                {50, "Finished", 0},   {51, "Av Speed", 0},     {52, "Filename", 0},   {53, "Width", 0},
                {54, "Height", 0}};
  for (const auto& S : Source) {
    Q->SetCells(S.Col, 0, S.Title);
    Q->SetColWidths(S.Col, S.Width);
  }
  int Used = 0;
  for (int C = 0; C <= 51; ++C) Used += Q->GetColWidths(C);
  Q->SetColWidths(scOutputName, std::max(0, F->progressbar1->GetWidth() - Used));

  TskSkinStringGrid* J = F->convertgrid;
  for (int C = 0; C < J->GetColCount(); ++C) J->SetColWidths(C, 0);
  const struct {
    int Col;
    const char* Title;
    int Width;
  } Jobs[] = {{0, "#", 40},          {1, "tool", 0},      {2, "code", 0},     {3, "ext", 0},
              {4, "aspect/fps", 0},  {5, "vf", 0},        {6, "infile", 0},   {7, "outfolder", 0},
              {8, "outfile", 0},     {11, "Filename", 100}, {70, "", 50},     {71, "Device", 70},
              {72, "", 80},          {73, "Status", 90},  {74, "Started", 60}, {75, "Finished", 60}};
  for (const auto& S : Jobs) {
    J->SetCells(S.Col, 0, S.Title);
    J->SetColWidths(S.Col, S.Width);
  }

  TskSkinStringGrid* D = F->dq;
  D->SetRow(D->GetRowCount() - 1);
  const char* const Titles[] = {"Model", "Screen",     "Video",   "Audio",   "Format", "Brand", "Framerate",
                                "Brightness", "Contrast", "Channels", "Volume", "Pass",  "Output"};
  for (int C = 0; C < 13; ++C) {
    D->SetCells(C, 0, Titles[C]);
    D->SetColWidths(C, C == 5 ? 0 : 70);
  }
}

void TQueueEditPanel::FormResize(TObject*)
{
  // What a grid can show without scrolling sideways: its client width less its visible scroll
  // bar and the grid lines, one after every column (a column of width 0 keeps its line).
  auto Avail = [](TskSkinStringGrid* Grid) {
    IskScrollBarLink* Bar = Grid->GetVScrollBar();
    auto* C = Bar ? dynamic_cast<TControl*>(Bar->LinkComponent()) : nullptr;
    const int Scroll = C && C->GetVisible() ? C->GetWidth() : 0;
    return Grid->GetClientWidth() - Scroll - Grid->GetGridLineWidth() * Grid->GetColCount();
  };
  int Used = 0;
  for (int C = 0; C <= 51; ++C) Used += G->GetColWidths(C);
  for (int C = scOutputName + 1; C < G->GetColCount(); ++C) Used += G->GetColWidths(C);
  G->SetColWidths(scOutputName, std::max(0, Avail(G) - Used));
  TskSkinStringGrid* J = F->convertgrid;
  Used = 0;
  for (int C = 0; C < J->GetColCount(); ++C)
    if (C != 11) Used += J->GetColWidths(C);
  J->SetColWidths(11, std::max(0, Avail(J) - Used));
}
