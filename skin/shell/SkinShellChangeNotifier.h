// TskCustomShellChangeNotifier (published as TskShellChangeNotifier): calls OnChange on the GUI
// thread whenever the file system reports a change of the kinds in NotifyFilters in the folder
// Root (and below it with WatchSubTree). A watch thread (TskShellChangeThread) waits on the
// folder's change handle and on a wake-up event; it runs only while OnChange is set.
//
// The contract callers rely on:
// - A notifier without OnChange has no thread; setting OnChange starts one. Changing Root,
//   WatchSubTree or NotifyFilters re-arms a running thread at once (the wake-up event), Root
//   compared without case (A-Z): the same text in another case changes nothing.
// - Freeing the notifier detaches the handler first and wakes the thread, which ends at once
//   and frees itself: no handler runs after the notifier is gone, and none runs after its
//   thread was asked to end.
// - A folder that cannot be watched ends the thread silently.
#pragma once

#include <mutex>

#include "platform/rtl/Thread.h"
#include "platform/vcl/Component.h"
#include "skin/shell/SkinShellItems.h"

enum TNotifyFilter { nfFileNameChange, nfDirNameChange, nfAttributeChange, nfSizeChange, nfWriteChange, nfSecurityChange };
using TNotifyFilters = unsigned;  // bit (1 << TNotifyFilter)
constexpr TNotifyFilters NotifyFilterBit(TNotifyFilter Filter) { return 1u << Filter; }
DWORD NotifyFiltersToFlags(TNotifyFilters Filters);

// The lock that guards what the GUI thread hands to a watch thread.
std::mutex& ShellChangeLock();

class TskShellChangeThread : public TThread {
public:
  explicit TskShellChangeThread(TThreadMethod ChangeEvent);
  ~TskShellChangeThread() override;

  // Called on the GUI thread: the watch is re-armed with these at the thread's next wake-up,
  // which this call brings about.
  void SetDirectoryOptions(const String& Directory, bool WatchSubTree, DWORD NotifyFilter);
  // Replaces the handler (on the GUI thread); an empty one detaches it.
  void SetChangeEvent(TThreadMethod ChangeEvent);
  // Asks the thread to end and wakes it.
  void Stop();
  // Opens the watch now, before the thread starts, so that no change after Start is missed.
  void OpenWatch();

protected:
  void Execute() override;

private:
  void RunChangeEvent();
  HANDLE FWakeUp = nullptr;
  HANDLE FChangeHandle = INVALID_HANDLE_VALUE;
  TThreadMethod FChangeEvent;  // read and written on the GUI thread only
  String FDirectory;
  bool FWatchSubTree = false;
  DWORD FNotifyFilter = 0;
  bool FRearm = false;
};

class TskCustomShellChangeNotifier : public TComponent {
public:
  explicit TskCustomShellChangeNotifier(TComponent* AOwner);
  ~TskCustomShellChangeNotifier() override;

  TNotifyFilters GetNotifyFilters() const { return FNotifyFilters; }
  void SetNotifyFilters(TNotifyFilters Value);
  bool GetWatchSubTree() const { return FWatchSubTree; }
  void SetWatchSubTree(bool Value);
  const TRoot& GetRoot() const { return FRoot; }
  void SetRoot(const TRoot& Value);
  const TThreadMethod& GetOnChange() const { return FOnChange; }
  void SetOnChange(TThreadMethod Value);
  // Whether a watch thread runs.
  bool HasThread() const { return FThread != nullptr; }

protected:
  void Start();
  void Change();

private:
  TNotifyFilters FNotifyFilters = NotifyFilterBit(nfFileNameChange) | NotifyFilterBit(nfDirNameChange);
  bool FWatchSubTree = true;
  TRoot FRoot = "/";
  TskShellChangeThread* FThread = nullptr;
  TThreadMethod FOnChange;
};

class TskShellChangeNotifier : public TskCustomShellChangeNotifier {
public:
  using TskCustomShellChangeNotifier::TskCustomShellChangeNotifier;
};
