// The small icons of the shell namespace (16 x 16, one per TShellIconIndex), drawn in code: the
// list the shell controls show their items with. One process-wide list, made on first use.
#pragma once

#include "platform/vcl/ImgList.h"

TCustomImageList* ShellSmallImages();
