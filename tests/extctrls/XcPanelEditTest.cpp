#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ExtctrlsTestSupport.h"
#include "extctrls/XcEdit.h"
#include "extctrls/XcPanel.h"

namespace {

struct TBoundsCase {
  const char* Name;
  int Left, Top, Width, Height;
  std::vector<std::string> Events;  // raised, in order
};

TEST(XcPanel, SizeEventsFollowOnlyRealSizeChanges)
{
  const TBoundsCase Cases[] = {
      {"same bounds", 10, 10, 100, 40, {}},
      {"moved only", 20, 30, 100, 40, {}},
      {"wider", 10, 10, 150, 40, {"width", "parent"}},
      {"taller", 10, 10, 100, 60, {"height", "parent"}},
      {"both", 10, 10, 120, 70, {"width", "height", "parent"}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto P = std::make_unique<TXcPanel>(nullptr);
    P->SetParent(HostForm());
    P->SetBounds(10, 10, 100, 40);
    std::vector<std::string> Seen;
    P->OnWidthChanged = [&](TObject*) { Seen.push_back("width"); };
    P->OnHeightChanged = [&](TObject*) { Seen.push_back("height"); };
    P->OnParentResize = [&](TObject*) { Seen.push_back("parent"); };
    P->SetBounds(C.Left, C.Top, C.Width, C.Height);
    EXPECT_EQ(Seen, C.Events);
    EXPECT_EQ(P->GetWidth(), C.Width);
    EXPECT_EQ(P->GetHeight(), C.Height);
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
