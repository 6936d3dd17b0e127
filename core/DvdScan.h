// DVD title scan and selection: a disc, a DVD folder or a disc image becomes one source row per
// wanted title.
//
// ScanDvd identifies the disc with mplayer (C4) under the detection watchdog; ScanDvdTitles
// builds the title table dvdgrid from the identify output, lets the user pick titles when
// asked (the title picker, behind TDvdTitlePicker), and scans every long enough title that the
// identify run did not describe (C5, once more with "dvdnav:" after a stall); SelectDvdTitles
// copies the wanted titles into the source queue: every title longer than the minimum length,
// or with automatic movie and episode recognition the titles a length rule picks out (the
// others are queued with "No").
//
// Contracts callers rely on:
// - Each title is scanned once, or twice when its own first scan stalled: the stall flag is
//   cleared before every title.
// - A read error reported for a title number zeroes that title's length only (whole-number
//   comparison; every row of dvdgrid carries its number in column 66).
// - Each track line stands once in the track columns.
// - Cancel in the title picker adds nothing and leaves the source queue as it was.
// - Stop ends the title loops at the next title; the titles already described are selected.
// - The options (DVD as VOBs, ask for titles, episode recognition), the runner, the watchdog and
//   the picker come from DetectionHost() (qv_detect.h).
#pragma once

#include <vector>

#include "platform/rtl/System.h"

// The DVD title picker window, as the scan sees it. Open shows the items (one per title, for
// example "DVD - Movie_1 - 1:45:03") with item 0 selected and all unchecked, and returns; the
// scan then waits (WaitForTrackSelection) until the picker's OK or Cancel calls
// DvdTitlePickerClosed.
class TDvdTitlePicker {
public:
  virtual ~TDvdTitlePicker() = default;
  virtual void Open(const std::vector<String>& Items) = 0;
};

// The picker's answer: OK with one checked flag per item (missing flags count as unchecked),
// or Cancel. Clears PickerOpen, which ends the scan's wait.
void DvdTitlePickerClosed(bool Ok, const std::vector<bool>& Checked);

// Path: a drive (mount point), DVD folder or image; ScanName: the volume name the caller
// computed (DvdVolumeName), used in status texts only.
void ScanDvd(const String& Path, const String& ScanName);
// Called by ScanDvd after its identify run: Volume is DvdVolumeName of the path ("*" marks a
// disc of the bad-disc list, whose titles start at chapter 2).
void ScanDvdTitles(const String& Volume, const String& Path, const String& ScanName);
// Copies the wanted titles of dvdgrid to the source queue.
void SelectDvdTitles();
