// The graphics part of the class library in one include.
#pragma once

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/GraphicsObjects.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Jpeg.h"
#include "platform/vcl/Picture.h"
