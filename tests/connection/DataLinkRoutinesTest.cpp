#include "connection/AdoConEd.h"
#include "connection/DataLinkRoutines.h"
#include "tests/support/FindChild.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/ScopedDataLinkFolder.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void Click(QWidget* form, const char* name) {
  QTest::mouseClick(Find<QAbstractButton>(form, name), Qt::LeftButton);
}

}  // namespace

TEST(DataLinkReference, IsTheExactPrefixAtTheFirstCharacter) {
  EXPECT_TRUE(IsDataLinkReference("FILE NAME=/a.udl"));
  EXPECT_TRUE(IsDataLinkReference("FILE NAME="));
  EXPECT_FALSE(IsDataLinkReference("file name=/a.udl"));
  EXPECT_FALSE(IsDataLinkReference(" FILE NAME=/a.udl"));
  EXPECT_FALSE(IsDataLinkReference("FILE NAME /a.udl"));
  EXPECT_FALSE(IsDataLinkReference("FILE NAME"));
  EXPECT_EQ(DataLinkReferencePath("FILE NAME=/a b/c.udl"), "/a b/c.udl");
  EXPECT_EQ(MaxDataLinkPathLength(), PATH_MAX);
}

TEST(DataLinkPath, FolderPartEndsAtTheLastSlash) {
  EXPECT_EQ(FolderPart("/etc/ODBCDataSources/a.udl"), "/etc/ODBCDataSources/");
  EXPECT_EQ(NamePart("/etc/ODBCDataSources/a.udl"), "a.udl");
  EXPECT_EQ(FolderPart("a.udl"), "");
  EXPECT_EQ(NamePart("a.udl"), "a.udl");
  EXPECT_EQ(FolderPart("/a.udl"), "/");
  EXPECT_EQ(FolderPart("rel/x/"), "rel/x/");
  EXPECT_EQ(NamePart("rel/x/"), "");
  // A colon is an ordinary character of a name here.
  EXPECT_EQ(FolderPart("C:a.udl"), "");
}

TEST(ListDataLinkFiles, AppendsTheFolderFilesWithoutEmptyingTheList) {
  ScopedDataLinkFolder links;
  links.AddFile("b.udl", "");
  links.AddFile("a.udl", "");
  QStringList list{"kept"};
  ListDataLinkFiles(list, {});
  ASSERT_EQ(list.size(), 3);
  EXPECT_EQ(list.first(), "kept");
  EXPECT_TRUE(list.contains("a.udl") && list.contains("b.udl"));
  // A given folder is searched instead of the data link folder.
  ScopedDataLinkFolder other;
  other.AddFile("other.udl", "");
  QStringList fromGiven;
  ListDataLinkFiles(fromGiven, links.Folder());
  EXPECT_EQ(fromGiven.size(), 2);
  QStringList fromMissing;
  ListDataLinkFiles(fromMissing, links.Folder() + "/missing");
  EXPECT_TRUE(fromMissing.isEmpty());
}

TEST(BrowseDataLinkFile, ABareNameStartsInNoFolderAndAPickGivesTheFullPath) {
  ScopedDataLinkFolder links;
  const QString path = links.AddFile("Picked.udl", "DSN=x");
  QString startedIn;
  const QString result = [&] {
    TConnEditForm form;
    WhenModal([&](QWidget* form) {
      auto* combo = Find<QComboBox>(form, "DataLinkFile");
      Click(form, "UseDataLinkFile");
      QTest::keyClicks(combo, "bare.udl");
      WhenModal([&](QWidget* prompt) {
        auto* files = qobject_cast<QFileDialog*>(prompt);
        startedIn = files->directory().absolutePath();
        files->selectFile(path);
        static_cast<QDialog*>(files)->accept();
      });
      Click(form, "Browse");
      EXPECT_EQ(combo->currentText(), path);
      Click(form, "OkButton");
    });
    return form.Edit({});
  }();
  EXPECT_EQ(startedIn, QDir::currentPath());
  // The picked file lies in the data link folder, but it was picked with its full path.
  EXPECT_EQ(result, "FILE NAME=" + path);
}

TEST(BrowseDataLinkFile, StartsInTheFolderOfAFullPathAndACancelKeepsTheText) {
  ScopedDataLinkFolder links;
  const QString path = links.Folder() + "/Old.udl";
  QString startedIn;
  WhenModal([&](QWidget* prompt) {
    startedIn = qobject_cast<QFileDialog*>(prompt)->directory().absolutePath();
    qobject_cast<QFileDialog*>(prompt)->reject();
  });
  EXPECT_EQ(BrowseDataLinkFile(nullptr, path), path);
  EXPECT_EQ(startedIn, links.Folder());
}

TEST(BuildConnectionString, StartsFromTheEditBoxAndACancelLeavesItAsItWas) {
  ScopedDataLinkFolder links;
  const QString result = [&] {
    TConnEditForm form;
    WhenModal([&](QWidget* form) {
      auto* edit = Find<QLineEdit>(form, "ConnectionString");
      // An empty edit box opens the sheet without initial settings.
      WhenModal([](QWidget* sheet) {
        EXPECT_TRUE(Find<QLineEdit>(sheet, "Database")->text().isEmpty());
        EXPECT_TRUE(Find<QLineEdit>(sheet, "OtherKeywords")->text().isEmpty());
        Click(sheet, "CancelButton");
      });
      Click(form, "Build");
      EXPECT_TRUE(edit->text().isEmpty());
      edit->setText("DRIVER=SQLite3;Database=/tmp/a.db");
      WhenModal([](QWidget* sheet) {
        auto* database = Find<QLineEdit>(sheet, "Database");
        EXPECT_EQ(database->text(), "/tmp/a.db");
        database->setText("/tmp/b.db");
        QTest::keyClicks(Find<QLineEdit>(sheet, "Password"), "pw");
        Click(sheet, "OkButton");
      });
      Click(form, "Build");
      EXPECT_EQ(edit->text(), "DRIVER=SQLite3;Database=/tmp/b.db;Pwd=pw");
      Click(form, "OkButton");
    });
    return form.Edit({});
  }();
  EXPECT_EQ(result, "DRIVER=SQLite3;Database=/tmp/b.db;Pwd=pw");
}
