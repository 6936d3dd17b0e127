#include "core/DeviceTables.h"

#include "core/CodecPresets.h"
#include "core/DeviceProfiles.h"
#include "core/MainForm.h"
#include "core/SourceRecognition.h"
#include "core/qv_functions.h"
#include "platform/rtl/StrUtils.h"

void LoadCodecTable()
{
  TForm1* F = Form1;
  UiSync = false;
  AppendCodecPresets(F->codecgrid);
  SortGridByColumn(F->codecgrid, CodecIdCol);
  F->codec->GetItems()->Clear();
  FillCodecItems(F->codecgrid, F->codec->GetItems());
  LoadDeviceTable();
}

void LoadDeviceTable()
{
  TForm1* F = Form1;
  TStrings* Sizes = F->screensize->GetItems();
  AddScreenSizeCandidates(Sizes);
  F->screensize->SetItemIndex(0);
  F->screensize->SetSorted(true);
  F->screensize->SetItemIndex(0);  // sorting keeps the selected item; the box starts at its first

  AppendDeviceProfiles(F->devices);
  ApplyDeviceDefaults(F->devices);
  TStringGrid* Table = F->devices;

  TStrings* Brands = F->brand->GetItems();
  Brands->Clear();
  for (int R = 0; R < Table->GetRowCount(); ++R)
    if (NotInList(Table->GetCells(DeviceGroupCol, R), Brands)) Brands->Add(Table->GetCells(DeviceGroupCol, R));
  for (int I = 0; I < Brands->GetCount(); ++I)
    if (LowerCase(Brands->Get(I)) == LowerCase("Apple")) F->brand->SetItemIndex(I);
  F->brandChange(F);

  auto Line = [Table](int R) { return Table->GetCells(DeviceGroupCol, R) + " " + Table->GetCells(DeviceNameCol, R); };
  auto InProfileGroup = [Table](int R) { return Table->GetCells(DeviceGroupCol, R).find("Profile") != String::npos; };
  TStrings* Scratch = F->skSkinListBox1->GetItems();
  F->skSkinListBox1->Clear();
  for (int R = 0; R < Table->GetRowCount(); ++R)
    if (!InProfileGroup(R)) Scratch->Add(Line(R));
  F->devicelist->Clear();
  F->devicelist->GetItems()->AddStrings(Scratch);
  F->skSkinListBox1->Clear();
  for (int R = 0; R < Table->GetRowCount(); ++R)
    if (NotContainedInList(Table->GetCells(DeviceNameCol, R), Scratch) && !InProfileGroup(R)) Scratch->Add(Line(R));
  F->spskinlabel1->SetCaption(IntToStr(F->devicelist->GetItems()->GetCount() - 1) + " Device profiles total, " +
                              IntToStr(Scratch->GetCount() - 1) + " unique");
  UiSync = true;
}
