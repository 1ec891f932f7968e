#include "app/UserGuide.h"

#include <QCoreApplication>
#include <QDir>

QString UserGuidePath() {
  return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                         QStringLiteral("/../share/doc/rowmill/rowmill-guide.html"));
}

QString UserGuideNotOpenedMessage(const QString& path, const QString& reason) {
  return QStringLiteral(
             "The user guide cannot be shown (%1). Open the file \"%2\" in a web browser")
      .arg(reason, path);
}
