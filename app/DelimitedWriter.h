#pragma once

#include "data/TextSink.h"

#include <QSaveFile>
#include <QString>

#include <vector>

class TADODataSet;
class TField;

// Writes records of a data set as lines of delimited text into the file beside the target that
// replaces it on Commit, a large chunk at a time: the file a user gets appears only when every
// record was read, and a failure leaves the target as it was. Each line holds the fields' texts
// in field order, "<BLOB>" for large objects, an 8-bit string always quoted and any other value
// only when it holds the delimiter; CR becomes a blank and LF goes; CR LF ends the line. The
// text is written in the locale's character set.
class DelimitedWriter {
 public:
  // Opens the save file; raises "Cannot create file ..." when it cannot.
  DelimitedWriter(const QString& fileName, const QString& delimiter, const TADODataSet& dataSet);

  // The line of the data set's current record.
  void WriteRecord();
  // Writes what is left and replaces the target; raises "Stream write error" or "Cannot create
  // file ..." on failure.
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
  void WriteBytes(const char* data, qint64 size);
  [[noreturn]] void CannotCreate();

  QString FFileName;
  QSaveFile FFile;
  std::vector<Column> FColumns;
  TextSink FSink;
  QString FDelimiter;
  std::string FDelimiterBytes;
};
