// TskSkinBevel: the class library's bevel drawn in the two colours of the skin's "bevel" record
// ("lightcolor", "darkcolor"), with a divider mode that draws one two-line divider across the
// middle of the control (horizontal for the top and bottom line shapes, vertical for the others).
// It keeps its own skin binding; the skinned form calls ChangeSkinData on a skin change. Placed
// on a panel that centres bevels (the skinned tool bar), it is kept vertically centred in the
// panel's client area whatever top it is given.
//
// Callers rely on: without skin data or a "bevel" record the colours are clBtnHighlight and
// clBtnShadow; a spacer draws nothing at run time.
#pragma once

#include "platform/vcl/ExtCtrls.h"
#include "skin/controls/SkinControlGeometry.h"
#include "skin/foundation/SkinDrawUtils.h"

class TskSkinBevel : public TBevel {
public:
  explicit TskSkinBevel(TComponent* AOwner);
  ~TskSkinBevel() override;

  TskSkinData* GetSkinDataComponent() const { return FSkinData; }
  // Stores and calls ChangeSkinData (also for null).
  void SetSkinData(TskSkinData* Value);
  const String& GetSkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const String& Value) { FSkinDataName = Value; }
  bool GetDividerMode() const { return FDividerMode; }
  void SetDividerMode(bool Value);
  int GetSkinIndex() const { return FIndex; }
  TColor GetLightColor() const { return FLightColor; }
  TColor GetDarkColor() const { return FDarkColor; }

  // Looks the record up again, takes its colours and repaints.
  void ChangeSkinData();

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void Paint() override;

private:
  TskSkinData* FSkinData = nullptr;
  String FSkinDataName = "bevel";
  bool FDividerMode = false;
  int FIndex = -1;
  TColor FLightColor = clBtnHighlight;
  TColor FDarkColor = clBtnShadow;
};
