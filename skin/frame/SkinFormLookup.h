// How the pieces of the skin library find the skinned form component that serves a form (menus,
// the menu bar, dialogs; for an MDI child the main form's), the MDI lookups of maximised and
// active children, the free client area of the main form, and the panel that veils the client
// area of an inactive form with a blurred or semi-transparent snapshot.
// GUI thread only; every lookup answers nullptr (or an empty rectangle) when there is nothing to
// find: no application main form, no skinned form component, no MDI children.
#pragma once

#include <memory>

#include "skin/controls/SkinPanel.h"
#include "skin/foundation/SkinBitmap.h"
#include "skin/frame/SkinnedForm.h"

// The skinned form of the application main form's active MDI child.
TskSkinnedForm* GetActiveMDIChildSkinForm();
// The skinned form of the first MDI child (in the main form's child order) that is maximised.
TskSkinnedForm* GetMaximizedChildSkinForm();
// The active MDI child when it is maximised, else the first maximised child, else nullptr.
TForm* GetMaximizedMDIChild();
// The main form's client rectangle less its visible top, bottom, left and right aligned controls.
TRect GetMainFormFreeClientRect();

// Covers a form's client area with a snapshot of it: blurred (radius 3) or blended with the
// form's background at alpha 170. Shown only for a visible form with a non-empty client area.
class TskClientInActivePanel : public TskSkinPaintPanel {
public:
  explicit TskClientInActivePanel(TComponent* AOwner);
  ~TskClientInActivePanel() override;
  void ShowPanel(TForm* Form, TskClientInActiveEffect Effect);
  void HidePanel();
  TskBitmap* GetSnapshot() const { return FSnapshot.get(); }

protected:
  void PanelPaint(TCanvas* Canvas) override;

private:
  std::unique_ptr<TskBitmap> FSnapshot;
};
