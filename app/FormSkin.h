// The one place where a window of the program gets its skin. Every form calls SkinForm once, after
// its controls exist: today it binds every skinned control of the form to the program's skin
// data; the skinned window frame attaches here too once it exists, so one change here skins the
// frames of all windows.
//
// The skin is one of the two built-in skins, chosen by $QV_SKIN ("frame" or "controls"; the
// controls skin when unset or unknown). The skin data lives as long as the program.
#pragma once

#include "platform/vcl/Forms.h"
#include "skins/BuiltinSkins.h"

class TskSkinData;

// The program's skin data (made on first use from the chosen built-in skin).
TskSkinData* ProgramSkinData();
// The built-in skin $QV_SKIN names.
TBuiltinSkin ChosenSkin();
// Binds every skinned control owned by Form (and the form's frame, once it has one) to the
// program's skin data.
void SkinForm(TForm* Form);
