// The device profiles: 461 playback devices in 51 groups (mostly brands), each a row of the
// values a conversion for that device starts from (frame size, bit rates, encoding preset,
// frame rate, channels, volume and, for a few handheld computers, a decoder speed limit); the
// screen sizes a queued device may take; and the device-list lines
// of the settings page with the count of unique profiles.
//
// Names and groups are stored exactly, in definition order (the table is not sorted). The
// groups whose names contain "Profile" are left out of the device list and its counts.
//
// Screen-size texts are width, " x ", height, each number right-aligned to four characters
// (" 320 x  240"). Besides the sizes the box starts with, the candidates are every width from
// 64 to 1920 divisible by 8 with the heights of 3:2, 4:3, 16:9, 480:272 and 640:240 (rounded
// half to even) that are divisible by 8, and the square sizes of widths divisible by 40; an
// item equal to one already there is not added again.
#pragma once

#include <span>
#include <vector>

#include "platform/rtl/StringList.h"
#include "platform/vcl/Grids.h"

constexpr int DeviceProfileCount = 461;

// Columns of the hidden device table (the first 15 columns of a device-queue row).
constexpr int DeviceNameCol = 0;
constexpr int DeviceSizeCol = 1;
constexpr int DeviceVideoRateCol = 2;
constexpr int DeviceAudioRateCol = 3;
constexpr int DevicePresetCol = 4;
constexpr int DeviceGroupCol = 5;
constexpr int DeviceFrameRateCol = 6;
constexpr int DeviceBrightnessCol = 7;
constexpr int DeviceContrastCol = 8;
constexpr int DeviceChannelsCol = 9;
constexpr int DeviceVolumeCol = 10;
constexpr int DevicePassesCol = 11;
constexpr int DeviceFolderCol = 12;
constexpr int DeviceSpeedLimitSwitchCol = 13;
constexpr int DeviceSpeedLimitCol = 14;
constexpr int DeviceTableColCount = 15;

struct TDeviceProfileDefinition {
  const char* Group;
  const char* Name;
  const char* Size;  // "320x240"
  int VideoRate;     // kbit/s
  int AudioRate;     // kbit/s
  const char* Preset;
  int FrameRate;
  // Set by a few profiles only (null: the column's default).
  const char* Channels;
  const char* Volume;
  const char* SpeedLimitSwitch;
  const char* SpeedLimit;
};

// Every profile, in definition order.
const TDeviceProfileDefinition* DeviceProfileDefinitions();
inline std::span<const TDeviceProfileDefinition> DeviceProfileList() { return {DeviceProfileDefinitions(), DeviceProfileCount}; }

// Appends every profile in definition order with the append rule of the preset table (a new
// row only when column 0 of the last row is not empty): columns 0 to 6, then those a profile
// sets beyond them (9, 10, 13, 14).
void AppendDeviceProfiles(TStringGrid* Grid);
// Every row's empty column 7 becomes "0", 8 "0", 9 "2", 10 "5" and 11 "1".
void ApplyDeviceDefaults(TStringGrid* Grid);

// The 54 sizes the screen-size box starts with, in the box's order.
void AddFormScreenSizes(TStrings* Items);
String ScreenSizeText(int Width, int Height);
// Adds the generated candidates (see above) to Items.
void AddScreenSizeCandidates(TStrings* Items);

// The group, a blank and the name.
String DeviceListLine(const TDeviceProfileDefinition& Profile);
// The device list: the line of every profile outside the "Profile" groups, duplicates kept.
std::vector<String> DeviceListLines(std::span<const TDeviceProfileDefinition> Profiles);
// For the unique count: in order, the line of every profile (outside the "Profile" groups)
// whose name is not already a substring of a line taken before (group part included).
std::vector<String> UniqueProfileLines(std::span<const TDeviceProfileDefinition> Profiles);
