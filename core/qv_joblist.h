// The job-list builder: turns the device queue dq and the source queue StringGrid1 of the main
// window into the job list convertgrid, one job row (two for a two-pass encoding) per pair of a
// queued device and a source row marked for conversion, with the device's preset options
// substituted.
//
// Contract:
// - PrepareDeviceSettings(d) reads device-queue row d and the preset table codecgrid and fills
//   DeviceJobSettings and adds the trailing separator to dq column 12.
// - AddConversionJob(s) appends the job rows of source row s built from DeviceJobSettings; a
//   source whose "Convert" cell is not "Yes" or whose stored width is unknown yields nothing.
//   The folder a job row names is made when the row is added (with or without device
//   subfolders), so a device without jobs gets no empty folder; a folder that cannot be made
//   shows "Cannot create create output folder" and the rows are still built.
// - The numeric cells of a device row go into the options as the whole numbers they hold; a row
//   with any other text in them builds a row without options whose fault JobBuildFault names.
// - Job rows start as a copy of source columns 0..70; the columns below are the job's own.
//   Every path that goes onto a tool's command line here is quoted by
//   qv::os::QuoteCommandLinePath, so a name can never change what the tool is told.
#pragma once

#include <functional>

#include "core/MainForm.h"

// Columns of a job row (TConversionJob) that the builder and the driver write.
enum TJobColumn : int {
  jcNumber = 0,         // "%5.5d", or "Pass1"/"Pass2"
  jcTool = 1,           // "mencoder", "ffmpeg", "wmencoder"
  jcOptions = 2,        // substituted preset options (+ pass log file)
  jcExtension = 3,      // output extension without dot
  jcInputOptions = 4,   // extra input options (aspect, tracks, subtitles, angle)
  jcVideoCodec = 5,     // copy of the source's video codec; empty: the job is skipped
  jcInput = 6,          // the tool's input arguments
  jcOutFolder = 7,      // output folder with a trailing separator
  jcOutName = 8,        // output base name
  jcDeviceTitle = 9,    // the device's cleaned title
  jcOutputSize = 10,    // "W x H"
  jcFileName = 11,      // output file name with extension
  jcStartTime = 12,     // "HH:NN:SS  "
  jcState = 13,         // internal status word
  jcEndTime = 14,       // "part k of n" while running, then the end time
  jcSeconds = 15,       // length in whole seconds
  jcScreen = 16,        // the device's screen size
  jcSourcePath = 21,
  jcStoredWidth = 27,
  jcStoredHeight = 28,
  jcBrightness = 32,
  jcContrast = 33,
  jcSourceRow = 58,     // the source row's index in StringGrid1
  jcLengthText = 70,    // "h:mm:ss"
  jcDevice = 71,        // the device title in upper case
  jcShownSize = 72,     // copy of column 10
  jcStatus = 73,        // status shown to the user
  jcStarted = 74,
  jcFinished = 75,
};

// Device-queue columns beyond the device table's (DeviceProfiles.h).
constexpr int DeviceAllowUpscalingCol = 21;  // "Yes" allows upscaling

struct TDeviceJobSettings {
  String DeviceTitle;
  String PresetTool;
  String PresetOptions;
  String PresetExtension;
  String DeviceScreen;
  String DeviceOutputFolder;
  String DeviceBrightness;
  String DeviceContrast;
  // Set when a numeric cell of the device row is not a whole number; the options are then empty.
  String Fault;
};
extern TDeviceJobSettings DeviceJobSettings;

// The audio setting of the Windows Media Encoder script for an audio bit rate text.
String WmeAudioSetting(const String& AudioKbps);
// The preset options with the values of device-queue row d substituted (steps of the
// substitution: bit rates, channels, volume, passes, then "noscale" unless upscaling is allowed).
// DeviceCell(c) gives device-queue column c of the row.
String SubstitutePresetOptions(const String& Tool, const String& Template,
                               const std::function<String(int Col)>& DeviceCell);

void PrepareDeviceSettings(int DeviceRow);
void AddConversionJob(int SourceRow);
// Why job row JobRow cannot run ("Device 2: ... is not a whole number"), "" when it can. Such a
// row names the job but carries no options; the driver fails it with this reason.
String JobBuildFault(int JobRow);

// Empties the job list (two rows, row 1 blank) and builds it from both queues: per device when
// PerDevice, then per selection when PerSelection (both may be set).
void BuildJobList(bool PerDevice, bool PerSelection);

// Whether the "Closed Caption" option (cc) is ticked; the option pages set it.
extern bool ClosedCaptionsEnabled;
// Asks for the TiVo key (the class library's input box); the tests replace it. Returns false
// when the user cancelled.
using TAskTextProc = std::function<bool(const String& Caption, const String& Prompt, String& Value)>;
void SetAskTextProc(TAskTextProc Proc);
bool AskText(const String& Caption, const String& Prompt, String& Value);
