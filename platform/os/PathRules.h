// The program's drive and DVD path rules, answered for Linux. Windows code tests "the path is
// shorter than 4 characters" for a drive root ("E:\"), builds "-dvd-device E:" from it, and
// edits "\VIDEO_TS" out of its tool arguments. Here a drive root is a volume's mount point (or
// a drive-letter root "E:\" of the volume table, Volumes.h), and the player's "-dvd-device"
// takes the mount point, the optical drive's device node, a DVD folder or a disc image.
// Separators may be "/" or "\" everywhere.
#pragma once

#include "platform/rtl/System.h"

// True when Path names a drive root: a mount point of the volume table (a trailing separator
// allowed) or "X:", "X:\", "X:/" of a listed letter. This replaces the "shorter than 4
// characters" test.
bool IsDriveRoot(const String& Path);

// The letter of the drive that holds Path ('C' for a path on "/"); for "X:..." the letter X
// when it is listed; 0 when none holds it (a relative path, an unknown letter).
char DriveOf(const String& Path);

// The volume label of a drive root; "" for anything else, for a drive without a medium and for
// a volume without a label (as GetVolumeInformation answers for a root).
String VolumeLabel(const String& Path);

// The text that follows "-dvd-device " for a disc, DVD folder or image path, quoted as every
// path on a tool's command line is (qv::os::QuoteCommandLinePath: in double quotes, a quote in
// the name doubled, a relative path made absolute). A trailing separator is dropped. A drive
// root gives the mount point of its disc, or the drive's device node when the disc is not
// mounted; other paths stay as they are. A pair of double quotes around the whole of Path and a
// "*" mark are removed first.
String DvdDeviceText(const String& Path);

// The title form of the device part: "-dvd-device " + this + " dvdnav://" + title. A drive root
// gives its mount point (or device node) followed by "/VIDEO_TS", other paths themselves without
// a trailing separator; either quoted as above and followed by one blank.
String DvdTitleDevicePart(const String& Path);

// The VIDEO_TS edits of the tool arguments. Only the first match is edited; the name is matched
// exactly ("VIDEO_TS") except for vtFolderAnyCase; either separator counts.
enum TVideoTsEdit {
  vtFirst,           // the first "\VIDEO_TS" or "/VIDEO_TS" is removed, wherever it stands
  vtAfterDriveRoot,  // the first one that directly follows a drive root is removed (the Windows
                     // ":\VIDEO_TS" -> ":" edit: a disc's video folder is played from the drive)
  vtFolderAnyCase,   // the first "\video_ts" in any letter case is removed and the result
                     // trimmed; the rest of the path keeps its case (names are case-sensitive)
};
String StripVideoTs(const String& Text, TVideoTsEdit Edit);
