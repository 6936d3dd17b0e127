#include "extctrls/XcUrlGrabbers.h"

#include <cctype>

const char* const XcUrlGrabberDefaultAgent = "Quelvo XCL URL Grabber";

namespace {

String Upper(String S)
{
  for (char& c : S) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return S;
}

// Workers cut loose inside one of their grabber's handlers: freed on the GUI thread once that
// handler has returned.
void ReapWorker(TXcCustomUrlGrabberThread* Worker, const bool* InHandler)
{
  TThread::ForceQueue(nullptr, [Worker, InHandler] {
    if (*InHandler)
      ReapWorker(Worker, InHandler);
    else
      delete Worker;
  });
}

}  // namespace

// ---- Class list ----

int TXcUrlGrabberClassList::Add(const TXcUrlGrabberClass* Class)
{
  FItems.push_back(Class);
  return GetCount() - 1;
}

int TXcUrlGrabberClassList::IndexOf(const TXcUrlGrabberClass* Class) const
{
  for (int i = 0; i < GetCount(); ++i)
    if (FItems[static_cast<std::size_t>(i)] == Class) return i;
  return -1;
}

const TXcUrlGrabberClass* TXcUrlGrabberClassList::GetItem(int Index) const
{
  if (Index < 0 || Index >= GetCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FItems[static_cast<std::size_t>(Index)];
}

TXcUrlGrabberClassList& XcUrlGrabberClassList()
{
  static TXcUrlGrabberClassList List;
  return List;
}

// ---- Default properties ----

TXcCustomUrlGrabberDefaultProperties::TXcCustomUrlGrabberDefaultProperties()
    : FEdTrick(std::make_unique<TXcUrlGrabberDefPropEdTrick>(this))
{
}

TXcCustomUrlGrabberDefaultProperties::~TXcCustomUrlGrabberDefaultProperties() = default;

void TXcCustomUrlGrabberDefaultProperties::Assign(TPersistent* Source)
{
  if (auto* other = dynamic_cast<TXcCustomUrlGrabberDefaultProperties*>(Source)) {
    Agent = other->Agent;
    Port = other->Port;
    Password = other->Password;
    UserName = other->UserName;
    FileName = other->FileName;
    OutputMode = other->OutputMode;
    return;
  }
  TPersistent::Assign(Source);
}

// ---- Grabber ----

namespace {

String NoText() { return ""; }
bool HandlesNothing(const String&) { return false; }

}  // namespace

const TXcUrlGrabberClass* TXcCustomUrlGrabber::StaticGrabberClass()
{
  static const TXcUrlGrabberClass Class{"TXcCustomUrlGrabber", NoText, NoText, HandlesNothing,
                                        &TXcCustomUrlGrabber::SplitUrl, nullptr, nullptr};
  return &Class;
}

TXcCustomUrlGrabber::TXcCustomUrlGrabber(TComponent* AOwner) : TXcComponent(AOwner) {}

TXcCustomUrlGrabber::~TXcCustomUrlGrabber() { Stop(); }

void TXcCustomUrlGrabber::RaiseStatusEvents()
{
  if (OnStatusChange) OnStatusChange(this);
}

void TXcCustomUrlGrabber::SplitUrl(const String& Url, const String& Marker, String& Host, String& FileName,
                                   String& UserName, String& Password, Cardinal& Port)
{
  Host.clear();
  FileName.clear();
  UserName.clear();
  Password.clear();
  Port = 0;
  // Only a leading marker is dropped: one further on is part of the address.
  String rest = Url;
  if (!Marker.empty() && Upper(Url.substr(0, Marker.size())) == Upper(Marker)) rest = Url.substr(Marker.size());
  const std::size_t slash = rest.find('/');
  String hostPart = rest.substr(0, slash);
  if (slash != String::npos) FileName = rest.substr(slash + 1);
  const std::size_t at = hostPart.find('@');
  if (at != String::npos) {
    const String userInfo = hostPart.substr(0, at);
    hostPart = hostPart.substr(at + 1);
    const std::size_t colon = userInfo.find(':');
    UserName = userInfo.substr(0, colon);
    if (colon != String::npos) Password = userInfo.substr(colon + 1);
  }
  const std::size_t colon = hostPart.find(':');
  Host = hostPart.substr(0, colon);
  if (colon != String::npos) {
    const String number = hostPart.substr(colon + 1);
    bool digits = !number.empty() && number.size() <= 10;
    Int64 value = 0;
    for (char c : number) {
      digits = digits && std::isdigit(static_cast<unsigned char>(c));
      if (digits) value = value * 10 + (c - '0');
    }
    Port = digits && value <= 0xFFFFFFFFLL ? static_cast<Cardinal>(value) : 0;
  }
}

void TXcCustomUrlGrabber::SetUrl(const String& Value)
{
  if (FStatus != gsStopped) throw EGrabberNotStopped("The grabber is not stopped, you cannot change its URL.");
  const TXcUrlGrabberClass* cls = GrabberClass();
  const String marker = cls->UrlPrefix();
  String host, fileName, userName, password;
  Cardinal port = 0;
  cls->SplitUrl(Value, marker, host, fileName, userName, password, port);
  if (!userName.empty()) FUserName = userName;
  if (!password.empty()) FPassword = password;
  if (port != 0) FPort = port;
  FUrl = marker + (host.empty() ? String() : host + "/") + fileName;
}

void TXcCustomUrlGrabber::Start()
{
  Stop();
  TXcCustomUrlGrabberThread* worker = CreateWorker();
  FWorker = worker;
  worker->Start();
}

void TXcCustomUrlGrabber::Stop()
{
  TXcCustomUrlGrabberThread* worker = FWorker;
  if (!worker) return;
  FWorker = nullptr;
  worker->FContinue = false;
  worker->Terminate();
  if (worker->FInHandler) {
    // The worker waits for the handler that called us: cut it loose instead of waiting.
    worker->FDetached = true;
    FStream = nullptr;
    FStatus = gsStopped;
    ReapWorker(worker, &worker->FInHandler);
    return;
  }
  delete worker;  // waits for it; its last step raises OnConnectionClosed
}

// ---- Worker ----

TXcCustomUrlGrabberThread::TXcCustomUrlGrabberThread(TXcCustomUrlGrabber* Grabber)
    : TThread(true),
      FGrabber(Grabber),
      FUrl(Grabber->FUrl),
      FAgent(Grabber->FAgent),
      FUserName(Grabber->FUserName),
      FPassword(Grabber->FPassword),
      FFileName(Grabber->FFileName),
      FPort(Grabber->FPort),
      FOutputMode(Grabber->FOutputMode),
      FMaxSize(Grabber->MaxSize)
{
}

TXcCustomUrlGrabberThread::~TXcCustomUrlGrabberThread() = default;

void TXcCustomUrlGrabberThread::Sync(const std::function<void()>& Step, bool EvenWhenTerminated)
{
  if (FDetached) return;
  Synchronize([&] {
    if (FDetached || (!EvenWhenTerminated && GetTerminated())) return;
    FInHandler = true;
    try {
      Step();
    } catch (...) {
      FInHandler = false;
      throw;
    }
    FInHandler = false;
  });
}

void TXcCustomUrlGrabberThread::Execute()
{
  SetStatus(gsStopped);
  FGrabber->FStream = nullptr;
  FGrabber->FSize = 0;
  FGrabber->FBytesRead = 0;
  try {
    Download();
  } catch (const Exception& E) {
    Error(E.Message());
  } catch (const std::exception& E) {
    Error(E.what());
  }
  // In every case: the stream goes, the grabber is stopped, and the connection is closed.
  if (!FDetached) FGrabber->FStream = nullptr;
  FStream.reset();
  if (FDetached) return;
  SetStatus(gsStopped);
  try {
    Sync(
        [this] {
          if (FGrabber->OnConnectionClosed) FGrabber->OnConnectionClosed(FGrabber);
        },
        true);
  } catch (...) {
    // A handler's exception has nowhere to go at the end of the worker.
  }
}

void TXcCustomUrlGrabberThread::SetStatus(Byte Value)
{
  if (!FDetached) FGrabber->FStatus = Value;
}

void TXcCustomUrlGrabberThread::SetSize(Int64 Value)
{
  if (!FDetached) FGrabber->FSize = Value;
}

void TXcCustomUrlGrabberThread::BeginStream()
{
  FStream = std::make_unique<TMemoryStream>();
  if (!FDetached) {
    FGrabber->FStream = FStream.get();
    FGrabber->FBytesRead = 0;
  }
}

bool TXcCustomUrlGrabberThread::AppendBlocks(const char* Data, std::size_t Count, std::size_t BlockSize)
{
  std::size_t done = 0;
  while (done < Count) {
    if (Ended()) return false;
    const std::size_t n = std::min(BlockSize, Count - done);
    if (FStream->GetSize() + static_cast<Int64>(n) > FMaxSize)
      throw EXCLException("The resource is larger than " + std::to_string(FMaxSize) + " bytes");
    FStream->Write(Data + done, static_cast<Int64>(n));
    FGrabber->FBytesRead += static_cast<Int64>(n);
    done += n;
    Progress();
  }
  return !Ended();
}

void TXcCustomUrlGrabberThread::Progress()
{
  Sync([this] {
    bool cont = FContinue;
    if (FGrabber->OnProgress) FGrabber->OnProgress(FGrabber, FGrabber->FBytesRead, FGrabber->FSize, FUrl, cont);
    if (!cont) FContinue = false;
  });
}

void TXcCustomUrlGrabberThread::StatusEvents(int InternetStatus)
{
  FStatusCode = InternetStatus;
  Progress();
  Sync([this] { FGrabber->RaiseStatusEvents(); });
}

void TXcCustomUrlGrabberThread::Completion()
{
  Sync([this] {
    FStream->Seek(0, soBeginning);
    const int size = static_cast<int>(FStream->GetSize());
    if (FOutputMode == omFile) {
      FStream->SaveToFile(FFileName);
      if (FGrabber->OnDoneFile) FGrabber->OnDoneFile(FGrabber, FFileName, size, FUrl);
    } else if (FGrabber->OnDoneStream) {
      FGrabber->OnDoneStream(FGrabber, FStream.get(), size, FUrl);
    }
  });
}

void TXcCustomUrlGrabberThread::Error(const String& Text)
{
  if (FDetached || GetTerminated()) return;
  FErrorText = Text;
  SetStatus(gsStopped);
  try {
    Sync([this] {
      if (FGrabber->OnError) FGrabber->OnError(FGrabber, FErrorText);
    });
  } catch (...) {
    // A failing error handler ends the worker like any other failure, without a second event.
  }
}
