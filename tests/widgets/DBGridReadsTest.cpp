#include "data/TADOConnection.h"
#include "data/TADODataSet.h"
#include "data/TDataSource.h"
#include "platform/ado/AdoInterfaces.h"
#include "tests/support/ScopedValue.h"
#include "tests/widgets/DBGridFixture.h"
#include "widgets/TDBGrid.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <set>

// A result of many rows made up on demand, which counts every value the grid asks for.
namespace {

struct ReadLog {
  qint64 Reads = 0;
  std::set<qint64> Rows;
};

class CountingRecordset : public ado::Recordset {
 public:
  CountingRecordset(qint64 rows, std::shared_ptr<ReadLog> log) : FRows(rows), FLog(std::move(log)) {
    FFields[0].Name = "id";
    FFields[0].Type = ado::adInteger;
    FFields[1].Name = "name";
    FFields[1].Type = ado::adVarWChar;
    FFields[1].DefinedSize = 20;
  }
  bool IsOpen() const override { return true; }
  int FieldCount() const override { return 2; }
  const ado::FieldInfo& Field(int index) const override { return FFields[index]; }
  qint64 RecordCount() const override { return FRows; }
  ado::Value GetValue(qint64 row, int column) const override {
    ++FLog->Reads;
    FLog->Rows.insert(row);
    ado::Value v;
    if (column == 0) {
      v.kind = ado::Value::Kind::Int;
      v.Int = row;
    } else {
      v.kind = ado::Value::Kind::Text;
      v.Text = QStringLiteral("name %1").arg(row);
    }
    return v;
  }
  std::unique_ptr<ado::Recordset> NextRecordset() override { return nullptr; }

 private:
  qint64 FRows;
  std::shared_ptr<ReadLog> FLog;
  ado::FieldInfo FFields[2];
};

class CountingConnection : public ado::Connection {
 public:
  CountingConnection(qint64 rows, std::shared_ptr<ReadLog> log)
      : FRows(rows), FLog(std::move(log)) {}
  using ado::Connection::Open;
  void Open(const QString&, const ado::Purpose&) override { FOpen = true; }
  void Close() override { FOpen = false; }
  bool IsOpen() const override { return FOpen; }
  bool InTransaction() const override { return false; }
  std::vector<ado::ParameterInfo> DescribeParameters(const QString&) override { return {}; }
  std::unique_ptr<ado::Recordset> Execute(const QString&,
                                          const std::vector<ado::ParameterInfo>&) override {
    return std::make_unique<CountingRecordset>(FRows, FLog);
  }

 private:
  qint64 FRows;
  std::shared_ptr<ReadLog> FLog;
  bool FOpen = false;
};

constexpr qint64 kRows = 1000000;

// The counting layer is in place before the panel makes its connection.
struct WithCountingLayer {
  std::shared_ptr<ReadLog> Log = std::make_shared<ReadLog>();
  ScopedRestore FFactory = ScopedSet(&ado::SetConnectionFactory, [log = Log] {
    return std::unique_ptr<ado::Connection>(std::make_unique<CountingConnection>(kRows, log));
  });
};

class DBGridReads : public ::testing::Test, protected WithCountingLayer, protected GridPanel {
 protected:
  DBGridReads() : GridPanel(QStringLiteral("DSN=counting")) {
    Window.show();
    QApplication::processEvents();
    DataSet->SetCommandText("select id, name from big");
    DataSet->Open();
    Grid->repaint();
    QApplication::processEvents();
  }
  ~DBGridReads() override {
    delete Grid;
    delete DataSet;
  }

  // Rows shown at least in part, plus the one the view may prepare past the bottom edge.
  qint64 RowsInView() const { return DataSet->BufferCount() + 1; }
};

}  // namespace

TEST_F(DBGridReads, OpeningAMillionRowsReadsOnlyTheRowsShown) {
  ASSERT_EQ(DataSet->RecordCount(), kRows);
  EXPECT_EQ(Grid->CellText(0, 1), "name 0");
  ASSERT_FALSE(Log->Rows.empty());
  EXPECT_LE(static_cast<qint64>(Log->Rows.size()), RowsInView());
  EXPECT_LT(*Log->Rows.rbegin(), RowsInView());
}

TEST_F(DBGridReads, JumpingToTheEndReadsOnlyTheRowsThatComeIntoView) {
  Log->Rows.clear();
  Grid->setFocus();
  QTest::keyClick(Grid, Qt::Key_End, Qt::ControlModifier);
  Grid->repaint();
  EXPECT_EQ(Grid->CurrentRecord(), kRows - 1);
  ASSERT_FALSE(Log->Rows.empty());
  EXPECT_LE(static_cast<qint64>(Log->Rows.size()), RowsInView());
  EXPECT_GE(*Log->Rows.begin(), kRows - RowsInView());

  Log->Rows.clear();
  QTest::keyClick(Grid, Qt::Key_PageUp);
  Grid->repaint();
  EXPECT_LE(static_cast<qint64>(Log->Rows.size()), RowsInView());
  EXPECT_GE(*Log->Rows.begin(), kRows - 3 * RowsInView());
}

TEST_F(DBGridReads, FrozenGridReadsNothingWhileTheDataSetIsWalked) {
  DataSet->DisableControls();
  Log->Rows.clear();
  for (int i = 0; i < 500; ++i) DataSet->Next();
  QApplication::processEvents();
  EXPECT_TRUE(Log->Rows.empty());
  EXPECT_EQ(Grid->CurrentRecord(), 0);
  Window.setEnabled(false);  // as the export does: the disabled grid repaints from what it showed
  Grid->repaint();
  EXPECT_TRUE(Log->Rows.empty());
  Window.setEnabled(true);
  DataSet->EnableControls();
  EXPECT_EQ(Grid->CurrentRecord(), 500);
  Grid->repaint();
  EXPECT_TRUE(Log->Rows.count(500));
}
