#include "platform/os/Http.h"

#include <cctype>

namespace {

String Lower(String S)
{
  for (char& c : S) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return S;
}

// The address rules of the update check, before anything goes out: http:// or https://, a
// host, a port from 1 to 65535, no user information, no blanks or control characters.
void CheckUrl(const String& Url)
{
  for (unsigned char c : Url)
    if (c <= ' ' || c == 0x7F) throw EHttpError("Invalid characters in the address \"" + Url + "\"");
  const String lower = Lower(Url);
  const std::size_t skip = lower.compare(0, 7, "http://") == 0 ? 7 : lower.compare(0, 8, "https://") == 0 ? 8 : 0;
  if (skip == 0) throw EHttpError("Not an http:// or https:// address: " + Url);
  const String rest = Url.substr(skip);
  const String authority = rest.substr(0, rest.find_first_of("/?#"));
  if (authority.find('@') != String::npos) throw EHttpError("User names in addresses are not supported: " + Url);
  String host = authority, port;
  if (!host.empty() && host[0] == '[') {
    const std::size_t close = host.find(']');
    if (close == String::npos || (close + 1 < host.size() && host[close + 1] != ':'))
      throw EHttpError("Bad host in the address: " + Url);
    if (close + 1 < host.size()) port = host.substr(close + 2);
    host = host.substr(1, close - 1);
  } else if (const std::size_t colon = host.rfind(':'); colon != String::npos) {
    port = host.substr(colon + 1);
    host.erase(colon);
  }
  if (host.empty()) throw EHttpError("No host in the address: " + Url);
  if (!port.empty()) {
    bool digits = port.size() <= 5;
    for (char c : port) digits = digits && std::isdigit(static_cast<unsigned char>(c));
    if (!digits || std::stoi(port) < 1 || std::stoi(port) > 65535) throw EHttpError("Bad port in the address: " + Url);
  }
}

THttpResponse ToResponse(TInternetResult&& Result)
{
  THttpResponse response;
  response.StatusLine = std::move(Result.Answer.StatusLine);
  response.StatusCode = Result.Answer.StatusCode;
  response.Headers = std::move(Result.Answer.Headers);
  response.Body = std::move(Result.Body);
  return response;
}

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
  CheckUrl(Url);
  TInternetRequest request;
  request.Url = Url;
  request.UserAgent = Options.UserAgent;
  request.Accept = Options.Accept;
  request.ProxyMode = TInternetProxyMode::Direct;
  request.Limits.ConnectTimeout = Options.ConnectTimeout;
  request.Limits.ReadTimeout = Options.ReadTimeout;
  request.Limits.ExchangeTimeout = Options.ExchangeTimeout;
  request.Limits.MaxBodySize = Options.MaxBodySize;
  return ToResponse(InternetGet(request));
}

THttpResponse ParseHttpAnswer(const String& Bytes, Int64 MaxBodySize)
{
  TInternetLimits limits;
  limits.MaxBodySize = MaxBodySize;
  limits.ReadTimeout = 0;
  limits.ExchangeTimeout = 10000;
  return ToResponse(InternetReadAnswer(Bytes, limits));
}

String HttpGetText(const String& Url, const THttpOptions& Options)
{
  THttpResponse response = HttpGet(Url, Options);
  if (response.StatusCode < 200 || response.StatusCode > 299)
    throw EHttpProtocolError(response.StatusLine, response.StatusCode);
  return response.Body;
}
