#include "platform/ado/ConnectionTarget.h"

#include "platform/ado/OdbcLimits.h"
#include "platform/ado/UdlReader.h"

#include <odbcinst.h>

#include <array>

namespace ado {

QString DataSourceSetting(const QString& dataSource, const QString& key) {
  if (dataSource.isEmpty()) return {};
  std::array<char, 4096> buffer{};
  const int length =
      SQLGetPrivateProfileString(dataSource.toUtf8().constData(), key.toUtf8().constData(), "",
                                 buffer.data(), static_cast<int>(buffer.size()), "odbc.ini");
  return length > 0 ? QString::fromUtf8(buffer.data()) : QString();
}

ConnectionTarget ConnectionTarget::Of(const QString& connectionString) {
  ConnectionTarget target;
  target.FText = connectionString;
  target.FParts = OdbcConnectionString::Parse(connectionString);
  target.FProfile = &ProfileOf(DriverFamily::Unknown);
  // Of DRIVER and DSN, whichever comes first counts.
  for (const OdbcConnectionString::Pair& pair : target.FParts.Pairs()) {
    if (pair.keyword.compare(QLatin1String("DRIVER"), Qt::CaseInsensitive) == 0) {
      target.FProfile = &ProfileOfDriver(pair.value);
      break;
    }
    if (pair.keyword.compare(QLatin1String("DSN"), Qt::CaseInsensitive) == 0) {
      target.FOrigin = Origin::DataSource;
      target.FProfile = &ProfileOfDriver(DataSourceSetting(pair.value, QStringLiteral("Driver")));
      break;
    }
  }
  return target;
}

ConnectionTarget ConnectionTarget::Resolve(const QString& connectionString,
                                           int loginTimeoutSeconds) {
  const bool link = IsDataLinkReference(connectionString);
  const QString text = ResolveConnectionString(connectionString);
  CheckConnectionString(text, link ? QStringLiteral("The connection string in the data link file "
                                                    "\"%1\"")
                                         .arg(DataLinkReferencePath(connectionString))
                                   : QStringLiteral("The connection string"));
  ConnectionTarget target = Of(text);
  if (link) target.FOrigin = Origin::DataLinkFile;
  target.FLoginTimeoutSeconds = loginTimeoutSeconds;
  return target;
}

QString ConnectionTarget::Setting(const QString& keyword) const {
  if (FParts.Contains(keyword)) return FParts.Value(keyword);
  return DataSourceSetting(FParts.Value(QStringLiteral("DSN")), keyword);
}

namespace {

QString Appended(QString text, const QString& pair) {
  if (!text.trimmed().isEmpty() && !text.trimmed().endsWith(u';')) text += u';';
  return text + pair;
}

}  // namespace

Road ConnectionTarget::WithTimeout(QString text, bool streams) const {
  Road road;
  road.Streams = streams;
  const DriverProfile& p = Profile();
  const QString own = p.OwnTimeoutKeyword ? Setting(QLatin1String(p.OwnTimeoutKeyword)) : QString();
  if (own.isEmpty() || (p.OwnTimeoutMarker && !own.contains(QLatin1String(p.OwnTimeoutMarker)))) {
    road.LoginTimeoutSeconds = FLoginTimeoutSeconds;
    road.DefaultTimeout = true;
    if (p.AddedTimeoutKeyword) {
      const QString extended = Appended(text, QStringLiteral("%1=%2")
                                                  .arg(QLatin1String(p.AddedTimeoutKeyword))
                                                  .arg(FLoginTimeoutSeconds));
      if (extended.size() <= kMaxConnectionStringLength) text = extended;
    }
  }
  road.ConnectionString = text;
  return road;
}

Road ConnectionTarget::PlainRoad() const {
  return WithTimeout(FText, false);
}

Road ConnectionTarget::RoadFor(const QString& statement, bool hasParameters) const {
  const DriverProfile& p = Profile();
  // The user's string, or the data source it names, has the last word.
  if (!p.StreamingKeyword || hasParameters || !p.MayStream || !p.MayStream(statement) ||
      !Setting(QLatin1String(p.StreamingKeyword)).isEmpty())
    return PlainRoad();
  QString text =
      Appended(FText, QLatin1String(p.StreamingKeyword) + u'=' + QLatin1String(p.StreamingValue));
  if (p.CompanionKeyword && !FParts.Contains(QLatin1String(p.CompanionKeyword)))
    text =
        Appended(text, QLatin1String(p.CompanionKeyword) + u'=' + QLatin1String(p.CompanionValue));
  // The option must not make a string the drivers can take into one they cannot.
  if (text.size() > kMaxConnectionStringLength) return PlainRoad();
  return WithTimeout(text, true);
}

}  // namespace ado
