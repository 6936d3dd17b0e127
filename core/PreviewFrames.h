// Preview frames and the crop of one row: grabbing a still frame of a source (mencoder cuts a
// five-frame clip at half the display size, ffmpeg writes its first frame as a JPEG, which is
// decoded into the frame image reduced to the halftone palette), measuring its black borders,
// and turning the four crop values of a row into the texts the tools take. Also the small
// JPEG thumbnail of a finished output file.
//
// The interactive routines work on the selected row of the source queue (StringGrid1); the
// Job variants on a row of the job list (convertgrid). Cells, by column (SourceRow.h): 42..45
// crop left, right, top, bottom in display pixels; 46 "crop=W:H:X:Y"; 47, 48 W and H; 67
// "-v_clip L T R B"; 68 "-croptop T -cropbottom B -cropleft L -cropright R".
//
// Every tool here runs the same way: Edit1 shows the command line, the runner works in the work
// folder, StallTicks is reset, ToolRunning is set, the crop watchdog (the main window's
// croptimer, whose ticks run control handles) is on while the wait (WaitForTool) lasts. A tool
// that cannot be started counts as a tool that wrote nothing.
//
// Contracts callers rely on:
// - A grab deletes the temporary clip and frame ("temp/temp.avi", "temp/temp.jpg" in the work
//   folder) before its tools run, so only a frame of this very grab can be loaded; it returns
//   whether one was. A missing, empty or damaged frame file, or a picture without pixels, loads
//   nothing and leaves the frame image as it was.
// - The measurement runs only on a frame that this grab loaded; otherwise the row's crop stays
//   0 (the grab sets cells 42..45 to "0" first) and its crop texts are rebuilt from that.
// - The flags a grab sets (BatchRunning, ToolRunning) are cleared again whatever happens;
//   the crop watchdog is off when a routine returns.
// - Size cells (7, 8, 53, 54; 27, 28 of a job row; the job's source-row number 58) and crop
//   cells are strict whole numbers: a bad one ends the routine with EConvertError, a zero size
//   in a ratio with EZeroDivide; cells written before keep their values.
#pragma once

#include "platform/rtl/System.h"

class TskSkinStringGrid;

// The frame at Position (whole seconds) of the selected source row into the frame image. Does
// nothing when StopRequested is set. A source whose input part (column 22) holds "dvr-ms" is
// grabbed at 20 seconds at most. Whether a frame was loaded.
bool GrabPreviewFrame(int Position);
// GrabPreviewFrame, then (when a frame came) the borders measured into cells 42..45 (twice the
// frame's pixels) with the marked frame saved as "temp/temp2.jpg"; then BuildCropOptions.
void DetectBlackBorders(int Position);
// DetectBlackBorders, then (when a frame came) the fill-screen enlargement for the device
// screen chosen in screensize, then the crop texts.
void DetectBordersAndFillScreen(int Position);
// Cells 42..45 := "0", then the crop texts.
void ResetCrop();
// Cells 42..45 := "0", then the fill-screen enlargement and the crop texts.
void ResetCropAndFillScreen();
// The crop texts of the selected source row from its columns 7, 8 and 42..45 (empty crop cells
// become "0" first). Does nothing unless UiSync is set.
void BuildCropOptions();

// The frame at Position of job row JobRow's input into the frame image; the job row's cells
// 42..45 become "0". An input holding "dvr-ms" is grabbed at 200 seconds at most. A job whose
// source row (column 58) is of kind "VIDEO*" is grabbed by ffmpeg straight from the input; other
// inputs through the mencoder clip. Empty display cells 53, 54 are filled from the source row's
// stored size first. BatchRunning is left as it is (the conversion run holds it). Whether a
// frame was loaded.
bool GrabJobFrame(int Position, int JobRow);
// The crop texts of job row JobRow from its columns 27, 28 and 42..45. Does nothing unless
// UiSync is set.
void BuildJobCropOptions(int JobRow);
// A 160 x 120 JPEG of the output file of JobRow (column 7 + column 8 + "." + column 3) next to
// it, with the extension ".jpg"; made by ffmpeg at 5 seconds. Does nothing when StopRequested.
void MakeOutputThumbnail(int JobRow);

// The temporary files of the grabs, in the work folder's "temp" folder.
String PreviewTempPath(const String& Name);

// The fill-screen enlargement of a row's crop (cells 42..45) for a screen given as text
// (ParseScreenSize), the stored size in WidthCol and HeightCol, the display size in 53 and 54:
// the preview's rounding, or the batch's when Batch. Cells that end below 0 become "0".
void FillScreenCrop(TskSkinStringGrid* Grid, int Row, int WidthCol, int HeightCol, const String& Screen, bool Batch);
// Each of cells 42..45 that parses below 0 becomes "0".
void ClampNegativeCrop(TskSkinStringGrid* Grid, int Row);
