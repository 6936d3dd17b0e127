#include "platform/os/Http.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <vector>
#include <mutex>
#include <thread>

namespace {

// A loopback server on a free port: every connection gets the request read up to its blank
// line, then Answer as it stands and the close; with Hold, no answer until the server stops.
class TLoopbackServer {
public:
  TLoopbackServer()
  {
    FListen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(FListen, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(FListen, 8);
    socklen_t length = sizeof address;
    getsockname(FListen, reinterpret_cast<sockaddr*>(&address), &length);
    Port = ntohs(address.sin_port);
    FThread = std::thread([this] { Run(); });
  }
  ~TLoopbackServer()
  {
    FStop = true;
    shutdown(FListen, SHUT_RDWR);
    FThread.join();
    close(FListen);
  }
  void SetAnswer(const std::string& Answer, bool Hold = false)
  {
    std::lock_guard<std::mutex> lock(FLock);
    FAnswer = Answer;
    FHold = Hold;
  }
  std::string LastRequest()
  {
    std::lock_guard<std::mutex> lock(FLock);
    return FRequest;
  }
  std::string Url(const std::string& Path) const { return "http://127.0.0.1:" + std::to_string(Port) + Path; }

  int Port = 0;

private:
  void Run()
  {
    while (!FStop) {
      const int client = accept4(FListen, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) return;
      std::string request;
      char buf[4096];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = recv(client, buf, sizeof buf, 0);
        if (n <= 0) break;
        request.append(buf, static_cast<std::size_t>(n));
      }
      std::string answer;
      bool hold;
      {
        std::lock_guard<std::mutex> lock(FLock);
        FRequest = request;
        answer = FAnswer;
        hold = FHold;
      }
      if (hold) {
        // Until the client gives up (closes) or the server stops.
        pollfd p{client, POLLIN, 0};
        while (!FStop && poll(&p, 1, 20) == 0) {
        }
      } else {
        send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
      }
      close(client);
    }
  }

  int FListen = -1;
  std::atomic<bool> FStop{false};
  std::thread FThread;
  std::mutex FLock;
  std::string FAnswer, FRequest;
  bool FHold = false;
};

TEST(THttpTest, GetsBodiesByLengthChunksAndClose)
{
  TLoopbackServer server;
  const struct {
    std::string Answer;
    int Status;
    std::string Body;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 19\r\n\r\n3.83.2\r\nnew build\r\n", 200,
       "3.83.2\r\nnew build\r\n"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4;ext=1\r\nWiki\r\n0A\r\npedia in\r\n\r\n0\r\nX-Trailer: 1\r\n\r\n",
       200, "Wikipedia in\r\n"},
      {"HTTP/1.0 200 OK\r\n\r\nread until the connection closes", 200, "read until the connection closes"},
      {"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok", 200, "ok"},
      {"HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot there", 404, "not there"},
      {"HTTP/1.1 302 Found\r\nLocation: http://elsewhere/\r\nContent-Length: 0\r\n\r\n", 302, ""},
      {"HTTP/1.1 204 No Content\r\n\r\n", 204, ""},
  };
  for (const auto& c : cases) {
    server.SetAnswer(c.Answer);
    const THttpResponse response = HttpGet(server.Url("/qv3v.txt"));
    EXPECT_EQ(response.StatusCode, c.Status) << c.Answer;
    EXPECT_EQ(response.Body, c.Body) << c.Answer;
  }
  server.SetAnswer(cases[5].Answer);
  EXPECT_EQ(HttpGet(server.Url("/")).Header("location"), "http://elsewhere/");
}

TEST(THttpTest, SendsHostAgentAndPath)
{
  TLoopbackServer server;
  server.SetAnswer("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nhi");
  THttpOptions options;
  options.UserAgent = "Quelvo test";
  EXPECT_EQ(HttpGetText(server.Url("/dir/qv3v.txt?x=1#part"), options), "hi");
  const std::string request = server.LastRequest();
  EXPECT_EQ(request.substr(0, request.find("\r\n")), "GET /dir/qv3v.txt?x=1 HTTP/1.1");
  EXPECT_NE(request.find("\r\nHost: 127.0.0.1:" + std::to_string(server.Port) + "\r\n"), std::string::npos);
  EXPECT_NE(request.find("\r\nUser-Agent: Quelvo test\r\n"), std::string::npos);
  EXPECT_NE(request.find("\r\nAccept: text/html, */*\r\n"), std::string::npos);
}

TEST(THttpTest, ErrorsAreClear)
{
  TLoopbackServer server;
  THttpOptions small;
  small.MaxBodySize = 10;
  small.ReadTimeout = 200;
  const struct {
    std::string Answer;
    bool Hold;
    std::string Message;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nContent-Length: 11\r\n\r\n01234567890", false, "larger than 10 bytes"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n8\r\n01234567\r\n8\r\n01234567\r\n0\r\n\r\n", false,
       "larger than 10 bytes"},
      {"HTTP/1.1 200 OK\r\n\r\n0123456789012345", false, "larger than 10 bytes"},
      {"HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nshort", false, "closed before the whole body"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n", false, "malformed chunk"},
      {"HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\n", false, "malformed length"},
      {"SSH-2.0-OpenSSH\r\n", false, "not HTTP"},
      {"", false, "without an answer"},
      {"", true, "Time-out"},
  };
  for (const auto& c : cases) {
    server.SetAnswer(c.Answer, c.Hold);
    try {
      HttpGet(server.Url("/"), small);
      ADD_FAILURE() << "no error for " << c.Answer;
    } catch (const EHttpError& E) {
      EXPECT_NE(E.Message().find(c.Message), std::string::npos) << E.Message();
    }
  }
  server.SetAnswer("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
  try {
    HttpGetText(server.Url("/qv3v.txt"));
    ADD_FAILURE() << "no error for 404";
  } catch (const EHttpProtocolError& E) {
    EXPECT_EQ(E.ErrorCode, 404);
    EXPECT_EQ(E.Message(), "HTTP/1.1 404 Not Found");
  }
}

TEST(THttpTest, RefusedAddresses)
{
  int closedPort = 0;
  {
    TLoopbackServer gone;  // a port that was just free again
    closedPort = gone.Port;
  }
  const struct {
    std::string Url;
    std::string Message;
  } cases[] = {
      {"https:///qv3v.txt", "No host"},
      {"ftp://example.com/", "Not an http://"},
      {"http:///path", "No host"},
      {"http://example.com:99999/", "Bad port"},
      {"http://user@example.com/", "User names"},
      {"http://example.com/a b", "Invalid characters"},
      {"http://example.com/\r\nX-Injected: 1", "Invalid characters"},
      {"http://127.0.0.1:" + std::to_string(closedPort) + "/", "Can not connect"},
  };
  for (const auto& c : cases) {
    try {
      HttpGet(c.Url);
      ADD_FAILURE() << "no error for " << c.Url;
    } catch (const EHttpError& E) {
      EXPECT_NE(E.Message().find(c.Message), std::string::npos) << E.Message();
    }
  }
}

}  // namespace

namespace {

// A loopback server that plays a script on each connection (after reading the request): Steps
// are sent one after another with PauseMs between them, then the connection stays open (Hold)
// or closes; Repeat plays the steps again and again. Every script ends when the client closes.
class TScriptedServer {
public:
  struct TScript {
    std::vector<std::string> Steps;
    int PauseMs = 0;
    bool Repeat = false;
    bool Hold = false;
  };
  explicit TScriptedServer(TScript Script) : FScript(std::move(Script))
  {
    FListen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(FListen, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(FListen, 8);
    socklen_t length = sizeof address;
    getsockname(FListen, reinterpret_cast<sockaddr*>(&address), &length);
    Port = ntohs(address.sin_port);
    FThread = std::thread([this] { Run(); });
  }
  ~TScriptedServer()
  {
    FStop = true;
    shutdown(FListen, SHUT_RDWR);
    FThread.join();
    close(FListen);
  }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(Port) + "/"; }
  int Port = 0;

private:
  // Waits Ms, false when the client went away meanwhile (or the server stops).
  bool Pause(int Client, int Ms)
  {
    pollfd p{Client, POLLIN, 0};
    const int ready = poll(&p, 1, Ms);
    char c;
    return !FStop && !(ready > 0 && recv(Client, &c, 1, MSG_DONTWAIT) <= 0);
  }
  void Run()
  {
    const int client = accept4(FListen, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) return;
    std::string request;
    char buf[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      const ssize_t n = recv(client, buf, sizeof buf, 0);
      if (n <= 0) break;
      request.append(buf, static_cast<std::size_t>(n));
    }
    bool open = true;
    do {
      for (const std::string& step : FScript.Steps) {
        if (!step.empty() && send(client, step.data(), step.size(), MSG_NOSIGNAL) < 0) open = false;
        if (!open || (FScript.PauseMs > 0 && !Pause(client, FScript.PauseMs))) {
          open = false;
          break;
        }
      }
    } while (open && FScript.Repeat);
    while (open && FScript.Hold && Pause(client, 20)) {
    }
    close(client);
  }
  TScript FScript;
  int FListen = -1;
  std::atomic<bool> FStop{false};
  std::thread FThread;
};

std::vector<std::string> Bytewise(const std::string& Text)
{
  std::vector<std::string> Steps;
  for (char c : Text) Steps.push_back(std::string(1, c));
  return Steps;
}

}  // namespace

TEST(THttpTest, EveryExchangeEndsWithinItsDeadline)
{
  const struct {
    const char* Name;
    TScriptedServer::TScript Script;
    Cardinal ReadTimeout;
    std::string Outcome;  // the error's words, or "body:" and the body
  } cases[] = {
      {"endless 100 Continue", {{"HTTP/1.1 100 Continue\r\n\r\n"}, 5, true, false}, 1000, "interim answers"},
      {"four interim answers, then the answer",
       {{"HTTP/1.1 100 Continue\r\n\r\n", "HTTP/1.1 103 Early Hints\r\nLink: </a>\r\n\r\n", "HTTP/1.1 100 Continue\r\n\r\n",
         "HTTP/1.1 100 Continue\r\n\r\n", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"}},
       1000,
       "body:ok"},
      {"a body dripping one byte at a time",
       {{"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n", "x"}, 100, true, false}, 1000, "Time-out"},
      {"a status line dripping one byte at a time", {Bytewise("HTTP/1.1 200 OK\r\nX-Slow: "), 100, false, true}, 1000,
       "Time-out"},
      {"silence, no read time-out", {{""}, 0, false, true}, 0, "Time-out"},
      {"a silent body, no read time-out", {{"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nab"}, 0, false, true}, 0,
       "Time-out"},
      {"gzip before chunked",
       {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n"}}, 1000,
       "unknown transfer coding"},
      {"chunked twice",
       {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n"}},
       1000,
       "unknown transfer coding"},
      {"chunked, named in capitals", {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n"}}, 1000,
       "body:abc"},
  };
  for (const auto& c : cases) {
    TScriptedServer server(c.Script);
    THttpOptions options;
    options.ReadTimeout = c.ReadTimeout;
    options.ExchangeTimeout = 1500;
    const auto start = std::chrono::steady_clock::now();
    std::string outcome;
    try {
      outcome = "body:" + HttpGet(server.Url(), options).Body;
    } catch (const EHttpError& E) {
      outcome = E.Message();
    }
    const auto spent =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_NE(outcome.find(c.Outcome), std::string::npos) << c.Name << ": " << outcome;
    EXPECT_LT(spent, 1500 + 1500) << c.Name;
  }
  EXPECT_EQ(THttpOptions().ExchangeTimeout, 60000u);
}

TEST(THttpTest, AnswersInMemoryReadAsFromAConnection)
{
  const struct {
    std::string Bytes;
    std::string Outcome;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok", "body:ok"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\n0\r\n\r\n", "body:ok"},
      {"HTTP/1.0 200 OK\r\n\r\nto the end", "body:to the end"},
      {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nok", "closed before the whole body"},
      {"SSH-2.0-OpenSSH\r\n", "not HTTP"},
      {"xxxxxx", "not HTTP"},
      {"HTTP/0p 003 Early\r\n\r\n", "not HTTP"},
      {"HTTP/1.1 600 Beyond\r\n\r\n", "not HTTP"},
      {"HTTP/HTtPHTH< 111 ../0\r\r\n\n.1 \n \n", "not HTTP"},
      {"HTTP/1.1 111 Interim\r\n\r\nbody after an interim answer", "not HTTP"},
      {"", "without an answer"},
  };
  for (const auto& c : cases) {
    std::string outcome;
    try {
      outcome = "body:" + ParseHttpAnswer(c.Bytes).Body;
    } catch (const EHttpError& E) {
      outcome = E.Message();
    }
    EXPECT_NE(outcome.find(c.Outcome), std::string::npos) << c.Bytes << ": " << outcome;
  }
}
