// The about box's picture: the bytes of app/AboutPicture.png (640 x 194), built into the program.
#pragma once

#include <cstddef>

extern const unsigned char AboutPictureBytes[];
extern const std::size_t AboutPictureSize;
