#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "extctrls/XcComponentBase.h"
#include "extctrls/XcComponentUtils.h"
#include "extctrls/XcTypes.h"
#include "extctrls/XcUtilityWindow.h"
#include "ExtctrlsTestSupport.h"
#include "platform/rtl/Thread.h"

namespace {

LRESULT OtherProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) { return DefWindowProcA(Wnd, Msg, W, L); }

WNDPROC ClassProc(const char* Name)
{
  WNDCLASSA C{};
  return GetClassInfoA(nullptr, Name, &C) ? C.lpfnWndProc : nullptr;
}

}  // namespace

TEST(XcUtilityWindow, RegistersItsClassOnceAndTakesOverAClassOfAnotherProcedure)
{
  EnsureHeadless();
  HWND A = CreateUtilityWindow("");
  HWND B = CreateUtilityWindow("");
  ASSERT_NE(A, nullptr);
  ASSERT_NE(B, nullptr);
  EXPECT_EQ(ClassProc("TPUtilWindowEx"), DefWindowProcA);
  EXPECT_EQ(GetWindowLongA(A, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, static_cast<LONG>(WS_EX_TOOLWINDOW));
  EXPECT_FALSE(IsWindowVisible(A));
  // Without a method: no slots, the default procedure answers.
  EXPECT_EQ(GetWindowLongPtrA(A, XcUtilityWindowMethodSlot), 0);
  EXPECT_EQ(GetWindowLongPtrA(A, XcUtilityWindowObjectSlot), 0);
  EXPECT_EQ(SendMessageA(A, WM_USER + 7, 1, 2), 0);
  DestroyUtilityWindow(A);
  DestroyUtilityWindow(B);
  EXPECT_FALSE(IsWindow(A));
  EXPECT_EQ(ClassProc("TPUtilWindowEx"), DefWindowProcA);  // the class stays

  WNDCLASSA Other{};
  Other.lpfnWndProc = OtherProc;
  Other.lpszClassName = "QvOtherUtilClass";
  UnregisterClassA("QvOtherUtilClass", nullptr);
  ASSERT_NE(RegisterClassA(&Other), 0);
  HWND C = CreateUtilityWindow("QvOtherUtilClass");
  ASSERT_NE(C, nullptr);
  EXPECT_EQ(ClassProc("QvOtherUtilClass"), DefWindowProcA);
  DestroyUtilityWindow(C);
}

TEST(XcUtilityWindow, MessagesPostedFromWorkersReachTheMethodInOrderOnTheGuiThread)
{
  EnsureHeadless();
  struct TSeen {
    UINT Msg;
    WPARAM W;
    LPARAM L;
    Cardinal Thread;
  };
  std::vector<TSeen> Seen;
  HWND Wnd = CreateUtilityWindow("", [&](TMessage& M) {
    if (M.Msg >= WM_USER) {
      Seen.push_back({M.Msg, M.WParam, M.LParam, GetCurrentThreadId()});
      if (M.Msg == WM_USER + 3) M.Result = 42;
    } else {
      M.Result = DefWindowProcA(nullptr, M.Msg, M.WParam, M.LParam);
    }
  });
  ASSERT_NE(Wnd, nullptr);
  EXPECT_NE(GetWindowLongPtrA(Wnd, XcUtilityWindowMethodSlot), 0);
  std::thread Worker([&] {
    for (int I = 0; I < 100; ++I)
      EXPECT_TRUE(PostMessageA(Wnd, WM_USER + 1 + I % 2, static_cast<WPARAM>(I), -I));
  });
  Worker.join();
  ProcessPendingMessages();
  ASSERT_EQ(Seen.size(), 100u);
  for (int I = 0; I < 100; ++I) {
    EXPECT_EQ(Seen[I].Msg, static_cast<UINT>(WM_USER + 1 + I % 2));
    EXPECT_EQ(Seen[I].W, static_cast<WPARAM>(I));
    EXPECT_EQ(Seen[I].L, -I);
    EXPECT_EQ(Seen[I].Thread, GetCurrentThreadId());
  }
  EXPECT_EQ(SendMessageA(Wnd, WM_USER + 3, 0, 0), 42);
  EXPECT_EQ(SendMessageA(Wnd, WM_USER + 4, 0, 0), 0);  // left alone: the preset Result
  DestroyUtilityWindow(Wnd);
}

TEST(XcComponentUtils, CheckOSResultRaisesTheLastOSError)
{
  EXPECT_TRUE(CheckOSResult(true));
  SetLastError(0);
  try {
    CheckOSResult(false);
    FAIL();
  } catch (const EOSError& E) {
    EXPECT_STREQ(E.what(), "A call to an OS function failed");
  }
  SetLastError(5);
  try {
    CheckOSResult(false);
    FAIL();
  } catch (const EOSError& E) {
    EXPECT_EQ(E.Message(), "System Error.  Code: 5.\r\n" + SysErrorMessage(5));
    EXPECT_EQ(E.ErrorCode, 5u);
  }
}

namespace {

class TWatcher : public TComponent {
public:
  using TComponent::TComponent;
  TComponent* Target = nullptr;
  std::vector<TComponent*> Removed;
  void Notification(TComponent* C, TOperation Op) override
  {
    TComponent::Notification(C, Op);
    if (Op == opRemove) {
      Removed.push_back(C);
      if (C == Target) Target = nullptr;
    }
  }
};

}  // namespace

TEST(XcComponentUtils, SwapComponentReferenceKeepsFreeNotificationWithTheCurrentReference)
{
  TWatcher Owner(nullptr);
  auto* First = new TComponent(nullptr);
  auto* Second = new TComponent(nullptr);
  EXPECT_FALSE(SwapComponentReference(nullptr, First, Owner.Target));  // no owner
  EXPECT_TRUE(SwapComponentReference(&Owner, First, Owner.Target));
  EXPECT_FALSE(SwapComponentReference(&Owner, First, Owner.Target));  // the same
  EXPECT_TRUE(SwapComponentReference(&Owner, Second, Owner.Target));
  delete First;  // no longer referenced: no notice
  EXPECT_TRUE(Owner.Removed.empty());
  delete Second;
  EXPECT_EQ(Owner.Removed, (std::vector<TComponent*>{Second}));
  EXPECT_EQ(Owner.Target, nullptr);
}

TEST(XcComponentUtils, RemovePendingMessageNeverLosesAQuitRequest)
{
  EnsureHeadless();
  HWND Wnd = CreateUtilityWindow("");
  PostMessageA(Wnd, WM_USER + 9, 0, 0);
  PostMessageA(Wnd, WM_USER + 9, 1, 0);
  RemovePendingMessage(Wnd, WM_USER + 9);
  MSG M;
  ASSERT_TRUE(PeekMessageA(&M, Wnd, WM_USER + 9, WM_USER + 9, PM_REMOVE));
  EXPECT_EQ(M.wParam, 1u);

  PostQuitMessage(3);
  RemovePendingMessage(nullptr, WM_QUIT);
  ASSERT_TRUE(PeekMessageA(&M, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(M.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(M.wParam, 3u);
  DestroyUtilityWindow(Wnd);
}

TEST(XcComponentUtils, RectAndMemoryHelpers)
{
  EXPECT_EQ(AbsRectWidth(RECT{10, 0, 4, 0}), 6);
  EXPECT_EQ(AbsRectHeight(RECT{0, -3, 0, 5}), 8);
  const char A[] = "abcdefg";
  const char B[] = "abcdefX";
  EXPECT_TRUE(MemEqual(A, B, 6));
  EXPECT_FALSE(MemEqual(A, B, 7));
  TGUID G1{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  TGUID G2 = G1;
  EXPECT_TRUE(GuidsEqual(G1, G2));
  G2.D4[7] = 0;
  EXPECT_FALSE(GuidsEqual(G1, G2));
}

TEST(XcPersistent, BracketsFoldTheChangeEventsAndNamePathsShowTheOwner)
{
  struct TOptions : TXcPersistentProperty {
    using TXcPersistentProperty::TXcPersistentProperty;
    int A = 0, B = 0;
    void SetA(int V) { ChangeProperty(A, V, "A"); }
    void SetB(int V) { ChangeProperty(B, V, "B"); }
  };
  TComponent Form(nullptr);
  Form.SetName("Form1");
  auto* Panel = new TComponent(&Form);
  Panel->SetName("Panel1");
  auto* Options = new TOptions(Panel);
  Options->SetName("HotTrack");
  EXPECT_EQ(Options->GetNamePath(), "Panel1.HotTrack");
  EXPECT_EQ(Options->GetOwner(), Panel);

  std::vector<std::string> Log;
  Options->OnChanging = [&](TObject*) { Log.push_back("changing"); };
  Options->OnChanged = [&](TObject*) { Log.push_back("changed"); };
  Options->OnPropertyChanging = [&](TObject*, const String& N) { Log.push_back("changing " + N); };
  Options->OnPropertyChanged = [&](TObject*, const String& N) { Log.push_back("changed " + N); };
  Options->SetA(1);
  Options->SetA(1);  // no change, no events
  EXPECT_EQ(Log, (std::vector<std::string>{"changing", "changing A", "changed A", "changed"}));
  Log.clear();
  Options->EnterUpdate();
  Options->EnterUpdate();
  Options->SetA(2);
  Options->SetB(3);
  Options->LeaveUpdate();
  EXPECT_EQ(Log.back(), "changed B");
  Options->LeaveUpdate();
  EXPECT_EQ(Log, (std::vector<std::string>{"changing", "changing A", "changed A", "changing B", "changed B", "changed"}));

  TXcComponent Base(nullptr);
  EXPECT_EQ(Base.GetAboutXCL(), XCLAbout);
  EXCLException E("message");
  EXPECT_STREQ(E.what(), "message");
}
