#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ExtctrlsTestSupport.h"
#include "extctrls/XcEdit.h"
#include "extctrls/XcPanel.h"

namespace {

// One size change and the events it raises, in order.
struct TSizeCase {
  const char* Name;
  bool Width;  // SetWidth, else SetHeight
  int Value;
  bool ResizeParentHandler;
  std::vector<std::string> Events;
};

TEST(XcPanel, SizeEventsFollowOnlyRealSizeChanges)
{
  const TSizeCase Cases[] = {
      {"same width", true, 100, true, {}},
      {"same height", false, 40, true, {}},
      {"wider", true, 150, false, {"width 150"}},
      {"taller", false, 60, false, {"height 60"}},
      {"wider, with a parent handler", true, 120, true, {"width 120", "parent 10,20 120x40"}},
      {"lower, with a parent handler", false, 30, true, {"height 30", "parent 10,20 100x30"}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto P = std::make_unique<TXcPanel>(nullptr);
    P->SetParent(HostForm());
    P->SetBounds(10, 20, 100, 40);
    std::vector<std::string> Seen;
    P->OnChangedWidth = [&](TObject*, int V) { Seen.push_back("width " + std::to_string(V)); };
    P->OnChangedHeight = [&](TObject*, int V) { Seen.push_back("height " + std::to_string(V)); };
    if (C.ResizeParentHandler)
      P->OnResizeParent = [&](TObject*, int L, int T, int W, int H) {
        Seen.push_back("parent " + std::to_string(L) + "," + std::to_string(T) + " " + std::to_string(W) + "x" +
                       std::to_string(H));
      };
    P->SetBounds(10, 20, 100, 40);  // bounds alone raise nothing
    if (C.Width)
      P->SetWidth(C.Value);
    else
      P->SetHeight(C.Value);
    EXPECT_EQ(Seen, C.Events);
    EXPECT_EQ(C.Width ? P->GetWidth() : P->GetHeight(), C.Value);
  }
}

TEST(XcPanel, SizeWithoutHandlers)
{
  auto P = std::make_unique<TXcPanel>(nullptr);
  P->SetParent(HostForm());
  P->SetWidth(77);
  P->SetHeight(33);
  EXPECT_EQ(P->GetWidth(), 77);
  EXPECT_EQ(P->GetHeight(), 33);
}

TEST(XcEdit, KeepsTextAndVisibility)
{
  auto E = std::make_unique<TXcEdit>(nullptr);
  E->SetParent(HostForm());
  E->SetVisible(false);
  E->SetText("mencoder \"a b.avi\" -o out.avi");
  EXPECT_EQ(E->GetText(), "mencoder \"a b.avi\" -o out.avi");
  EXPECT_FALSE(E->GetVisible());
}

}  // namespace
