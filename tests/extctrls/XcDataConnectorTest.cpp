#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestDataSource.h"
#include "extctrls/XcDataConnector.h"

namespace {

// A field connector that logs its record and write-back handling (with the Active state it
// sees) and can be told to have the source report a record change while it writes.
class TProbeConnector : public TXcFieldDataConnector {
public:
  std::vector<std::string> Calls;
  TTestDataSource* EchoSource = nullptr;
  void CurrentRecordChanged() override { Calls.push_back(GetActive() ? "record(active)" : "record(inactive)"); }
  void WriteBackData() override
  {
    Calls.push_back("write");
    if (EchoSource) EchoSource->Notify(XcNotifyRecordChanged);
  }
};

TEST(XcDataConnector, WithoutASourceNothingIsEditedPostedOrReset)
{
  TProbeConnector C;
  C.SetDataField("Name");
  C.Calls.clear();
  EXPECT_FALSE(C.EditAllowed());
  C.MarkModified();
  C.BeginRecordEdit();
  C.PostRecord();
  C.ResetLink();
  EXPECT_TRUE(C.Calls.empty());
  EXPECT_FALSE(C.GetModified());
  EXPECT_FALSE(C.GetActive());
  EXPECT_FALSE(C.GetField()->FieldValid());
  EXPECT_FALSE(C.IsSourceConnected());
}

TEST(XcDataConnector, ASourceWithoutConnectionHandlerIsNotKept)
{
  auto* Source = new TTestDataSource(false);
  TIntf<IXcDataSource> Keep(Source);
  TProbeConnector C;
  C.SetDataSource(Source);
  EXPECT_EQ(C.GetDataSource(), nullptr);
  EXPECT_FALSE(C.GetActive());
  EXPECT_TRUE(Source->Log.empty());
}

TEST(XcDataConnector, AttachingShowsTheRecordAndTheSameSourceAgainChangesNothing)
{
  auto* Source = new TTestDataSource;
  TIntf<IXcDataSource> Keep(Source);
  Source->AddField("Name", "Ann");
  TProbeConnector C;
  C.SetDataField("Name");
  C.Calls.clear();
  C.SetDataSource(Source);
  EXPECT_EQ(Source->Log, std::vector<std::string>({"Attach"}));
  EXPECT_TRUE(C.GetActive());
  EXPECT_EQ(C.Calls, std::vector<std::string>({"record(inactive)", "record(active)"}))
      << "the old (empty) link is taken down first, then the record shown";
  EXPECT_TRUE(C.GetField()->FieldValid());
  EXPECT_EQ(C.GetField()->ReadFieldText(), "Ann");

  C.Calls.clear();
  C.SetDataSource(Source);
  EXPECT_TRUE(C.Calls.empty());
  EXPECT_EQ(Source->Log.size(), 1u);

  C.SetDataSource(nullptr);
  EXPECT_EQ(Source->Log.back(), "Detach");
  EXPECT_TRUE(Source->Connectors.empty());
  EXPECT_FALSE(C.GetActive());
  EXPECT_FALSE(C.GetField()->FieldValid());
}

TEST(XcDataConnector, DestroyingTheConnectorDetachesIt)
{
  auto* Source = new TTestDataSource;
  TIntf<IXcDataSource> Keep(Source);
  {
    TProbeConnector C;
    C.SetDataSource(Source);
    EXPECT_EQ(Source->Connectors.size(), 1u);
  }
  EXPECT_TRUE(Source->Connectors.empty());
}

TEST(XcDataConnector, EditingMarksModifiedAndPostingWritesOnce)
{
  auto* Source = new TTestDataSource;
  TIntf<IXcDataSource> Keep(Source);
  Source->AddField("Name", "Ann");
  TProbeConnector C;
  C.SetDataSource(Source);
  C.SetDataField("Name");
  C.Calls.clear();
  C.MarkModified();
  EXPECT_TRUE(C.GetModified());
  EXPECT_EQ(Source->Log.back(), "BeginEdit");
  C.PostRecord();
  C.PostRecord();
  EXPECT_EQ(C.Calls, std::vector<std::string>({"write"})) << "the second post has nothing to write";
  EXPECT_FALSE(C.GetModified());
}

TEST(XcDataConnector, AReadOnlyFieldOrAnUnknownNameForbidsEditing)
{
  struct TCase {
    const char* Name;
    const char* Field;
    bool Expected;
  };
  const TCase Cases[] = {{"writable", "Name", true}, {"read-only", "Id", false}, {"unknown", "Nope", false}};
  auto* Source = new TTestDataSource;
  TIntf<IXcDataSource> Keep(Source);
  Source->AddField("Name", "Ann");
  Source->AddField("Id", "7", true);
  for (const auto& K : Cases) {
    SCOPED_TRACE(K.Name);
    TProbeConnector C;
    C.SetDataSource(Source);
    C.SetDataField(K.Field);
    EXPECT_EQ(C.EditAllowed(), K.Expected);
    Source->Log.clear();
    C.BeginRecordEdit();
    EXPECT_EQ(!Source->Log.empty(), K.Expected);
  }
}

TEST(XcDataConnector, ARecordChangeWhileTheConnectorWritesIsLeftAlone)
{
  auto* Source = new TTestDataSource;
  TIntf<IXcDataSource> Keep(Source);
  Source->AddField("Name", "Ann");
  TProbeConnector C;
  C.SetDataSource(Source);
  C.SetDataField("Name");
  C.MarkModified();
  C.Calls.clear();
  C.EchoSource = Source;
  C.PostRecord();
  EXPECT_EQ(C.Calls, std::vector<std::string>({"write"})) << "no record handling while locked";
  EXPECT_EQ(C.GetLockCount(), 0);
}

TEST(XcDataConnector, ResetLinkShowsTheRecordInactiveAndStaysActive)
{
  auto* Source = new TTestDataSource;
  TIntf<IXcDataSource> Keep(Source);
  TProbeConnector C;
  C.SetDataSource(Source);
  C.MarkModified();
  C.Calls.clear();
  C.ResetLink();
  EXPECT_EQ(C.Calls, std::vector<std::string>({"record(inactive)"}));
  EXPECT_TRUE(C.GetActive());
  EXPECT_FALSE(C.GetModified());
  Source->Connected = false;
  C.Calls.clear();
  C.ResetLink();
  EXPECT_TRUE(C.Calls.empty()) << "a disconnected source is not shown again";
}

TEST(XcDataConnector, NotificationsReachTheMasterAfterwards)
{
  auto* Source = new TTestDataSource;
  TIntf<IXcDataSource> Keep(Source);
  TProbeConnector Master;
  TProbeConnector C;
  C.SetMaster(&Master);
  C.SetDataSource(Source);
  Master.Calls.clear();
  C.Calls.clear();
  const int Numbers[] = {XcNotifyRecordChanged, XcNotifyUpdateData, XcNotifyLayoutChanged, 99};
  for (int N : Numbers) C.SendNotification(N);
  EXPECT_EQ(C.Calls, std::vector<std::string>({"record(active)", "write", "record(active)"}));
  // The master hears the record change, the record change the layout change causes, and the
  // layout change itself; it has no source, so it is not active and writes nothing.
  EXPECT_EQ(Master.Calls, std::vector<std::string>({"record(inactive)", "record(inactive)", "record(inactive)"}));
}

TEST(XcDataConnector, AFailingWriteLeavesTheLockReleased)
{
  auto* Source = new TTestDataSource;
  TIntf<IXcDataSource> Keep(Source);
  Source->AddField("Name", "Ann");
  class TWriting : public TXcFieldDataConnector {
  public:
    void WriteBackData() override { GetField()->WriteFieldText("x"); }
  } C;
  C.SetDataSource(Source);
  C.SetDataField("Name");
  C.MarkModified();
  Source->FailWrites = true;
  EXPECT_THROW(C.PostRecord(), Exception);
  EXPECT_EQ(C.GetLockCount(), 0);
  EXPECT_TRUE(C.GetModified()) << "nothing was written";
}

TEST(XcDataConnector, AssignCopiesSourceAndField)
{
  auto* Source = new TTestDataSource;
  TIntf<IXcDataSource> Keep(Source);
  Source->AddField("Name", "Ann");
  TXcFieldDataConnector A;
  A.SetDataSource(Source);
  A.SetDataField("Name");
  TXcFieldDataConnector B;
  B.Assign(&A);
  EXPECT_EQ(B.GetDataSource(), Source);
  EXPECT_EQ(B.GetDataField(), "Name");
  EXPECT_EQ(Source->Connectors.size(), 2u);
}

}  // namespace
