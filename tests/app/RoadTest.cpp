#include "AppTestSupport.h"

#include "data/TADOConnection.h"
#include "platform/ado/AdoInterfaces.h"
#include "tests/support/FindChild.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/ScopedDataLinkFolder.h"
#include "tests/support/TestDatabases.h"
#include "widgets/TDBGrid.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A small database of its own, made through the database layer.
QString MakeDatabase() {
  const QString path = testdb::SqlitePath("road-test.db");
  QFile::remove(path);
  auto connection = ado::CreateConnection();
  connection->Open("DRIVER=SQLite3;Database=" + path);
  connection->Execute("CREATE TABLE towns (id INTEGER PRIMARY KEY, name VARCHAR(40))", {});
  for (const char* town : {"Bergen", "Cork", "Delft"})
    connection->Execute(QStringLiteral("INSERT INTO towns (name) VALUES ('%1')").arg(town), {});
  connection->Close();
  return path;
}

// The main window as the program shows it, with a data link folder of the test's own.
class RoadTest : public MainWindowTest {
 protected:
  ScopedDataLinkFolder links;
};

}  // namespace

TEST_F(RoadTest, ConnectPicksTheSampleDataLinkFileAndExecuteShowsTheRows) {
  const QString database = MakeDatabase();
  const QString udl =
      links.AddFile("Rowmill sample.udl", "DRIVER=SQLite3;Database=" + database + ";NoCreat=1");
  links.AddFile("Another.udl", "DSN=nothing");
  TfrmMain& form = *Form;
  form.show();

  QString caption;
  WhenModal([&](QWidget* dialog) {
    caption = dialog->windowTitle();
    QTest::mouseClick(Find<QWidget>(dialog, "UseDataLinkFile"), Qt::LeftButton);
    auto* files = Find<QComboBox>(dialog, "DataLinkFile");
    files->setCurrentIndex(files->findText("Rowmill sample.udl"));
    QTest::keyClick(files, Qt::Key_Return);
  });
  QTest::mouseClick(form.btnConnect, Qt::LeftButton);
  EXPECT_EQ(caption, "CS. ConnectionString");
  EXPECT_EQ(form.ConnectionString(), "FILE NAME=" + udl);
  EXPECT_EQ(form.ADOConnection->ConnectionString(), "FILE NAME=" + udl);
  EXPECT_FALSE(form.ADOConnection->Connected());

  form.reSQL->setPlainText("SELECT name FROM towns ORDER BY id");
  QTest::mouseClick(form.btnExecute, Qt::LeftButton);
  ASSERT_TRUE(Errors.isEmpty()) << Errors.join("\n").toStdString();
  QAbstractItemModel* rows = form.DBGrid1->model();
  ASSERT_NE(rows, nullptr);
  ASSERT_EQ(rows->rowCount(), 3);
  EXPECT_EQ(rows->index(0, 0).data().toString(), "Bergen");
  EXPECT_EQ(rows->index(2, 0).data().toString(), "Delft");

  // A second press starts from the confirmed reference and shows it by name.
  QString shown;
  WhenModal([&](QWidget* dialog) {
    shown = Find<QComboBox>(dialog, "DataLinkFile")->currentText();
    QTest::keyClick(dialog, Qt::Key_Escape);
  });
  QTest::mouseClick(form.btnConnect, Qt::LeftButton);
  EXPECT_EQ(shown, "Rowmill sample.udl");
  EXPECT_EQ(form.ConnectionString(), "FILE NAME=" + udl);
}
