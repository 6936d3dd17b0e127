// Reading and writing the value kinds of a skin's INI text that are not plain numbers or
// strings: points, rectangles, booleans, font styles, alignments and numbered lists.
#pragma once

#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/WinTypes.h"
#include "platform/vcl/Classes.h"
#include "platform/vcl/GraphicsObjects.h"

// "x,y" and "left,top,right,bottom". Only digits and commas count: every other character is
// dropped, so a minus sign is lost. A field without a digit, or one too large for 32 bits,
// raises EConvertError.
POINT ParsePoint(const String& Text);
RECT ParseRect(const String& Text);

// Readers: a missing key gives (0,0), (0,0,0,0), false, no styles, centred, no lines.
POINT ReadPoint(TCustomIniFile* IniFile, const String& Section, const String& Ident);
RECT ReadRect(TCustomIniFile* IniFile, const String& Section, const String& Ident);
bool ReadBoolean(TCustomIniFile* IniFile, const String& Section, const String& Ident);
TFontStyles ReadFontStyles(TCustomIniFile* IniFile, const String& Section, const String& Ident);
TAlignment ReadAlignment(TCustomIniFile* IniFile, const String& Section, const String& Ident);
// A list count read from CountKey of Section (its entries being keys of the same section) that
// exceeds the section's keys raises EReadError: the skin is damaged.
void CheckSkinListCount(TCustomIniFile* IniFile, const String& Section, const String& CountKey, int Count);
// Appends the lines "<Ident>line0" .. counted by "<Ident>linecount".
void ReadLines(TCustomIniFile* IniFile, const String& Section, const String& Ident, TStrings* Lines);
// Appends the entries "0" .. counted by "<Ident>count".
// Both raise EReadError (CheckSkinListCount) when the count exceeds the section's keys.
void ReadStrings(TCustomIniFile* IniFile, const String& Section, const String& Ident, TStrings* Strings);

void WritePoint(TCustomIniFile* IniFile, const String& Section, const String& Ident, const POINT& Value);
void WriteRect(TCustomIniFile* IniFile, const String& Section, const String& Ident, const RECT& Value);
void WriteBoolean(TCustomIniFile* IniFile, const String& Section, const String& Ident, bool Value);
void WriteFontStyles(TCustomIniFile* IniFile, const String& Section, const String& Ident, TFontStyles Value);
void WriteAlignment(TCustomIniFile* IniFile, const String& Section, const String& Ident, TAlignment Value);
void WriteLines(TCustomIniFile* IniFile, const String& Section, const String& Ident, TStrings* Lines);
