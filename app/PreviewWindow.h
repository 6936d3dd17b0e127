// The preview and crop window (TForm2, named "Form2"): plays the selected source of the source
// queue with the player embedded in the window's video area, and lets the user set the trim
// start and end on the seek bar, the display aspect, the device's brightness and contrast and
// the four crop borders (by hand with the crop bars, whose shaded overlays cover the cropped
// edges of the picture, or by the four buttons that measure the borders on a grabbed frame).
// Every change goes at once into the selected source row (StringGrid1) or, for brightness and
// contrast, into the selected device-queue row (dq); while the player runs, aspect,
// brightness, contrast, seek and pause reach it as slave commands on its standard input.
//
// The player is the main window's runner (XcCreateProcess1) running "mplayer.exe" in slave
// mode. It draws into the native window behind preview2 ("-wid"). The Windows program named
// its DirectX outputs here; on X11 the plain XImage output "x11" (with "-zoom", so that it
// scales the picture to the window) stands for the unaccelerated "directx:noaccell" (it embeds
// into a foreign window everywhere, Xvfb included), and the preview fix's "direct3d" becomes
// "xv,x11" (XVideo scaling, with x11 where the server has no XVideo). Without a display (headless) there is no window to draw into: the player runs with
// "-vo null" and everything else works as with a picture.
//
// Contracts callers rely on:
// - PlayPreview stops a running tool (and nothing else), or starts the player for the selected
//   source row and waits, pumping messages, until it has ended; everything the user does in
//   the window meanwhile runs inside that wait. Starting, it loads the selected row through the
//   main window's queue editor, which shows the row's output name, aspect, length and trim
//   marks in this window (ShowRow). A source that is gone, or a player that cannot
//   be started, is reported in the status line; ToolRunning is clear and the run buttons are
//   back afterwards in every case.
// - Identify keys the player prints (a row without a length gets " -identify") go into the
//   previewed row only (DetectRow is that row while the player runs, 0 afterwards).
// - The trim start never passes the trim end: setting one beyond the other moves the other to
//   the source's start (0) or end (the seek bar's maximum), so the lengths written are never
//   negative.
// - "Apply to all equal selections" writes only into used rows (column 0 filled) below the
//   header whose stored width and height texts equal the selected row's.
// - Closing or destroying the window kills a running player.
// - While a conversion runs the window starts nothing and stops nothing (the tool that runs is
//   an encoder): playing and the crop buttons only say so in the status line.
// - While the window exists it is the main window's queue editor's preview: the editor's
//   "Preview" button plays, and each row the editor loads is shown here. Destroying the window
//   undoes both.
#pragma once

#include <cstdint>
#include <functional>

#include "core/MainForm.h"
#include "core/FrameImage.h"
#include "extctrls/XcSpeedButton.h"
#include "platform/vcl/ExtCtrls.h"

class TQueueEditPanel;
struct TPreviewRowView;

class TForm2 : public TForm {
public:
  explicit TForm2(TComponent* AOwner);
  ~TForm2() override;

  TskSkinLabel* skSkinLabel1;     // "The preview might stutter. This is normal."
  TPanel* Panel3;                 // the video area; a click acts as a click on the player
  TXcPanel* preview2;             // black; its native window is the player's ("-wid")
  TXcPanel* left;                 // crop overlays laid over the cropped edges of preview2
  TXcPanel* right;
  TXcPanel* top;
  TXcPanel* bottom;
  TskSkinSpeedButton* button1;    // trim start
  TXcTrackBar* trackbar2;         // seek bar (whole seconds) with the trim range as selection
  TskSkinSpeedButton* button2;    // trim end
  TskSkinGroupBox* cropbox;       // "edit screen settings"
  TskSkinComboBox* aspectbox;     // "Aspect ratio:"
  TXcTrackBar* XcTrackBar2;       // "Brightness:" -20..20
  TskSkinStdLabel* skSkinStdLabel3;
  TXcTrackBar* XcTrackBar3;       // "Contrast:" -20..20
  TskSkinStdLabel* skSkinStdLabel5;
  TXcTrackBar* lt;                // "Crop left:" ... in source pixels
  TXcTrackBar* rt;
  TXcTrackBar* tp;
  TXcTrackBar* bt;
  TskSkinStdLabel* skSkinStdLabel13;
  TskSkinStdLabel* skSkinStdLabel14;
  TskSkinStdLabel* skSkinStdLabel15;
  TskSkinStdLabel* skSkinStdLabel16;
  TXcSpeedButton* XcSpeedButton2;  // detect borders
  TXcSpeedButton* XcSpeedButton3;  // detect borders and fill the screen
  TXcSpeedButton* XcSpeedButton4;  // reset the crop
  TXcSpeedButton* XcSpeedButton5;  // reset the crop and fill the screen
  TskSkinButton* skSkinButton34;   // "Apply to all equal selections"

  // Lays out the crop overlays from the crop bars and sets the bars' ranges (a third of the
  // source size); then resdisplay.
  void lines();
  // The crop texts of the selected row, and the device playback size in the caption.
  void resdisplay();

  // What loading a source row shows here: the output name as the caption, the aspect chosen in
  // the aspect box, the seek bar's range and trim selection, the trim buttons' captions.
  void ShowRow(const TPreviewRowView& View);

  // The player reported its picture size (PreviewSourceWidth and PreviewSourceHeight are set):
  // the window lays itself out for it.
  void PicturePlaced(int Width, int Height);

  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormResize(TObject* Sender);
  void button1Click(TObject* Sender);
  void Button2Click(TObject* Sender);
  void TrackBar2Change(TObject* Sender);
  void trackbar2MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void trackbar2MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void preview2Click(TObject* Sender);
  void XcSpeedButton2Click(TObject* Sender);
  void XcSpeedButton3Click(TObject* Sender);
  void XcSpeedButton4Click(TObject* Sender);
  void XcSpeedButton5Click(TObject* Sender);
  void aspectboxChange(TObject* Sender);
  void ltChange(TObject* Sender);
  void rtChange(TObject* Sender);
  void tpChange(TObject* Sender);
  void btChange(TObject* Sender);
  void cropboxChangeRollUpState(TObject* Sender);
  void skSkinButton34Click(TObject* Sender);

  // The seek bar's hint: position, then trim length and the maximum in parentheses.
  String SeekHint() const;

private:
  // Becomes (Connect) or stops being the queue editor's preview.
  void ConnectQueueEditor(bool Connect);
  void CropBarChange(TXcTrackBar* Bar, TXcPanel* Overlay, TskSkinStdLabel* Label, int Column);
  void PlaceOverlay(TXcPanel* Overlay, int Position);
  void SetTrim(bool Start);

  std::vector<std::unique_ptr<TBitmap>> FGlyphs;
};

extern TForm2* Form2;

// The aspect items of the aspect box, in order.
extern const char* const PreviewAspectItems[18];

// The video output part of the player's arguments: " -vo ... -slave -nokeepaspect" and, with
// a window (Wid not 0), " -wid " and the id. Fix: the preview fix's output.
String PreviewVideoOutput(bool Fix, std::uint64_t Wid);
// The player's command line for the selected source row, from the row and the main window's
// controls (audio and subtitle boxes, their switches, the preview window's bars).
String PreviewCommandLine();

// The main window's "Preview" button (skSkinSpeedButton9): nothing when Sender is null or the
// selected source row is free; otherwise loads the device's brightness and contrast onto the
// bars, shows the window and plays.
void PreviewButtonClick(TObject* Sender);
void PlayPreview();
// The brightness and contrast bars of the preview window: their selection spans 0 to the
// position, the value label and device-queue column 7 (8) get the position times 5, and a
// running player gets the value.
void PreviewBrightnessChange();
void PreviewContrastChange();
