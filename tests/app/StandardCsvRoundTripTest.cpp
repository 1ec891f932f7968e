#include "ExportTestSupport.h"

#include "data/TADOConnection.h"
#include "data/TADODataSet.h"
#include "data/TField.h"
#include "tests/support/TestDatabases.h"

#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>

namespace {

const QString NUL;  // a NULL among the expected values; "" is empty text

// A table of awkward values in one database: how it is made ("%1" is its name), and its rows
// ordered by id as a program reads them back from the file.
struct RoundTripTable {
  const char* Name;
  QString (*ConnectionString)();
  QStringList Setup;
  std::vector<QStringList> Rows;
};

void PrintTo(const RoundTripTable& table, std::ostream* out) {
  *out << table.Name;
}

QString RoundTripSqlite() {
  return testdb::SqliteConnectionString("roundtrip.db");
}

const QString kControls = QStringLiteral("cr\rlf\ncrlf\r\ntab\t");
const QString kLong = QString(100000, u'x');

RoundTripTable SqliteTable() {
  // The driver gives reals with 15 significant digits, so only such reals come back whole.
  return {
      "sqlite",
      &RoundTripSqlite,
      {"CREATE TABLE %1(id INTEGER, i INTEGER, r REAL, n NUMERIC, d DATE, ts TIMESTAMP, tx TEXT, "
       "b BLOB, v VARCHAR(5), bt BIT)",
       "INSERT INTO %1 VALUES "
       "(1, -9223372036854775808, 0.1, 12345678901234567, '2024-02-29', "
       "'2024-12-31 23:59:59.999999', 'quote \" , comma', x'00ff22', 'a,b', 1), "
       "(2, NULL, NULL, NULL, NULL, NULL, '', NULL, NULL, NULL), "
       "(3, 9223372036854775807, -1.5e300, 1.5, 'notadate', '2024-01-01T10:00:00', "
       "'cr' || char(13) || 'lf' || char(10) || 'crlf' || char(13, 10) || 'tab' || char(9), "
       "x'', ' lead', 0), "
       "(4, '12abc', 2.5e-308, -0.5, '0001-01-01', '2024-01-01 00:00:00.5', "
       "replace(hex(zeroblob(50000)), '0', 'x'), x'0d0a', 'end ', NULL)"},
      {
          {"1", "-9223372036854775808", "0.1", "12345678901234567", "2024-02-29",
           "2024-12-31 23:59:59.999999", "quote \" , comma", "\\x00ff22", "a,b", "true"},
          {"2", NUL, NUL, NUL, NUL, NUL, "", NUL, NUL, NUL},
          {"3", "9223372036854775807", "-1.5e+300", "1.5", "notadate", "2024-01-01 10:00:00",
           kControls, "\\x", " lead", "false"},
          {"4", "12abc", "2.5e-308", "-0.5", "0001-01-01", "2024-01-01 00:00:00.5", kLong,
           "\\x0d0a", "end ", NUL},
      },
  };
}

RoundTripTable PostgresTable() {
  return {
      "postgres",
      &testdb::PostgresConnectionString,
      {"CREATE TABLE %1(id int, t text, v varchar(20), c char(3), i2 smallint, i8 bigint, "
       "n numeric, f4 real, f8 float8, d date, ts timestamp, tm time, b bool, by bytea, j jsonb)",
       "INSERT INTO %1 VALUES "
       "(1, 'quote \" inside', 'a,b', 'ab', -32768, -9223372036854775808, "
       "123456789012345678901234567890.123456789, 0.1, 1.7976931348623157e308, '2024-02-29', "
       "'2024-12-31 23:59:59.999999', '23:59:59.999999', true, '\\x00ff22', "
       "'{\"a\": [1, \"x,y\"]}'), "
       "(2, NULL, '', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL), "
       "(3, E'cr\\rlf\\ncrlf\\r\\ntab\\t', ' lead', ' x ', 32767, 9223372036854775807, 'NaN', "
       "3.4028235e38, 2.2250738585072014e-308, '0001-01-01', '0044-03-15 00:00:00 BC', "
       "'24:00:00', false, '', '[]'), "
       "(4, repeat('x', 100000), 'end ', 'a\"', 0, 0, -0.000000000000000000000000000001, "
       "-0.5, 0.30000000000000004, 'infinity', '-infinity', '00:00:00.5', NULL, '\\x0d0a', "
       "'null')"},
      {
          {"1", "quote \" inside", "a,b", "ab ", "-32768", "-9223372036854775808",
           "123456789012345678901234567890.123456789", "0.1", "1.7976931348623157e+308",
           "2024-02-29", "2024-12-31 23:59:59.999999", "23:59:59.999999", "true", "\\x00ff22",
           "{\"a\": [1, \"x,y\"]}"},
          {"2", NUL, "", NUL, NUL, NUL, NUL, NUL, NUL, NUL, NUL, NUL, NUL, NUL, NUL},
          {"3", kControls, " lead", " x ", "32767", "9223372036854775807", "NaN", "3.4028235e+38",
           "2.2250738585072014e-308", "0001-01-01", "0044-03-15 00:00:00 BC", "24:00:00", "false",
           "\\x", "[]"},
          {"4", kLong, "end ", "a\" ", "0", "0", "-0.000000000000000000000000000001", "-0.5",
           "0.30000000000000004", "infinity", "-infinity", "00:00:00.5", NUL, "\\x0d0a", "null"},
      },
  };
}

RoundTripTable MariaDbTable() {
  return {
      "mariadb",
      &testdb::MariaDbConnectionString,
      {"CREATE TABLE %1(id INT, t TEXT, v VARCHAR(20), ti TINYINT, bu BIGINT UNSIGNED, "
       "bi BIGINT, dc DECIMAL(65,30), db DOUBLE, d DATE, dt DATETIME(6), tm TIME(6), bt BIT(1), "
       "bl BLOB, vb VARBINARY(10), j JSON) CHARACTER SET utf8mb4",
       // Zero dates are what older applications leave behind.
       "SET STATEMENT sql_mode='' FOR INSERT INTO %1 VALUES "
       "(1, 'quote \" inside', 'a,b', -128, 18446744073709551615, -9223372036854775808, "
       "12345678901234567890123456789012345.123456789012345678901234567890, "
       "1.7976931348623157e308, '2024-02-29', '2024-12-31 23:59:59.999999', "
       "'838:59:59.999999', 1, x'00ff22', x'0d0a', '{\"a\": [1, \"x,y\"]}'), "
       "(2, NULL, '', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL), "
       "(3, 'cr\\rlf\\ncrlf\\r\\ntab\\t', ' lead', 127, 0, 9223372036854775807, "
       "-0.000000000000000000000000000001, 2.2250738585072014e-308, '0000-00-00', "
       "'0000-00-00 00:00:00', '-00:00:01.500000', 0, '', x'', '[]'), "
       "(4, repeat('\xC3\xA9', 30000), 'end ', 0, 1, 0, 0, 0.30000000000000004, '9999-12-31', "
       "'1000-01-01 00:00:00.000001', '00:00:00', NULL, NULL, NULL, 'null')"},
      {
          {"1", "quote \" inside", "a,b", "-128", "18446744073709551615", "-9223372036854775808",
           "12345678901234567890123456789012345.12345678901234567890123456789",
           "1.7976931348623157e+308", "2024-02-29", "2024-12-31 23:59:59.999999",
           "838:59:59.999999", "true", "\\x00ff22", "\\x0d0a", "{\"a\": [1, \"x,y\"]}"},
          {"2", NUL, "", NUL, NUL, NUL, NUL, NUL, NUL, NUL, NUL, NUL, NUL, NUL, NUL},
          {"3", kControls, " lead", "127", "0", "9223372036854775807",
           "-0.000000000000000000000000000001", "2.2250738585072014e-308", "0000-00-00",
           "0000-00-00 00:00:00.000000", "-00:00:01.500000", "false", "\\x", "\\x", "[]"},
          {"4", QString(30000, QChar(0xE9)), "end ", "0", "1", "0", "0", "0.30000000000000004",
           "9999-12-31", "1000-01-01 00:00:00.000001", "00:00:00.000000", NUL, NUL, NUL, "null"},
      },
  };
}

// Reads a CSV file with Python's csv module: every record, the header line first.
std::vector<QStringList> ReadWithPython(const QString& path, QChar delimiter) {
  QProcess python;
  python.start("python3", {"-c",
                           "import csv, json, sys\n"
                           "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                           "    rows = list(csv.reader(f, delimiter=sys.argv[2], strict=True))\n"
                           "print(json.dumps(rows))\n",
                           path, QString(delimiter)});
  python.waitForFinished(60000);
  EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
  std::vector<QStringList> rows;
  for (const QJsonValue& row : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
    QStringList values;
    for (const QJsonValue& value : row.toArray()) values << value.toString();
    rows.push_back(values);
  }
  return rows;
}

// PostgreSQL's own CSV reader: COPY ... FROM (FORMAT csv, HEADER) through psql into a table
// shaped like the first, which holds NULL apart from empty text.
void CopyIntoPostgres(const QString& connectionString, const QString& table, const QString& path,
                      QChar delimiter) {
  QMap<QString, QString> keys;
  for (const QString& pair : connectionString.split(u';')) {
    const qsizetype eq = pair.indexOf(u'=');
    if (eq > 0) keys[pair.left(eq).toLower()] = pair.mid(eq + 1);
  }
  QProcess psql;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("PGPASSWORD", keys["pwd"]);
  psql.setProcessEnvironment(environment);
  const QString copy =
      QStringLiteral("\\copy %1 FROM '%2' WITH (FORMAT csv, HEADER, DELIMITER E'%3')")
          .arg(table, path, delimiter == u'\t' ? "\\t" : ",");
  psql.start("psql", {"-v", "ON_ERROR_STOP=1", "-h", keys["server"], "-p", keys["port"], "-U",
                      keys["uid"], "-d", keys["database"], "-c", copy});
  psql.waitForFinished(60000);
  EXPECT_EQ(psql.exitCode(), 0) << psql.readAllStandardError().toStdString();
}

class StandardCsvRoundTrip : public ExportTest,
                             public ::testing::WithParamInterface<RoundTripTable> {
 protected:
  void Run(const QString& connectionString, const QString& sql, bool rows = true) {
    Form->ADODataSet->Close();  // the connection may change
    Form->ADOConnection->SetConnectionString(connectionString);
    Form->reSQL->setPlainText(sql);
    Form->btnExecute->click();
    if (rows) {
      ASSERT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
    }
    Errors.clear();  // a statement without rows says so
  }
};

// Saved as standard CSV with the comma and with the tab, a real CSV reader gets back every
// value, the header line and the row count: Python's csv module, and PostgreSQL's COPY, which
// holds NULL apart from empty text, into a table of text columns (whichever database wrote the
// file, when a PostgreSQL server is at hand). PostgreSQL's own file goes back into a copy of its
// table that equals the original.
TEST_P(StandardCsvRoundTrip, ARealReaderGetsBackEveryValue) {
  const RoundTripTable& tableCase = GetParam();
  const QString db = tableCase.ConnectionString();
  REQUIRE_SERVER(db);
  testdb::ScopedTables tables(db);
  const QString table = tables.Name("roundtrip");
  for (const QString& statement : tableCase.Setup) Run(db, statement.arg(table), false);
  const bool postgres = QString(tableCase.Name) == "postgres";
  const QString copy = tables.Name("copy");
  if (postgres) Run(db, QStringLiteral("CREATE TABLE %1 (LIKE %2)").arg(copy, table), false);
  const QString pg = testdb::PostgresConnectionString();
  testdb::ScopedTables pgTables(pg);
  const QString texts = pgTables.Name("texts");
  if (!pg.isEmpty()) {
    QStringList columns;
    for (qsizetype c = 0; c < tableCase.Rows[0].size(); ++c)
      columns << QStringLiteral("c%1 text").arg(c);
    Run(pg, QStringLiteral("CREATE TABLE %1 (%2)").arg(texts, columns.join(", ")), false);
  }

  for (const auto& [index, delimiter] : {std::pair{2, QChar(u',')}, {0, QChar(u'\t')}}) {
    SCOPED_TRACE(delimiter == u',' ? "comma" : "tab");
    Run(db, QStringLiteral("SELECT * FROM %1 ORDER BY id").arg(table));
    QStringList header;
    for (int c = 0; c < Form->ADODataSet->FieldCount(); ++c)
      header << Form->ADODataSet->Fields(c)->FieldName();
    Form->cbxDelimiter->setCurrentIndex(index);
    const QString path = PathOf("roundtrip.csv");
    Export(path, kStandardCsvFilter);
    ASSERT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();

    const std::vector<QStringList> read = ReadWithPython(path, delimiter);
    ASSERT_EQ(read.size(), tableCase.Rows.size() + 1);
    EXPECT_EQ(read[0], header);
    for (size_t r = 0; r < tableCase.Rows.size(); ++r) {
      ASSERT_EQ(read[r + 1].size(), tableCase.Rows[r].size()) << "record " << r;
      for (qsizetype c = 0; c < tableCase.Rows[r].size(); ++c) {
        const QString& expected = tableCase.Rows[r][c];  // the csv module reads NULL as ""
        // Long values are shown by their start and length.
        const auto shown = [](const QString& text) {
          return QStringLiteral("%1 (%2 characters)").arg(text.left(60)).arg(text.size());
        };
        EXPECT_TRUE(read[r + 1][c] == expected)
            << "record " << r << ", column " << header.value(c).toStdString() << ": read "
            << shown(read[r + 1][c]).toStdString() << ", expected "
            << shown(expected).toStdString();
      }
    }

    if (!pg.isEmpty()) {
      Run(pg, QStringLiteral("TRUNCATE %1").arg(texts), false);
      Form->ADODataSet->Close();
      CopyIntoPostgres(pg, texts, path, delimiter);
      Run(pg, QStringLiteral("SELECT * FROM %1 ORDER BY c0::int").arg(texts));
      const TADODataSet& back = *Form->ADODataSet;
      ASSERT_EQ(back.RecordCount(), static_cast<qint64>(tableCase.Rows.size()));
      for (size_t r = 0; r < tableCase.Rows.size(); ++r) {
        for (qsizetype c = 0; c < tableCase.Rows[r].size(); ++c) {
          const QString& expected = tableCase.Rows[r][c];
          const TField* field = back.Fields(static_cast<int>(c));
          EXPECT_EQ(field->IsNullAt(static_cast<qint64>(r)), expected.isNull())
              << "COPY: record " << r << ", column " << header.value(c).toStdString();
          EXPECT_TRUE(field->AsStringAt(static_cast<qint64>(r)) == expected)
              << "COPY: record " << r << ", column " << header.value(c).toStdString();
        }
      }
    }

    if (postgres) {
      Run(db, QStringLiteral("TRUNCATE %1").arg(copy), false);
      Form->ADODataSet->Close();
      CopyIntoPostgres(db, copy, path, delimiter);
      Run(db, QStringLiteral("SELECT (SELECT count(*) FROM %1), (SELECT count(*) FROM "
                             "((TABLE %1 EXCEPT ALL TABLE %2) UNION ALL "
                             "(TABLE %2 EXCEPT ALL TABLE %1)) AS d)")
                  .arg(table, copy));
      EXPECT_EQ(Form->ADODataSet->Fields(0)->AsString(), QString::number(tableCase.Rows.size()));
      EXPECT_EQ(Form->ADODataSet->Fields(1)->AsString(), "0") << "rows that differ";
    }
  }
  Form->ADODataSet->Close();  // before its tables go
}

INSTANTIATE_TEST_SUITE_P(Databases, StandardCsvRoundTrip,
                         ::testing::Values(SqliteTable(), PostgresTable(), MariaDbTable()),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
