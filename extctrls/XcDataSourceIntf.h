// The abstract data source a control can be bound to: one current record whose fields are
// found by name, read and written as text or as values, and edited in a begin-edit / post
// cycle. A source that accepts connectors also answers IXcDataSourceConnectionHandler, through
// which a connector attaches and detaches itself; a source without it is not kept.
//
// Results that hand out an interface are counted references (TIntf); a field object stays valid
// as long as the source keeps it (until its layout changes).
#pragma once

#include <cstdint>
#include <variant>

#include "extctrls/XcInterfaces.h"
#include "platform/rtl/System.h"

// A field value: empty, a whole number, a real number, a truth value or a text.
using TXcFieldValue = std::variant<std::monostate, std::int64_t, double, bool, String>;

// A field of a source's record, as the source resolved it from its name; opaque to connectors.
class TXcDataSourceField : public TObject {};

class IXcDataSource : public virtual IInterface {
public:
  static constexpr TIID IID = "{5B1F0C3E-7A42-4D8B-9E16-2C3A4B5D6E70}";
  // Puts the current record into edit mode.
  virtual void BeginEdit() = 0;
  // The source is connected to its data and has a current record.
  virtual bool IsConnected() = 0;
  // The field of that name, nil when the record has none.
  virtual TXcDataSourceField* FieldByName(const String& Name) = 0;
  virtual bool CanModify(TXcDataSourceField* Field) = 0;
  virtual void SetFieldValue(TXcDataSourceField* Field, const TXcFieldValue& Value) = 0;
  virtual void SetFieldText(TXcDataSourceField* Field, const String& Text) = 0;
  // The field's value as text, as the source stores it.
  virtual String GetFieldText(TXcDataSourceField* Field) = 0;
  virtual TXcFieldValue GetFieldValue(TXcDataSourceField* Field) = 0;

protected:
  ~IXcDataSource() = default;
};

class TXcDataConnector;

// The connection handler of a source: the source tells the attached connectors of its changes
// (TXcDataConnector::SendNotification).
class IXcDataSourceConnectionHandler : public virtual IInterface {
public:
  static constexpr TIID IID = "{CCAB936A-6CB4-4047-95C8-7EBFC5DC4B9F}";
  virtual void Attach(TXcDataConnector* Connector) = 0;
  virtual void Detach(TXcDataConnector* Connector) = 0;

protected:
  ~IXcDataSourceConnectionHandler() = default;
};
