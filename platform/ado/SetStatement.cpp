#include "platform/ado/SetStatement.h"

#include <QStringView>

namespace ado {

namespace {

bool IsWordChar(QChar c) {
  return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'@';
}

// Whether the word starts at i, whole.
bool WordAt(QStringView s, qsizetype i, QLatin1StringView word) {
  const qsizetype end = i + word.size();
  if (end > s.size() || s.mid(i, word.size()).compare(word, Qt::CaseInsensitive) != 0) return false;
  return (i == 0 || !IsWordChar(s[i - 1])) && (end == s.size() || !IsWordChar(s[end]));
}

// Past blanks and comments from i.
qsizetype SkipBlanks(QStringView s, qsizetype i) {
  for (;;) {
    while (i < s.size() && s[i].isSpace()) ++i;
    if (s.mid(i, 2) == u"--" || (i < s.size() && s[i] == u'#')) {
      while (i < s.size() && s[i] != u'\n') ++i;
    } else if (s.mid(i, 2) == u"/*" && s.mid(i, 3) != u"/*!") {
      const qsizetype close = s.indexOf(u"*/", i + 2);
      if (close < 0) return s.size();
      i = close + 2;
    } else {
      return i;
    }
  }
}

}  // namespace

QString WithSetStatementHidden(const QString& statement) {
  const QStringView s(statement);
  const qsizetype start = SkipBlanks(s, 0);
  if (!WordAt(s, start, QLatin1StringView("SET"))) return statement;
  const qsizetype second = SkipBlanks(s, start + 3);
  if (second == start + 3 || !WordAt(s, second, QLatin1StringView("STATEMENT"))) return statement;
  int depth = 0;
  for (qsizetype i = second + 9; i < s.size(); ++i) {
    const QChar c = s[i];
    if (c == u'\'' || c == u'"' || c == u'`') {
      // A quote closes at its next unescaped twin; a backslash escape or a doubled quote is
      // skipped with it.
      qsizetype j = i + 1;
      while (j < s.size() && s[j] != c) j += s[j] == u'\\' ? 2 : 1;
      if (j >= s.size()) return statement;
      i = j;
    } else if (c == u'(') {
      ++depth;
    } else if (c == u')') {
      --depth;
    } else if (c == u'#' || s.mid(i, 2) == u"--" || s.mid(i, 2) == u"/*" || s.mid(i, 2) == u"*/") {
      return statement;  // a comment inside the prefix: left as the user wrote it
    } else if (depth == 0 && WordAt(s, i, QLatin1StringView("FOR"))) {
      const qsizetype rest = i + 3;
      if (rest >= s.size() || !s[rest].isSpace() || s.mid(start, rest - start).contains(u"*/"))
        return statement;
      QString sent = statement;
      sent.insert(rest, QLatin1StringView("*/"));
      sent.insert(start, QLatin1StringView("/*!"));
      return sent;
    }
  }
  return statement;
}

}  // namespace ado
