#include "platform/ado/StreamingOption.h"

#include "platform/datalinks/OdbcConnectionString.h"

#include <odbcinst.h>

#include <QFileInfo>

namespace ado {

namespace {

QString IniValue(const QString& section, const char* key, const char* file) {
  char buffer[1024] = {};
  const QByteArray name = section.toUtf8();
  const int n = SQLGetPrivateProfileString(name.constData(), key, "", buffer,
                                           static_cast<int>(sizeof buffer), file);
  return n > 0 ? QString::fromUtf8(buffer, n).trimmed() : QString();
}

// The file name of a driver given by name (a section of odbcinst.ini) or by path.
QString DriverLibrary(const QString& driver) {
  if (driver.contains(u'/')) return QFileInfo(driver).fileName();
  return QFileInfo(IniValue(driver, "Driver", "odbcinst.ini")).fileName();
}

struct Option {
  const char* Library;  // part of the driver library's file name
  const char* Keyword;
  const char* Value;
  // A companion setting, added unless the string sets it: the rows fetched per round trip.
  const char* Companion = nullptr;
  const char* CompanionValue = nullptr;
  bool QueriesOnly = false;
};

// Measured per driver: each streams without changing what the program sees of a result.
constexpr Option kOptions[] = {
    {"sqlite3odbc", "StepAPI", "1", nullptr, nullptr, true},
    {"psqlodbc", "UseDeclareFetch", "1", "Fetch", "10000"},
    {"maodbc", "NO_CACHE", "1"},
};

}  // namespace

StreamingPlan PlanStreaming(const QString& connectionString) {
  const OdbcConnectionString parsed = OdbcConnectionString::Parse(connectionString);
  QString library;
  QString dataSource;
  if (parsed.Contains(QStringLiteral("DRIVER"))) {
    library = DriverLibrary(parsed.Value(QStringLiteral("DRIVER")));
  } else if (parsed.Contains(QStringLiteral("DSN"))) {
    dataSource = parsed.Value(QStringLiteral("DSN"));
    library = DriverLibrary(IniValue(dataSource, "Driver", "odbc.ini"));
  }
  if (library.isEmpty()) return {};
  for (const Option& option : kOptions) {
    if (!library.contains(QLatin1String(option.Library), Qt::CaseInsensitive)) continue;
    const QString keyword = QLatin1String(option.Keyword);
    if (parsed.Contains(keyword)) return {};
    if (!dataSource.isEmpty() && !IniValue(dataSource, option.Keyword, "odbc.ini").isEmpty())
      return {};
    QString result = connectionString;
    if (!result.trimmed().isEmpty() && !result.trimmed().endsWith(u';')) result += u';';
    result += keyword + u'=' + QLatin1String(option.Value);
    if (option.Companion && !parsed.Contains(QLatin1String(option.Companion)))
      result +=
          u';' + QLatin1String(option.Companion) + u'=' + QLatin1String(option.CompanionValue);
    return {result, option.QueriesOnly};
  }
  return {};
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
