#include "base/Exceptions.h"
#include "base/HandlerGuard.h"
#include "platform/ado/OdbcConnection.h"
#include "platform/ado/OdbcConnectionString.h"
#include "platform/datalinks/DataLinkPropertiesDialog.h"
#include "platform/datalinks/DataLinks.h"
#include "platform/datalinks/OdbcSources.h"
#include "tests/support/FakeAdo.h"
#include "tests/support/FindChild.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/ScopedValue.h"
#include "tests/support/SilentServer.h"
#include "tests/support/TestDatabases.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using Pair = ado::OdbcConnectionString::Pair;

TEST(OdbcConnectionString, ParsesPairsBracedValuesAndEscapedBraces) {
  const auto parts = ado::OdbcConnectionString::Parse(
      "DRIVER={PostgreSQL Unicode};Server= db.local ;Pwd={a;b=c}}d};Empty=;Database=x");
  const QList<Pair> expected = {{"DRIVER", "PostgreSQL Unicode"},
                                {"Server", "db.local"},
                                {"Pwd", "a;b=c}d"},
                                {"Empty", ""},
                                {"Database", "x"}};
  EXPECT_EQ(parts.Pairs(), expected);
  EXPECT_EQ(parts.Value("driver"), "PostgreSQL Unicode");
  EXPECT_TRUE(parts.Contains("PWD"));
  EXPECT_FALSE(parts.Contains("Uid"));
}

TEST(OdbcConnectionString, SkipsPartsWithoutEqualsAndTakesAnUnclosedBraceToTheEnd) {
  EXPECT_EQ(ado::OdbcConnectionString::Parse(";;junk;A=1;").Pairs(), (QList<Pair>{{"A", "1"}}));
  EXPECT_EQ(ado::OdbcConnectionString::Parse("A={x;y").Pairs(), (QList<Pair>{{"A", "x;y"}}));
  EXPECT_TRUE(ado::OdbcConnectionString::Parse("").Pairs().isEmpty());
}

TEST(OdbcConnectionString, WritesBackWhatItReadsBracingWhereNeeded) {
  EXPECT_EQ(ado::OdbcConnectionString::QuoteValue("plain"), "plain");
  EXPECT_EQ(ado::OdbcConnectionString::QuoteValue("a;b"), "{a;b}");
  EXPECT_EQ(ado::OdbcConnectionString::QuoteValue("x}y"), "{x}}y}");
  EXPECT_EQ(ado::OdbcConnectionString::QuoteValue(" lead"), "{ lead}");
  const QString tricky = "Pwd={p;w}}d};Database=/tmp/a b.db;Server= {x}";
  const auto parts = ado::OdbcConnectionString::Parse(tricky);
  EXPECT_EQ(ado::OdbcConnectionString::Parse(parts.ToString()).Pairs(), parts.Pairs());
}

TEST(OdbcConnectionString, TakeRemovesEveryPairOfTheKeyword) {
  auto parts = ado::OdbcConnectionString::Parse("A=1;b=2;a=3");
  EXPECT_EQ(parts.Take("a"), "1");
  EXPECT_EQ(parts.Pairs(), (QList<Pair>{{"b", "2"}}));
  parts.Append("C", "");
  EXPECT_EQ(parts.ToString(), "b=2");
}

TEST(OdbcSources, ListsTheInstalledDrivers) {
  const QStringList drivers = odbcsources::InstalledDrivers();
  EXPECT_TRUE(drivers.contains("SQLite3")) << drivers.join(", ").toStdString();
}

namespace {

// Records, while it lives, the message of every failure that reaches the application's handler.
struct ReportedMessage {
  QString Text;
  ScopedRestore Handler =
      ScopedSet(&SetApplicationExceptionHandler, [this](std::exception_ptr error) {
        try {
          std::rethrow_exception(error);
        } catch (const Exception& e) {
          Text = e.Message();
        }
      });
};

}  // namespace

TEST(DataLinkPropertiesDialog, StartsFromTheStringAndBuildsItBackWithThePassword) {
  DataLinkPropertiesDialog dialog;
  dialog.SetConnectionString(
      "DRIVER={PostgreSQL Unicode};SERVER=db;Port=5433;Database=sales;User=ann;"
      "Password={se;cret};SSLmode=require");
  EXPECT_EQ(Find<QComboBox>(&dialog, "Driver")->currentText(), "PostgreSQL Unicode");
  EXPECT_TRUE(Find<QRadioButton>(&dialog, "UseDriver")->isChecked());
  EXPECT_EQ(Find<QLineEdit>(&dialog, "Server")->text(), "db");
  EXPECT_EQ(Find<QLineEdit>(&dialog, "Port")->text(), "5433");
  EXPECT_EQ(Find<QLineEdit>(&dialog, "Database")->text(), "sales");
  EXPECT_EQ(Find<QLineEdit>(&dialog, "UserName")->text(), "ann");
  EXPECT_EQ(Find<QLineEdit>(&dialog, "Password")->text(), "se;cret");
  EXPECT_EQ(Find<QLineEdit>(&dialog, "Password")->echoMode(), QLineEdit::Password);
  EXPECT_EQ(Find<QLineEdit>(&dialog, "OtherKeywords")->text(), "SSLmode=require");
  // The keywords keep the spelling they came with.
  EXPECT_EQ(dialog.ConnectionString(),
            "DRIVER={PostgreSQL Unicode};SERVER=db;Port=5433;Database=sales;User=ann;"
            "Password={se;cret};SSLmode=require");
}

TEST(DataLinkPropertiesDialog, EveryLabelWithAnAccessKeyHasAnEditToGoTo) {
  DataLinkPropertiesDialog dialog;
  // A label without a buddy shows its "&" as written and its key leads nowhere.
  int labels = 0;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) {
    if (!label->text().contains('&')) continue;
    ++labels;
    EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
  }
  EXPECT_GE(labels, 6);
}

TEST(DataLinkPropertiesDialog, ADataSourceStringSelectsTheDataSourceAndEmptyFieldsAreLeftOut) {
  DataLinkPropertiesDialog dialog;
  dialog.SetConnectionString("dsn=Warehouse;uid=bob");
  EXPECT_TRUE(Find<QRadioButton>(&dialog, "UseDataSource")->isChecked());
  EXPECT_TRUE(Find<QComboBox>(&dialog, "DataSource")->isEnabled());
  EXPECT_FALSE(Find<QComboBox>(&dialog, "Driver")->isEnabled());
  EXPECT_EQ(Find<QComboBox>(&dialog, "DataSource")->currentText(), "Warehouse");
  EXPECT_EQ(dialog.ConnectionString(), "dsn=Warehouse;uid=bob");
  dialog.SetConnectionString({});
  EXPECT_TRUE(Find<QLineEdit>(&dialog, "UserName")->text().isEmpty());
  EXPECT_TRUE(Find<QRadioButton>(&dialog, "UseDriver")->isChecked());
}

TEST(DataLinkPropertiesDialog, TypedFieldsMakeTheStringAsEachDriverReadsIt) {
  DataLinkPropertiesDialog dialog;
  dialog.SetConnectionString("DRIVER=SQLite3");
  // The SQLite driver knows no braces: a value goes as it stands, and a ";" cannot go at all.
  QTest::keyClicks(Find<QLineEdit>(&dialog, "Database"), "/tmp/my {data}+1%.db");
  QTest::keyClicks(Find<QLineEdit>(&dialog, "OtherKeywords"), "NoCreat=1;Timeout=500");
  EXPECT_EQ(dialog.ConnectionString(),
            "DRIVER=SQLite3;Database=/tmp/my {data}+1%.db;NoCreat=1;Timeout=500");
  Find<QLineEdit>(&dialog, "Password")->setText("a;b");
  EXPECT_THROW(dialog.ConnectionString(), Exception);
  // Other drivers read braces; psqlODBC decodes "+" and "%" without them.
  dialog.SetConnectionString("DRIVER={PostgreSQL Unicode}");
  Find<QLineEdit>(&dialog, "Password")->setText("a+b%41;{x}y");
  EXPECT_EQ(dialog.ConnectionString(), "DRIVER={PostgreSQL Unicode};Pwd={a+b%41;{x}}y}");
}

TEST(DataLinkPropertiesDialog, BuildKeepsWhatItWasGivenAndAddsNoDriver) {
  DataLinkPropertiesDialog dialog;
  const QString unchanged[] = {
      "Database=/tmp/x.db;Uid=me",    "DSN=Sales;pwd=a%2Bb",
      "dsn={My Data};Server= db ",    "DRIVER=SQLite3;Database=/tmp/a b.db",
      "FILE NAME=/srv/links/a;b.udl",
  };
  for (const QString& text : unchanged) {
    dialog.SetConnectionString(text);
    EXPECT_EQ(dialog.ConnectionString().toStdString(), text.toStdString());
  }
  dialog.SetConnectionString("Database=/tmp/x.db");
  EXPECT_EQ(Find<QComboBox>(&dialog, "Driver")->currentIndex(), -1);
}

TEST(DataLinkPropertiesDialog, EnterPressesTheFocusedButtonAndTheDatabaseHasAPicker) {
  DataLinkPropertiesDialog dialog;
  dialog.SetConnectionString("DRIVER=SQLite3");
  dialog.show();
  int result = -1;
  QObject::connect(&dialog, &QDialog::finished, [&](int r) { result = r; });
  Find<QPushButton>(&dialog, "CancelButton")->setFocus();
  QTest::keyClick(Find<QPushButton>(&dialog, "CancelButton"), Qt::Key_Return);
  EXPECT_EQ(result, QDialog::Rejected);

  QTemporaryDir dir;
  const QString db = dir.filePath("picked.db");
  QFile(db).open(QIODevice::WriteOnly);
  dialog.show();
  EXPECT_TRUE(Find<QPushButton>(&dialog, "BrowseDatabase")->isEnabled());
  WhenModal([&](QWidget* prompt) {
    auto* files = qobject_cast<QFileDialog*>(prompt);
    ASSERT_NE(files, nullptr);
    files->selectFile(db);
    static_cast<QDialog*>(files)->accept();
  });
  QTest::mouseClick(Find<QPushButton>(&dialog, "BrowseDatabase"), Qt::LeftButton);
  EXPECT_EQ(Find<QLineEdit>(&dialog, "Database")->text(), db);
  dialog.SetConnectionString("DSN=Sales");
  EXPECT_FALSE(Find<QPushButton>(&dialog, "BrowseDatabase")->isEnabled());
}

TEST(DataLinkPropertiesDialog, APasswordReachesPsqlOdbcUnchanged) {
  const QString server = testdb::PostgresConnectionString();
  REQUIRE_SERVER(server);
  // Every character a connection string treats specially; psqlODBC decodes "+" and "%".
  const QString password = "a+b%41;{x}y";
  // Roles belong to the whole server: one of this process's own.
  const QString role = testdb::UniqueName("rm_hostile");
  const auto administer = [&server](const QString& statement) {
    ado::OdbcConnection admin;
    admin.Open(server);
    admin.Execute(statement, {});
  };
  administer(QString("CREATE ROLE %1 LOGIN PASSWORD '%2'").arg(role, password));
  const ScopedRestore dropRole([&] {
    try {
      administer("DROP ROLE IF EXISTS " + role);
    } catch (const EOleException&) {
      // A role left behind has a name nobody else uses.
    }
  });
  DataLinkPropertiesDialog dialog;
  dialog.SetConnectionString(server);
  Find<QLineEdit>(&dialog, "UserName")->setText(role);
  Find<QLineEdit>(&dialog, "Password")->setText(password);
  ado::OdbcConnection user;
  EXPECT_NO_THROW(user.Open(dialog.ConnectionString()));
}

TEST(DataLinkPropertiesDialog, TestConnectionOpensTheBuiltStringAndReportsSuccess) {
  fakeado::ScopedFakeAdo fake;
  DataLinkPropertiesDialog dialog;
  dialog.SetConnectionString("DSN=Sales;Pwd=pw");
  dialog.show();
  QString shown;
  WhenModal([&](QWidget* box) {
    shown = qobject_cast<QMessageBox*>(box)->text();
    box->close();
  });
  QTest::mouseClick(Find<QPushButton>(&dialog, "TestConnection"), Qt::LeftButton);
  EXPECT_EQ(fake->OpenedWith, QStringList{"DSN=Sales;Pwd=pw"});
  EXPECT_EQ(fake->OpenNow, 0);
  EXPECT_EQ(shown, "Test connection succeeded.");
}

TEST(DataLinkPropertiesDialog, TestConnectionGivesTheDriversErrorToTheErrorBox) {
  fakeado::ScopedFakeAdo fake;
  fake->OpenFailure = "[unixODBC][Driver Manager]Data source name not found";
  ReportedMessage reported;
  DataLinkPropertiesDialog dialog;
  dialog.show();
  QTest::mouseClick(Find<QPushButton>(&dialog, "TestConnection"), Qt::LeftButton);
  EXPECT_EQ(reported.Text, "[unixODBC][Driver Manager]Data source name not found");
  EXPECT_TRUE(dialog.isVisible());
}

TEST(DataLinkPropertiesDialog, TestConnectionReachesARealDatabaseAndCreatesNone) {
  const QString path = testdb::SqlitePath("datalink-test.db");
  QFile(path).open(QIODevice::WriteOnly);  // an empty file is an empty SQLite database
  const QString missing = testdb::SqlitePath("datalink-missing.db");
  DataLinkPropertiesDialog dialog;
  dialog.show();
  QString shown;
  WhenModal([&](QWidget* box) {
    shown = qobject_cast<QMessageBox*>(box)->text();
    box->close();
  });
  dialog.SetConnectionString("DRIVER=SQLite3;Database=" + path);
  QTest::mouseClick(Find<QPushButton>(&dialog, "TestConnection"), Qt::LeftButton);
  EXPECT_EQ(shown, "Test connection succeeded.");

  ReportedMessage reported;
  dialog.SetConnectionString("DRIVER=SQLite3;Database=" + missing);
  QTest::mouseClick(Find<QPushButton>(&dialog, "TestConnection"), Qt::LeftButton);
  EXPECT_FALSE(reported.Text.isEmpty());
  EXPECT_FALSE(QFile::exists(missing));
}

// A server that never answers would hold the dialog for the login time-out (15 s): the dialog
// goes on painting, Esc stops the test and keeps the dialog, Cancel stops it and closes it.
TEST(DataLinkPropertiesDialog, ATestOfASilentServerKeepsTheDialogAliveAndStops) {
  const QString pg = testdb::PostgresConnectionString();
  REQUIRE_SERVER(pg);
  const SilentServer silent;
  ASSERT_NE(silent.Port(), 0);
  for (const bool cancels : {false, true}) {
    SCOPED_TRACE(cancels ? "Cancel" : "Esc");
    DataLinkPropertiesDialog dialog;
    dialog.SetConnectionString(silent.Reached(pg));
    dialog.show();
    ReportedMessage reported;
    QStringList boxes;
    int ticks = 0;
    bool testEnabled = true;
    QTimer tick;
    tick.setInterval(50);
    QObject::connect(&tick, &QTimer::timeout, [&] {
      if (QWidget* box = QApplication::activeModalWidget()) {
        boxes << box->windowTitle();
        box->close();
      }
      if (++ticks != 20) return;
      testEnabled = Find<QPushButton>(&dialog, "TestConnection")->isEnabled();
      if (cancels)
        QTest::mouseClick(Find<QPushButton>(&dialog, "CancelButton"), Qt::LeftButton);
      else
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    tick.start();
    QElapsedTimer took;
    took.start();
    QTest::mouseClick(Find<QPushButton>(&dialog, "TestConnection"), Qt::LeftButton);
    EXPECT_LT(took.elapsed(), 3000);
    EXPECT_GE(ticks, 20);
    EXPECT_FALSE(testEnabled);
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_TRUE(reported.Text.isEmpty()) << reported.Text.toStdString();
    EXPECT_EQ(dialog.isVisible(), !cancels);
    EXPECT_TRUE(Find<QPushButton>(&dialog, "TestConnection")->isEnabled());
  }
}

TEST(DataLinks, PromptDataSourceGivesTheConfirmedStringOrACancel) {
  WhenModal([](QWidget* sheet) {
    EXPECT_EQ(sheet->windowTitle(), "Data Link Properties");
    QTest::keyClicks(Find<QLineEdit>(sheet, "Password"), "secret");
    QTest::mouseClick(Find<QPushButton>(sheet, "OkButton"), Qt::LeftButton);
  });
  EXPECT_EQ(datalinks::PromptDataSource(nullptr, "DRIVER=SQLite3;Uid=me"),
            std::optional<QString>("DRIVER=SQLite3;Uid=me;Pwd=secret"));

  WhenModal([](QWidget* sheet) {
    QTest::keyClicks(Find<QLineEdit>(sheet, "Server"), "changed");
    QTest::keyClick(sheet, Qt::Key_Escape);
  });
  EXPECT_EQ(datalinks::PromptDataSource(nullptr, "DSN=x"), std::nullopt);
}

TEST(DataLinks, PromptFileNameStartsInTheFolderAndGivesAFullPathOrACancel) {
  QTemporaryDir dir;
  QFile(dir.filePath("a.udl")).open(QIODevice::WriteOnly);
  QString startedIn;
  WhenModal([&](QWidget* prompt) {
    auto* files = qobject_cast<QFileDialog*>(prompt);
    ASSERT_NE(files, nullptr);
    startedIn = files->directory().absolutePath();
    EXPECT_TRUE(files->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_TRUE(files->nameFilters().first().contains("*.udl"));
    files->selectFile("a.udl");
    static_cast<QDialog*>(files)->accept();
  });
  const auto picked = datalinks::PromptFileName(nullptr, dir.path() + "/", "*.udl");
  EXPECT_EQ(startedIn, QDir(dir.path()).absolutePath());
  EXPECT_EQ(picked, std::optional<QString>(dir.filePath("a.udl")));

  WhenModal([](QWidget* prompt) { prompt->close(); });
  EXPECT_EQ(datalinks::PromptFileName(nullptr, dir.path(), "*.udl"), std::nullopt);
}
