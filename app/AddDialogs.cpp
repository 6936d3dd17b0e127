#include "app/AddDialogs.h"

#include "platform/rtl/Files.h"
#include "platform/vcl/Dialogs.h"

namespace {

class TPlainFilesDialog : public TAddFilesDialog {
public:
  bool Execute(const String&, const String& Title, const String& FileName, std::vector<String>& Files) override
  {
    // Names from outside: '/' alone separates folders ("\" is a name character).
    String Value = InitialDir;
    if (!Value.empty() && Value.back() != '/') Value += '/';
    if (!InputQuery(Title, FileName + ":", Value) || Value.empty()) return false;
    if (!FileExists(Value)) {
      ShowMessage("\"" + Value + "\" is not a file.");
      return false;
    }
    Files = {Value};
    InitialDir = Value.substr(0, Value.rfind('/') + 1);
    return true;
  }
};

class TPlainFolderDialog : public TAddFolderDialog {
public:
  bool Execute(const String& Title, const String& StartFolder, String& Folder) override
  {
    String Value = StartFolder;
    if (!InputQuery(Title, "Folder:", Value) || Value.empty()) return false;
    if (!DirectoryExists(Value)) {
      ShowMessage("\"" + Value + "\" is not a folder.");
      return false;
    }
    Folder = Value;
    return true;
  }
};

}  // namespace

TAddFilesDialog& ProgramFilesDialog()
{
  static TPlainFilesDialog Dialog;
  return Dialog;
}

TAddFolderDialog& ProgramFolderDialog()
{
  static TPlainFolderDialog Dialog;
  return Dialog;
}
