// Media identification: a video file becomes a source row, and the text the tools print
// becomes source-row values.
//
// DetectFile probes one file with mplayer in identify mode (C1), identifies it again with
// ffmpeg when mplayer's answer is incomplete (C2, row type "VIDEO*"), forces a frame rate when
// none was found (C3), then fills the naming, input and flag columns, lists the subtitle side
// files and chooses the default tracks. ParseToolOutputLine is the one parser of every line a
// tool prints while no conversion runs (identify runs, DVD title scans, the preview player,
// frame grabs); it writes into the row DetectRow of the source queue, into the track memos
// Memo1 and Memo2 and into the DVD log dvdlog, and ends identify runs at the player's first
// playback status line (the runner's own child is ended; tools of other programs with the same
// name are not touched).
//
// Contracts callers rely on:
// - The row a run writes to is the row of that run: identification sets DetectRow to its row
//   and sets it back to 0 (no row) when it is done, so identify keys printed by a later run
//   (a preview, a frame grab) land in a row only when the caller that starts that run sets
//   DetectRow to its own row first. Row 0 (the header) and rows outside the queue are never
//   written.
// - Every path goes into a command line through qv::os::QuoteCommandLinePath, so names with
//   blanks, quotes, backslashes, a leading "-" or non-ASCII characters reach the tool as
//   exactly that one argument.
// - Nothing here raises for odd tool output: values are stored as text and read later with
//   StrToFloatSafe. A tool that cannot be started leaves a row with what is known and says so
//   in the status line; a tool that stays silent is ended by the detection watchdog.
// - Everything runs on the GUI thread; the tool waits pump messages (WaitForTool).
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "core/TrackChoice.h"
#include "platform/rtl/System.h"

class TXcCreateProcess;
class TXcReader;
class TDetectionWatchdog;
class TDvdTitlePicker;

// What identification needs of the main window beyond the tables and run state of MainForm.h:
// its process runner, the player's window, the status line, caption and command-line edit, and
// the options that the option pages keep in step with their controls. The main window fills it
// at creation (DetectionHost()); tests fill it with their own runner and options.
struct TDetectionHost {
  TXcCreateProcess* Runner = nullptr;  // XcCreateProcess1; without it no tool is started
  std::uintptr_t VideoWindow = 0;           // the window handle of videowindow1 ("-wid")
  std::function<void(const String&)> ShowStatus;       // the status label
  std::function<void(const String&)> ShowCaption;      // the main window's caption
  std::function<void(const String&)> ShowCommandLine;  // Edit1
  // The preview player's frame size from its video-output line ("VO: [x11]", "VO: [xv]", the
  // Windows outputs, or "VO: [null]" of a preview without a display): the preview window places
  // its picture (FitPreviewPicture) and redraws its crop lines.
  std::function<void(int Width, int Height)> PlacePreviewPicture;
  String ForcedFrameRate = "60000/1001";   // fpstext
  bool DetectWithPlayerFix = false;        // detect2 "Enable for detection as well"
  bool DvdAsVobs = false;                  // vobmark "DVD as VOBs"
  bool AskTitles = false;                  // askscan "Ask for DVD track selection."
  bool EpisodeRecognition = false;         // episodes "Automatic Movie  / Episode recognition"
  TTrackPreferences TrackPreferences;      // the default-track options
  TDetectionWatchdog* Watchdog = nullptr;  // the detection watchdog (detecttimer1)
  TDvdTitlePicker* Picker = nullptr;       // the DVD title picker window
};
TDetectionHost& DetectionHost();

// Adds and fills one source row for the video file Path; does nothing while StopRequested is
// set.
void DetectFile(const String& Path);

// One output line, with one blank in front of the tool's text.
void ParseToolOutputLine(const String& Line);

// The picture rectangle of a frame of Width x Height fitted into a panel of PanelWidth x
// PanelHeight with 16 pixels to spare each way, centred. Empty (all 0) when a size is not
// positive.
struct TPreviewPlacement {
  int Left = 0, Top = 0, Width = 0, Height = 0;
};
TPreviewPlacement FitPreviewPicture(int PanelWidth, int PanelHeight, int Width, int Height);

// Feeds the runner's output reports to ParseToolOutputLine (or to the sink it is given), one
// call per output line, with one blank in front of the line. The runner reports a line again
// each time more of it arrives (a line cut at a read boundary, a status line rewritten after
// CR); a cut line is handed over once, whole, when its end comes, and a playback status line
// (starting with "A:" or "V:") at once, each of its texts once, so that an identify run ends
// at its first one. A last line that the tool ends without a line end is held until Flush,
// which hands it over once; blank lines are never handed over. The read handler passes every
// report with the reader it came from; the terminate handler calls Flush before it clears
// ToolRunning.
class TDetectionLineFeed {
public:
  using TSink = std::function<void(const String& Line)>;
  explicit TDetectionLineFeed(TSink Sink = nullptr) : FSink(std::move(Sink)) {}
  // A report of the current line, S; Reader null: S is a whole line.
  void Report(const String& S, const TXcReader* Reader);
  void Flush();

private:
  void Hand(const String& S);

  TSink FSink;
  String FPending;       // the current line while it has no line end
  String FHandedStatus;  // the status text of the current line already handed over
};

// Starts CommandLine on the host's runner in the work folder, shows it in the command-line
// edit and waits until ToolRunning clears (the caller sets it). With Watched the detection
// watchdog runs meanwhile (StallTicks starts at 0). A tool that cannot be started clears
// ToolRunning at once and says why in the status line.
void RunDetectionTool(const String& CommandLine, bool Watched);
void DetectionStatus(const String& Text);

// The command line's tool: the work folder and Tool in double quotes, "mplayer2.exe" for
// "mplayer.exe" when the preview fix is present and detection is to use it.
String DetectionToolPath(const String& Tool);
