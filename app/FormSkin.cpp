#include "app/FormSkin.h"

#include "platform/os/Process.h"
#include "platform/vcl/ExtCtrls.h"
#include "skin/controls/GraphicSkinControl.h"
#include "skin/controls/SkinBevel.h"
#include "skin/controls/SkinControl.h"
#include "skin/controls/SkinStdLabels.h"
#include "skin/foundation/SkinData.h"
#include "skin/frame/SkinnedForm.h"
#include "skin/input/SkinMemo.h"
#include "skin/input/SkinPageControl.h"

TBuiltinSkin ChosenSkin()
{
  return EnvironmentValue("QV_SKIN") == "frame" ? TBuiltinSkin::bsFrame : TBuiltinSkin::bsControls;
}

TskSkinData* ProgramSkinData()
{
  static TComponent* Holder = nullptr;
  static TskSkinData* Data = nullptr;
  if (!Data) {
    Holder = new TComponent(nullptr);
    auto* Stored = new TskCompressedStoredSkin(Holder);
    LoadBuiltinSkin(Stored, ChosenSkin());
    Data = new TskSkinData(Holder);
    Data->SetCompressedStoredSkin(Stored);
  }
  return Data;
}

namespace {

// The skinned control classes that take a skin data component, each by its own setter.
bool BindSkin(TComponent* C, TskSkinData* Data)
{
  if (auto* W = dynamic_cast<TskSkinControl*>(C)) return W->SetSkinData(Data), true;
  if (auto* G = dynamic_cast<TskGraphicSkinControl*>(C)) return G->SetSkinData(Data), true;
  if (auto* L = dynamic_cast<TskSkinStdLabel*>(C)) return L->SetSkinData(Data), true;
  if (auto* L = dynamic_cast<TskSkinLinkLabel*>(C)) return L->SetSkinData(Data), true;
  if (auto* L = dynamic_cast<TskSkinTextLabel*>(C)) return L->SetSkinData(Data), true;
  if (auto* M = dynamic_cast<TskSkinMemo*>(C)) return M->SetSkinData(Data), true;
  if (auto* P = dynamic_cast<TskSkinPageControl*>(C)) return P->SetSkinData(Data), true;
  if (auto* B = dynamic_cast<TskSkinBevel*>(C)) return B->SetSkinData(Data), true;
  // A plain panel among them (the run buttons' panel) has no skin record: while it keeps the
  // system's face colour it takes the skin's, so that it reads as part of the skinned window.
  // Panels given a colour of their own (a video area) keep it.
  if (auto* P = dynamic_cast<TCustomPanel*>(C); P && P->GetColor() == clBtnFace)
    return P->SetColor(Data->SkinColors->cbtnface), true;
  return false;
}

}  // namespace

void SkinForm(TForm* Form)
{
  TskSkinData* Data = ProgramSkinData();
  for (int I = 0; I < Form->GetComponentCount(); ++I) BindSkin(Form->GetComponent(I), Data);
  // The window's frame, caption and buttons come from the same skin.
  TskSkinnedForm* Frame = GetSkinnedForm(Form);
  if (!Frame) Frame = new TskSkinnedForm(Form);
  Frame->SetSkinData(Data);
  Form->Invalidate();
}
