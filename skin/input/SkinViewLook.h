// What the skinned tree view, list view and rich edit share: their look from a view record of
// the skin ("fontname", "fontstyle", "fontheight", "fontcolor", "bgcolor"), their skin data
// link, and their two linked skinned scroll bars (TskViewBars): keeping the bars in step with
// the view's own scroll state and moving the view's window when a bar moves.
//
// Contract:
// - FindViewLook answers the index of Name among the skin's control records (-1 when Data is
//   null, holds no skin or has no such record) and fills Look when that record is of class
//   TRecord (Look.Found false for a record of another class).
// - ApplyViewFont sets Font from Look (name, style, height with UseSkinFont, else DefaultFont;
//   the colour always from Look).
// - ApplyViewLook gives View the look FindViewLook found: without a record (Index -1)
//   DefaultColor and DefaultFont, with one of the view's class its background colour and
//   ApplyViewFont; a record of another class changes nothing.
// - ViewCharset: the skin's resource character set when Data and its strings exist, else
//   DefaultFont's.
// - SendViewThumbPosition scrolls View to Position with all 32 bits: the position is stored in
//   the view's own scroll information first and SB_THUMBPOSITION carries its low 16 bits (the
//   view windows take the stored position when it is beyond 16 bits; ThumbPosition).
// - RealignBar makes the parent of a linked bar's control re-align its controls (a bar that
//   appeared or vanished takes or gives back its room).
// - NewViewDefaultFont: the views' DefaultFont as they are made (Arial, height 14, plain).
// - SetViewSkinData links View to Value (free notification moved from the old skin data) and
//   answers whether View must re-read its record: Value holds a skin and View is not being
//   designed.
#pragma once

#include <functional>
#include <memory>

#include "platform/vcl/Graphics.h"
#include "skin/controls/SkinControlGeometry.h"
#include "skin/controls/SkinScrollBarLink.h"
#include "skin/foundation/SkinData.h"

struct TskViewLook {
  bool Found = false;
  String FontName;
  TFontStyles FontStyle = 0;
  int FontHeight = 0;
  TColor FontColor = 0;
  TColor BGColor = 0;
};

template <class TRecord>
int FindViewLook(TskSkinData* Data, const String& Name, TskViewLook& Look)
{
  Look = TskViewLook{};
  const int index = (!Data || Data->Empty) ? -1 : Data->GetControlIndex(Name);
  if (index == -1)
    return -1;
  if (auto* r = dynamic_cast<TRecord*>(SkinControlRecord(Data, index))) {
    Look.Found = true;
    Look.FontName = r->fontname;
    Look.FontStyle = r->fontstyle;
    Look.FontHeight = r->fontheight;
    Look.FontColor = r->fontcolor;
    Look.BGColor = r->bgcolor;
  }
  return index;
}

// A linked bar and its component, kept apart: a bar being freed can no longer answer
// LinkComponent. Link registers Owner for the bar's free notification (and drops the one of
// the bar it replaces); Forget clears the link when Removed is the bar's component.
struct TskLinkedBar {
  IskScrollBarLink* Bar = nullptr;
  TComponent* Component = nullptr;
  void Link(TComponent* Owner, IskScrollBarLink* NewBar);
  bool Forget(TComponent* Removed);
};

// The two linked bars of a skinned view and the steps every view takes with them; each view
// decides when a bar shows, with which page and steps, and how a moved bar scrolls it.
// Synchronising is set while a bar is shown or hidden and while the view's parent re-aligns for
// it: the views skip their own synchronisation meanwhile.
class TskViewBars {
public:
  explicit TskViewBars(TWinControl* AView) : FView(AView) {}
  // Unhooks the bars that outlive the view: their OnChange no longer calls into it.
  ~TskViewBars();
  TskViewBars(const TskViewBars&) = delete;
  TskViewBars& operator=(const TskViewBars&) = delete;

  IskScrollBarLink* Bar(bool Vertical) const { return Vertical ? V.Bar : H.Bar; }
  // Links Bar (null: none) as the vertical or the horizontal bar; a bar linked before loses the
  // view's OnChange. With TakeOver the bar is enabled and hidden until the view shows it. The
  // bar's OnChange becomes OnChange, or without one ScrollViewToBar.
  void Link(bool Vertical, IskScrollBarLink* Bar, bool TakeOver, std::function<void()> OnChange = {});
  // Forgets the bar whose component is Removed (the view's Notification of opRemove).
  void Forget(TComponent* Removed);
  // RealignBar of both bars.
  void Realign();
  // Shows or hides both bars with the view.
  void SetVisible(bool Visible);
  // The view's own scroll information of its vertical or horizontal bar (Mask: the fMask).
  SCROLLINFO ScrollInfo(bool Vertical, UINT Mask = SIF_RANGE | SIF_POS) const;
  // Shows or hides Bar; true when that changed it.
  bool Show(IskScrollBarLink* Bar, bool Visible);
  // A shown Bar takes the view's range and position from Info with Page, and SmallChange /
  // LargeChange when above 0; LastPosition, when given, takes its position. A hidden bar is left
  // as it is. (Called after Show: showing a bar may re-align the view and change its size.)
  void Follow(IskScrollBarLink* Bar, const SCROLLINFO& Info, int Page, int SmallChange = 0, int LargeChange = 0,
              int* LastPosition = nullptr);
  // The end of a synchronisation: the horizontal bar takes its "both" look while the vertical
  // one shows; when a bar appeared or vanished (Changed) an aligned view makes its parent
  // re-align.
  void Finish(bool Changed);
  // Scrolls the view to the position of its linked bar with all 32 bits (SendViewThumbPosition);
  // nothing without the bar or the view's window.
  void ScrollViewToBar(bool Vertical);

  TskLinkedBar V;
  TskLinkedBar H;
  bool Synchronising = false;

private:
  TWinControl* FView;
};

std::unique_ptr<TFont> NewViewDefaultFont();
bool SetViewSkinData(TComponent* View, TskSkinData*& Field, TskSkinData* Value);
void ApplyViewFont(const TskViewLook& Look, bool UseSkinFont, TFont* Font, TFont* DefaultFont);
void ApplyViewLook(TControl* View, int Index, const TskViewLook& Look, bool UseSkinFont, TColor DefaultColor,
                   TFont* DefaultFont);
TFontCharset ViewCharset(TskSkinData* Data, TFont* DefaultFont);
void SendViewThumbPosition(HWND View, bool Vertical, int Position);
void RealignBar(IskScrollBarLink* Bar);
