#include "platform/os/Internet.h"

#include <curl/curl.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>

namespace {

constexpr std::size_t MaxHeaderLine = 8192;
constexpr std::size_t MaxHeaderBytes = 65536;
constexpr int PollMs = 50;

std::mutex TrustLock;
String TrustFileName;

Int64 NowMs()
{
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

String Lower(String S)
{
  for (char& c : S) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return S;
}

String TrimBlanks(const String& S)
{
  const std::size_t b = S.find_first_not_of(" \t");
  if (b == String::npos) return "";
  return S.substr(b, S.find_last_not_of(" \t") - b + 1);
}

// "HTTP/1.1 123", "HTTP/2 123" (a version of one digit, or digit, point, digit), with a
// reason after a blank or none; the status is 100 to 599.
bool ParseStatusLine(const String& Line, int& Code)
{
  if (Line.compare(0, 5, "HTTP/") != 0) return false;
  const std::size_t space = Line.find(' ');
  if (space == String::npos || space + 4 > Line.size()) return false;
  const String version = Line.substr(5, space - 5);
  const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
  if (!((version.size() == 1 && digit(version[0])) ||
        (version.size() == 3 && digit(version[0]) && version[1] == '.' && digit(version[2]))))
    return false;
  Code = 0;
  for (std::size_t i = space + 1; i < space + 4; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(Line[i]))) return false;
    Code = Code * 10 + (Line[i] - '0');
  }
  if (Code < 100 || Code > 599) return false;
  return space + 4 == Line.size() || Line[space + 4] == ' ';
}

bool ParseDecimal(const String& Text, Int64& Value)
{
  if (Text.empty() || Text.size() > 18) return false;
  Value = 0;
  for (char c : Text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    Value = Value * 10 + (c - '0');
  }
  return true;
}

String TooLarge(Int64 Max) { return "The body is larger than " + std::to_string(Max) + " bytes"; }

void GlobalInit()
{
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::vector<String> SplitList(const String& Text, const char* Separators)
{
  std::vector<String> items;
  std::size_t pos = 0;
  while (pos < Text.size()) {
    const std::size_t end = std::min(Text.find_first_of(Separators, pos), Text.size());
    if (end > pos) items.push_back(Text.substr(pos, end - pos));
    pos = end + 1;
  }
  return items;
}

// Whether Host matches Pattern, where "*" stands for any characters (A-Z ignoring case).
bool MatchesPattern(const String& Host, const String& Pattern)
{
  const String h = Lower(Host), p = Lower(Pattern);
  std::size_t hi = 0, pi = 0, starP = String::npos, starH = 0;
  while (hi < h.size()) {
    if (pi < p.size() && p[pi] == '*') {
      starP = pi++;
      starH = hi;
    } else if (pi < p.size() && p[pi] == h[hi]) {
      ++pi;
      ++hi;
    } else if (starP != String::npos) {
      pi = starP + 1;
      hi = ++starH;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

bool ProxyIgnores(const String& IgnoreList, const String& Host)
{
  for (const String& entry : SplitList(IgnoreList, " \t;,")) {
    if (Lower(entry) == "<local>") {
      if (Host.find('.') == String::npos && Host.find(':') == String::npos) return true;
    } else if (MatchesPattern(Host, entry)) {
      return true;
    }
  }
  return false;
}

String ChooseProxy(const String& Addresses, const String& Scheme)
{
  String plain;
  for (const String& entry : SplitList(Addresses, " \t;")) {
    const std::size_t eq = entry.find('=');
    if (eq == String::npos) {
      if (plain.empty()) plain = entry;
    } else if (Lower(entry.substr(0, eq)) == Scheme) {
      return entry.substr(eq + 1);
    }
  }
  return plain;
}

class TTransfer {
public:
  explicit TTransfer(const TInternetRequest& Request) : FReq(Request) {}
  TTransfer(const TTransfer&) = delete;
  TTransfer& operator=(const TTransfer&) = delete;
  TInternetResult Run();

private:
  static size_t HeaderCb(char* Data, size_t Size, size_t Count, void* Self);
  static size_t WriteCb(char* Data, size_t Size, size_t Count, void* Self);
  static curl_socket_t OpenSocketCb(void* Self, curlsocktype Purpose, curl_sockaddr* Address);
  static int CloseSocketCb(void* Self, curl_socket_t Socket);
  static int PrereqCb(void* Self, char* PrimaryIp, char* LocalIp, int PrimaryPort, int LocalPort);
  static int DebugCb(CURL* Handle, curl_infotype Type, char* Data, size_t Size, void* Self);

  void Configure(CURL* Handle);
  size_t OnHeaderLine(String Line);
  bool FinishHeader();
  bool Respond();
  size_t OnBody(const char* Data, size_t Count);
  void Status(int Code);
  // Records the first failure; returns false so that callbacks can end with it.
  bool Fail(const String& Message)
  {
    if (FError.empty()) FError = Message;
    return false;
  }
  template <class F>
  bool Guard(F&& Call)
  {
    try {
      return Call();
    } catch (...) {
      if (!FCallbackError) FCallbackError = std::current_exception();
      return false;
    }
  }
  bool Ended() const { return FStopped || !FError.empty() || FCallbackError; }
  [[noreturn]] void RaiseCurlError(CURLcode Code) const;

  const TInternetRequest& FReq;
  CURL* FHandle = nullptr;
  String FScheme, FHost;
  bool FIsHttp = false;
  char FErrorText[CURL_ERROR_SIZE] = {};
  TInternetResult FResult;
  String FError;
  std::exception_ptr FCallbackError;
  bool FStopped = false;
  bool FInHeader = false;
  bool FResponded = false;
  bool FChunked = false;
  bool FResolved = false;
  bool FConnected = false;
  int FInterim = 0;
  std::size_t FHeaderBytes = 0;
  Int64 FDataIn = 0;  // body bytes as they came off the connection (before any decoding)
  Int64 FActivity = 0;
  String FLastServerLine;
  String FServerRefusal;  // the FTP server's last 4xx or 5xx answer
};

size_t TTransfer::HeaderCb(char* Data, size_t Size, size_t Count, void* Self)
{
  TTransfer* t = static_cast<TTransfer*>(Self);
  String line(Data, Size * Count);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return t->OnHeaderLine(std::move(line)) ? Size * Count : 0;
}

size_t TTransfer::OnHeaderLine(String Line)
{
  FActivity = NowMs();
  if (!FIsHttp) {
    // An FTP server's answer line; data follows a 125 or 150.
    if (!Line.empty()) FLastServerLine = Line;
    if (!Line.empty() && (Line[0] == '4' || Line[0] == '5')) FServerRefusal = Line;
    if (Line.compare(0, 3, "150") == 0 || Line.compare(0, 3, "125") == 0) {
      Status(INTERNET_STATUS_RECEIVING_RESPONSE);
      Status(INTERNET_STATUS_RESPONSE_RECEIVED);
    }
    return !Ended();
  }
  if (FResponded) {
    // Trailer fields after a chunked body, up to the empty line.
    FHeaderBytes += Line.size();
    if (Line.size() > MaxHeaderLine || FHeaderBytes > MaxHeaderBytes) return Fail("The answer's header is too large");
    return !Ended();
  }
  if (!FInHeader) {
    int code = 0;
    if (!ParseStatusLine(Line, code)) return Fail("The host's answer is not HTTP: " + Line.substr(0, 80));
    FResult.Answer = TInternetAnswer();
    FResult.Answer.StatusLine = Line;
    FResult.Answer.StatusCode = code;
    FHeaderBytes = 0;
    FInHeader = true;
    Status(INTERNET_STATUS_RECEIVING_RESPONSE);
    return !Ended();
  }
  if (Line.empty()) {
    FInHeader = false;
    Status(INTERNET_STATUS_RESPONSE_RECEIVED);
    const int code = FResult.Answer.StatusCode;
    if (code >= 100 && code < 200 && code != 101) {
      if (++FInterim >= MaxInterimAnswers) return Fail("The host sends interim answers without end");
      return !Ended();
    }
    if (FReq.FollowRedirects && code >= 300 && code < 400 && !FResult.Answer.Header("Location").empty()) {
      Status(INTERNET_STATUS_REDIRECT);
      return !Ended();
    }
    return FinishHeader();
  }
  if (Line.size() > MaxHeaderLine) return Fail("The answer has an overlong line");
  FHeaderBytes += Line.size();
  if (FHeaderBytes > MaxHeaderBytes) return Fail("The answer's header is too large");
  const std::size_t colon = Line.find(':');
  if (colon == String::npos || colon == 0) return Fail("The answer has a malformed header line");
  FResult.Answer.Headers.emplace_back(Line.substr(0, colon), TrimBlanks(Line.substr(colon + 1)));
  return true;
}

bool TTransfer::FinishHeader()
{
  TInternetAnswer& answer = FResult.Answer;
  // Only plain chunked is read: a body in another coding would come out as something else
  // than what was sent.
  String transfer, length;
  for (const auto& [name, value] : answer.Headers) {
    const String key = Lower(name);
    if (key == "transfer-encoding") {
      transfer += (transfer.empty() ? "" : ", ") + Lower(value);
    } else if (key == "content-length") {
      if (!length.empty() && length != value) return Fail("The answer has conflicting lengths");
      length = value;
    }
  }
  if (!transfer.empty() && transfer != "chunked") return Fail("The answer uses an unknown transfer coding: " + transfer);
  FChunked = !transfer.empty();
  answer.ContentLengthText = length;
  if (!length.empty() && !FChunked) {
    Int64 value = 0;
    if (!ParseDecimal(length, value)) return Fail("The answer has a malformed length: " + length.substr(0, 40));
    answer.ContentLength = value;
  }
  return Respond();
}

bool TTransfer::Respond()
{
  FResponded = true;
  TInternetAnswer& answer = FResult.Answer;
  if (answer.ContentLength > FReq.Limits.MaxBodySize)
    return Fail(TooLarge(FReq.Limits.MaxBodySize) + " (announced: " + std::to_string(answer.ContentLength) + ")");
  if (FReq.OnResponse && !Guard([&] { return FReq.OnResponse(answer); })) {
    if (!FCallbackError) FStopped = true;
    return false;
  }
  return true;
}

size_t TTransfer::WriteCb(char* Data, size_t Size, size_t Count, void* Self)
{
  return static_cast<TTransfer*>(Self)->OnBody(Data, Size * Count);
}

size_t TTransfer::OnBody(const char* Data, size_t Count)
{
  FActivity = NowMs();
  if (Ended()) return 0;
  if (!FResponded && FIsHttp) return Fail("The host's answer is not HTTP: a body without a header");
  if (!FResponded) {
    // FTP: the size the server told, known once the data flows.
    curl_off_t length = -1;
    if (curl_easy_getinfo(FHandle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK && length >= 0)
      FResult.Answer.ContentLength = length;
    FResult.Answer.StatusLine = FLastServerLine;
    if (!Respond()) return 0;
  }
  const Int64 count = static_cast<Int64>(Count);
  if (FResult.BytesRead + count > FReq.Limits.MaxBodySize) return Fail(TooLarge(FReq.Limits.MaxBodySize));
  const Int64 announced = FResult.Answer.ContentLength;
  if (announced >= 0 && FResult.BytesRead + count > announced)
    return Fail("The host sent more than the announced " + std::to_string(announced) + " bytes");
  FResult.BytesRead += count;
  if (!FReq.OnData) {
    FResult.Body.append(Data, Count);
    return Count;
  }
  if (!Guard([&] { return FReq.OnData(Data, Count); })) {
    if (!FCallbackError) FStopped = true;
    return 0;
  }
  return Count;
}

curl_socket_t TTransfer::OpenSocketCb(void* Self, curlsocktype Purpose, curl_sockaddr* Address)
{
  TTransfer* t = static_cast<TTransfer*>(Self);
  if (Purpose == CURLSOCKTYPE_IPCXN && !t->FResolved) {
    t->FResolved = true;
    t->Status(INTERNET_STATUS_NAME_RESOLVED);
  }
  t->Status(INTERNET_STATUS_CONNECTING_TO_SERVER);
  if (t->Ended()) return CURL_SOCKET_BAD;
  const int fd = socket(Address->family, Address->socktype | SOCK_CLOEXEC, Address->protocol);
  return fd < 0 ? CURL_SOCKET_BAD : fd;
}

int TTransfer::CloseSocketCb(void* Self, curl_socket_t Socket)
{
  TTransfer* t = static_cast<TTransfer*>(Self);
  t->Status(INTERNET_STATUS_CLOSING_CONNECTION);
  const int rc = close(Socket);
  t->Status(INTERNET_STATUS_CONNECTION_CLOSED);
  return rc;
}

int TTransfer::PrereqCb(void* Self, char*, char*, int, int)
{
  TTransfer* t = static_cast<TTransfer*>(Self);
  t->FConnected = true;
  t->FActivity = NowMs();
  t->Status(INTERNET_STATUS_CONNECTED_TO_SERVER);
  t->Status(INTERNET_STATUS_SENDING_REQUEST);
  return t->Ended() ? CURL_PREREQFUNC_ABORT : CURL_PREREQFUNC_OK;
}

int TTransfer::DebugCb(CURL*, curl_infotype Type, char* Data, size_t Size, void* Self)
{
  TTransfer* t = static_cast<TTransfer*>(Self);
  if (Type == CURLINFO_DATA_IN) {
    t->FDataIn += static_cast<Int64>(Size);
  } else if (Type == CURLINFO_HEADER_OUT) {
    t->FActivity = NowMs();
    if (t->FIsHttp || (Size >= 5 && std::memcmp(Data, "RETR ", 5) == 0)) t->Status(INTERNET_STATUS_REQUEST_SENT);
  }
  return 0;
}

void TTransfer::Status(int Code)
{
  if (!FReq.OnStatus || Ended()) return;
  Guard([&] {
    FReq.OnStatus(Code);
    return true;
  });
}

void TTransfer::Configure(CURL* h)
{
  curl_easy_setopt(h, CURLOPT_URL, FReq.Url.c_str());
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, FErrorText);
  curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(h, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &TTransfer::HeaderCb);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &TTransfer::WriteCb);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(h, CURLOPT_OPENSOCKETFUNCTION, &TTransfer::OpenSocketCb);
  curl_easy_setopt(h, CURLOPT_OPENSOCKETDATA, this);
  curl_easy_setopt(h, CURLOPT_CLOSESOCKETFUNCTION, &TTransfer::CloseSocketCb);
  curl_easy_setopt(h, CURLOPT_CLOSESOCKETDATA, this);
  curl_easy_setopt(h, CURLOPT_PREREQFUNCTION, &TTransfer::PrereqCb);
  curl_easy_setopt(h, CURLOPT_PREREQDATA, this);
  curl_easy_setopt(h, CURLOPT_DEBUGFUNCTION, &TTransfer::DebugCb);
  curl_easy_setopt(h, CURLOPT_DEBUGDATA, this);
  curl_easy_setopt(h, CURLOPT_VERBOSE, 1L);  // the debug callback sees the traffic; nothing is printed

  const TInternetLimits& limits = FReq.Limits;
  const Cardinal exchange = limits.ExchangeTimeout ? limits.ExchangeTimeout : DefaultInternetExchangeTimeout;
  curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(exchange));
  if (limits.ConnectTimeout) curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.ConnectTimeout));
  curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.MaxBodySize));

  if (!FReq.UserName.empty() || !FReq.Password.empty()) {
    curl_easy_setopt(h, CURLOPT_USERNAME, FReq.UserName.c_str());
    curl_easy_setopt(h, CURLOPT_PASSWORD, FReq.Password.c_str());
  }
  if (!FReq.UserAgent.empty()) curl_easy_setopt(h, CURLOPT_USERAGENT, FReq.UserAgent.c_str());
  if (!FReq.Referer.empty()) curl_easy_setopt(h, CURLOPT_REFERER, FReq.Referer.c_str());

  // Certificates: the chain and the host name are always checked.
  curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
  const String trust = GetInternetTrustFile();
  if (!trust.empty()) {
    curl_easy_setopt(h, CURLOPT_CAINFO, trust.c_str());
    curl_easy_setopt(h, CURLOPT_CAPATH, nullptr);
  }

  switch (FReq.ProxyMode) {
  case TInternetProxyMode::Direct:
    curl_easy_setopt(h, CURLOPT_PROXY, "");
    break;
  case TInternetProxyMode::System:
    // The proxy variables of the environment, read by the library itself.
    break;
  case TInternetProxyMode::Manual: {
    const String proxy = ProxyIgnores(FReq.ProxyIgnoreList, FHost) ? String() : ChooseProxy(FReq.ProxyAddresses, FScheme);
    curl_easy_setopt(h, CURLOPT_PROXY, proxy.c_str());
    break;
  }
  }
  if (FReq.ProxyMode != TInternetProxyMode::Direct && (!FReq.ProxyUserName.empty() || !FReq.ProxyPassword.empty())) {
    curl_easy_setopt(h, CURLOPT_PROXYUSERNAME, FReq.ProxyUserName.c_str());
    curl_easy_setopt(h, CURLOPT_PROXYPASSWORD, FReq.ProxyPassword.c_str());
  }

  if (FIsHttp) {
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, FReq.Http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, FReq.FollowRedirects ? 1L : 0L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, static_cast<long>(FReq.MaxRedirects));
    curl_easy_setopt(h, CURLOPT_HTTP09_ALLOWED, 0L);
  } else {
    curl_easy_setopt(h, CURLOPT_FTP_USE_EPSV, 0L);
    curl_easy_setopt(h, CURLOPT_FTP_USE_EPRT, 0L);
    curl_easy_setopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    if (!FReq.FtpPassive) curl_easy_setopt(h, CURLOPT_FTPPORT, "-");
    curl_easy_setopt(h, CURLOPT_TRANSFERTEXT, FReq.FtpAscii ? 1L : 0L);
  }
}

[[noreturn]] void TTransfer::RaiseCurlError(CURLcode Code) const
{
  const String detail = FErrorText[0] ? String(FErrorText) : String(curl_easy_strerror(Code));
  const Cardinal exchange = FReq.Limits.ExchangeTimeout ? FReq.Limits.ExchangeTimeout : DefaultInternetExchangeTimeout;
  switch (Code) {
  case CURLE_COULDNT_RESOLVE_HOST:
    throw EInternetError("Can not find the host " + FHost + ": " + detail);
  case CURLE_COULDNT_RESOLVE_PROXY:
    throw EInternetError("Can not find the proxy: " + detail);
  case CURLE_COULDNT_CONNECT:
    throw EInternetError("Can not connect to " + FHost + ": " + detail);
  case CURLE_OPERATION_TIMEDOUT:
    if (!FConnected) throw EInternetError("Can not connect to " + FHost + ": time-out");
    throw EInternetError("Time-out: the host did not complete its answer within " + std::to_string(exchange) + " ms");
  case CURLE_PARTIAL_FILE:
    throw EInternetError("The connection closed before the whole body was read");
  case CURLE_GOT_NOTHING:
    throw EInternetError("The host closed the connection without an answer");
  case CURLE_UNSUPPORTED_PROTOCOL:
  case CURLE_WEIRD_SERVER_REPLY:
    if (Lower(detail).find("content-length") != String::npos)
      throw EInternetError("The answer has a malformed length: " + detail);
    if (FIsHttp) throw EInternetError("The host's answer is not HTTP: " + detail);
    throw EInternetError("The host's answer is not FTP: " + detail);
  case CURLE_TOO_MANY_REDIRECTS:
    throw EInternetError("Too many redirects (more than " + std::to_string(FReq.MaxRedirects) + ")");
  case CURLE_FILESIZE_EXCEEDED:
    throw EInternetError(TooLarge(FReq.Limits.MaxBodySize));
  case CURLE_PEER_FAILED_VERIFICATION:
  case CURLE_SSL_CACERT_BADFILE:
    throw EInternetError("The host's certificate is not accepted: " + detail);
  case CURLE_SSL_CONNECT_ERROR:
    throw EInternetError("The secure connection failed: " + detail);
  case CURLE_RECV_ERROR:
    if (Lower(detail).find("chunk") != String::npos) throw EInternetError("The answer has a malformed chunk: " + detail);
    throw EInternetError("Reading from the host failed: " + detail);
  case CURLE_SEND_ERROR:
    throw EInternetError("Sending the request failed: " + detail);
  case CURLE_URL_MALFORMAT:
    throw EInternetError("Bad address \"" + FReq.Url + "\": " + detail);
  default:
    break;
  }
  // An FTP server's refusal is best told in its own words.
  if (!FIsHttp && !FServerRefusal.empty()) throw EInternetError(FServerRefusal);
  throw EInternetError(detail);
}

TInternetResult TTransfer::Run()
{
  GlobalInit();
  for (unsigned char c : FReq.Url + FReq.UserAgent + FReq.Accept + FReq.Referer)
    if (c < ' ' || c == 0x7F) throw EInternetError("Invalid characters in the request: " + FReq.Url);
  {
    CURLU* u = curl_url();
    if (!u) throw EInternetError("Out of memory");
    char* scheme = nullptr;
    char* host = nullptr;
    const bool ok = curl_url_set(u, CURLUPART_URL, FReq.Url.c_str(), 0) == CURLUE_OK &&
                    curl_url_get(u, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
                    curl_url_get(u, CURLUPART_HOST, &host, 0) == CURLUE_OK;
    if (ok) {
      FScheme = Lower(scheme);
      FHost = host;
    }
    curl_free(scheme);
    curl_free(host);
    curl_url_cleanup(u);
    if (!ok) throw EInternetError("Bad address \"" + FReq.Url + "\"");
  }
  if (FScheme != "http" && FScheme != "https" && FScheme != "ftp")
    throw EInternetError("Not an http://, https:// or ftp:// address: " + FReq.Url);
  FIsHttp = FScheme != "ftp";

  FHandle = curl_easy_init();
  CURLM* multi = curl_multi_init();
  curl_slist* headers = nullptr;
  if (!FHandle || !multi) {
    if (FHandle) curl_easy_cleanup(FHandle);
    if (multi) curl_multi_cleanup(multi);
    throw EInternetError("Out of memory");
  }
  Configure(FHandle);
  if (FIsHttp) {
    headers = curl_slist_append(headers, FReq.Accept.empty() ? "Accept:" : ("Accept: " + FReq.Accept).c_str());
    if (FReq.NoCache) headers = curl_slist_append(headers, "Pragma: no-cache");
    if (!FReq.Http10) headers = curl_slist_append(headers, "Connection: close");
    curl_easy_setopt(FHandle, CURLOPT_HTTPHEADER, headers);
  }
  curl_multi_add_handle(multi, FHandle);

  const Cardinal exchange = FReq.Limits.ExchangeTimeout ? FReq.Limits.ExchangeTimeout : DefaultInternetExchangeTimeout;
  const Int64 deadline = NowMs() + exchange;
  String ownError;
  Status(INTERNET_STATUS_RESOLVING_NAME);
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) {
      ownError = "The Internet library failed";
      break;
    }
    if (!running || Ended()) break;
    if (FReq.ShouldStop && Guard([&] { return !FReq.ShouldStop(); }) == false) {
      if (!FCallbackError) FStopped = true;
      break;
    }
    const Int64 now = NowMs();
    if (now >= deadline) {
      ownError = FConnected ? "Time-out: the host did not complete its answer within " + std::to_string(exchange) + " ms"
                            : "Can not connect to " + FHost + ": time-out";
      break;
    }
    if (FConnected && FReq.Limits.ReadTimeout && now - FActivity >= static_cast<Int64>(FReq.Limits.ReadTimeout)) {
      ownError = "Time-out reading from the host";
      break;
    }
    curl_multi_poll(multi, nullptr, 0, static_cast<int>(std::min<Int64>(PollMs, deadline - now)), nullptr);
  }
  CURLcode code = CURLE_OK;
  bool done = false;
  int left = 0;
  while (CURLMsg* msg = curl_multi_info_read(multi, &left)) {
    if (msg->msg == CURLMSG_DONE && msg->easy_handle == FHandle) {
      code = msg->data.result;
      done = true;
    }
  }
  curl_multi_remove_handle(multi, FHandle);
  curl_easy_cleanup(FHandle);
  FHandle = nullptr;
  curl_multi_cleanup(multi);
  curl_slist_free_all(headers);

  if (FCallbackError) std::rethrow_exception(FCallbackError);
  if (!FError.empty()) throw EInternetError(FError);
  if (FStopped) {
    FResult.Stopped = true;
    return std::move(FResult);
  }
  if (!ownError.empty()) throw EInternetError(ownError);
  if (!done) throw EInternetError("The transfer did not end");
  if (code != CURLE_OK) RaiseCurlError(code);
  if (!FResponded) {
    // An empty FTP file, or a body-less answer.
    if (!FIsHttp) FResult.Answer.StatusLine = FLastServerLine;
    if (!Respond()) {
      if (FCallbackError) std::rethrow_exception(FCallbackError);
      if (!FError.empty()) throw EInternetError(FError);
      FResult.Stopped = true;
      return std::move(FResult);
    }
  }
  // Bytes beyond the announced length that came with the answer: the answer contradicts itself.
  const Int64 announced = FResult.Answer.ContentLength;
  if (FIsHttp && !FChunked && announced >= 0 && FDataIn > announced)
    throw EInternetError("The host sent more than the announced " + std::to_string(announced) + " bytes");
  if (!FIsHttp) {
    FResult.Answer.StatusLine = FLastServerLine;
    FResult.Answer.StatusCode = FLastServerLine.size() >= 3 ? std::atoi(FLastServerLine.substr(0, 3).c_str()) : 0;
  }
  Status(INTERNET_STATUS_REQUEST_COMPLETE);
  if (FCallbackError) std::rethrow_exception(FCallbackError);
  return std::move(FResult);
}

}  // namespace

String TInternetAnswer::Header(const String& Name) const
{
  const String wanted = Lower(Name);
  for (const auto& [name, value] : Headers)
    if (Lower(name) == wanted) return value;
  return "";
}

TInternetResult InternetGet(const TInternetRequest& Request)
{
  TTransfer transfer(Request);
  return transfer.Run();
}

TInternetResult InternetReadAnswer(const String& Bytes, const TInternetLimits& Limits, bool Http10)
{
  // A one-connection "host" on loopback: sends the bytes and closes; it gives up when the
  // client has gone or never came.
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener, 1) != 0 || getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    const String reason = std::strerror(errno);
    if (listener >= 0) close(listener);
    throw EInternetError("Can not open a loopback socket: " + reason);
  }
  std::thread host([listener, &Bytes] {
    pollfd p{listener, POLLIN, 0};
    if (poll(&p, 1, 10000) <= 0) return;
    const int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return;
    std::size_t sent = 0;
    while (sent < Bytes.size()) {
      const ssize_t n = send(fd, Bytes.data() + sent, Bytes.size() - sent, MSG_NOSIGNAL);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      sent += static_cast<std::size_t>(n);
    }
    shutdown(fd, SHUT_WR);
    char sink[4096];
    pollfd q{fd, POLLIN, 0};
    while (poll(&q, 1, 10000) > 0 && recv(fd, sink, sizeof sink, 0) > 0) {
    }
    close(fd);
  });
  TInternetRequest request;
  request.Url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/";
  request.Http10 = Http10;
  request.Limits = Limits;
  try {
    TInternetResult result = InternetGet(request);
    host.join();
    close(listener);
    return result;
  } catch (...) {
    shutdown(listener, SHUT_RDWR);
    host.join();
    close(listener);
    throw;
  }
}

void SetInternetTrustFile(const String& FileName)
{
  std::lock_guard<std::mutex> lock(TrustLock);
  TrustFileName = FileName;
}

String GetInternetTrustFile()
{
  std::lock_guard<std::mutex> lock(TrustLock);
  return TrustFileName;
}
