// Data connectors: they tie a control to the current record of a data source (IXcDataSource).
// A connector tracks whether its source is connected and active, turns the source's
// notifications into overridable methods, knows whether the control's value was modified, and
// writes values back. TXcFieldDataConnector binds to one named field.
//
// Contract:
// - A source is kept only when it answers IXcDataSourceConnectionHandler; setting one attaches
//   the connector to it, replacing or clearing it detaches it. Setting the same source again
//   does nothing.
// - The notifications (SendNotification) are: XcNotifyActiveChanged 100, XcNotifyRecordChanged
//   101, XcNotifyUpdateData 102, XcNotifyLayoutChanged 103; other numbers are ignored. Each is
//   passed on to the master connector after this one's handling.
// - While the connector itself writes to the source or handles a record change it is locked:
//   record and active changes arriving then leave it (and Modified) alone.
// - Without a source nothing is edited, posted or reset.
#pragma once

#include <memory>
#include <vector>

#include "extctrls/XcDataSourceIntf.h"
#include "platform/rtl/Persistent.h"

constexpr int XcNotifyActiveChanged = 100;
constexpr int XcNotifyRecordChanged = 101;
constexpr int XcNotifyUpdateData = 102;
constexpr int XcNotifyLayoutChanged = 103;

class TXcDataConnector : public TPersistent {
public:
  TXcDataConnector() = default;
  // Detaches from the source.
  ~TXcDataConnector() override;
  TXcDataConnector(const TXcDataConnector&) = delete;
  TXcDataConnector& operator=(const TXcDataConnector&) = delete;

  // From another connector: its data source (through the setter).
  void Assign(TPersistent* Source) override;

  IXcDataSource* GetDataSource() const { return FDataSource.Get(); }
  void SetDataSource(IXcDataSource* Value);
  bool GetActive() const { return FActive; }
  bool GetModified() const { return FModified; }
  int GetLockCount() const { return FLockCount; }
  TXcDataConnector* GetMaster() const { return FMaster; }
  void SetMaster(TXcDataConnector* Value) { FMaster = Value; }
  // Objects the connector keeps for the current layout (emptied on disconnection and on
  // layout changes).
  std::vector<std::unique_ptr<TObject>>& Fields() { return FFields; }

  // The virtual operations, in this order.
  virtual void SourceAttached();
  virtual void SourceDetached();
  virtual void ActiveStateChanged();
  virtual void CurrentRecordChanged() {}
  virtual void WriteBackData() {}
  virtual void FieldLayoutChanged();
  virtual void SendNotification(int Number);
  virtual bool EditAllowed();

  // The source shows the record again: the record-changed handling runs with Active False.
  void ResetLink();
  // The control's value changed: the record goes into edit mode and Modified is set.
  void MarkModified();
  void BeginRecordEdit();
  // Writes a modified value back to the source.
  void PostRecord();
  bool IsSourceConnected();

protected:
  // Runs Action with the lock held (released also when it throws).
  template <class F>
  void Locked(F&& Action)
  {
    ++FLockCount;
    try {
      Action();
    } catch (...) {
      --FLockCount;
      throw;
    }
    --FLockCount;
  }
  void SetActive(bool Value) { FActive = Value; }
  void SetModified(bool Value) { FModified = Value; }

private:
  void AttachTo(IXcDataSource* Source);
  TIntf<IXcDataSource> FDataSource;
  int FLockCount = 0;
  bool FModified = false;
  bool FActive = false;
  TXcDataConnector* FMaster = nullptr;
  std::vector<std::unique_ptr<TObject>> FFields;
};

// The field a field connector is bound to: its name and, while the source is connected, the
// field object the source resolved for it.
class TXcDataConnectorField : public TObject {
public:
  const String& GetFieldName() const { return FFieldName; }
  // A different name (exact comparison) is stored and bound again with the current source.
  void SetFieldName(const String& Value);
  IXcDataSource* GetDataSource() const { return FDataSource.Get(); }
  TXcDataSourceField* GetField() const { return FField; }

  // Keeps Source and resolves the field by name when it is connected (nil otherwise).
  void BindField(IXcDataSource* Source);
  // A source and a resolved field (resolving first when needed).
  bool FieldValid();
  bool FieldEditable();
  void WriteFieldValue(const TXcFieldValue& Value);
  void WriteFieldText(const String& Text);
  // The field's text as the source keeps it ("" when the field is not valid).
  String ReadFieldText();

private:
  TIntf<IXcDataSource> FDataSource;
  TXcDataSourceField* FField = nullptr;
  String FFieldName;
};

class TXcFieldDataConnector : public TXcDataConnector {
public:
  TXcFieldDataConnector() = default;

  // From another field connector also its field name.
  void Assign(TPersistent* Source) override;
  void SourceAttached() override;
  void SourceDetached() override;
  void ActiveStateChanged() override;
  void FieldLayoutChanged() override;
  // Also needs an editable field.
  bool EditAllowed() override;
  virtual void RefreshFields();

  const String& GetDataField() const { return FField.GetFieldName(); }
  // Binds the field and reports a record change.
  void SetDataField(const String& Value);
  TXcDataConnectorField* GetField() { return &FField; }

private:
  TXcDataConnectorField FField;
};
