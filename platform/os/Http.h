// One GET of an "http://" or "https://" address through the program's Internet client
// (platform/os/Internet.h), with the rules of the update check: the request carries Host, the
// caller's User-Agent and Accept, and "Connection: close"; redirects are not followed (the 3xx
// answer is returned as it is); the body is read by Content-Length, as chunks, or up to the end
// of the connection, and never beyond MaxBodySize. https:// checks the host's certificate and
// name. Names are looked up with the system resolver, which the time-outs do not cover.
//
// However a host behaves (endless interim answers, one byte a second, silence), an exchange
// ends within ExchangeTimeout: the whole of it, from connecting to the last byte, whatever
// ReadTimeout says. At most MaxInterimAnswers interim (1xx) answers are skipped; a transfer
// coding other than plain "chunked" (gzip, a list of codings ...) is refused.
#pragma once

#include <utility>
#include <vector>

#include "platform/os/Internet.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/System.h"

// A failed exchange: bad address, no connection, a refused certificate, a time-out, a
// malformed or cut-off answer, a body over the limit. The message says which.
using EHttpError = EInternetError;

// An answer whose status is not 2xx, raised by HttpGetText (as the class library's HTTP client
// raises); the message is the status line ("HTTP/1.1 404 Not Found").
class EHttpProtocolError : public EHttpError {
public:
  EHttpProtocolError(const String& Msg, int Code) : EHttpError(Msg), ErrorCode(Code) {}
  int ErrorCode;
};

struct THttpOptions {
  String UserAgent = "Mozilla/3.0 (compatible; Indy Library)";
  String Accept = "text/html, */*";
  Cardinal ConnectTimeout = 10000;  // ms; 0 = no limit
  Cardinal ReadTimeout = 30000;     // ms of silence while reading; 0 = no limit of its own
  Cardinal ExchangeTimeout = 60000; // ms for the whole exchange; 0 = the default 60 s
  Int64 MaxBodySize = 16 * 1024 * 1024;
};

constexpr Cardinal DefaultHttpExchangeTimeout = DefaultInternetExchangeTimeout;

struct THttpResponse {
  String StatusLine;   // "HTTP/1.1 200 OK"
  int StatusCode = 0;  // 200
  std::vector<std::pair<String, String>> Headers;  // in order, names as sent
  String Body;         // decoded from chunks when chunked

  // The first header of that name (case-insensitive), "" when none.
  String Header(const String& Name) const;
};

// Raises EHttpError (see above); any status is returned.
THttpResponse HttpGet(const String& Url, const THttpOptions& Options = THttpOptions());
// The body of a 2xx answer; raises EHttpProtocolError for any other status.
String HttpGetText(const String& Url, const THttpOptions& Options = THttpOptions());
// Reads an answer held in memory, by the rules HttpGet reads one from a connection (the end of
// Bytes is the end of the connection). Raises EHttpError as HttpGet does.
THttpResponse ParseHttpAnswer(const String& Bytes, Int64 MaxBodySize = 16 * 1024 * 1024);
