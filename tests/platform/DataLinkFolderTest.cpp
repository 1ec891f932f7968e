#include "platform/DataLinkFolder.h"
#include "tests/support/ScopedDataLinkFolder.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void WriteFile(const QString& path, const QByteArray& text) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(text);
}

}  // namespace

TEST(DataLinkFolder, IsTheConfiguredFileDsnPathAndFollowsOdbcSysIni) {
  ScopedDataLinkFolder links;
  EXPECT_EQ(OdbcSystemFilePath(), ScopedDataLinkFolder::IniFolder());
  EXPECT_EQ(DataLinkFolder(), links.Folder());
}

TEST(DataLinkFolder, WithoutFileDsnPathIsTheBuiltInFolderBesideTheIni) {
  ScopedDataLinkFolder links(false);
  EXPECT_EQ(DataLinkFolder(), ScopedDataLinkFolder::IniFolder() + "/ODBCDataSources");
}

TEST(DataLinkFolder, IsReadAfreshAtEveryCall) {
  ScopedDataLinkFolder links;
  EXPECT_EQ(DataLinkFolder(), links.Folder());
  ScopedDataLinkFolder::WriteIni("[ODBC]\nFileDSNPath=/srv/links\n");
  EXPECT_EQ(DataLinkFolder(), "/srv/links");
  ScopedDataLinkFolder::WriteIni("[ODBC]\n");
  EXPECT_EQ(DataLinkFolder(), ScopedDataLinkFolder::IniFolder() + "/ODBCDataSources");
}

TEST(DataLinkFolder, ReadsTheIniAsTheDriverManagerDoes) {
  ScopedDataLinkFolder links;
  // Section and key names ignore case, blanks around them go, comments are not values.
  ScopedDataLinkFolder::WriteIni(
      "[Other]\nFileDSNPath=/wrong\n[ odbc ]\n; FileDSNPath=/comment\n  filedsnpath  =  /srv/a b  "
      "\n");
  EXPECT_EQ(DataLinkFolder(), "/srv/a b");
  // A FileDSNPath of another section is not the data link folder.
  ScopedDataLinkFolder::WriteIni("[ODBC]\nTrace=No\n[SQLite9]\nFileDSNPath=/wrong\n");
  EXPECT_EQ(DataLinkFolder(), ScopedDataLinkFolder::IniFolder() + "/ODBCDataSources");
}

TEST(DataLinkFolder, HonoursAnotherIniFileName) {
  ScopedDataLinkFolder links;
  const QString other = ScopedDataLinkFolder::IniFolder() + "/other.ini";
  WriteFile(other, "[ODBC]\nFileDSNPath=/srv/other\n");
  qputenv("ODBCINSTINI", "other.ini");
  const QString folder = DataLinkFolder();
  qunsetenv("ODBCINSTINI");
  QFile::remove(other);
  EXPECT_EQ(folder, "/srv/other");
}

TEST(ReadIniValue, MissingFileSectionOrKeyIsEmptyAndTheLastOccurrenceWins) {
  QTemporaryDir dir;
  const QString path = dir.filePath("a.ini");
  EXPECT_TRUE(ReadIniValue(path, "ODBC", "FileDSNPath").isEmpty());
  WriteFile(path, "[ODBC]\nKey=1\nKey = 2\n[Next]\nKey=3\nNoEquals\n");
  EXPECT_EQ(ReadIniValue(path, "ODBC", "Key"), "2");
  EXPECT_EQ(ReadIniValue(path, "next", "KEY"), "3");
  EXPECT_TRUE(ReadIniValue(path, "ODBC", "Missing").isEmpty());
  EXPECT_TRUE(ReadIniValue(path, "Missing", "Key").isEmpty());
}
