#pragma once

#include <QList>
#include <QString>

// An ODBC connection string as a list of keyword/value pairs, in their order. Parsing follows
// the ODBC rules: pairs are separated by ";", a value in braces may hold ";" and "=", and "}}"
// inside braces stands for one "}". Keywords are matched without regard to case.
class OdbcConnectionString {
 public:
  struct Pair {
    QString keyword;
    QString value;
    friend bool operator==(const Pair&, const Pair&) = default;
  };

  OdbcConnectionString() = default;
  static OdbcConnectionString Parse(const QString& text);

  const QList<Pair>& Pairs() const { return FPairs; }
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
