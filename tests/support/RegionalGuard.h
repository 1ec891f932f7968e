#pragma once

#include "data/RegionalSettings.h"
#include "tests/support/ScopedValue.h"

// Settings of a test's own for its lifetime; the locale's are read again afterwards.
class RegionalGuard {
 public:
  explicit RegionalGuard(const RegionalSettings& settings) {
    RegionalSettings::SetCurrent(settings);
  }
  ~RegionalGuard() { RegionalSettings::Reload(); }
  RegionalGuard(const RegionalGuard&) = delete;
  RegionalGuard& operator=(const RegionalGuard&) = delete;
};

// Switches the process locale for a test and restores it, the regional settings with it; false
// from Active when the locale is not installed.
class LocaleGuard {
 public:
  explicit LocaleGuard(const char* name) : FLocale(LC_ALL, name) {}
  LocaleGuard(const LocaleGuard&) = delete;
  LocaleGuard& operator=(const LocaleGuard&) = delete;
  bool Active() const { return FLocale.Active(); }

 private:
  // Declared first, so it goes last: the settings are read again once the locale is back.
  struct Reload {
    ~Reload() { RegionalSettings::Reload(); }
  } FReload;
  ScopedLocale FLocale;
};
