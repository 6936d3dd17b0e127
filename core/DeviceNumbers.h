// The numeric cells of a device-queue row: video and audio bit rate, brightness, contrast,
// channels, volume, passes and the speed limit. They end up on the encoders' command lines, so
// they are read as whole numbers before a job is built from them; a saved profile or a kept
// queue can hold any text in them.
//
// Contract:
// - ReadWholeNumber accepts blanks around an optional "-" and decimal digits that fit an int,
//   nothing else ("800k", "8e2", "0x10", "1 2" are refused).
// - An empty cell is no fault: it puts nothing of its own on a line.
// - DeviceNumberFault names the first faulty cell of a row as
//   Device 2: "800k -f mp4" in column 2 is not a whole number
//   (control characters of the cell shown as blanks); "" when the row is sound.
#pragma once

#include <functional>
#include <vector>

#include "platform/rtl/System.h"

class TskSkinStringGrid;

// The device-queue columns that hold whole numbers.
const std::vector<int>& DeviceNumberColumns();

bool ReadWholeNumber(const String& Text, int& Value);

// Cell(c) gives column c of device-queue row Row.
String DeviceNumberFault(int Row, const std::function<String(int Col)>& Cell);

// The faults of every device row of the grid (row 1 on), one line each; "" when all are sound.
String DeviceNumberFaults(TskSkinStringGrid* Grid);
