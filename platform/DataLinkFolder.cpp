#include "platform/DataLinkFolder.h"

#include <QByteArray>
#include <QFile>
#include <QTextStream>

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
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
  QTextStream in(&file);
  QString value;
  bool inSection = false;
  QString line;
  while (in.readLineInto(&line)) {
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'#')) continue;
    if (trimmed.startsWith(u'[')) {
      const qsizetype end = trimmed.indexOf(u']');
      const QString name = trimmed.mid(1, end < 0 ? -1 : end - 1).trimmed();
      inSection = name.compare(section, Qt::CaseInsensitive) == 0;
      continue;
    }
    if (!inSection) continue;
    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals < 0) continue;
    if (trimmed.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0)
      value = trimmed.mid(equals + 1).trimmed();
  }
  return value;
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
