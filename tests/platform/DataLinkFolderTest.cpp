#include "platform/DataLinkFolder.h"
#include "tests/support/ScopedDataLinkFolder.h"
#include "tests/support/ScopedValue.h"

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
  const QString builtIn = ScopedDataLinkFolder::IniFolder() + "/ODBCDataSources";
  // What odbcinst -j shows as FILE DATA SOURCES for each odbcinst.ini ending.
  const std::pair<const char*, QString> cases[] = {
      {"[Other]\nFileDSNPath=/wrong\n[ odbc ] junk\n; FileDSNPath=/comment\n"
       "  filedsnpath  =  /srv/a b \t\n",
       "/srv/a b"},
      {"[ODBC]\nTrace=No\n[SQLite9]\nFileDSNPath=/wrong\n", builtIn},
      // The first occurrence, in the first [ODBC] section, counts, even when empty.
      {"[ODBC]\nFileDSNPath=/first\nFileDSNPath=/second\n", "/first"},
      {"[ODBC]\nFileDSNPath=/first\n[ODBC]\nFileDSNPath=/second\n", "/first"},
      {"[ODBC]\nTrace=No\n  [ODBC]\nFileDSNPath=/second\n", builtIn},
      {"[ODBC]\nFileDSNPath=\nFileDSNPath=/second\n", builtIn},
      // A line before the first section that is no comment leaves the file unread.
      {"x=1\n[ODBC]\nFileDSNPath=/unread\n", builtIn},
      {"  [ODBC]\nFileDSNPath=/unread\n", builtIn},
      {"\xEF\xBB\xBF[ODBC]\nFileDSNPath=/unread\n", builtIn},
      {"  ; note\n\t\n[ODBC]\nFileDSNPath=/read\n", "/read"},
  };
  // The whole file, so a line can stand before the first section.
  const QString iniFile = ScopedDataLinkFolder::IniFolder() + "/odbcinst.ini";
  for (const auto& [ini, folder] : cases) {
    WriteFile(iniFile, ini);
    EXPECT_EQ(DataLinkFolder(), folder) << ini;
  }
  ScopedDataLinkFolder::WriteIni({});
}

TEST(DataLinkFolder, HonoursAnotherIniFileName) {
  ScopedDataLinkFolder links;
  const QString other = ScopedDataLinkFolder::IniFolder() + "/other.ini";
  WriteFile(other, "[ODBC]\nFileDSNPath=/srv/other\n");
  {
    const ScopedRestore iniName = ScopedEnvironment("ODBCINSTINI", "other.ini");
    EXPECT_EQ(DataLinkFolder(), "/srv/other");
  }
  QFile::remove(other);
}

TEST(ReadIniValue, MissingFileSectionOrKeyIsEmpty) {
  QTemporaryDir dir;
  const QString path = dir.filePath("a.ini");
  EXPECT_TRUE(ReadIniValue(path, "ODBC", "FileDSNPath").isEmpty());
  WriteFile(path, "[ODBC]\nKey=1\nKey = 2\n[Next]\nKey=3\nNoEquals\n");
  EXPECT_EQ(ReadIniValue(path, "ODBC", "Key"), "1");
  EXPECT_EQ(ReadIniValue(path, "next", "KEY"), "3");
  EXPECT_TRUE(ReadIniValue(path, "ODBC", "Missing").isEmpty());
  EXPECT_TRUE(ReadIniValue(path, "Missing", "Key").isEmpty());
}
