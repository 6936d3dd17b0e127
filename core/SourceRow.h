// The source row: one thing to convert (a video file or one DVD title) as a row of text cells
// of the source queue StringGrid1 (71 columns, header row 0) and of the title table dvdgrid
// (the same numbering in columns 0 to 69, no header). The column constants below are the only
// way code names a column.
//
// Cell texts: whole numbers in decimal without grouping; fractional values as the tool printed
// them (read with StrToFloatSafe); track lists (16, 17) are lines separated by CR LF. Flag words
// are compared exactly: "Yes"/"No" in 34, 59, 62, 64 (detection also writes "NO" in 59, 62, 64,
// compared only against "Yes"); "YES"/"NO" in 29, 55, 56; column 34 also holds "Done".
#pragma once

#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/System.h"

enum TSourceColumn : int {
  scNumber = 0,            // "#": row number as "%5.5d"; non-empty marks a used row
  scType = 1,              // "Type": "VIDEO", "VIDEO*" (identified by the fallback), "DVD"
  scName = 2,              // file name without extension; a title: volume name "_" title number
  scLength = 3,            // length in seconds as the tool printed it ("0" after a read error)
  scVideoFormat = 4,       // a title with an empty one is never selected
  scVideoCodec = 5,
  scVideoBitrate = 6,
  scWidth = 7,             // "Width": stored frame width
  scHeight = 8,            // "Height": stored frame height
  scFrameRate = 9,
  scAspect = 10,           // a value starting with "0" means no aspect
  scAudioFormat = 11,
  scAudioCodec = 12,
  scAudioBitrate = 13,
  scAudioRate = 14,
  scAudioChannels = 15,
  scAudioTracks = 16,      // audio track lines
  scSubtitleTracks = 17,   // subtitle track lines and "SRT File:"/"SUB File:" side files
  scChapters = 18,
  scAngles = 19,
  scVideoOutput = 20,      // the player's video-output line after "VO: [...]"
  scSourcePath = 21,
  scInputArgs = 22,        // the input part of a tool command line
  scTrimStart = 23,        // whole seconds; "0" = from the start
  scTrimEnd = 24,          // equal text to scLength = the end of the source
  scDuration = 25,         // "Duration": "h:mm:ss" to convert
  scAudioChoice = 26,      // chosen audio track's description
  scAudioChoiceLine = 27,  // its 0-based line in scAudioTracks
  scUnused28 = 28,
  scSubtitlesOn = 29,      // "YES"/"NO"
  scSubtitleChoice = 30,   // chosen subtitle's description, or a side-file line
  scSubtitleChoiceLine = 31,
  scZero32 = 32,           // "0"
  scZero33 = 33,           // "0"
  scConvert = 34,          // "Convert": "Yes", "No", "Done"
  scConvertSeconds = 35,   // length to convert in whole seconds
  scFileSize = 36,         // "Filesize": "%3.2f MB" estimate
  scCropLeft = 42,
  scCropRight = 43,
  scCropTop = 44,
  scCropBottom = 45,
  scCropFilter = 46,       // "crop=w:h:x:y" or empty
  scCroppedWidth = 47,
  scCroppedHeight = 48,
  scStarted = 49,          // "Started": empty in source rows
  scFinished = 50,         // "Finished": empty in source rows
  scAvSpeed = 51,          // "Av Speed": empty in source rows
  scOutputName = 52,       // "Filename": output base name
  scDisplayWidth = 53,     // "Width"
  scDisplayHeight = 54,    // "Height"
  scAudioLangFound = 55,   // "YES"/"NO"
  scSubtitleDefaultRan = 56,  // "NO" once the default subtitle choice ran
  scHistoryName = 57,
  scJobSourceRow = 58,     // empty in source rows
  scStartAtChapter = 59,   // "Yes"/"No"
  scFirstChapter = 60,
  scLastChapter = 61,
  scSplitParts = 62,       // "Yes"/"No"
  scChaptersPerPart = 63,
  scAngleChosen = 64,      // "Yes"/"No"
  scAngleNumber = 65,
  scTitleNumber = 66,      // DVD title number
  scClipArgs = 67,         // "-v_clip l t r b"
  scCropArgs = 68,         // "-croptop ..." arguments
  scTitleAspect = 69,
  scUnused70 = 70,
};
constexpr int SourceRowColCount = 71;
constexpr int SourceRowLastTitleColumn = 69;  // title rows use 0..69

// Appends a row to a visible table (header row 0): when column 0 of the last row is not empty
// the row count grows by one; the last row is then emptied (cells 0 .. column count - 1, and
// any cells the grid kept beyond its counts up to MaxCols) and its number returned. So the
// blank row 1 of an empty table is filled first, and a blank last row is reused.
template <class TGrid>
int AppendGridRow(TGrid* Grid, int MaxCols = 0)
{
  int Last = Grid->GetRowCount() - 1;
  if (!Grid->GetCells(0, Last).empty()) {
    Grid->SetRowCount(Last + 2);
    Last = Grid->GetRowCount() - 1;
  }
  const int Cols = Grid->GetColCount() > MaxCols ? Grid->GetColCount() : MaxCols;
  for (int C = 0; C < Cols; ++C)
    if (!Grid->GetCells(C, Last).empty()) Grid->SetCells(C, Last, "");
  return Last;
}

// Empties a table to its start state: two rows with row 1 blank, the header row kept.
template <class TGrid>
void ClearGridRows(TGrid* Grid)
{
  const int Cols = Grid->GetColCount();
  for (int R = 1; R < Grid->GetRowCount(); ++R)
    for (int C = 0; C < Cols; ++C)
      if (!Grid->GetCells(C, R).empty()) Grid->SetCells(C, R, "");
  Grid->SetRowCount(2);
}

// The "#" text of a queue row: "%5.5d" (row 3 gives "00003").
inline String SourceRowNumberText(int Row) { return Format("%5.5d", Row); }

// Copies a title row of dvdgrid into a queue row: only non-empty cells of columns 0..69 are
// copied (a column the title leaves empty keeps what the queue row held), and column 0 gets
// the queue's own row number.
template <class TTitleGrid, class TQueueGrid>
void CopyTitleRowToQueue(TTitleGrid* Titles, int TitleRow, TQueueGrid* Queue, int QueueRow)
{
  for (int C = 0; C <= SourceRowLastTitleColumn; ++C) {
    const String Text = Titles->GetCells(C, TitleRow);
    if (!Text.empty()) Queue->SetCells(C, QueueRow, Text);
  }
  Queue->SetCells(scNumber, QueueRow, SourceRowNumberText(QueueRow));
}

// A title row can be selected into the queue only when its video format (column 4) is known.
template <class TTitleGrid>
bool TitleRowSelectable(TTitleGrid* Titles, int TitleRow)
{
  return !Titles->GetCells(scVideoFormat, TitleRow).empty();
}

// A source yields jobs only for the exact text "Yes" in scConvert.
inline bool SourceWantsConversion(const String& ConvertCell) { return ConvertCell == "Yes"; }
// A trim end equal as text to the length means the end of the source.
inline bool TrimEndIsSourceEnd(const String& TrimEnd, const String& Length) { return TrimEnd == Length; }
// An aspect value adds an aspect option only when not empty and not starting with "0".
inline bool AspectGiven(const String& Aspect) { return !Aspect.empty() && Aspect[0] != '0'; }
