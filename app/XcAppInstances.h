// The single-instance guard of the main window: registers the process among the running copies
// of its executable, decides while the window loads whether this copy is one too many, and
// turns command lines that other copies send into an event.
//
// Contract:
// - At run time the constructor makes a hidden window of class "XcAppInstances_WindowClass";
//   the first guard of the process registers it in the shared list (SharedAppInstances).
// - Loaded, with Active set and MaxInstances > 0: a copy whose index in the list is below
//   MaxInstances, or whose running copies do not all answer that they are active, goes on. A
//   surplus copy raises OnRejected, brings the first copy to the front (AutoActivate), sends its
//   arguments to the other copies (SendCmdLine), leaves the list and ends the process with exit
//   code 0 before any window shows. When no copy listed before it took the arguments (it ended
//   meanwhile), the copy goes on instead, so no argument is lost.
// - A command line from another copy raises OnCmdLineReceived with one line per argument, in
//   order and unchanged (empty ones and those holding line breaks included); other kinds of
//   data raise OnDataAvailable. The own window's sends are ignored. An exception of a handler
//   is shown by the application and the message goes to DefWindowProc.
#pragma once

#include <functional>

#include "app/SxAppInstances.h"
#include "platform/vcl/Component.h"
#include "platform/vcl/Forms.h"

inline constexpr const char* XcAppInstancesWindowClass = "XcAppInstances_WindowClass";

class TXcAppInstances : public TComponent {
public:
  using TProcessEvent = std::function<void(TObject* Sender, DWORD ProcessId)>;
  using TValueEvent = std::function<void(TObject* Sender, LPARAM Value)>;
  using TDataEvent = std::function<void(TObject* Sender, int Kind, const void* Data, std::size_t Size)>;
  using TCmdLineEvent = std::function<void(TObject* Sender, TStrings* CmdLine)>;

  explicit TXcAppInstances(TComponent* AOwner);
  ~TXcAppInstances() override;

  bool GetActive() const { return FActive; }
  void SetActive(bool Value) { FActive = Value; }
  bool GetAutoActivate() const { return FAutoActivate; }
  void SetAutoActivate(bool Value) { FAutoActivate = Value; }
  int GetMaxInstances() const { return FMaxInstances; }
  void SetMaxInstances(int Value) { FMaxInstances = Value; }
  bool GetSendCmdLine() const { return FSendCmdLine; }
  void SetSendCmdLine(bool Value) { FSendCmdLine = Value; }
  HWND GetHandle() const { return FHandle; }

  TProcessEvent OnInstanceCreated;
  TProcessEvent OnInstanceDestroyed;
  TValueEvent OnUserNotify;
  TDataEvent OnDataAvailable;
  TCmdLineEvent OnCmdLineReceived;
  TNotifyEvent OnRejected;

  // How a surplus copy ends (the process ends with code 0); tests replace it.
  static void SetExitProc(std::function<void()> Proc);
  // Whether the next guard made in this process registers it (the first one does).
  static void ResetFirstGuard();

protected:
  void Loaded() override;
  virtual void HandleWindowMessage(TMessage& Message);
  virtual void FireInstanceCreated(DWORD ProcessId);
  virtual void FireInstanceDestroyed(DWORD ProcessId);
  virtual void FireUserNotify(LPARAM Value);
  virtual void FireDataAvailable(int Kind, const void* Data, std::size_t Size);
  virtual void FireCmdLineReceived(TStrings* CmdLine);
  virtual void FireRejected();

  void RejectIfSurplus();
  bool QueryOthersActive();

private:
  void Dispatch(TMessage& Message);

  bool FActive = true;
  bool FAutoActivate = true;
  int FMaxInstances = 1;
  bool FSendCmdLine = true;
  HWND FHandle = nullptr;
};
