#include "platform/os/Http.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>

#include <chrono>

namespace {

constexpr std::size_t MaxHeaderLine = 8192;

Int64 NowMs()
{
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
constexpr std::size_t MaxHeaderBytes = 65536;

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

struct TUrl {
  String Host;
  String Port = "80";
  String Path = "/";
  String HostHeader;
};

TUrl ParseUrl(const String& Url)
{
  for (unsigned char c : Url)
    if (c <= ' ' || c == 0x7F) throw EHttpError("Invalid characters in the address \"" + Url + "\"");
  const String lower = Lower(Url);
  if (lower.compare(0, 8, "https://") == 0)
    throw EHttpError("Secure (https://) addresses are not supported: " + Url);
  if (lower.compare(0, 7, "http://") != 0) throw EHttpError("Not an http:// address: " + Url);
  TUrl url;
  const String rest = Url.substr(7);
  const std::size_t end = rest.find_first_of("/?#");
  const String authority = rest.substr(0, end);
  if (end != String::npos) {
    String path = rest.substr(end);
    const std::size_t hash = path.find('#');
    if (hash != String::npos) path.erase(hash);
    if (path.empty() || path[0] != '/') path = "/" + path;
    url.Path = path;
  }
  if (authority.find('@') != String::npos) throw EHttpError("User names in addresses are not supported: " + Url);
  String host = authority, port;
  if (!host.empty() && host[0] == '[') {
    const std::size_t close = host.find(']');
    if (close == String::npos) throw EHttpError("Bad host in the address: " + Url);
    if (close + 1 < host.size()) {
      if (host[close + 1] != ':') throw EHttpError("Bad host in the address: " + Url);
      port = host.substr(close + 2);
    }
    url.Host = host.substr(1, close - 1);
  } else {
    const std::size_t colon = host.rfind(':');
    if (colon != String::npos) {
      port = host.substr(colon + 1);
      host.erase(colon);
    }
    url.Host = host;
  }
  if (url.Host.empty()) throw EHttpError("No host in the address: " + Url);
  if (!port.empty()) {
    bool digits = port.size() <= 5;
    for (char c : port) digits = digits && std::isdigit(static_cast<unsigned char>(c));
    if (!digits || std::stoi(port) < 1 || std::stoi(port) > 65535) throw EHttpError("Bad port in the address: " + Url);
    url.Port = port;
  }
  const String hostText = url.Host.find(':') != String::npos ? "[" + url.Host + "]" : url.Host;
  url.HostHeader = url.Port == "80" ? hostText : hostText + ":" + url.Port;
  return url;
}

class TConnection {
public:
  // An answer already in memory: reading ends where Bytes end.
  explicit TConnection(const String& Bytes) : FReadTimeout(0), FBuffer(Bytes) {}

  TConnection(const TUrl& Url, const THttpOptions& Options)
      : FReadTimeout(Options.ReadTimeout),
        FExchangeTimeout(Options.ExchangeTimeout ? Options.ExchangeTimeout : DefaultHttpExchangeTimeout),
        FDeadline(NowMs() + FExchangeTimeout)
  {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    const int rc = getaddrinfo(Url.Host.c_str(), Url.Port.c_str(), &hints, &list);
    if (rc != 0) throw EHttpError("Can not find the host " + Url.Host + ": " + gai_strerror(rc));
    String failure = "no address";
    for (addrinfo* a = list; a && FFd < 0; a = a->ai_next) {
      const int fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
      if (fd < 0) {
        failure = std::strerror(errno);
        continue;
      }
      int error = 0;
      if (connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
        error = errno;
        if (error == EINPROGRESS) {
          pollfd p{fd, POLLOUT, 0};
          int limit = TimeLeft();
          if (Options.ConnectTimeout) limit = std::min(limit, static_cast<int>(std::min<Cardinal>(Options.ConnectTimeout, INT_MAX)));
          const int ready = poll(&p, 1, limit);
          socklen_t len = sizeof error;
          if (ready == 0) error = ETIMEDOUT;
          else if (ready < 0 || getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) != 0) error = errno;
        }
      }
      if (error == 0) {
        FFd = fd;
      } else {
        failure = error == ETIMEDOUT ? "time-out" : std::strerror(error);
        close(fd);
      }
    }
    freeaddrinfo(list);
    if (FFd < 0) throw EHttpError("Can not connect to " + Url.HostHeader + ": " + failure);
  }
  ~TConnection()
  {
    if (FFd >= 0) close(FFd);
  }
  TConnection(const TConnection&) = delete;
  TConnection& operator=(const TConnection&) = delete;

  void SendAll(const String& Data)
  {
    std::size_t sent = 0;
    while (sent < Data.size()) {
      Wait(POLLOUT, "writing to");
      const ssize_t n = send(FFd, Data.data() + sent, Data.size() - sent, MSG_NOSIGNAL);
      if (n < 0) {
        if (errno == EAGAIN || errno == EINTR) continue;
        throw EHttpError(String("Sending the request failed: ") + std::strerror(errno));
      }
      sent += static_cast<std::size_t>(n);
    }
  }

  // One line without its CR LF. False at the end of the data when nothing was read.
  bool ReadLine(String& Line, std::size_t Max)
  {
    Line.clear();
    for (;;) {
      const std::size_t nl = FBuffer.find('\n', FPos);
      if (nl != String::npos) {
        Line = FBuffer.substr(FPos, nl - FPos);
        FPos = nl + 1;
        if (!Line.empty() && Line.back() == '\r') Line.pop_back();
        if (Line.size() > Max) throw EHttpError("The answer has an overlong line");
        return true;
      }
      if (FBuffer.size() - FPos > Max) throw EHttpError("The answer has an overlong line");
      if (!Fill()) {
        if (FPos == FBuffer.size()) return false;
        throw EHttpError("The connection closed in the middle of a line");
      }
    }
  }

  void ReadExact(std::size_t Count, String& Out)
  {
    while (FBuffer.size() - FPos < Count) {
      if (!Fill()) throw EHttpError("The connection closed before the whole body was read");
    }
    Out.append(FBuffer, FPos, Count);
    FPos += Count;
  }

  void ReadToEnd(String& Out, Int64 Max)
  {
    for (;;) {
      Out.append(FBuffer, FPos, String::npos);
      FBuffer.clear();
      FPos = 0;
      if (static_cast<Int64>(Out.size()) > Max) throw EHttpError("The body is larger than " + std::to_string(Max) + " bytes");
      if (!Fill()) return;
    }
  }

private:
  // Milliseconds left of the exchange (at least 0).
  int TimeLeft() const
  {
    const Int64 left = FDeadline - NowMs();
    return static_cast<int>(std::clamp<Int64>(left, 0, INT_MAX));
  }

  void Wait(short Events, const char* What)
  {
    pollfd p{FFd, Events, 0};
    for (;;) {
      const int left = TimeLeft();
      if (left == 0) ExchangeTimedOut();
      const bool silence = FReadTimeout && static_cast<Int64>(FReadTimeout) <= left;
      const int ready = poll(&p, 1, silence ? static_cast<int>(FReadTimeout) : left);
      if (ready > 0) return;
      if (ready == 0) {
        if (!silence) ExchangeTimedOut();
        throw EHttpError(String("Time-out ") + What + " the host");
      }
      if (errno != EINTR) throw EHttpError(String("Waiting for the host failed: ") + std::strerror(errno));
    }
  }

  [[noreturn]] void ExchangeTimedOut() const
  {
    throw EHttpError("Time-out: the host did not complete its answer within " + std::to_string(FExchangeTimeout) +
                     " ms");
  }

  bool Fill()
  {
    if (FFd < 0) return false;  // an answer in memory ends with its bytes
    if (FPos > 65536 && FPos * 2 > FBuffer.size()) {
      FBuffer.erase(0, FPos);
      FPos = 0;
    }
    char chunk[16384];
    for (;;) {
      Wait(POLLIN, "reading from");
      const ssize_t n = recv(FFd, chunk, sizeof chunk, 0);
      if (n > 0) {
        FBuffer.append(chunk, static_cast<std::size_t>(n));
        return true;
      }
      if (n == 0) return false;
      if (errno == EAGAIN || errno == EINTR) continue;
      throw EHttpError(String("Reading from the host failed: ") + std::strerror(errno));
    }
  }

  int FFd = -1;
  Cardinal FReadTimeout;
  Cardinal FExchangeTimeout = 0;
  Int64 FDeadline = 0;
  String FBuffer;
  std::size_t FPos = 0;
};

bool ParseStatusLine(const String& Line, int& Code)
{
  if (Line.compare(0, 5, "HTTP/") != 0) return false;
  const std::size_t space = Line.find(' ');
  if (space == String::npos || space + 4 > Line.size()) return false;
  Code = 0;
  for (std::size_t i = space + 1; i < space + 4; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(Line[i]))) return false;
    Code = Code * 10 + (Line[i] - '0');
  }
  // A status is 100 to 599; anything else is not an HTTP answer.
  if (Code < 100 || Code > 599) return false;
  return space + 4 == Line.size() || Line[space + 4] == ' ';
}

bool ParseNumber(const String& Text, int Base, std::size_t MaxDigits, Int64& Value)
{
  if (Text.empty() || Text.size() > MaxDigits) return false;
  Value = 0;
  for (char c : Text) {
    const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                      : Base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                          ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                          : -1;
    if (digit < 0) return false;
    Value = Value * Base + digit;
  }
  return true;
}

void ReadChunked(TConnection& Conn, Int64 Max, String& Body)
{
  String line;
  for (;;) {
    if (!Conn.ReadLine(line, MaxHeaderLine)) throw EHttpError("The connection closed before the whole body was read");
    const String sizeText = TrimBlanks(line.substr(0, line.find(';')));
    Int64 size = 0;
    if (!ParseNumber(sizeText, 16, 15, size)) throw EHttpError("The answer has a malformed chunk");
    if (size == 0) break;
    if (static_cast<Int64>(Body.size()) + size > Max)
      throw EHttpError("The body is larger than " + std::to_string(Max) + " bytes");
    Conn.ReadExact(static_cast<std::size_t>(size), Body);
    if (!Conn.ReadLine(line, MaxHeaderLine) || !line.empty()) throw EHttpError("The answer has a malformed chunk");
  }
  // Trailer fields up to the empty line (or the end of the data).
  std::size_t total = 0;
  while (Conn.ReadLine(line, MaxHeaderLine) && !line.empty()) {
    total += line.size();
    if (total > MaxHeaderBytes) throw EHttpError("The answer's header is too large");
  }
}

THttpResponse ReadAnswer(TConnection& conn, Int64 MaxBodySize);

}  // namespace

String THttpResponse::Header(const String& Name) const
{
  const String wanted = Lower(Name);
  for (const auto& [name, value] : Headers)
    if (Lower(name) == wanted) return value;
  return "";
}

THttpResponse HttpGet(const String& Url, const THttpOptions& Options)
{
  const TUrl url = ParseUrl(Url);
  for (unsigned char c : Options.UserAgent + Options.Accept)
    if (c < ' ' || c == 0x7F) throw EHttpError("Invalid characters in a request header");
  TConnection conn(url, Options);
  String request = "GET " + url.Path + " HTTP/1.1\r\nHost: " + url.HostHeader + "\r\n";
  if (!Options.UserAgent.empty()) request += "User-Agent: " + Options.UserAgent + "\r\n";
  if (!Options.Accept.empty()) request += "Accept: " + Options.Accept + "\r\n";
  request += "Connection: close\r\n\r\n";
  conn.SendAll(request);
  return ReadAnswer(conn, Options.MaxBodySize);
}

THttpResponse ParseHttpAnswer(const String& Bytes, Int64 MaxBodySize)
{
  TConnection conn(Bytes);
  return ReadAnswer(conn, MaxBodySize);
}

namespace {

THttpResponse ReadAnswer(TConnection& conn, Int64 MaxBodySize)
{
  THttpResponse response;
  String line;
  for (int interim = 0;; ++interim) {
    if (!conn.ReadLine(line, MaxHeaderLine)) throw EHttpError("The host closed the connection without an answer");
    if (!ParseStatusLine(line, response.StatusCode)) throw EHttpError("The host's answer is not HTTP: " + line.substr(0, 80));
    response.StatusLine = line;
    response.Headers.clear();
    std::size_t total = 0;
    for (;;) {
      if (!conn.ReadLine(line, MaxHeaderLine)) throw EHttpError("The connection closed in the answer's header");
      if (line.empty()) break;
      total += line.size();
      if (total > MaxHeaderBytes) throw EHttpError("The answer's header is too large");
      const std::size_t colon = line.find(':');
      if (colon == String::npos || colon == 0) throw EHttpError("The answer has a malformed header line");
      response.Headers.emplace_back(line.substr(0, colon), TrimBlanks(line.substr(colon + 1)));
    }
    // Interim answers (100 Continue, 103) come before the real one; a few at most.
    if (response.StatusCode >= 100 && response.StatusCode < 200 && response.StatusCode != 101) {
      if (interim + 1 >= MaxInterimAnswers) throw EHttpError("The host sends interim answers without end");
      continue;
    }
    break;
  }

  if (response.StatusCode == 204 || response.StatusCode == 304 || response.StatusCode < 200) return response;
  // Only plain chunked is read: a body in another coding (or a list of them) would come out
  // as something else than what was sent.
  String transfer;
  for (const auto& [name, value] : response.Headers) {
    if (Lower(name) != "transfer-encoding") continue;
    transfer += (transfer.empty() ? "" : ", ") + Lower(value);
  }
  if (!transfer.empty()) {
    if (transfer != "chunked") throw EHttpError("The answer uses an unknown transfer coding: " + transfer);
    ReadChunked(conn, MaxBodySize, response.Body);
    return response;
  }
  String lengthText;
  for (const auto& [name, value] : response.Headers) {
    if (Lower(name) != "content-length") continue;
    if (!lengthText.empty() && lengthText != value) throw EHttpError("The answer has conflicting lengths");
    lengthText = value;
  }
  if (!lengthText.empty()) {
    Int64 length = 0;
    if (!ParseNumber(lengthText, 10, 18, length)) throw EHttpError("The answer has a malformed length: " + lengthText);
    if (length > MaxBodySize) throw EHttpError("The body is larger than " + std::to_string(MaxBodySize) + " bytes");
    conn.ReadExact(static_cast<std::size_t>(length), response.Body);
    return response;
  }
  conn.ReadToEnd(response.Body, MaxBodySize);
  return response;
}

}  // namespace

String HttpGetText(const String& Url, const THttpOptions& Options)
{
  THttpResponse response = HttpGet(Url, Options);
  if (response.StatusCode < 200 || response.StatusCode > 299)
    throw EHttpProtocolError(response.StatusLine, response.StatusCode);
  return response.Body;
}
