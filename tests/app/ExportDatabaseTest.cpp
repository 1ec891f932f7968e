#include "ExportTestSupport.h"

#include "data/TADOConnection.h"
#include "data/TADODataSet.h"
#include "data/TField.h"
#include "platform/ado/ConnectionTarget.h"
#include "tests/support/RegionalGuard.h"
#include "tests/support/TestDatabases.h"
#include "widgets/TDBGrid.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

// One record as the tab and the comma delimiter write it (UTF-8).
struct Line {
  QByteArray Tab;
  QByteArray Comma;
};

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
  // The saved files with both delimiters, byte for byte; and the grid shows each value's text
  // as the tab-delimited file holds it (unquoted; large objects by their kind).
  void ExpectFile(const std::vector<Line>& lines) {
    QByteArray tab, comma;
    for (const Line& line : lines) {
      tab += line.Tab + "\r\n";
      comma += line.Comma + "\r\n";
    }
    // Compared as standard strings, byte for byte, so a difference reads as text.
    Form->cbxDelimiter->setCurrentIndex(0);
    EXPECT_EQ(Saved().toStdString(), tab.toStdString());
    Form->cbxDelimiter->setCurrentIndex(2);
    EXPECT_EQ(Saved().toStdString(), comma.toStdString());
    Form->cbxDelimiter->setCurrentIndex(0);
    const TADODataSet& data = *Form->ADODataSet;
    for (qint64 r = 0; r < static_cast<qint64>(lines.size()); ++r) {
      const QStringList texts = QString::fromUtf8(lines[r].Tab).split(u'\t');
      ASSERT_EQ(texts.size(), data.FieldCount());
      for (int c = 0; c < data.FieldCount(); ++c) {
        const TField* field = data.Fields(c);
        QString shown = texts[c];
        if (field->IsBlob())
          shown = field->IsNullAt(r) ? QStringLiteral("(Blob)") : QStringLiteral("(BLOB)");
        else if (field->DataType() == ftBytes || field->DataType() == ftVarBytes)
          shown = field->DataType() == ftBytes
                      ? (field->IsNullAt(r) ? QStringLiteral("(Bytes)") : QStringLiteral("(BYTES)"))
                      : (field->IsNullAt(r) ? QStringLiteral("(VarBytes)")
                                            : QStringLiteral("(VARBYTES)"));
        else if (field->DataType() == ftString)
          shown = shown.mid(1, shown.size() - 2);
        QString cell = Form->DBGrid1->CellText(r, c);
        cell.replace(u'\r', u' ').remove(u'\n');  // as a line of the file holds it
        EXPECT_EQ(cell.toStdString(), shown.toStdString()) << "record " << r << ", column " << c;
      }
    }
  }
};

// A table of awkward values in one database: how it is made ("%1" is its name), and the file
// its rows give ordered by id; then a statement over the table and its file, when there is one.
struct AwkwardTable {
  const char* Name;
  QString (*ConnectionString)();
  QStringList Setup;
  std::vector<Line> Lines;
  QString FollowUp;
  std::vector<Line> FollowUpLines;
};

void PrintTo(const AwkwardTable& table, std::ostream* out) {
  *out << table.Name;
}

QString AwkwardSqlite() {
  return testdb::SqliteConnectionString("awkward.db");
}

AwkwardTable SqliteTable() {
  // TEXT is a string like VARCHAR (always quoted); BLOB is a large object; text in a number or
  // date column, reals in integer columns, integers in NUMERIC ones and values beyond a type
  // are written as SQLite holds them.
  return {
      "sqlite",
      &AwkwardSqlite,
      {"CREATE TABLE %1(id INTEGER, i INTEGER, r REAL, n NUMERIC, d DATE, ts TIMESTAMP, "
       "tx TEXT, b BLOB, v VARCHAR(5), s2 INT2, bt BIT, u)",
       "INSERT INTO %1 VALUES (1, 12, 1.5, 2.25, '2024-01-15', '2024-01-15 10:30:00', "
       "'hello, world', x'0102', 'abc', 3, 1, 'x'), "
       "(2, '12,abc', 'abc', 12345678901234567, 'notadate', '2024-12-31 23:59:59.9996', NULL, "
       "'text in blob', 'abcdefghij', 1e20, -1, 1.5), "
       "(3, 1.5, 1.7976931348623157e308, 1e15, '0001-01-01', '0099-06-15 08:00:00', "
       "'line1' || char(13) || char(10) || 'line2', NULL, NULL, NULL, NULL, NULL)"},
      {
          {"1\t12\t1.5\t2.25\t2024-01-15\t2024-01-15 10:30:00\t\"hello, "
           "world\"\t\"<BLOB>\"\t\"abc\"\t3\t"
           "True\t\"x\"",
           "1,12,1.5,2.25,2024-01-15,2024-01-15 10:30:00,\"hello, world\",\"<BLOB>\",\"abc\",3,"
           "True,\"x\""},
          {"2\t12,abc\tabc\t12345678901234567\tnotadate\t2024-12-31 23:59:59\t\"\"\t\"<BLOB>\"\t"
           "\"abcdefghij\"\t1.0e+20\t-1\t\"1.5\"",
           "2,\"12,abc\",abc,12345678901234567,notadate,2024-12-31 23:59:59,\"\",\"<BLOB>\","
           "\"abcdefghij\",1.0e+20,-1,\"1.5\""},
          {"3\t1.5\t1.79769313486232e+308\t1000000000000000\t0001-01-01\t0099-06-15 08:00:00\t"
           "\"line1 line2\"\t\"<BLOB>\"\t\"\"\t\t\t\"\"",
           "3,1.5,1.79769313486232e+308,1000000000000000,0001-01-01,0099-06-15 08:00:00,"
           "\"line1 line2\",\"<BLOB>\",\"\",,,\"\""},
      },
      // An expression without a declared type is described by its first value.
      "SELECT count(*), 'a' || char(13) || char(10) || 'b' AS s, 2.5 * 2 FROM %1",
      {{"3\t\"a b\"\t5", "3,\"a b\",5"}},
  };
}

AwkwardTable PostgresTable() {
  const QByteArray nines(100, '9');
  // Text of every kind is a wide string, quoted only when it holds the delimiter (booleans
  // come as 8-bit strings); NaN, infinities, a 24-hour time and a BC timestamp are written as
  // PostgreSQL writes them.
  return {
      "postgres",
      &testdb::PostgresConnectionString,
      {"CREATE TABLE %1(id int, t text, v varchar(10), n9 numeric(9,0), "
       "n10 numeric(10,2), nb numeric, f float8, d date, ts timestamp, tm time, b bool, "
       "by bytea, j json)",
       QStringLiteral(
           "INSERT INTO %1 VALUES (1, 'a text', 'x,y', 123, 12.50, 1.5, 0.25, "
           "'2024-01-15', '2024-01-15 10:30:00', '12:34:56', true, '\\x01', '{\"a\":1}'), "
           "(2, NULL, '', 'NaN', 'NaN', %2, 'NaN', 'infinity', '-infinity', '24:00:00', "
           "false, NULL, NULL), "
           "(3, E'\\u00e9\\U0001F600 quote\"', E'a\\r\\nb', -5, -0.01, 0.00000015, -1.5e300, "
           "'9999-12-31', '0044-03-15 BC', '00:00:00', NULL, '\\x00', '[1,2]')")
           .replace("%2", QString::fromLatin1(nines))},
      {
          {"1\ta text\tx,y\t123\t12.5\t1.5\t0.25\t2024-01-15\t2024-01-15 10:30:00\t12:34:56\t"
           "\"1\"\t\"<BLOB>\"\t{\"a\":1}",
           "1,a text,\"x,y\",123,12.5,1.5,0.25,2024-01-15,2024-01-15 10:30:00,12:34:56,\"1\","
           "\"<BLOB>\",{\"a\":1}"},
          {"2\t\t\tNaN\tNaN\t" + nines +
               "\tNAN\tinfinity\t-infinity\t24:00:00\t\"0\"\t\"<BLOB>\"\t",
           "2,,,NaN,NaN," + nines + ",NAN,infinity,-infinity,24:00:00,\"0\",\"<BLOB>\","},
          {"3\t\xC3\xA9\xF0\x9F\x98\x80 quote\"\ta b\t-5\t-0.01\t0.00000015\t-1.5E300\t9999-12-31\t"
           "0044-03-15 00:00:00 BC\t00:00:00\t\"\"\t\"<BLOB>\"\t[1,2]",
           "3,\xC3\xA9\xF0\x9F\x98\x80 quote\",a b,-5,-0.01,0.00000015,-1.5E300,9999-12-31,"
           "0044-03-15 00:00:00 BC,00:00:00,\"\",\"<BLOB>\",\"[1,2]\""},
      },
      // Money to the last digit (the driver says double); a subnormal double with 15 digits.
      "SELECT 12345678901234.56::money AS m, (-0.5)::money AS nm, '5e-324'::float8 AS sub, "
      "1.50::numeric AS d FROM %1 WHERE id = 1",
      {{"12345678901234.56\t-0.5\t4.94065645841247E-324\t1.5",
        "12345678901234.56,-0.5,4.94065645841247E-324,1.5"}},
  };
}

AwkwardTable MariaDbTable() {
  return {
      "mariadb",
      &testdb::MariaDbConnectionString,
      {"CREATE TABLE %1(id INT, t TEXT, j JSON, tm TIME, d DATE, dt DATETIME, "
       "dc DECIMAL(65,30), bt BIT(1), bu BIGINT UNSIGNED, y YEAR, bl BLOB, e ENUM('a','b,c'), "
       "b8 BIT(8), b3 BIT(3)) "
       "CHARACTER SET utf8mb4",
       // Zero dates are what older applications leave behind.
       "SET STATEMENT sql_mode='' FOR INSERT INTO %1 VALUES "
       "(1, 'hello', '{\"a\":1}', '12:34:56', '2024-01-15', '2024-01-15 10:30:00', 1.5, 1, "
       "18446744073709551615, 2024, 'blob', 'a', b'10101010', b'101'), "
       "(2, NULL, NULL, '838:59:59', '2024-02-00', '0000-00-00 00:00:00', "
       "-0.000000000000000000000000000001, 0, 0, NULL, NULL, 'b,c', b'0', b'111'), "
       "(3, '\xC3\xA9\xF0\x9F\x98\x80', '[]', '-00:00:01', '9999-12-31', '2024-12-31 23:59:59', "
       "12345678901234567890123456789012345.12345678901234567890123456789, NULL, NULL, 1901, '', "
       "NULL, NULL, NULL)"},
      {
          {"1\thello\t{\"a\":1}\t12:34:56\t2024-01-15\t2024-01-15 10:30:00\t1.5\tTrue\t"
           "18446744073709551615\t2024\t\"<BLOB>\"\ta\t170\t5",
           "1,hello,{\"a\":1},12:34:56,2024-01-15,2024-01-15 10:30:00,1.5,True,"
           "18446744073709551615,2024,\"<BLOB>\",a,170,5"},
          {"2\t\t\t838:59:59\t2024-02-00\t0000-00-00 00:00:00\t-0.000000000000000000000000000001\t"
           "False\t0\t\t\"<BLOB>\"\tb,c\t0\t7",
           "2,,,838:59:59,2024-02-00,0000-00-00 00:00:00,-0.000000000000000000000000000001,False,"
           "0,,\"<BLOB>\",\"b,c\",0,7"},
          {"3\t\xC3\xA9\xF0\x9F\x98\x80\t[]\t-00:00:01\t9999-12-31\t2024-12-31 23:59:59\t"
           "12345678901234567890123456789012345.12345678901234567890123456789\t\t\t1901\t"
           "\"<BLOB>\"\t\t\t",
           "3,\xC3\xA9\xF0\x9F\x98\x80,[],-00:00:01,9999-12-31,2024-12-31 23:59:59,"
           "12345678901234567890123456789012345.12345678901234567890123456789,,,1901,\"<BLOB>\",,"
           ","},
      },
      // BIT(n) with n > 1 is its unsigned number; bounded binary that is no UTF-16 text (an odd
      // last byte, a zero unit) is written in hexadecimal, the rest as UTF-16 text.
      "SELECT b8, CAST('ABC' AS BINARY(3)) AS b3, CAST(x'0000' AS BINARY(2)) AS z, "
      "CAST(x'41004200' AS BINARY(4)) AS ab FROM %1 WHERE id = 1",
      {{"170\t0x414243\t0x0000\tAB", "170,0x414243,0x0000,AB"}},
  };
}

// The string with the driver's streaming option switched off: the plain road, which the fast
// one must match in every file, field type and error text.
QString PlainRoadOf(const QString& connectionString) {
  const ado::DriverProfile& driver = ado::ConnectionTarget::Of(connectionString).Profile();
  if (!driver.StreamingKeyword) return connectionString;
  return connectionString + u';' + QLatin1String(driver.StreamingKeyword) + QStringLiteral("=0");
}

enum class RoadKind { Fast, Plain };

class AwkwardExport : public DatabaseExport,
                      public ::testing::WithParamInterface<std::tuple<AwkwardTable, RoadKind>> {};

TEST_P(AwkwardExport, WritesEveryValueAsTheDatabaseHoldsIt) {
  const AwkwardTable& awkward = std::get<0>(GetParam());
  const QString server = awkward.ConnectionString();
  REQUIRE_SERVER(server);
  const QString db = std::get<1>(GetParam()) == RoadKind::Plain ? PlainRoadOf(server) : server;
  testdb::ScopedTables tables(db);
  const QString table = tables.Name("awkward");
  for (const QString& statement : awkward.Setup) Prepare(db, statement.arg(table));
  Run(db, QStringLiteral("SELECT * FROM %1 ORDER BY id").arg(table));
  ExpectFile(awkward.Lines);
  if (!awkward.FollowUp.isEmpty()) {
    Run(db, awkward.FollowUp.arg(table));
    ExpectFile(awkward.FollowUpLines);
  }
  Form->ADODataSet->Close();  // before its table goes
}

INSTANTIATE_TEST_SUITE_P(Databases, AwkwardExport,
                         ::testing::Combine(::testing::Values(SqliteTable(), PostgresTable(),
                                                              MariaDbTable()),
                                            ::testing::Values(RoadKind::Fast, RoadKind::Plain)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).Name) +
                                  (std::get<1>(info.param) == RoadKind::Plain ? "_plain" : "");
                         });

// What a user sees of one statement: the error box's texts, or the fields and the saved file.
struct Outcome {
  QStringList Errors;
  QStringList Fields;  // name and type of each field
  QByteArray File;
  friend bool operator==(const Outcome&, const Outcome&) = default;
};

void PrintTo(const Outcome& o, std::ostream* out) {
  *out << "errors [" << o.Errors.join(" | ").toStdString() << "] fields ["
       << o.Fields.join(", ").toStdString() << "] file [" << o.File.toStdString() << "]";
}

// Statements over a table of one database ("%1" is its name) that a driver's streaming mode
// could show otherwise: columns without a declared type, unfinished statements, markers.
struct ParityCase {
  const char* Name;
  QString (*ConnectionString)();
  QStringList Setup;
  QStringList Statements;
};

void PrintTo(const ParityCase& c, std::ostream* out) {
  *out << c.Name;
}

QString ParitySqlite() {
  return testdb::SqliteConnectionString("parity.db");
}

const ParityCase kParityCases[] = {
    {"sqlite",
     &ParitySqlite,
     {"CREATE TABLE %1(id INTEGER, q, q2, q3 varchar, b)",
      "INSERT INTO %1 VALUES (1, 'first', 1.5, 2.5, x'41'), (2, 'second', 'two', 'x', 7)"},
     {"SELECT q, q2 FROM %1 ORDER BY id", "SELECT q2, q3, b FROM %1 ORDER BY id DESC",
      "SELECT * FROM %1 WHERE", "SELECT 'abc", "SELECT :x AS a, id FROM %1 WHERE :y IS NULL",
      "SELECT count(*), max(q2), 2.5 * 2 FROM %1", "SELECT nosuch FROM %1",
      "SELECT * FROM (SELECT q2, b FROM %1 ORDER BY id)", "SELECT x'41' AS l, 1.5 AS r, '7' AS t"}},
    {"postgres",
     &testdb::PostgresConnectionString,
     {"CREATE TABLE %1(id int, v text)", "INSERT INTO %1 VALUES (1, 'a'), (2, NULL)"},
     {"SELECT * FROM %1 WHERE", "SELECT 'abc", "SELECT 3 /* tail",
      "SELECT :x AS a, id FROM %1 WHERE :y IS NULL", "SELECT id, v FROM %1 ORDER BY id",
      "SELECT 1/0", "SELECT id FROM %1 ORDER BY id; SELECT 2", "SELECT id -- the key\nFROM %1",
      "SELECT $$a$$ || v FROM %1", "SELECT nosuch FROM %1"}},
    {"mariadb",
     &testdb::MariaDbConnectionString,
     {"CREATE TABLE %1(id INT, v TEXT)", "INSERT INTO %1 VALUES (1, 'a'), (2, NULL)"},
     {"SELECT * FROM %1 WHERE", "SELECT :x AS a, id FROM %1 WHERE :y IS NULL",
      "SELECT id, v FROM %1 ORDER BY id", "SELECT 'abc"}},
};

class RoadParity : public DatabaseExport, public ::testing::WithParamInterface<ParityCase> {
 protected:
  Outcome Try(const QString& connectionString, const QString& sql) {
    Errors.clear();
    Form->ADODataSet->Close();
    Form->ADOConnection->SetConnectionString(connectionString);
    Form->reSQL->setPlainText(sql);
    Form->btnExecute->click();
    Outcome outcome;
    outcome.Errors = Errors;
    if (!Form->ADODataSet->Active()) return outcome;
    for (int c = 0; c < Form->ADODataSet->FieldCount(); ++c) {
      const TField* field = Form->ADODataSet->Fields(c);
      outcome.Fields << QStringLiteral("%1:%2").arg(field->FieldName()).arg(field->DataType());
    }
    outcome.File = Saved();
    Form->ADODataSet->Close();
    return outcome;
  }
};

TEST_P(RoadParity, TheFastRoadShowsWhatThePlainRoadShows) {
  const ParityCase& parity = GetParam();
  const QString db = parity.ConnectionString();
  REQUIRE_SERVER(db);
  testdb::ScopedTables tables(db);
  const QString table = tables.Name("parity");
  for (const QString& statement : parity.Setup) Prepare(db, statement.arg(table));
  for (const QString& statement : parity.Statements) {
    const QString sql = statement.contains(QLatin1String("%1")) ? statement.arg(table) : statement;
    SCOPED_TRACE(sql.toStdString());
    EXPECT_EQ(Try(db, sql), Try(PlainRoadOf(db), sql));
  }
}

INSTANTIATE_TEST_SUITE_P(Databases, RoadParity, ::testing::ValuesIn(kParityCases),
                         [](const auto& info) { return std::string(info.param.Name); });

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

TEST_F(DatabaseExport, PostgresRowsInOrderAndNoRows) {
  const QString pg = testdb::PostgresConnectionString();
  REQUIRE_SERVER(pg);
  Run(pg, "SELECT i, i * 0.5 AS h FROM generate_series(1, 3) AS i ORDER BY i");
  EXPECT_EQ(Saved(), QByteArray("1\t0.5\r\n2\t1\r\n3\t1.5\r\n"));
  Run(pg, "SELECT 1 AS a WHERE false");
  EXPECT_EQ(Saved(), QByteArray());
}

TEST_F(DatabaseExport, PostgresDecimalsInADecimalCommaLocale) {
  const QString pg = testdb::PostgresConnectionString();
  REQUIRE_SERVER(pg);
  // psqlODBC writes a decimal's text with the process locale's decimal point ("1,50").
  LocaleGuard german("de_DE.iso88591");
  if (!german.Active()) GTEST_SKIP() << "de_DE.iso88591 is not installed";
  RegionalSettings::Reload();
  Run(pg, "SELECT 1.50::numeric AS a, 1.5::float8 AS b, 12.50::money AS c");
  EXPECT_EQ(Saved(), QByteArray("1,5\t1,5\t12,5\r\n"));
}

TEST_F(DatabaseExport, PostgresEmptyCustomDelimiterJoinsTheValues) {
  const QString pg = testdb::PostgresConnectionString();
  REQUIRE_SERVER(pg);
  Form->cbxDelimiter->setCurrentIndex(3);
  Form->edtCustomDelimiter->setText("");
  Run(pg, "SELECT 'abc'::varchar(10), 12, NULL::text, 'x,y'::text, '\\x01'::bytea");
  EXPECT_EQ(Saved(), QByteArray("abc12x,y\"<BLOB>\"\r\n"));
}

}  // namespace
