#pragma once

#include <QByteArray>

#include <clocale>
#include <functional>
#include <string>
#include <utility>

// Every change a test makes to process-wide state (a hook, a seam, an environment variable, the
// locale) goes through a ScopedRestore, which undoes it when the scope ends: also when a failed
// assertion returns early, so no hook is left pointing at a test's destroyed locals and no
// later test starts from another test's settings.
class [[nodiscard]] ScopedRestore {
 public:
  explicit ScopedRestore(std::function<void()> restore) : FRestore(std::move(restore)) {}
  ScopedRestore(ScopedRestore&& other) noexcept : FRestore(std::exchange(other.FRestore, {})) {}
  ScopedRestore(const ScopedRestore&) = delete;
  ScopedRestore& operator=(const ScopedRestore&) = delete;
  ScopedRestore& operator=(ScopedRestore&&) = delete;
  ~ScopedRestore() {
    if (FRestore) FRestore();
  }

 private:
  std::function<void()> FRestore;
};

// Installs a value through a setter that returns the value it replaces, as the hooks do.
template <typename Setter, typename Value>
ScopedRestore ScopedSet(Setter set, Value&& value) {
  auto previous = set(std::forward<Value>(value));
  return ScopedRestore(
      [set, previous = std::move(previous)]() mutable { set(std::move(previous)); });
}

// Sets a value through a setter and puts back what the getter read before.
template <typename Getter, typename Setter, typename Value>
ScopedRestore ScopedAssign(Getter get, Setter set, Value&& value) {
  ScopedRestore restore([set, previous = get()]() mutable { set(std::move(previous)); });
  set(std::forward<Value>(value));
  return restore;
}

// Sets an environment variable, or removes it when value is null.
inline ScopedRestore ScopedEnvironment(const char* name, const QByteArray& value) {
  const bool wasSet = qEnvironmentVariableIsSet(name);
  ScopedRestore restore([name, wasSet, previous = qgetenv(name)] {
    if (wasSet)
      qputenv(name, previous);
    else
      qunsetenv(name);
  });
  if (value.isNull())
    qunsetenv(name);
  else
    qputenv(name, value);
  return restore;
}

// Switches one category of the C locale; Active() is false when the locale is not installed.
class ScopedLocale {
 public:
  ScopedLocale(int category, const char* name)
      : FRestore([category, previous = std::string(std::setlocale(category, nullptr))] {
          std::setlocale(category, previous.c_str());
        }),
        FActive(std::setlocale(category, name) != nullptr) {}
  bool Active() const { return FActive; }

 private:
  ScopedRestore FRestore;
  bool FActive;
};
