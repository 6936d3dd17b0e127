#include "core/DeviceTables.h"

#include "core/CodecPresets.h"
#include "core/DeviceProfiles.h"
#include "core/MainForm.h"
#include "core/SourceRecognition.h"
#include "core/qv_functions.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/StringList.h"

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

  // The lists are built in memory and handed to their boxes whole: a box answers each item through
  // its window, which made the duplicate checks over 461 profiles a slow step of start-up.
  TStringList BrandList;
  for (int R = 0; R < Table->GetRowCount(); ++R)
    if (NotInList(Table->GetCells(DeviceGroupCol, R), &BrandList)) BrandList.Add(Table->GetCells(DeviceGroupCol, R));
  TStrings* Brands = F->brand->GetItems();
  Brands->Clear();
  Brands->AddStrings(&BrandList);
  for (int I = 0; I < Brands->GetCount(); ++I)  // the box's own order (it may sort)
    if (LowerCase(Brands->Get(I)) == LowerCase("Apple")) F->brand->SetItemIndex(I);
  F->brandChange(F);

  auto Line = [Table](int R) { return Table->GetCells(DeviceGroupCol, R) + " " + Table->GetCells(DeviceNameCol, R); };
  auto InProfileGroup = [Table](int R) { return Table->GetCells(DeviceGroupCol, R).find("Profile") != String::npos; };
  TStringList All;
  for (int R = 0; R < Table->GetRowCount(); ++R)
    if (!InProfileGroup(R)) All.Add(Line(R));
  F->devicelist->Clear();
  F->devicelist->GetItems()->AddStrings(&All);
  TStringList Unique;
  for (int R = 0; R < Table->GetRowCount(); ++R)
    if (NotContainedInList(Table->GetCells(DeviceNameCol, R), &Unique) && !InProfileGroup(R)) Unique.Add(Line(R));
  TStrings* Scratch = F->skSkinListBox1->GetItems();
  F->skSkinListBox1->Clear();
  Scratch->AddStrings(&Unique);
  F->spskinlabel1->SetCaption(IntToStr(F->devicelist->GetItems()->GetCount() - 1) + " Device profiles total, " +
                              IntToStr(Scratch->GetCount() - 1) + " unique");
  UiSync = true;
}
