// The Internet grabbers: TXcProxyingUrlGrabber (their common base: proxy settings, the client's
// limits, and the events of the client's status notifications), TXcHttpUrlGrabber,
// TXcHttpsUrlGrabber and TXcFtpUrlGrabber, with their workers and default-properties classes.
// They download through the program's Internet client (platform/os/Internet.h).
//
// What they add to the contract of XcUrlGrabbers.h:
// - "https://" is a secure connection: the certificate and host name are checked, and the
//   default port is 443. "http://" uses 80, "ftp://" the grabber's Port (21).
// - An HTTP answer that is not 2xx (after following up to 10 redirects) is an error whose text
//   is the answer's status line; nothing is saved.
// - The client's deadlines (Limits, those of the update check's HTTP client by default) end a
//   download that stalls; an answer announcing more than MaxSize bytes fails before its body.
// - Each status notification of the client (INTERNET_STATUS_...) raises OnProgress, then
//   OnStatusChange and the event of that notification (OnResolvingName, OnConnectedToServer,
//   OnRedirect ...), for FTP as for HTTP.
#pragma once

#include "extctrls/XcUrlGrabbers.h"

enum TXcProxyMode { pmNoProxy, pmSysConfig, pmManual };
enum TXcFtpDownloadMode { hmBinary, hmAscii };

// The proxy settings of the Internet grabbers and of their default properties.
struct TXcProxySettings {
  String ProxyAddresses = "proxyserver";
  TXcProxyMode ProxyMode = pmSysConfig;
  String ProxyIgnoreList = "<local>";
  String ProxyUserName, ProxyPassword;
};

class TXcProxyingUrlGrabber : public TXcCustomUrlGrabber {
public:
  explicit TXcProxyingUrlGrabber(TComponent* AOwner);
  static const TXcUrlGrabberClass* StaticGrabberClass();
  const TXcUrlGrabberClass* GrabberClass() const override { return StaticGrabberClass(); }

  void RaiseStatusEvents() override;

  String GetProxyAddresses() const { return FProxy.ProxyAddresses; }
  void SetProxyAddresses(const String& Value) { FProxy.ProxyAddresses = Value; }
  TXcProxyMode GetProxyMode() const { return FProxy.ProxyMode; }
  void SetProxyMode(TXcProxyMode Value) { FProxy.ProxyMode = Value; }
  String GetProxyIgnoreList() const { return FProxy.ProxyIgnoreList; }
  void SetProxyIgnoreList(const String& Value) { FProxy.ProxyIgnoreList = Value; }
  String GetProxyUserName() const { return FProxy.ProxyUserName; }
  void SetProxyUserName(const String& Value) { FProxy.ProxyUserName = Value; }
  String GetProxyPassword() const { return FProxy.ProxyPassword; }
  void SetProxyPassword(const String& Value) { FProxy.ProxyPassword = Value; }
  const TXcProxySettings& GetProxySettings() const { return FProxy; }

  // The client's time limits (MaxBodySize is taken from MaxSize).
  TInternetLimits Limits;

private:
  TXcProxySettings FProxy;
};

class TXcHttpUrlGrabber : public TXcProxyingUrlGrabber {
public:
  explicit TXcHttpUrlGrabber(TComponent* AOwner) : TXcProxyingUrlGrabber(AOwner) {}
  static const TXcUrlGrabberClass* StaticGrabberClass();
  const TXcUrlGrabberClass* GrabberClass() const override { return StaticGrabberClass(); }

  String GetReferer() const { return FReferer; }
  void SetReferer(const String& Value) { FReferer = Value; }
  // The status code of the last answer ("200", "404"), "" before any.
  String GetStatusCodeText() const { return FStatusCodeText; }

protected:
  TXcCustomUrlGrabberThread* CreateWorker() override;

private:
  friend class TXcHttpUrlGrabberThread;
  String FReferer;
  String FStatusCodeText;
};

class TXcHttpsUrlGrabber : public TXcHttpUrlGrabber {
public:
  explicit TXcHttpsUrlGrabber(TComponent* AOwner) : TXcHttpUrlGrabber(AOwner) {}
  static const TXcUrlGrabberClass* StaticGrabberClass();
  const TXcUrlGrabberClass* GrabberClass() const override { return StaticGrabberClass(); }
};

class TXcFtpUrlGrabber : public TXcProxyingUrlGrabber {
public:
  explicit TXcFtpUrlGrabber(TComponent* AOwner);
  static const TXcUrlGrabberClass* StaticGrabberClass();
  const TXcUrlGrabberClass* GrabberClass() const override { return StaticGrabberClass(); }

  bool GetPassive() const { return FPassive; }
  void SetPassive(bool Value) { FPassive = Value; }
  TXcFtpDownloadMode GetMode() const { return FMode; }
  void SetMode(TXcFtpDownloadMode Value) { FMode = Value; }

protected:
  TXcCustomUrlGrabberThread* CreateWorker() override;

private:
  bool FPassive = true;
  TXcFtpDownloadMode FMode = hmBinary;
};

// The worker of both Internet grabbers' common part: the request with the proxy settings, the
// status notifications, and the read loop.
class TXcProxyingUrlGrabberThread : public TXcCustomUrlGrabberThread {
public:
  explicit TXcProxyingUrlGrabberThread(TXcProxyingUrlGrabber* Grabber);

protected:
  // A request for Scheme ("http", "https", "ftp") with the settings read at Start; the proxy
  // credentials go with a manual proxy, and with the system's when CredentialsWithSystemProxy.
  TInternetRequest MakeRequest(const String& Scheme, bool CredentialsWithSystemProxy);
  // Runs Request, reading the body in blocks of BlockSize; the completion step unless ended.
  void Transfer(TInternetRequest& Request, std::size_t BlockSize);

private:
  TXcProxySettings FProxy;
  TInternetLimits FLimits;
};

class TXcHttpUrlGrabberThread : public TXcProxyingUrlGrabberThread {
public:
  explicit TXcHttpUrlGrabberThread(TXcHttpUrlGrabber* Grabber, bool Secure);

protected:
  void Download() override;

private:
  bool FSecure;
  String FReferer;
};

class TXcFtpUrlGrabberThread : public TXcProxyingUrlGrabberThread {
public:
  explicit TXcFtpUrlGrabberThread(TXcFtpUrlGrabber* Grabber);

protected:
  void Download() override;

private:
  bool FPassive;
  TXcFtpDownloadMode FMode;
};

class TXcProxyingUrlGrabberDefaultProperties : public TXcCustomUrlGrabberDefaultProperties,
                                               public TXcProxySettings {};

class TXcHttpUrlGrabberDefaultProperties : public TXcProxyingUrlGrabberDefaultProperties {
public:
  TXcHttpUrlGrabberDefaultProperties() { Port = 80; }
  String GetDisplayName() const override { return "HTTP"; }
  String Referer;
};

class TXcHttpsUrlGrabberDefaultProperties : public TXcHttpUrlGrabberDefaultProperties {
public:
  TXcHttpsUrlGrabberDefaultProperties() { Port = 443; }
  String GetDisplayName() const override { return "Secure HTTP"; }
};

class TXcFtpUrlGrabberDefaultProperties : public TXcProxyingUrlGrabberDefaultProperties {
public:
  TXcFtpUrlGrabberDefaultProperties() { Port = 21; }
  String GetDisplayName() const override { return "FTP"; }
  // The base fields, and from FTP defaults also Mode and Passive.
  void Assign(TPersistent* Source) override;
  bool Passive = true;
  TXcFtpDownloadMode Mode = hmBinary;
};
