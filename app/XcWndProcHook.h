// Message hooks around a control's window procedure: any number of hooks that see a message
// before the control does (and may keep it from the control), and of hooks that see it after.
//
// Contract:
// - Hooks of one order run in the order they were added. A before hook that answers true ends
//   the dispatch: neither the control nor the after hooks see the message. An after hook that
//   answers true ends the after chain.
// - Dispatches may nest (a hook or the control sends the control another message). A hook
//   removed while a dispatch runs is not called by it any more; a hook added while a dispatch
//   runs is called by it when that dispatch has not yet finished the hook's chain.
// - When the control is destroyed, even inside a dispatch of its own, the dispatch stops after
//   the step that destroyed it; the control's record is freed later from the message loop
//   (TXcReleaser), never while one of its messages is still being handled.
// - An exception of a hook ends the dispatch and reaches the caller of the window procedure.
// - Adding refuses (false) a missing or dying control and an empty hook; removing a hook that
//   is not there changes nothing.
#pragma once

#include <array>
#include <cstring>
#include <functional>
#include <vector>

#include "platform/vcl/Controls.h"

enum TXcHookOrder { hoBeforeMsg = 0, hoAfterMsg = 1 };

// A hook: a method of an object that takes the message and answers whether it handled it.
// Two hooks are the same when object and method are.
struct TXcMessageHook {
  const void* Object = nullptr;
  std::array<unsigned char, 2 * sizeof(void*)> Code{};
  std::function<bool(TMessage&)> Call;

  bool Assigned() const { return static_cast<bool>(Call); }
  bool Same(const TXcMessageHook& Other) const { return Object == Other.Object && Code == Other.Code; }
};

template <class T>
TXcMessageHook MakeMessageHook(T* Object, bool (T::*Method)(TMessage&))
{
  static_assert(sizeof(Method) <= 2 * sizeof(void*), "a method pointer fits the hook's code");
  TXcMessageHook Hook;
  if (Object == nullptr || Method == nullptr) return Hook;
  Hook.Object = Object;
  std::memcpy(Hook.Code.data(), &Method, sizeof(Method));
  Hook.Call = [Object, Method](TMessage& Message) { return (Object->*Method)(Message); };
  return Hook;
}

class TXcWndProcHook;

// The hooks of one control.
class TXcHookInfos : public TObject {
public:
  TXcHookInfos(TXcWndProcHook* Registry, TWinControl* Control);
  ~TXcHookInfos() override;
  TXcHookInfos(const TXcHookInfos&) = delete;
  TXcHookInfos& operator=(const TXcHookInfos&) = delete;

  // The control's replacement window procedure.
  void WindowProc(TMessage& Message);

  TWinControl* GetControl() const { return FControl; }
  bool GetGone() const { return FGone; }
  bool GetInstalled() const { return FInstalled; }
  int GetDepth() const { return FCount; }

private:
  friend class TXcWndProcHook;
  struct TNode {
    TXcMessageHook Hook;
    TNode* Next = nullptr;
  };
  struct TLevel {
    TNode* Pending[2] = {nullptr, nullptr};
  };

  void Append(TXcHookOrder Order, const TXcMessageHook& Hook);
  bool Remove(TXcHookOrder Order, const TXcMessageHook& Hook);
  bool Empty() const { return FFirst[0] == nullptr && FFirst[1] == nullptr; }
  void Install();
  void Uninstall();
  // Calls the chain of Order on the level at Depth; true when a hook handled the message.
  bool RunChain(int Depth, int Order, TMessage& Message);

  TXcWndProcHook* FRegistry;
  TWinControl* FControl;
  TNode* FFirst[2] = {nullptr, nullptr};
  TNode* FLast[2] = {nullptr, nullptr};
  std::vector<TLevel> FStack;  // capacity grows to (capacity + 1) x 2 levels
  int FCount = 0;
  bool FGone = false;
  bool FInstalled = false;
  TWndMethod FSavedWindowProc;
};

// The registry: one per process, created on first use.
class TXcWndProcHook : public TComponent {
public:
  TXcWndProcHook();
  ~TXcWndProcHook() override;

  bool Add(TWinControl* Control, TXcHookOrder Order, const TXcMessageHook& Hook);
  bool Remove(TWinControl* Control, TXcHookOrder Order, const TXcMessageHook& Hook);
  TXcHookInfos* Find(TWinControl* Control) const;
  int GetCount() const { return static_cast<int>(FInfos.size()); }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TXcHookInfos;
  std::vector<TXcHookInfos*> FInfos;
};

// Frees objects later, from the message loop (CM_RELEASE on a hidden window of its own).
class TXcReleaser : public TObject {
public:
  TXcReleaser() = default;
  ~TXcReleaser() override;
  TXcReleaser(const TXcReleaser&) = delete;
  TXcReleaser& operator=(const TXcReleaser&) = delete;

  void Schedule(TObject* Object);
  bool IsWaiting(const TObject* Object) const;

private:
  void WndProc(TMessage& Message);
  std::vector<TObject*> FWaiting;
  HWND FWindow = nullptr;
};

TXcWndProcHook* WndProcHookRegistry();
TXcReleaser* XcReleaser();

bool AddControlMessageHook(TWinControl* Control, TXcHookOrder Order, const TXcMessageHook& Hook);
bool RemoveControlMessageHook(TWinControl* Control, TXcHookOrder Order, const TXcMessageHook& Hook);
