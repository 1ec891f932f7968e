#include "base/Messages.h"

QString ComponentMessage(const QString& componentName, const QString& message) {
  return QStringLiteral("%1: %2").arg(componentName, message);
}

QString TrimMessageEnd(const QString& text) {
  qsizetype end = text.size();
  while (end > 0) {
    const char16_t c = text.at(end - 1).unicode();
    if (c > u' ' && c != u'.') break;
    --end;
  }
  return text.left(end);
}

QString OleErrorText(qint32 code) {
  return QStringLiteral("OLE error %1").arg(static_cast<quint32>(code), 8, 16, QLatin1Char('0'));
}
