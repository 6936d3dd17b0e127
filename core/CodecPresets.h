// The encoding presets: every conversion runs one of three tools ("mencoder", "ffmpeg" or
// "wmencoder") with the option template of a preset, whose placeholders ($vbr, $abr, $ac, $vol,
// $vm1, $vm3) the job-list builder fills from a device-queue row. The 53 presets are built
// into the hidden preset grid at start-up, one per row from row 0: column 0 the id (compared
// exactly), 1 the tool, 2 the option template, 3 the output extension without its dot.
//
// The templates are kept character for character, blanks included: two of them end with a
// blank and one has two blanks in a row, and those blanks reach the tool's command line.
//
// Building the table at start-up is: AppendCodecPresets into the (not emptied) grid, sort the
// rows by column 0 with the shared grid sort (punctuation before digits before letters, case
// ignored), FillCodecItems into the codec box, then the device table.
#pragma once

#include <span>

#include "platform/rtl/StringList.h"
#include "platform/vcl/Grids.h"

constexpr int CodecPresetCount = 53;
constexpr int CodecIdCol = 0;
constexpr int CodecToolCol = 1;
constexpr int CodecOptionsCol = 2;
constexpr int CodecExtensionCol = 3;

struct TCodecPresetDefinition {
  const char* Id;
  const char* Tool;
  const char* Options;
  // Appended to Options once they are in the grid (null for all presets but one).
  const char* OptionsRest;
  const char* Extension;
};

// The 53 definitions in their definition order.
const TCodecPresetDefinition* CodecPresetDefinitions();

// Appends every preset in definition order: a new row is added only when column 0 of the last
// row is not empty, so a grid that starts with one empty row ends with exactly 53 rows. The
// preset whose template comes in two texts gets its first text, then the second appended to
// what the cell holds.
void AppendCodecPresets(TStringGrid* Grid);
// Items becomes column 0 of every row of the grid, in row order.
void FillCodecItems(TStringGrid* Grid, TStrings* Items);
