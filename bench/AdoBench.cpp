// Opening the database layer's recordset against a bare ODBC fetch loop and the databases' own
// command-line tools, on the same bench table (ROWMILL_BENCH_ROWS rows, default 1,000,000). Each
// measurement runs in a child process so its peak memory (VmHWM) is its own.

#include "bench/BenchSupport.h"
#include "platform/ado/OdbcConnection.h"
#include "platform/ado/OdbcEnvironment.h"
#include "platform/ado/OdbcText.h"

#include <QString>

#include <sql.h>
#include <sqlext.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 5;
const char* const kQuery = "SELECT id, x, name FROM bench";

struct Sample {
  double Seconds = 0;
  double PeakMiB = 0;
  long long Rows = 0;
  double ValueBytes = 0;  // what the values take as numbers and UTF-8 texts
};

double Now() {
  return bench::Now();
}

double PeakMiB() {
  return bench::PeakMiB();
}

// Runs the measurement in a child and reads its sample back through a pipe.
Sample InChild(const std::function<Sample()>& measure) {
  int fds[2];
  if (pipe(fds) != 0) std::exit(2);
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    Sample s{};
    try {
      s = measure();
      s.PeakMiB = PeakMiB();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "failed: %s\n", e.what());
      s.Rows = -1;
    }
    if (write(fds[1], &s, sizeof s) != static_cast<ssize_t>(sizeof s)) _exit(3);
    _exit(0);
  }
  close(fds[1]);
  Sample s{};
  if (read(fds[0], &s, sizeof s) != static_cast<ssize_t>(sizeof s)) s.Rows = -1;
  close(fds[0]);
  waitpid(pid, nullptr, 0);
  return s;
}

// A peer tool: wall time of the whole process, peak memory from its resource usage.
Sample Tool(const std::vector<std::string>& argv) {
  const double start = Now();
  const pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    if (!std::freopen("/dev/null", "w", stdout)) _exit(127);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Sample s;
  s.Seconds = Now() - start;
  s.PeakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
  s.Rows = WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : -1;
  return s;
}

Sample LayerOpen(const QString& connectionString) {
  ado::OdbcConnection connection;
  const QString query = QString::fromLatin1(kQuery);
  connection.Open(connectionString, {query});
  const double start = Now();
  auto rs = connection.Execute(query, {});
  Sample s;
  s.Seconds = Now() - start;
  s.Rows = rs->RecordCount();
  for (qint64 row = 0; row < s.Rows; ++row)
    for (int column = 0; column < rs->FieldCount(); ++column) {
      const ado::ValueRef v = rs->Peek(row, column);
      s.ValueBytes += v.kind == ado::Value::Kind::Text || v.kind == ado::Value::Kind::Bytes
                          ? static_cast<double>(v.Size)
                      : v.IsNull() ? 0.0
                                   : 8.0;
    }
  return s;
}

Sample BareLoop(const QString& connectionString) {
  const bench::BareRun run = bench::BareLoop(connectionString, kQuery);
  Sample s;
  s.Seconds = run.Seconds;
  s.Rows = run.Rows;
  return s;
}

struct Summary {
  double Seconds, PeakMiB, Spread;
  long long Rows;
  double ValueBytes;
};

Summary Measure(const char* label, const std::function<Sample()>& one) {
  std::vector<Sample> samples;
  for (int i = 0; i < kRuns; ++i) samples.push_back(one());
  std::vector<double> t, m;
  long long rows = samples.front().Rows;
  for (const Sample& s : samples) {
    t.push_back(s.Seconds);
    m.push_back(s.PeakMiB);
    if (s.Rows < 0) rows = -1;
  }
  std::sort(t.begin(), t.end());
  std::sort(m.begin(), m.end());
  const Summary r{t[kRuns / 2], m[kRuns / 2], (t.back() - t.front()) / t[kRuns / 2] * 100, rows,
                  samples.front().ValueBytes};
  std::printf(
      "  %-22s median %8.3f s  (min %.3f, max %.3f, spread %4.1f%%)  peak %7.1f MiB  rows %lld",
      label, r.Seconds, t.front(), t.back(), r.Spread, r.PeakMiB, rows);
  if (r.ValueBytes > 0)
    std::printf("  (%.2f bytes of peak per value byte)", r.PeakMiB * 1048576.0 / r.ValueBytes);
  std::printf("\n");
  std::fflush(stdout);
  return r;
}

void Compare(const char* name, const QString& connectionString,
             const std::vector<std::string>& tool, const char* toolName) {
  std::printf("%s (%d runs each), road: %s\n", name, kRuns,
              qPrintable(bench::RoadString(connectionString, kQuery)));
  const Summary layer = Measure(
      "layer recordset open", [&] { return InChild([&] { return LayerOpen(connectionString); }); });
  const Summary bare = Measure("bare ODBC fetch loop",
                               [&] { return InChild([&] { return BareLoop(connectionString); }); });
  const Summary peer = Measure(toolName, [&] { return Tool(tool); });
  std::printf("  ratio layer/bare ODBC: time %.2fx, peak memory %.2fx (goal: time within 1.30x)\n",
              layer.Seconds / bare.Seconds, layer.PeakMiB / bare.PeakMiB);
  std::printf("  ratio layer/%s: time %.2fx\n\n", toolName, layer.Seconds / peer.Seconds);
}

}  // namespace

int main() {
  const char* sqlite = std::getenv("ROWMILL_BENCH_SQLITE");
  const char* pg = std::getenv("ROWMILL_BENCH_PG");
  const char* psql = std::getenv("ROWMILL_BENCH_PG_PSQL");
  const char* mariadb = std::getenv("ROWMILL_BENCH_MARIADB");
  const char* client = std::getenv("ROWMILL_BENCH_MARIADB_CLIENT");
  if (!sqlite && !pg && !mariadb) {
    std::fprintf(stderr,
                 "AdoBench: set ROWMILL_BENCH_SQLITE, ROWMILL_BENCH_PG or ROWMILL_BENCH_MARIADB\n");
    return 2;
  }
  if (sqlite) {
    Compare(
        "SQLite",
        QStringLiteral("DRIVER=SQLite3;Database=%1;NoCreat=1").arg(QString::fromLocal8Bit(sqlite)),
        {"sqlite3", "-csv", sqlite, kQuery}, "sqlite3 -csv");
  }
  if (pg && psql) {
    Compare("PostgreSQL", QString::fromLocal8Bit(pg),
            {"psql", "-qAt", psql, "-c", std::string("\\copy (") + kQuery + ") to '/dev/null' csv"},
            "psql \\copy csv");
  }
  if (mariadb && client) {
    // The client's options file: host, port, user, password and database, one per line.
    Compare("MariaDB", QString::fromLocal8Bit(mariadb),
            {"mariadb", std::string("--defaults-extra-file=") + client, "--batch", "--quick", "-e",
             kQuery},
            "mariadb --batch");
  }
  return 0;
}
