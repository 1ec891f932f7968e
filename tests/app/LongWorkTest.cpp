#include "ExportTestSupport.h"

#include "data/TADOConnection.h"
#include "data/TADODataSet.h"
#include "data/TField.h"
#include "platform/ado/AdoInterfaces.h"
#include "tests/support/SilentServer.h"
#include "tests/support/TestDatabases.h"
#include "widgets/TDBGrid.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// Two million rows of about 60 bytes each, made once for the tests of this file.
QString BigDatabase() {
  static const QString path = [] {
    const QString file = testdb::SqlitePath("long-work.db");
    QFile::remove(file);
    auto connection = ado::CreateConnection();
    connection->Open("DRIVER=SQLite3;Database=" + file);
    // Declared types: columns without one are described by their first value, which only the
    // plain road (the driver holding every row) can do, and this table is to stream.
    connection->Execute("CREATE TABLE big(i INTEGER, t TEXT, n INTEGER)", {});
    connection->Execute(
        "INSERT INTO big WITH RECURSIVE r(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM r "
        "WHERE i < 2000000) SELECT i, 'row ' || i || ' of two million, a line of text' AS t, "
        "-i * 1000003 AS n FROM r",
        {});
    connection->Close();
    return file;
  }();
  return path;
}

qint64 ResidentBytes() {
  QFile statm("/proc/self/statm");
  if (!statm.open(QIODevice::ReadOnly)) return 0;
  const QList<QByteArray> fields = statm.readAll().split(' ');
  return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

// Counts the paint events of the object it watches.
struct PaintCounter : QObject {
  int Paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++Paints;
    return false;
  }
};

class LongWork : public ExportTest {
 protected:
  void Execute(const QString& sql) {
    Form->reSQL->setPlainText(sql);
    Form->btnExecute->click();
  }
  // Acts as the user once ready() holds (checked every 10 ms on this thread), and notes when.
  void When(std::function<bool()> ready, std::function<void()> act) {
    auto* timer = new QTimer(Form.get());
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, Form.get(), [this, timer, ready, act] {
      if (!ready()) return;
      timer->stop();
      timer->deleteLater();
      Acted.start();
      act();
    });
    timer->start();
  }
  std::function<bool()> After(int ms) {
    auto since = std::make_shared<QElapsedTimer>();
    since->start();
    return [since, ms] { return since->elapsed() >= ms; };
  }
  std::function<bool()> RowsFetched(qint64 rows) {
    return [this, rows] { return Form->ADOConnection->Provider().RowsFetched() >= rows; };
  }
  void PressEsc() {
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : Form.get(),
                    Qt::Key_Escape);
  }
  void ExpectStoppedSilently() {
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
    EXPECT_FALSE(Form->ADODataSet->Active());
    EXPECT_EQ(Form->DBGrid1->ColumnCount(), 1);
    EXPECT_FALSE(Form->ADOConnection->Connected());
    EXPECT_FALSE(Form->ProgressBar->isVisible());
  }

  QElapsedTimer Acted;
};

TEST_F(LongWork, ASleepingStatementStopsOnEscBeforeTheServerAnswersAndTheNextOneRuns) {
  const QString pg = testdb::PostgresConnectionString();
  const QString mariadb = testdb::MariaDbConnectionString();
  REQUIRE_SERVER(pg);
  REQUIRE_SERVER(mariadb);
  Form->show();
  // Alone, and as the statement after the first result of a batch.
  for (const auto& [connection, sleep] :
       {std::pair{pg, QStringLiteral("SELECT pg_sleep(30)")},
        std::pair{pg, QStringLiteral("SELECT 1 AS a; SELECT pg_sleep(30)")},
        std::pair{mariadb, QStringLiteral("SELECT SLEEP(30)")}}) {
    SCOPED_TRACE(sleep.toStdString());
    Form->ADOConnection->SetConnectionString(connection);
    Form->reSQL->setFocus();
    When(After(500), [this] { PressEsc(); });
    Execute(sleep);
    EXPECT_LT(Acted.elapsed(), 2000);
    ExpectStoppedSilently();
    EXPECT_EQ(Form->reSQL->toPlainText(), sleep);

    Execute("SELECT 42 AS answer");
    ASSERT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
    ASSERT_TRUE(Form->ADODataSet->Active());
    EXPECT_EQ(Form->ADODataSet->Fields(0)->AsString(), "42");
    Form->ADODataSet->Close();
  }
}

TEST_F(LongWork, ConnectingToAServerThatNeverAnswersPaintsAndStopsOnEscOrClose) {
  const QString pg = testdb::PostgresConnectionString();
  const QString mariadb = testdb::MariaDbConnectionString();
  REQUIRE_SERVER(pg);
  REQUIRE_SERVER(mariadb);
  const SilentServer silent;
  ASSERT_NE(silent.Port(), 0);
  PaintCounter painted;
  Form->installEventFilter(&painted);
  QTimer repaint;
  repaint.setInterval(50);
  QObject::connect(&repaint, &QTimer::timeout, Form.get(), [this] { Form->update(); });
  for (const auto& [connection, closing] :
       {std::pair{pg, false}, std::pair{mariadb, false}, std::pair{pg, true}}) {
    const bool closes = closing;  // Clang 14 cannot capture a structured binding
    SCOPED_TRACE(connection.toStdString() + (closes ? ", closed" : ", Esc"));
    Form->show();
    Form->ADOConnection->SetConnectionString(silent.Reached(connection));
    QString shown;
    When(After(1000), [this, closes, &shown] {
      shown = Form->ProgressBar->text();
      if (closes)
        Form->close();
      else
        PressEsc();
    });
    painted.Paints = 0;
    repaint.start();
    Execute("SELECT 1 AS a");
    repaint.stop();
    EXPECT_LT(Acted.elapsed(), 2000);
    EXPECT_EQ(shown, "Connecting, Esc stops");
    // The window painted all the while it waited.
    EXPECT_GE(painted.Paints, 10);
    QCoreApplication::processEvents();
    EXPECT_EQ(Form->isVisible(), !closes);
    ExpectStoppedSilently();

    Form->ADOConnection->SetConnectionString(connection);
    Execute("SELECT 42 AS answer");
    ASSERT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
    ASSERT_TRUE(Form->ADODataSet->Active());
    EXPECT_EQ(Form->ADODataSet->Fields(0)->AsString(), "42");
    Form->ADODataSet->Close();
  }
}

TEST_F(LongWork, CloseDuringAPostgresSleepStopsItClosesTheWindowAndLeavesNoSession) {
  const QString pg = testdb::PostgresConnectionString();
  REQUIRE_SERVER(pg);
  Form->ADOConnection->SetConnectionString(pg);
  Form->show();
  const QString marker = testdb::UniqueName("nap");
  When(After(500), [this] { Form->close(); });
  Execute(QStringLiteral("SELECT pg_sleep(30) AS %1").arg(marker));
  EXPECT_LT(Acted.elapsed(), 2000);
  QCoreApplication::processEvents();
  EXPECT_FALSE(Form->isVisible());
  ExpectStoppedSilently();
  Form.reset();

  auto watcher = ado::CreateConnection();
  watcher->Open(pg);
  auto sessions = watcher->Execute(
      QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE query LIKE '%%1%' AND pid <> "
                     "pg_backend_pid()")
          .arg(marker),
      {});
  ASSERT_TRUE(sessions->IsOpen());
  const ado::Value count = sessions->GetValue(0, 0);
  EXPECT_EQ(count.kind, ado::Value::Kind::Int);
  EXPECT_EQ(count.Int, 0);
}

TEST_F(LongWork, ASqliteFetchStoppedHalfWayFreesItsRows) {
  Form->ADOConnection->SetConnectionString("DRIVER=SQLite3;Database=" + BigDatabase());
  Form->show();
  const qint64 before = ResidentBytes();
  qint64 during = 0;
  When(RowsFetched(1'000'000), [this, &during] {
    during = ResidentBytes();
    PressEsc();
  });
  Execute("SELECT * FROM big");
  EXPECT_LT(Acted.elapsed(), 1000);
  ExpectStoppedSilently();
  const qint64 after = ResidentBytes();
  // A million rows held some tens of megabytes; stopped, they are gone again. The address
  // sanitizer keeps freed memory in quarantine, so there the process cannot shrink.
  EXPECT_GT(during - before, 40 << 20);
#if !defined(__SANITIZE_ADDRESS__)
  EXPECT_LT(after - before, (during - before) / 4);
#else
  (void)after;
#endif
}

TEST_F(LongWork, TheWindowPaintsWhileAMillionRowsArrive) {
  Form->ADOConnection->SetConnectionString("DRIVER=SQLite3;Database=" + BigDatabase());
  Form->show();
  int ticks = 0;
  QTimer ticker;
  ticker.setInterval(20);
  QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
  PaintCounter painted;
  Form->ProgressBar->installEventFilter(&painted);
  QElapsedTimer took;
  took.start();
  ticker.start();
  Execute("SELECT * FROM big LIMIT 1000000");
  const double seconds = took.elapsed() / 1000.0;
  ticker.stop();
  ASSERT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
  EXPECT_EQ(Form->ADODataSet->RecordCount(), 1'000'000);
  ASSERT_GT(seconds, 0.3);
  // Several paints and timer ticks a second, where a blocked window had none.
  EXPECT_GE(painted.Paints / seconds, 5.0) << painted.Paints << " paints in " << seconds << " s";
  EXPECT_GE(ticks / seconds, 10.0) << ticks << " ticks in " << seconds << " s";
}

TEST_F(LongWork, ASaveStoppedHalfWayLeavesTheOldTargetAndNoOtherFile) {
  Form->ADOConnection->SetConnectionString("DRIVER=SQLite3;Database=" + BigDatabase());
  Execute("SELECT * FROM big");
  ASSERT_TRUE(Form->ADODataSet->Active());
  Form->show();
  const QString target = PathOf("old.csv");
  const QByteArray old("what was there before\r\n\x00\xff", 25);
  Write(target, old);
  When([this] { return Form->ProgressBar->isVisible() && Form->ProgressBar->value() > 1'000'000; },
       [this] { PressEsc(); });
  Export(target);
  EXPECT_LT(Acted.elapsed(), 1000);
  EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
  EXPECT_EQ(Contents(target), old);
  EXPECT_EQ(QDir(PathOf(".")).entryList(QDir::Files | QDir::Hidden), QStringList({"old.csv"}));
  // The result is still there to be saved, and the window takes input again.
  EXPECT_TRUE(Form->ADODataSet->Active());
  EXPECT_TRUE(Form->isEnabled());
  EXPECT_FALSE(Form->ProgressBar->isVisible());
}

}  // namespace
