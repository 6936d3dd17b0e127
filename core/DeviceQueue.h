// The device queue: the devices the next run converts for. Every source marked for conversion
// is converted once per queued device. The queue is the grid dq of the main window (header row
// 0, devices from row 1, an empty queue is two rows with row 1 blank); a row starts as a copy of
// a device profile (columns 0-14 as in DeviceProfiles.h) and then carries the user's settings:
//   0 model, 1 screen ("320x240" or the box's " 320 x  240"), 2 video and 3 audio kbit/s,
//   4 preset id, 5 group, 6 frame rate, 7 brightness, 8 contrast, 9 channels ("1"/"2"),
//   10 volume, 11 passes ("1"/"2"), 12 output folder (ending with a separator),
//   13 "Yes" when the decoder speed limit applies, 14 the limit, 21 "Yes" when upscaling is
//   allowed (writing it raises the column count to 22).
//
// The handlers are TForm1's (MainForm.h); each works on dq's current row (Row):
// - dqClick shows the current row in the controls. Every control it sets writes its value back
//   through its own change handler, so a row loaded from a file ends in the controls'
//   normalised form (clamped numbers, the box's padded screen size, coupled audio). While
//   UiSync is false it does nothing; it clears UiSync while it works and always sets it again,
//   also when a cell it must convert is not a whole number: such a cell is reported through
//   the host's Report and takes the control's current value.
// - brandChange fills the model box with the chosen group's names and picks the first;
//   modelChange copies the chosen profile (the last table row of that group and name, row 0
//   when none) into columns 0-14 and names the row in the multi-device list.
// - The value handlers write one control into its column; audio rate and mode are coupled
//   (above 64 kbit/s is stereo, below is mono, 64 may be either).
// - "Add device" (after a Yes) appends a copy of the current row, "Del. device" removes the
//   current row while two or more devices are queued, "Clear All" empties the queue to a copy of
//   the profile the boxes show. The multi-device list holds entry i - 1 = "%2.2d" of row i, a
//   blank and the model; it is rebuilt whenever the grid is loaded or rows are added or
//   removed, and never written beyond its end. Panel11 shows while two or more devices are
//   queued.
#pragma once

#include <functional>

#include "platform/rtl/System.h"

// What the device queue needs of the rest of the main window, filled at its creation; tests
// fill it with their own. An unset entry does nothing (AskYes: answers with the plain message
// dialog; Report: the status line and the tool log).
struct TDeviceQueueHost {
  // The settings toggle reads "Global settings" and the main page p1 comes to the front.
  std::function<void()> ShowMainPage;
  // The source queue's panel g1 comes to the front (a profile load).
  std::function<void()> ShowSourceQueue;
  // The job list's panel g2 comes to the front (a folder chosen during a run).
  std::function<void()> ShowJobList;
  // The source queue's size estimate (after a bit-rate change).
  std::function<void()> SetFilesize;
  // The skinned message box with Yes and No: true on Yes.
  std::function<bool(const String& Text)> AskYes;
  // A cell the row display could not use.
  std::function<void(const String& Text)> Report;
};
TDeviceQueueHost& DeviceQueueHost();

// The text of the multi-device entry of a queue row: "%2.2d" of the row, a blank, the model.
String MultiDeviceEntry(int Row, const String& Model);

// Splits a screen-size text into width and height: the width is the text before the first
// "x", trimmed; the height what remains after removing the first occurrence of the width text
// and then the first "x", trimmed. "320x240" and " 320 x  240" both give "320" and "240".
void SplitScreenSize(const String& Text, String& Width, String& Height);
