// URL grabbers: non-visual components that download one resource, named by a URL, on a worker
// thread into memory, then save it to FileName (OutputMode omFile) or hand the memory stream to
// the application (omStream). This header holds the common machinery: the grabber base
// TXcCustomUrlGrabber, its worker TXcCustomUrlGrabberThread, the default-properties objects,
// URL splitting, and the process's list of grabber classes. The concrete grabbers (HTTP,
// HTTPS, FTP, local file) are in XcInternetUrlGrabbers.h and XcLocalFileUrlGrabber.h.
//
// The contract callers rely on:
// - Every event runs on the GUI thread (through TThread::Synchronize) while the worker waits.
//   Order of a download: status events, OnProgress after every block, then either the
//   completion event (OnDoneFile or OnDoneStream) or OnError, and last OnConnectionClosed.
// - A download that fails says so through OnError with a text saying why (no connection, a
//   refused certificate, an answer that is not 2xx, an answer cut short, a time-out, a file
//   over MaxSize ...); nothing is saved then and no completion event comes.
// - A progress handler that clears Continue ends the download after the current block, with
//   no completion and no error event.
// - Stop (and Start, and freeing the grabber) ends a running download: called normally it
//   waits for the worker, which raises OnConnectionClosed and nothing else on its way out;
//   called from inside one of the grabber's own event handlers it does not wait (the worker is
//   waiting for that handler) but cuts the worker loose: no event of that download comes any
//   more, and the worker is freed on the GUI thread once the handler has returned.
// - The URL can change only while the grabber is stopped (EGrabberNotStopped otherwise).
// - The settings (URL, credentials, output, proxy ...) are read when Start is called; changes
//   made while a download runs apply to the next one.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "extctrls/XcComponentBase.h"
#include "extctrls/XcTypes.h"
#include "platform/os/Internet.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Thread.h"

QV_DECLARE_EXCEPTION(EGrabberNotStopped, EXCLException);

enum TXcOutputMode { omFile, omStream };

using TXcDoneFileEvent = std::function<void(TObject* Sender, const String& FileName, int FileSize, const String& Url)>;
using TXcDoneStreamEvent = std::function<void(TObject* Sender, TStream* Stream, int StreamSize, const String& Url)>;
using TXcErrorEvent = std::function<void(TObject* Sender, const String& ErrorMsg)>;
using TXcUrlGrabberProgressEvent =
    std::function<void(TObject* Sender, Int64 Position, Int64 TotalSize, const String& Url, bool& Continue)>;

// Grabber status.
enum : Byte { gsStopped = 0, gsConnecting = 1, gsReceiving = 2, gsFinishing = 3 };

// The user-agent text sent with every request.
extern const char* const XcUrlGrabberDefaultAgent;
// What a grabber holds in memory at most; a larger resource fails with OnError.
constexpr Int64 XcUrlGrabberDefaultMaxSize = 256 * 1024 * 1024;

class TXcCustomUrlGrabber;
class TXcCustomUrlGrabberThread;
class TXcCustomUrlGrabberDefaultProperties;

// The answers of a grabber class (its class methods): what an object of the class would say
// without making one, and how to make one.
struct TXcUrlGrabberClass {
  const char* Name;
  String (*UrlPrefix)();
  String (*DisplayName)();
  bool (*HandlesUrl)(const String& Url);
  // SplitUrl of the class (see TXcCustomUrlGrabber::SplitUrl).
  void (*SplitUrl)(const String& Url, const String& Marker, String& Host, String& FileName, String& UserName,
                   String& Password, Cardinal& Port);
  // A new grabber of the class; nullptr for the abstract base.
  TXcCustomUrlGrabber* (*Create)(TComponent* Owner);
  // A new default-properties object of the class (the caller frees it); nullptr in the base.
  TXcCustomUrlGrabberDefaultProperties* (*CreateDefaults)();
};

// The process's list of grabber classes, made on first use. XcRegisterUrlGrabbers adds the
// four concrete classes (FTP, HTTP, HTTPS, local file, in that order), once.
class TXcUrlGrabberClassList {
public:
  int Add(const TXcUrlGrabberClass* Class);
  int IndexOf(const TXcUrlGrabberClass* Class) const;
  int GetCount() const { return static_cast<int>(FItems.size()); }
  const TXcUrlGrabberClass* GetItem(int Index) const;

private:
  std::vector<const TXcUrlGrabberClass*> FItems;
};
TXcUrlGrabberClassList& XcUrlGrabberClassList();
void XcRegisterUrlGrabbers();

// Publishes, for design-time editing, a read-only reference back to its default-properties
// object.
class TXcUrlGrabberDefPropEdTrick : public TPersistent {
public:
  explicit TXcUrlGrabberDefPropEdTrick(TXcCustomUrlGrabberDefaultProperties* Owner) : FDefaultProperties(Owner) {}
  TXcCustomUrlGrabberDefaultProperties* GetDefaultProperties() const { return FDefaultProperties; }

private:
  TXcCustomUrlGrabberDefaultProperties* FDefaultProperties;
};

class TXcCustomUrlGrabberDefaultProperties : public TPersistent {
public:
  TXcCustomUrlGrabberDefaultProperties();
  ~TXcCustomUrlGrabberDefaultProperties() override;

  // From another default-properties object: Agent, Port, Password, UserName, FileName and
  // OutputMode; any other source as TPersistent assigns.
  void Assign(TPersistent* Source) override;
  // The display name of the grabber class these defaults belong to.
  virtual String GetDisplayName() const { return ""; }

  TXcUrlGrabberDefPropEdTrick* GetEdTrick() const { return FEdTrick.get(); }
  String Agent = XcUrlGrabberDefaultAgent;
  Cardinal Port = 0;
  String UserName, Password;
  String FileName = "output.txt";
  TXcOutputMode OutputMode = omFile;

private:
  std::unique_ptr<TXcUrlGrabberDefPropEdTrick> FEdTrick;
};

class TXcCustomUrlGrabber : public TXcComponent {
  friend class TXcCustomUrlGrabberThread;

public:
  explicit TXcCustomUrlGrabber(TComponent* AOwner);
  ~TXcCustomUrlGrabber() override;

  // The class's answers; the base is abstract.
  static const TXcUrlGrabberClass* StaticGrabberClass();
  virtual const TXcUrlGrabberClass* GrabberClass() const { return StaticGrabberClass(); }

  // Raises OnStatusChange; the Internet grabbers add the event of the worker's last status.
  virtual void RaiseStatusEvents();
  // Splits Url after a leading Marker (any letter case): "user:password@host:port/path" gives
  // Host, FileName ("path"), UserName, Password and Port (0 when none or not a number).
  static void SplitUrl(const String& Url, const String& Marker, String& Host, String& FileName, String& UserName,
                       String& Password, Cardinal& Port);
  virtual void SetUrl(const String& Value);
  const String& GetUrl() const { return FUrl; }
  virtual void Start();
  virtual void Stop();

  String GetAgent() const { return FAgent; }
  void SetAgent(const String& Value) { FAgent = Value; }
  Cardinal GetPort() const { return FPort; }
  void SetPort(Cardinal Value) { FPort = Value; }
  String GetUserName() const { return FUserName; }
  void SetUserName(const String& Value) { FUserName = Value; }
  String GetPassword() const { return FPassword; }
  void SetPassword(const String& Value) { FPassword = Value; }
  String GetFileName() const { return FFileName; }
  void SetFileName(const String& Value) { FFileName = Value; }
  TXcOutputMode GetOutputMode() const { return FOutputMode; }
  void SetOutputMode(TXcOutputMode Value) { FOutputMode = Value; }
  // The resource's size as announced (0 when unknown), and the bytes received so far.
  Int64 GetSize() const { return FSize; }
  Int64 GetBytesRead() const { return FBytesRead; }
  Byte GetStatus() const { return FStatus; }
  // The stream being filled, while a download runs (else nullptr); read it in event handlers.
  TMemoryStream* GetStream() const { return FStream; }
  // Whether a worker exists (started and not stopped; it may have finished its download).
  bool Running() const { return FWorker != nullptr; }

  // The largest resource held in memory (XcUrlGrabberDefaultMaxSize).
  Int64 MaxSize = XcUrlGrabberDefaultMaxSize;

  TXcDoneFileEvent OnDoneFile;
  TXcDoneStreamEvent OnDoneStream;
  TXcErrorEvent OnError;
  TXcUrlGrabberProgressEvent OnProgress;
  TNotifyEvent OnConnectionClosed, OnReceivingResponse, OnResponseReceived, OnConnectingToServer, OnResolvingName,
      OnRedirect, OnConnectedToServer, OnNameResolved, OnClosingConnection, OnRequestComplete, OnRequestSent,
      OnSendingRequest, OnStatusChange;

protected:
  // The worker of the concrete class, made suspended for this grabber.
  virtual TXcCustomUrlGrabberThread* CreateWorker() = 0;
  TXcCustomUrlGrabberThread* GetWorker() const { return FWorker; }

private:
  TXcCustomUrlGrabberThread* FWorker = nullptr;
  std::atomic<Byte> FStatus{gsStopped};
  String FUrl;
  TMemoryStream* FStream = nullptr;
  String FAgent = XcUrlGrabberDefaultAgent;
  Cardinal FPort = 0;
  String FUserName, FPassword;
  String FFileName = "output.txt";
  TXcOutputMode FOutputMode = omFile;
  std::atomic<Int64> FSize{0};
  std::atomic<Int64> FBytesRead{0};
};

// The worker of one download. Made suspended by Start with a copy of the grabber's settings;
// Download (of the concrete worker) does the transfer with the shared steps below.
class TXcCustomUrlGrabberThread : public TThread {
  friend class TXcCustomUrlGrabber;

public:
  explicit TXcCustomUrlGrabberThread(TXcCustomUrlGrabber* Grabber);
  ~TXcCustomUrlGrabberThread() override;

  String GetErrorText() const { return FErrorText; }
  // The last status reported by the Internet client (INTERNET_STATUS_...), 0 before any.
  int GetStatusCode() const { return FStatusCode; }
  bool GetContinue() const { return FContinue; }

protected:
  void Execute() override;
  virtual void Download() = 0;

  // The settings read at Start.
  const String& Url() const { return FUrl; }
  const String& Agent() const { return FAgent; }
  Cardinal Port() const { return FPort; }
  const String& UserName() const { return FUserName; }
  const String& Password() const { return FPassword; }
  Int64 MaxSize() const { return FMaxSize; }
  const String& FileName() const { return FFileName; }
  TXcOutputMode OutputMode() const { return FOutputMode; }
  TXcCustomUrlGrabber* Grabber() const { return FGrabber; }

  // True once the download is to end: terminated, cancelled by a progress handler, or cut loose.
  bool Ended() const { return GetTerminated() || !FContinue || FDetached; }
  void SetStatus(Byte Value);
  void SetSize(Int64 Value);
  // A new memory stream becomes the grabber's stream.
  void BeginStream();
  // Appends Data in blocks of at most BlockSize bytes, each adding to BytesRead and followed
  // by the progress step; false once the download is to end (the rest is dropped).
  bool AppendBlocks(const char* Data, std::size_t Count, std::size_t BlockSize);
  // The shared steps, each on the GUI thread.
  void Progress();
  void StatusEvents(int InternetStatus);
  void Completion();
  void Error(const String& Text);
  // Runs Step on the GUI thread while this worker waits, unless the worker has been cut loose
  // (or, for any step but the last, terminated).
  void Sync(const std::function<void()>& Step, bool EvenWhenTerminated = false);

private:
  TXcCustomUrlGrabber* FGrabber;
  String FErrorText;
  std::atomic<int> FStatusCode{0};
  std::atomic<bool> FContinue{true};
  std::atomic<bool> FDetached{false};
  bool FInHandler = false;  // GUI thread only
  std::unique_ptr<TMemoryStream> FStream;
  String FUrl, FAgent, FUserName, FPassword, FFileName;
  Cardinal FPort;
  TXcOutputMode FOutputMode;
  Int64 FMaxSize;
};
