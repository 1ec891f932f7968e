#pragma once

#include "app/SaveTarget.h"
#include "data/TextSink.h"
#include "platform/CodePage.h"

#include <QString>

#include <string_view>
#include <vector>

class TADODataSet;
class TField;

// Writes records of a data set as lines of delimited text to the save's target, a large chunk at
// a time (SaveTarget: a regular file is written beside and replaces the target on Commit, so a
// failure leaves it as it was). CR LF ends every line.
//
// Plain: a copy of what the grid shows. Each line holds the fields' texts in field order,
// "<BLOB>" for large objects, an 8-bit string always quoted and any other value only when it
// holds the delimiter; CR becomes a blank and LF goes. The text is in the locale's character set,
// applied to whole chunks as they are written.
//
// Standard: what CSV readers read back. A header line with the field names, then the fields'
// exact texts (TextSink::Form::Exact), large objects included; a value is quoted when it holds
// the delimiter, a double quote, CR or LF, or begins or ends with a blank or tab, and a double
// quote inside is doubled; line breaks stay; NULL is nothing and empty text "". Always UTF-8.
class DelimitedWriter {
 public:
  enum class Style { Plain, Standard };

  // Opens the target; raises "Cannot create file ..." when it cannot. A standard file's
  // delimiter must pass CheckStandardDelimiter.
  DelimitedWriter(const QString& fileName, const QString& delimiter, const TADODataSet& dataSet,
                  Style style = Style::Plain);

  // Raises when a standard file cannot use the delimiter: an empty one, or one that holds a
  // double quote, CR or LF, would make the file read back as other values.
  static void CheckStandardDelimiter(const QString& delimiter);

  // The line of the data set's current record.
  void WriteRecord();
  // Writes what is left and replaces the target; raises "Stream write error ..." or "Cannot
  // create file ..." on failure.
  void Commit();

 private:
  struct Column {
    const TField* Field;
    bool Blob;
    bool AlwaysQuoted;
  };
  void WriteHeader(const TADODataSet& dataSet);
  // Quotes the value that the line holds from start on, if a reader needs it quoted.
  void QuoteStandard(size_t start);
  // Whether a standard value must be quoted; spare: the bytes the buffer holds beyond it.
  bool NeedsQuotes(std::string_view value, size_t spare) const;
  // Whether a delimiter of several bytes stands in the value or forms across its ends.
  bool HoldsDelimiter(std::string_view value) const;
  void Flush();
  // The style, once a standard file's delimiter has passed its check.
  static Style Checked(Style style, const QString& delimiter);

  // First, so that a refused delimiter stops the writer before the file is touched.
  Style FStyle;
  SaveTarget FTarget;
  std::vector<Column> FColumns;
  TextSink FSink;
  codepage::Encoder FEncoder;
  std::string FDelimiter;  // UTF-8, as the line
  // The delimiter repeated in a word, when it is one byte, for the search of NeedsQuotes; else
  // the double quote, which the search looks for anyway.
  quint64 FDelimiterWord = 0;
};
