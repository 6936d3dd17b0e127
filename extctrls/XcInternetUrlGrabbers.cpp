#include "extctrls/XcInternetUrlGrabbers.h"

#include <cctype>

namespace {

String Lower(String S)
{
  for (char& c : S) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return S;
}

bool StartsWithNoCase(const String& Url, const char* Prefix)
{
  const String p = Prefix;
  return Lower(Url.substr(0, p.size())) == p;
}

String NoText() { return ""; }
bool HandlesNothing(const String&) { return false; }

template <class T>
TXcCustomUrlGrabber* Make(TComponent* Owner)
{
  return new T(Owner);
}

template <class T>
TXcCustomUrlGrabberDefaultProperties* MakeDefaults()
{
  return new T();
}

}  // namespace

// ---- Class answers ----

const TXcUrlGrabberClass* TXcProxyingUrlGrabber::StaticGrabberClass()
{
  static const TXcUrlGrabberClass Class{"TXcProxyingUrlGrabber", NoText, NoText, HandlesNothing,
                                        &TXcCustomUrlGrabber::SplitUrl, nullptr, nullptr};
  return &Class;
}

const TXcUrlGrabberClass* TXcHttpUrlGrabber::StaticGrabberClass()
{
  static const TXcUrlGrabberClass Class{
      "TXcHttpUrlGrabber", [] { return String("http://"); }, [] { return String("HTTP"); },
      [](const String& Url) { return StartsWithNoCase(Url, "http://"); }, &TXcCustomUrlGrabber::SplitUrl,
      Make<TXcHttpUrlGrabber>, MakeDefaults<TXcHttpUrlGrabberDefaultProperties>};
  return &Class;
}

const TXcUrlGrabberClass* TXcHttpsUrlGrabber::StaticGrabberClass()
{
  static const TXcUrlGrabberClass Class{
      "TXcHttpsUrlGrabber", [] { return String("https://"); }, [] { return String("Secure HTTP"); },
      [](const String& Url) { return StartsWithNoCase(Url, "https://"); }, &TXcCustomUrlGrabber::SplitUrl,
      Make<TXcHttpsUrlGrabber>, MakeDefaults<TXcHttpsUrlGrabberDefaultProperties>};
  return &Class;
}

const TXcUrlGrabberClass* TXcFtpUrlGrabber::StaticGrabberClass()
{
  static const TXcUrlGrabberClass Class{
      "TXcFtpUrlGrabber", [] { return String("ftp://"); }, [] { return String("FTP"); },
      [](const String& Url) { return StartsWithNoCase(Url, "ftp://"); }, &TXcCustomUrlGrabber::SplitUrl,
      Make<TXcFtpUrlGrabber>, MakeDefaults<TXcFtpUrlGrabberDefaultProperties>};
  return &Class;
}

// ---- Grabbers ----

TXcProxyingUrlGrabber::TXcProxyingUrlGrabber(TComponent* AOwner) : TXcCustomUrlGrabber(AOwner) {}

void TXcProxyingUrlGrabber::RaiseStatusEvents()
{
  TXcCustomUrlGrabber::RaiseStatusEvents();
  const TXcCustomUrlGrabberThread* worker = GetWorker();
  if (!worker) return;
  TNotifyEvent* event = nullptr;
  switch (worker->GetStatusCode()) {
  case INTERNET_STATUS_RESOLVING_NAME: event = &OnResolvingName; break;
  case INTERNET_STATUS_NAME_RESOLVED: event = &OnNameResolved; break;
  case INTERNET_STATUS_CONNECTING_TO_SERVER: event = &OnConnectingToServer; break;
  case INTERNET_STATUS_CONNECTED_TO_SERVER: event = &OnConnectedToServer; break;
  case INTERNET_STATUS_SENDING_REQUEST: event = &OnSendingRequest; break;
  case INTERNET_STATUS_REQUEST_SENT: event = &OnRequestSent; break;
  case INTERNET_STATUS_RECEIVING_RESPONSE: event = &OnReceivingResponse; break;
  case INTERNET_STATUS_RESPONSE_RECEIVED: event = &OnResponseReceived; break;
  case INTERNET_STATUS_CLOSING_CONNECTION: event = &OnClosingConnection; break;
  case INTERNET_STATUS_CONNECTION_CLOSED: event = &OnConnectionClosed; break;
  case INTERNET_STATUS_REQUEST_COMPLETE: event = &OnRequestComplete; break;
  case INTERNET_STATUS_REDIRECT: event = &OnRedirect; break;
  case 200: event = &OnStatusChange; break;
  default: break;
  }
  if (event && *event) (*event)(this);
}

TXcCustomUrlGrabberThread* TXcHttpUrlGrabber::CreateWorker()
{
  return new TXcHttpUrlGrabberThread(this, dynamic_cast<TXcHttpsUrlGrabber*>(this) != nullptr);
}

TXcFtpUrlGrabber::TXcFtpUrlGrabber(TComponent* AOwner) : TXcProxyingUrlGrabber(AOwner) { SetPort(21); }

TXcCustomUrlGrabberThread* TXcFtpUrlGrabber::CreateWorker() { return new TXcFtpUrlGrabberThread(this); }

void TXcFtpUrlGrabberDefaultProperties::Assign(TPersistent* Source)
{
  TXcProxyingUrlGrabberDefaultProperties::Assign(Source);
  if (auto* ftp = dynamic_cast<TXcFtpUrlGrabberDefaultProperties*>(Source)) {
    Mode = ftp->Mode;
    Passive = ftp->Passive;
  }
}

// ---- Workers ----

TXcProxyingUrlGrabberThread::TXcProxyingUrlGrabberThread(TXcProxyingUrlGrabber* Grabber)
    : TXcCustomUrlGrabberThread(Grabber),
      FProxy(Grabber->GetProxySettings()),
      FLimits(Grabber->Limits)
{
}

TInternetRequest TXcProxyingUrlGrabberThread::MakeRequest(const String& Scheme, bool CredentialsWithSystemProxy)
{
  // The stored URL names the host and the file; credentials and port missing from it come
  // from the grabber.
  String host, fileName, userName, password;
  Cardinal port = 0;
  TXcCustomUrlGrabber::SplitUrl(Url(), Scheme + "://", host, fileName, userName, password, port);
  if (userName.empty()) userName = UserName();
  if (password.empty()) password = Password();
  if (port == 0) port = Port();
  TInternetRequest request;
  request.Url = Scheme + "://" + host + (port ? ":" + std::to_string(port) : String()) + "/" + fileName;
  request.UserName = userName;
  request.Password = password;
  request.UserAgent = Agent();
  request.Limits = FLimits;
  request.Limits.MaxBodySize = MaxSize();
  switch (FProxy.ProxyMode) {
  case pmNoProxy: request.ProxyMode = TInternetProxyMode::Direct; break;
  case pmSysConfig: request.ProxyMode = TInternetProxyMode::System; break;
  case pmManual: request.ProxyMode = TInternetProxyMode::Manual; break;
  }
  request.ProxyAddresses = FProxy.ProxyAddresses;
  request.ProxyIgnoreList = FProxy.ProxyIgnoreList;
  if (FProxy.ProxyMode == pmManual || (FProxy.ProxyMode == pmSysConfig && CredentialsWithSystemProxy)) {
    request.ProxyUserName = FProxy.ProxyUserName;
    request.ProxyPassword = FProxy.ProxyPassword;
  }
  request.OnStatus = [this](int Status) { StatusEvents(Status); };
  request.ShouldStop = [this] { return Ended(); };
  return request;
}

void TXcProxyingUrlGrabberThread::Transfer(TInternetRequest& Request, std::size_t BlockSize)
{
  Request.OnData = [this, BlockSize](const char* Data, std::size_t Count) {
    return AppendBlocks(Data, Count, BlockSize);
  };
  SetStatus(gsConnecting);
  const TInternetResult result = InternetGet(Request);
  SetStatus(gsFinishing);
  if (!result.Stopped && !Ended()) Completion();
}

TXcHttpUrlGrabberThread::TXcHttpUrlGrabberThread(TXcHttpUrlGrabber* Grabber, bool Secure)
    : TXcProxyingUrlGrabberThread(Grabber), FSecure(Secure), FReferer(Grabber->GetReferer())
{
}

void TXcHttpUrlGrabberThread::Download()
{
  TInternetRequest request = MakeRequest(FSecure ? "https" : "http", true);
  request.Referer = FReferer;
  request.Http10 = true;
  request.NoCache = true;
  request.FollowRedirects = true;
  request.OnResponse = [this](const TInternetAnswer& Answer) {
    const String code = std::to_string(Answer.StatusCode);
    auto* grabber = static_cast<TXcHttpUrlGrabber*>(Grabber());
    Sync([grabber, code] { grabber->FStatusCodeText = code; });
    // An error page is not the resource.
    if (Answer.StatusCode < 200 || Answer.StatusCode > 299) throw EXCLException(Answer.StatusLine);
    BeginStream();
    SetSize(Answer.ContentLength > 0 ? Answer.ContentLength : 0);
    SetStatus(gsReceiving);
    return !Ended();
  };
  Transfer(request, 1025);
}

TXcFtpUrlGrabberThread::TXcFtpUrlGrabberThread(TXcFtpUrlGrabber* Grabber)
    : TXcProxyingUrlGrabberThread(Grabber), FPassive(Grabber->GetPassive()), FMode(Grabber->GetMode())
{
}

void TXcFtpUrlGrabberThread::Download()
{
  TInternetRequest request = MakeRequest("ftp", false);
  request.FtpPassive = FPassive;
  request.FtpAscii = FMode == hmAscii;
  request.OnResponse = [this](const TInternetAnswer& Answer) {
    BeginStream();
    SetSize(Answer.ContentLength > 0 ? Answer.ContentLength : 0);
    SetStatus(gsReceiving);
    return !Ended();
  };
  Transfer(request, 1024);
}
