#include "data/RegionalSettings.h"

#include "data/TextSink.h"
#include "platform/CodePage.h"

#include <langinfo.h>

#include <clocale>
#include <cstring>

namespace {

// "C.UTF-8" and its spellings are the C locale with another character set: no regional
// settings chosen either, though glibc gives them the two-digit year of "%m/%d/%y".
bool IsPlainLocale(const char* name) {
  return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
         std::strncmp(name, "C.", 2) == 0;
}

RegionalSettings& Storage() {
  static RegionalSettings settings = RegionalSettings::FromLocale();
  return settings;
}

}  // namespace

RegionalSettings RegionalSettings::FromLocale() {
  RegionalSettings s;
  const QString radix = codepage::ToUnicode(QByteArray(nl_langinfo(RADIXCHAR)));
  if (!radix.isEmpty()) s.DecimalSeparator = radix.at(0);
  // With no regional settings chosen the dates stay ISO, so no century is lost.
  if (!IsPlainLocale(std::setlocale(LC_TIME, nullptr))) {
    const char* date = nl_langinfo(D_FMT);
    const char* time = nl_langinfo(T_FMT);
    if (date && *date) s.ShortDateFormat = date;
    if (time && *time) s.LongTimeFormat = time;
  }
  return s;
}

const RegionalSettings& RegionalSettings::Current() {
  return Storage();
}

const RegionalSettings& RegionalSettings::For(const TextSink& out) {
  static const RegionalSettings invariant;
  return out.IsExact() ? invariant : Current();
}

void RegionalSettings::Reload() {
  Storage() = FromLocale();
}

void RegionalSettings::SetCurrent(const RegionalSettings& settings) {
  Storage() = settings;
}
