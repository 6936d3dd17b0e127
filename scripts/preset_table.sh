#!/bin/sh
# Converts a 5-second clip made by ffmpeg with every built-in encoding preset through the
# program's conversion driver and the installed mencoder/ffmpeg, and prints one line per preset:
# preset, tool, result and the tool's reason for each failure.
# Usage: scripts/preset_table.sh [build folder] (default: build)
set -e
BUILD=${1:-build}
cd "$(dirname "$0")/.."
exec "$BUILD/tests/core_tests" --gtest_also_run_disabled_tests \
  --gtest_filter='TConversionRealToolsTest.DISABLED_AllPresetsTable'
