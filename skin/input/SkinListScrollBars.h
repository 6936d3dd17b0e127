// The skinned scroll bars a skinned list creates for itself beside its inner list.
//
// A list asks ListScrollBarMaker() for a new bar whenever its content first exceeds the view and
// frees the bar (deleting its LinkComponent) as soon as the content fits again. A bar's
// LinkComponent is a skinned control (TskSkinControl), so the list can give it a parent, bounds,
// a record name and the skin data. The maker in place builds the program's skinned scroll bar
// (TskSkinScrollBar); tests may put a double in its place with SetListScrollBarMaker.
//
// Contract: CreateBar answers a bar owned by Owner, of the given kind, not yet parented, or null
// when no bar can be made (the list then shows no bar and keeps working). SetBothLook gives a
// horizontal bar the look that leaves the corner beside a vertical bar (record name and, without
// a skin, the marker width).
#pragma once

#include "skin/controls/SkinControl.h"
#include "skin/controls/SkinScrollBarLink.h"

class IskListScrollBarMaker {
public:
  virtual ~IskListScrollBarMaker() = default;
  virtual IskScrollBarLink* CreateBar(TComponent* Owner, TskScrollBarKind Kind) = 0;
  virtual void SetBothLook(IskScrollBarLink* Bar, const String& BothSkinDataName, int BothMarkerWidth) = 0;
};

// The maker in place (never null).
IskListScrollBarMaker& ListScrollBarMaker();
// Puts Maker in place (null: the program's own maker again); answers the one it replaced.
IskListScrollBarMaker* SetListScrollBarMaker(IskListScrollBarMaker* Maker);

// The skinned control of a bar (its LinkComponent), or null.
TskSkinControl* ScrollBarControl(IskScrollBarLink* Bar);
