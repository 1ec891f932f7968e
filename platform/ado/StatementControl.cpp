#include "platform/ado/StatementControl.h"

#include "base/Exceptions.h"

#include <sqlext.h>

#include <utility>

namespace ado {

void StatementControl::Cancel() noexcept {
  FCancelled.store(true, std::memory_order_release);
  const std::lock_guard<std::mutex> lock(FMutex);
  // The driver stops the call that waits on the server; one that is between blocks of rows
  // sees the flag instead.
  if (FInterrupt) FInterrupt();
}

void StatementControl::Clear() noexcept {
  FCancelled.store(false, std::memory_order_release);
  FRows.store(0, std::memory_order_relaxed);
}

void StatementControl::CheckCancelled() const {
  if (Cancelled()) throw EAbort(QStringLiteral("Operation cancelled"));
}

StatementControl::Running::Running(StatementControl* control, SQLHSTMT statement)
    : Running(
          control,
          statement == nullptr ? std::function<void()>() : [statement] { SQLCancel(statement); }) {}

StatementControl::Running::Running(StatementControl* control, std::function<void()> interrupt)
    : FControl(control) {
  const std::lock_guard<std::mutex> lock(FControl->FMutex);
  FControl->FInterrupt = std::move(interrupt);
}

StatementControl::Running::~Running() {
  const std::lock_guard<std::mutex> lock(FControl->FMutex);
  FControl->FInterrupt = nullptr;
}

}  // namespace ado
