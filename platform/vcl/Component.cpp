#include "platform/vcl/Component.h"

#include <algorithm>

#include "platform/rtl/Format.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/StrUtils.h"

bool IsValidIdent(const String& Ident) {
  if (Ident.empty()) return false;
  auto Alpha = [](char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_'; };
  if (!Alpha(Ident[0])) return false;
  return std::all_of(Ident.begin() + 1, Ident.end(),
                     [&](char C) { return Alpha(C) || (C >= '0' && C <= '9'); });
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  TellPartners();
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::TellPartners() {
  // Each answer removes the partner from our list through RemoveFreeNotification, but take it
  // out first in case an override doesn't call the base.
  while (!FFreeNotifies.empty()) {
    TComponent* Partner = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    Partner->Notification(this, opRemove);
    Partner->RemoveNotification(this);
  }
}

void TComponent::NotifyDestruction() {
  Destroying();
  TellPartners();
  if (FOwner) FOwner->RemoveComponent(this);
}

TComponent* TComponent::GetComponent(int Index) const {
  if (Index < 0 || Index >= GetComponentCount())
    throw EListError(RtlConsts::SListIndexError, {Index});
  return FComponents[static_cast<size_t>(Index)];
}

int TComponent::GetComponentIndex() const {
  if (!FOwner) return -1;
  auto& List = FOwner->FComponents;
  auto It = std::find(List.begin(), List.end(), this);
  return It == List.end() ? -1 : static_cast<int>(It - List.begin());
}

void TComponent::SetComponentIndex(int Value) {
  int Current = GetComponentIndex();
  if (Current < 0) return;
  auto& List = FOwner->FComponents;
  int Count = static_cast<int>(List.size());
  Value = std::clamp(Value, 0, Count - 1);
  if (Value == Current) return;
  List.erase(List.begin() + Current);
  List.insert(List.begin() + Value, this);
}

void TComponent::SetName(const String& Value) {
  if (FName == Value) return;
  if (!Value.empty() && !IsValidIdent(Value))
    throw EComponentError(VclConsts::SInvalidName, {Value});
  if (FOwner)
    FOwner->ValidateRename(this, FName, Value);
  else
    ValidateRename(nullptr, FName, Value);
  FName = Value;
}

void TComponent::ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName) {
  if (AComponent && !NewName.empty() && !SameText(CurName, NewName) && AComponent->FOwner == this) {
    TComponent* Other = FindComponent(NewName);
    if (Other && Other != AComponent) throw EComponentError(VclConsts::SDuplicateName, {NewName});
  }
}

TComponent* TComponent::FindComponent(const String& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* C : FComponents)
    if (SameText(C->FName, AName)) return C;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner == this) return;
  // Check the name first so that a clash leaves everything as it was.
  if (!AComponent->FName.empty() && FindComponent(AComponent->FName))
    throw EComponentError(VclConsts::SDuplicateName, {AComponent->FName});
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  Insert(AComponent);
  if (FComponentState & csDesigning) AComponent->SetComponentStateFlags(csDesigning, true);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner != this) return;
  Notification(AComponent, opRemove);
  Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
  auto It = std::find(FComponents.begin(), FComponents.end(), AComponent);
  if (It != FComponents.end()) FComponents.erase(It);
  AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
  // Every owned component leaves with a notice, so that its siblings drop their references
  // before it is gone, also while the owner itself is being destroyed.
  while (!FComponents.empty()) {
    TComponent* Instance = FComponents.back();
    RemoveComponent(Instance);
    delete Instance;
  }
}

void TComponent::Destroying() {
  if (FComponentState & csDestroying) return;
  FComponentState |= csDestroying;
  for (TComponent* C : FComponents) C->Destroying();
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  if (!FOwner || AComponent->FOwner != FOwner) {
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
      FFreeNotifies.push_back(AComponent);
      AComponent->FreeNotification(this);
    }
  }
  FComponentState |= csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  RemoveNotification(AComponent);
  AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
  auto It = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
  if (It != FFreeNotifies.end()) FFreeNotifies.erase(It);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
  // Owned components may come and go during the calls: walk down and re-clamp.
  int I = static_cast<int>(FComponents.size()) - 1;
  while (I >= 0) {
    FComponents[static_cast<size_t>(I)]->Notification(AComponent, Operation);
    --I;
    int Count = static_cast<int>(FComponents.size());
    if (I >= Count) I = Count - 1;
  }
}

void TComponent::BeginLoad() {
  FComponentState |= csLoading | csReading;
  for (TComponent* C : FComponents) C->BeginLoad();
}

void TComponent::EndLoad() {
  std::vector<TComponent*> Loading;
  auto Collect = [&](auto& Self, TComponent* C) -> void {
    Loading.push_back(C);
    for (TComponent* Child : C->FComponents) Self(Self, Child);
  };
  Collect(Collect, this);
  for (TComponent* C : Loading) C->FComponentState &= ~csReading;
  for (TComponent* C : Loading)
    if (C->FComponentState & csLoading) C->Loaded();
}

void TComponent::Loaded() { FComponentState &= ~csLoading; }

void TComponent::SetComponentStateFlags(TComponentState Flags, bool On) {
  if (On)
    FComponentState |= Flags;
  else
    FComponentState &= ~Flags;
}

String TComponent::GetNamePath() const { return FName.empty() ? TPersistent::GetNamePath() : FName; }
