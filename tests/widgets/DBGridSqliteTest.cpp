#include "data/TADOConnection.h"
#include "data/TADODataSet.h"
#include "data/TDataSource.h"
#include "data/TField.h"
#include "tests/support/TestDatabases.h"
#include "tests/widgets/DBGridFixture.h"
#include "widgets/DBGridIndicatorHeader.h"
#include "widgets/TDBGrid.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

// The grid over the real SQLite driver: a generated result, without any table.
class DBGridSqlite : public ::testing::Test, protected GridPanel {
 protected:
  DBGridSqlite() : GridPanel(testdb::SqliteConnectionString("grid.db")) { Window.show(); }

  void Execute(const QString& sql) {
    DataSet->Close();
    DataSet->SetCommandText(sql);
    DataSet->Open();
    QApplication::processEvents();
  }
};

TEST_F(DBGridSqlite, ShowsAGeneratedResultAndWalksIt) {
  Execute(
      "WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < 250) "
      "SELECT n, 'row ' || n AS n, n * 0.5 AS half FROM c");
  ASSERT_EQ(Grid->ColumnCount(), 3);
  EXPECT_EQ(Grid->ColumnTitle(0), "n");
  EXPECT_EQ(Grid->ColumnTitle(1), "n_1");
  EXPECT_EQ(Grid->CellText(0, 0), "1");
  EXPECT_EQ(Grid->CellText(0, 1), "row 1");
  EXPECT_EQ(Grid->CellText(2, 2), "1.5");
  EXPECT_TRUE(Grid->VerticalScrollBarShown());
  EXPECT_EQ(Grid->CurrentRecord(), 0);

  Grid->setFocus();
  QTest::keyClick(Grid, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(DataSet->RecordIndex(), 249);
  EXPECT_EQ(static_cast<DBGridIndicatorHeader*>(Grid->verticalHeader())->IndicatorRow(), 249);
  EXPECT_EQ(DataSet->Fields(1)->DisplayText(), "row 250");

  // Moving the second column first reorders the fields the export walks.
  Grid->horizontalHeader()->moveSection(1, 0);
  QApplication::processEvents();
  EXPECT_EQ(DataSet->Fields(0)->FieldName(), "n_1");
  EXPECT_EQ(Grid->CellText(0, 0), "row 1");

  // Executing again restores the result's order and the computed widths.
  const int computed = Grid->ColumnWidth(2);
  Grid->horizontalHeader()->resizeSection(2, computed + 50);
  Execute(
      "WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < 250) "
      "SELECT n, 'row ' || n AS n, n * 0.5 AS half FROM c");
  EXPECT_EQ(Grid->ColumnTitle(0), "n");
  EXPECT_EQ(Grid->ColumnWidth(2), computed);
  EXPECT_EQ(Grid->CurrentRecord(), 0);
}

TEST_F(DBGridSqlite, NoRowsShowsTitlesAndNoScrollBar) {
  Execute("SELECT 1 AS a, 'x' AS b WHERE 0");
  EXPECT_EQ(Grid->ColumnCount(), 2);
  EXPECT_EQ(Grid->ColumnTitle(1), "b");
  EXPECT_EQ(Grid->model()->rowCount(), 1);
  EXPECT_FALSE(Grid->VerticalScrollBarShown());
  EXPECT_EQ(Grid->CurrentRecord(), -1);
}

TEST_F(DBGridSqlite, FailedExecutionLeavesTheGridEmpty) {
  Execute("SELECT 1 AS a");
  EXPECT_THROW(Execute("SELEC nonsense"), std::exception);
  EXPECT_EQ(Grid->ColumnCount(), 1);
  EXPECT_EQ(Grid->ColumnWidth(0), 64);
  EXPECT_EQ(Grid->ColumnTitle(0), "");
}
