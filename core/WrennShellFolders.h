// The special folders of the user (Windows CSIDL numbers): a fixed table of 58 identifiers, a
// component that resolves one identifier to its path and display name, and an enumerator over
// the table. The main window walks the table once at start-up into its three lists shlfld1..3.
//
// On this system the identifiers resolve through the platform's folder map (XDG user folders,
// the home folder, the data and config folders). An identifier that means nothing here (the
// Windows folder, the printers, the recycle bin ...) still exists, as a virtual folder with an
// empty path, so the walk lists it with the path of the folder before it (the carry-over rule
// that MyDocumentsFolder's "Printers" fallback relies on). A mapped folder that does not exist
// (no videos folder made) is not listed.
#pragma once

#include <memory>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/System.h"
#include "platform/vcl/Component.h"

// "Invalid special folder ID".
QV_DECLARE_EXCEPTION(EWrennShellFolders, Exception);

// The number of identifiers in the table: 58.
int FolderIdTableSize();
bool FolderIdKnown(int Id);
// "CSIDL_MYVIDEO" for 14; raises EWrennShellFolders for an identifier not in the table.
String FolderIdName(int Id);
// The identifier at a 0-based table position (alphabetical by name).
int FolderIdAt(int Index);
[[noreturn]] void RaiseFolderIdError(const String& Message);

// An enumerator over the table in table order.
class TWrennSpecialFolderEnum {
public:
  TWrennSpecialFolderEnum() = default;
  void Reset() { FPosition = 1; }
  // The identifier at the position, then the position moves on; -1 at the end (and after it).
  int NextFolderId();
  bool Finished() const { return FPosition > FolderIdTableSize(); }
  int FolderIdCount() const { return FolderIdTableSize(); }

private:
  int FPosition = 1;
};

// One special folder, resolved. After construction FolderID is 0 ("CSIDL_DESKTOP").
class TWrennSpecialFolderInfo : public TComponent {
public:
  explicit TWrennSpecialFolderInfo(TComponent* AOwner);

  int GetFolderID() const { return FFolderID; }
  // The same value does nothing; an unknown identifier raises EWrennShellFolders and keeps the
  // old one; otherwise the folder is resolved anew.
  void SetFolderID(int Value);

  const String& GetPath() const { return FPath; }
  const String& GetDisplayName() const { return FDisplayName; }
  bool GetIsVirtual() const { return FIsVirtual; }
  bool GetExists() const { return FExists; }

  virtual void RefreshFolder();

private:
  int FFolderID = 0;
  String FPath, FDisplayName;
  bool FIsVirtual = false;
  bool FExists = false;
};

// The walk of TForm1::DisplaySpecialFolders over any three string lists (path, display name or
// "_", identifier name), using Info to resolve each identifier.
class TStrings;
void FillSpecialFolderLists(TWrennSpecialFolderInfo* Info, TStrings* Paths, TStrings* Names, TStrings* Ids);
