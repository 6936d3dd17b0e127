#include "extctrls/XcHotTrackPersistent.h"

TXcHotTrackOptions::TXcHotTrackOptions(TPersistent* AOwner) : TXcPersistentProperty(AOwner) {}

void TXcHotTrackOptions::Assign(TPersistent* Source)
{
  auto* Other = dynamic_cast<TXcHotTrackOptions*>(Source);
  if (!Other) {
    TXcPersistentProperty::Assign(Source);
    return;
  }
  EnterUpdate();
  try {
    SetEnabled(Other->GetEnabled());
    SetColor(Other->GetColor());
    SetFrameVisible(Other->GetFrameVisible());
    SetFrameColor(Other->GetFrameColor());
  } catch (...) {
    LeaveUpdate();
    throw;
  }
  LeaveUpdate();
}
