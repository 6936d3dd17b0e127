// The editing panel of the source queue ("modify" on the main page) and the queue commands that
// go with it: loading the current row into the panel, writing every change of the panel back
// into the row's cells, the batch rename, "Empty Queue", "Remove from queue", "Apply" (the
// language defaults for every row), the size estimate column, and the titles and widths of the
// three visible tables.
//
// Contract callers rely on:
// - The panel mirrors the row StringGridClick last loaded. Its handlers write only while UiSync
//   is set; a load clears UiSync for its duration and disables the grid, so nothing a load sets
//   is written back and a load is never re-entered.
// - Flag cells are written in their exact texts: "Convert" "Yes"/"No", subtitles "YES"/"NO",
//   chapter range, split and angle "Yes"/"No". Chapter, part and angle numbers are written as
//   whole numbers of their spin edits (1..99, at most the row's count), never as typed text.
// - An output name is data: it never holds "/" (it would name a folder), control characters
//   (a newline would break the line-based files the queue is kept in) or more than
//   MaxOutputNameBytes bytes; such input is cleaned, and the user is told what was changed. A
//   name that cleans to nothing, ".", or ".." is refused and the row keeps its name. The batch
//   rename refuses the whole rename (no row changed) when its number is no whole number or a
//   name it would make is refused or too long.
// - "Remove from queue" keeps the queue's empty shape: with every data row gone the grid has
//   two rows, row 1 blank, as everywhere else in the program.
// - Audio and subtitle choices reach a running player as "switch_audio <id> " and
//   "sub_select <id> " (through SlaveCommand, by default the runner's QueueInputLine).
// - Loading a row while a preview player runs stops the player; an identification or a title
//   scan that runs (a tool that is no player) is left to finish.
#pragma once

#include <functional>

#include "core/MainForm.h"
#include "skin/input/SkinEdit.h"

// The longest output base name, in bytes: the name, a part suffix and an extension stay within
// the 255 bytes a Linux file name may have.
constexpr size_t MaxOutputNameBytes = 200;

// The output base name Text cleaned for use as a file name; Why tells what was changed (empty
// when nothing was). Answers false (Why says why) when the name cannot be used at all.
bool CleanOutputName(const String& Text, String& Clean, String& Why);

// The item of the preview window's aspect box that shows the aspect Cell (a number text):
// the last item that contains the value with two decimals; without one, "<value>:1" is
// appended. Answers the index of the item to select. An empty cell answers -1.
int ChooseAspectItem(TStrings* Items, const String& Cell);

// The seek bar's hint: position, then the length of the selection and the whole length.
String SeekBarHint(int Position, int SelStart, int SelEnd, int Max);

// What a row load shows in the preview window (the window applies it; see Preview below).
struct TPreviewRowView {
  String Caption;           // the output name
  String Aspect;            // the aspect cell; empty: the aspect box is left alone
  int Max = 0, SelStart = 0, SelEnd = 0;  // seek bar range and trim selection
  String StartCaption, EndCaption;         // trim start and end as h:mm:ss
};

class TQueueEditPanel {
public:
  // Makes the panel's controls on Parent (owned by Form) and binds them and the grid's click.
  TQueueEditPanel(TForm1* Form, TWinControl* Parent, const TRect& Bounds);

  TskSkinPanel* modify;
  TskSkinEdit* edit2;                   // "Modify resulting filename:"
  TskSkinCheckRadioBox* checkbox3;      // "Enable selection for conversion"
  TskSkinPanel* audiopanel;
  TskSkinComboBox* combobox2;           // "Audio language:"
  TskSkinPanel* subspanel;
  TskSkinCheckRadioBox* checkbox6;      // "Subtitles:"
  TskSkinComboBox* combobox3;
  TskSkinSpeedButton* skSkinSpeedButton9;  // "Preview" (the preview window binds it)
  TskSkinPanel* scenes;
  TskSkinCheckRadioBox* skSkinCheckRadioBox1;  // "Start scene:"
  TskSkinSpinEdit* skSkinSpinEdit1;            // first chapter
  TskSkinSpinEdit* skSkinSpinEdit2;            // last chapter
  TskSkinCheckRadioBox* skSkinCheckRadioBox2;  // "Split in parts of "
  TskSkinSpinEdit* skSkinSpinEdit3;            // chapters per part
  TskSkinPanel* angles;
  TskSkinCheckRadioBox* skSkinCheckRadioBox3;  // "Select angle:"
  TskSkinSpinEdit* skSkinSpinEdit4;            // the angle
  TskSkinEdit* skSkinEdit1;                    // batch rename: "Name"
  TskSkinEdit* skSkinEdit2;                    // "Number(Auto)"
  TskSkinEdit* skSkinEdit3;                    // the suffix
  TskSkinCheckRadioBox* skSkinCheckRadioBox11;  // "Enabled only"
  TskSkinSpeedButton* skSkinSpeedButton19;      // "Rename"

  // ---- Hooks (set by the window) ----
  // Brings the main page, the queue and this panel to the front (the area switching's
  // modifyclick).
  std::function<void()> ModifyClick;
  // Brings the add panel "addstuff" to the front.
  std::function<void()> ShowAddPanel;
  // Tells the user about refused or cleaned input (the status line by default).
  std::function<void(const String& Text)> Report;
  // Sends a slave command to the running player.
  std::function<void(const String& Text)> SlaveCommand;
  // Stops the running preview player (every tool process).
  std::function<void()> StopPreview;
  // The preview window shows a loaded row (unset until that window exists).
  std::function<void(const TPreviewRowView& View)> Preview;

  // ---- Handlers ----
  void StringGridClick(TObject* Sender);
  void Edit2Change(TObject* Sender);
  void CheckBox3Click(TObject* Sender);
  void ComboBox2Change(TObject* Sender);
  void ComboBox3Change(TObject* Sender);
  void CheckBox6Click(TObject* Sender);
  void skSkinCheckRadioBox1Click(TObject* Sender);
  void skSkinCheckRadioBox2Click(TObject* Sender);
  void skSkinCheckRadioBox3Click(TObject* Sender);
  void skSkinSpinEdit1Change(TObject* Sender);
  void skSkinSpinEdit2Change(TObject* Sender);
  void skSkinSpinEdit3Change(TObject* Sender);
  void skSkinSpinEdit4Change(TObject* Sender);
  // Column 36 of every row with a length from the device's rates.
  void SetFilesize();
  // "Apply" on the Language page.
  void skSkinSpeedButton12Click(TObject* Sender);
  void EmptyQueue1Click(TObject* Sender);
  void RemovefromQueue1Click(TObject* Sender);
  // "Rename".
  void skSkinSpeedButton19Click(TObject* Sender);
  // Key filter of "Number(Auto)": backspace and digits only.
  void skSkinEdit2KeyPress(TObject* Sender, char& Key);
  // Titles and widths of the source queue, the job list and the device queue (start-up).
  void grids();
  // The name columns fill what their grids show (the main window's resize): the grids fill the
  // main page's width, so the name columns take what the other columns leave of it.
  void FormResize(TObject* Sender);

private:
  TForm1* F;
  TskSkinStringGrid* G;
  bool FCleaning = false;

  void Say(const String& Text);
  void SetFlag(int Col, bool On, const char* Yes, const char* No);
  void WriteTrack(TskSkinComboBox* Box, int TextCol, int IndexCol, const char* Command);
  void WriteSpin(TskSkinSpinEdit* Edit, int Col, TskSkinCheckRadioBox* Tick);
};
