#pragma once

#include <exception>
#include <functional>
#include <utility>

// Qt's event dispatch is not exception-safe, so nothing may unwind through it. Every handler is
// connected through Guarded(), which passes whatever leaves the handler to the application's
// exception handler (the error box), and then returns to the event loop.

using ApplicationExceptionHandler = std::function<void(std::exception_ptr)>;

// Installs the handler of last resort; returns the previous one.
ApplicationExceptionHandler SetApplicationExceptionHandler(ApplicationExceptionHandler handler);
// Passes a caught exception to the installed handler (without one it is written to the log).
void HandleApplicationException(std::exception_ptr error) noexcept;

template <typename Handler>
auto Guarded(Handler handler) {
  return [handler = std::move(handler)](auto&&... args) mutable {
    try {
      handler(std::forward<decltype(args)>(args)...);
    } catch (...) {
      HandleApplicationException(std::current_exception());
    }
  };
}
