#include "platform/vcl/ControlActionLink.h"

#include "platform/vcl/Controls.h"

TControlActionLink::TControlActionLink(TControl* AClient) : TActionLink(AClient) { AssignClient(AClient); }

void TControlActionLink::AssignClient(TObject* AClient) { FClient = dynamic_cast<TControl*>(AClient); }

bool TControlActionLink::IsCaptionLinked()
{
  return TActionLink::IsCaptionLinked() && FClient && FClient->GetCaption() == CustomAction()->GetCaption();
}

bool TControlActionLink::IsEnabledLinked()
{
  return TActionLink::IsEnabledLinked() && FClient && FClient->GetEnabled() == CustomAction()->GetEnabled();
}

bool TControlActionLink::IsHintLinked()
{
  return TActionLink::IsHintLinked() && FClient && FClient->GetHint() == CustomAction()->GetHint();
}

bool TControlActionLink::IsVisibleLinked()
{
  return TActionLink::IsVisibleLinked() && FClient && FClient->GetVisible() == CustomAction()->GetVisible();
}

bool TControlActionLink::IsOnExecuteLinked()
{
  return TActionLink::IsOnExecuteLinked() && FClient && GetAction() &&
         GetAction()->SameExecuteHandler(FClient->OnClick);
}

void TControlActionLink::SetCaption(const String& Value)
{
  if (IsCaptionLinked()) FClient->SetCaption(Value);
}

void TControlActionLink::SetEnabled(bool Value)
{
  if (IsEnabledLinked()) FClient->SetEnabled(Value);
}

void TControlActionLink::SetHint(const String& Value)
{
  if (IsHintLinked()) FClient->SetHint(Value);
}

void TControlActionLink::SetVisible(bool Value)
{
  if (IsVisibleLinked()) FClient->SetVisible(Value);
}

void TControlActionLink::SetOnExecute(const TNotifyEvent& Value)
{
  if (IsOnExecuteLinked()) FClient->OnClick = Value;
}
