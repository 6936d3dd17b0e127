#include "core/SourceRecognition.h"

#include <sys/types.h>

#include "core/MainForm.h"
#include "core/qv_functions.h"
#include "platform/os/CommandLine.h"
#include "platform/os/Drives.h"
#include "platform/os/PathRules.h"
#include "platform/os/Volumes.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Paths.h"

namespace {

// The main window's scratch list for file searches, or a list of our own without one.
template <class TBody>
bool WithFileList(TBody Body)
{
  if (Form1) {
    TStrings* List = Form1->filelist3->GetItems();
    List->Clear();
    const bool Result = Body(List);
    List->Clear();
    return Result;
  }
  TStringList List;
  return Body(static_cast<TStrings*>(&List));
}

bool InList(const String& Ext, TListBox* List, const char* const* Defaults, int DefaultCount)
{
  if (List) {
    TStrings* Items = List->GetItems();
    for (int I = 0; I < Items->GetCount(); ++I)
      if (Items->Get(I) == Ext) return true;
    return false;
  }
  for (int I = 0; I < DefaultCount; ++I)
    if (Ext == Defaults[I]) return true;
  return false;
}

void RemoveFirst(String& S, char C)
{
  const auto P = S.find(C);
  if (P != String::npos) S.erase(P, 1);
}

String OneChar(TEdit* Edit, const char* Default) { return Edit ? Edit->GetText() : String(Default); }

// Keeps at most Count UTF-8 characters of S.
String FirstCharacters(const String& S, int Count)
{
  size_t I = 0;
  int N = 0;
  while (I < S.size() && N < Count) {
    size_t Next = I + 1;
    while (Next < S.size() && (static_cast<unsigned char>(S[Next]) & 0xC0) == 0x80) ++Next;
    I = Next;
    ++N;
  }
  return S.substr(0, I);
}

}  // namespace

bool FolderHasIfo(const String& Folder)
{
  return WithFileList([&](TStrings* List) {
    FindFilesRecursive(Folder, "*.ifo", List);
    return List->GetCount() > 0;
  });
}

bool IsDvdDrive(const String& Path)
{
  String P = Path;
  RemoveFirst(P, '*');
  return WithFileList([&](TStrings* List) {
    if (GetDriveTypeA(P.c_str()) != DRIVE_CDROM) return false;
    // A drive letter's files are found below its mount point.
    char Letter = 0;
    String Rest;
    if (SplitDriveLetterPath(P, Letter, Rest)) {
      const String Mount = DriveRootPath(Letter);
      if (Mount.empty()) return false;
      P = IncludeTrailingPathDelimiter(Mount) + Rest;
    }
    FindFilesRecursive(P, "*.ifo", List);
    return List->GetCount() > 0;
  });
}

void DetectVobFiles(const String& Folder, const std::function<void(const String& File, const String& Kind)>& Detect)
{
  WithFileList([&](TStrings* List) {
    FindFilesRecursive(Folder, "*.vob", List);
    // Detection may use the scratch list itself: work on a copy.
    std::vector<String> Files;
    for (int I = 0; I < List->GetCount(); ++I) Files.push_back(List->Get(I));
    List->Clear();
    if (Detect)
      for (const String& F : Files) Detect(F, "vid");
    return true;
  });
}

String LowerExtNoDot(const String& Path)
{
  String Ext = LowerCase(ExtractFileExt(Path));
  RemoveFirst(Ext, '.');
  return Trim(Ext);
}

bool IsVideoExtension(const String& Path)
{
  return InList(LowerCase(LowerExtNoDot(Path)), Form1 ? Form1->subVid : nullptr, DefaultVideoExtensions, 30);
}

bool IsDiscImageExtension(const String& Path)
{
  return InList(LowerCase(LowerExtNoDot(Path)), Form1 ? Form1->subISO : nullptr, DefaultDiscImageExtensions, 3);
}

namespace {

std::unordered_set<String> ExtensionSet(TListBox* List, const char* const* Defaults, int DefaultCount)
{
  std::unordered_set<String> Set;
  if (List) {
    TStrings* Items = List->GetItems();
    const int Count = Items->GetCount();
    for (int I = 0; I < Count; ++I) Set.insert(Items->Get(I));
  } else {
    Set.insert(Defaults, Defaults + DefaultCount);
  }
  return Set;
}

}  // namespace

TExtensionLists::TExtensionLists()
    : FVideo(ExtensionSet(Form1 ? Form1->subVid : nullptr, DefaultVideoExtensions, 30)),
      FDiscImage(ExtensionSet(Form1 ? Form1->subISO : nullptr, DefaultDiscImageExtensions, 3))
{
}

bool IsWmvSourceExtension(const String& Path)
{
  String Ext = LowerExtNoDot(Path);
  RemoveFirst(Ext, '"');
  return InList(Trim(Ext), Form1 ? Form1->subWMV : nullptr, DefaultWmvExtensions, 7);
}

bool IsTivoInput(const String& InputArgs)
{
  const std::vector<String> Args = qv::os::SplitCommandLine(InputArgs);
  if (Args.empty()) return false;
  const String& Input = Args.front();
  const String Ext = ".tivo";
  return Input.size() > Ext.size() && LowerCase(Input.substr(Input.size() - Ext.size())) == Ext;
}

bool IsLargeFile(const String& Path)
{
  Int64 Size = 0;
  return FileSizeOf(Path, Size) && Size > 921600000;
}

bool IsFileOverLimit(const String& Path, bool IgnoreCheck)
{
  if (IgnoreCheck) return true;
  Int64 Size = 0;
  return FileSizeOf(Path, Size) && Size > 1024000;
}

bool IsFileOverLimit(const String& Path) { return IsFileOverLimit(Path, Form1 && Form1->finuse->GetChecked()); }

bool NotInList(const String& Text, TStrings* List)
{
  for (int I = 0; I < List->GetCount(); ++I)
    if (List->Get(I) == Text) return false;
  return true;
}

bool NotContainedInList(const String& Text, TStrings* List)
{
  if (Text.empty()) return true;
  for (int I = 0; I < List->GetCount(); ++I)
    if (List->Get(I).find(Text) != String::npos) return false;
  return true;
}

String StripVideoTsFolder(const String& Path) { return StripVideoTs(Path, vtFolderAnyCase); }

String DvdVolumeName(const String& Path)
{
  String P = Path;
  RemoveFirst(P, '"');
  RemoveFirst(P, '"');
  String Name = IsDriveRoot(P) ? VolumeLabel(P) : String();
  // A label comes from the disc: separators and control characters never reach a name.
  for (char& C : Name)
    if (C == '/' || C == '\\' || static_cast<unsigned char>(C) < 0x20 || C == 0x7F) C = ' ';
  if (Name.empty()) {
    const String FileName = ExtractFileName(ExcludeTrailingPathDelimiter(P));
    if (IsLargeFile(P))
      Name = Trim(FileName.size() > 4 ? FileName.substr(0, FileName.size() - 4) : String());
    else
      Name = FileName;
  }
  if (Form1) {
    TStrings* Bad = Form1->badlist->GetItems();
    for (int I = 0; I < Bad->GetCount(); ++I)
      if (UpperCase(Bad->Get(I)) == UpperCase(Name)) Name += "*";
  } else if (UpperCase(Name) == "TRANSFORMERS_VANILLA") {
    Name += "*";
  }
  return CleanTitle(Name);
}

String CleanName(const String& Text)
{
  const String E3 = OneChar(Form1 ? Form1->Edit3 : nullptr, "'");
  const String E5 = OneChar(Form1 ? Form1->Edit5 : nullptr, "\"");
  String S = Text;
  for (char& C : S) {
    switch (C) {
    case '<': case '>': case '_': case '.': case '-': case ',': case '[': case ']': case '"':
      C = ' ';
      break;
    default:
      if ((E3.size() == 1 && C == E3[0]) || (E5.size() == 1 && C == E5[0])) C = ' ';
    }
  }
  const auto R = S.find("Recorded");
  if (R != String::npos) S = S.substr(0, R) + " " + S.substr(R + 8);
  S = Trim(S);
  // Every run of blanks becomes one blank.
  String Out;
  Out.reserve(S.size());
  for (char C : S)
    if (C != ' ' || Out.empty() || Out.back() != ' ') Out += C;
  return Trim(Out);
}

String CleanTitle(const String& Text)
{
  String S = CleanName(Text);
  S = Trim(FirstCharacters(S, 50));
  for (size_t I = 0; I < S.size(); ++I) {
    char& C = S[I];
    const bool Upper = I == 0 || S[I - 1] == ' ';
    if (Upper && C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
    if (!Upper && C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
  }
  return S;
}
