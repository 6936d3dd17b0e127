// The editing panel and the option pages of the program's main window on a private Xvfb, used
// with the pointer and the keys (XTest): a queued row clicked and its output name edited (a "/"
// typed is cleaned), a batch rename with a letter refused by the number box, the settings shown
// and a page chosen by its tab, an option ticked with the pointer. Every settings page and the
// editing panel join the gallery as screenshots of the window.
#include <gtest/gtest.h>

#include "app/QueueEditPanel.h"
#include "core/SourceRow.h"
#include "platform/display/Screenshot.h"
#include "platform/rtl/Convert.h"
#include "tests/app/ProgramHomeTest.h"
#include "tests/extctrls/XTestInput.h"
#include "tests/support/XvfbChildRun.h"

namespace {

constexpr const char* ServerVariable = "QV_QUEUE_EDIT_X11";

void ClickAt(TXTestInput& Input, TControl* C, const TPoint& Client)
{
  const TPoint P = C->ClientToScreen(Client);
  Input.Click(P.x, P.y, 1);
}

void ClickCentre(TXTestInput& Input, TControl* C)
{
  ClickAt(Input, C, Point(C->GetWidth() / 2, C->GetHeight() / 2));
}

class TQueueEditX11 : public TProgramHomeTest {};

TEST_F(TQueueEditX11, ARowEditedRenamedAndAnOptionTickedWithThePointerAndKeys)
{
  const TXvfbChild Where = RunOnXvfbChild(ServerVariable, [&](const char* Server, TDisplayBackend* Display) {
    TXTestInput Input(Server);
    ASSERT_TRUE(Input.Ok());
    ASSERT_TRUE(Start()) << Failure;
    TMainWindow* M = W();
    TQueueEditPanel* P = M->QueueEdit.get();
    TskSkinStringGrid* G = M->StringGrid1;
    std::vector<String> Told;
    P->Report = [&](const String& Text) { Told.push_back(Text); };
    G->SetRowCount(4);
    for (int R = 1; R < 4; ++R) {
      G->SetCells(scNumber, R, IntToStr(R));
      G->SetCells(scType, R, "VIDEO");
      G->SetCells(scOutputName, R, "clip" + IntToStr(R));
      G->SetCells(scConvert, R, R == 2 ? "No" : "Yes");
      G->SetCells(scChapters, R, "6");
    }
    M->SetBounds(0, 0, M->GetWidth(), M->GetHeight());
    M->Show();
    PumpDisplay(Display, 30);

    // A click on row 2 loads it into the panel, which comes to the front.
    const TRect Cell = G->CellRect(scOutputName, 2);
    ClickAt(Input, G, Point((Cell.left + Cell.right) / 2, (Cell.top + Cell.bottom) / 2));
    ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return P->edit2->GetText() == "clip2"; })) << P->edit2->GetText();
    EXPECT_FALSE(P->checkbox3->GetChecked());
    EXPECT_TRUE(P->scenes->GetVisible());
    const String Gallery = String(QV_TEST_BIN_DIR) + "/../app-queue-edit-panel.png";
    PumpDisplay(Display, 10);
    EXPECT_TRUE(SaveWindowPng(*Display, GetDisplayWindow(M->GetHandle()), Gallery));

    // The name typed at its end; a "/" becomes a blank with a message.
    ClickCentre(Input, P->edit2);
    ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return P->edit2->Focused(); }));
    Input.Key("End");
    Input.Key("x");
    ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return G->GetCells(scOutputName, 2) == "clip2x"; }))
        << G->GetCells(scOutputName, 2);
    Input.Key("slash");
    Input.Key("y");
    ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return G->GetCells(scOutputName, 2) == "clip2x y"; }))
        << G->GetCells(scOutputName, 2);
    EXPECT_FALSE(Told.empty());
    // The convert flag ticked with the pointer.
    ClickAt(Input, P->checkbox3, Point(8, P->checkbox3->GetHeight() / 2));
    ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return G->GetCells(scConvert, 2) == "Yes"; }));
    // The chapter spin's up button writes the chapter and ticks "Start scene:".
    TskSkinSpinEdit* Spin = P->skSkinSpinEdit2;
    const TRect Up = Spin->GetButtonRect(0);
    ClickAt(Input, Spin, Point((Up.left + Up.right) / 2, (Up.top + Up.bottom) / 2));
    ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return G->GetCells(scStartAtChapter, 2) == "Yes"; }));
    EXPECT_NE(G->GetCells(scLastChapter, 2), "");

    // Batch rename: a letter typed in the number box is refused; "Rename" numbers every row.
    ClickCentre(Input, P->skSkinEdit2);
    ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return P->skSkinEdit2->Focused(); }));
    Input.Key("End");
    Input.Key("a");
    Input.Key("5");
    ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return P->skSkinEdit2->GetText() == "015"; }))
        << P->skSkinEdit2->GetText();
    ClickCentre(Input, P->skSkinSpeedButton19);
    ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return G->GetCells(scOutputName, 3) == "tvshow s01e017"; }))
        << G->GetCells(scOutputName, 3);
    EXPECT_EQ(G->GetCells(scOutputName, 1), "tvshow s01e015");
    EXPECT_EQ(G->GetCells(scOutputName, 2), "tvshow s01e016");

    // "Global settings", then each page by its tab; every page joins the gallery.
    ClickCentre(Input, M->skSkinSpeedButton8);
    ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return M->Panel13->GetVisible(); }));
    TskSkinPageControl* Pages = M->skSkinPageControl1;
    const char* const Names[] = {"general", "language", "dvd", "conversion", "automation",
                                 "version", "devices", "hastekit", "advanced"};
    for (int I = 8; I >= 0; --I) {
      const TRect Tab = Pages->TabRect(I);
      ClickAt(Input, Pages, Point((Tab.left + Tab.right) / 2, (Tab.top + Tab.bottom) / 2));
      ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return Pages->GetActivePageIndex() == I; })) << Names[I];
      PumpDisplay(Display, 10);
      EXPECT_TRUE(SaveWindowPng(*Display, GetDisplayWindow(M->GetHandle()),
                                String(QV_TEST_BIN_DIR) + "/../app-settings-" + Names[I] + ".png"))
          << Names[I];
    }
    // On "General" (in front now): "Eject DVD when done" unticked with the pointer.
    ASSERT_TRUE(M->checkbox11->GetChecked());
    ClickAt(Input, M->checkbox11, Point(8, M->checkbox11->GetHeight() / 2));
    ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return !M->checkbox11->GetChecked(); }));
    M->ExitApp();
    DestroyProgramWindows();
    const std::string Settings = ReadBytes(Home + ".local/share/Quelvo3/settings.txt");
    EXPECT_NE(Settings.find("DontEject\r\n"), std::string::npos) << Settings;
  }, false);
  if (Where == TXvfbChild::NoServer) GTEST_SKIP() << "Xvfb is not available";
}

}  // namespace
