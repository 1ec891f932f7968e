// Execute SQL and Save as CSV of the bench table through the real main window (offscreen),
// beside opening the data set alone and beside the peer tools (sqlite3 -csv, psql \copy).
// ROWMILL_BENCH_SQLITE: path of a SQLite database; ROWMILL_BENCH_PG: ODBC connection string;
// ROWMILL_BENCH_RUNS: runs per figure (default 5). Prints medians and peak memory.
#include "app/ErrorBox.h"
#include "app/Main.h"
#include "app/TApplication.h"
#include "data/TADOConnection.h"
#include "data/TADODataSet.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const QString kStatement = QStringLiteral("SELECT * FROM bench");

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

long PeakKilobytes(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return usage.ru_maxrss;
}

struct Figures {
  std::vector<double> openAlone, execute, save, peer;
  qint64 rows = 0;
  double dispatchPerCall = 0;
};

double OpenAlone(const QString& connectionString, qint64* rows) {
  TADOConnection connection;
  connection.SetKeepConnection(false);
  connection.SetConnectionString(connectionString);
  TADODataSet dataSet;
  dataSet.setObjectName("ADODataSet");
  dataSet.SetConnection(&connection);
  dataSet.SetCommandText(kStatement);
  QElapsedTimer timer;
  timer.start();
  dataSet.Open();
  const double seconds = timer.nsecsElapsed() / 1e9;
  *rows = dataSet.RecordCount();
  dataSet.Close();
  return seconds;
}

// The Save button with the dialog answered; the time runs from the dialog's acceptance.
double SaveThroughWindow(TfrmMain& form, const QString& path) {
  QElapsedTimer timer;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
    QTimer::singleShot(0, [] {
      if (auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
        question->button(QMessageBox::Yes)->click();
    });
    timer.start();
    static_cast<QDialog*>(dialog)->accept();
  });
  form.btnSave->click();
  return timer.nsecsElapsed() / 1e9;
}

// What one event dispatch costs with the window as it is during an export.
double DispatchCost(TfrmMain& form) {
  form.setEnabled(false);
  constexpr int kCalls = 200000;
  QElapsedTimer timer;
  timer.start();
  for (int i = 0; i < kCalls; ++i) QCoreApplication::processEvents();
  const double perCall = timer.nsecsElapsed() / 1e9 / kCalls;
  form.setEnabled(true);
  return perCall;
}

long gPeerPeakKilobytes = 0;

// Runs a peer tool under /usr/bin/time for its own peak memory.
double RunPeer(const QByteArray& command, const QString& folder) {
  const QByteArray memoryFile = QFile::encodeName(folder + "/peer-memory.txt");
  const QString scriptPath = folder + "/peer.sh";
  QFile script(scriptPath);
  if (script.open(QIODevice::WriteOnly)) script.write(command + "\n");
  script.close();
  const QByteArray timed =
      "/usr/bin/time -f %M -o '" + memoryFile + "' sh '" + QFile::encodeName(scriptPath) + "'";
  QElapsedTimer timer;
  timer.start();
  const int status = std::system(timed.constData());
  const double seconds = timer.nsecsElapsed() / 1e9;
  if (status != 0) std::fprintf(stderr, "peer failed: %s\n", command.constData());
  QFile memory(QString::fromLocal8Bit(memoryFile));
  if (memory.open(QIODevice::ReadOnly))
    gPeerPeakKilobytes = std::max(gPeerPeakKilobytes, memory.readAll().trimmed().toLong());
  return seconds;
}

QString Keyword(const QString& connectionString, const char* name) {
  const QRegularExpression re(QStringLiteral("(?:^|;)\\s*%1\\s*=\\s*([^;]*)").arg(name),
                              QRegularExpression::CaseInsensitiveOption);
  return re.match(connectionString).captured(1).trimmed();
}

Figures Measure(const QString& connectionString, const QByteArray& peerCommand, int runs,
                const QString& folder, QStringList& errors) {
  Figures figures;
  for (int run = 0; run < runs; ++run) {
    figures.openAlone.push_back(OpenAlone(connectionString, &figures.rows));
    TfrmMain form;
    form.show();
    QCoreApplication::processEvents();
    form.ADOConnection->SetConnectionString(connectionString);
    form.reSQL->setPlainText(kStatement);
    QElapsedTimer timer;
    timer.start();
    form.btnExecute->click();
    QCoreApplication::processEvents();  // the grid shows its first rows
    figures.execute.push_back(timer.nsecsElapsed() / 1e9);
    figures.save.push_back(SaveThroughWindow(form, folder + "/rowmill.csv"));
    if (run == 0) figures.dispatchPerCall = DispatchCost(form);
    figures.peer.push_back(RunPeer(peerCommand, folder));
  }
  if (!errors.isEmpty()) std::fprintf(stderr, "errors: %s\n", qPrintable(errors.join("; ")));
  return figures;
}

void Report(const char* name, const char* peerName, const Figures& f) {
  const double open = Median(f.openAlone), execute = Median(f.execute), save = Median(f.save),
               peer = Median(f.peer);
  std::printf("%s: %lld rows, medians of %zu runs\n", name, static_cast<long long>(f.rows),
              f.save.size());
  std::printf("  open data set alone      %8.3f s\n", open);
  std::printf("  Execute SQL + show       %8.3f s  (%.2fx open alone; goal <= 1.2x)\n", execute,
              execute / open);
  std::printf("  Save as CSV              %8.3f s  (%.0f rows/s; goal >= 1,000,000)\n", save,
              f.rows / save);
  // The export dispatches once before the first record and then every 10 ms at most.
  const double dispatches = 2 + save / 0.010;
  std::printf(
      "  event dispatch            %7.4f s  (%.0f dispatches of %.2f us: %.2f %% of the save;"
      " goal < 25 %%; one per record would cost %.3f s)\n",
      dispatches * f.dispatchPerCall, dispatches, f.dispatchPerCall * 1e6,
      100.0 * dispatches * f.dispatchPerCall / save, f.dispatchPerCall * f.rows);
  std::printf("  whole road               %8.3f s  vs %s %.3f s  (%.2fx; goal <= 3x)\n",
              execute + save, peerName, peer, (execute + save) / peer);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  TApplication application(argc, argv);
  TApplication::SetTitle("Rowmill");
  errorbox::Install();
  QStringList errors;
  errorbox::SetPresenter([&](QWidget*, const QString&, const QString& text) { errors << text; });
  const int runs = std::max(1, qEnvironmentVariableIntValue("ROWMILL_BENCH_RUNS"));
  const int runCount = qEnvironmentVariableIsSet("ROWMILL_BENCH_RUNS") ? runs : 5;
  QTemporaryDir folder;

  const QString sqlite = qEnvironmentVariable("ROWMILL_BENCH_SQLITE");
  if (!sqlite.isEmpty()) {
    const QByteArray peer = "sqlite3 -csv '" + QFile::encodeName(sqlite) + "' '" +
                            kStatement.toUtf8() + "' > '" +
                            QFile::encodeName(folder.filePath("sqlite3.csv")) + "'";
    Report("SQLite", "sqlite3 -csv",
           Measure("DRIVER=SQLite3;Database=" + sqlite + ";NoCreat=1", peer, runCount,
                   folder.path(), errors));
  }
  const QString pg = qEnvironmentVariable("ROWMILL_BENCH_PG");
  if (!pg.isEmpty()) {
    const QByteArray peer = "PGPASSWORD='" + Keyword(pg, "Pwd").toUtf8() + "' psql -q -h '" +
                            Keyword(pg, "Server").toUtf8() + "' -p '" +
                            Keyword(pg, "Port").toUtf8() + "' -U '" + Keyword(pg, "Uid").toUtf8() +
                            "' -d '" + Keyword(pg, "Database").toUtf8() + "' -c \"\\copy (" +
                            kStatement.toUtf8() + ") TO '" +
                            QFile::encodeName(folder.filePath("psql.csv")) + "' CSV\"";
    Report("PostgreSQL", "psql \\copy", Measure(pg, peer, runCount, folder.path(), errors));
  }
  if (sqlite.isEmpty() && pg.isEmpty())
    std::printf("set ROWMILL_BENCH_SQLITE and/or ROWMILL_BENCH_PG\n");
  std::printf("peak memory: rowmill %ld MB, peer tools %ld MB\n", PeakKilobytes(RUSAGE_SELF) / 1024,
              gPeerPeakKilobytes / 1024);
  return errors.isEmpty() ? 0 : 1;
}
