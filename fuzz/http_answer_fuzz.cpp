// Feeds arbitrary bytes to the HTTP client's answer reader as if a host had sent them and closed
// the connection: status line, interim answers, header fields, lengths, chunks and trailers.
// Whatever it accepts must respect the body limit; everything else must be a clean EHttpError.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/os/Http.h"

namespace {

constexpr Int64 FuzzBodyLimit = 64 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  const std::string Bytes(reinterpret_cast<const char*>(Data), Size);
  try {
    const THttpResponse Response = ParseHttpAnswer(Bytes, FuzzBodyLimit);
    if (Response.StatusCode < 100 || Response.StatusCode > 599) std::abort();
    if (static_cast<Int64>(Response.Body.size()) > FuzzBodyLimit) std::abort();
    if (Response.Body.size() > Size) std::abort();
    if (Response.StatusLine.compare(0, 5, "HTTP/") != 0) std::abort();
  } catch (const EHttpError&) {
  }
  return 0;
}
