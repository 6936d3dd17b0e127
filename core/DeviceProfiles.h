// The device profiles: 461 playback devices in 51 groups (mostly brands), each named by its
// group and device name; the screen sizes a queued device may take; and the device-list lines
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

constexpr int DeviceProfileCount = 461;

struct TDeviceProfileName {
  const char* Group;
  const char* Name;
};

// Every profile's group and name, in definition order.
const TDeviceProfileName* DeviceProfileNames();
inline std::span<const TDeviceProfileName> DeviceProfileNameList() { return {DeviceProfileNames(), DeviceProfileCount}; }

// The 54 sizes the screen-size box starts with, in the box's order.
void AddFormScreenSizes(TStrings* Items);
String ScreenSizeText(int Width, int Height);
// Adds the generated candidates (see above) to Items.
void AddScreenSizeCandidates(TStrings* Items);

// The group, a blank and the name.
String DeviceListLine(const TDeviceProfileName& Profile);
// The device list: the line of every profile outside the "Profile" groups, duplicates kept.
std::vector<String> DeviceListLines(std::span<const TDeviceProfileName> Profiles);
// For the unique count: in order, the line of every profile (outside the "Profile" groups)
// whose name is not already a substring of a line taken before (group part included).
std::vector<String> UniqueProfileLines(std::span<const TDeviceProfileName> Profiles);
