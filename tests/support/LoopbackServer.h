// Servers for the Internet client's tests, on 127.0.0.1 only (ephemeral ports): a TCP server
// that hands every connection to a handler, with small bounded socket helpers, and, with
// OpenSSL, certificates made at test time and a TLS layer over a connection.
//
// Every wait is bounded (a few seconds at most), so a client that misbehaves fails the test
// instead of hanging it; the destructor ends the accept loop and waits for the handlers.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

// A listening socket on 127.0.0.1 with a port of the system's choice; -1 on failure.
inline int ListenOnLoopback(int& Port)
{
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 8) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (fd >= 0) close(fd);
    return -1;
  }
  Port = ntohs(address.sin_port);
  return fd;
}

// Accepts one connection within Ms milliseconds; -1 when none came.
inline int AcceptWithin(int Listener, int Ms)
{
  pollfd p{Listener, POLLIN, 0};
  if (poll(&p, 1, Ms) <= 0) return -1;
  return accept4(Listener, nullptr, nullptr, SOCK_CLOEXEC);
}

inline bool SendText(int Fd, const std::string& Text)
{
  std::size_t sent = 0;
  while (sent < Text.size()) {
    const ssize_t n = send(Fd, Text.data() + sent, Text.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

// Reads up to and including Terminator (or until the peer closes or 5 s pass).
inline std::string ReadUntil(int Fd, const std::string& Terminator)
{
  std::string text;
  char c;
  pollfd p{Fd, POLLIN, 0};
  while (text.size() < 65536 && (text.size() < Terminator.size() ||
                                 text.compare(text.size() - Terminator.size(), Terminator.size(), Terminator) != 0)) {
    if (poll(&p, 1, 5000) <= 0 || recv(Fd, &c, 1, 0) != 1) break;
    text += c;
  }
  return text;
}

// Waits up to Ms for the peer to close (true) or send something (false).
inline bool PeerClosedWithin(int Fd, int Ms)
{
  pollfd p{Fd, POLLIN, 0};
  char c;
  return poll(&p, 1, Ms) > 0 && recv(Fd, &c, 1, MSG_PEEK) <= 0;
}

class TLoopbackServer {
public:
  using THandler = std::function<void(int Client)>;
  explicit TLoopbackServer(THandler Handler) : FHandler(std::move(Handler))
  {
    FListen = ListenOnLoopback(Port);
    FThread = std::thread([this] { Run(); });
  }
  ~TLoopbackServer()
  {
    FStop = true;
    FThread.join();
    close(FListen);
  }
  TLoopbackServer(const TLoopbackServer&) = delete;
  TLoopbackServer& operator=(const TLoopbackServer&) = delete;

  std::string Address(const std::string& Scheme = "http") const
  {
    return Scheme + "://127.0.0.1:" + std::to_string(Port);
  }
  bool Stopping() const { return FStop; }
  int Connections() const { return FConnections; }

  int Port = 0;

private:
  void Run()
  {
    while (!FStop) {
      const int client = AcceptWithin(FListen, 20);
      if (client < 0) continue;
      ++FConnections;
      FHandler(client);
      close(client);
    }
  }
  THandler FHandler;
  int FListen = -1;
  std::atomic<bool> FStop{false};
  std::atomic<int> FConnections{0};
  std::thread FThread;
};

// ---- Certificates and TLS ----

struct TTestKey {
  EVP_PKEY* Key = nullptr;
  TTestKey() : Key(EVP_EC_gen("P-256")) {}
  ~TTestKey() { EVP_PKEY_free(Key); }
  TTestKey(const TTestKey&) = delete;
  TTestKey& operator=(const TTestKey&) = delete;
};

// A certificate for Key named CommonName, valid from NotBeforeDays to NotAfterDays (relative to
// now), with AltName ("IP:127.0.0.1", "DNS:host") when given, signed by Issuer's key (itself
// when Issuer is nullptr); a CA when IsCa.
inline X509* MakeCertificate(EVP_PKEY* Key, const std::string& CommonName, const std::string& AltName,
                             long NotBeforeDays, long NotAfterDays, X509* Issuer, EVP_PKEY* IssuerKey, bool IsCa)
{
  static std::atomic<long> serial{1};
  X509* cert = X509_new();
  X509_set_version(cert, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert), serial++);
  X509_gmtime_adj(X509_getm_notBefore(cert), NotBeforeDays * 86400);
  X509_gmtime_adj(X509_getm_notAfter(cert), NotAfterDays * 86400);
  X509_set_pubkey(cert, Key);
  X509_NAME* name = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(CommonName.c_str()), -1,
                             -1, 0);
  X509_set_issuer_name(cert, Issuer ? X509_get_subject_name(Issuer) : name);
  X509V3_CTX ctx;
  X509V3_set_ctx(&ctx, Issuer ? Issuer : cert, cert, nullptr, nullptr, 0);
  auto add = [&](int Nid, const char* Value) {
    if (X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, Nid, Value)) {
      X509_add_ext(cert, ext, -1);
      X509_EXTENSION_free(ext);
    }
  };
  add(NID_basic_constraints, IsCa ? "critical,CA:TRUE" : "CA:FALSE");
  if (IsCa) add(NID_key_usage, "critical,keyCertSign,cRLSign");
  if (!AltName.empty()) add(NID_subject_alt_name, AltName.c_str());
  X509_sign(cert, IssuerKey ? IssuerKey : Key, EVP_sha256());
  return cert;
}

inline void WritePem(const std::string& FileName, X509* Cert)
{
  FILE* f = fopen(FileName.c_str(), "w");
  PEM_write_X509(f, Cert);
  fclose(f);
}

// A TLS server context with a certificate (and the chain's issuer) and its key.
inline SSL_CTX* MakeServerContext(X509* Cert, EVP_PKEY* Key)
{
  SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
  SSL_CTX_use_certificate(ctx, Cert);
  SSL_CTX_use_PrivateKey(ctx, Key);
  return ctx;
}

// Runs the TLS handshake on Client and, when it succeeds, reads the request up to its blank
// line and sends Answer.
inline void ServeTls(SSL_CTX* Context, int Client, const std::string& Answer)
{
  timeval tv{5, 0};
  setsockopt(Client, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  SSL* ssl = SSL_new(Context);
  SSL_set_fd(ssl, Client);
  if (SSL_accept(ssl) == 1) {
    std::string request;
    char buf[1024];
    while (request.find("\r\n\r\n") == std::string::npos) {
      const int n = SSL_read(ssl, buf, sizeof buf);
      if (n <= 0) break;
      request.append(buf, static_cast<std::size_t>(n));
    }
    SSL_write(ssl, Answer.data(), static_cast<int>(Answer.size()));
    SSL_shutdown(ssl);
  }
  SSL_free(ssl);
}
