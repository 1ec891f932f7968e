// Opens the bench table through TADODataSet and walks it with First/Next reading every field:
// as AsString texts (the grid's way) and written into a UTF-8 buffer (the save's way), against a
// Peek walk over the bare database layer.
// ROWMILL_BENCH_SQLITE: a database file with bench(id INTEGER, x DOUBLE PRECISION, name
// VARCHAR(20)); ROWMILL_BENCH_PG: an ODBC connection string to a database holding the same table.

#include "base/Exceptions.h"
#include "data/TADOConnection.h"
#include "data/TADODataSet.h"
#include "data/TField.h"
#include "data/TextSink.h"
#include "platform/ado/AdoInterfaces.h"

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 5;
const QString kQuery = QStringLiteral("SELECT id, x, name FROM bench");

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

struct Run {
  double OpenMs = 0;
  double WalkMs = 0;
  qint64 Values = 0;
  qint64 Chars = 0;  // keeps the reads from being optimised away
};

Run LayerRun(const QString& cs) {
  Run r;
  std::unique_ptr<ado::Connection> c = ado::CreateConnection();
  c->Open(cs);
  const auto t0 = Clock::now();
  std::unique_ptr<ado::Recordset> rs = c->Execute(kQuery, {});
  const auto t1 = Clock::now();
  const qint64 rows = rs->RecordCount();
  const int cols = rs->FieldCount();
  for (qint64 row = 0; row < rows; ++row)
    for (int col = 0; col < cols; ++col) {
      const ado::ValueRef v = rs->Peek(row, col);
      r.Chars += v.Size + static_cast<qint64>(v.Int);
      ++r.Values;
    }
  const auto t2 = Clock::now();
  r.OpenMs = Ms(t1 - t0);
  r.WalkMs = Ms(t2 - t1);
  return r;
}

// How a field gives its text to the walk: as a text of its own (the grid's way) or written into
// a UTF-8 buffer (the save's way).
enum class Reading { AsString, WriteAsString };

Run DataSetRun(const QString& cs, Reading reading) {
  Run r;
  TADOConnection connection;
  connection.SetKeepConnection(false);
  connection.SetLoginPrompt(false);
  connection.SetConnectionString(cs);
  TADODataSet dataSet;
  dataSet.setObjectName("ADODataSet");
  dataSet.SetConnection(&connection);
  dataSet.SetCommandText(kQuery);
  const auto t0 = Clock::now();
  dataSet.Open();
  const auto t1 = Clock::now();
  dataSet.DisableControls();
  const int fields = dataSet.FieldCount();
  TextSink sink;
  for (dataSet.First(); !dataSet.Eof(); dataSet.Next()) {
    for (int i = 0; i < fields; ++i) {
      if (reading == Reading::AsString) {
        r.Chars += dataSet.Fields(i)->AsString().size();
      } else {
        dataSet.Fields(i)->WriteAsString(sink);
      }
      ++r.Values;
    }
    r.Chars += static_cast<qint64>(sink.Bytes().size());
    sink.Bytes().clear();
  }
  dataSet.EnableControls();
  const auto t2 = Clock::now();
  r.OpenMs = Ms(t1 - t0);
  r.WalkMs = Ms(t2 - t1);
  return r;
}

template <typename F>
void Measure(const char* source, const char* what, F&& once, const QString& cs) {
  std::vector<double> open, walk;
  qint64 values = 0;
  for (int i = 0; i < kRuns; ++i) {
    const Run r = once(cs);
    open.push_back(r.OpenMs);
    walk.push_back(r.WalkMs);
    values = r.Values;
  }
  const double walkMs = Median(walk);
  std::printf("%-8s %-10s values=%lld open_ms=%.1f walk_ms=%.1f ns_per_value=%.1f (median of %d)\n",
              source, what, static_cast<long long>(values), Median(open), walkMs,
              values ? walkMs * 1e6 / static_cast<double>(values) : 0.0, kRuns);
  std::fflush(stdout);
}

void Bench(const char* source, const QString& cs) {
  Measure(source, "layer", LayerRun, cs);
  Measure(
      source, "AsString", [](const QString& c) { return DataSetRun(c, Reading::AsString); }, cs);
  Measure(
      source, "save path", [](const QString& c) { return DataSetRun(c, Reading::WriteAsString); },
      cs);
}

}  // namespace

int main() {
  const QString sqlite = qEnvironmentVariable("ROWMILL_BENCH_SQLITE");
  const QString pg = qEnvironmentVariable("ROWMILL_BENCH_PG");
  if (sqlite.isEmpty() && pg.isEmpty()) {
    std::fprintf(stderr, "DataSetBench: set ROWMILL_BENCH_SQLITE and/or ROWMILL_BENCH_PG\n");
    return 2;
  }
  try {
    if (!sqlite.isEmpty())
      Bench("sqlite", QStringLiteral("DRIVER=SQLite3;Database=%1;NoCreat=1").arg(sqlite));
    if (!pg.isEmpty()) Bench("postgres", pg);
  } catch (const Exception& e) {
    std::fprintf(stderr, "DataSetBench: %s\n", e.Message().toUtf8().constData());
    return 1;
  }
  return 0;
}
