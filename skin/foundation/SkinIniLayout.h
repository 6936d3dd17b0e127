// The sections of a skin's INI text and the keyword values that many records share: how a
// picture is stretched, how two images cross-fade, and how an inactive frame is rendered.
#pragma once

#include "platform/rtl/IniFiles.h"

enum TskStretchType { stFull, stHorz, stVert };
enum TskMorphKind { mkDefault, mkGradient, mkLeftGradient, mkRightGradient, mkLeftSlide, mkRightSlide, mkPush };
enum TskInactiveEffect { ieBrightness, ieDarkness, ieGrayScale, ieNoise, ieSplitBlur, ieInvert };

// True when VERSION, PICTURES, FORMINFO, SKINOBJECTS and SKINCONTROLS all exist.
bool CheckSkinIniSections(TCustomIniFile* IniFile);

// Keywords compare exactly and case-sensitively; a text that matches none gives stHorz,
// mkDefault and ieGrayScale respectively. Missing keys read as "stfull", "mkdefault" and
// "iebrightness".
TskStretchType ReadStretchType(TCustomIniFile* IniFile, const String& Section, const String& Ident);
TskMorphKind ReadMorphKind(TCustomIniFile* IniFile, const String& Section, const String& Ident);
TskInactiveEffect ReadInactiveEffect(TCustomIniFile* IniFile, const String& Section, const String& Ident);

void WriteStretchType(TCustomIniFile* IniFile, const String& Section, const String& Ident, TskStretchType Value);
void WriteMorphKind(TCustomIniFile* IniFile, const String& Section, const String& Ident, TskMorphKind Value);
