// The program's working data: the main window TForm1 with its hidden tables, lists, memos and
// timers, the history window TForm3, and the run-state variables that every part of the program
// reads and writes directly on the GUI thread. There is one main window, reached through Form1;
// it is made first at start-up and lives until the program ends.
//
// Conventions of the tables (string grids, every cell text):
// - A visible table has a header row 0; data rows start at 1; an empty visible table has two
//   rows with row 1 blank. A row whose column 0 is empty is a free row.
// - Hidden tables (devices, codecgrid, dvdgrid, cropgrid) hold data from row 0 on.
// - Appending (AppendGridRow, SourceRow.h) reuses a blank last row, else adds one, and empties
//   the row it hands out: a grid keeps cells beyond its counts, and they must not come back.
// - Flags are compared exactly: "Yes"/"No", "YES"/"NO", "Done" (SourceRow.h says where).
//
// Run flags are plain variables: false is off; the windows set them, the core reads them.
// ToolRunning, PickerOpen and EjectDone live with the waits that read them (ToolProcesses.h).
//
// The window behaviour (start-up, the handlers, the visible layout) belongs to the application
// windows; this header holds the model only, so that the core works on it without depending on
// the windows.
#pragma once

#include "core/DeviceProfiles.h"  // DeviceTableColCount: devices
#include "core/ToolProcesses.h"
#include "core/XcCreateProcess.h"
#include "extctrls/XcPlaylist.h"
#include "core/WrennShellFolders.h"
#include "platform/rtl/System.h"
#include "platform/vcl/ComboBoxCtrl.h"
#include "platform/vcl/EditCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Grids.h"
#include "platform/vcl/ListBoxCtrl.h"
#include "platform/vcl/Timer.h"
#include "skin/controls/SkinButton.h"
#include "skin/controls/SkinCheckRadioBox.h"
#include "skin/controls/SkinGauge.h"
#include "skin/input/SkinListBox.h"
#include "skin/shell/SkinGrids.h"

// Column counts of the tables.
constexpr int SourceQueueColCount = 71;  // StringGrid1
constexpr int JobListColCount = 79;      // convertgrid
constexpr int DeviceQueueColCount = 21;  // dq as the form makes it (22 once its controls ran)
constexpr int PresetTableColCount = 100; // codecgrid (4 used)
constexpr int TitleTableColCount = 100;  // dvdgrid
constexpr int ScratchTableColCount = 10; // cropgrid
constexpr int HistoryColCount = 60;      // database of TForm3 (4 used)

class TForm1 : public TForm {
public:
  explicit TForm1(TComponent* AOwner);
  ~TForm1() override;

  // Visible tables (header row 0, data from row 1; two rows with row 1 blank when empty).
  TskSkinStringGrid* StringGrid1;  // the source queue, one source row each
  TskSkinStringGrid* convertgrid;  // the job list
  TskSkinStringGrid* dq;           // the device queue

  // Hidden tables.
  TStringGrid* devices;    // every device profile, from row 0
  TStringGrid* codecgrid;  // every encoding preset, from row 0
  TStringGrid* dvdgrid;    // the titles of the DVD being scanned, one source row each
  TStringGrid* cropgrid;   // scratch: title candidates, crop votes

  // Hidden lists.
  TListBox* ListBox1;       // pending inputs
  TListBox* ListBox2;       // one scan's inputs, sorted once first used
  TListBox* filelist;
  TListBox* filelist2;
  TListBox* folderlist;
  TListBox* voblist;
  TListBox* videobox;
  TListBox* dvdbox;
  TListBox* filelist3;      // scratch of the DVD-folder tests
  TListBox* skiplist;       // inputs skipped as already converted (shown in the history panel)
  TListBox* badlist;        // volume labels needing the bad-disc handling
  TListBox* splitbox;       // output parts of the running job
  TListBox* subVid;         // video-file extensions, lower case without dot
  TListBox* subISO;         // disc-image extensions
  TListBox* subWMV;         // extensions the Windows Media encoder reads directly
  TListBox* mencoder_conf;  // lines of mplayer/mencoder.conf
  TListBox* shlfld1;        // special folders: path
  TListBox* shlfld2;        //   display name
  TListBox* shlfld3;        //   identifier name

  // Hidden memos and edits.
  TMemo* Memo1;     // audio track lines
  TMemo* Memo2;     // subtitle track lines
  TMemo* Memo3;     // device-list scratch
  TMemo* dvdlog;    // DVD identification log
  TMemo* settings;  // lines of settings.txt
  TMemo* v;         // the update check's version file
  TMemo* tempmemo;  // scratch of the conversion side steps
  TEdit* Edit3;     // "'"  (replaced by the name cleaning)
  TEdit* Edit5;     // "\"" (replaced by the name cleaning)

  // Timers.
  TTimer* ScanTimer;     // 2,000 ms, off
  TTimer* MonitorTimer;  // on; interval set from the options
  TTimer* converttimer;  // watchdogs: 1,000 ms, off
  TTimer* detecttimer1;
  TTimer* croptimer;
  TTimer* cputimer;

  // Options that the core reads.
  TskSkinCheckRadioBox* finuse;     // "Ignore file-in-use check"
  TskSkinCheckRadioBox* checkbox4;  // "Default audio selection:"
  TskSkinCheckRadioBox* checkbox5;  // "Default subtitle selection:"
  TskSkinCheckRadioBox* checkbox8;  // "Always use subtitles when available"

  // Crop options, the run controls and the status line that the crop detection drives.
  TskSkinCheckRadioBox* mencoder2;     // "Enable Hastekit"
  TskSkinCheckRadioBox* radiobutton1;  // "No cropping"
  TskSkinCheckRadioBox* radiobutton3;  // "Remove black bars from device"
  TComboBox* screensize;               // device screen sizes, items like " 320 x  240"
  TLabel* status;                      // the status line
  TPanel* cbuttons;                    // the run buttons' panel
  TskSkinButton* b1;                   // "Go"
  TskSkinButton* b2;                   // "Skip"
  TskSkinButton* b3;                   // "Stop"
  TskSkinButton* b4;                   // "Status"

  TWrennSpecialFolderInfo* SpecialFolderInfo;

  // Conversion run: the runner of every tool, the last command line started, the tool log,
  // the progress gauge (seconds of the running job) and the hidden playlist of an output folder.
  TXcCreateProcess* XcCreateProcess1;
  TEdit* Edit1;
  TMemo* log;
  TskSkinGauge* progressbar1;
  TXcPlaylist* playlist;

  // Fills shlfld1..3 from the special-folder table (once, at creation).
  void DisplaySpecialFolders();
};

// The history window: the conversion history and the remembered folders.
class TForm3 : public TForm {
public:
  explicit TForm3(TComponent* AOwner);
  ~TForm3() override;

  TskSkinStringGrid* database;  // the conversion history (header row 0)

  // ---- "Monitor folders" ----
  TskSkinListBox* track;  // the remembered folders, one full folder path per item
};

// The one main window and the history window.
extern TForm1* Form1;
extern TForm3* Form3;

// The factory contents of the extension lists (start-up replaces them from files when present).
extern const char* const DefaultVideoExtensions[30];
extern const char* const DefaultDiscImageExtensions[3];
extern const char* const DefaultWmvExtensions[7];

// ---- Run state ----
extern bool Converting;      // a conversion run is active
extern bool GoBusy;          // a Go is in progress
extern bool BatchRunning;    // a scan, frame grab or conversion is busy (on during creation)
extern bool StopRequested;   // Stop or Exit was pressed
extern bool SkipRequested;   // Skip was pressed during the current run
extern bool PlaybackMode;    // the running tool is no identify run
extern bool SeekDragging;    // the preview seek bar is held
extern bool UiSync;          // option controls write back to the selected row
extern int StallTicks;       // watchdog ticks since the last output line
extern bool ToolStalled;     // a watchdog killed a silent tool, or a title was damaged
extern String ProgressLine;  // the encoder progress line since the last tick
extern String ProgressSeen;  // "X" once a line with "os:" came during the job
struct TSpeedStats {
  int LastGauge = 0;     // last gauge value
  int GaugeSum = 0;      // sum of gauge increments
  int SecondsLeft = 0;   // seconds of this and all later jobs
  int Samples = 0;       // number of samples
};
extern TSpeedStats SpeedStats;
extern String SpeedText;            // "1.23x"
extern String ProgressTitlePrefix;  // "2 of 5 : "
extern int DetectRow;               // the source-queue row identification fills
extern String DetectMode;           // "video" or "dvd"
extern bool IdentifyIncomplete;
extern String CurrentDvdName;
extern String DvdTitleCount;
extern int MinTitleSeconds;         // 600
extern int PreviewSourceWidth, PreviewSourceHeight;
extern String WorkFolder;           // with a trailing separator
extern String ProgramFolder;
extern String BuildTag;             // "Build 3.83.1"
extern String WindowTitle;
extern String VersionCaption;
extern String OpenDialogFilter;
extern bool HastekitPresent, PreviewFixPresent, FfmpegAddonPresent;
extern bool NoDeviceSubfolder;
extern bool SettingsSaveDisabled;
extern String TivoMak;

// Sets every run-state variable to its start value (the creation of the main window does).
void ResetRunState();
