#include "core/SavedProfiles.h"

#include "core/DeviceNumbers.h"
#include "core/SkinnedQuestions.h"
#include "core/DeviceQueue.h"
#include "core/GridFiles.h"
#include "core/MainForm.h"
#include "core/SourceRecognition.h"
#include "core/qv_settings.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/Dialogs.h"

bool ProfileNameUsable(const String& Name)
{
  const String T = Trim(Name);
  if (T.empty()) return false;
  if (T.find_first_of("/\\") != String::npos || T.find("..") != String::npos) return false;
  // The name is a file name: at most 250 bytes with ".prf", and no control characters (a line
  // break would also split the "Profile:" line of the settings file).
  if (Name.size() + 4 > 250) return false;
  for (unsigned char C : Name)
    if (C < 0x20 || C == 0x7f) return false;
  return !Trim(CleanTitle(T)).empty();
}

String ProfileFileName(const String& Name) { return WorkFolder + "profiles/" + Name + ".prf"; }

namespace {

// The questions of the profile actions go on only with Yes.
bool AskYes(const String& Text) { return AskYesSkinned(Text); }

bool Refuse(const String& Name)
{
  if (ProfileNameUsable(Name)) return false;
  ShowMessage("\"" + Name + "\" cannot be used as a profile name: a name must not be empty, must not hold \"/\", \"\\\", \"..\" or control characters, and must not be longer than 246 bytes.");
  return true;
}

bool SaveQueue(TForm1* F, const String& Name)
{
  ForceDirectories(WorkFolder + "profiles");
  String Why;
  if (SaveGridText(F->dq, ProfileFileName(Name), &Why)) return true;
  ShowMessage("The profile \"" + Name + "\" could not be saved: " + Why);
  return false;
}

void SelectLastEqual(TOptionComboBox* Box, const String& Name)
{
  TStrings* Items = Box->GetItems();
  int Found = -1;
  for (int I = 0; I < Items->GetCount(); ++I)
    if (Items->Get(I) == Name) Found = I;
  if (Found >= 0) Box->SetItemIndex(Found);
}

}  // namespace

void TForm1::profileboxChange(TObject*)
{
  if (DeviceQueueHost().ShowMainPage) DeviceQueueHost().ShowMainPage();
  if (DeviceQueueHost().ShowSourceQueue) DeviceQueueHost().ShowSourceQueue();
  const String Name = profilebox->GetText();
  if (ProfileNameUsable(Name)) {
    const TGridLoadResult R = LoadGridText(dq, ProfileFileName(Name));
    if (R.Status == glDamaged || R.Status == glUnreadable) ShowMessage(R.Message);
    const String Faults = DeviceNumberFaults(dq);
    if (!Faults.empty())
      ShowMessage("The profile \"" + Name + "\" holds settings that are not numbers; the jobs of these devices will fail:\n" + Faults);
  } else if (!Trim(Name).empty()) {
    ShowMessage("The profile \"" + Name + "\" cannot be loaded: a profile name must not hold \"..\", \"/\" or \"\\\".");
  }
  RebuildMultiDeviceList();
  multidevicebox->SetItemIndex(0);
  dqClick(this);
}

void TForm1::skSkinSpeedButton10Click(TObject*)
{
  String Name = profilebox->GetText();
  if (Name == "lastprofile") Name = model->GetText() + "_profile";
  if (!InputQuery("Save profile", "filename", Name) || Trim(Name).empty()) return;
  if (Refuse(Name)) return;
  if (!FileExists(ProfileFileName(Name))) {
    SaveQueue(this, Name);
  } else {
    if (!AskYes("You want to overwrite the selected profile?")) return;
    Name = CleanTitle(Name);
    SaveQueue(this, Name);
  }
  LoadProfileList();
  SelectLastEqual(profilebox, Name);
}

void TForm1::DeleteProfile1Click(TObject*)
{
  if (!AskYes("Are you sure you want to delete the selected profile?")) return;
  const String Name = profilebox->GetText();
  if (ProfileNameUsable(Name)) DeleteFile(ProfileFileName(Name));
  LoadProfileList();
}

void TForm1::RenameProfile1Click(TObject*)
{
  const String Old = profilebox->GetText();
  String Name = Old;
  if (!InputQuery("New profile name", "Name", Name) || Trim(Name).empty()) return;
  if (Refuse(Name)) return;
  // The old file goes only once the queue is safe under the new name.
  if (!SaveQueue(this, Name)) return;
  if (Name != Old && ProfileNameUsable(Old)) DeleteFile(ProfileFileName(Old));
  LoadProfileList();
  SelectLastEqual(profilebox, Name);
}
