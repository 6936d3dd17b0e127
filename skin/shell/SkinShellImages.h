// The image lists of the shell namespace's icons (TShellIconIndex order) that the shell views
// draw with: one of small (16 x 16) and one of large (32 x 32) icons, made once from the
// program's glyphs and shared by every view; nobody frees them but the process's end.
#pragma once

class TCustomImageList;

TCustomImageList* ShellSmallImages();
TCustomImageList* ShellLargeImages();
