#include "base/Exceptions.h"
#include "tests/data/DataSetFixture.h"

#include <QSignalSpy>

using namespace fakeado;

namespace {

ResultData ThreeRows() {
  return Table({Field("id", ado::adInteger), Field("name", ado::adVarWChar, 20)},
               {{Int(1), Text("one")}, {Int(2), Text("two")}, {Int(3), Null()}});
}

template <typename F>
QString MessageOf(F&& f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "no exception";
}

}  // namespace

class DataSetTest : public DataSetFixture {};

TEST_F(DataSetTest, DefaultsOfTheComponents) {
  TADOConnection c;
  EXPECT_TRUE(c.KeepConnection());
  EXPECT_TRUE(c.LoginPrompt());
  EXPECT_FALSE(c.Connected());
  EXPECT_EQ(c.CursorLocation(), clUseClient);
  EXPECT_TRUE(c.ConnectionString().isEmpty());
  TADODataSet d;
  EXPECT_EQ(d.CommandType(), cmdText);
  EXPECT_EQ(d.CursorType(), ctKeyset);
  EXPECT_EQ(d.LockType(), ltOptimistic);
  EXPECT_EQ(d.CacheSize(), 1);
  EXPECT_EQ(d.MaxRecords(), 0);
  EXPECT_TRUE(d.EnableBCD());
  EXPECT_EQ(d.State(), dsInactive);
  EXPECT_TRUE(d.Eof());
  EXPECT_EQ(Connection->DataSets(), QList<TADODataSet*>({DataSet.get()}));
}

TEST_F(DataSetTest, WalksTheRecords) {
  OpenWith(ThreeRows());
  EXPECT_TRUE(DataSet->Active());
  EXPECT_EQ(DataSet->RecordCount(), 3);
  EXPECT_FALSE(DataSet->Eof());
  ASSERT_EQ(DataSet->FieldCount(), 2);
  QStringList seen;
  for (DataSet->First(); !DataSet->Eof(); DataSet->Next())
    seen << DataSet->Fields(0)->AsString() + "=" + DataSet->Fields(1)->AsString();
  EXPECT_EQ(seen, QStringList({"1=one", "2=two", "3="}));
  // Next on the last record stays there.
  EXPECT_EQ(DataSet->RecordIndex(), 2);
  EXPECT_TRUE(DataSet->Fields(1)->IsNull());
  EXPECT_EQ(DataSet->RecordCount(), 3);
  DataSet->First();
  EXPECT_FALSE(DataSet->Eof());
  EXPECT_EQ(DataSet->Fields(0)->AsString(), "1");
  // Reading other rows does not move.
  EXPECT_EQ(DataSet->Fields(1)->AsStringAt(1), "two");
  EXPECT_EQ(DataSet->RecordIndex(), 0);
  EXPECT_EQ(DataSet->MoveBy(10), 2);
  EXPECT_TRUE(DataSet->Eof());
  EXPECT_EQ(DataSet->MoveBy(-1), -1);
  DataSet->Prior();
  DataSet->Prior();
  EXPECT_TRUE(DataSet->Bof());
  EXPECT_EQ(DataSet->RecordIndex(), 0);
  DataSet->Last();
  EXPECT_EQ(DataSet->RecordIndex(), 2);
}

TEST_F(DataSetTest, EmptyResultHasFieldsButNoRecords) {
  OpenWith(Table({Field("a", ado::adInteger)}));
  EXPECT_TRUE(DataSet->Eof());
  EXPECT_EQ(DataSet->RecordCount(), 0);
  EXPECT_EQ(DataSet->FieldCount(), 1);
  EXPECT_EQ(DataSet->RecordIndex(), -1);
  DataSet->First();
  EXPECT_TRUE(DataSet->Eof());
  EXPECT_TRUE(DataSet->Fields(0)->IsNull());
  EXPECT_EQ(DataSet->Fields(0)->AsString(), "");
}

TEST_F(DataSetTest, UnknownRecordCountIsPassedOn) {
  ResultData r = ThreeRows();
  r.UnknownRecordCount = true;
  OpenWith(std::move(r));
  EXPECT_EQ(DataSet->RecordCount(), -1);
  EXPECT_TRUE(DataSet->Eof());
}

TEST_F(DataSetTest, ReleaseRuleHoldsTheConnectionOnlyWhileNeeded) {
  Fake->Results.push_back(ThreeRows());
  DataSet->SetCommandText("select * from t");
  // The probe connected and disconnected.
  EXPECT_EQ(Fake->OpenCalls, 1);
  EXPECT_EQ(Fake->OpenNow, 0);
  EXPECT_EQ(Fake->Described, QStringList({"select * from t"}));
  DataSet->Open();
  EXPECT_EQ(Fake->OpenCalls, 2);
  EXPECT_TRUE(Connection->Connected());
  EXPECT_EQ(DataSet->ReasonCount(), 1);
  DataSet->Close();
  EXPECT_FALSE(Connection->Connected());
  EXPECT_EQ(DataSet->ReasonCount(), 0);
  EXPECT_EQ(DataSet->FieldCount(), 0);
  EXPECT_EQ(Fake->OpenNow, 0);
}

TEST_F(DataSetTest, KeepConnectionTrueLeavesItOpen) {
  Connection->SetKeepConnection(true);
  OpenWith(ThreeRows());
  DataSet->Close();
  EXPECT_TRUE(Connection->Connected());
  EXPECT_EQ(Fake->OpenCalls, 1);  // probe and open share the connection
}

TEST_F(DataSetTest, TransactionInProgressKeepsTheConnection) {
  Fake->InTransaction = true;
  OpenWith(ThreeRows());
  DataSet->Close();
  EXPECT_TRUE(Connection->Connected());
}

TEST_F(DataSetTest, SameTextTwiceProbesOnce) {
  DataSet->SetCommandText("select 1");
  DataSet->SetCommandText("select 1");
  EXPECT_EQ(Fake->OpenCalls, 1);
  DataSet->SetCommandText("SELECT 1");  // case counts
  EXPECT_EQ(Fake->OpenCalls, 2);
}

TEST_F(DataSetTest, ProbeCopiesDescriptionsWhenCountsMatch) {
  ado::ParameterInfo a;
  a.Name = "Param1";
  a.Type = ado::adInteger;
  a.Size = 4;
  a.Precision = 10;
  a.Direction = ado::adParamInput;
  a.Attributes = ado::adParamSigned;
  Fake->ParameterLists.push_back({a});
  DataSet->SetCommandText("select * from t where id = :id and ':no' <> x::text");
  EXPECT_EQ(DataSet->ProviderCommandText(), "select * from t where id = ? and ':no' <> x::text");
  ASSERT_EQ(DataSet->Parameters().size(), 1);
  EXPECT_EQ(DataSet->Parameters()[0].Name, "id");
  EXPECT_EQ(DataSet->Parameters()[0].Info.Type, ado::adInteger);
  EXPECT_EQ(DataSet->Parameters()[0].Info.Precision, 10);
  EXPECT_EQ(DataSet->Parameters()[0].Info.Attributes, ado::adParamSigned);
  EXPECT_EQ(Fake->Described.last(), DataSet->ProviderCommandText());

  // A count that differs leaves the parsed parameters undescribed.
  Fake->ParameterLists.push_back({a});
  DataSet->SetCommandText("select :x, :y");
  ASSERT_EQ(DataSet->Parameters().size(), 2);
  EXPECT_EQ(DataSet->Parameters()[1].Info.Type, ado::adEmpty);
  // The parameters go with the statement.
  Fake->Results.push_back(ThreeRows());
  DataSet->Open();
  ASSERT_EQ(Fake->ExecutedParameters.size(), 1u);
  EXPECT_EQ(Fake->ExecutedParameters[0].size(), 2u);
  EXPECT_EQ(Fake->Executed.last(), "select ?, ?");
}

TEST_F(DataSetTest, StatementWithoutMarkersDropsEarlierParameters) {
  DataSet->SetCommandText("select :a");
  ASSERT_EQ(DataSet->Parameters().size(), 1);
  DataSet->SetCommandText("select 1");
  EXPECT_TRUE(DataSet->Parameters().isEmpty());
  Fake->Results.push_back(ThreeRows());
  DataSet->Open();
  EXPECT_TRUE(Fake->ExecutedParameters.back().empty());
  DataSet->Close();
  DataSet->SetCommandText("");
  EXPECT_TRUE(DataSet->ProviderCommandText().isEmpty());
}

TEST_F(DataSetTest, ProbeFailuresAreIgnored) {
  Fake->DescribeFailure = "cannot prepare";
  DataSet->SetCommandText("select :a");
  EXPECT_EQ(DataSet->Parameters().size(), 1);
  EXPECT_FALSE(Connection->Connected());
  Fake->OpenFailure = "server down";
  EXPECT_NO_THROW(DataSet->SetCommandText("select :b"));
  EXPECT_EQ(DataSet->Parameters()[0].Name, "b");
  EXPECT_EQ(DataSet->ReasonCount(), 0);
}

TEST_F(DataSetTest, BatchShowsTheFirstResultWithRows) {
  ResultData batch = NoRows();
  batch.Next.push_back(NoRows());
  batch.Next.push_back(ThreeRows());
  batch.Next.push_back(Table({Field("never", ado::adInteger)}, {{Int(9)}}));
  OpenWith(std::move(batch), "update t set a=1; delete from u; select * from t; select 9");
  EXPECT_EQ(DataSet->RecordCount(), 3);
  EXPECT_EQ(DataSet->Fields(0)->FieldName(), "id");
}

TEST_F(DataSetTest, StatementWithoutResultFailsWithOneMessage) {
  EXPECT_EQ(MessageOf([&] { OpenWith(NoRows(), "update t set a = 1"); }),
            "ADODataSet: CommandText does not return a result set");
  EXPECT_FALSE(DataSet->Active());
  EXPECT_FALSE(Connection->Connected());
  EXPECT_EQ(Fake->Executed.last(), "update t set a = 1");

  // A failing request for the next result gives the same message, not the driver's.
  ResultData failing = NoRows();
  failing.NextFailure = "driver exploded";
  Fake->Results.push_back(std::move(failing));
  EXPECT_EQ(MessageOf([&] {
              DataSet->Close();
              DataSet->Open();
            }),
            "ADODataSet: CommandText does not return a result set");
  EXPECT_EQ(DataSet->ReasonCount(), 0);
}

TEST_F(DataSetTest, FailedOpenLeavesEverythingClosedAndConnectsAnewNextTime) {
  Fake->ExecuteFailure = "syntax error near \"selec\"";
  DataSet->SetCommandText("selec 1");
  EXPECT_EQ(MessageOf([&] { DataSet->Open(); }), "syntax error near \"selec\"");
  EXPECT_FALSE(DataSet->Active());
  EXPECT_FALSE(Connection->Connected());
  const int opens = Fake->OpenCalls;
  Fake->ExecuteFailure.reset();
  Fake->Results.push_back(ThreeRows());
  DataSet->Open();
  EXPECT_EQ(Fake->OpenCalls, opens + 1);
  EXPECT_TRUE(DataSet->Active());
}

TEST_F(DataSetTest, AFailingDisconnectNeverHidesTheStatementsErrorNorEndsTheProgram) {
  Fake->CloseFailure = "server closed the connection unexpectedly";
  Fake->ExecuteFailure = "syntax error near \"selec\"";
  DataSet->SetCommandText("selec 1");
  EXPECT_EQ(MessageOf([&] { DataSet->Open(); }), "syntax error near \"selec\"");
  EXPECT_FALSE(Connection->Connected());
  Fake->ExecuteFailure.reset();
  OpenWith(ThreeRows());
  // Destroyed while open, the data set closes its connection; a failure there must not leave
  // the destructor.
  DataSet.reset();
  EXPECT_EQ(Fake->OpenNow, 0);
}

TEST_F(DataSetTest, FailedConnectionIsReportedBeforeMissingText) {
  Fake->OpenFailure = "login refused";
  EXPECT_EQ(MessageOf([&] { DataSet->Open(); }), "login refused");
  EXPECT_EQ(DataSet->ReasonCount(), 0);
  Fake->OpenFailure.reset();
  EXPECT_EQ(MessageOf([&] { DataSet->Open(); }), "ADODataSet: Missing CommandText property");
  EXPECT_FALSE(Connection->Connected());
  EXPECT_EQ(Fake->OpenCalls, 2);
}

// A login that failed for the probe is not tried again by the open right after it (a server that
// never answers would hold the Execute twice as long); a later open, or one with another string,
// logs in anew.
TEST_F(DataSetTest, ALoginThatFailedForTheProbeIsNotTriedAgainByItsOpen) {
  for (const bool stringChanged : {false, true}) {
    SCOPED_TRACE(stringChanged ? "string changed" : "same string");
    Fake->OpenCalls = 0;
    Fake->OpenFailure = "timeout expired";
    DataSet->SetCommandText(stringChanged ? "select 2" : "select 1");
    EXPECT_EQ(Fake->OpenCalls, 1);
    Fake->Results.push_back(ThreeRows());
    if (stringChanged) {
      Fake->OpenFailure.reset();
      Connection->SetConnectionString("DSN=other");
      DataSet->Open();
      EXPECT_EQ(Fake->OpenCalls, 2);
      EXPECT_TRUE(DataSet->Active());
      DataSet->Close();
      continue;
    }
    EXPECT_EQ(MessageOf([&] { DataSet->Open(); }), "timeout expired");
    EXPECT_EQ(Fake->OpenCalls, 1);
    EXPECT_EQ(DataSet->ReasonCount(), 0);
    Fake->OpenFailure.reset();
    DataSet->Open();
    EXPECT_EQ(Fake->OpenCalls, 2);
    EXPECT_TRUE(DataSet->Active());
    DataSet->Close();
  }
}

TEST_F(DataSetTest, OperationsOnClosedOrOpenDataSetAreRefused) {
  const QString closed = "ADODataSet: Cannot perform this operation on a closed dataset";
  EXPECT_EQ(MessageOf([&] { DataSet->First(); }), closed);
  EXPECT_EQ(MessageOf([&] { DataSet->Next(); }), closed);
  EXPECT_EQ(MessageOf([&] { (void)DataSet->RecordCount(); }), closed);
  OpenWith(ThreeRows());
  EXPECT_EQ(MessageOf([&] { DataSet->SetCommandText("select 2"); }),
            "ADODataSet: Cannot perform this operation on an open dataset");
  EXPECT_EQ(DataSet->CommandText(), "select * from t");
  // The same text is no change, so no failure.
  EXPECT_NO_THROW(DataSet->SetCommandText("select * from t"));
  DataSet->Close();
  EXPECT_THROW(DataSet->First(), EDatabaseError);
}

TEST_F(DataSetTest, MissingConnection) {
  TADODataSet lonely;
  lonely.setObjectName("ADODataSet");
  lonely.SetCommandText("select 1");  // the probe has nothing to ask; no message
  EXPECT_EQ(MessageOf([&] { lonely.Open(); }), "Missing Connection or ConnectionString");
}

TEST_F(DataSetTest, ConnectedFalseLeavesTheDataSetOpen) {
  OpenWith(ThreeRows());
  Connection->SetConnected(false);
  EXPECT_TRUE(DataSet->Active());
  EXPECT_EQ(DataSet->Fields(1)->AsStringAt(1), "two");
  DataSet->Close();
  EXPECT_FALSE(Connection->Connected());
}

TEST_F(DataSetTest, ValueReadFailureLeavesTheDataSetWhereItWas) {
  ResultData r = ThreeRows();
  r.FailingCells.push_back({1, 1, "conversion refused"});
  OpenWith(std::move(r));
  DataSet->Next();
  EXPECT_THROW((void)DataSet->Fields(1)->AsString(), EOleException);
  EXPECT_TRUE(DataSet->Active());
  EXPECT_EQ(DataSet->RecordIndex(), 1);
  EXPECT_EQ(DataSet->Fields(0)->AsString(), "2");
}

TEST_F(DataSetTest, NotificationsReachTheDataSource) {
  QSignalSpy state(&Source, &TDataSource::StateChanged);
  QSignalSpy moved(&Source, &TDataSource::RecordMoved);
  QSignalSpy layout(&Source, &TDataSource::LayoutChanged);
  QSignalSpy changed(&Source, &TDataSource::DataSetChanged);
  OpenWith(ThreeRows());
  EXPECT_EQ(state.count(), 1);
  DataSet->Next();
  DataSet->Next();
  DataSet->Next();  // at the end: no move
  EXPECT_EQ(moved.count(), 2);
  DataSet->Fields(1)->SetIndex(0);
  EXPECT_EQ(layout.count(), 1);
  DataSet->Fields(0)->SetDisplayWidth(33);
  EXPECT_EQ(layout.count(), 2);
  DataSet->Fields(0)->SetDisplayWidth(33);
  EXPECT_EQ(layout.count(), 2);
  DataSet->Close();
  EXPECT_EQ(state.count(), 2);
  EXPECT_EQ(changed.count(), 0);
}

TEST_F(DataSetTest, DisableControlsHoldsNotificationsBack) {
  OpenWith(ThreeRows());
  QSignalSpy state(&Source, &TDataSource::StateChanged);
  QSignalSpy moved(&Source, &TDataSource::RecordMoved);
  QSignalSpy layout(&Source, &TDataSource::LayoutChanged);
  QSignalSpy changed(&Source, &TDataSource::DataSetChanged);

  DataSet->DisableControls();
  DataSet->DisableControls();
  for (DataSet->First(); !DataSet->Eof(); DataSet->Next()) {
  }
  DataSet->EnableControls();
  EXPECT_TRUE(DataSet->ControlsDisabled());
  EXPECT_EQ(moved.count() + changed.count(), 0);
  DataSet->EnableControls();
  EXPECT_FALSE(DataSet->ControlsDisabled());
  EXPECT_EQ(moved.count(), 0);
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(state.count(), 0);
  // Once more than DisableControls: nothing.
  DataSet->EnableControls();
  EXPECT_EQ(changed.count(), 1);
  DataSet->DisableControls();
  EXPECT_TRUE(DataSet->ControlsDisabled());
  DataSet->EnableControls();
  EXPECT_EQ(changed.count(), 2);

  // A held-back layout change is announced as such.
  DataSet->DisableControls();
  DataSet->Fields(0)->SetIndex(1);
  DataSet->EnableControls();
  EXPECT_EQ(layout.count(), 1);
  EXPECT_EQ(changed.count(), 2);

  // A state change while disabled: the state notification, nothing else.
  DataSet->DisableControls();
  DataSet->Close();
  DataSet->EnableControls();
  EXPECT_EQ(state.count(), 1);
  EXPECT_EQ(changed.count(), 2);
  EXPECT_EQ(layout.count(), 1);
}

TEST_F(DataSetTest, FieldOrderMovesWithTheIndex) {
  OpenWith(
      Table({Field("a", ado::adInteger), Field("b", ado::adInteger), Field("c", ado::adInteger)},
            {{Int(1), Int(2), Int(3)}}));
  TField* c = DataSet->Fields(2);
  c->SetIndex(0);
  EXPECT_EQ(DataSet->Fields(0)->FieldName(), "c");
  EXPECT_EQ(DataSet->Fields(1)->FieldName(), "a");
  EXPECT_EQ(DataSet->Fields(2)->FieldName(), "b");
  EXPECT_EQ(c->Index(), 0);
  EXPECT_EQ(c->AsString(), "3");
  DataSet->Fields(0)->SetIndex(99);  // clamped
  EXPECT_EQ(DataSet->Fields(2)->FieldName(), "c");
  EXPECT_EQ(DataSet->FindField("B"), DataSet->Fields(1));
  EXPECT_EQ(DataSet->FindField("zz"), nullptr);
  // A new open restores the result's order.
  DataSet->Close();
  Fake->Results.push_back(Table({Field("a", ado::adInteger), Field("b", ado::adInteger)}));
  DataSet->Open();
  EXPECT_EQ(DataSet->Fields(0)->FieldName(), "a");
}

TEST_F(DataSetTest, DestroyingComponentsInEitherOrderIsSafe) {
  OpenWith(ThreeRows());
  QSignalSpy state(&Source, &TDataSource::StateChanged);
  Connection.reset();  // closes the connection, the data set stays open on its result
  EXPECT_EQ(DataSet->Connection(), nullptr);
  EXPECT_TRUE(DataSet->Active());
  EXPECT_EQ(DataSet->Fields(0)->AsString(), "1");
  DataSet->Close();
  DataSet.reset();
  EXPECT_EQ(Source.DataSet(), nullptr);
  EXPECT_EQ(Fake->OpenNow, 0);
}

TEST_F(DataSetTest, BufferCountIsAtLeastOne) {
  DataSet->SetBufferCount(0);
  EXPECT_EQ(DataSet->BufferCount(), 1);
  DataSet->SetBufferCount(40);
  EXPECT_EQ(DataSet->BufferCount(), 40);
}
