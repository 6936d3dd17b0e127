#include "core/ToolOutputValues.h"

#include "core/RunControl.h"

namespace {

String TrimBlanks(const String& Text)
{
  const auto First = Text.find_first_not_of(' ');
  if (First == String::npos) return "";
  return Text.substr(First, Text.find_last_not_of(' ') - First + 1);
}

bool Digits(const String& Text)
{
  if (Text.empty()) return false;
  for (char C : Text)
    if (C < '0' || C > '9') return false;
  return true;
}

bool Decimal(const String& Text)
{
  const auto Dot = Text.find('.');
  if (Dot == String::npos) return Digits(Text);
  return Digits(Text.substr(0, Dot)) && Digits(Text.substr(Dot + 1));
}

String Shown(const String& Text)
{
  String S = Text;
  for (char& C : S)
    if (static_cast<unsigned char>(C) < 0x20 || C == 0x7f) C = ' ';
  return S;
}

}  // namespace

bool IsToolId(const String& Text) { return Digits(TrimBlanks(Text)); }

bool IsToolRate(const String& Text)
{
  const String T = TrimBlanks(Text);
  const auto Sep = T.find_first_of("/:");
  if (Sep == String::npos) return Decimal(T);
  return Decimal(T.substr(0, Sep)) && Decimal(T.substr(Sep + 1));
}

String CheckedToolId(const String& Text, const String& Option)
{
  if (IsToolId(Text)) return Text;
  AppendLog("Left out \"" + Option + "\": \"" + Shown(Text) + "\" is not a whole number");
  return "";
}

String CheckedToolRate(const String& Text, const String& Option)
{
  if (IsToolRate(Text)) return TrimBlanks(Text);
  AppendLog("Left out \"" + Option + "\": \"" + Shown(Text) + "\" is not a number or ratio");
  return "";
}
