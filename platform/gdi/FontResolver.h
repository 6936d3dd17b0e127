// Finding the font file for a Windows face name. Windows family names map to installed
// families of the same metrics where there is one ("Arial" -> "Liberation Sans"); the dialog
// faces ("MS Sans Serif", "Tahoma", "Segoe UI", "MS Shell Dlg" ...) map to "Liberation Sans"
// too, because its Arial widths lay out text designed for those faces closest among the
// installed fonts. Any other name is looked up among the installed families, and a name that
// is not installed gets fontconfig's best match for "sans-serif". Resolution never fails while
// any font is installed, and every result is cached.
#pragma once

#include <vector>

#include "platform/rtl/System.h"

struct TResolvedFont {
  String FileName;        // empty only when no font at all is installed
  int FaceIndex = 0;
  String Family;          // the family of the file found
  bool Bold = false;      // the face itself is bold (else boldness is synthesised)
  bool Italic = false;    // the face itself is italic or oblique
  bool FixedPitch = false;
};

namespace FontResolver {

// The family a face name is looked up as: the mapped family for Windows names, the name
// itself otherwise (compared without regard to A-Z case). An empty name gives the dialog face.
String MapFamily(const String& FaceName);

// The font file for a face name and style.
TResolvedFont Resolve(const String& FaceName, bool Bold, bool Italic);

// A font that has a glyph for C, for characters the chosen font lacks; FileName is empty
// when no installed font has one.
TResolvedFont ResolveForChar(char32_t C);

// True when an installed family has this name (A-Z case ignored).
bool IsInstalledFamily(const String& Family);

} // namespace FontResolver
