#include "base/HandlerGuard.h"

#include "base/Exceptions.h"

#include <QtGlobal>

namespace {
ApplicationExceptionHandler& Installed() {
  static ApplicationExceptionHandler handler;
  return handler;
}
}  // namespace

ApplicationExceptionHandler SetApplicationExceptionHandler(ApplicationExceptionHandler handler) {
  return std::exchange(Installed(), std::move(handler));
}

void HandleApplicationException(std::exception_ptr error) noexcept {
  try {
    if (Installed()) {
      Installed()(error);
      return;
    }
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    qWarning("Unhandled exception: %s", e.what());
  } catch (...) {
    qWarning("Unhandled exception of unknown type");
  }
}
