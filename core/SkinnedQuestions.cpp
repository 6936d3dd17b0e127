// The main window's skinned message box for the program's questions.
#include "core/SkinnedQuestions.h"

#include "platform/vcl/Forms.h"
#include "skin/frame/SkinMessages.h"
#include "skin/frame/SkinnedForm.h"

int AskSkinned(const String& Caption, const String& Text, bool YesNo)
{
  TskSkinMessage box(nullptr);
  if (TForm* main = Application->GetMainForm())
    if (TskSkinnedForm* frame = GetSkinnedForm(main)) {
      box.SetSkinData(frame->GetSkinData());
      box.SetCtrlSkinData(frame->GetMenusSkinData());
    }
  TFont font;
  font.SetName("Arial");
  font.SetHeight(14);
  font.SetStyle(fsBold);
  box.SetDefaultFont(&font);
  return box.MessageDlgCaption(Text, Caption, skmtCustom, YesNo ? (skmbYes | skmbNo) : skmbOK, 0);
}

bool AskYesSkinned(const String& Text) { return AskSkinned(Application->GetTitle(), Text, true) == mrYes; }
