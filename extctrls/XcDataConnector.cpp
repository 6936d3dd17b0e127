#include "extctrls/XcDataConnector.h"

// ---- TXcDataConnector ----

TXcDataConnector::~TXcDataConnector()
{
  if (auto Handler = Supports<IXcDataSourceConnectionHandler>(static_cast<IInterface*>(FDataSource.Get())))
    Handler->Detach(this);
  FDataSource.Reset();
}

void TXcDataConnector::Assign(TPersistent* Source)
{
  if (auto* Other = dynamic_cast<TXcDataConnector*>(Source)) {
    SetDataSource(Other->GetDataSource());
    return;
  }
  TPersistent::Assign(Source);
}

void TXcDataConnector::SetDataSource(IXcDataSource* Value)
{
  if (FDataSource.Get() == Value) return;
  if (auto Handler = Supports<IXcDataSourceConnectionHandler>(static_cast<IInterface*>(FDataSource.Get())))
    Handler->Detach(this);
  FDataSource.Reset();
  try {
    SourceDetached();
  } catch (...) {
    AttachTo(Value);
    throw;
  }
  AttachTo(Value);
}

void TXcDataConnector::AttachTo(IXcDataSource* Source)
{
  FDataSource = TIntf<IXcDataSource>(Source);
  if (!FDataSource) return;
  if (auto Handler = Supports<IXcDataSourceConnectionHandler>(static_cast<IInterface*>(Source))) {
    Handler->Attach(this);
    SourceAttached();
  } else {
    FDataSource.Reset();
  }
}

void TXcDataConnector::SourceAttached()
{
  FModified = false;
  FActive = true;
  SendNotification(XcNotifyActiveChanged);
}

void TXcDataConnector::SourceDetached()
{
  SendNotification(XcNotifyActiveChanged);
  FActive = false;
  FModified = false;
  FFields.clear();
}

void TXcDataConnector::ActiveStateChanged() { SendNotification(XcNotifyRecordChanged); }

void TXcDataConnector::FieldLayoutChanged() { SendNotification(XcNotifyRecordChanged); }

void TXcDataConnector::SendNotification(int Number)
{
  switch (Number) {
    case XcNotifyActiveChanged:
      if (FLockCount == 0) {
        ActiveStateChanged();
        FModified = false;
      }
      break;
    case XcNotifyRecordChanged:
      if (FLockCount == 0) {
        Locked([this] { CurrentRecordChanged(); });
        FModified = false;
      }
      break;
    case XcNotifyUpdateData:
      if (FActive) {
        Locked([this] { WriteBackData(); });
        FModified = false;
      }
      break;
    case XcNotifyLayoutChanged:
      FFields.clear();
      if (FLockCount == 0) {
        FieldLayoutChanged();
        FModified = false;
      }
      break;
    default: return;
  }
  if (FMaster) FMaster->SendNotification(Number);
}

bool TXcDataConnector::EditAllowed() { return FActive && FDataSource; }

void TXcDataConnector::ResetLink()
{
  if (!IsSourceConnected() || !FActive) return;
  FActive = false;
  try {
    SendNotification(XcNotifyRecordChanged);
  } catch (...) {
    FActive = true;
    throw;
  }
  FActive = true;
  FModified = false;
}

void TXcDataConnector::MarkModified()
{
  if (!FActive || FLockCount != 0) return;
  BeginRecordEdit();
  FModified = true;
}

void TXcDataConnector::BeginRecordEdit()
{
  if (!EditAllowed() || FLockCount != 0) return;
  Locked([this] { FDataSource->BeginEdit(); });
}

void TXcDataConnector::PostRecord()
{
  if (!IsSourceConnected() || !FModified || !FActive) return;
  Locked([this] { WriteBackData(); });
  FModified = false;
}

bool TXcDataConnector::IsSourceConnected() { return FDataSource && FDataSource->IsConnected(); }

// ---- TXcDataConnectorField ----

void TXcDataConnectorField::SetFieldName(const String& Value)
{
  if (FFieldName == Value) return;
  FFieldName = Value;
  BindField(FDataSource.Get());
}

void TXcDataConnectorField::BindField(IXcDataSource* Source)
{
  FDataSource = TIntf<IXcDataSource>(Source);
  FField = FDataSource && FDataSource->IsConnected() ? FDataSource->FieldByName(FFieldName) : nullptr;
}

bool TXcDataConnectorField::FieldValid()
{
  if (FDataSource && !FField) BindField(FDataSource.Get());
  return FDataSource && FField;
}

bool TXcDataConnectorField::FieldEditable() { return FieldValid() && FDataSource->CanModify(FField); }

void TXcDataConnectorField::WriteFieldValue(const TXcFieldValue& Value)
{
  if (FDataSource) FDataSource->SetFieldValue(FField, Value);
}

void TXcDataConnectorField::WriteFieldText(const String& Text)
{
  if (FDataSource) FDataSource->SetFieldText(FField, Text);
}

String TXcDataConnectorField::ReadFieldText() { return FieldValid() ? FDataSource->GetFieldText(FField) : String(); }

// ---- TXcFieldDataConnector ----

void TXcFieldDataConnector::Assign(TPersistent* Source)
{
  TXcDataConnector::Assign(Source);
  if (auto* Other = dynamic_cast<TXcFieldDataConnector*>(Source)) SetDataField(Other->GetDataField());
}

void TXcFieldDataConnector::RefreshFields() { FField.BindField(GetDataSource()); }

void TXcFieldDataConnector::SourceAttached()
{
  RefreshFields();
  TXcDataConnector::SourceAttached();
}

void TXcFieldDataConnector::SourceDetached()
{
  RefreshFields();
  TXcDataConnector::SourceDetached();
}

void TXcFieldDataConnector::ActiveStateChanged()
{
  RefreshFields();
  TXcDataConnector::ActiveStateChanged();
}

void TXcFieldDataConnector::FieldLayoutChanged()
{
  RefreshFields();
  TXcDataConnector::FieldLayoutChanged();
}

bool TXcFieldDataConnector::EditAllowed() { return TXcDataConnector::EditAllowed() && FField.FieldEditable(); }

void TXcFieldDataConnector::SetDataField(const String& Value)
{
  FField.SetFieldName(Value);
  SendNotification(XcNotifyRecordChanged);
}
