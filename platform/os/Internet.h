// The program's one Internet client: a GET of an http://, https:// or ftp:// address, run on
// the calling thread (a worker thread or the caller of the update check), built on libcurl.
//
// What callers rely on:
// - https:// checks the host's certificate chain and name against the system's trust store
//   (or the trust file given by SetInternetTrustFile); there is no way to switch that off.
// - Every transfer ends: within ConnectTimeout while connecting, after ReadTimeout of silence
//   once connected, and always within ExchangeTimeout for the whole of it, however the host
//   behaves. ShouldStop is asked at least every 50 ms, so a transfer can be cut short at once.
// - Memory is bounded: an answer announcing more than MaxBodySize bytes fails before its body
//   is read, and one that sends more fails when it passes the limit. An HTTP header of more
//   than 64 KiB, a header line over 8 KiB, more than MaxInterimAnswers interim answers and more
//   than MaxRedirects redirects fail too.
// - HTTP answers are read strictly: a status line that is not HTTP, a length that is not a
//   plain number, conflicting lengths, a transfer coding other than chunked, a header line
//   without a colon, an answer cut short before its announced length, and body bytes beyond
//   the announced length arriving with the answer are errors.
// - The milestones of a transfer are told to OnStatus with the system's status numbers
//   (InternetStatus below), on the transfer's thread; OnResponse gets the final answer's status
//   and length before the first body byte; OnData gets the body as it arrives.
// - Any failure raises EInternetError with a message saying what went wrong (for an FTP
//   server's refusal, the server's own answer line). An exception thrown by a callback ends
//   the transfer and leaves InternetGet unchanged.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/System.h"

QV_DECLARE_EXCEPTION(EInternetError, Exception);

// The milestones reported to TInternetRequest::OnStatus.
enum TInternetStatus : int {
  INTERNET_STATUS_RESOLVING_NAME = 10,
  INTERNET_STATUS_NAME_RESOLVED = 11,
  INTERNET_STATUS_CONNECTING_TO_SERVER = 20,
  INTERNET_STATUS_CONNECTED_TO_SERVER = 21,
  INTERNET_STATUS_SENDING_REQUEST = 30,
  INTERNET_STATUS_REQUEST_SENT = 31,
  INTERNET_STATUS_RECEIVING_RESPONSE = 40,
  INTERNET_STATUS_RESPONSE_RECEIVED = 41,
  INTERNET_STATUS_CLOSING_CONNECTION = 50,
  INTERNET_STATUS_CONNECTION_CLOSED = 51,
  INTERNET_STATUS_REQUEST_COMPLETE = 100,
  INTERNET_STATUS_REDIRECT = 110,
};

// How a transfer finds its proxy: none; the system's settings (the http_proxy, https_proxy,
// ftp_proxy, all_proxy and no_proxy variables); or the addresses given.
enum class TInternetProxyMode { Direct, System, Manual };

constexpr int MaxInterimAnswers = 5;

struct TInternetLimits {
  Cardinal ConnectTimeout = 10000;   // ms; 0 = only the exchange's limit
  Cardinal ReadTimeout = 30000;      // ms of silence once connected; 0 = no limit of its own
  Cardinal ExchangeTimeout = 60000;  // ms for the whole transfer; 0 = the default 60 s
  Int64 MaxBodySize = 16 * 1024 * 1024;
};

constexpr Cardinal DefaultInternetExchangeTimeout = 60000;

struct TInternetAnswer {
  String StatusLine;   // "HTTP/1.1 200 OK"; for FTP the server's last answer line
  int StatusCode = 0;  // 200; for FTP the last answer's number
  std::vector<std::pair<String, String>> Headers;  // HTTP: the final answer's, in order
  Int64 ContentLength = -1;  // announced size, -1 when none was announced
  String ContentLengthText;  // HTTP: the Content-Length field as sent, "" when none

  // The first header of that name (case-insensitive), "" when none.
  String Header(const String& Name) const;
};

struct TInternetRequest {
  String Url;  // http://, https:// or ftp://host[:port]/path (no user information)
  String UserName, Password;
  String UserAgent;              // "" sends none
  String Accept;                 // "" sends none
  String Referer;                // "" sends none
  bool Http10 = false;           // ask with HTTP/1.0 instead of HTTP/1.1
  bool NoCache = false;          // "Pragma: no-cache"
  bool FollowRedirects = false;  // 3xx answers are returned as they are unless set
  int MaxRedirects = 10;
  TInternetProxyMode ProxyMode = TInternetProxyMode::Direct;
  // Manual: "host:port", or a list of "scheme=host:port" and plain entries separated by
  // blanks or ";"; the first entry for the address's scheme wins, else the first plain one.
  String ProxyAddresses;
  // Manual: hosts reached without the proxy, separated by blanks, ";" or ","; "*" patterns
  // match any characters, "<local>" every host name without a dot.
  String ProxyIgnoreList;
  String ProxyUserName, ProxyPassword;
  bool FtpPassive = true;
  bool FtpAscii = false;
  TInternetLimits Limits;

  std::function<void(int Status)> OnStatus;
  // The final answer, before its body. Returning false stops the transfer (no error).
  std::function<bool(const TInternetAnswer& Answer)> OnResponse;
  // A piece of the body. Returning false stops the transfer (no error). Without OnData the
  // body is collected in the result.
  std::function<bool(const char* Data, std::size_t Count)> OnData;
  // Asked while the transfer runs; true stops it (no error).
  std::function<bool()> ShouldStop;
};

struct TInternetResult {
  TInternetAnswer Answer;
  String Body;           // the body, when the request had no OnData
  Int64 BytesRead = 0;   // body bytes received
  bool Stopped = false;  // a callback or ShouldStop ended the transfer early
};

TInternetResult InternetGet(const TInternetRequest& Request);

// Reads an HTTP answer held in memory through the same client, as if a host had sent Bytes
// and closed the connection. Raises EInternetError as InternetGet does.
TInternetResult InternetReadAnswer(const String& Bytes, const TInternetLimits& Limits, bool Http10 = false);

// A file of trusted certificates (PEM) used instead of the system's store for https://, or ""
// for the system's store again (tests trust their own certificates this way).
void SetInternetTrustFile(const String& FileName);
String GetInternetTrustFile();
