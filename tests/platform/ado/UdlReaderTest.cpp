#include "platform/ado/UdlReader.h"
#include "tests/platform/ado/AdoTestSupport.h"
#include "tests/support/TestDatabases.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace ado;
using adotest::OleMessageOf;

namespace {

class DataLinkFile : public ::testing::Test {
 protected:
  QString Write(const QString& name, const QByteArray& bytes) {
    const QString path = FDir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }
  static QByteArray Utf16(const QString& text, QStringConverter::Encoding encoding) {
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
  }
  QTemporaryDir FDir;
};

}  // namespace

TEST_F(DataLinkFile, FirstLineThatIsNoCommentSectionOrBlankIsTheString) {
  const QString path = Write(QStringLiteral("a.udl"),
                             "\n[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
                             "   \r\nDRIVER=SQLite3;Database=/tmp/x.db\r\nDSN=second\r\n");
  EXPECT_EQ(ReadDataLinkFile(path), QStringLiteral("DRIVER=SQLite3;Database=/tmp/x.db"));
}

TEST_F(DataLinkFile, Utf16WithByteOrderMarkAndUtf8AreRead) {
  const QString text = QString::fromUtf8("[oledb]\r\nDSN=caf\u00e9 \u4e2d\r\n");
  EXPECT_EQ(
      ReadDataLinkFile(Write(QStringLiteral("le.udl"), Utf16(text, QStringConverter::Utf16LE))),
      QString::fromUtf8("DSN=caf\u00e9 \u4e2d"));
  EXPECT_EQ(
      ReadDataLinkFile(Write(QStringLiteral("be.udl"), Utf16(text, QStringConverter::Utf16BE))),
      QString::fromUtf8("DSN=caf\u00e9 \u4e2d"));
  EXPECT_EQ(ReadDataLinkFile(Write(QStringLiteral("u8.udl"), "\xEF\xBB\xBF" + text.toUtf8())),
            QString::fromUtf8("DSN=caf\u00e9 \u4e2d"));
  EXPECT_EQ(ReadDataLinkFile(Write(QStringLiteral("plain.udl"), text.toUtf8())),
            QString::fromUtf8("DSN=caf\u00e9 \u4e2d"));
}

TEST_F(DataLinkFile, MissingAndEmptyFilesAreErrorsNamingThePath) {
  const QString missing = FDir.filePath(QStringLiteral("missing.udl"));
  const QString message = OleMessageOf([&] { ReadDataLinkFile(missing); });
  EXPECT_TRUE(message.contains(QLatin1Char('"') + missing + QLatin1Char('"'))) << message;
  const QString empty = Write(QStringLiteral("empty.udl"), "[oledb]\r\n; only a comment\r\n\r\n");
  const QString emptyMessage = OleMessageOf([&] { ReadDataLinkFile(empty); });
  EXPECT_EQ(emptyMessage,
            QStringLiteral("The data link file \"%1\" holds no connection string").arg(empty));
  EXPECT_TRUE(OleMessageOf([&] {
                ReadDataLinkFile(Write(QStringLiteral("zero.udl"), ""));
              }).contains(QStringLiteral("holds no connection string")));
}

TEST_F(DataLinkFile, OnlyTheExactPrefixAtTheStartIsAReference) {
  EXPECT_EQ(ResolveConnectionString(QStringLiteral("file name=/nowhere.udl")),
            QStringLiteral("file name=/nowhere.udl"));
  EXPECT_EQ(ResolveConnectionString(QStringLiteral(" FILE NAME=/nowhere.udl")),
            QStringLiteral(" FILE NAME=/nowhere.udl"));
  EXPECT_EQ(ResolveConnectionString(QStringLiteral("DSN=x;FILE NAME=/nowhere.udl")),
            QStringLiteral("DSN=x;FILE NAME=/nowhere.udl"));
  const QString path = Write(QStringLiteral("r.udl"), "DSN=resolved\n");
  EXPECT_EQ(ResolveConnectionString(QStringLiteral("FILE NAME=") + path),
            QStringLiteral("DSN=resolved"));
}

TEST_F(DataLinkFile, ConnectionOpensThroughAGoodFileAndReportsBadOnes) {
  const QString db = testdb::SqlitePath(QStringLiteral("udl.db"));
  const QString good = Write(
      QStringLiteral("good.udl"),
      QStringLiteral("[oledb]\r\n; comment\r\nDRIVER=SQLite3;Database=%1\r\n").arg(db).toUtf8());
  OdbcConnection c;
  c.Open(QStringLiteral("FILE NAME=") + good);
  ASSERT_TRUE(c.IsOpen());
  EXPECT_EQ(c.Execute(QStringLiteral("SELECT 42"), {})->GetValue(0, 0).Int, 42);
  c.Close();

  const QString missing = FDir.filePath(QStringLiteral("gone.udl"));
  EXPECT_TRUE(
      OleMessageOf([&] { c.Open(QStringLiteral("FILE NAME=") + missing); }).contains(missing));
  EXPECT_FALSE(c.IsOpen());
  const QString empty = Write(QStringLiteral("blank.udl"), "\r\n\r\n");
  EXPECT_TRUE(OleMessageOf([&] { c.Open(QStringLiteral("FILE NAME=") + empty); }).contains(empty));
  EXPECT_FALSE(c.IsOpen());
}

TEST_F(DataLinkFile, OnlyTheFirstMegabyteOfARegularFileIsRead) {
  const QString fifo = FDir.filePath(QStringLiteral("pipe.udl"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  // Past the first megabyte, where nothing is read any more.
  const QString late =
      Write(QStringLiteral("late.udl"), QByteArray(1024 * 1024, '\n') + "DSN=too late\n");
  struct Case {
    QString Path;
    QString Message;
  };
  const Case cases[] = {
      // Opening a FIFO for reading would wait for a writer for ever.
      {fifo, QStringLiteral("The data link file \"%1\" is not a regular file").arg(fifo)},
      // /dev/zero would be read until memory runs out.
      {QStringLiteral("/dev/zero"),
       QStringLiteral("The data link file \"/dev/zero\" is not a regular file")},
      {FDir.path(),
       QStringLiteral("The data link file \"%1\" is not a regular file").arg(FDir.path())},
      {late, QStringLiteral("The data link file \"%1\" holds no connection string").arg(late)},
  };
  for (const Case& c : cases) EXPECT_EQ(OleMessageOf([&] { ReadDataLinkFile(c.Path); }), c.Message);
}
