#include "extctrls/XcLocalFileUrlGrabber.h"

#include <cctype>

#include "platform/os/FileAttributes.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Paths.h"

namespace {

constexpr const char* Prefix = "file://";

bool HasFilePrefix(const String& Url)
{
  if (Url.size() < 7) return false;
  for (std::size_t i = 0; i < 7; ++i)
    if (std::tolower(static_cast<unsigned char>(Url[i])) != Prefix[i]) return false;
  return true;
}

bool HandlesLocal(const String& Url)
{
  return HasFilePrefix(Url) || Url.compare(0, 2, "//") == 0 || (Url.size() >= 3 && Url.compare(1, 2, ":\\") == 0) || FileExists(Url);
}

TXcCustomUrlGrabber* MakeLocal(TComponent* Owner) { return new TXcLocalFileUrlGrabber(Owner); }
TXcCustomUrlGrabberDefaultProperties* MakeLocalDefaults() { return new TXcLocalFileUrlGrabberProperties(); }

}  // namespace

const TXcUrlGrabberClass* TXcLocalFileUrlGrabber::StaticGrabberClass()
{
  static const TXcUrlGrabberClass Class{"TXcLocalFileUrlGrabber", [] { return String(Prefix); },
                                        [] { return String("LocalFile"); }, HandlesLocal,
                                        &TXcLocalFileUrlGrabber::SplitUrl, MakeLocal, MakeLocalDefaults};
  return &Class;
}

String TXcLocalFileUrlGrabber::PathOfUrl(const String& Url)
{
  if (HasFilePrefix(Url)) return Url.substr(7);
  return ExpandFileName(Url);
}

void TXcLocalFileUrlGrabber::SplitUrl(const String& Url, const String&, String& Host, String& FileName,
                                      String& UserName, String& Password, Cardinal& Port)
{
  Host.clear();
  UserName.clear();
  Password.clear();
  Port = 0;
  FileName = PathOfUrl(Url);
}

TXcCustomUrlGrabberThread* TXcLocalFileUrlGrabber::CreateWorker() { return new TXcLocalFileUrlGrabberThread(this); }

void TXcLocalFileUrlGrabberProperties::Assign(TPersistent* Source)
{
  TXcCustomUrlGrabberDefaultProperties::Assign(Source);
  if (auto* local = dynamic_cast<TXcLocalFileUrlGrabberProperties*>(Source))
    PreserveAttributes = local->PreserveAttributes;
}

void TXcLocalFileUrlGrabberThread::Download()
{
  const String path = TXcLocalFileUrlGrabber::PathOfUrl(Url());
  if (!FileExists(path)) {
    Error("File \"" + path + "\" not found");
    return;
  }
  const Cardinal attributes = FPreserveAttributes ? GetFileAttributes(path) : INVALID_FILE_ATTRIBUTES;
  SetStatus(gsConnecting);
  BeginStream();
  TFileStream file(path, fmOpenRead | fmShareDenyNone);
  const Int64 size = file.GetSize();
  if (size > MaxSize()) throw EXCLException("The resource is larger than " + std::to_string(MaxSize()) + " bytes");
  SetSize(size);
  Progress();
  SetStatus(gsReceiving);
  char block[1024];
  while (!Ended()) {
    const Int64 n = file.Read(block, sizeof block);
    if (n <= 0) break;
    if (!AppendBlocks(block, static_cast<std::size_t>(n), sizeof block)) break;
  }
  SetStatus(gsFinishing);
  if (Ended()) return;
  Completion();
  // Only a saved copy takes the source's attributes (never a file the handler may have
  // under that name when the stream went to the application).
  if (!Ended() && OutputMode() == omFile && attributes != INVALID_FILE_ATTRIBUTES && FileExists(FileName()))
    SetFileAttributes(FileName(), attributes);
}
