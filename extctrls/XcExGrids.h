// The message layer over the stock grid editor and string grid (see XcExControls.h).
#pragma once

#include "extctrls/XcExControls.h"
#include "platform/vcl/GridEditList.h"
#include "platform/vcl/Grids.h"

class TXcExInplaceEditList : public TXcExWinControlLayer<TInplaceEditList> {
public:
  explicit TXcExInplaceEditList(TComponent* AOwner) : TXcExWinControlLayer<TInplaceEditList>(AOwner) {}
};

// The same editor; BiDiMode, DragCursor, DragKind, DragMode, ParentBiDiMode and the dock
// events are public here like everything else.
class TXcExPubInplaceEditList : public TXcExInplaceEditList {
public:
  using TXcExInplaceEditList::TXcExInplaceEditList;
};

class TXcExStringGrid : public TXcExWinControlLayer<TStringGrid> {
public:
  explicit TXcExStringGrid(TComponent* AOwner) : TXcExWinControlLayer<TStringGrid>(AOwner) {}
};
