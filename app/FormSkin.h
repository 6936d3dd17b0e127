// The one place where a window of the program gets its skin. Every form calls SkinForm once, after
// its controls exist: it binds every skinned control of the form to the program's skin data and
// gives the form its skinned window frame (a TskSkinnedForm owned by the form) from the same skin.
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
// Binds every skinned control owned by Form, and the form's skinned frame (made on the first
// call), to the program's skin data.
void SkinForm(TForm* Form);
