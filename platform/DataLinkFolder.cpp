#include "platform/DataLinkFolder.h"

#include <QByteArray>
#include <QFile>

#include <array>
#include <climits>

// libodbcinst's own answer for the system ini folder. It is declared only in an internal header
// of unixODBC, so it is declared here. It keeps the first answer for the life of the process,
// which is why ODBCSYSINI is read here first.
extern "C" char* odbcinst_system_file_path(char* buffer);

QString OdbcSystemFilePath() {
  const QString fromEnvironment = qEnvironmentVariable("ODBCSYSINI");
  if (!fromEnvironment.isEmpty()) return fromEnvironment;
  std::array<char, PATH_MAX + 1> buffer{};
  const char* path = odbcinst_system_file_path(buffer.data());
  return path ? QString::fromLocal8Bit(path) : QString();
}

QString ReadIniValue(const QString& fileName, const QString& section, const QString& key) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return {};
  bool started = false;
  bool inSection = false;
  bool sectionSeen = false;
  while (!file.atEnd()) {
    // Bytes as the driver manager reads them: a byte-order mark is not skipped.
    const QByteArray bytes = file.readLine();
    const QString trimmed = QString::fromLocal8Bit(bytes).trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'#')) continue;
    // Before the first section only a "[" in the first column starts one; anything else
    // there leaves the whole file unread (an indented section or a byte-order mark, too).
    if (!started && !bytes.startsWith('[')) return {};
    started = true;
    if (trimmed.startsWith(u'[')) {
      if (inSection) return {};  // the first section of the name ended without the key
      const qsizetype end = trimmed.indexOf(u']');
      const QString name = trimmed.mid(1, end < 0 ? -1 : end - 1).trimmed();
      inSection = !sectionSeen && name.compare(section, Qt::CaseInsensitive) == 0;
      sectionSeen = sectionSeen || inSection;
      continue;
    }
    if (!inSection) continue;
    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals < 0) continue;
    // The first occurrence counts, even an empty one.
    if (trimmed.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0)
      return trimmed.mid(equals + 1).trimmed();
  }
  return {};
}

QString DataLinkFolder() {
  const QString systemPath = OdbcSystemFilePath();
  if (systemPath.isEmpty()) return {};
  QString iniName = qEnvironmentVariable("ODBCINSTINI");
  if (iniName.isEmpty()) iniName = QStringLiteral("odbcinst.ini");
  const QString configured = ReadIniValue(systemPath + u'/' + iniName, QStringLiteral("ODBC"),
                                          QStringLiteral("FileDSNPath"));
  if (!configured.isEmpty()) return configured;
  return systemPath + QStringLiteral("/ODBCDataSources");
}
