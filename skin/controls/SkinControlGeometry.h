// What the windowed and the non-windowed skinned controls share: finding a control's record in a
// skin, the resizable skin geometry copied from a record (picture, skin rectangle, corner points,
// client rectangle, stretch settings) with the geometry for the control's current size, the
// control image built from it, and the double-buffered drawing of that image with an optional
// blend over what lies under the control.
//
// Contract: a picture index below 0 or not below the skin's picture count gives no picture; every
// routine here draws nothing from a missing picture and never fails on a record with empty or
// inverted rectangles.
#pragma once

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Controls.h"
#include "skin/foundation/SkinData.h"

// Private window messages of the skinned controls.
// What lies under a control changed: blended controls repaint and pass it on to their children.
constexpr UINT ParentImageChangedMessage = 0x504;
// Posted by a skinned button to itself to show or hide its glow frame.
constexpr UINT ShowGlowFrameMessage = 0x590;
constexpr UINT HideGlowFrameMessage = 0x591;
// "Are you a skinned control?": the answering classes set the result to SkinControlQueryAnswer
// (WParam: a device context the frame may be painted into, or 0).
constexpr UINT SkinControlQueryMessage = 0xB1C9;
constexpr LRESULT SkinControlQueryAnswer = 12851;
// With LParam SkinFramePaintParam the answering class paints its frame into the device context
// of WParam and answers SkinFramePaintParam.
constexpr UINT SkinFramePaintMessage = 0xBC4B;
constexpr LPARAM SkinFramePaintParam = 16802;

// The control record's index in SkinData for Name (exact, case-sensitive, first match); -1
// without skin data, while the skin is empty, or when the skin has no such record.
int FindSkinControlIndex(TskSkinData* SkinData, const String& Name);
// The record at Index of SkinData's control list, or null (no skin data, Index -1 or outside).
TskDataSkinControl* SkinControlRecord(TskSkinData* SkinData, int Index);
// Entry Index of SkinData's active pictures, or null for any index below 0 or beyond the list.
TBitmap* SkinPicture(TskSkinData* SkinData, int Index);
// The cursor of a record's cursor index: crDefault for -1, else the skin's first cursor plus
// the index, in 16-bit arithmetic.
TCursor SkinCursor(TskSkinData* SkinData, int CursorIndex);

// Draws Image on Canvas at (0, 0); with AlphaBlend first blends it over what lies under Control
// (its parent's image) with the opacity AlphaBlendValue (255: the image alone, 0: only what lies
// under it).
void DrawSkinControlImage(TControl* Control, TCanvas* Canvas, TBitmap* Image, bool AlphaBlend, Byte AlphaBlendValue);

// The resizable skin geometry of a control. The record's points and rectangles are in skin
// coordinates (relative to SkinRect's top-left corner inside Picture); the New... members are the
// same for the control's current size, in control coordinates.
struct TskSkinGeometry {
  TBitmap* Picture = nullptr;  // one of the skin's active pictures, never owned
  TRect SkinRect{};
  TPoint LTPoint{}, RTPoint{}, LBPoint{}, RBPoint{};
  TRect ClRect{};
  bool StretchEffect = false;
  bool LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false;
  TskStretchType StretchType = stFull;
  // -1 no picture size (empty SkinRect), 0 fixed size, 1 both ways, 2 horizontal, 3 vertical.
  int ResizeMode = 0;
  TPoint NewLTPoint{}, NewRTPoint{}, NewLBPoint{}, NewRBPoint{};
  TRect NewClRect{};

  // The resize mode the copied points and SkinRect give.
  int GetResizeMode() const;
  // Copies the geometry of Record and its picture from SkinData; returns false (ResizeMode 0 and
  // no picture, the rest unchanged) when Record is not a resizable record.
  bool CopySkinGeometry(TskSkinData* SkinData, TskDataSkinControl* Record);
  // The size rules of the skin for a requested W x H (changed in place when the skin fixes a
  // side), refreshing the New... geometry. Nothing when HasRecord is false or ResizeMode is -1.
  void CalcSkinSize(bool HasRecord, int& W, int& H);
  // The control image of W x H from Source of APicture into Bitmap. DirectFrame: a both-ways
  // skin draws nothing (its painter lays the frame itself).
  void BuildSkinImage(TBitmap* Bitmap, TBitmap* APicture, const TRect& Source, int W, int H, bool DirectFrame) const;
  // A rectangle of skin coordinates placed onto a control of W x H.
  TRect MapSkinRectFor(const TRect& R, int W, int H) const;
};
