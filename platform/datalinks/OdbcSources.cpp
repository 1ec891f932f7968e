#include "platform/datalinks/OdbcSources.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <array>
#include <memory>

namespace {

struct EnvironmentDeleter {
  void operator()(void* handle) const noexcept { SQLFreeHandle(SQL_HANDLE_ENV, handle); }
};
using Environment = std::unique_ptr<void, EnvironmentDeleter>;

Environment NewEnvironment() {
  SQLHENV handle = SQL_NULL_HENV;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handle))) return nullptr;
  Environment env(handle);
  SQLSetEnvAttr(handle, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  return env;
}

QString FromWide(const SQLWCHAR* text, SQLSMALLINT length) {
  return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
}

}  // namespace

namespace odbcsources {

QStringList InstalledDrivers() {
  QStringList names;
  Environment env = NewEnvironment();
  if (!env) return names;
  std::array<SQLWCHAR, 512> name{};
  std::array<SQLWCHAR, 2048> attributes{};
  SQLUSMALLINT direction = SQL_FETCH_FIRST;
  for (;;) {
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT attributesLength = 0;
    const SQLRETURN rc = SQLDriversW(env.get(), direction, name.data(), name.size(), &nameLength,
                                     attributes.data(), attributes.size(), &attributesLength);
    if (!SQL_SUCCEEDED(rc)) break;
    names << FromWide(name.data(), std::min<SQLSMALLINT>(nameLength, name.size() - 1));
    direction = SQL_FETCH_NEXT;
  }
  return names;
}

QStringList DataSourceNames() {
  QStringList names;
  Environment env = NewEnvironment();
  if (!env) return names;
  std::array<SQLWCHAR, SQL_MAX_DSN_LENGTH + 1> name{};
  std::array<SQLWCHAR, 512> description{};
  SQLUSMALLINT direction = SQL_FETCH_FIRST;
  for (;;) {
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT descriptionLength = 0;
    const SQLRETURN rc =
        SQLDataSourcesW(env.get(), direction, name.data(), name.size(), &nameLength,
                        description.data(), description.size(), &descriptionLength);
    if (!SQL_SUCCEEDED(rc)) break;
    names << FromWide(name.data(), std::min<SQLSMALLINT>(nameLength, name.size() - 1));
    direction = SQL_FETCH_NEXT;
  }
  return names;
}

}  // namespace odbcsources
