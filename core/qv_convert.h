// The conversion driver and its side steps. StartConversion builds the job list from both
// queues (qv_joblist.h), then runs the jobs one by one and part by part through the encoders
// (qv_cmdline.h builds the lines, RunControl.h watches the runs), and finishes every job: its
// status, the output check, the playlist of the output folder, the source mark and the
// history entry.
//
// Contract:
// - A job reads "Finished (speed)" only when every part's tool ended with exit code 0, no
//   watchdog killed it, and every part's output file exists and is not empty; otherwise it
//   reads "Failed" and the tool's own last lines go to the log (JobFailureReason keeps them).
//   When the output folder's volume has (almost) no space left, the reason begins with
//   "the disk is full: ", the quoted folder and the system's disk-full text, the tool's words
//   following in brackets; the statuses stay as they are.
//   Skip gives "Skipped", Stop "Stopped (speed)" / "Stopped"; the source row gets "Done" only
//   for a finished job, else "No".
// - The output folder is chosen first (the source's own folder with "(VIDEO) Use source folder
//   as output folder"), then a free name in it: no file of any part exists under it and none is
//   one of the job's inputs (resolved paths and hard links compared). Two-pass jobs share one
//   free output name; split parts share one free base and are checked and listed each; the
//   parts of a split two-pass job keep a first-pass log each.
// - Skip ends the job it was pressed in, whichever step runs (crop detection, the TiVo decode,
//   the intermediate file, a part); it is cleared once per job, and a skipped first pass skips
//   its second. The intermediate file counts only when its run ended with exit code 0, was not
//   killed and left a non-empty file; otherwise the job ends "Skipped", "Stopped" or "Failed"
//   with the tool's reason and its encoder never runs.
// - A DVD title read through "dvdnav://" ends at the title's length ("-endpos").
// - A run that finds nothing to convert says "Nothing to convert" in the status line.
// - Whatever goes wrong inside a job (bad cells, a tool that cannot start) fails that job only;
//   the run always ends with Converting, BatchRunning and GoBusy cleared.
// - Batch crop detection, the output thumbnail and the history entry are called through
//   RunHooks (RunControl.h); the parts of the program that provide them install them.
#pragma once

#include "core/MainForm.h"

void StartConversion();

// Side steps.
// Decodes a TiVo recording; false when the user abandoned the key prompt or Stop was pressed.
bool ConvertTivoToMpeg(int JobRow);
// The input argument for a WME or ffmpeg run: Input unchanged or the quoted intermediate AVI.
// Raises when the intermediate file was not made whole (see the contract above).
String MakeInbetweenFile(const String& Input, const String& PartText, const String& OutputBase, int SourceRow,
                         int JobRow);
void CompatibilityFix(const String& TemporaryFile, const String& FinalFile, int JobRow);

// The reason a job of the last run failed ("" when it did not).
String JobFailureReason(int JobRow);

// The per-job texts the driver prepares (exposed for the tests of the preparation).
struct TJobTexts {
  int W = 0, H = 0, DevW = 0, DevH = 0, Wout = 0, Hout = 0;
  bool NoScale = false;
  String FilterChain, MencoderRateOption, WmeOptionText, FfmpegOptionText, CropFilterText, ClipOptionsText,
      CropOptionsText, OutputFrameRateText;
};
extern TJobTexts JobTexts;
// Steps 5 to 17 of preparing job row r (size, filters, rate, free name, parts into splitbox).
// Raises on cells it cannot use (the driver fails the job).
void PrepareJobTexts(int JobRow);
