#include "platform/ado/OdbcLimits.h"

#include "platform/ado/OdbcCheck.h"
#include "platform/ado/OdbcConnectionString.h"

namespace ado {

namespace {

bool HoldsNul(const QString& text) {
  return text.contains(QChar(u'\0'));
}

}  // namespace

void CheckConnectionString(const QString& text, const QString& origin) {
  if (HoldsNul(text))
    throw ProviderError(
        QStringLiteral("%1 holds a NUL character, which would cut it short; it was not used")
            .arg(origin));
  if (text.size() > kMaxConnectionStringLength)
    throw ProviderError(QStringLiteral("%1 is %2 characters long; ODBC takes at most %3")
                            .arg(origin)
                            .arg(text.size())
                            .arg(kMaxConnectionStringLength));
  const OdbcConnectionString parts = OdbcConnectionString::Parse(text);
  for (const OdbcConnectionString::Pair& pair : parts.Pairs()) {
    if (pair.keyword.compare(QLatin1String("DRIVER"), Qt::CaseInsensitive) != 0) continue;
    const qsizetype length = OdbcConnectionString::ManagerValue(pair).size();
    if (length > kMaxDriverNameLength)
      throw ProviderError(
          QStringLiteral(
              "%1 names a driver of %2 characters; the ODBC driver manager takes at most %3")
              .arg(origin)
              .arg(length)
              .arg(kMaxDriverNameLength));
  }
}

void CheckStatementText(const QString& text) {
  // Pasted text can carry one unseen.
  if (HoldsNul(text))
    throw ProviderError(QStringLiteral(
        "The statement holds a NUL character, which would cut it short; it was not sent"));
}

}  // namespace ado
