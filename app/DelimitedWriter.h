#pragma once

#include "app/SaveTarget.h"
#include "data/TextSink.h"

#include <QString>

#include <vector>

class TADODataSet;
class TField;

// Writes records of a data set as lines of delimited text to the save's target (SaveTarget: a
// regular file is written beside and replaced on Commit, so a failure leaves it as it was), a
// large chunk at a time. Each line holds the fields' texts
// in field order, "<BLOB>" for large objects, an 8-bit string always quoted and any other value
// only when it holds the delimiter; CR becomes a blank and LF goes; CR LF ends the line. The
// text is written in the locale's character set.
class DelimitedWriter {
 public:
  // Opens the target; raises "Cannot create file ..." when it cannot.
  DelimitedWriter(const QString& fileName, const QString& delimiter, const TADODataSet& dataSet);

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
  void WriteRecordUtf8();
  void WriteRecordUtf16();
  void Flush();

  SaveTarget FTarget;
  std::vector<Column> FColumns;
  TextSink FSink;
  QString FDelimiter;
  std::string FDelimiterBytes;
};
