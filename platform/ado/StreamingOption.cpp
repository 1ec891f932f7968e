#include "platform/ado/StreamingOption.h"

#include "platform/ado/DriverFamily.h"
#include "platform/ado/OdbcConnectionString.h"

#include <algorithm>

namespace ado {

namespace {

struct Option {
  DriverFamily Family;
  const char* Keyword;
  const char* Value;
  // A companion setting, added unless the string sets it: the rows fetched per round trip.
  const char* Companion = nullptr;
  const char* CompanionValue = nullptr;
  bool QueriesOnly = false;
};

// Measured per driver: each streams without changing what the program sees of a result.
constexpr Option kOptions[] = {
    {DriverFamily::SQLite, "StepAPI", "1", nullptr, nullptr, true},
    {DriverFamily::PostgreSQL, "UseDeclareFetch", "1", "Fetch", "10000", true},
    {DriverFamily::MariaDB, "NO_CACHE", "1"},
};

}  // namespace

StreamingPlan PlanStreaming(const QString& connectionString) {
  const OdbcConnectionString parsed = OdbcConnectionString::Parse(connectionString);
  const DriverFamily family = DriverFamilyOf(parsed);
  const auto option = std::find_if(std::begin(kOptions), std::end(kOptions),
                                   [family](const Option& o) { return o.Family == family; });
  if (option == std::end(kOptions)) return {};
  // The user's string, or the data source it names, has the last word.
  const QString keyword = QLatin1String(option->Keyword);
  if (parsed.Contains(keyword)) return {};
  const QString dataSource = parsed.Value(QStringLiteral("DSN"));
  if (!dataSource.isEmpty() && !DataSourceSetting(dataSource, keyword).isEmpty()) return {};
  QString result = connectionString;
  if (!result.trimmed().isEmpty() && !result.trimmed().endsWith(u';')) result += u';';
  result += keyword + u'=' + QLatin1String(option->Value);
  if (option->Companion && !parsed.Contains(QLatin1String(option->Companion)))
    result +=
        u';' + QLatin1String(option->Companion) + u'=' + QLatin1String(option->CompanionValue);
  return {result, option->QueriesOnly, family};
}

bool StreamingPlan::Serves(const QString& commandText) const {
  if (!QueriesOnly) return true;
  if (!IsPlainQuery(commandText)) return false;
  // A word "into" anywhere, or a line comment, and the statement goes without a cursor: that
  // costs memory, never a statement.
  return Family != DriverFamily::PostgreSQL ||
         (!commandText.contains(QLatin1String("into"), Qt::CaseInsensitive) &&
          !commandText.contains(QLatin1String("--")));
}

bool IsPlainQuery(const QString& commandText) {
  const QChar* p = commandText.constData();
  const QChar* end = p + commandText.size();
  for (;;) {
    while (p < end && p->isSpace()) ++p;
    if (end - p >= 2 && p[0] == u'-' && p[1] == u'-') {
      while (p < end && *p != u'\n') ++p;
    } else if (end - p >= 2 && p[0] == u'/' && p[1] == u'*') {
      p += 2;
      while (end - p >= 2 && !(p[0] == u'*' && p[1] == u'/')) ++p;
      p = end - p >= 2 ? p + 2 : end;
    } else {
      break;
    }
  }
  const QStringView word(p, std::min<qsizetype>(end - p, 6));
  if (word.compare(QLatin1String("SELECT"), Qt::CaseInsensitive) != 0) return false;
  return end - p == 6 || !(p[6].isLetterOrNumber() || p[6] == u'_');
}

}  // namespace ado
