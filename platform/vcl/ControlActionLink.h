// TControlActionLink: a control's link to its action. The control takes the action's caption,
// enabled state, hint, visibility and click handler where it still shows the action's old
// value (it keeps what it was given of its own).
#pragma once

#include "platform/vcl/Actions.h"

class TControl;

class TControlActionLink : public TActionLink {
public:
  explicit TControlActionLink(TControl* AClient);

  TControl* GetClient() const { return FClient; }

  bool IsCaptionLinked() override;
  bool IsEnabledLinked() override;
  bool IsHintLinked() override;
  bool IsVisibleLinked() override;
  bool IsOnExecuteLinked() override;
  void SetCaption(const String& Value) override;
  void SetEnabled(bool Value) override;
  void SetHint(const String& Value) override;
  void SetVisible(bool Value) override;
  void SetOnExecute(const TNotifyEvent& Value) override;

protected:
  void AssignClient(TObject* AClient) override;

private:
  TControl* FClient = nullptr;
};
