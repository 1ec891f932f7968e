#include "platform/ado/StoppableConnect.h"

#include "base/Exceptions.h"

#include <QScopeGuard>

#include <sqlext.h>

#include <condition_variable>
#include <iterator>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace ado {

namespace {

SQLRETURN DriverConnect(SQLHDBC connection, std::vector<SQLWCHAR>& text) {
  SQLWCHAR completed[1024];
  SQLSMALLINT completedLength = 0;
  // No prompt, whatever the string holds: there is no window to prompt in.
  return SQLDriverConnectW(connection, nullptr, text.data(), SQL_NTS, completed,
                           static_cast<SQLSMALLINT>(std::size(completed)), &completedLength,
                           SQL_DRIVER_NOPROMPT);
}

// What the login thread and the one waiting for it share.
struct Login {
  std::mutex Mutex;
  std::condition_variable Changed;
  OdbcHandle Connection;
  std::vector<SQLWCHAR> Text;
  SQLRETURN Result = SQL_ERROR;
  bool Finished = false;
  bool StopAsked = false;
  bool Left = false;  // the waiter has gone: the login cleans up after itself
};

void RunLogin(const std::shared_ptr<Login>& login) {
  const SQLRETURN rc = DriverConnect(login->Connection.Get(), login->Text);
  const std::lock_guard<std::mutex> lock(login->Mutex);
  if (login->Left) {
    if (SQL_SUCCEEDED(rc)) SQLDisconnect(login->Connection.Get());
    login->Connection.Free();
    return;
  }
  login->Result = rc;
  login->Finished = true;
  login->Changed.notify_all();
}

}  // namespace

SQLRETURN StoppableConnect(OdbcHandle& connection, std::vector<SQLWCHAR> text,
                           StatementControl* control) {
  if (control == nullptr) return DriverConnect(connection.Get(), text);
  control->CheckCancelled();
  auto login = std::make_shared<Login>();
  login->Connection = std::move(connection);
  login->Text = std::move(text);
  std::thread worker;
  try {
    worker = std::thread(RunLogin, login);
  } catch (const std::system_error&) {
    // No thread to be had: the login runs here and cannot be stopped.
    connection = std::move(login->Connection);
    return DriverConnect(connection.Get(), login->Text);
  }
  {
    // A finished login's thread is waited for to its very end, so that a driver's per-thread
    // state (its TLS library's, say) is gone before the program goes on or ends; a login that is
    // left behind runs on alone and cleans up after itself.
    const auto release = qScopeGuard([&worker] {
      if (worker.joinable()) worker.detach();
    });
    // Cancel takes the control's lock, then the login's: the login's is let go here before the
    // control's is taken again.
    const StatementControl::Running running(control, [login] {
      const std::lock_guard<std::mutex> lock(login->Mutex);
      login->StopAsked = true;
      login->Changed.notify_all();
    });
    std::unique_lock<std::mutex> lock(login->Mutex);
    login->Changed.wait(
        lock, [&] { return login->Finished || login->StopAsked || control->Cancelled(); });
    if (login->Finished) {
      lock.unlock();
      worker.join();
      connection = std::move(login->Connection);
      return login->Result;
    }
    login->Left = true;
  }
  throw EAbort(QStringLiteral("Operation cancelled"));
}

}  // namespace ado
