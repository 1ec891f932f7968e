#include "platform/ado/UnservedStatement.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace ado {

namespace {

// A statement of a batch as words (upper-cased) and string literals (their text after a quote
// character), outside comments and parentheses.
using Tokens = QStringList;

bool IsLiteral(const QString& token) {
  return token.startsWith(u'\'');
}

QString CopyTo(const Tokens& words);
QString CopyFrom(const Tokens& words);
QString LoadLocalFile(const Tokens& words);

struct Unserved {
  DriverFamily Family;
  QString (*Refusal)(const Tokens& words);
};

constexpr Unserved kUnserved[] = {
    {DriverFamily::PostgreSQL, CopyTo},
    {DriverFamily::PostgreSQL, CopyFrom},
    {DriverFamily::MariaDB, LoadLocalFile},
};

// Whether the words hold first, then somewhere the two words in a row.
bool Holds(const Tokens& words, const char* first, const char* word, const char* next) {
  if (words.isEmpty() || words.first() != QLatin1String(first)) return false;
  for (qsizetype k = 1; k + 1 < words.size(); ++k)
    if (words[k] == QLatin1String(word) && words[k + 1] == QLatin1String(next)) return true;
  return false;
}

QString CopyTo(const Tokens& words) {
  if (!Holds(words, "COPY", "TO", "STDOUT")) return {};
  return QStringLiteral(
      "COPY ... TO STDOUT was not sent: the PostgreSQL ODBC driver never comes back from it. Run "
      "the query itself (SELECT ...) and save its rows with \"Save as CSV\", or let the server "
      "write a file with COPY ... TO '/path/file'");
}

QString CopyFrom(const Tokens& words) {
  if (!Holds(words, "COPY", "FROM", "STDIN")) return {};
  return QStringLiteral(
      "COPY ... FROM STDIN was not sent: the PostgreSQL ODBC driver never comes back from it. Let "
      "the server read a file with COPY ... FROM '/path/file', or load it with psql's \\copy");
}

QString LoadLocalFile(const Tokens& words) {
  if (words.isEmpty() || words.first() != QLatin1String("LOAD")) return {};
  for (qsizetype k = 1; k + 2 < words.size(); ++k) {
    if (words[k] != QLatin1String("LOCAL") || words[k + 1] != QLatin1String("INFILE") ||
        !IsLiteral(words[k + 2]))
      continue;
    const QString path = words[k + 2].mid(1);
    const QFileInfo file(path);
    if (!file.exists() || file.isFile()) return {};  // the driver reports a missing file itself
    return QStringLiteral(
               "LOAD DATA LOCAL INFILE was not sent: \"%1\" is no regular file, and the MariaDB "
               "ODBC driver would wait on it for ever. Name a regular file")
        .arg(path);
  }
  return {};
}

// Splits the text into statements of tokens, in the quoting of the family's SQL: PostgreSQL's
// E'...' and $tag$...$tag$, MariaDB's backslash escapes, backquotes and # comments.
std::vector<Tokens> Tokenize(DriverFamily family, const QString& text) {
  const bool maria = family == DriverFamily::MariaDB;
  std::vector<Tokens> statements(1);
  int depth = 0;
  const qsizetype n = text.size();
  qsizetype i = 0;
  auto at = [&](qsizetype k) { return k < n ? text[k] : QChar(); };
  auto skipTo = [&](const QString& end) {
    const qsizetype found = text.indexOf(end, i);
    i = found < 0 ? n : found + end.size();
  };
  auto isWordChar = [](QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; };
  while (i < n) {
    const QChar c = text[i];
    if ((c == u'-' && at(i + 1) == u'-') || (maria && c == u'#')) {
      skipTo(QStringLiteral("\n"));
    } else if (c == u'/' && at(i + 1) == u'*') {
      // PostgreSQL's block comments nest; MariaDB's end at the first */.
      int level = 0;
      while (i < n) {
        if (text[i] == u'/' && at(i + 1) == u'*' && (!maria || level == 0)) {
          ++level;
          i += 2;
        } else if (text[i] == u'*' && at(i + 1) == u'/') {
          i += 2;
          if (--level == 0) break;
        } else {
          ++i;
        }
      }
    } else if (c == u'\'' || c == u'"' || (maria && c == u'`')) {
      const bool escapes = (maria && c != u'`') ||
                           (c == u'\'' && i > 0 && (text[i - 1] == u'E' || text[i - 1] == u'e'));
      QString literal(1, u'\'');
      ++i;
      while (i < n) {
        if (escapes && text[i] == u'\\' && i + 1 < n) {
          literal += text[i + 1];
          i += 2;
        } else if (text[i] == c && at(i + 1) == c) {  // a doubled quote stands for one
          literal += c;
          i += 2;
        } else if (text[i] == c) {
          break;
        } else {
          literal += text[i++];
        }
      }
      ++i;
      const bool string = c == u'\'' || (maria && c == u'"');
      if (depth == 0 && string) statements.back().push_back(literal);
    } else if (!maria && c == u'$' && (i == 0 || !isWordChar(text[i - 1]))) {
      qsizetype end = i + 1;
      while (end < n && (text[end].isLetterOrNumber() || text[end] == u'_')) ++end;
      if (end < n && text[end] == u'$' && !at(i + 1).isDigit()) {
        const QString tag = text.mid(i, end - i + 1);
        i = end + 1;
        skipTo(tag);
      } else {
        ++i;
      }
    } else if (c == u'(') {
      ++depth;
      ++i;
    } else if (c == u')') {
      depth = std::max(0, depth - 1);
      ++i;
    } else if (c == u';') {
      statements.emplace_back();
      depth = 0;
      ++i;
    } else if (isWordChar(c)) {
      const qsizetype start = i;
      while (i < n && isWordChar(text[i])) ++i;
      if (depth == 0) statements.back().push_back(text.mid(start, i - start).toUpper());
    } else {
      ++i;
    }
  }
  return statements;
}

}  // namespace

QString UnservedStatementRefusal(DriverFamily family, const QString& commandText) {
  if (std::none_of(std::begin(kUnserved), std::end(kUnserved),
                   [family](const Unserved& u) { return u.Family == family; }))
    return {};
  for (const Tokens& words : Tokenize(family, commandText))
    for (const Unserved& u : kUnserved)
      if (u.Family == family)
        if (const QString refusal = u.Refusal(words); !refusal.isEmpty()) return refusal;
  return {};
}

}  // namespace ado
