#include "app/HistoryWindow.h"

#include "app/FormSkin.h"
#include "app/WindowParts.h"
#include "core/History.h"


THistoryWindow::THistoryWindow(TComponent* AOwner) : TForm3(AOwner)
{
  SetCaption("Conversion History");
  SetBounds(0, 0, 640, 520);
  Panel1 = MakePart<TskSkinPanel>(this, this, "Panel1", "", 0, 0, 640, 520);
  auto* Converted = MakePart<TskSkinStdLabel>(this, Panel1, "converted", "Previously converted files", 8, 10, 300, 18);
  (void)Converted;
  button1 = MakePart<TskSkinButton>(this, Panel1, "button1", "Clear", 552, 6, 80, 24);
  database->SetParent(Panel1);
  database->SetBounds(8, 34, 624, 250);
  auto* Monitor = MakePart<TskSkinStdLabel>(this, Panel1, "monitored", "Monitor folders", 8, 298, 300, 18);
  (void)Monitor;
  XcSpeedButton3 = MakePart<TskSkinSpeedButton>(this, Panel1, "XcSpeedButton3", "Delete", 466, 294, 80, 24);
  Button2 = MakePart<TskSkinButton>(this, Panel1, "Button2", "Clear", 552, 294, 80, 24);
  track->SetParent(Panel1);
  track->SetBounds(8, 322, 624, 190);
  button1->OnClick = [](TObject*) { HistoryClear(); };
  Button2->OnClick = [](TObject*) { HistoryClearFolders(); };
  XcSpeedButton3->OnClick = [](TObject*) { HistoryDeleteFolder(); };
  OnClose = [](TObject*, TCloseAction& Action) {
    Action = caHide;
    HistorySave();
  };
  OnResize = [](TObject*) { HistoryFormResize(); };
  SkinForm(this);
  // The sections fill the client area inside the skinned frame.
  SetClientWidth(640);
  SetClientHeight(520);
  HistoryFormCreate();
  SetPosition(poScreenCenter);
  HistoryFormResize();
}

THistoryWindow::~THistoryWindow() { HistorySave(); }
