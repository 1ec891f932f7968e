#pragma once

#include <QList>
#include <QString>

namespace ado {

// An ODBC connection string as a list of keyword/value pairs, in their order. Parsing follows
// the ODBC rules: pairs are separated by ";", a value in braces may hold ";" and "=", and "}}"
// inside braces stands for one "}". Keywords are matched without regard to case.
class OdbcConnectionString {
 public:
  struct Pair {
    QString keyword;
    QString value;
    // The pair as it stood in the parsed text ("keyword=value", braces and blanks included), so
    // a pair nobody changed can be written back exactly as the driver would have read it.
    QString raw{};
    friend bool operator==(const Pair& a, const Pair& b) {
      return a.keyword == b.keyword && a.value == b.value;
    }
  };

  OdbcConnectionString() = default;
  static OdbcConnectionString Parse(const QString& text);

  const QList<Pair>& Pairs() const { return FPairs; }
  // The value text of a pair as the driver manager reads it: the part inside the braces of a
  // value that begins with "{", else everything after "=", blanks included.
  static QString ManagerValue(const Pair& pair);
  // The value of the first pair with the keyword, or empty.
  QString Value(const QString& keyword) const;
  bool Contains(const QString& keyword) const;
  // Appends a pair; an empty value is left out.
  void Append(const QString& keyword, const QString& value);
  // Removes every pair with the keyword and returns the value of the first one.
  QString Take(const QString& keyword);

  // The string again, each value braced when it needs to be.
  QString ToString() const;
  static QString QuoteValue(const QString& value);

 private:
  QList<Pair> FPairs;
};

}  // namespace ado
