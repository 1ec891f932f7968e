#pragma once

#include "data/RegionalSettings.h"

#include <clocale>
#include <string>

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

// Switches the process locale for a test and restores it; false from Active when the locale is
// not installed.
class LocaleGuard {
 public:
  explicit LocaleGuard(const char* name) : FPrevious(std::setlocale(LC_ALL, nullptr)) {
    FActive = std::setlocale(LC_ALL, name) != nullptr;
  }
  ~LocaleGuard() {
    std::setlocale(LC_ALL, FPrevious.c_str());
    RegionalSettings::Reload();
  }
  LocaleGuard(const LocaleGuard&) = delete;
  LocaleGuard& operator=(const LocaleGuard&) = delete;
  bool Active() const { return FActive; }

 private:
  std::string FPrevious;
  bool FActive = false;
};
