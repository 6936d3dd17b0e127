#!/bin/sh
# Converts a 5-second clip made by ffmpeg with every built-in encoding preset through the
# program's conversion driver, the tool adapter and the installed tools, and checks each file
# (container, codecs, frame size, sound, distinct pictures; the DVD presets author with
# dvdauthor). One ctest test per preset, run side by side.
# Usage: scripts/preset_table.sh [build folder] (default: build) [parallel jobs] (default: 4)
set -e
BUILD=${1:-build}
cd "$(dirname "$0")/.."
exec ctest --test-dir "$BUILD" -R 'TPresetTableRealTools' -j "${2:-4}" --output-on-failure
