// Data contexts: named variants of a provider's data. A provider keeps its contexts in a
// context list; a list made for an ancestor context holds that context's child contexts, and
// names are found by path ("..", a leading separator for the provider's root list, "a/b").
// Lists and contexts are counted objects: a list holds its contexts with counted references,
// a context points back at its list with a plain pointer.
#pragma once

#include <vector>

#include "extctrls/XcDataProviderIntf.h"
#include "extctrls/XcExtensible.h"
#include "extctrls/XcTypes.h"

QV_DECLARE_EXCEPTION(EXCLDataContexts, EXCLException);

class TXcBaseDataContexts : public TExtensibleInterfacedPersistent, public IXcDataContexts {
  XC_CLASS_REF(TXcBaseDataContexts)

public:
  // When ExtensionClass is given, an extension of that class is made with the list as owner.
  TXcBaseDataContexts(IXcDataProvider* AProvider, IXcDataContext* AAncestor, const TXcClassRef* AExtensionClass = nullptr);
  void AfterConstruction() override;

  virtual void DoAddContext(IXcDataContext* Context) = 0;
  virtual void DoDeleteContext(int Index) = 0;
  virtual void DoRemoveContext(IXcDataContext* Context) = 0;
  virtual void DoClearContexts() = 0;

  // IXcDataContexts
  TIntf<IXcDataProvider> Provider() override { return TIntf<IXcDataProvider>(FProvider); }
  TIntf<IXcDataContext> Ancestor() override { return FAncestor; }
  TIntf<IXcDataContext> GetContextByName(const String& Name) override;
  // Searched from the last entry by identity.
  int IndexOf(IXcDataContext* Context) override;

protected:
  bool GetOwnInterface(TIID IID, void** Obj) override;

private:
  IXcDataProvider* FProvider;  // not counted: the provider owns its context lists
  TIntf<IXcDataContext> FAncestor;
  const TXcClassRef* FExtensionClass;
};

class TXcDataContexts : public TXcBaseDataContexts {
  XC_CLASS_REF(TXcDataContexts)

public:
  using TXcBaseDataContexts::TXcBaseDataContexts;
  // Appends Context with pcContextAdded around it; the same context again does nothing;
  // another context of that name (letter case ignored) raises EXCLDataContexts "A context with
  // that name already exists".
  void DoAddContext(IXcDataContext* Context) override;
  // Deletes a deletable context with pcContextDeleted around it; an undeletable one stays.
  void DoDeleteContext(int Index) override;
  void DoRemoveContext(IXcDataContext* Context) override;
  void DoClearContexts() override { FContexts.clear(); }
  int GetCount() override { return static_cast<int>(FContexts.size()); }
  TIntf<IXcDataContext> GetContext(int Index) override;

private:
  std::vector<TIntf<IXcDataContext>> FContexts;
};

class TXcBaseDataContext : public TExtensibleInterfacedPersistent, public IXcDataContext {
  XC_CLASS_REF(TXcBaseDataContext)

public:
  // A nil Contexts raises EXCLDataContexts "Cannot create a context without a context list owner".
  TXcBaseDataContext(TXcBaseDataContexts* AContexts, const String& AName);
  void AfterConstruction() override;

  virtual void DoSetName(const String& Value) = 0;
  // Renames unless another context of the list has the name (EXCLDataContexts "A context with
  // that name already exists").
  virtual void SetName(const String& Value);
  virtual bool IsStreamable() { return !IsDeletable(); }

  // IXcDataContext
  TObject* GetImplementer() override { return this; }
  TIntf<IXcDataContexts> Contexts() override;
  bool IsDeletable() override { return true; }
  TXcBaseDataContexts* ContextList() const { return FContexts; }

protected:
  bool GetOwnInterface(TIID IID, void** Obj) override;

private:
  TXcBaseDataContexts* FContexts;  // not counted
  String FInitialName;
};

class TXcDataContext : public TXcBaseDataContext {
  XC_CLASS_REF(TXcDataContext)

public:
  using TXcBaseDataContext::TXcBaseDataContext;
  void DoSetName(const String& Value) override { FName = Value; }
  String Name() override { return FName; }

private:
  String FName;
};

class TXcManagedDataContext : public TXcDataContext, public IXcDataContextManager {
  XC_CLASS_REF(TXcManagedDataContext)

public:
  using TXcDataContext::TXcDataContext;
  void SetName(const String& Value) override { TXcDataContext::SetName(Value); }

protected:
  bool GetOwnInterface(TIID IID, void** Obj) override;
};

class TXcFixedDataContext : public TXcDataContext {
  XC_CLASS_REF(TXcFixedDataContext)

public:
  using TXcDataContext::TXcDataContext;
  bool IsDeletable() override { return false; }
};
