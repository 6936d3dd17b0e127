// The DVD title picker (TForm5, named "Form5"): when "Ask for DVD track selection." is ticked,
// the DVD title scan lists a disc's titles here and waits (WaitForTrackSelection) until the
// user answers. Each title is one line ("DVD - Movie_1 - 1:45:03"), added unticked; the user
// ticks the titles to keep and may play the selected title in the picker's own video area
// first. "OK" keeps the ticked titles, "Cancel" keeps none of this disc (the source queue stays
// as it was). The picker runs its own player through its own runner.
//
// The player draws into the native window behind videowindow1 ("-wid") with the X11 output
// "x11" and "-zoom" (standing for the Windows program's unaccelerated DirectX output); without a display it
// runs with "-vo null". A title plays through the plain DVD input ("dvd://n", the disc's
// VIDEO_TS folder taken from the device path) rather than the menu-aware one.
//
// Contracts callers rely on:
// - Open fills the list and shows the picker without waiting; the scan's wait ends exactly
//   once per Open, by OK, by Cancel or by closing the window through its frame (which counts as
//   Cancel).
// - A playing title is killed before the picker closes, so no player outlives it; "Stop" (the
//   "Preview" button while a title plays) ends the title and its wait.
// - A title that cannot be played (no player, a player that ends at once) leaves the video
//   area hidden and the button reading "Preview", and the wait ends; a player that cannot be
//   started is reported in the main window's status line.
#pragma once

#include "core/DvdScan.h"
#include "core/MainForm.h"
#include "skin/input/SkinCheckListBox.h"

class TForm5 : public TForm, public TDvdTitlePicker {
public:
  explicit TForm5(TComponent* AOwner);
  ~TForm5() override;

  TskSkinPanel* skSkinPanel1;
  TskSkinCheckListBox* skSkinCheckListBox1;
  TXcPanel* videowindow1;          // black, over the list, hidden; the player's window
  TskSkinLabel* skSkinLabel1;      // "The preview might stutter. This is normal."
  TskSkinButton* skSkinButton2;    // "Preview" / "Stop"
  TskSkinButton* skSkinButton3;    // "Cancel"
  TskSkinButton* skSkinButton1;    // "OK"
  TXcCreateProcess* XcCreateProcess1;

  void Open(const std::vector<String>& Items) override;

  void FormCreate(TObject* Sender);
  void FormResize(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void skSkinButton1Click(TObject* Sender);  // OK
  void skSkinButton2Click(TObject* Sender);  // Preview / Stop
  void skSkinButton3Click(TObject* Sender);  // Cancel
  void XcCreateProcess1Read(TObject* Sender, const String& S, bool StartsOnNewLine);
  void XcCreateProcess1Terminate(TObject* Sender, Cardinal ExitCode);

  // The player's command line for title-table row Row.
  String TitleCommandLine(int Row);

private:
  void StopTitle();
  void Answer(bool Ok);
};

extern TForm5* Form5;
