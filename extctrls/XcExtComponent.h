// TXcCustomPanel: the extended panel base. After the stock panel painting it paints its
// content (PaintContent, which raises OnPaintContent); forms stored with the old 3-D look
// values "Ctl3D" and "ParentCtl3D" still load.
#pragma once

#include <functional>

#include "extctrls/XcExExtCtrls.h"

using TXcPaintContentEvent = std::function<void(TObject* Sender, TCanvas* Canvas, const TRect& Rect)>;

class TXcCustomPanel : public TXcExCustomPanel {
public:
  explicit TXcCustomPanel(TComponent* AOwner) : TXcExCustomPanel(AOwner) {}

  // Takes a value a stored form holds for this panel: "Ctl3D" and "ParentCtl3D" are applied to
  // Ctl3D and ParentCtl3D unchanged (they are never written back). False for any other name.
  bool ReadStoredValue(const String& Name, bool Value);

  TXcPaintContentEvent OnPaintContent;

protected:
  void Paint() override;
  // Raises OnPaintContent with the canvas and Rect.
  virtual void PaintContent(const TRect& Rect);
};
