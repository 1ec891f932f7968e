// Opening the bench table with the result grid attached and showing its first rows,
// against opening the same data set with nothing attached. The grid must read only the rows it
// shows, so the two stay within 1.2x of each other.
// ROWMILL_BENCH_SQLITE: a database file with bench(id, x, name); ROWMILL_BENCH_PG: an ODBC
// connection string to a database holding the same table; ROWMILL_BENCH_RUNS: runs (default 5).
#include "data/TADOConnection.h"
#include "data/TADODataSet.h"
#include "data/TDataSource.h"
#include "widgets/TDBGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QString kQuery = QStringLiteral("SELECT id, x, name FROM bench");

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double OpenSeconds(const QString& connectionString, bool withGrid, qint64* rows) {
  QWidget window;
  auto* connection = new TADOConnection(&window);
  connection->SetKeepConnection(false);
  connection->SetLoginPrompt(false);
  connection->SetConnectionString(connectionString);
  auto* dataSet = new TADODataSet(&window);
  dataSet->setObjectName("ADODataSet");
  dataSet->SetConnection(connection);
  auto* source = new TDataSource(&window);
  source->SetDataSet(dataSet);
  if (withGrid) {
    auto* grid = new TDBGrid(&window);
    grid->SetDataSource(source);
    window.resize(715, 177);
    grid->setGeometry(1, 1, 713, 175);
    window.show();
    QCoreApplication::processEvents();
  }
  dataSet->SetCommandText(kQuery);
  QElapsedTimer timer;
  timer.start();
  dataSet->Open();
  if (withGrid) {
    window.repaint();  // the first rows are drawn
    QCoreApplication::processEvents();
  }
  const double seconds = timer.nsecsElapsed() / 1e9;
  *rows = dataSet->RecordCount();
  return seconds;
}

void Measure(const char* name, const QString& connectionString, int runs) {
  std::vector<double> alone, grid;
  qint64 rows = 0;
  for (int run = 0; run < runs; ++run) {
    alone.push_back(OpenSeconds(connectionString, false, &rows));
    grid.push_back(OpenSeconds(connectionString, true, &rows));
  }
  const double a = Median(alone), g = Median(grid);
  std::printf("%s: %lld rows, medians of %d runs\n", name, static_cast<long long>(rows), runs);
  std::printf("  open data set alone      %8.3f s\n", a);
  std::printf("  open with the grid       %8.3f s  (%.2fx; goal <= 1.2x)\n", g, g / a);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const int runs = qEnvironmentVariableIsSet("ROWMILL_BENCH_RUNS")
                       ? std::max(1, qEnvironmentVariableIntValue("ROWMILL_BENCH_RUNS"))
                       : 5;
  const QString sqlite = qEnvironmentVariable("ROWMILL_BENCH_SQLITE");
  const QString pg = qEnvironmentVariable("ROWMILL_BENCH_PG");
  if (!sqlite.isEmpty())
    Measure("SQLite", QStringLiteral("DRIVER=SQLite3;Database=%1;NoCreat=1").arg(sqlite), runs);
  if (!pg.isEmpty()) Measure("PostgreSQL", pg, runs);
  if (sqlite.isEmpty() && pg.isEmpty())
    std::printf("set ROWMILL_BENCH_SQLITE and/or ROWMILL_BENCH_PG\n");
  return 0;
}
