// Batch crop detection: before a job is converted, AutoDetectCrop finds the black borders of
// the job's input without the user. It grabs frames at five positions (step, 2 x step, ...
// 5 x step seconds, step drawn at random below a sixteenth of the length, at most 300, at most
// 15 for a "dvr-ms" input), measures each frame with the batch measurement (BorderMeasure.h),
// lets the positions vote per side, writes the winning crop into the job row, enlarges it to
// fill the device screen when "Remove black bars from device" is ticked (the zero crop too when
// no position brought a frame), and builds the job's crop texts (PreviewFrames.h).
//
// The vote (cropgrid, the main window's scratch table, rows 0..5): row 0 is the no-crop entry
// (0 on every side), rows 1..5 the positions' entries in display pixels (Round(v / 2) * 4 of
// the frame's value v). For each side every entry with a value gets as count the number of
// entries holding the same text; the first entry with the highest count wins (so the no-crop
// entry wins a tie). All five positions vote. A position whose grab brought no frame writes no
// value and does not vote; it never measures a frame of an earlier grab.
//
// Cells of the job row (convertgrid): 0 "Pass2" marks a second pass; 6 the input part;
// 13 "Cropdetection" while measured; 15 the length (tolerant parse); 16 the screen "W x H";
// 27, 28 the stored size; 42..45 the crop (read first, written last: winner + 2); 46..48, 53,
// 54, 67, 68 the crop texts, cropped and display size.
//
// The conversion driver calls AutoDetectCrop(job row) once per job, before it builds the job's
// command line. It runs on the GUI thread; the grabs wait in the message-pumping wait, so
// Skip, Stop and the crop watchdog are served in between; a stop or a skip skips the remaining
// positions, and after a stop the crop texts are not rebuilt.
#pragma once

#include "platform/rtl/System.h"

class TStringGrid;

enum class TCropDetectResult {
  KeptCrop,    // a crop cell already held a number above 0: nothing was measured
  SecondPass,  // a "Pass2" row took the crop texts and sizes of the first pass above it
  Measured,    // at least one position brought a frame; the vote's crop is in the row
  NoFrame,     // no position brought a frame: the crop is 0 (enlarged to fill the screen when
               // "Remove black bars from device" is ticked)
  Stopped,     // StopRequested was set: the vote ran on what was measured, no texts were built
  BadRow,      // a size, crop or screen cell was no whole number, or a size was 0: the crop
               // is 0, the crop texts are empty, and the job cannot be converted
};

// Never raises for the job row's contents. In every outcome UiSync is off afterwards (except
// SecondPass, which leaves it on as the detection of the first pass needs it for the copy),
// the run buttons are back (cbuttons shown; after a stop b1 and b4 shown, b2 and b3 hidden),
// the crop watchdog is off and ToolRunning is clear.
TCropDetectResult AutoDetectCrop(int JobRow);

// One side's vote over the rows of Votes: value column ValueCol, count column ValueCol + 1
// (left 0, right 2, top 4, bottom 6). Writes the counts of the entries that hold a value and
// returns the winner's value text.
String VoteCropSide(TStringGrid* Votes, int ValueCol);
