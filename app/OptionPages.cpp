#include "app/OptionPages.h"

#include <cmath>
#include <tuple>
#include <utility>

#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "app/QueueEditPanel.h"
#include "core/OptionControls.h"
#include "core/qv_cmdline.h"
#include "core/qv_functions.h"
#include "core/qv_scan.h"
#include "platform/os/Folders.h"
#include "platform/os/Shell.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/Dialogs.h"
#include "skin/frame/SkinMainMenuBar.h"
#include "skin/frame/SkinnedForm.h"

namespace {

const char* const ProductName = "Quelvo 3";
constexpr int PageGeneral = 0, PageLanguage = 1, PageDvd = 2, PageConversion = 3, PageAutomation = 4,
              PageVersion = 5, PageDevices = 6, PageHastekit = 7;

template <class T>
T* Put(TComponent* Owner, TWinControl* Parent, const char* Name, const char* Caption, int Left, int Top, int Width,
       int Height)
{
  auto* C = new T(Owner);
  C->SetName(Name);
  C->SetCaption(Caption);
  C->SetParent(Parent);
  C->SetBounds(Left, Top, Width, Height);
  return C;
}

TskSkinSpeedButton* PutButton(TComponent* Owner, TWinControl* Parent, const char* Name, const char* Caption, int Left,
                              int Top, int Width = 120)
{
  auto* B = Put<TskSkinSpeedButton>(Owner, Parent, Name, Caption, Left, Top, Width, 24);
  B->SetSkinDataName("button");
  return B;
}

// A menu item with its action, added under Parent.
TMenuItem* Item(TMenuItem* Parent, const char* Caption, TNotifyEvent Click = nullptr)
{
  auto* I = new TMenuItem(Parent);
  I->SetCaption(Caption);
  if (Click) I->OnClick = std::move(Click);
  Parent->Add(I);
  return I;
}

TMenuItem* Find(TMenuItem* Root, std::initializer_list<const char*> Path)
{
  TMenuItem* At = Root;
  for (const char* Caption : Path) {
    TMenuItem* Next = nullptr;
    for (int I = 0; At && I < At->GetCount() && !Next; ++I)
      if (At->GetItem(I)->GetCaption() == Caption) Next = At->GetItem(I);
    At = Next;
  }
  return At;
}

// "+" after the product's version number when On (once), a blank in its place when off.
String AddOnMarked(const String& S, bool On)
{
  const String Plain = ProductName, Marked = Plain + "+";
  if (On) return S.find(Marked) != String::npos ? S : ReplaceFirst(S, Plain, Marked);
  return ReplaceFirst(S, Marked, Plain + " ");
}

bool Unreserved(unsigned char C)
{
  return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || (C >= '0' && C <= '9') || C == '-' || C == '.' ||
         C == '_' || C == '~';
}

String PercentEncode(const String& S)
{
  static const char Hex[] = "0123456789ABCDEF";
  String Out;
  for (char Ch : S) {
    const auto C = static_cast<unsigned char>(Ch);
    if (Unreserved(C)) {
      Out += Ch;
    } else {
      Out += '%';
      Out += Hex[C >> 4];
      Out += Hex[C & 15];
    }
  }
  return Out;
}

}  // namespace

const TMakerSite& MakerSite()
{
  static const TMakerSite Site;
  return Site;
}

String MailtoUrl(const String& To, const String& Subject, const String& Body)
{
  return "mailto:" + To + "?subject=" + PercentEncode(Subject) + "&body=" + PercentEncode(Body);
}

TOptionPages::TOptionPages(TMainWindow* Window, TQueueEditPanel* Queue) : W(Window), Q(Queue)
{
  MakeControls();
  MakeMenus();
  Bind();
}

void TOptionPages::MakeControls()
{
  TWinControl* Left = W->leftcol;
  skSkinSpeedButton7 = PutButton(W, Left, "skSkinSpeedButton7", "User Guide", 8, 390, 194);
  editsettings = PutButton(W, Left, "editsettings", "Edit video settings", 8, 418, 194);
  skSkinSpeedButton3 = PutButton(W, Left, "skSkinSpeedButton3", "Modify", 8, 446, 194);
  buildx = Put<TskSkinStdLabel>(W, Left, "buildx", "check for new version", 8, 478, 194, 18);

  auto Sheet = [this](int I) { return static_cast<TWinControl*>(W->skSkinPageControl1->GetPage(I)); };
  skSkinSpeedButton12 = PutButton(W, Sheet(PageLanguage), "skSkinSpeedButton12", "Apply", 16, 330, 100);
  skSkinSpeedButton21 = PutButton(W, Sheet(PageVersion), "skSkinSpeedButton21", "Check for update", 290, 48, 140);

  // The add-on page: what the add-ons do, then the option panels or the "not installed"
  // labels with their downloads.
  TWinControl* Addon = Sheet(PageHastekit);
  auto* About = Put<TskSkinStdLabel>(W, Addon, "addoninfo",
                                     "The Hastekit converts with every processor of the computer; the Preview Fix "
                                     "plays previews where the standard player shows no picture.",
                                     16, 16, 700, 18);
  About->SetWordWrap(true);
  bp1 = Put<TskSkinStdLabel>(W, Addon, "bp1", "Hastekit not installed.", 16, 56, 300, 18);
  bp2 = Put<TskSkinStdLabel>(W, Addon, "bp2", "Download the Hastekit", 16, 78, 300, 18);
  bp3 = Put<TskSkinPanel>(W, Addon, "bp3", "", 8, 48, 460, 64);
  pf1 = Put<TskSkinStdLabel>(W, Addon, "pf1", "Preview Fix not installed.", 16, 136, 300, 18);
  pf2 = Put<TskSkinStdLabel>(W, Addon, "pf2", "Download the Preview Fix", 16, 158, 300, 18);
  pf3 = Put<TskSkinPanel>(W, Addon, "pf3", "", 8, 128, 460, 64);
  for (TskSkinStdLabel* L : {bp1, bp2, pf1, pf2}) {
    L->SetCursor(crHandPoint);
    L->GetFont()->SetColor(clBlue);
    L->GetFont()->SetStyle(fsUnderline);
  }
  // The duration labels stand right of their spin edits and units.
  for (auto [Edit, Unit, Shown] : {std::tuple<TControl*, const char*, TControl*>{W->skSkinSpinEdit5, "Seconds",
                                                                                  W->skSkinStdLabel25},
                                   {W->monitorvalue, nullptr, W->skSkinStdLabel14}}) {
    const int Right = Edit->GetLeft() + Edit->GetWidth();
    if (Unit) Put<TskSkinStdLabel>(W, Edit->GetParent(), "", Unit, Right + 8, Edit->GetTop() + 3, 60, 18);
    Shown->SetBounds(Right + 72, Edit->GetTop() + 3, 100, 18);
  }
  for (auto [C, T] : {std::pair<TControl*, int>{W->mencoder2, 4}, {W->corelabel, 37}}) {
    C->SetParent(bp3);
    C->SetTop(T);
    C->SetLeft(8);
  }
  W->corecount->SetParent(bp3);
  W->corecount->SetBounds(244, 34, 80, 22);
  W->mplayer2->SetParent(pf3);
  W->mplayer2->SetBounds(8, 4, 420, 22);
  W->detect2->SetParent(pf3);
  W->detect2->SetBounds(8, 34, 420, 22);
}

void TOptionPages::MakeMenus()
{
  auto Do = [](std::function<void()> F) { return [F = std::move(F)](TObject*) { F(); }; };
  TMainWindow* M = W;
  TQueueEditPanel* E = Q;
  MainMenu1 = new TMainMenu(W);
  MainMenu1->SetName("MainMenu1");
  TMenuItem* Root = MainMenu1->GetItems();
  TMenuItem* File = Item(Root, "File");
  Item(File, "Save state", [M](TObject* S) { M->Savestate1Click(S); });
  Item(File, "Load state", [M](TObject* S) { M->Loadstate1Click(S); });
  Item(File, "Exit", [M](TObject* S) { M->Exit2Click(S); });
  TMenuItem* Edit = Item(Root, "Edit");
  TMenuItem* Profile = Item(Edit, "Profile");
  Item(Profile, "Reload selected profile", [M](TObject* S) { M->profileboxChange(S); });
  Item(Profile, "Save settings as profile", [M](TObject* S) { M->skSkinSpeedButton10Click(S); });
  Item(Profile, "Rename selected profile", [M](TObject* S) { M->RenameProfile1Click(S); });
  Item(Profile, "Delete selected profile", [M](TObject* S) { M->DeleteProfile1Click(S); });
  Item(Edit, "Clear Queue", [E](TObject* S) { E->EmptyQueue1Click(S); });
  Item(Edit, "Remove from Queue", [E](TObject* S) { E->RemovefromQueue1Click(S); });
  TMenuItem* Add = Item(Root, "Add");
  Item(Add, "Scan DVD(s)", Do([] { bscanClick(); }));
  Item(Add, "Add file(s)", Do([] { AddFilesClick(); }));
  Item(Add, "Add folder(s)", Do([] { AddFolderClick(); }));
  TMenuItem* View = Item(Root, "View");
  TMenuItem* Global = Item(View, "Global Settings");
  const char* const Pages[] = {"General", "Language", "DVD", "Conversion", "Automation", "Help", "Device profiles"};
  const int PageIndex[] = {PageGeneral, PageLanguage, PageDvd, PageConversion, PageAutomation, PageVersion, PageDevices};
  for (int I = 0; I < 7; ++I) Item(Global, Pages[I], Do([this, P = PageIndex[I]] { OpenSettingsPage(P); }));
  Item(Global, "Hide settings", [this](TObject* S) { Hidesettings1Click(S); });
  Item(View, "Conversion Status", Do([M] { M->g2->BringToFront(); }));
  for (const char* Caption : {"Add to Queue", "Selection Queue"})
    Item(View, Caption, Do([M] {
           M->g1->BringToFront();
           M->addstuff->BringToFront();
         }));
  Item(View, "Device settings", Do([M] {
         M->g1->BringToFront();
         M->Panel18->BringToFront();
       }));
  Item(View, "Selection settings", Do([M, E] {
         M->g1->BringToFront();
         E->modify->BringToFront();
       }));
  TMenuItem* Help = Item(Root, "Help");
  Item(Help, "About", Do([] { ShowAboutBox(); }));
  Item(Help, "Update", Do([] { CheckForUpdate(); }));
  Item(Help, "Speed booster", Do([] { OpenUrlInBrowser(MakerSite().HastekitPage); }));
  Item(Root, " ")->SetEnabled(false);
  Item(Root, "Email us", [this](TObject* S) { Contactus1Click(S); });
  W->SetMenu(MainMenu1);

  // The bar above everything else: the window grows by its height.
  MenuBar = new TskSkinMainMenuBar(W);
  MenuBar->SetName("MenuBar");
  MenuBar->SetDefaultHeight(22);
  MenuBar->ScrollMenu = true;
  const int Bar = MenuBar->GetHeight();
  for (int I = 0; I < W->GetControlCount(); ++I) {
    TControl* C = W->GetControl(I);
    C->SetTop(C->GetTop() + Bar);
  }
  MenuBar->SetParent(W);
  MenuBar->SetMainMenu(MainMenu1);
  W->SetClientHeight(W->GetClientHeight() + Bar);

  PopupMenu1 = new TPopupMenu(W);
  PopupMenu1->SetName("PopupMenu1");
  TMenuItem* P = PopupMenu1->GetItems();
  Item(P, "Check for update", Do([] { CheckForUpdate(); }));
  Item(P, "Remove from queue", [E](TObject* S) { E->RemovefromQueue1Click(S); });
  Item(P, "Empty Queue", [E](TObject* S) { E->EmptyQueue1Click(S); });
  Item(P, "Manual Destination Entry", [M](TObject* S) { M->skSkinSpeedButton25Click(S); });
  TMenuItem* PHelp = Item(P, "Help");
  Item(PHelp, "User Guide");
  Item(PHelp, "Quelvo website", Do([] { OpenUrlInBrowser(MakerSite().Website); }));
  Item(PHelp, "TCPMP info", Do([] { OpenUrlInBrowser(ProgramFolder + "tcpmp.html"); }));
  Item(PHelp, "WMV info", Do([] { OpenUrlInBrowser(ProgramFolder + "wme.html"); }));
  Item(PHelp, "Reset Quelvo", [M](TObject* S) { M->skSkinSpeedButton11Click(S); });
  W->SetPopupMenu(PopupMenu1);
  W->StringGrid1->SetPopupMenu(PopupMenu1);
}

void TOptionPages::Bind()
{
  auto On = [this](void (TOptionPages::*Handler)(TObject*)) {
    return [this, Handler](TObject* Sender) { (this->*Handler)(Sender); };
  };
  W->skSkinSpeedButton4->OnClick = On(&TOptionPages::skSkinSpeedButton4Click);
  editsettings->OnClick = On(&TOptionPages::modifyclick);
  skSkinSpeedButton3->OnClick = On(&TOptionPages::skSkinSpeedButton3Click);
  W->skSkinCheckRadioBox6->OnClick = On(&TOptionPages::skSkinCheckRadioBox6Click);
  W->skSkinCheckRadioBox7->OnClick = On(&TOptionPages::skSkinCheckRadioBox7Click);
  W->skSkinCheckRadioBox8->OnClick = On(&TOptionPages::skSkinCheckRadioBox8Click);
  if (TskSkinnedForm* Frame = GetSkinnedForm(W)) {
    Frame->OnMinimize = On(&TOptionPages::skSkinnedForm1Minimize);
    // The bar opens its menus through the frame; the frame gives it the keyboard (Alt, F10,
    // Alt+letter, arrows, Escape).
    MenuBar->SetSkinnedForm(Frame);
    Frame->SetMainMenuBar(MenuBar);
  }
  W->tcpmp->OnClick = On(&TOptionPages::tcpmpClick);
  skSkinSpeedButton7->OnClick = On(&TOptionPages::skSkinSpeedButton7Click);
  W->skSkinSpinEdit5->OnChange = On(&TOptionPages::skSkinSpinEdit5Change);
  W->mencoder2->OnClick = On(&TOptionPages::mencoder2Click);
  W->skSkinSpeedButton20->OnClick = [this](TObject*) { BrowseCommand(false); };
  W->skSkinSpeedButton22->OnClick = [this](TObject*) { BrowseCommand(true); };
  W->skSkinLabel2->OnClick = [this](TObject*) { RunCommandLabel(false); };
  W->skSkinLabel3->OnClick = [this](TObject*) { RunCommandLabel(true); };
  auto Update = [](TObject*) { CheckForUpdate(); };
  for (TControl* C : {static_cast<TControl*>(buildx), static_cast<TControl*>(W->timerstatusx),
                      static_cast<TControl*>(skSkinSpeedButton21)})
    C->OnClick = Update;
  skSkinSpeedButton12->OnClick = [this](TObject* S) { Q->skSkinSpeedButton12Click(S); };
  for (TControl* C : {static_cast<TControl*>(bp1), static_cast<TControl*>(pf1)})
    C->OnClick = [](TObject*) { OpenUrlInBrowser(MakerSite().Website); };
  bp2->OnClick = [](TObject*) { OpenUrlInBrowser(MakerSite().HastekitDownload); };
  pf2->OnClick = [](TObject*) { OpenUrlInBrowser(MakerSite().PreviewFixDownload); };
  W->aboutbutton->OnClick = [](TObject*) { ShowAboutBox(); };
  Q->ModifyClick = [this] { modifyclick(nullptr); };
  Q->ShowAddPanel = [this] { W->addstuff->BringToFront(); };
  // The add-on page shows what is installed.
  bp1->SetVisible(!HastekitPresent);
  bp2->SetVisible(!HastekitPresent);
  bp3->SetVisible(HastekitPresent);
  pf1->SetVisible(!PreviewFixPresent);
  pf2->SetVisible(!PreviewFixPresent);
  pf3->SetVisible(PreviewFixPresent);
  skSkinSpinEdit5Change(nullptr);
}

void TOptionPages::ShowMainPage()
{
  W->Panel13->SetVisible(false);
  W->p1->SetVisible(true);
  W->p1->BringToFront();
  W->skSkinSpeedButton8->SetCaption("Global settings");
}

void TOptionPages::ShowSettings()
{
  W->Panel13->SetVisible(true);
  W->p1->SetVisible(false);
  W->Panel13->BringToFront();
  W->skSkinSpeedButton8->SetCaption("Hide settings");
}

void TOptionPages::skSkinSpeedButton4Click(TObject*)
{
  ShowMainPage();
  W->g1->BringToFront();
  W->addstuff->BringToFront();
  if (Converting) W->g2->BringToFront();
}

void TOptionPages::modifyclick(TObject*)
{
  ShowMainPage();
  W->g1->BringToFront();
  Q->modify->BringToFront();
  if (Converting) W->g2->BringToFront();
}

void TOptionPages::skSkinSpeedButton3Click(TObject*)
{
  ShowMainPage();
  W->Panel18->BringToFront();
  if (Converting) W->g2->BringToFront();
}

void TOptionPages::OpenSettingsPage(int Index)
{
  ShowSettings();
  W->skSkinPageControl1->SetActivePageIndex(Index);
}

void TOptionPages::Hidesettings1Click(TObject*) { ShowSettings(); }

void TOptionPages::skSkinCheckRadioBox6Click(TObject*)
{
  W->skTrayIcon1->MinimizeToTray = W->skSkinCheckRadioBox6->GetChecked();
}

void TOptionPages::skSkinnedForm1Minimize(TObject*)
{
  if (W->skSkinCheckRadioBox6->GetChecked()) W->skTrayIcon1->MinimizeToTray = true;
}

void TOptionPages::skSkinCheckRadioBox7Click(TObject*)
{
  if (W->skSkinCheckRadioBox7->GetChecked())
    CreateShortcut(CSIDL_SENDTO, ProductName);
  else
    DeleteShortcut(CSIDL_SENDTO, ProductName);
}

void TOptionPages::skSkinCheckRadioBox8Click(TObject*)
{
  if (W->skSkinCheckRadioBox8->GetChecked())
    CreateShortcut(CSIDL_STARTUP, ProductName);
  else
    DeleteShortcut(CSIDL_STARTUP, ProductName);
}

void TOptionPages::tcpmpClick(TObject*)
{
  OpenUrlInBrowser(ProgramFolder + (W->tcpmp->GetCaption().find("CPMP") != String::npos ? "tcpmp.html" : "wme.html"));
}

void TOptionPages::skSkinSpeedButton7Click(TObject*) { OpenUrlInBrowser(ProgramFolder + "manual.pdf"); }

void TOptionPages::skSkinSpinEdit5Change(TObject* Sender)
{
  W->TForm1::skSkinSpinEdit5Change(Sender);
  W->skSkinStdLabel25->SetCaption("(" + SecondsToHMS(MinTitleSeconds) + ")");
}

void TOptionPages::mencoder2Click(TObject*)
{
  if (HastekitPresent) {
    const bool On = W->mencoder2->GetChecked();
    WindowTitle = AddOnMarked(WindowTitle, On);
    VersionCaption = AddOnMarked(VersionCaption, On);
    W->SetCaption(AddOnMarked(W->GetCaption(), On));
  }
  const bool Shown = HastekitPresent && W->mencoder2->GetChecked();
  W->corelabel->SetVisible(Shown);
  W->corecount->SetVisible(Shown);
}

void TOptionPages::BrowseCommand(bool After)
{
  TskSkinLabel* Label = After ? W->skSkinLabel3 : W->skSkinLabel2;
  TAddFilesDialog* Dialog = ScanHost().FilesDialog;
  if (!Dialog) {
    W->status->SetCaption("No file dialog is available: type nothing, the command stays as it was.");
    return;
  }
  const String Kept = Dialog->InitialDir;
  Dialog->InitialDir = MyDocumentsFolder();
  std::vector<String> Files;
  if (Dialog->Execute("All Files|*.*", "Select File(s)", "Filename", Files) && !Files.empty())
    Label->SetCaption(Files.front());
  Dialog->InitialDir = Kept;
  ApplyOptionControls();
}

void TOptionPages::RunCommandLabel(bool After)
{
  const String Command = (After ? W->skSkinLabel3 : W->skSkinLabel2)->GetCaption();
  if (!Command.empty()) ShellExecuteA(W->GetHandle(), "open", Command.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

String TOptionPages::ContactSubject() const
{
  String Addon = "No Hastekit";
  if (HastekitPresent) Addon = "With Hastekit ";
  if (FfmpegAddonPresent) Addon = "With Hastekit 2";
  if (HastekitPresent) Addon += W->mencoder2->GetChecked() ? " Enabled" : " Installed";
  return VersionCaption + " Support Request (" + W->brand->GetText() + " " + W->model->GetText() + " " + Addon + ")";
}

String TOptionPages::ContactBody()
{
  return "Please look for help on " + MakerSite().Website +
         " first. If your question is not answered there, tell us as much as you can: what you did, what you "
         "expected, what happened instead, and the kind of video or disc you used.";
}

void TOptionPages::Contactus1Click(TObject*)
{
  ShellExecuteA(W->GetHandle(), "open", MailtoUrl(MakerSite().Support, ContactSubject(), ContactBody()).c_str(),
                nullptr, nullptr, SW_SHOWNORMAL);
}

TMenuItem* TOptionPages::MenuItem(std::initializer_list<const char*> Path) const
{
  return Find(MainMenu1->GetItems(), Path);
}

TMenuItem* TOptionPages::PopupItem(std::initializer_list<const char*> Path) const
{
  return Find(PopupMenu1->GetItems(), Path);
}
