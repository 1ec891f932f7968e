#include "data/ParameterMarkers.h"

namespace {

bool IsQuote(QChar c) {
  return c == u'\'' || c == u'"' || c == u'`';
}

bool EndsName(QChar c) {
  return c == u'\n' || c == u'\r' || c == u' ' || c == u')' || c == u',' || c == u';';
}

bool IsIdentifierChar(QChar c) {
  return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// Only a letter, an underscore or a quote after a colon makes a marker, so MariaDB's "@a := 1"
// and PostgreSQL's array slices "a[1:2]" pass unchanged.
bool StartsMarker(QStringView text, qsizetype colon) {
  if (colon + 1 >= text.size()) return false;
  const QChar next = text.at(colon + 1);
  return next.isLetter() || next == u'_' || IsQuote(next);
}

qsizetype EndOfQuoted(QStringView text, qsizetype open) {
  const qsizetype close = text.indexOf(text.at(open), open + 1);
  return close < 0 ? text.size() : close + 1;
}

// PostgreSQL's E'...' string, where a backslash escapes the next character (E'it\'s').
bool StartsEscapeString(QStringView text, qsizetype i) {
  return (text.at(i) == u'E' || text.at(i) == u'e') && i + 1 < text.size() &&
         text.at(i + 1) == u'\'' && (i == 0 || !IsIdentifierChar(text.at(i - 1)));
}

qsizetype EndOfEscapeString(QStringView text, qsizetype e) {
  for (qsizetype i = e + 2; i < text.size(); ++i) {
    if (text.at(i) == u'\\')
      ++i;
    else if (text.at(i) == u'\'')
      return i + 1;
  }
  return text.size();
}

// The length of the "$tag$" opening a PostgreSQL dollar-quoted string at i, or 0. A "$" inside
// an identifier ("a$b$") or before a digit ("$1") opens none.
qsizetype DollarTagLength(QStringView text, qsizetype i) {
  if (text.at(i) != u'$' || (i > 0 && IsIdentifierChar(text.at(i - 1)))) return 0;
  qsizetype j = i + 1;
  if (j < text.size() && (text.at(j).isLetter() || text.at(j) == u'_'))
    while (j < text.size() && (text.at(j).isLetterOrNumber() || text.at(j) == u'_')) ++j;
  return j < text.size() && text.at(j) == u'$' ? j + 1 - i : 0;
}

qsizetype EndOfDollarQuoted(QStringView text, qsizetype i, qsizetype tagLength) {
  const qsizetype close = text.indexOf(text.mid(i, tagLength), i + tagLength);
  return close < 0 ? text.size() : close + tagLength;
}

// The end of a comment starting at i ("--" to the line's end, "/*" to "*/"), or i for none.
qsizetype EndOfComment(QStringView text, qsizetype i) {
  if (i + 1 >= text.size()) return i;
  if (text.at(i) == u'-' && text.at(i + 1) == u'-') {
    qsizetype end = i + 2;
    while (end < text.size() && text.at(end) != u'\n' && text.at(end) != u'\r') ++end;
    return end;
  }
  if (text.at(i) == u'/' && text.at(i + 1) == u'*') {
    const qsizetype close = text.indexOf(QLatin1String("*/"), i + 2);
    return close < 0 ? text.size() : close + 2;
  }
  return i;
}

// The end of the text that is copied unchanged from i (a quoted string, a comment), or i.
qsizetype EndOfVerbatim(QStringView text, qsizetype i) {
  if (IsQuote(text.at(i))) return EndOfQuoted(text, i);
  if (StartsEscapeString(text, i)) return EndOfEscapeString(text, i);
  if (const qsizetype tag = DollarTagLength(text, i)) return EndOfDollarQuoted(text, i, tag);
  return EndOfComment(text, i);
}

}  // namespace

ParsedCommand ParseParameterMarkers(const QString& commandText) {
  const QStringView text(commandText);
  ParsedCommand result;
  result.Text.reserve(text.size());
  const qsizetype n = text.size();
  qsizetype i = 0;
  while (i < n) {
    const QChar c = text.at(i);
    if (const qsizetype end = EndOfVerbatim(text, i); end > i) {
      result.Text += text.mid(i, end - i);
      i = end;
    } else if (c == u':' && i + 1 < n && text.at(i + 1) == u':') {
      result.Text += QStringLiteral("::");
      i += 2;
    } else if (c == u':' && StartsMarker(text, i)) {
      const qsizetype start = i + 1;
      qsizetype next;
      if (IsQuote(text.at(start))) {
        const qsizetype close = text.indexOf(text.at(start), start + 1);
        const qsizetype nameEnd = close < 0 ? n : close;
        result.Names << text.mid(start + 1, nameEnd - start - 1).toString();
        next = close < 0 ? n : close + 1;
      } else {
        qsizetype end = start;
        while (end < n && !EndsName(text.at(end))) ++end;
        result.Names << text.mid(start, end - start).toString();
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
