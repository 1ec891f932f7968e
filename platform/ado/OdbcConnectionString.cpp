#include "platform/ado/OdbcConnectionString.h"

namespace ado {

namespace {

// Reads a braced value starting at the "{" at pos; pos ends after the closing "}". An unclosed
// brace takes the rest of the text, as a driver would rather than dropping it.
QString ReadBraced(const QString& text, qsizetype& pos) {
  QString value;
  ++pos;
  while (pos < text.size()) {
    const QChar c = text.at(pos);
    if (c == u'}') {
      if (pos + 1 < text.size() && text.at(pos + 1) == u'}') {
        value += u'}';
        pos += 2;
        continue;
      }
      ++pos;
      return value;
    }
    value += c;
    ++pos;
  }
  return value;
}

}  // namespace

OdbcConnectionString OdbcConnectionString::Parse(const QString& text) {
  OdbcConnectionString result;
  qsizetype pos = 0;
  while (pos < text.size()) {
    const qsizetype equals = text.indexOf(u'=', pos);
    const qsizetype semicolon = text.indexOf(u';', pos);
    if (equals < 0 || (semicolon >= 0 && semicolon < equals)) {
      // A part without "=" carries nothing a driver could use; skip it.
      if (semicolon < 0) break;
      pos = semicolon + 1;
      continue;
    }
    const qsizetype start = pos;
    const QString keyword = text.mid(pos, equals - pos).trimmed();
    pos = equals + 1;
    while (pos < text.size() && text.at(pos) == u' ') ++pos;
    QString value;
    qsizetype end;
    if (pos < text.size() && text.at(pos) == u'{') {
      value = ReadBraced(text, pos);
      const qsizetype next = text.indexOf(u';', pos);
      end = next < 0 ? text.size() : next;
    } else {
      const qsizetype next = text.indexOf(u';', pos);
      end = next < 0 ? text.size() : next;
      value = text.mid(pos, end - pos).trimmed();
    }
    pos = end < text.size() ? end + 1 : end;
    if (!keyword.isEmpty()) result.FPairs.append({keyword, value, text.mid(start, end - start)});
  }
  return result;
}

QString OdbcConnectionString::ManagerValue(const Pair& pair) {
  const qsizetype equals = pair.raw.indexOf(u'=');
  const QString value = equals < 0 ? pair.value : pair.raw.mid(equals + 1);
  return value.startsWith(u'{') ? pair.value : value;
}

QString OdbcConnectionString::Value(const QString& keyword) const {
  for (const Pair& pair : FPairs)
    if (pair.keyword.compare(keyword, Qt::CaseInsensitive) == 0) return pair.value;
  return {};
}

bool OdbcConnectionString::Contains(const QString& keyword) const {
  for (const Pair& pair : FPairs)
    if (pair.keyword.compare(keyword, Qt::CaseInsensitive) == 0) return true;
  return false;
}

void OdbcConnectionString::Append(const QString& keyword, const QString& value) {
  if (!keyword.isEmpty() && !value.isEmpty())
    FPairs.append({keyword, value, keyword + u'=' + QuoteValue(value)});
}

QString OdbcConnectionString::Take(const QString& keyword) {
  QString first;
  bool found = false;
  for (qsizetype i = 0; i < FPairs.size();) {
    if (FPairs[i].keyword.compare(keyword, Qt::CaseInsensitive) == 0) {
      if (!found) first = FPairs[i].value;
      found = true;
      FPairs.removeAt(i);
    } else {
      ++i;
    }
  }
  return first;
}

QString OdbcConnectionString::QuoteValue(const QString& value) {
  // "+" and "%" too: psqlODBC decodes them in a value without braces ("a+b" arrives as "a b").
  static const QString special = QStringLiteral(";{}=+%");
  bool needsBraces = !value.isEmpty() && (value.front() == u' ' || value.back() == u' ');
  for (const QChar c : special) needsBraces = needsBraces || value.contains(c);
  if (!needsBraces) return value;
  QString escaped = value;
  escaped.replace(QStringLiteral("}"), QStringLiteral("}}"));
  return u'{' + escaped + u'}';
}

QString OdbcConnectionString::ToString() const {
  QStringList parts;
  for (const Pair& pair : FPairs) parts << pair.keyword + u'=' + QuoteValue(pair.value);
  return parts.join(u';');
}

}  // namespace ado
