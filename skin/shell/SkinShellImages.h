// The icons of the shell namespace (one per TShellIconIndex), drawn in code: the lists the shell
// controls show their items with, small (16 x 16) and large (32 x 32, the small ones doubled).
// One process-wide list of each, made on first use; nobody frees them but the process's end.
#pragma once

#include "platform/vcl/ImgList.h"

TCustomImageList* ShellSmallImages();
TCustomImageList* ShellLargeImages();
