// The settings store: the options of the main window kept from one run to the next in
// WorkFolder + "settings.txt", the device queue of the last run in "profiles/lastprofile.prf",
// the list of saved profiles and the subtitle scale of "mplayer/mencoder.conf". The store keeps
// no state of its own: it works on the option controls of Form1 (MainForm.h) and uses its hidden
// memo `settings` as the line buffer. Everything runs on the GUI thread.
//
// settings.txt: 8-bit text, CR LF after every line, rewritten whole in one fixed order. A line
// is an entry (a key ending in ':' followed directly by its value: a whole decimal number or free
// text) or a bare flag word; flags are written only when their condition holds (five record an
// option that is on by default being off: "NoScanOnStart", "NoMonitorInsert", "DontEject",
// "explorer", "No Hastekit"). Combo boxes are stored by item index, spin edits rounded.
//
// Reading contract:
// - A line counts by its own key or flag word only: an entry by the key it starts with, a flag
//   by the whole (trimmed) line. A free-text value that happens to contain another key or flag
//   word ("shutdown", "explorer", "Startup", "append") sets nothing else. Files the program
//   writes read back to the same options.
// - Values are trimmed of blanks and control characters. A numeric entry whose value is not a
//   whole decimal number is skipped; spin edits clamp to their ranges.
// - Lines are read in file order; a later line wins. Unknown, damaged and skipped lines are
//   counted: when there are any, the message proc is told how many (a truncated, binary or
//   wholly wrong file loads as the defaults plus what was readable). Before such a file can be
//   replaced at exit, its bytes are kept as "settings.damaged.txt" in the work folder.
// - While LoadSettings runs, SettingsLoadRunning() is true: option actions that would write a
//   user's file (the conversion status kept on close) must not write while it is.
// Saving goes through AtomicSaveToFile (the old file stays whole when the write fails); a failed
// save is reported through the message proc and never stops the caller.
#pragma once

#include <functional>

#include "platform/rtl/System.h"

// Writes settings.txt and profiles/lastprofile.prf (neither when SettingsSaveDisabled is set).
void SaveSettings();
// Sets the Language page defaults, then reads settings.txt into the option controls,
// NoDeviceSubfolder, TivoMak and MinTitleSeconds. A missing file leaves every default.
void LoadSettings();
// Fills profilebox with the names of the "*.prf" files under WorkFolder + "profiles" (their
// folders' tree, in the order FindFilesRecursive gives), selects the first, and shows Panel6
// only with two or more names.
void LoadProfileList();
// Loads mplayer/mencoder.conf into mencoder_conf and takes its last "subfont-text-scale=" line
// with a number into skSkinSpinEdit6 (1..100), whose action rewrites the file with one scale
// line at its end. No file, or no scale line with a number: nothing changes.
void LoadSubtitleScale();

// True while LoadSettings reads the file.
bool SettingsLoadRunning();

// Where the store reports a damaged settings file or a failed save (the main window shows it
// in the status line and the tool log when none is set).
void SetSettingsMessageProc(std::function<void(const String& Text)> Proc);
