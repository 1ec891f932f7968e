#include "tests/support/ScopedDataLinkFolder.h"

#include "platform/DataLinkFolder.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

struct SharedIni {
  QTemporaryDir root;
  QString machineDrivers;  // the machine's odbcinst.ini without its [ODBC] section
  int instances = 0;
};

QString ReadText(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void WriteText(const QString& path, const QString& text) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(text.toUtf8());
}

SharedIni& Shared() {
  static SharedIni* shared = [] {
    auto* ini = new SharedIni;
    // Read before ODBCSYSINI is changed: the machine's own ini folder.
    const QString machineFolder = OdbcSystemFilePath();
    QString drivers = ReadText(machineFolder + QStringLiteral("/odbcinst.ini"));
    drivers.remove(QRegularExpression(
        QStringLiteral(R"(^\[ODBC\][^\[]*)"),
        QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption));
    ini->machineDrivers = drivers;
    WriteText(ini->root.filePath(QStringLiteral("odbc.ini")),
              ReadText(machineFolder + QStringLiteral("/odbc.ini")));
    return ini;
  }();
  return *shared;
}

}  // namespace

QString ScopedDataLinkFolder::IniFolder() {
  return Shared().root.path();
}

void ScopedDataLinkFolder::WriteIni(const QString& extraText) {
  WriteText(Shared().root.filePath(QStringLiteral("odbcinst.ini")),
            Shared().machineDrivers + u'\n' + extraText);
}

ScopedDataLinkFolder::ScopedDataLinkFolder(bool configured)
    : FFolder(Shared().root.filePath(QStringLiteral("Data Links %1").arg(++Shared().instances))),
      FSystemIni(ScopedEnvironment("ODBCSYSINI", IniFolder().toLocal8Bit())) {
  QDir().mkpath(FFolder);
  if (configured)
    WriteIni(QStringLiteral("[ODBC]\nTrace=No\nFileDSNPath=%1\n").arg(FFolder));
  else
    WriteIni(QStringLiteral("[ODBC]\nTrace=No\n"));
}

ScopedDataLinkFolder::~ScopedDataLinkFolder() = default;

QString ScopedDataLinkFolder::AddFile(const QString& name, const QString& connectionString) const {
  const QString path = FFolder + u'/' + name;
  WriteText(path,
            QStringLiteral("[oledb]\n; Everything after this line is an OLE DB initstring\n") +
                connectionString + u'\n');
  return path;
}
