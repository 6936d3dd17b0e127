// The parts the extended edit is built from: the shared context menu and its item states, the
// caret object, the pixel width limit, the edit text painter and the property-engine registry.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "XcEditTestSupport.h"
#include "extctrls/XcAppStoragePropertyEngines.h"
#include "extctrls/XcCaret.h"
#include "extctrls/XcEdit.h"
#include "extctrls/XcFixedEditPopUp.h"
#include "extctrls/XcMaxPixel.h"
#include "extctrls/XcToolEdit.h"
#include "platform/rtl/Streams.h"

namespace {

// The enabled states of Undo, Cut, Copy, Paste, Delete and Select All.
using TStates = std::array<bool, 6>;

TStates MenuStates(TWinControl* Edit)
{
  TPopupMenu* Menu = GetReplacementEditPopup(Edit, true);
  TStates S{};
  const int Items[] = {emiUndo, emiCut, emiCopy, emiPaste, emiDelete, emiSelectAll};
  for (int I = 0; I < 6; ++I) S[static_cast<std::size_t>(I)] = Menu->GetItems()->GetItem(Items[I])->GetEnabled();
  return S;
}

struct TMenuCase {
  const char* Name;
  const char* Text;
  int SelStart, SelLength;
  bool ReadOnly;
  bool Undoable;  // a typed change before the selection is set
  TXcClipboardCommands Commands;
  TStates Expected;  // Undo, Cut, Copy, Paste, Delete, Select All
};

constexpr TXcClipboardCommands All = XcAllClipboardCommands;

TEST(XcFixedEditPopUp, ItemStatesFollowTheEditsSelectionReadOnlyStateAndCommands)
{
  const TMenuCase Cases[] = {
      {"selection in a writable edit", "hello", 1, 3, false, false, All, {false, true, true, true, true, true}},
      {"read-only with a selection", "hello", 1, 3, true, false, All, {false, false, true, false, false, true}},
      {"whole text selected", "hello", 0, 5, false, false, All, {false, true, true, true, true, false}},
      {"empty text", "", 0, 0, false, false, All, {false, false, false, true, false, false}},
      {"no selection", "hello", 2, 0, false, false, All, {false, false, false, true, false, true}},
      {"after a change", "hello", 0, 0, false, true, All, {true, false, false, true, false, true}},
      {"without cut and undo", "hello", 1, 3, false, true,
       static_cast<TXcClipboardCommands>(XcCommand(caCopy) | XcCommand(caPaste) | XcCommand(caClear)),
       {false, false, true, true, true, true}},
      {"without clear", "hello", 1, 3, false, false,
       static_cast<TXcClipboardCommands>(XcCommand(caCopy) | XcCommand(caCut) | XcCommand(caPaste)),
       {false, true, true, true, false, true}},
  };
  auto Form = ShownEditForm();
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto* E = new TXcEdit(Form.get());
    E->SetParent(Form.get());
    E->SetClipboardCommands(C.Commands);
    E->SetReadOnly(false);
    E->SetText(C.Text);
    E->ClearUndo();
    if (C.Undoable) E->Perform(WM_CHAR, '!', 0), E->SetText(C.Text), SendMessageA(E->GetHandle(), EM_SETSEL, 5, 5),
        E->Perform(WM_CHAR, 'x', 0), E->Perform(WM_CHAR, 8, 0);
    E->SetReadOnly(C.ReadOnly);
    E->SetSelStart(C.SelStart);
    E->SetSelLength(C.SelLength);
    EXPECT_EQ(MenuStates(E), C.Expected);
    delete E;
  }
}

TEST(XcFixedEditPopUp, AnEditWithoutClipboardCommandsDeletesBySelectionOnly)
{
  auto Form = ShownEditForm();
  auto* E = new TEdit(Form.get());
  E->SetParent(Form.get());
  E->SetText("hello");
  E->SetSelStart(0);
  E->SetSelLength(2);
  EXPECT_EQ(MenuStates(E), (TStates{false, true, true, true, true, true}));
  E->Perform(WM_CLEAR, 0, 0);
  EXPECT_EQ(E->GetText(), "llo");
  delete E;
}

TEST(XcFixedEditPopUp, OneMenuServesTheEditsInTurnAndForgetsADestroyedOne)
{
  auto Form = ShownEditForm();
  auto* A = new TXcEdit(Form.get());
  A->SetParent(Form.get());
  A->SetReadOnly(true);
  auto* B = new TXcEdit(Form.get());
  B->SetParent(Form.get());
  TPopupMenu* MenuA = GetReplacementEditPopup(A, true);
  const bool PasteA = MenuA->GetItems()->GetItem(emiPaste)->GetEnabled();
  TPopupMenu* MenuB = GetReplacementEditPopup(B, true);
  EXPECT_EQ(MenuA, MenuB);
  EXPECT_FALSE(PasteA);
  EXPECT_TRUE(MenuB->GetItems()->GetItem(emiPaste)->GetEnabled()) << "the states of the edit that asked";
  EXPECT_EQ(MenuB->GetPopupComponent(), B);
  delete B;
  EXPECT_EQ(GetHiddenPopupObject()->GetEdit(), nullptr);
  EXPECT_NE(GetHiddenPopupObject()->GetPopupMenu(), nullptr);
  EXPECT_EQ(MenuB->GetPopupComponent(), nullptr);
  delete A;
}

TEST(XcFixedEditPopUp, TheMenuHasTheEditCommandsInOrder)
{
  auto Form = ShownEditForm();
  auto* E = new TXcEdit(Form.get());
  E->SetParent(Form.get());
  TMenuItem* Items = GetReplacementEditPopup(E, false)->GetItems();
  std::vector<String> Captions;
  for (int I = 0; I < Items->GetCount(); ++I) Captions.push_back(Items->GetItem(I)->GetCaption());
  EXPECT_EQ(Captions, (std::vector<String>{"&Undo", "-", "Cu&t", "&Copy", "&Paste", "&Delete", "-", "Select &All"}));
  delete E;
}

TEST(XcFixedEditPopUp, ChosenItemsActOnTheEditThroughItsGating)
{
  struct TCase {
    const char* Name;
    int Item;
    TXcClipboardCommands Commands;
    const char* Text;
    const char* Clipboard;
  };
  const TCase Cases[] = {
      {"cut", emiCut, All, "ho", "ell"},
      {"copy", emiCopy, All, "hello", "ell"},
      {"paste", emiPaste, All, "hPASTEo", "PASTE"},
      {"delete", emiDelete, All, "ho", "PASTE"},
      {"delete refused without caClear", emiDelete,
       static_cast<TXcClipboardCommands>(XcCommand(caCopy) | XcCommand(caCut) | XcCommand(caPaste)), "hello", "PASTE"},
      {"paste refused without caPaste", emiPaste,
       static_cast<TXcClipboardCommands>(XcCommand(caCopy) | XcCommand(caCut)), "hello", "PASTE"},
  };
  auto Form = ShownEditForm();
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto* E = new TXcEdit(Form.get());
    E->SetParent(Form.get());
    E->SetClipboardCommands(C.Commands);
    E->SetText("hello");
    E->SetSelStart(1);
    E->SetSelLength(3);
    SetClipboardText("PASTE");
    GetReplacementEditPopup(E, true)->GetItems()->GetItem(C.Item)->OnClick(nullptr);
    EXPECT_EQ(E->GetText(), C.Text);
    EXPECT_EQ(ClipboardText(), C.Clipboard);
    delete E;
  }
  auto* E = new TXcEdit(Form.get());
  E->SetParent(Form.get());
  E->SetText("hello");
  GetReplacementEditPopup(E, true)->GetItems()->GetItem(emiSelectAll)->OnClick(nullptr);
  EXPECT_EQ(E->GetSelLength(), 5);
  delete E;
}

// An edit that answers the edit operations itself (and logs the commands it gets).
class TOperationsEdit : public TXcEdit, public IXcEditOperations {
public:
  using TXcEdit::TXcEdit;
  HRESULT_T QueryInterface(TIID, void**) override { return XC_E_NOINTERFACE; }
  int _AddRef() override { return -1; }
  int _Release() override { return -1; }
  bool CanUndo() override { return true; }
  bool CanRedo() override { return false; }
  bool CanCut() override { return false; }
  bool CanCopy() override { return true; }
  bool CanPaste() override { return true; }
  bool CanSelectAll() override { return false; }
  bool HasSelection() override { return true; }
  void Undo() override { Log.push_back("undo"); }
  void Redo() override {}
  void Cut() override { Log.push_back("cut"); }
  void Copy() override { Log.push_back("copy"); }
  void Paste() override { Log.push_back("paste"); }
  void Delete() override { Log.push_back("delete"); }
  void SelectAll() override { Log.push_back("select all"); }
  std::vector<std::string> Log;
};

TEST(XcFixedEditPopUp, AnEditOfferingTheOperationsIsAskedInsteadOfSentMessages)
{
  auto Form = ShownEditForm();
  auto* E = new TOperationsEdit(Form.get());
  E->SetParent(Form.get());
  E->SetText("text");
  E->SetClipboardCommands(static_cast<TXcClipboardCommands>(XcCommand(caCopy) | XcCommand(caPaste)));
  // Undo needs caUndo; Cut the operation; Delete follows the operations only.
  EXPECT_EQ(MenuStates(E), (TStates{false, false, true, true, false, false}));
  TMenuItem* Items = GetReplacementEditPopup(E, true)->GetItems();
  for (int I : {emiUndo, emiCut, emiCopy, emiPaste, emiDelete, emiSelectAll}) Items->GetItem(I)->OnClick(nullptr);
  EXPECT_EQ(E->Log, (std::vector<std::string>{"undo", "cut", "copy", "paste", "delete", "select all"}));
  EXPECT_EQ(E->GetText(), "text") << "no message reached the window";
  delete E;
}

// ---- Caret ----

TEST(XcCaret, CannotBeMadeWithoutAnOwner)
{
  try {
    TXcCaret Caret(nullptr);
    FAIL() << "no exception";
  } catch (const EXCLException& E) {
    EXPECT_EQ(E.Message(), "TXcCaret: cannot be created without a valid Owner");
  }
}

TEST(XcCaret, ModesFollowTheLastPropertiesSet)
{
  auto Form = ShownEditForm();
  TXcEdit Owner(nullptr);
  TXcCaret Caret(&Owner);
  EXPECT_TRUE(Caret.IsDefaultMode());
  Caret.SetWidth(4);
  Caret.SetHeight(10);
  EXPECT_FALSE(Caret.IsDefaultMode());
  EXPECT_FALSE(Caret.IsBitmapMode());
  TBitmap Shape;
  Shape.SetSize(3, 8);
  Caret.SetBitmap(&Shape);
  EXPECT_TRUE(Caret.IsBitmapMode()) << "a bitmap resets the size";
  EXPECT_EQ(Caret.GetWidth(), 0);
  Caret.SetWidth(2);
  EXPECT_FALSE(Caret.IsBitmapMode()) << "a size switches back";
  EXPECT_FALSE(Caret.GetBitmap()->Empty()) << "the bitmap stays stored";
}

TEST(XcCaret, ChangesInsideAnUpdateBracketAreReportedOnce)
{
  TXcEdit Owner(nullptr);
  TXcCaret Caret(&Owner);
  int Changes = 0;
  Caret.OnChange = [&](TObject*) { ++Changes; };
  Caret.BeginCaretUpdate();
  Caret.SetWidth(3);
  Caret.SetHeight(9);
  Caret.SetGray(true);
  EXPECT_EQ(Changes, 0);
  Caret.EndCaretUpdate();
  EXPECT_EQ(Changes, 1);
  Caret.SetWidth(3);
  EXPECT_EQ(Changes, 1) << "the same value again is no change";
  TBitmap Empty;
  Caret.SetBitmap(&Empty);
  EXPECT_EQ(Changes, 2) << "a bitmap always reports";

  TXcCaret Source(&Owner);
  Source.SetWidth(5);
  Source.SetHeight(11);
  Changes = 0;
  Caret.Assign(&Source);
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Caret.GetWidth(), 5);
  EXPECT_EQ(Caret.GetHeight(), 11);
  EXPECT_FALSE(Caret.GetGray());
}

TEST(XcCaret, DefaultModeNeverTouchesTheSystemCaretAndOthersNeedTheFocus)
{
  auto Form = ShownEditForm();
  auto* Edit = new TXcEdit(Form.get());
  Edit->SetParent(Form.get());
  auto* Other = new TEdit(Form.get());
  Other->SetParent(Form.get());
  Other->SetTop(60);
  Edit->SetFocus();
  ProcessPendingMessages();
  TXcCaret Caret(Edit);
  Caret.ShowCustomCaret();
  EXPECT_FALSE(Caret.GetCaretCreated());
  POINT P{};
  EXPECT_TRUE(GetCaretPos(&P)) << "the edit's own caret is still there";
  Caret.SetGray(true);
  Caret.SetWidth(2);
  Caret.SetHeight(10);
  Caret.ShowCustomCaret();
  EXPECT_TRUE(Caret.GetCaretCreated());
  Caret.HideCustomCaret();
  EXPECT_FALSE(Caret.GetCaretCreated());
  EXPECT_FALSE(GetCaretPos(&P)) << "destroyed";
  Other->SetFocus();
  ProcessPendingMessages();
  Caret.ShowCustomCaret();
  EXPECT_FALSE(Caret.GetCaretCreated()) << "not focused";
}

TEST(XcCaret, TheBitmapIsStoredOnlyWhenThereIsOne)
{
  TXcEdit Owner(nullptr);
  TXcCaret Caret(&Owner);
  TMemoryStream Empty;
  TXcFilerWriter(&Empty).WriteProperties(Caret);
  EXPECT_EQ(Empty.GetSize(), 0);
  TBitmap Shape;
  Shape.SetSize(2, 6);
  Shape.GetCanvas()->SetPixels(1, 1, clWhite);
  Caret.SetBitmap(&Shape);
  TMemoryStream Stored;
  TXcFilerWriter Writer(&Stored);
  Writer.WriteProperties(Caret);
  Writer.WriteListEnd();
  Stored.SetPosition(0);
  TXcCaret Loaded(&Owner);
  TXcFilerReader(&Stored).ReadProperties(Loaded);
  EXPECT_EQ(Loaded.GetBitmap()->GetWidth(), 2);
  EXPECT_EQ(Loaded.GetBitmap()->GetHeight(), 6);
  EXPECT_EQ(Loaded.GetBitmap()->GetCanvas()->GetPixels(1, 1), clWhite);
}

// ---- Pixel width limit ----

TEST(XcMaxPixel, TrimsFromTheEndUntilTheTextFits)
{
  struct TCase {
    const char* Name;
    int Length;
    const char* Text;
    bool Result;
    const char* Expected;  // nullptr: shorter than the text, not empty
  };
  const TCase Cases[] = {
      {"no limit", 0, "anything at all", true, "anything at all"},
      {"fits", 500, "short", false, "short"},
      {"first character too wide", 3, "WWW", true, ""},
      {"cut", 40, "a long line that cannot fit", true, nullptr},
      {"empty", 10, "", false, ""},
  };
  auto Form = ShownEditForm();
  TEdit Edit(nullptr);
  Edit.SetParent(Form.get());
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TXcMaxPixel Limit(&Edit);
    Limit.SetLength(C.Length);
    String Text = C.Text;
    EXPECT_EQ(Limit.TrimToWidth(Text, Edit.GetFont()), C.Result);
    if (C.Expected) {
      EXPECT_EQ(Text, C.Expected);
    } else {
      EXPECT_FALSE(Text.empty());
      EXPECT_LT(Text.size(), String(C.Text).size());
      EXPECT_EQ(String(C.Text).rfind(Text, 0), 0u);
    }
  }
}

TEST(XcMaxPixel, NeverCutsInsideACharacterAndMeasuresWithTheChosenFont)
{
  auto Form = ShownEditForm();
  TEdit Edit(nullptr);
  Edit.SetParent(Form.get());
  TXcMaxPixel Limit(&Edit);
  Limit.SetLength(20);
  String Text = "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9";
  Limit.TrimToWidth(Text, Edit.GetFont());
  EXPECT_EQ(Text.size() % 2, 0u) << "whole two-byte characters only";

  Limit.SetUseControlFont(false);
  Limit.GetFont()->SetHeight(40);
  String Big = "abc";
  Limit.SetLength(30);
  EXPECT_TRUE(Limit.TrimToWidth(Big, Edit.GetFont())) << "the own, larger font is used";
  EXPECT_LT(Big.size(), 3u);
}

TEST(XcMaxPixel, EveryChangeIsReported)
{
  TEdit Edit(nullptr);
  TXcMaxPixel Limit(&Edit);
  int Changes = 0;
  Limit.OnChange = [&](TObject*) { ++Changes; };
  Limit.SetLength(10);
  Limit.SetLength(10);
  Limit.SetUseControlFont(false);
  Limit.GetFont()->SetName("DejaVu Sans");
  EXPECT_EQ(Changes, 3);
  Limit.SetUseControlFont(true);
  TFont Other;
  Other.SetHeight(33);
  Limit.SetFont(&Other);
  EXPECT_GE(Changes, 5) << "a font change counts also while the control's font is used";
  EXPECT_FALSE(Limit.IsFontStored());
}

// ---- Edit text painting ----

TEST(XcToolEdit, StandardPaintIsLeftToTheWindow)
{
  auto Form = ShownEditForm();
  auto* E = new TEdit(Form.get());
  E->SetParent(Form.get());
  E->SetBounds(10, 10, 200, 24);
  std::unique_ptr<TControlCanvas> Canvas;
  TMessage Msg{WM_PAINT, 0, 0, 0};
  EXPECT_FALSE(PaintEdit(E, "text", taLeftJustify, false, clRed, true, Canvas, Msg));
  EXPECT_EQ(Canvas, nullptr) << "nothing was painted";
  delete E;
}

TEST(XcToolEdit, TextIsPlacedByAlignment)
{
  struct TCase {
    const char* Name;
    TAlignment Alignment;
    bool PopupVisible;
    bool Left, Middle, Right;  // ink in the left, middle and right thirds
  };
  const TCase Cases[] = {
      {"left", taLeftJustify, false, true, false, false},
      {"right", taRightJustify, false, false, false, true},
      {"centre", taCenter, false, false, true, false},
      {"centre with the popup shown", taCenter, true, true, false, false},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto Form = ShownEditForm();
    auto* E = new TEdit(Form.get());
    E->SetParent(Form.get());
    E->SetBounds(10, 10, 240, 24);
    E->GetFont()->SetColor(clBlue);
    ProcessPendingMessages();
    std::unique_ptr<TControlCanvas> Canvas;
    HDC DC = GetDC(E->GetHandle());
    TMessage Msg{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
    EXPECT_TRUE(PaintEdit(E, "MMMM", C.Alignment, C.PopupVisible, clRed, false, Canvas, Msg));
    ReleaseDC(E->GetHandle(), DC);
    const COLORREF Ink = RGB(0, 0, 255);
    EXPECT_EQ(FormHasColor(Form.get(), Rect(12, 12, 90, 32), Ink), C.Left);
    EXPECT_EQ(FormHasColor(Form.get(), Rect(100, 12, 160, 32), Ink), C.Middle);
    EXPECT_EQ(FormHasColor(Form.get(), Rect(170, 12, 248, 32), Ink), C.Right);
  }
}

TEST(XcToolEdit, ADisabledEditorShowsTheDisabledColourOnItsErasedBackground)
{
  auto Form = ShownEditForm();
  auto* E = new TXcEdit(Form.get());
  E->SetParent(Form.get());
  E->SetBounds(10, 10, 200, 24);
  E->SetDisabledColor(clAqua);
  E->SetEnabled(false);
  ProcessPendingMessages();
  std::unique_ptr<TControlCanvas> Canvas;
  HDC DC = GetDC(E->GetHandle());
  TMessage Msg{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  EXPECT_TRUE(PaintEdit(E, "MMMM", taLeftJustify, false, clRed, false, Canvas, Msg));
  ReleaseDC(E->GetHandle(), DC);
  EXPECT_TRUE(FormHasColor(Form.get(), Rect(12, 12, 80, 32), RGB(255, 0, 0)));
  EXPECT_EQ(FormPixel(Form.get(), 150, 20), RGB(0, 255, 255)) << "no brush fill over the erased background";
  delete E;
}

// ---- Property-engine registry ----

class TCountedEngine : public TObject {
public:
  explicit TCountedEngine(std::vector<int>* AOrder, int AId) : Order(AOrder), Id(AId) {}
  ~TCountedEngine() override { Order->push_back(Id); }
  std::vector<int>* Order;
  int Id;
};

TEST(XcAppStoragePropertyEngines, TheRegistryExistsAndFreesItsEnginesLastFirst)
{
  ASSERT_NE(GetPropertyEngineRegistry(), nullptr) << "made at start-up";
  EXPECT_EQ(GetPropertyEngineRegistry()->GetCount(), 0);
  std::vector<int> Order;
  {
    TXcAppStoragePropertyEngineList List;
    for (int I = 1; I <= 3; ++I) List.Add(new TCountedEngine(&Order, I));
  }
  EXPECT_EQ(Order, (std::vector<int>{3, 2, 1}));
}

}  // namespace
