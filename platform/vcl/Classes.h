// The class library's basic types: components, collections, bit arrays, and the small sets
// and enumerations that controls and events share.
#pragma once

#include <cstdint>

#include "platform/rtl/WinTypes.h"
#include "platform/vcl/Bits.h"
#include "platform/vcl/Collection.h"
#include "platform/vcl/Component.h"

// Keys and buttons held during an input event (a set: combine with |).
using TShiftState = std::uint32_t;
enum : TShiftState {
  ssShift = 1u << 0,
  ssAlt = 1u << 1,
  ssCtrl = 1u << 2,
  ssLeft = 1u << 3,
  ssRight = 1u << 4,
  ssMiddle = 1u << 5,
  ssDouble = 1u << 6,
};

enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

// The edges a control keeps its distance to when its parent resizes (a set).
using TAnchors = std::uint32_t;
enum : TAnchors {
  akLeft = 1u << 0,
  akTop = 1u << 1,
  akRight = 1u << 2,
  akBottom = 1u << 3,
};

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

using TPoint = POINT;
using TRect = RECT;

using TShortCut = Word;

using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
