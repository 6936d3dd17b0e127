// The program's questions and notices in the main window's skinned message box: the frame skin
// and the controls skin of the main window's skinned form, the message in Arial 14 bold, no
// icon, the application's title (or the given caption) as window caption. Without a main window
// or its skins the box shows in the default look. An installed dialog handler answers instead
// (tests, runs without a user).
#pragma once

#include "platform/rtl/System.h"

// Yes + No; true only for Yes.
bool AskYesSkinned(const String& Text);
// Yes + No (YesNo) or OK alone under Caption; the modal result.
int AskSkinned(const String& Caption, const String& Text, bool YesNo);
