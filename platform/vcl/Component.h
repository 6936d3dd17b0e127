// TComponent: the owned, named building block of forms. An owner deletes the components it
// owns; components that refer to one another learn of each other's end through Notification.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/System.h"

using NativeInt = std::intptr_t;

QV_DECLARE_EXCEPTION(EComponentError, Exception);

enum TOperation { opInsert, opRemove };

// Component state flags (a set: combine with |).
using TComponentState = std::uint32_t;
enum : TComponentState {
  csLoading = 1u << 0,
  csReading = 1u << 1,
  csWriting = 1u << 2,
  csDestroying = 1u << 3,
  csDesigning = 1u << 4,
  csAncestor = 1u << 5,
  csUpdating = 1u << 6,
  csFixups = 1u << 7,
  csFreeNotification = 1u << 8,
  csInline = 1u << 9,
  csDesignInstance = 1u << 10,
};

namespace VclConsts {
inline constexpr const char* SDuplicateName = "A component named %s already exists";
inline constexpr const char* SInvalidName = "'%s' is not a valid component name";
inline constexpr const char* SComponentIndexError = "List index out of bounds (%d)";
}  // namespace VclConsts

// True for a Pascal identifier: a letter or '_' followed by letters, digits or '_'.
bool IsValidIdent(const String& Ident);

class TComponent : public TPersistent {
public:
  explicit TComponent(TComponent* AOwner);
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  // Marks the component (and what it owns) as being destroyed, tells every component on its
  // free-notification list, deletes the owned components (last first) and leaves its owner.
  // A derived class whose Notification must see its owned components go calls
  // DestroyComponents at the start of its own destructor (C++ has already left the derived
  // class when this base destructor runs).
  ~TComponent() override;

  TComponent* GetOwner() const { return FOwner; }
  int GetComponentCount() const { return static_cast<int>(FComponents.size()); }
  // EListError "List index out of bounds (%d)" outside 0..ComponentCount-1.
  TComponent* GetComponent(int Index) const;
  // Index in the owner's Components, -1 without an owner.
  int GetComponentIndex() const;
  // Moves the component within its owner's list (clamped to the list).
  void SetComponentIndex(int Value);

  const String& GetName() const { return FName; }
  // EComponentError when Value is not an identifier ("'x y' is not a valid component name")
  // or a sibling already has that name, compared without case ("A component named X already
  // exists"). An empty name is always accepted.
  virtual void SetName(const String& Value);
  NativeInt GetTag() const { return FTag; }
  void SetTag(NativeInt Value) { FTag = Value; }
  TComponentState GetComponentState() const { return FComponentState; }

  // The owned component named Name (compared without case), or null.
  TComponent* FindComponent(const String& AName) const;
  // Takes AComponent over from its current owner; names must stay unique.
  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);
  // Deletes every owned component, the last one first.
  void DestroyComponents();
  // Sets csDestroying on this component and every owned one.
  void Destroying();

  // Asks AComponent to tell this component (through Notification opRemove) when it is
  // destroyed, and the other way round. Components with the same owner hear of each other
  // through the owner already, so no entry is made for them.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  // Loading brackets for forms built in code: BeginLoad sets csLoading and csReading on this
  // component and what it owns; EndLoad clears csReading and calls Loaded on each (this one
  // first), which clears csLoading.
  void BeginLoad();
  void EndLoad();

  String GetNamePath() const override;

  // Called on every owned component when another component is inserted in or removed from
  // the owner, and on free-notification partners when one is destroyed. The default drops
  // the removed component from the free-notification list and passes the notice on to the
  // owned components.
  virtual void Notification(TComponent* AComponent, TOperation Operation);

protected:
  // Called when loading ends; clears csLoading.
  virtual void Loaded();
  // Tells every free-notification partner that this component goes (opRemove), and leaves the
  // owner, whose components hear of it too. The destructor does this; a descendant whose
  // partners must see it whole calls it at the start of its own destructor.
  void NotifyDestruction();
  void SetComponentStateFlags(TComponentState Flags, bool On);
  virtual void ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName);

private:
  void Insert(TComponent* AComponent);
  void Remove(TComponent* AComponent);
  void RemoveNotification(TComponent* AComponent);
  void TellPartners();

  TComponent* FOwner = nullptr;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  String FName;
  NativeInt FTag = 0;
  TComponentState FComponentState = 0;
};
