// The start-up fill of the preset and device tables and of the boxes built from them. It runs
// once, from the main window's creation, before any device is queued:
// - LoadCodecTable clears UiSync, appends the 53 presets to codecgrid (CodecPresets.h), sorts
//   them by id, lists the ids in the codec box in table order and calls LoadDeviceTable.
// - LoadDeviceTable adds the generated screen sizes to the screen-size box (then sorted, item 0
//   selected), appends the 461 profiles to devices with their column defaults, fills the brand
//   box with every group once, selects "Apple" (which fills the model box), fills the device
//   list page (every profile outside the "Profile" groups as group, blank, name) and its count
//   line ("<lines - 1> Device profiles total, <unique - 1> unique"), and sets UiSync last.
// While UiSync is clear no queue row is written by the boxes' change handlers, except the
// screen-size box's own column, which the profile copy later in start-up overwrites.
#pragma once

void LoadCodecTable();
void LoadDeviceTable();
