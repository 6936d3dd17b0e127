// A data source for the tests: one record of named text fields (each may be read-only), a
// connected flag, the connectors attached to it, a log of the calls it receives, and a switch
// that makes it refuse connectors (no connection handler). Stored texts may be changed on the
// way in (StoreAs), as a source that formats what it keeps.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "extctrls/XcDataConnector.h"
#include "platform/rtl/Exceptions.h"

class TTestField : public TXcDataSourceField {
public:
  String Text;
  bool ReadOnly = false;
};

class TTestDataSource : public IXcDataSource, public IXcDataSourceConnectionHandler {
public:
  explicit TTestDataSource(bool AHandler = true) : FHandler(AHandler) {}
  virtual ~TTestDataSource() = default;

  HRESULT_T QueryInterface(TIID IID, void** Obj) override
  {
    if (IID == IInterface::IID || IID == IXcDataSource::IID) {
      *Obj = static_cast<IXcDataSource*>(this);
    } else if (IID == IXcDataSourceConnectionHandler::IID && FHandler) {
      *Obj = static_cast<IXcDataSourceConnectionHandler*>(this);
    } else {
      *Obj = nullptr;
      return XC_E_NOINTERFACE;
    }
    _AddRef();
    return XC_S_OK;
  }
  int _AddRef() override { return ++FRefCount; }
  int _Release() override
  {
    const int N = --FRefCount;
    if (N == 0) delete this;
    return N;
  }

  void BeginEdit() override { Log.push_back("BeginEdit"); }
  bool IsConnected() override { return Connected; }
  TXcDataSourceField* FieldByName(const String& Name) override
  {
    auto It = Fields.find(Name);
    return It == Fields.end() ? nullptr : It->second.get();
  }
  bool CanModify(TXcDataSourceField* Field) override { return !static_cast<TTestField*>(Field)->ReadOnly; }
  void SetFieldValue(TXcDataSourceField* Field, const TXcFieldValue& Value) override
  {
    if (const auto* Text = std::get_if<String>(&Value)) SetFieldText(Field, *Text);
  }
  void SetFieldText(TXcDataSourceField* Field, const String& Text) override
  {
    Log.push_back("SetFieldText " + Text);
    if (FailWrites) throw Exception("the record cannot be written");
    static_cast<TTestField*>(Field)->Text = StoreAs ? StoreAs(Text) : Text;
  }
  String GetFieldText(TXcDataSourceField* Field) override { return static_cast<TTestField*>(Field)->Text; }
  TXcFieldValue GetFieldValue(TXcDataSourceField* Field) override { return GetFieldText(Field); }

  void Attach(TXcDataConnector* Connector) override
  {
    Log.push_back("Attach");
    Connectors.push_back(Connector);
  }
  void Detach(TXcDataConnector* Connector) override
  {
    Log.push_back("Detach");
    std::erase(Connectors, Connector);
  }

  TTestField* AddField(const String& Name, const String& Text, bool ReadOnly = false)
  {
    auto& F = Fields[Name];
    F = std::make_unique<TTestField>();
    F->Text = Text;
    F->ReadOnly = ReadOnly;
    return F.get();
  }
  // Tells every attached connector (a record change: XcNotifyRecordChanged ...).
  void Notify(int Number)
  {
    for (TXcDataConnector* C : std::vector<TXcDataConnector*>(Connectors)) C->SendNotification(Number);
  }

  bool Connected = true;
  bool FailWrites = false;
  std::function<String(const String&)> StoreAs;
  std::map<String, std::unique_ptr<TTestField>> Fields;
  std::vector<TXcDataConnector*> Connectors;
  std::vector<std::string> Log;

private:
  bool FHandler;
  int FRefCount = 0;
};
