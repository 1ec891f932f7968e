#include "platform/ado/UdlReader.h"

#include "platform/ado/OdbcCheck.h"

#include <QFile>
#include <QStringDecoder>

namespace ado {

static QString DecodeDataLink(const QByteArray& bytes) {
  const auto bom = QStringConverter::encodingForData(bytes);
  if (bom == QStringConverter::Utf16LE || bom == QStringConverter::Utf16BE) {
    QStringDecoder decoder(*bom, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
  }
  QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
  return decoder.decode(bytes);
}

QString ReadDataLinkFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw ProviderError(
        QStringLiteral("Cannot open the data link file \"%1\": %2").arg(path, file.errorString()));
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    throw ProviderError(
        QStringLiteral("Cannot read the data link file \"%1\": %2").arg(path, file.errorString()));
  }
  QString text = DecodeDataLink(bytes);
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (const QString& raw : lines) {
    const QString line = raw.trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('[')) || line.startsWith(QLatin1Char(';')))
      continue;
    return line;
  }
  throw ProviderError(
      QStringLiteral("The data link file \"%1\" holds no connection string").arg(path));
}

QString ResolveConnectionString(const QString& connectionString) {
  const QString prefix = QString::fromUtf16(kDataLinkPrefix);
  if (!connectionString.startsWith(prefix, Qt::CaseSensitive)) return connectionString;
  return ReadDataLinkFile(connectionString.mid(prefix.size()));
}

}  // namespace ado
