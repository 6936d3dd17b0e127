// The string table of the skinned windows: the texts of their menus, buttons, hints and dialogs
// as NAME=Value lines, so that a program can translate them in one place.
#pragma once

#include "platform/rtl/StringList.h"
#include "platform/vcl/Component.h"
#include "platform/vcl/GraphicsObjects.h"

class TskResourceStrData : public TComponent {
public:
  // Fills ResStrings with the built-in English texts.
  explicit TskResourceStrData(TComponent* AOwner);
  ~TskResourceStrData() override;

  TStrings* GetResStrings() const { return FResStrings; }
  // Replaces every line (the defaults too) by a copy of Value.
  void SetResStrings(TStrings* Value);
  // The text after the first "=" of the first line whose name (compared without case) is
  // ResName; empty when there is none.
  String GetResStr(const String& ResName) const;

  // The character set the skinned controls give their fonts while this table is in use.
  TFontCharset CharSet = DEFAULT_CHARSET;

private:
  void AddDefaultStrings();

  TStringList* FResStrings;
};
