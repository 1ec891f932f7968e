#pragma once

#include <sql.h>

#include <QtGlobal>

#include <atomic>
#include <functional>
#include <mutex>

namespace ado {

// What another thread may do to the statement that a connection runs: stop it, also while the
// driver waits for the server, and ask how many rows it has fetched so far. The connection and
// its statements share one.
class StatementControl {
 public:
  // Any thread. The call in progress is cancelled with the driver's SQLCancel; it and every
  // later one fail with EAbort until Clear.
  void Cancel() noexcept;
  // Before a new statement: no stop asked, no rows counted.
  void Clear() noexcept;
  bool Cancelled() const noexcept { return FCancelled.load(std::memory_order_acquire); }
  // Throws EAbort once a stop was asked.
  void CheckCancelled() const;

  void AddRows(qint64 rows) noexcept { FRows.fetch_add(rows, std::memory_order_relaxed); }
  qint64 Rows() const noexcept { return FRows.load(std::memory_order_relaxed); }

  // While it lives, a call waits on the statement that Cancel may interrupt with SQLCancel (null:
  // none; the flag alone stops the work); the handle stays allocated meanwhile. Or a wait that
  // Cancel ends by calling interrupt, which must not call back into this control.
  class Running {
   public:
    Running(StatementControl* control, SQLHSTMT statement);
    Running(StatementControl* control, std::function<void()> interrupt);
    ~Running();
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

   private:
    StatementControl* FControl;
  };

 private:
  // Guards FInterrupt against what it interrupts going away meanwhile (a handle during SQLCancel).
  std::mutex FMutex;
  std::function<void()> FInterrupt;
  std::atomic<bool> FCancelled{false};
  std::atomic<qint64> FRows{0};
};

// Runs body as work that control may stop (statement: the handle SQLCancel may interrupt, or
// null); a failure once the stop was asked is the stop (EAbort), not the driver's error.
template <typename Body>
auto RunCancellable(StatementControl* control, SQLHSTMT statement, Body body) {
  if (control == nullptr) return body();
  const StatementControl::Running running(control, statement);
  // A stop asked before the handle was registered found nothing to cancel.
  control->CheckCancelled();
  try {
    return body();
  } catch (...) {
    control->CheckCancelled();
    throw;
  }
}

}  // namespace ado
