#include "platform/os/PathRules.h"

#include <cctype>

#include "platform/os/CommandLine.h"
#include "platform/os/Volumes.h"
#include "platform/rtl/Paths.h"

using qv::os::QuoteCommandLinePath;

namespace {

bool FindRootVolume(const String& Path, TVolume& Volume)
{
  Volumes().Refresh();
  return Volumes().FindRoot(Path, Volume);
}

// Path without surrounding double quotes, the first "*" mark and a trailing separator. Only a
// pair of quotes around the whole path is removed: a quote that is part of a name (a mount point
// "/media/ann/A \"B\"") stays.
String CleanDiscPath(const String& Path)
{
  String p = Path;
  const std::size_t star = p.find('*');
  if (star != String::npos) p.erase(star, 1);
  if (p.size() >= 2 && p.front() == '"' && p.back() == '"') p = p.substr(1, p.size() - 2);
  while (p.size() > 1 && (p.back() == '/' || p.back() == '\\')) p.pop_back();
  return p;
}

bool IsLetterColon(const String& S)
{
  return S.size() == 2 && S[1] == ':' && std::isalpha(static_cast<unsigned char>(S[0]));
}

bool IsSeparator(char C) { return C == '/' || C == '\\'; }

}  // namespace

bool IsDriveRoot(const String& Path)
{
  TVolume volume;
  return FindRootVolume(Path, volume);
}

char DriveOf(const String& Path)
{
  Volumes().Refresh();
  TVolume volume;
  return Volumes().FindContaining(Path, volume) ? volume.Letter : 0;
}

String VolumeLabel(const String& Path)
{
  TVolume volume;
  if (!FindRootVolume(Path, volume) || !volume.HasMedia) return "";
  return volume.Label;
}

String DvdDeviceText(const String& Path)
{
  const String p = CleanDiscPath(Path);
  TVolume volume;
  if (FindRootVolume(p, volume)) return QuoteCommandLinePath(volume.MountPoint.empty() ? volume.Device : volume.MountPoint);
  return QuoteCommandLinePath(p);
}

String DvdTitleDevicePart(const String& Path)
{
  const String p = CleanDiscPath(Path);
  TVolume volume;
  if (FindRootVolume(p, volume)) {
    if (volume.MountPoint.empty()) return QuoteCommandLinePath(volume.Device) + " ";
    const String& mount = volume.MountPoint;
    return QuoteCommandLinePath(mount + (mount.back() == '/' ? "" : "/") + "VIDEO_TS") + " ";
  }
  return QuoteCommandLinePath(p) + " ";
}

String StripVideoTs(const String& Text, TVideoTsEdit Edit)
{
  static const String name = "VIDEO_TS";
  for (std::size_t i = 0; i + 1 + name.size() <= Text.size(); ++i) {
    if (!IsSeparator(Text[i])) continue;
    bool same = true;
    for (std::size_t k = 0; k < name.size() && same; ++k) {
      const char c = Text[i + 1 + k];
      same = Edit == vtFolderAnyCase ? std::toupper(static_cast<unsigned char>(c)) == name[k] : c == name[k];
    }
    if (!same) continue;
    // A separator that starts the path is the root "/" itself: only the name goes.
    const bool startsPath = i == 0 || Text[i - 1] == '"' || Text[i - 1] == ' ';
    if (Edit == vtAfterDriveRoot && !startsPath) {
      // The path before the separator starts after the last quote or blank in front of it.
      const String before = Text.substr(0, i);
      bool root = false;
      for (char delimiter : {'"', ' '}) {
        const std::size_t at = before.find_last_of(delimiter);
        const String candidate = at == String::npos ? before : before.substr(at + 1);
        if (!candidate.empty() && (IsLetterColon(candidate) || IsDriveRoot(candidate))) root = true;
      }
      if (!root) continue;
    }
    String result = Text;
    if (startsPath)
      result.erase(i + 1, name.size());
    else
      result.erase(i, 1 + name.size());
    if (Edit == vtFolderAnyCase) {
      const std::size_t b = result.find_first_not_of(" \t");
      const std::size_t e = result.find_last_not_of(" \t");
      result = b == String::npos ? String() : result.substr(b, e - b + 1);
    }
    return result;
  }
  return Text;
}
