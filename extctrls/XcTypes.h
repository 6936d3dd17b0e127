// Base types of the extended controls: the named option sub-object of a control
// (TXcPersistent), option objects with change notification and update brackets
// (TXcPersistentProperty), the library's exception class and the shared enumerations.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Component.h"

// The exception the extended components raise with their own texts.
QV_DECLARE_EXCEPTION(EXCLException, Exception);

// Which font properties a control keeps when it follows another font.
enum TXcTrackFontOption {
  hoFollowFont,
  hoPreserveCharSet,
  hoPreserveColor,
  hoPreserveHeight,
  hoPreserveName,
  hoPreservePitch,
  hoPreserveStyle
};
// A set of TXcTrackFontOption: bit n is the option of value n.
using TXcTrackFontOptions = std::uint8_t;
constexpr TXcTrackFontOptions XcOption(TXcTrackFontOption Option) { return static_cast<TXcTrackFontOptions>(1u << Option); }

// The clipboard commands an extended edit control offers.
enum TXcClipboardCommand { caCopy, caCut, caPaste, caClear, caUndo };
// A set of TXcClipboardCommand: bit n is the command of value n.
using TXcClipboardCommands = std::uint8_t;
constexpr TXcClipboardCommands XcCommand(TXcClipboardCommand Command)
{
  return static_cast<TXcClipboardCommands>(1u << Command);
}
constexpr TXcClipboardCommands XcAllClipboardCommands =
    static_cast<TXcClipboardCommands>((1u << caCopy) | (1u << caCut) | (1u << caPaste) | (1u << caClear) | (1u << caUndo));

// A named sub-object that belongs to a control (or any persistent object) and shows under it
// in name paths: "Form1.Panel1.HotTrack".
class TXcPersistent : public TComponent {
public:
  // The component owner is AOwner when that is a component, none otherwise.
  explicit TXcPersistent(TPersistent* AOwner);

  // The object this one was made for (hides the component owner query on purpose: the owner
  // may be a plain persistent object).
  TPersistent* GetOwner() const { return FOwner; }
  String GetNamePath() const override;

  bool IsSubComponent() const { return FSubComponent; }
  void SetSubComponent(bool Value) { FSubComponent = Value; }

private:
  TPersistent* FOwner;
  bool FSubComponent = false;
};

using TXcPropertyNotifyEvent = std::function<void(TObject* Sender, const String& PropertyName)>;

// An option object whose setters report changes; EnterUpdate/LeaveUpdate brackets fold the
// changing/changed events of many setters into one pair.
class TXcPersistentProperty : public TXcPersistent {
public:
  using TXcPersistent::TXcPersistent;

  virtual void NotifyChanged();
  virtual void NotifyChanging();
  virtual void NotifyPropertyChanged(const String& PropertyName);
  virtual void NotifyPropertyChanging(const String& PropertyName);
  virtual void NotifyUpdateState(bool Updating);
  virtual void EnterUpdate();
  virtual void LeaveUpdate();

  Integer GetUpdateCount() const { return FUpdateCount; }

  TNotifyEvent OnChanging;
  TNotifyEvent OnChanged;
  TXcPropertyNotifyEvent OnPropertyChanging;
  TXcPropertyNotifyEvent OnPropertyChanged;

protected:
  // What a descendant's setter does when the value really changes.
  template <class T>
  void ChangeProperty(T& Field, const T& Value, const String& PropertyName)
  {
    if (Field == Value) return;
    NotifyChanging();
    NotifyPropertyChanging(PropertyName);
    Field = Value;
    NotifyPropertyChanged(PropertyName);
    NotifyChanged();
  }

private:
  Integer FUpdateCount = 0;
};
