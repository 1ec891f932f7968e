// The whole road through the real main window (offscreen): Execute SQL, then Save as CSV, on the
// bench table, beside a bare ODBC fetch loop over the same rows and the peer tools (sqlite3
// -csv, psql \copy); and the same save in the second file type, standard CSV. Prints medians, and
// the peak memory of each figure on its own. ROWMILL_BENCH_SQLITE: path of a SQLite database;
// ROWMILL_BENCH_PG, ROWMILL_BENCH_MARIADB: ODBC connection strings (MariaDB's peer, the mariadb
// client, reads ROWMILL_BENCH_MARIADB_CLIENT, an options file); ROWMILL_BENCH_ROWS: the rows of the
// bench table (default 1,000,000); ROWMILL_BENCH_RUNS: runs per figure (default 5).
#include "app/ErrorBox.h"
#include "app/Main.h"
#include "app/TApplication.h"
#include "bench/BenchSupport.h"
#include "data/TADOConnection.h"
#include "data/TADODataSet.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const char* const kQuery = "SELECT * FROM bench";

struct Figure {
  std::vector<double> Seconds, PeakMiB;
  void Add(double seconds, double peak) {
    Seconds.push_back(seconds);
    PeakMiB.push_back(peak);
  }
  double Time() const { return bench::Median(Seconds); }
  double Peak() const { return bench::Median(PeakMiB); }
};

struct Figures {
  Figure Bare, Execute, Save, StandardSave, Road, Peer;
  std::vector<double> SaveAdds;  // MiB the save held beyond the open result
  qint64 Rows = 0;
  qint64 FileBytes = 0;  // the saved file, for the peak per byte of values
};

// The Save button with the dialog answered in the file type; the time runs from the dialog's
// acceptance.
double SaveThroughWindow(TfrmMain& form, const QString& path, const QString& fileType) {
  double start = 0;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    dialog->selectNameFilter(fileType);
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
    QTimer::singleShot(0, [] {
      if (auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
        question->button(QMessageBox::Yes)->click();
    });
    bench::ResetPeak();
    start = bench::Now();
    static_cast<QDialog*>(dialog)->accept();
  });
  form.btnSave->click();
  return bench::Now() - start;
}

// A peer tool under /usr/bin/time, for its own peak memory.
void RunPeer(const QByteArray& command, const QString& folder, Figure& figure) {
  const QByteArray memoryFile = QFile::encodeName(folder + "/peer-memory.txt");
  const QString scriptPath = folder + "/peer.sh";
  QFile script(scriptPath);
  if (script.open(QIODevice::WriteOnly)) script.write(command + "\n");
  script.close();
  const QByteArray timed =
      "/usr/bin/time -f %M -o '" + memoryFile + "' sh '" + QFile::encodeName(scriptPath) + "'";
  const double start = bench::Now();
  const int status = std::system(timed.constData());
  const double seconds = bench::Now() - start;
  if (status != 0) std::fprintf(stderr, "peer failed: %s\n", command.constData());
  QFile memory(QString::fromLocal8Bit(memoryFile));
  double peak = 0;
  if (memory.open(QIODevice::ReadOnly)) peak = memory.readAll().trimmed().toDouble() / 1024.0;
  figure.Add(seconds, peak);
}

QString Keyword(const QString& connectionString, const char* name) {
  const QRegularExpression re(QStringLiteral("(?:^|;)\\s*%1\\s*=\\s*([^;]*)").arg(name),
                              QRegularExpression::CaseInsensitiveOption);
  return re.match(connectionString).captured(1).trimmed();
}

Figures Measure(const QString& connectionString, const QByteArray& peerCommand, int runs,
                const QString& folder) {
  Figures f;
  for (int run = 0; run < runs; ++run) {
    const bench::BareRun bare = bench::BareLoopInChild(connectionString, kQuery);
    f.Bare.Add(bare.Seconds, bare.PeakMiB);

    TfrmMain form;
    form.show();
    QCoreApplication::processEvents();
    form.ADOConnection->SetConnectionString(connectionString);
    form.reSQL->setPlainText(QString::fromLatin1(kQuery));
    bench::ResetPeak();
    const double start = bench::Now();
    form.btnExecute->click();
    QCoreApplication::processEvents();  // the grid shows its first rows
    const double execute = bench::Now() - start;
    const double executePeak = bench::PeakMiB();
    const double held = bench::ResidentMiB();
    f.Execute.Add(execute, executePeak);
    f.Rows = form.ADODataSet->Active() ? form.ADODataSet->RecordCount() : -1;
    const double save = SaveThroughWindow(form, folder + "/rowmill.csv", kPlainCsvFilter);
    f.FileBytes = QFileInfo(folder + "/rowmill.csv").size();
    const double savePeak = bench::PeakMiB();
    f.Save.Add(save, savePeak);
    f.SaveAdds.push_back(savePeak - held);
    f.Road.Add(execute + save, std::max(executePeak, savePeak));
    const double standard =
        SaveThroughWindow(form, folder + "/rowmill-standard.csv", kStandardCsvFilter);
    f.StandardSave.Add(standard, bench::PeakMiB());
    RunPeer(peerCommand, folder, f.Peer);
  }
  return f;
}

void Report(const char* name, const char* peerName, double peerGoal, const Figures& f) {
  std::printf("%s: %lld rows, medians of %zu runs (peak memory of each figure on its own)\n", name,
              static_cast<long long>(f.Rows), f.Save.Seconds.size());
  const auto line = [](const char* what, const Figure& figure) {
    std::printf("  %-24s %8.3f s  peak %8.1f MiB\n", what, figure.Time(), figure.Peak());
  };
  line("bare ODBC fetch loop", f.Bare);
  line("Execute SQL + show", f.Execute);
  line("Save as CSV", f.Save);
  line("Save as standard CSV", f.StandardSave);
  std::printf("  %-24s %8.2fx the plain CSV save (goal <= 1.10x)\n", "  standard CSV",
              f.StandardSave.Time() / f.Save.Time());
  std::printf(
      "  %-24s %8.0f rows/s (goal >= 3,000,000); adds %.1f MiB to the open result "
      "(goal <= 64)\n",
      "  save rate", static_cast<double>(f.Rows) / f.Save.Time(), bench::Median(f.SaveAdds));
  line("Execute + Save", f.Road);
  if (f.FileBytes > 0)
    std::printf("  %-24s %8.2f bytes of peak per byte of the saved file\n", "  memory",
                f.Road.Peak() * 1048576.0 / static_cast<double>(f.FileBytes));
  line(peerName, f.Peer);
  std::printf(
      "  Execute + Save: %.2fx the bare ODBC fetch loop (goal <= 1.30x), %.2fx %s "
      "(goal <= %.1fx)\n\n",
      f.Road.Time() / f.Bare.Time(), f.Road.Time() / f.Peer.Time(), peerName, peerGoal);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  TApplication application(argc, argv);
  TApplication::SetTitle("Rowmill");
  errorbox::Install();
  QStringList errors;
  errorbox::SetPresenter([&](QWidget*, const QString&, const QString& text) { errors << text; });
  const int runs = qEnvironmentVariableIsSet("ROWMILL_BENCH_RUNS")
                       ? std::max(1, qEnvironmentVariableIntValue("ROWMILL_BENCH_RUNS"))
                       : 5;
  QTemporaryDir folder;

  const QString sqlite = qEnvironmentVariable("ROWMILL_BENCH_SQLITE");
  if (!sqlite.isEmpty()) {
    const QByteArray peer = "sqlite3 -csv '" + QFile::encodeName(sqlite) + "' '" + kQuery +
                            "' > '" + QFile::encodeName(folder.filePath("sqlite3.csv")) + "'";
    Report("SQLite", "sqlite3 -csv", 2.0,
           Measure("DRIVER=SQLite3;Database=" + sqlite + ";NoCreat=1", peer, runs, folder.path()));
  }
  const QString pg = qEnvironmentVariable("ROWMILL_BENCH_PG");
  if (!pg.isEmpty()) {
    const QByteArray peer = "PGPASSWORD='" + Keyword(pg, "Pwd").toUtf8() + "' psql -q -h '" +
                            Keyword(pg, "Server").toUtf8() + "' -p '" +
                            Keyword(pg, "Port").toUtf8() + "' -U '" + Keyword(pg, "Uid").toUtf8() +
                            "' -d '" + Keyword(pg, "Database").toUtf8() + "' -c \"\\copy (" +
                            kQuery + ") TO '" + QFile::encodeName(folder.filePath("psql.csv")) +
                            "' CSV\"";
    Report("PostgreSQL", "psql \\copy", 2.5, Measure(pg, peer, runs, folder.path()));
  }
  const QString mariadb = qEnvironmentVariable("ROWMILL_BENCH_MARIADB");
  const QString client = qEnvironmentVariable("ROWMILL_BENCH_MARIADB_CLIENT");
  if (!mariadb.isEmpty() && !client.isEmpty()) {
    const QByteArray peer = "mariadb --defaults-extra-file='" + QFile::encodeName(client) +
                            "' --batch --quick -e '" + kQuery + "' > '" +
                            QFile::encodeName(folder.filePath("mariadb.tsv")) + "'";
    Report("MariaDB", "mariadb --batch", 2.5, Measure(mariadb, peer, runs, folder.path()));
  }
  if (sqlite.isEmpty() && pg.isEmpty() && mariadb.isEmpty())
    std::printf("set ROWMILL_BENCH_SQLITE, ROWMILL_BENCH_PG and/or ROWMILL_BENCH_MARIADB\n");
  if (!errors.isEmpty()) std::fprintf(stderr, "errors: %s\n", qPrintable(errors.join("; ")));
  return errors.isEmpty() ? 0 : 1;
}
