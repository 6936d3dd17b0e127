#include "platform/os/Internet.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include "platform/os/Http.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TempDirTest.h"

namespace {

class InternetClient : public TTempDirTest {
protected:
  void TearDown() override
  {
    SetInternetTrustFile("");
    TTempDirTest::TearDown();
  }
};

std::string Answer(const std::string& Body)
{
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(Body.size()) + "\r\n\r\n" + Body;
}

TEST_F(InternetClient, HttpsTrustsTheTrustFileOrTheSystemStoreAlone)
{
  TTestKey caKey, serverKey;
  X509* ca = MakeCertificate(caKey.Key, "Test CA", "", -1, 30, nullptr, nullptr, true);
  X509* cert = MakeCertificate(serverKey.Key, "127.0.0.1", "IP:127.0.0.1", -1, 30, ca, caKey.Key, false);
  WritePem(Dir + "trust.pem", ca);
  SSL_CTX* context = MakeServerContext(cert, serverKey.Key);
  {
    TLoopbackServer server([&](int Client) { ServeTls(context, Client, Answer("3.90.0")); });
    // The system's store does not know the test's authority.
    try {
      HttpGet(server.Address("https") + "/qv3v.txt");
      ADD_FAILURE() << "an unknown authority was trusted";
    } catch (const EHttpError& E) {
      EXPECT_NE(E.Message().find("certificate is not accepted"), std::string::npos) << E.Message();
    }
    SetInternetTrustFile(Dir + "trust.pem");
    EXPECT_EQ(HttpGetText(server.Address("https") + "/qv3v.txt"), "3.90.0");
  }
  SSL_CTX_free(context);
  X509_free(cert);
  X509_free(ca);
}

TEST_F(InternetClient, StoppingEndsASilentTransferAtOnce)
{
  TLoopbackServer server([](int Client) {
    ReadUntil(Client, "\r\n\r\n");
    PeerClosedWithin(Client, 5000);
  });
  TInternetRequest request;
  request.Url = server.Address() + "/";
  std::vector<int> statuses;
  request.OnStatus = [&](int Status) { statuses.push_back(Status); };
  const auto start = std::chrono::steady_clock::now();
  request.ShouldStop = [&] { return std::chrono::steady_clock::now() - start > std::chrono::milliseconds(200); };
  const TInternetResult result = InternetGet(request);
  EXPECT_TRUE(result.Stopped);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  const std::vector<int> wanted = {INTERNET_STATUS_RESOLVING_NAME, INTERNET_STATUS_NAME_RESOLVED,
                                   INTERNET_STATUS_CONNECTING_TO_SERVER, INTERNET_STATUS_CONNECTED_TO_SERVER,
                                   INTERNET_STATUS_SENDING_REQUEST, INTERNET_STATUS_REQUEST_SENT};
  ASSERT_GE(statuses.size(), wanted.size());
  EXPECT_EQ(std::vector<int>(statuses.begin(), statuses.begin() + static_cast<long>(wanted.size())), wanted);
}

TEST_F(InternetClient, SystemProxySettingsComeFromTheEnvironment)
{
  std::string seen, direct;
  TLoopbackServer proxy([&](int Client) {
    seen = ReadUntil(Client, "\r\n\r\n");
    SendText(Client, Answer("proxied"));
  });
  TLoopbackServer origin([&](int Client) {
    direct = ReadUntil(Client, "\r\n\r\n");
    SendText(Client, Answer("direct"));
  });
  // The test's own proxy settings for the time of the test (a machine's no_proxy could send the
  // request to the name instead of the loopback proxy).
  std::vector<std::pair<std::string, std::string>> saved;
  for (const char* name : {"http_proxy", "no_proxy", "NO_PROXY"}) {
    if (const char* value = getenv(name)) saved.emplace_back(name, value);
    unsetenv(name);
  }
  setenv("http_proxy", ("http://127.0.0.1:" + std::to_string(proxy.Port)).c_str(), 1);
  TInternetRequest request;
  request.Url = "http://files.invalid/v.txt";
  request.ProxyMode = TInternetProxyMode::System;
  request.ProxyUserName = "user";
  request.ProxyPassword = "word";
  std::string body, bodyDirect;
  try {
    body = InternetGet(request).Body;
    // No proxy: the environment's is not used either.
    request.Url = origin.Address() + "/v.txt";
    request.ProxyMode = TInternetProxyMode::Direct;
    bodyDirect = InternetGet(request).Body;
  } catch (const EInternetError& E) {
    body = E.Message();
  }
  unsetenv("http_proxy");
  for (const auto& [name, value] : saved) setenv(name.c_str(), value.c_str(), 1);
  EXPECT_EQ(body, "proxied");
  EXPECT_EQ(bodyDirect, "direct");
  EXPECT_EQ(direct.substr(0, direct.find("\r\n")), "GET /v.txt HTTP/1.1");
  EXPECT_EQ(direct.find("Proxy-Authorization"), std::string::npos);
  EXPECT_EQ(seen.substr(0, seen.find("\r\n")), "GET http://files.invalid/v.txt HTTP/1.1");
  EXPECT_NE(seen.find("\r\nProxy-Authorization: Basic dXNlcjp3b3Jk\r\n"), std::string::npos) << seen;
}

}  // namespace
