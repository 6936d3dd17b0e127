// Feeds arbitrary bytes to the instance channel's request reader, the way another local process
// could send them: whole, and cut at every point the reader would see as it arrives. A request is
// complete at one size only, never larger than allowed, and a cut-off request is never taken
// for a complete one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/os/InstanceChannel.h"

using qv::os::TFrameStatus;
using qv::os::TInstanceRequest;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  const char* Bytes = reinterpret_cast<const char*>(Data);
  TInstanceRequest Whole;
  std::size_t WholeNeeded = 0;
  const TFrameStatus Status = qv::os::ParseInstanceRequest(Bytes, Size, Whole, WholeNeeded);
  if (Status == TFrameStatus::Complete) {
    if (WholeNeeded > Size || Whole.Data.size() > qv::os::MaxRemoteCopyData) std::abort();
    if (WholeNeeded - Whole.Data.size() == 0) std::abort();  // a header always comes first
  }
  if (Status == TFrameStatus::NeedMore && WholeNeeded <= Size) std::abort();
  // Arriving piece by piece: the same verdict at the end, never complete before it.
  for (std::size_t Cut = 0; Cut < Size && Cut < 4096; ++Cut) {
    TInstanceRequest Part;
    std::size_t Needed = 0;
    const TFrameStatus Partial = qv::os::ParseInstanceRequest(Bytes, Cut, Part, Needed);
    if (Partial == TFrameStatus::Complete && (Status != TFrameStatus::Complete || Needed != WholeNeeded)) std::abort();
    if (Partial == TFrameStatus::Damaged && Status != TFrameStatus::Damaged) std::abort();
    if (Partial == TFrameStatus::NeedMore && Needed > WholeNeeded && Status == TFrameStatus::Complete) std::abort();
  }
  if (Status == TFrameStatus::Complete) {
    // Deliverable or not, the filter answers for every message number.
    (void)qv::os::RemoteMessageAllowed(Whole.Msg);
  }
  return 0;
}
