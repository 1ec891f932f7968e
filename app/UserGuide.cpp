#include "app/UserGuide.h"

#include <QCoreApplication>
#include <QDir>

QString UserGuidePath() {
  return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                         QStringLiteral("/../share/doc/rowmill/rowmill-guide.html"));
}
