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
#include "core/WrennShellFolders.h"
#include "platform/rtl/System.h"
#include "platform/vcl/EditCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Grids.h"
#include "platform/vcl/ListBoxCtrl.h"
#include "platform/vcl/Timer.h"
#include "extctrls/XcEdit.h"
#include "extctrls/XcPanel.h"
#include "extctrls/XcPlaylist.h"
#include "extctrls/XcStringGrid.h"
#include "extctrls/XcTrackBar.h"
#include "platform/vcl/ComboBoxCtrl.h"
#include "skin/controls/SkinButton.h"
#include "skin/controls/SkinCheckRadioBox.h"
#include "skin/controls/SkinGauge.h"
#include "skin/controls/SkinLabel.h"
#include "skin/controls/SkinPanel.h"
#include "skin/controls/SkinSpeedButton.h"
#include "skin/controls/SkinStdLabels.h"
#include "skin/input/SkinComboBox.h"
#include "skin/input/SkinListBox.h"
#include "skin/input/SkinMemo.h"
#include "skin/input/SkinSpinEdit.h"
#include "skin/input/SkinTrayIcon.h"
#include "skin/shell/SkinGrids.h"

// The option combo boxes: Items, ItemIndex (set from code selects the item, shows its text and
// runs the box's actions), Text and OnChange.
using TOptionComboBox = TskSkinComboBox;

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
  TskSkinCheckRadioBox* checkbox8;  // "Always use subtitles when available" (subtitle group)

  // ---- Display elements, lists and the run-button panel (labels, gauge, lists, memo) ----
  TXcStringGrid* tempgrid;          // hidden carrier of stream grid files
  TXcPlaylist* playlist;            // hidden: the playlist of one output folder
  TXcEdit* Edit1;                   // the command line of the tool started last ("CMD1")
  TskSkinMemo* log;                 // tool output and watchdog messages ("CMD2")
  TskSkinStdLabel* status;          // the status line
  TskSkinGauge* progressbar1;       // 0..100 in the form
  TskSkinStatusPanel* spaceleft;    // free space of the output folder's drive
  TskSkinListBox* devicelist;       // the device list page
  TskSkinListBox* skSkinListBox1;   // device-list scratch
  TXcPanel* cbuttons;               // the run buttons
  TskSkinButton* b1;                // "Go"
  TskSkinButton* b2;                // "Skip"
  TskSkinButton* b3;                // "Stop"
  TskSkinButton* b4;                // "Status"
  TskSkinSpeedButton* skip2;        // "Skip" while a title scan reports titles
  TskSkinPanel* history;            // holds skiplist; shown while the skip list has items
  TskTrayIcon* skTrayIcon1;         // the notification-area icon; its hint shows progress

  // ---- The options the settings store keeps (radio groups: crop 1, subtitles 2) ----
  TskSkinPanel* Panel6;                       // holds the profile box; shown with 2+ profiles
  TOptionComboBox* profilebox;                // "Conversion profile:"
  TOptionComboBox* prioritybox1;              // "Conversion Priority : ..."
  TskSkinCheckRadioBox* radiobutton1;         // "No cropping"
  TskSkinCheckRadioBox* radiobutton2;         // "Remove black bars from file"
  TskSkinCheckRadioBox* radiobutton3;         // "Remove black bars from device" (not stored)
  TskSkinCheckRadioBox* radiobutton4x;        // "Fullscreen Stretch"
  TskSkinCheckRadioBox* radiobutton12;        // "Add black bars to fit resolution"
  TskSkinCheckRadioBox* askscan;              // "Ask for DVD track selection."
  TOptionComboBox* combobox4;                 // first audio language
  TOptionComboBox* combobox5;                 // second audio language
  TOptionComboBox* combobox6;                 // first subtitle language
  TOptionComboBox* combobox7;                 // second subtitle language
  TskSkinCheckRadioBox* checkbox7;            // "Only use subtitles when primary audio not available"
  TskSkinCheckRadioBox* radiobutton6;         // "Do not enable subtitles automatically" (not stored)
  TskSkinCheckRadioBox* episodes;             // "Automatic Movie  / Episode recognition"
  TskSkinCheckRadioBox* checkbox1;            // "Shutdown computer when done"
  TskSkinCheckRadioBox* selfexit;             // "Shutdown Quelvo when done"
  TskSkinCheckRadioBox* checkbox2;            // "Convert automatically"
  TskSkinCheckRadioBox* checkbox9;            // "Scan for DVD's on startup"
  TskSkinCheckRadioBox* checkbox10;           // "Monitor DVD's on insert"
  TskSkinCheckRadioBox* checkbox11;           // "Eject DVD when done"
  TskSkinCheckRadioBox* checkbox12;           // "Remember added folders"
  TskSkinCheckRadioBox* checkbox13;           // "Skip previously  converted files"
  TskSkinCheckRadioBox* videofolder;          // "(VIDEO) Use source folder as output folder"
  TskSkinCheckRadioBox* skSkinCheckRadioBox4x;  // "Convert only "
  TskSkinSpinEdit* limit;                     // minutes converted by "Convert only ", 1..30
  TskSkinSpinEdit* corecount;                 // "Processor count:", 1..32
  TskSkinLabel* skSkinLabel2;                 // the "Run before conversion:" command
  TskSkinLabel* skSkinLabel3;                 // the "Run after conversion:" command
  TOptionComboBox* fpstext;                   // "AVCHD Camera Framerate:"
  TskSkinCheckRadioBox* skSkinCheckRadioBox4;   // "Open video folder when done"
  TskSkinCheckRadioBox* mencoder2;            // "Enable Hastekit"
  TskSkinCheckRadioBox* mplayer2;             // "Enable Vista/7 Preview fix"
  TskSkinCheckRadioBox* detect2;              // "Enable for detection as well"
  TskSkinCheckRadioBox* skSkinCheckRadioBox5;   // "Start minimized"
  TskSkinCheckRadioBox* skSkinCheckRadioBox6;   // "Minimize to tray"
  TskSkinCheckRadioBox* skSkinCheckRadioBox7;   // "Rightclick > Send to Quelvo"
  TskSkinCheckRadioBox* skSkinCheckRadioBox8;   // "Run on Windows startup"
  TskSkinCheckRadioBox* dvdnav;               // "Nicer subtitles"
  TskSkinCheckRadioBox* cc;                   // "Enable Closed Caption (if available)"
  TskSkinCheckRadioBox* vobmark;              // "DVD as VOBs" (not stored)
  TskSkinCheckRadioBox* radiobutton4;         // "Convert per device" (radio group 3; not stored)
  TskSkinCheckRadioBox* RadioButton5;         // "Convert per selection"
  TskSkinCheckRadioBox* skSkinCheckRadioBox12;  // "Save state on close"
  TskSkinCheckRadioBox* skSkinCheckRadioBox13;  // "Load state on startup"
  TskSkinCheckRadioBox* savestatus;           // "Save conversion status on close"
  TskSkinSpinEdit* monitorvalue;              // "Check for new files every" ... "Minutes", 1..1440
  TskSkinSpinEdit* skSkinSpinEdit5;           // "Minimum playtime for DVD selections", 2..36000
  TskSkinCheckRadioBox* deint;                // "Deinterlace"
  TskSkinCheckRadioBox* skSkinCheckRadioBox14;  // "SRT subtitle font scale:" (its panel is hidden)
  TskSkinSpinEdit* skSkinSpinEdit6;           // the scale, 1..100

  // ---- The device panel: the queue dq and the controls that show its current row ----
  TOptionComboBox* brand;       // "Video Player device:" the device groups (sorted)
  TOptionComboBox* model;       // the names of the chosen group (sorted)
  TOptionComboBox* screensize;  // "Player Screensize:" items like " 320 x  240"
  TskSkinSpinEdit* vq;          // "Video quality (Kbps):" 100..9999, step 10
  TskSkinSpinEdit* aq;          // "Sound quality (Kbps):" 32..256, step 32
  TOptionComboBox* codec;       // "Conversion format:" the preset ids in table order
  TXcTrackBar* frps;            // "Framerate:" 1..30
  TskSkinStdLabel* skSkinStdLabel16;  // the frame rate as a number
  TXcTrackBar* XcTrackBar1;     // "Volume:" 0..30
  TskSkinStdLabel* skSkinStdLabel13;  // the volume as a number
  TOptionComboBox* ac;          // "Audio mode:" "Mono", "Stereo"
  TOptionComboBox* pass;        // "Video mode:" "1 Pass", "2 Passes"
  TskSkinCheckRadioBox* skSkinCheckRadioBox9;   // "Screenrating:" (shown for "HandheldPC")
  TskSkinSpinEdit* rating;      // the decoder speed limit, 10..9999900 (shown with the switch)
  TskSkinLinkLabel* xcedit2;    // "Video output folder:" caption and URL: the folder
  TskSkinCheckRadioBox* skSkinCheckRadioBox10;  // "Allow upscaling" (settings page "Conversion")
  TskSkinSpeedButton* SpeedButton4;         // "Browse"
  TskSkinSpeedButton* skSkinSpeedButton25;  // "Edit" (hidden; the menu's "Manual Destination Entry")
  TskSkinSpeedButton* SpeedButton5;         // "Add device"
  TskSkinSpeedButton* tcpmp;                // the info button ("WMV info", "TCPMP info")
  TskSkinSpeedButton* skSkinSpeedButton8;   // the settings toggle ("Global settings")
  TskSkinSpeedButton* skSkinSpeedButton10;  // "Save profile"
  TskSkinPanel* Panel11;                    // shown while the queue holds two or more devices
  TOptionComboBox* multidevicebox;          // "Multi-device list:" one entry per queue row
  TskSkinSpeedButton* skSkinSpeedButton5;   // "Del. device"
  TskSkinSpeedButton* skSkinSpeedButton18;  // "Clear All"
  TskSkinStatusPanel* spskinlabel1;         // the device list's count line
  // The main window's pages and work panels that the handlers bring to the front.
  TskSkinPanel* p1;  // the main page
  TskSkinPanel* g1;  // the source queue
  TskSkinPanel* g2;  // the job list

  // The device queue (DeviceQueue.cpp). Every handler works on dq's current row; see
  // DeviceQueue.h for the rules they keep.
  void dqClick(TObject* Sender);
  void brandChange(TObject* Sender);
  void modelChange(TObject* Sender);
  void codecChange(TObject* Sender);
  void screensizeChange(TObject* Sender);
  void vqChange(TObject* Sender);
  void aqChange(TObject* Sender);
  void acChange(TObject* Sender);
  void frpsChange(TObject* Sender);
  void XcTrackBar1Change(TObject* Sender);
  void passChange(TObject* Sender);
  void skSkinCheckRadioBox9Click(TObject* Sender);
  void ratingChange(TObject* Sender);
  void skSkinCheckRadioBox10Click(TObject* Sender);
  void SpeedButton4Click(TObject* Sender);
  void skSkinSpeedButton25Click(TObject* Sender);
  void SpeedButton5Click(TObject* Sender);
  void skSkinSpeedButton5Click(TObject* Sender);
  void skSkinSpeedButton18Click(TObject* Sender);
  void ResetProfile1Click(TObject* Sender);
  void multideviceboxChange(TObject* Sender);
  // The multi-device list made again from dq: one entry per queue row. Every load of dq from a
  // file (a saved profile, the state file) calls it, so the list never falls behind the grid.
  void RebuildMultiDeviceList();

  // The runner of every tool.
  TXcCreateProcess* XcCreateProcess1;

  // The option actions the settings store runs through the controls.
  // MonitorTimer's interval := monitorvalue minutes.
  void monitorvalueChange(TObject* Sender);
  // MinTitleSeconds := the minimum playtime.
  void skSkinSpinEdit5Change(TObject* Sender);
  // Ticks "SRT subtitle font scale:", which rewrites the scale line.
  void skSkinSpinEdit6Change(TObject* Sender);
  // Drops every scale line of mencoder_conf, appends the spin edit's when ticked, writes the file.
  void skSkinCheckRadioBox14Click(TObject* Sender);

  // Saved device profiles (SavedProfiles.cpp): whole device queues kept as text grid files
  // WorkFolder + "profiles/" + name + ".prf". A name is refused (with a message, nothing
  // written or deleted) when it holds "/" or "\", "..", or cleans to nothing.
  // Loads the profile the profile box shows into dq (a missing file changes nothing).
  void profileboxChange(TObject* Sender);
  // "Save profile": asks a name, writes dq, refills the profile box and selects the name.
  void skSkinSpeedButton10Click(TObject* Sender);
  // "Delete Profile": after a Yes, deletes the shown profile's file and refills the box.
  void DeleteProfile1Click(TObject* Sender);
  // "Rename Profile": asks the new name, writes the current queue under it, drops the old file.
  void RenameProfile1Click(TObject* Sender);

  TWrennSpecialFolderInfo* SpecialFolderInfo;

private:
  // Makes the device panel's controls and wires their events (at creation).
  void MakeDevicePanel();

public:

  // Fills shlfld1..3 from the special-folder table (once, at creation).
  void DisplaySpecialFolders();
};

// The history window: the conversion history and the remembered folders.
class TForm3 : public TForm {
public:
  explicit TForm3(TComponent* AOwner);
  ~TForm3() override;

  TskSkinStringGrid* database;  // the conversion history (header row 0)
  TskSkinListBox* track;        // remembered folders, one path each
};

// The one main window and the history window.
extern TForm1* Form1;
extern TForm3* Form3;
// The program's window of that form name ("Form2" the preview window ...), when it exists.
TForm* FindProgramForm(const String& Name);

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
