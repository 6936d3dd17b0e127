// How the user moves between the areas of the main window, the small actions of the option
// pages, the main menu and the context menu, the help and web links, the contact mail and the
// about box.
//
// Contract callers rely on:
// - Area switching: the main page p1 and the settings pages (Panel13 with p2) take turns; the
//   caption of the settings toggle is "Global settings" while the main page is in front and
//   "Hide settings" while the settings are. The View actions other than "Global Settings" bring
//   panels of the main page forward without showing the main page.
// - "Rightclick > Send to Quelvo" and "Run on Windows startup" write their desktop entry when
//   ticked and remove it when unticked, whoever sets the box (the user, the settings store).
// - "Minimize to tray" ticked turns the tray icon's minimise-to-tray switch on, unticked off.
// - Web pages, help files and the contact mail go to the desktop's opener; the mail's subject
//   and body are percent-encoded, so the device names in the subject are data.
// - Help > "About" and the "About" button show the about box (AboutBox.h).
#pragma once

#include <functional>

#include "platform/vcl/Menus.h"
#include "platform/rtl/System.h"

class TMainWindow;
class TQueueEditPanel;
class TskSkinMainMenuBar;
class TskSkinPanel;
class TskSkinSpeedButton;
class TskSkinStdLabel;

// The maker's addresses the links open.
struct TMakerSite {
  String Website = "http://www.quelvo.com";
  String HastekitDownload = "http://www.quelvo.com/download/qv3b.zip";
  String PreviewFixDownload = "http://www.quelvo.com/download/qv3p.zip";
  String HastekitPage = "http://www.quelvo.com/hastekit.html";
  String Support = "support@quelvo.com";
};
const TMakerSite& MakerSite();

// "mailto:" + To + "?subject=" + Subject + "&body=" + Body, subject and body percent-encoded.
String MailtoUrl(const String& To, const String& Subject, const String& Body);

class TOptionPages {
public:
  TOptionPages(TMainWindow* Window, TQueueEditPanel* Queue);

  // Controls made here.
  TskSkinSpeedButton* skSkinSpeedButton7;   // "User Guide"
  TskSkinStdLabel* buildx;                  // "check for new version"
  TskSkinSpeedButton* editsettings;         // "Edit video settings"
  TskSkinSpeedButton* skSkinSpeedButton3;   // "Modify" (the device panel)
  TskSkinSpeedButton* skSkinSpeedButton12;  // "Apply" (Language page)
  TskSkinSpeedButton* skSkinSpeedButton21;  // "Check for update" (Version Info page)
  TskSkinStdLabel* bp1;                     // "Hastekit not installed."
  TskSkinStdLabel* bp2;                     // "Download the Hastekit"
  TskSkinStdLabel* pf1;                     // "Preview Fix not installed."
  TskSkinStdLabel* pf2;                     // "Download the Preview Fix"
  TskSkinPanel* bp3;                        // "Enable Hastekit", "Processor count:"
  TskSkinPanel* pf3;                        // the preview fix options
  TMainMenu* MainMenu1;
  TskSkinMainMenuBar* MenuBar;
  TPopupMenu* PopupMenu1;                   // the main window's context menu

  // ---- Area switching ----
  void skSkinSpeedButton4Click(TObject* Sender);  // "Add videos"
  void modifyclick(TObject* Sender);              // "Edit video settings"
  void skSkinSpeedButton3Click(TObject* Sender);  // "Modify"
  void OpenSettingsPage(int Index);               // View > Global Settings > a page
  void Hidesettings1Click(TObject* Sender);
  // ---- Tray and shortcuts ----
  void skSkinCheckRadioBox6Click(TObject* Sender);
  void skSkinnedForm1Minimize(TObject* Sender);
  void skSkinCheckRadioBox7Click(TObject* Sender);
  void skSkinCheckRadioBox8Click(TObject* Sender);
  // ---- Help and web ----
  void tcpmpClick(TObject* Sender);
  void skSkinSpeedButton7Click(TObject* Sender);
  // ---- Options with their own action ----
  void skSkinSpinEdit5Change(TObject* Sender);
  void mencoder2Click(TObject* Sender);
  void BrowseCommand(bool After);                   // "Browse" of the before / after command
  void RunCommandLabel(bool After);                 // a click on the command label
  // ---- Contact ----
  void Contactus1Click(TObject* Sender);
  // The subject and body of the contact mail.
  String ContactSubject() const;
  static String ContactBody();

  // The menu item of a path of captions ("View", "Global Settings", "DVD"), or null.
  TMenuItem* MenuItem(std::initializer_list<const char*> Path) const;
  TMenuItem* PopupItem(std::initializer_list<const char*> Path) const;

private:
  TMainWindow* W;
  TQueueEditPanel* Q;

  void MakeControls();
  void MakeMenus();
  void Bind();
  void ShowMainPage();
  void ShowSettings();
};
