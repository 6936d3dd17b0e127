// The frame that skinned panels and labels draw without a skin (one pixel, flat or three-
// dimensional, or none); bvNone also makes a skinned panel drop its skin frame.
#pragma once

// Scoped: the class library's bevel cuts (ExtCtrls.h) use the same names.
enum class TskSkinBorderStyle { bvFrame, bvRaised, bvLowered, bvNone };
