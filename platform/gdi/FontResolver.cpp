#include "platform/gdi/FontResolver.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <set>
#include <tuple>

#include "platform/gdi/Gdi.h"

namespace {

struct TFamilyMapping {
  const char* WindowsName;
  const char* Family;
};

// Windows faces and the installed families drawn in their place.
constexpr TFamilyMapping FamilyMap[] = {
  {"Arial", "Liberation Sans"},
  {"Helvetica", "Liberation Sans"},
  {"Times New Roman", "Liberation Serif"},
  {"Times", "Liberation Serif"},
  {"MS Serif", "Liberation Serif"},
  {"Courier New", "Liberation Mono"},
  {"Courier", "Liberation Mono"},
  {"Lucida Console", "Liberation Mono"},
  {"Fixedsys", "Liberation Mono"},
  {"Terminal", "Liberation Mono"},
  {"MS Sans Serif", "Liberation Sans"},
  {"Microsoft Sans Serif", "Liberation Sans"},
  {"Tahoma", "Liberation Sans"},
  {"Verdana", "Liberation Sans"},
  {"Segoe UI", "Liberation Sans"},
  {"MS Shell Dlg", "Liberation Sans"},
  {"MS Shell Dlg 2", "Liberation Sans"},
  {"System", "Liberation Sans"},
};

constexpr const char* DialogFamily = "Liberation Sans";
constexpr const char* FallbackFamily = "sans-serif";

String LowerAscii(const String& S)
{
  String out = S;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool SameName(const String& A, const String& B) { return LowerAscii(A) == LowerAscii(B); }

std::mutex& ResolverLock()
{
  static std::mutex lock;
  return lock;
}

bool EnsureFontconfig()
{
  static bool ok = FcInit() == FcTrue;
  return ok;
}

// Installed families, lower-cased, with their spelling as installed.
const std::map<String, String>& InstalledFamilies()
{
  static const std::map<String, String> families = [] {
    std::map<String, String> out;
    if (!EnsureFontconfig()) return out;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    if (set != nullptr) {
      for (int i = 0; i < set->nfont; ++i) {
        FcChar8* name = nullptr;
        for (int n = 0; FcPatternGetString(set->fonts[i], FC_FAMILY, n, &name) == FcResultMatch; ++n) {
          String family = reinterpret_cast<const char*>(name);
          if (!family.empty()) out.emplace(LowerAscii(family), family);
        }
      }
      FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return out;
  }();
  return families;
}

TResolvedFont Match(const String& Family, bool Bold, bool Italic)
{
  TResolvedFont result;
  if (!EnsureFontconfig()) return result;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(Family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult res = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &res);
  if (match != nullptr) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) result.FileName = reinterpret_cast<const char*>(file);
    int index = 0;
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) result.FaceIndex = index;
    FcChar8* family = nullptr;
    if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch) result.Family = reinterpret_cast<const char*>(family);
    int weight = FC_WEIGHT_REGULAR;
    if (FcPatternGetInteger(match, FC_WEIGHT, 0, &weight) == FcResultMatch) result.Bold = weight >= FC_WEIGHT_DEMIBOLD;
    int slant = FC_SLANT_ROMAN;
    if (FcPatternGetInteger(match, FC_SLANT, 0, &slant) == FcResultMatch) result.Italic = slant != FC_SLANT_ROMAN;
    int spacing = FC_PROPORTIONAL;
    if (FcPatternGetInteger(match, FC_SPACING, 0, &spacing) == FcResultMatch) result.FixedPitch = spacing >= FC_MONO;
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return result;
}

} // namespace

namespace FontResolver {

String MapFamily(const String& FaceName)
{
  if (FaceName.empty()) return DialogFamily;
  for (const auto& m : FamilyMap)
    if (SameName(FaceName, m.WindowsName)) return m.Family;
  return FaceName;
}

bool IsInstalledFamily(const String& Family)
{
  std::lock_guard<std::mutex> guard(ResolverLock());
  return InstalledFamilies().count(LowerAscii(Family)) != 0;
}

TResolvedFont Resolve(const String& FaceName, bool Bold, bool Italic)
{
  std::lock_guard<std::mutex> guard(ResolverLock());
  static std::map<std::tuple<String, bool, bool>, TResolvedFont> cache;
  auto key = std::make_tuple(LowerAscii(FaceName), Bold, Italic);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;

  String family = MapFamily(FaceName);
  const auto& installed = InstalledFamilies();
  auto found = installed.find(LowerAscii(family));
  TResolvedFont result = Match(found != installed.end() ? found->second : String(FallbackFamily), Bold, Italic);
  if (result.FileName.empty() && found != installed.end()) result = Match(FallbackFamily, Bold, Italic);
  cache.emplace(key, result);
  return result;
}

TResolvedFont ResolveForChar(char32_t C)
{
  std::lock_guard<std::mutex> guard(ResolverLock());
  static std::map<char32_t, TResolvedFont> cache;
  auto it = cache.find(C);
  if (it != cache.end()) return it->second;
  TResolvedFont result;
  if (EnsureFontconfig()) {
    FcPattern* pattern = FcPatternCreate();
    FcCharSet* chars = FcCharSetCreate();
    FcCharSetAddChar(chars, static_cast<FcChar32>(C));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(FallbackFamily));
    FcPatternAddCharSet(pattern, FC_CHARSET, chars);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult res = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &res);
    if (match != nullptr) {
      FcCharSet* has = nullptr;
      FcChar8* file = nullptr;
      if (FcPatternGetCharSet(match, FC_CHARSET, 0, &has) == FcResultMatch &&
          FcCharSetHasChar(has, static_cast<FcChar32>(C)) &&
          FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        result.FileName = reinterpret_cast<const char*>(file);
        int index = 0;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) result.FaceIndex = index;
        FcChar8* family = nullptr;
        if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch)
          result.Family = reinterpret_cast<const char*>(family);
      }
      FcPatternDestroy(match);
    }
    FcCharSetDestroy(chars);
    FcPatternDestroy(pattern);
  }
  cache.emplace(C, result);
  return result;
}

} // namespace FontResolver

std::vector<String> GetFontFamilyNames()
{
  std::vector<String> names;
  {
    std::lock_guard<std::mutex> guard(ResolverLock());
    for (const auto& [lower, family] : InstalledFamilies()) names.push_back(family);
  }
  for (const auto& m : FamilyMap) names.push_back(m.WindowsName);
  std::sort(names.begin(), names.end(), [](const String& A, const String& B) {
    String a = LowerAscii(A), b = LowerAscii(B);
    return a != b ? a < b : A < B;
  });
  names.erase(std::unique(names.begin(), names.end(), SameName), names.end());
  return names;
}

// Fontconfig's configuration parser loses a character set while it reads the system's
// configuration, once per process. Builds with the leak checker are told so, since nothing here
// can free it.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QV_LEAK_CHECKER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define QV_LEAK_CHECKER 1
#endif
#ifdef QV_LEAK_CHECKER
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif
