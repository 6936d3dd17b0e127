// TskListBox: the owner-drawn inner list of a skinned list frame (SkinListFrame.h). It holds the
// items and does the selection and keyboard work of the platform list box, but paints every
// item itself from its owner's record: the default look without a record, the fixed-height
// skinned look (the owner's UseSkinItemHeight: each item as high as the record's item picture)
// and the stretched skinned look. The owner's OnDrawItem replaces an item's content in all three.
// The window has no non-client area, so the platform's own scroll bars never show while its
// scroll range and position stay readable; the owner mirrors them in its skinned bars.
//
// Contract: the painting never fails for an empty list, an index outside the items, an empty
// item rectangle or a record whose item or client rectangle is empty (the tiling is then left
// out). Mouse, click, key and focus events are reported to the owner before the list's own
// handling; the owner may consume a message in ListBoxWProc.
#pragma once

#include "skin/input/SkinListFrame.h"

class TskListBox : public TListBox {
public:
  explicit TskListBox(TComponent* AOwner);

  TskSkinListFrame* GetOwnerListBox() const { return FOwnerListBox; }
  void SetOwnerListBox(TskSkinListFrame* Value) { FOwnerListBox = Value; }
  int GetHorzOffset() const { return FHorzOffset; }
  void SetHorzOffset(int Value) { FHorzOffset = Value; }

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void PaintWindow(HDC DC) override;
  // Paints the whole list area with the background (clWindow, or the record's client picture).
  void PaintBackground(HDC DC);
  // The list's click (the caption's check button runs it).
  void ClickList() { Click(); }
  // The item state the list paints Index with.
  TOwnerDrawState GetItemState(int Index);

  // The value of a tab-width line: its integer value when it is all decimal digits, else 0.
  static int TabStopValue(const String& S);
  // The item text with up to ten tab stops from TabWidths, at offset O from R's left edge.
  static void DrawTabbedText(const String& Text, TStrings* TabWidths, TCanvas* Canvas, const TRect& R, int O);

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void Click() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;

  // The whole window procedure after the owner's hook; derived lists add their own messages.
  virtual void ListWndProc(TMessage& Message);
  // Whether the owner's ListBoxWProc sees the messages first.
  virtual bool UsesOwnerHook() const { return true; }
  // Draws item Index in R by the owner's look.
  virtual void DrawItemLook(TCanvas* Canvas, int Index, TOwnerDrawState State, const TRect& R);
  void DrawDefaultItem(TCanvas* Canvas, int Index, TOwnerDrawState State, const TRect& R);
  void DrawSkinItem(TCanvas* Canvas, int Index, TOwnerDrawState State, const TRect& R);
  void DrawStretchItem(TCanvas* Canvas, int Index, TOwnerDrawState State, const TRect& R);
  // The images and the text of an item into TR of B (O is added to the text's left edge).
  void DrawItemContent(TCanvas* Canvas, int Index, const TRect& TR, int W, int H, bool DefaultLook);
  // Font of the skinned looks (record or DefaultFont) and the state colour.
  void SetSkinItemFont(TCanvas* Canvas, TOwnerDrawState State);
  void SetDefaultItemFont(TCanvas* Canvas);
  // Tiles the owner's client picture over W x H at (X, Y).
  void DrawClientPicture(TCanvas* Canvas, int W, int Y, int X, int H);
  void PaintRows(HDC DC);
  void PaintColumns(HDC DC);
  void CNDrawItem(TMessage& Message) override;
  bool Skinned() const;

  TskSkinListFrame* FOwnerListBox = nullptr;
  int FHorzOffset = 0;
};
