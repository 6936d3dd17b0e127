#include "extctrls/XcTypes.h"

TXcPersistent::TXcPersistent(TPersistent* AOwner)
    : TComponent(dynamic_cast<TComponent*>(AOwner)), FOwner(AOwner)
{
  SetSubComponent(true);
}

String TXcPersistent::GetNamePath() const
{
  String Result = TComponent::GetNamePath();
  if (!FOwner) return Result;
  bool Qualify = false;
  if (auto* Sub = dynamic_cast<TXcPersistent*>(FOwner))
    Qualify = Sub->IsSubComponent() || Sub->TComponent::GetOwner() != nullptr;
  else if (auto* C = dynamic_cast<TComponent*>(FOwner))
    Qualify = C->GetOwner() != nullptr;
  if (Qualify) {
    String OwnerPath = FOwner->GetNamePath();
    if (!OwnerPath.empty()) Result = OwnerPath + "." + Result;
  }
  return Result;
}

void TXcPersistentProperty::NotifyChanged()
{
  if (FUpdateCount == 0 && OnChanged) OnChanged(this);
}

void TXcPersistentProperty::NotifyChanging()
{
  if (FUpdateCount == 0 && OnChanging) OnChanging(this);
}

void TXcPersistentProperty::NotifyPropertyChanged(const String& PropertyName)
{
  if (OnPropertyChanged) OnPropertyChanged(this, PropertyName);
}

void TXcPersistentProperty::NotifyPropertyChanging(const String& PropertyName)
{
  if (OnPropertyChanging) OnPropertyChanging(this, PropertyName);
}

void TXcPersistentProperty::NotifyUpdateState(bool Updating)
{
  if (Updating)
    NotifyChanging();
  else
    NotifyChanged();
}

void TXcPersistentProperty::EnterUpdate()
{
  if (FUpdateCount == 0) NotifyUpdateState(true);
  ++FUpdateCount;
}

void TXcPersistentProperty::LeaveUpdate()
{
  --FUpdateCount;
  if (FUpdateCount == 0) NotifyUpdateState(false);
}
