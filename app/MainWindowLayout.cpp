// The main window's layout: a window of 1000 x 700 (fits a 1024 x 768 screen with its frame).
// Left column: build tag, settings toggle, add and about buttons, profile, device and output
// folder. Right of it the main page: the source queue or the job list above, the add buttons
// with the skip list and the device panel below; the settings pages take the main page's place.
// Bottom bar: status line, gauge and the run buttons; under it the status bar.
#include <utility>

#include "app/FormSkin.h"
#include "app/MainWindow.h"

namespace {

constexpr int WindowWidth = 1000, WindowHeight = 700;
constexpr int LeftWidth = 210, PageWidth = WindowWidth - LeftWidth - 4, PageHeight = 636;
constexpr int GridHeight = 318, LowerTop = GridHeight + 4, LowerHeight = PageHeight - LowerTop;

void Place(TControl* C, TWinControl* Parent, int Left, int Top, int Width, int Height)
{
  C->SetParent(Parent);
  C->SetBounds(Left, Top, Width, Height);
}

template <class T>
T* Make(TForm* Owner, TWinControl* Parent, const char* Name, int Left, int Top, int Width, int Height)
{
  auto* C = new T(Owner);
  C->SetName(Name);
  if (C->GetText() == Name) C->SetText("");
  Place(C, Parent, Left, Top, Width, Height);
  return C;
}

TskSkinStdLabel* Caption(TForm* Owner, TWinControl* Parent, const String& Text, int Left, int Top, int Width = 200)
{
  auto* L = new TskSkinStdLabel(Owner);
  L->SetCaption(Text);
  Place(L, Parent, Left, Top + 3, Width, 18);
  return L;
}

TskSkinSpeedButton* Button(TForm* Owner, TWinControl* Parent, const char* Name, const char* Text, int Left, int Top,
                           int Width = 120)
{
  auto* B = Make<TskSkinSpeedButton>(Owner, Parent, Name, Left, Top, Width, 24);
  B->SetCaption(Text);
  B->SetSkinDataName("button");
  return B;
}

// Options on a settings page, one under the other.
struct TPageColumn {
  TWinControl* Page;
  int Left = 16, Top = 16;
  void Add(TControl* C, int Width = 420, int Height = 22)
  {
    Place(C, Page, Left, Top, Width, Height);
    Top += Height + 6;
  }
  // A caption with its control on the same line.
  void Add(TForm* Owner, const String& Text, TControl* C, int Width = 200, int Height = 22)
  {
    Caption(Owner, Page, Text, Left, Top, 230);
    Place(C, Page, Left + 236, Top, Width, Height);
    Top += Height + 6;
  }
};

}  // namespace

void TMainWindow::MakeWindowControls()
{
  SetClientWidth(WindowWidth);
  SetClientHeight(WindowHeight);
  leftcol = Make<TskSkinPanel>(this, this, "leftcol", 0, 0, LeftWidth, PageHeight);
  Panel2 = Make<TskSkinPanel>(this, this, "Panel2", LeftWidth + 4, 0, PageWidth, PageHeight);
  Panel13 = Make<TskSkinPanel>(this, Panel2, "Panel13", 0, 0, PageWidth, PageHeight);
  p2 = Make<TskSkinPanel>(this, Panel13, "p2", 0, 0, PageWidth, PageHeight);
  skSkinPageControl1 = Make<TskSkinPageControl>(this, p2, "skSkinPageControl1", 0, 0, PageWidth, PageHeight);
  Panel3 = Make<TskSkinPanel>(this, this, "Panel3", 0, PageHeight, WindowWidth, 40);
  skSkinStatusBar2 = Make<TskSkinStatusBar>(this, this, "skSkinStatusBar2", 0, PageHeight + 40, WindowWidth,
                                            WindowHeight - PageHeight - 40);
  skSkinStatusPanel1 =
      Make<TskSkinStatusPanel>(this, skSkinStatusBar2, "skSkinStatusPanel1", WindowWidth - 120, 2, 116, 20);
  skSkinStatusPanel1->SetCaption("CPU:");

  timerstatusx = Make<TskSkinStdLabel>(this, leftcol, "timerstatusx", 8, 6, 194, 18);
  skSkinSpeedButton4 = Button(this, leftcol, "skSkinSpeedButton4", "Add videos", 8, 54, 194);
  aboutbutton = Button(this, leftcol, "aboutbutton", "About", 8, 82, 194);

  addstuff = Make<TskSkinPanel>(this, p1, "addstuff", 0, LowerTop, 380, LowerHeight);
  blank1 = Make<TskSkinPanel>(this, p1, "blank1", 0, LowerTop, 380, LowerHeight);
  blank2 = Make<TskSkinPanel>(this, p1, "blank2", 0, LowerTop, 380, LowerHeight);
  Panel18 = Make<TskSkinPanel>(this, p1, "Panel18", 384, LowerTop, PageWidth - 384, LowerHeight);
  dqpanel = Make<TskSkinPanel>(this, Panel18, "dqpanel", 0, 0, 10, 10);
  dqpanel->SetVisible(false);
  skSkinshellDriveComboBox1 = Make<TskSkinDriveComboBox>(this, dqpanel, "skSkinshellDriveComboBox1", 0, 0, 145, 21);
  skSkinshellDriveComboBox1->SetSkinDataName("combobox");
  skSkinshellDriveComboBox1->SetStyle(spcbFixedStyle);
  skSkinshellDriveComboBox1->SetSorted(true);
  skSkinshellDriveComboBox1->SetTextCase(tcLowerCase);
  skSkinSpeedButton1 = Button(this, addstuff, "skSkinSpeedButton1", "Add file(s)", 8, 8);
  skSkinSpeedButton2 = Button(this, addstuff, "skSkinSpeedButton2", "Add folder", 132, 8);
  skSkinSpeedButton6 = Button(this, addstuff, "skSkinSpeedButton6", "Scan DVD(s)", 256, 8);
  skSkinSpeedButton13 = Button(this, history, "skSkinSpeedButton13", "Add all", 4, 0, 100);
  skSkinSpeedButton17 = Button(this, history, "skSkinSpeedButton17", "Add selected", 108, 0, 100);

  // Settings pages.
  const char* const Pages[] = {"General", "Language", "DVD", "Conversion", "Automation",
                               "Version Info", "Device list", "Hastekit", "Advanced"};
  TskSkinTabSheet* Sheet[9];
  for (int I = 0; I < 9; ++I) {
    Sheet[I] = new TskSkinTabSheet(this);
    Sheet[I]->SetPageControl(skSkinPageControl1);
    Sheet[I]->SetCaption(Pages[I]);
  }
  skSkinPageControl1->SetActivePageIndex(0);
  skSkinStdLabel14 = Make<TskSkinStdLabel>(this, Sheet[4], "skSkinStdLabel14", 560, 0, 120, 18);
  skSkinStdLabel25 = Make<TskSkinStdLabel>(this, Sheet[2], "skSkinStdLabel25", 560, 0, 120, 18);
  speedbutton2 = Button(this, Sheet[4], "speedbutton2", "File History", 0, 0);
  skSkinStdLabel54 = Make<TskSkinStdLabel>(this, Sheet[5], "skSkinStdLabel54", 16, 16, 400, 18);
  skSkinSpeedButton14 = Button(this, Sheet[5], "skSkinSpeedButton14", "Start over", 16, 48);
  skSkinSpeedButton11 = Button(this, Sheet[5], "skSkinSpeedButton11", "Reset to defaults", 144, 48, 140);
  corelabel = Make<TskSkinStdLabel>(this, Sheet[7], "corelabel", 0, 0, 200, 18);
  corelabel->SetCaption("Processor count:");
  skSkinSpeedButton20 = Button(this, Sheet[8], "skSkinSpeedButton20", "Browse", 0, 0, 70);
  skSkinSpeedButton23 = Button(this, Sheet[8], "skSkinSpeedButton23", "Clear", 0, 0, 70);
  skSkinSpeedButton22 = Button(this, Sheet[8], "skSkinSpeedButton22", "Browse", 0, 0, 70);
  skSkinSpeedButton24 = Button(this, Sheet[8], "skSkinSpeedButton24", "Clear", 0, 0, 70);
}

void TMainWindow::LayOut()
{
  TskSkinTabSheet* Sheet[9];
  for (int I = 0; I < 9; ++I) Sheet[I] = static_cast<TskSkinTabSheet*>(skSkinPageControl1->GetPage(I));

  // ---- Left column ----
  Place(skSkinSpeedButton8, leftcol, 8, 26, 194, 24);
  Caption(this, leftcol, "Conversion profile:", 8, 112);
  Place(Panel6, leftcol, 4, 130, 202, 30);
  Place(profilebox, Panel6, 4, 4, 194, 22);
  Place(skSkinSpeedButton10, leftcol, 8, 164, 194, 24);
  Caption(this, leftcol, "Video Player device:", 8, 198);
  Place(brand, leftcol, 8, 218, 194, 22);
  Place(model, leftcol, 8, 244, 194, 22);
  Place(tcpmp, leftcol, 8, 270, 194, 24);
  xcedit2->SetParent(leftcol);
  Caption(this, leftcol, "Video output folder:", 8, 300);
  Place(xcedit2, leftcol, 8, 322, 194, 34);
  Place(SpeedButton4, leftcol, 8, 360, 94, 24);
  Place(skSkinSpeedButton25, leftcol, 108, 360, 94, 24);

  // ---- Main page: the queues above, the lower panels below ----
  Place(p1, Panel2, 0, 0, PageWidth, PageHeight);
  Place(g1, p1, 0, 0, PageWidth, GridHeight);
  Place(g2, p1, 0, 0, PageWidth, GridHeight);
  Place(StringGrid1, g1, 0, 0, PageWidth, GridHeight);
  Place(convertgrid, g2, 0, 0, PageWidth, GridHeight);
  g1->BringToFront();
  Place(log, blank1, 4, 4, 372, LowerHeight - 36);
  Place(Edit1, blank1, 4, LowerHeight - 28, 372, 22);
  Place(history, addstuff, 4, 40, 372, LowerHeight - 44);
  Place(skiplist, history, 4, 28, 364, LowerHeight - 80);
  Place(dq, dqpanel, 0, 0, 10, 10);

  // The device panel: captions with their controls on the left, frame rate, volume and "Add
  // device" on the right, the multi-device list below.
  TPageColumn A{Panel18, 8, 8};
  for (auto [Text, C] : {std::pair<const char*, TControl*>{"Player Screensize:", screensize},
                         {"Video quality (Kbps):", vq}, {"Sound quality (Kbps):", aq}, {"Conversion format:", codec},
                         {"Audio mode:", ac}, {"Video mode:", pass}}) {
    Caption(this, Panel18, Text, 8, A.Top, 128);
    Place(C, Panel18, 138, A.Top, 104, 22);
    A.Top += 28;
  }
  Place(skSkinCheckRadioBox9, Panel18, 8, A.Top, 128, 22);
  Place(rating, Panel18, 138, A.Top, 104, 22);
  const int Right = 252;
  Caption(this, Panel18, "Framerate:", Right, 6, 100);
  Place(frps, Panel18, Right, 26, 110, 28);
  Place(skSkinStdLabel16, Panel18, Right + 114, 32, 30, 18);
  Caption(this, Panel18, "Volume:", Right, 60, 100);
  Place(XcTrackBar1, Panel18, Right, 80, 110, 28);
  Place(skSkinStdLabel13, Panel18, Right + 114, 86, 30, 18);
  Place(SpeedButton5, Panel18, Right, 120, 140, 24);
  for (TskSkinSpeedButton* B : {SpeedButton4, skSkinSpeedButton25, SpeedButton5, skSkinSpeedButton5, skSkinSpeedButton18,
                                skSkinSpeedButton8, skSkinSpeedButton10, tcpmp})
    B->SetSkinDataName("button");
  Place(Panel11, Panel18, 4, 236, PageWidth - 392, 74);
  Caption(this, Panel11, "Multi-device list:", 4, 0, 200);
  Place(multidevicebox, Panel11, 4, 20, 190, 22);
  Place(skSkinSpeedButton5, Panel11, 200, 20, 90, 24);
  Place(skSkinSpeedButton18, Panel11, 296, 20, 90, 24);
  Place(radiobutton4, Panel11, 4, 48, 180, 22);
  Place(RadioButton5, Panel11, 190, 48, 196, 22);

  // ---- Bottom bar and status bar ----
  Place(status, Panel3, 8, 11, 380, 18);
  Place(progressbar1, Panel3, 396, 10, 300, 20);
  Place(cbuttons, Panel3, WindowWidth - 296, 2, 292, 36);
  for (int I = 0; I < 4; ++I) {
    TskSkinButton* B[] = {b1, b2, b3, b4};
    Place(B[I], cbuttons, 4 + I * 72, 4, 68, 28);
  }
  Place(skip2, cbuttons, 4 + 72, 4, 68, 28);
  cbuttons->SetVisible(true);
  Place(spaceleft, skSkinStatusBar2, 4, 2, 420, 20);
  Place(spskinlabel1, Sheet[6], 16, PageHeight - 60, 500, 20);

  // ---- Settings pages ----
  TPageColumn General{Sheet[0]};
  for (TControl* C : {checkbox9, checkbox11, checkbox10, skSkinCheckRadioBox4, skSkinCheckRadioBox8, skSkinCheckRadioBox5,
                      skSkinCheckRadioBox6, skSkinCheckRadioBox7, skSkinCheckRadioBox12, skSkinCheckRadioBox13,
                      videofolder})
    General.Add(C);
  TPageColumn Language{Sheet[1]};
  Language.Add(cc);
  Language.Add(checkbox4);
  Language.Add(this, "First language:", combobox4);
  Language.Add(this, "Second language:", combobox5);
  Language.Add(checkbox5);
  Language.Add(this, "First language:", combobox6);
  Language.Add(this, "Second language:", combobox7);
  for (TControl* C : {checkbox7, checkbox8, radiobutton6}) Language.Add(C);
  TPageColumn Dvd{Sheet[2]};
  Dvd.Add(episodes);
  Dvd.Add(this, "Minimum playtime for DVD selections", skSkinSpinEdit5, 100);
  Place(skSkinStdLabel25, Sheet[2], 360, Dvd.Top - 25, 120, 18);
  for (TControl* C : {deint, vobmark, dvdnav}) Dvd.Add(C);
  TPageColumn Conversion{Sheet[3]};
  Conversion.Add(prioritybox1, 260);
  Conversion.Add(skSkinCheckRadioBox10);
  Conversion.Add(skSkinCheckRadioBox4x, 120);
  Place(limit, Sheet[3], 150, Conversion.Top - 28, 70, 22);
  Caption(this, Sheet[3], "minute of each file", 228, Conversion.Top - 28, 200);
  for (TControl* C : {radiobutton1, radiobutton3, radiobutton2, radiobutton4x, radiobutton12, savestatus})
    Conversion.Add(C);
  TPageColumn Automation{Sheet[4]};
  Automation.Add(checkbox2);
  Automation.Add(checkbox12);
  Automation.Add(this, "Check for new files every", monitorvalue, 80);
  Caption(this, Sheet[4], "Minutes", 340, Automation.Top - 28, 60);
  Place(skSkinStdLabel14, Sheet[4], 410, Automation.Top - 25, 120, 18);
  Automation.Add(checkbox13);
  Automation.Add(speedbutton2, 120, 24);
  Place(devicelist, Sheet[6], 16, 16, PageWidth - 40, PageHeight - 90);
  TPageColumn Hastekit{Sheet[7]};
  Hastekit.Add(mencoder2);
  Place(corelabel, Sheet[7], 16, Hastekit.Top + 3, 200, 18);
  Place(corecount, Sheet[7], 252, Hastekit.Top, 80, 22);
  Hastekit.Top += 28;
  Hastekit.Add(mplayer2);
  Hastekit.Add(detect2);
  TPageColumn Advanced{Sheet[8]};
  for (TControl* C : {selfexit, checkbox1, finuse, askscan}) Advanced.Add(C);
  Advanced.Add(this, "AVCHD Camera Framerate:", fpstext, 140);
  Caption(this, Sheet[8], " Run before conversion:", 16, Advanced.Top, 200);
  Place(skSkinSpeedButton20, Sheet[8], 252, Advanced.Top, 70, 24);
  Place(skSkinSpeedButton23, Sheet[8], 328, Advanced.Top, 70, 24);
  Place(skSkinLabel2, Sheet[8], 404, Advanced.Top, 340, 22);
  Advanced.Top += 30;
  Caption(this, Sheet[8], " Run after conversion:", 16, Advanced.Top, 200);
  Place(skSkinSpeedButton22, Sheet[8], 252, Advanced.Top, 70, 24);
  Place(skSkinSpeedButton24, Sheet[8], 328, Advanced.Top, 70, 24);
  Place(skSkinLabel3, Sheet[8], 404, Advanced.Top, 340, 22);
  Advanced.Top += 30;
  Place(skSkinCheckRadioBox14, Sheet[8], 16, Advanced.Top, 200, 22);
  Place(skSkinSpinEdit6, Sheet[8], 252, Advanced.Top, 80, 22);

  SkinForm(this);
}
