#include "platform/vcl/Actions.h"

#include <algorithm>

#include "platform/vcl/ImgList.h"

// --- TBasicActionLink ------------------------------------------------------------------------

TBasicActionLink::TBasicActionLink(TObject* AClient) { AssignClient(AClient); }

TBasicActionLink::~TBasicActionLink()
{
  if (FAction) FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value)
{
  if (Value == FAction) return;
  if (FAction) FAction->UnRegisterChanges(this);
  if (Value) Value->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent)
{
  if (!FAction) return false;
  TBasicAction* Action = FAction;
  Action->SetActionComponent(AComponent);
  struct TReset {
    TBasicAction* A;
    ~TReset() { A->SetActionComponent(nullptr); }
  } Reset{Action};
  return Action->Execute();
}

bool TBasicActionLink::Update() { return FAction && FAction->Update(); }

// --- TBasicAction ----------------------------------------------------------------------------

TBasicAction::~TBasicAction()
{
  NotifyDestruction();
  while (!FClients.empty()) UnRegisterChanges(FClients.back());
}

bool TBasicAction::Execute()
{
  if (!FOnExecute) return false;
  std::shared_ptr<const TNotifyEvent> Handler = FOnExecute;  // the handler may replace itself
  (*Handler)(this);
  return true;
}

bool TBasicAction::Update()
{
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

TNotifyEvent TBasicAction::GetOnExecute() const
{
  if (!FOnExecute) return {};
  return TActionExecuteHandler{FOnExecute};
}

void TBasicAction::SetOnExecute(const TNotifyEvent& Value)
{
  std::shared_ptr<const TNotifyEvent> Handler;
  if (const auto* Copy = Value.target<TActionExecuteHandler>())
    Handler = Copy->Handler;
  else if (Value)
    Handler = std::make_shared<const TNotifyEvent>(Value);
  if (Handler == FOnExecute) return;
  TNotifyEvent ForClients = Handler ? TNotifyEvent(TActionExecuteHandler{Handler}) : TNotifyEvent();
  ForEachClient([&](TBasicActionLink* Link) { Link->SetOnExecute(ForClients); });
  FOnExecute = Handler;
}

bool TBasicAction::SameExecuteHandler(const TNotifyEvent& Event) const
{
  if (!Event) return !FOnExecute;
  const auto* Copy = Event.target<TActionExecuteHandler>();
  return Copy && FOnExecute && Copy->Handler == FOnExecute;
}

void TBasicAction::RegisterChanges(TBasicActionLink* Value)
{
  if (!Value || Value->FAction == this) return;
  if (Value->FAction) Value->FAction->UnRegisterChanges(Value);
  Value->FAction = this;
  FClients.push_back(Value);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Value)
{
  auto It = std::find(FClients.begin(), FClients.end(), Value);
  if (It == FClients.end()) return;
  FClients.erase(It);
  Value->FAction = nullptr;
}

// --- TActionLink -----------------------------------------------------------------------------

TCustomAction* TActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(GetAction()); }

bool TActionLink::IsCaptionLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsCheckedLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsEnabledLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsGroupIndexLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsHintLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsImageIndexLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsVisibleLinked() { return CustomAction() != nullptr; }

// --- TCustomAction ---------------------------------------------------------------------------

TCustomAction::~TCustomAction()
{
  NotifyDestruction();
  SetActionList(nullptr);
}

bool TCustomAction::Execute() { return FEnabled && TBasicAction::Execute(); }

template <class T, class Setter>
void TCustomAction::Change(T& Field, const T& Value, Setter Set)
{
  if (Field == Value) return;
  ForEachClient([&](TBasicActionLink* Link) {
    if (auto* L = dynamic_cast<TActionLink*>(Link)) (L->*Set)(Value);
  });
  Field = Value;
}

void TCustomAction::SetCaption(const String& Value) { Change(FCaption, Value, &TActionLink::SetCaption); }
void TCustomAction::SetChecked(bool Value) { Change(FChecked, Value, &TActionLink::SetChecked); }
void TCustomAction::SetEnabled(bool Value) { Change(FEnabled, Value, &TActionLink::SetEnabled); }
void TCustomAction::SetGroupIndex(int Value) { Change(FGroupIndex, Value, &TActionLink::SetGroupIndex); }
void TCustomAction::SetHint(const String& Value) { Change(FHint, Value, &TActionLink::SetHint); }
void TCustomAction::SetImageIndex(int Value) { Change(FImageIndex, Value, &TActionLink::SetImageIndex); }
void TCustomAction::SetVisible(bool Value) { Change(FVisible, Value, &TActionLink::SetVisible); }

void TCustomAction::SetActionList(TActionList* Value)
{
  if (Value == FActionList) return;
  if (FActionList) {
    auto& List = FActionList->FActions;
    List.erase(std::remove(List.begin(), List.end(), this), List.end());
  }
  FActionList = Value;
  if (FActionList) FActionList->FActions.push_back(this);
}

// --- TActionList -----------------------------------------------------------------------------

TActionList::~TActionList()
{
  for (TCustomAction* A : FActions) A->FActionList = nullptr;
  FActions.clear();
}

void TActionList::SetImages(TCustomImageList* Value)
{
  if (Value == FImages) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (FImages) FImages->FreeNotification(this);
}

void TActionList::Notification(TComponent* AComponent, TOperation Operation)
{
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && AComponent == static_cast<TComponent*>(FImages)) FImages = nullptr;
}
