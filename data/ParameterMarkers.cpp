#include "data/ParameterMarkers.h"

namespace {

bool IsQuote(QChar c) {
  return c == u'\'' || c == u'"' || c == u'`';
}

bool EndsName(QChar c) {
  return c == u'\n' || c == u'\r' || c == u' ' || c == u')' || c == u',' || c == u';';
}

}  // namespace

ParsedCommand ParseParameterMarkers(const QString& text) {
  ParsedCommand result;
  result.Text.reserve(text.size());
  const qsizetype n = text.size();
  qsizetype i = 0;
  while (i < n) {
    const QChar c = text.at(i);
    if (IsQuote(c)) {
      qsizetype close = text.indexOf(c, i + 1);
      const qsizetype end = close < 0 ? n : close + 1;
      result.Text += QStringView(text).mid(i, end - i);
      i = end;
    } else if (c == u':' && i + 1 < n && text.at(i + 1) == u':') {
      result.Text += QStringLiteral("::");
      i += 2;
    } else if (c == u':') {
      qsizetype start = i + 1;
      qsizetype next;
      if (start < n && IsQuote(text.at(start))) {
        const QChar quote = text.at(start);
        qsizetype close = text.indexOf(quote, start + 1);
        const qsizetype nameEnd = close < 0 ? n : close;
        result.Names << text.mid(start + 1, nameEnd - start - 1);
        next = close < 0 ? n : close + 1;
      } else {
        qsizetype end = start;
        while (end < n && !EndsName(text.at(end))) ++end;
        result.Names << text.mid(start, end - start);
        next = end;
      }
      result.Text += u'?';
      i = next;
    } else {
      result.Text += c;
      ++i;
    }
  }
  return result;
}
