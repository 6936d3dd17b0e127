// Actions: a command (TBasicAction: OnExecute, OnUpdate) that controls link to, so that one
// place holds what the controls show (TCustomAction: caption, checked state and group, enabled,
// hint, image, visible) and what a click does.
//
// Contract callers rely on:
// - A client holds a link (a TBasicActionLink descendant) registered with the action. When a
//   property of the action changes, every link hears the new value first (SetCaption ...),
//   while the action still holds the old one, and passes it to its client only where the
//   client still shows the action's old value (IsCaptionLinked ...): a value the client was
//   given of its own stays.
// - Deleting an action first tells its free-notification partners and its owner's components
//   (so that linked controls drop their links while the action is whole), then leaves every
//   remaining link without an action. Deleting a link unregisters it.
// - GetOnExecute hands out a copy that remembers which handler of which action it is, so that
//   a client can tell "my OnClick is the action's handler" (SameExecuteHandler) from a handler
//   of its own.
// - A disabled TCustomAction does not execute.
#pragma once

#include <memory>
#include <vector>

#include "platform/vcl/Classes.h"

class TBasicAction;
class TCustomImageList;
class TActionList;

// An action's OnExecute as a client holds it: calls the handler and remembers its identity.
struct TActionExecuteHandler {
  std::shared_ptr<const TNotifyEvent> Handler;
  void operator()(TObject* Sender) const { (*Handler)(Sender); }
};

// A client's registration with an action.
class TBasicActionLink : public TObject {
public:
  explicit TBasicActionLink(TObject* AClient);
  // Unregisters from the action.
  ~TBasicActionLink() override;
  TBasicActionLink(const TBasicActionLink&) = delete;
  TBasicActionLink& operator=(const TBasicActionLink&) = delete;

  TBasicAction* GetAction() const { return FAction; }
  // Unregisters from the old action and registers with Value (may be null).
  virtual void SetAction(TBasicAction* Value);
  // Executes the action with AComponent as its ActionComponent meanwhile; false without an
  // action or when the action did nothing.
  virtual bool Execute(TComponent* AComponent = nullptr);
  virtual bool Update();
  // Whether the client's click is the action's OnExecute.
  virtual bool IsOnExecuteLinked() { return true; }
  // The action's OnExecute becomes Value.
  virtual void SetOnExecute(const TNotifyEvent&) {}

protected:
  // Keeps the client in the type the link needs (each link class calls its own).
  virtual void AssignClient(TObject*) {}

private:
  friend class TBasicAction;
  TBasicAction* FAction = nullptr;
};

// A command that controls link to.
class TBasicAction : public TComponent {
public:
  using TComponent::TComponent;
  // Tells the partners first, then leaves every link without an action.
  ~TBasicAction() override;

  // Fires OnExecute; false when there is none.
  virtual bool Execute();
  // Fires OnUpdate (a client calls it before it shows the action, e.g. a menu before it pops
  // up); false when there is none.
  virtual bool Update();

  // The handler as a client takes it (empty when there is none).
  TNotifyEvent GetOnExecute() const;
  // Tells every link, then stores. A copy got from GetOnExecute keeps its identity.
  void SetOnExecute(const TNotifyEvent& Value);
  // Event is this action's current OnExecute (both empty counts as the same).
  bool SameExecuteHandler(const TNotifyEvent& Event) const;
  TNotifyEvent OnUpdate;

  // The component that executes the action through its link, during Execute.
  TComponent* GetActionComponent() const { return FActionComponent; }
  void SetActionComponent(TComponent* Value) { FActionComponent = Value; }

  void RegisterChanges(TBasicActionLink* Value);
  void UnRegisterChanges(TBasicActionLink* Value);
  int GetClientCount() const { return static_cast<int>(FClients.size()); }

protected:
  // Calls Fn for every registered link (links may come and go meanwhile).
  template <class F>
  void ForEachClient(F Fn)
  {
    for (size_t I = 0; I < FClients.size(); ++I) Fn(FClients[I]);
  }

private:
  std::shared_ptr<const TNotifyEvent> FOnExecute;
  std::vector<TBasicActionLink*> FClients;
  TComponent* FActionComponent = nullptr;
};

// The link of clients of a TCustomAction: each value the action sends is taken or not.
class TActionLink : public TBasicActionLink {
public:
  using TBasicActionLink::TBasicActionLink;
  // By default a TCustomAction's values are all linked.
  virtual bool IsCaptionLinked();
  virtual bool IsCheckedLinked();
  virtual bool IsEnabledLinked();
  virtual bool IsGroupIndexLinked();
  virtual bool IsHintLinked();
  virtual bool IsImageIndexLinked();
  virtual bool IsVisibleLinked();
  // The action's value changes to Value (the action still holds the old one); a client
  // takes it by overriding these.
  virtual void SetCaption(const String&) {}
  virtual void SetChecked(bool) {}
  virtual void SetEnabled(bool) {}
  virtual void SetGroupIndex(int) {}
  virtual void SetHint(const String&) {}
  virtual void SetImageIndex(int) {}
  virtual void SetVisible(bool) {}

protected:
  // The action as a TCustomAction, or null.
  class TCustomAction* CustomAction() const;
};

// An action with what controls show of it.
class TCustomAction : public TBasicAction {
public:
  using TBasicAction::TBasicAction;
  // Leaves its action list.
  ~TCustomAction() override;

  // Nothing while disabled; else OnExecute.
  bool Execute() override;

  const String& GetCaption() const { return FCaption; }
  void SetCaption(const String& Value);
  bool GetChecked() const { return FChecked; }
  void SetChecked(bool Value);
  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  int GetGroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  const String& GetHint() const { return FHint; }
  void SetHint(const String& Value);
  // Index into the action list's Images; -1 for none.
  int GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value);
  TActionList* GetActionList() const { return FActionList; }
  // Leaves the old list and joins Value (may be null).
  void SetActionList(TActionList* Value);

private:
  friend class TActionList;
  template <class T, class Setter>
  void Change(T& Field, const T& Value, Setter Set);

  String FCaption;
  bool FChecked = false;
  bool FEnabled = true;
  int FGroupIndex = 0;
  String FHint;
  int FImageIndex = -1;
  bool FVisible = true;
  TActionList* FActionList = nullptr;
};

using TAction = TCustomAction;

// A set of actions sharing one image list.
class TActionList : public TComponent {
public:
  using TComponent::TComponent;
  // Its actions are left without a list.
  ~TActionList() override;

  TCustomImageList* GetImages() const { return FImages; }
  // Keeps a free notification on the image list.
  void SetImages(TCustomImageList* Value);
  int GetActionCount() const { return static_cast<int>(FActions.size()); }
  TCustomAction* GetAction(int Index) const { return FActions.at(static_cast<size_t>(Index)); }
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TCustomAction;
  std::vector<TCustomAction*> FActions;
  TCustomImageList* FImages = nullptr;
};
