// One entry of an open skinned menu level: the state (highlighted, sub-menu open, inside the
// shown range of a scrolled level), the highlight animation (a cross-fade "morph" toward the
// highlighted look, or a frame strip of the skin) and the painter of the entry, in the skin's
// menu-item look or in the built-in default look.
//
// Kinds of entry, read from the wrapped menu item: a separator (caption "-"); a header (skinned
// look only: a disabled item whose caption begins and ends with "-", drawn with the skin's
// "menuheader" or "label" record); a system entry (component name SKF_CLOSE, TRAY_SKF_CLOSE,
// SKF_MINITEM, SKF_MAXITEM, SKF_RESTORE, TRAY_SKF_RESTORE, SKF_ROLLUP or SKF_MINTOTRAY, which
// shows its caption-button glyph when it has no image); an ordinary entry.
//
// Contract: the entry borrows its level, its record, its picture and its menu item; the level
// creates and frees its entries. Selecting, deselecting and clicking tell the level's menu manager
// (TskSkinMenu::ItemAction), which opens sub-menus and runs commands. Nothing is reported: an
// entry whose record points at a missing picture has no picture and empty source rectangles.
#pragma once

#include <string>
#include <vector>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Menus.h"
#include "skin/foundation/SkinObjectRecords.h"

class TskSkinPopupWindow;

// Default-look glyphs of the menu entries, in Color with a 1-pixel pen at (X, Y).
// Three strokes: for i = 0, 1, 2 from (X, Y + 5 - i) to (X + 2, Y + 7 - i) to (X + 7, Y + 2 - i).
void DrawMenuCheckMark(TCanvas* Canvas, int X, int Y, TColor Color);
// A right-pointing triangle of four vertical lines: from (X + i, Y + i) to (X + i, Y + 7 - i).
void DrawMenuSubArrow(TCanvas* Canvas, int X, int Y, TColor Color);
// A filled ellipse (pen and brush in Color) in (X, Y, X + 6, Y + 6).
void DrawMenuRadioDot(TCanvas* Canvas, int X, int Y, TColor Color);

// A menu text (UTF-8) in wide characters, for the wide-text drawing of the menus.
std::wstring MenuTextToWide(const String& Text);

// The caption-button glyph that a system entry shows: 0 none, otherwise one of the glyph kinds
// below (named after the caption buttons).
enum TskMenuSystemGlyph { msgNone, msgClose, msgMinimize, msgMaximize, msgRestore, msgRollUp, msgMinimizeToTray };
// The glyph of a menu item by its component name.
TskMenuSystemGlyph MenuSystemGlyph(const TMenuItem* Item);

class TskSkinMenuItem : public TObject {
public:
  // Stores the three; with a record whose picture index is -1 or beyond the skin's pictures,
  // Picture is nil and the record's skinrect and activeskinrect become empty (in the shared
  // record).
  TskSkinMenuItem(TskSkinPopupWindow* AWindow, TskDataSkinMenuItem* AItemRecord, TMenuItem* AMenuItem);

  // True when the morph factor still has to move toward its target. An entry that is not
  // Visible and still morphed is reset (not active, not down, factor 0) and answers false.
  virtual bool MorphStepNeeded();

  // Selection and commands. ByKey: the arrow keys and the level opening (true); the mouse and
  // accelerators (false).
  void Select(bool ByKey);
  void Deselect();
  void Click();
  // Paints the entry at ObjectRect on Canvas (nothing when not Visible).
  void Draw(TCanvas* Canvas);
  // Redraws the entry on its level's canvas, or starts its animation.
  void Refresh();

  // Animation kinds (the level's skin data must exist and have its effects on).
  bool HasFrameAnimation() const;
  bool HasMorph() const;
  // One morph step: the factor moves by 0.2 toward its target, then the entry is drawn.
  void MorphStep();

  // Kinds of entry.
  bool IsSeparator() const;
  // A header: only in the skinned look (the entry has a record).
  bool IsHeader() const;
  bool IsSelectable() const;  // enabled and not a separator

  // The source rectangle of frame Frame (1 .. framecount) of the record's animateskinrect.
  TRect FrameRect(int Frame) const;

  TskSkinPopupWindow* Window;
  TskDataSkinMenuItem* ItemRecord;
  TBitmap* Picture = nullptr;
  double MorphFactor = 0;
  TMenuItem* MenuItem;
  TRect ObjectRect{};
  bool Active = false;
  bool Down = false;
  bool Visible = true;
  bool SelectedOnOpen = false;
  int CurrentFrame = 0;

private:
  bool Lit() const { return Active || Down; }
  // The skinned entry bitmap of W x H, highlighted or not, with an optional frame source.
  void BuildSkinnedBitmap(TBitmap* Target, bool Highlighted, const TRect* Frame, int W, int H);
  void BuildDefaultBitmap(TBitmap* Target, int W, int H);
  void SetEntryFont(TCanvas* Canvas);
  TFontCharset EntryCharset() const;
  // Caption, shortcut, arrow, image and glyphs; shared by both looks.
  void DrawCaptionAndShortCut(TCanvas* Canvas, const TRect& T, int ImageColumn, int RightGap, UINT Flags,
                              TRect& CaptionRect);
  bool HasImage(int& ImageW, int& ImageH);
  void DrawImage(TCanvas* Canvas, int X, int Y);
  void DrawSkinPart(TCanvas* Canvas, const TRect& Source, const TRect& Target);
  bool DrawHeader(TCanvas* Canvas, int W, int H);
};
