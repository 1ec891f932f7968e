#pragma once

// What the benchmarks share: medians, timing, the process's memory figures, and the reference
// peer: a bare ODBC fetch loop over the same rows.

#include "platform/ado/ConnectionTarget.h"
#include "platform/ado/OdbcEnvironment.h"
#include "platform/ado/OdbcText.h"

#include <QString>

#include <sql.h>
#include <sqlext.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace bench {

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

inline double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// A figure of /proc/self/status in MiB: "VmHWM:" (peak) or "VmRSS:" (now).
inline double StatusMiB(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(key, 0) == 0)
      return std::atof(line.c_str() + std::char_traits<char>::length(key)) / 1024.0;
  return 0;
}
inline double PeakMiB() {
  return StatusMiB("VmHWM:");
}
inline double ResidentMiB() {
  return StatusMiB("VmRSS:");
}
// Starts the peak anew from what the process holds now, so each figure has a peak of its own.
inline void ResetPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

// The rows of the benchmarks, from ROWMILL_BENCH_ROWS (default 1,000,000).
inline long long Rows() {
  const char* rows = std::getenv("ROWMILL_BENCH_ROWS");
  return rows && *rows ? std::atoll(rows) : 1000000;
}

inline void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE h, const char* what) {
  if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA) return;
  SQLCHAR state[6] = {}, text[512] = {};
  SQLINTEGER native = 0;
  SQLSMALLINT len = 0;
  SQLGetDiagRecA(type, h, 1, state, &native, text, sizeof text, &len);
  throw std::runtime_error(std::string(what) + ": " + reinterpret_cast<char*>(text));
}

struct BareRun {
  double Seconds = 0;
  long long Rows = 0;
  double PeakMiB = 0;
};

// The connection string the program's road takes for the query: the driver's streaming option
// and its companion added as the layer adds them.
inline QString RoadString(const QString& connectionString, const char* query) {
  return ado::ConnectionTarget::Resolve(connectionString)
      .RoadFor(QString::fromLatin1(query), false)
      .ConnectionString;
}

// The reference: the bench table through ODBC on the program's road, bound columns and block
// fetch, every value read and dropped.
inline BareRun BareLoop(const QString& userString, const char* query) {
  const QString connectionString = RoadString(userString, query);
  SQLHDBC dbc = nullptr;
  SQLHSTMT stmt = nullptr;
  Check(SQLAllocHandle(SQL_HANDLE_DBC, ado::OdbcEnvironment(), &dbc), SQL_HANDLE_ENV,
        ado::OdbcEnvironment(), "alloc");
  std::vector<SQLWCHAR> cs = ado::ToSqlWChar(connectionString);
  Check(
      SQLDriverConnectW(dbc, nullptr, cs.data(), SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT),
      SQL_HANDLE_DBC, dbc, "connect");
  Check(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt), SQL_HANDLE_DBC, dbc, "stmt");
  const double start = Now();
  Check(SQLExecDirectA(stmt, (SQLCHAR*)query, SQL_NTS), SQL_HANDLE_STMT, stmt, "execute");
  const SQLULEN block = 1024;
  SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(block), 0);
  SQLULEN fetched = 0;
  SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
  std::vector<SQLBIGINT> ids(block);
  std::vector<double> xs(block);
  std::vector<SQLWCHAR> names(block * 41);
  std::vector<SQLLEN> ind(block * 3);
  SQLBindCol(stmt, 1, SQL_C_SBIGINT, ids.data(), 8, ind.data());
  SQLBindCol(stmt, 2, SQL_C_DOUBLE, xs.data(), 8, ind.data() + block);
  SQLBindCol(stmt, 3, SQL_C_WCHAR, names.data(), 41 * 2, ind.data() + 2 * block);
  BareRun run;
  volatile long long sink = 0;
  for (;;) {
    const SQLRETURN rc = SQLFetch(stmt);
    Check(rc, SQL_HANDLE_STMT, stmt, "fetch");
    if (rc == SQL_NO_DATA) break;
    for (SQLULEN r = 0; r < fetched; ++r) sink = sink + ids[r] + static_cast<long long>(xs[r]);
    run.Rows += static_cast<long long>(fetched);
  }
  run.Seconds = Now() - start;
  SQLFreeHandle(SQL_HANDLE_STMT, stmt);
  SQLDisconnect(dbc);
  SQLFreeHandle(SQL_HANDLE_DBC, dbc);
  return run;
}

// The bare loop in a child process of its own, so that its peak memory is its own; rows are -1
// when it failed.
inline BareRun BareLoopInChild(const QString& connectionString, const char* query) {
  int fds[2];
  if (pipe(fds) != 0) return {0, -1, 0};
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    BareRun run{0, -1, 0};
    try {
      run = BareLoop(connectionString, query);
      run.PeakMiB = PeakMiB();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "bare ODBC fetch loop failed: %s\n", e.what());
    }
    if (write(fds[1], &run, sizeof run) != static_cast<ssize_t>(sizeof run)) _exit(3);
    _exit(0);
  }
  close(fds[1]);
  BareRun run{0, -1, 0};
  if (read(fds[0], &run, sizeof run) != static_cast<ssize_t>(sizeof run)) run.Rows = -1;
  close(fds[0]);
  waitpid(pid, nullptr, 0);
  return run;
}

}  // namespace bench
