// The conversion history window as the program shows it: the model TForm3 (core/MainForm.h) laid
// out in two sections, "Previously converted files" (the history grid and its "Clear") and
// "Monitor folders" (the remembered folders with "Delete" and "Clear"). Making it runs the
// creation of the history (core/History.h: load both files, queue the remembered folders, the
// start-up disc scan, the scan timer on). Closing it only hides it; closing and destroying it
// write both files.
#pragma once

#include "core/MainForm.h"

class THistoryWindow : public TForm3 {
public:
  explicit THistoryWindow(TComponent* AOwner);
  ~THistoryWindow() override;

  TskSkinPanel* Panel1;
  TskSkinButton* button1;             // history "Clear"
  TskSkinSpeedButton* XcSpeedButton3; // folders "Delete"
  TskSkinButton* Button2;             // folders "Clear"
};
