#include "ExportTestSupport.h"

#include "data/TADOConnection.h"
#include "data/TADODataSet.h"
#include "tests/support/TestDatabases.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

// Byte-exact files from real drivers: the column types decide the quoting.
class DatabaseExport : public ExportTest {
 protected:
  // A statement without rows: its "does not return a result set" is expected.
  void Prepare(const QString& connectionString, const QString& sql) {
    Form->ADOConnection->SetConnectionString(connectionString);
    Form->reSQL->setPlainText(sql);
    Form->btnExecute->click();
    Errors.clear();
  }
  void Run(const QString& connectionString, const QString& sql) {
    Form->ADOConnection->SetConnectionString(connectionString);
    Form->reSQL->setPlainText(sql);
    Form->btnExecute->click();
    ASSERT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
  }
  QByteArray Saved() {
    const QString path = PathOf("db.csv");
    Export(path);
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
    return Contents(path);
  }
};

TEST_F(DatabaseExport, SqliteColumnsByType) {
  const QString db = testdb::SqliteConnectionString("export.db");
  Prepare(db, "CREATE TABLE IF NOT EXISTS t (s VARCHAR(10), i INTEGER, m TEXT)");
  Prepare(db, "DELETE FROM t");
  Prepare(db, "INSERT INTO t VALUES ('abc', 12, 'long')");
  Prepare(db, "INSERT INTO t VALUES (NULL, NULL, NULL)");
  // VARCHAR is an 8-bit string (always quoted); TEXT is a large object.
  Run(db, "SELECT s, i, m FROM t ORDER BY rowid");
  EXPECT_EQ(Saved(), QByteArray("\"abc\"\t12\t\"<BLOB>\"\r\n\"\"\t\t\"<BLOB>\"\r\n"));
  // The driver reports a text expression as VARCHAR; its line break becomes one blank.
  Run(db, "SELECT 'a' || char(13) || char(10) || 'b' AS s");
  EXPECT_EQ(Saved(), QByteArray("\"a b\"\r\n"));
}

TEST_F(DatabaseExport, SqliteEmptyResultGivesAnEmptyFile) {
  const QString db = testdb::SqliteConnectionString("export-empty.db");
  Prepare(db, "CREATE TABLE IF NOT EXISTS e (a INTEGER)");
  Run(db, "SELECT a FROM e");
  const QString path = PathOf("empty.csv");
  Write(path, "old");
  Export(path);
  EXPECT_TRUE(Errors.isEmpty());
  EXPECT_EQ(Contents(path), QByteArray());
}

TEST_F(DatabaseExport, PostgresByteExact) {
  const QString pg = testdb::PostgresConnectionString();
  REQUIRE_SERVER(pg);
  // psqlODBC's Unicode driver reports character columns as wide strings (quoted only when
  // they hold the delimiter) and text as a wide memo (a large object).
  Run(pg,
      "SELECT CAST('abc' AS varchar(10)) AS s, 12 AS i, CAST(NULL AS varchar(5)) AS n, "
      "CAST('x,y' AS varchar(10)) AS c, CAST('long' AS text) AS m, "
      "CAST(E'a\\r\\nb\\nc\\rd' AS varchar(20)) AS br");
  EXPECT_EQ(Saved(), QByteArray("abc\t12\t\tx,y\t\"<BLOB>\"\ta bc d\r\n"));
  Form->cbxDelimiter->setCurrentIndex(2);
  EXPECT_EQ(Saved(), QByteArray("abc,12,,\"x,y\",\"<BLOB>\",a bc d\r\n"));
  Form->cbxDelimiter->setCurrentIndex(3);
  Form->edtCustomDelimiter->setText(", ");
  EXPECT_EQ(Saved(), QByteArray("abc, 12, , x,y, \"<BLOB>\", a bc d\r\n"));
  Form->edtCustomDelimiter->setText("");
  EXPECT_EQ(Saved(), QByteArray("abc12x,y\"<BLOB>\"a bc d\r\n"));
}

TEST_F(DatabaseExport, PostgresRowsInOrderAndNoRows) {
  const QString pg = testdb::PostgresConnectionString();
  REQUIRE_SERVER(pg);
  Run(pg, "SELECT i, i * 0.5 AS h FROM generate_series(1, 3) AS i ORDER BY i");
  EXPECT_EQ(Saved(), QByteArray("1\t0.5\r\n2\t1\r\n3\t1.5\r\n"));
  Run(pg, "SELECT 1 AS a WHERE false");
  EXPECT_EQ(Saved(), QByteArray());
}

}  // namespace
