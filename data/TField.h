#pragma once

#include "data/DataSetTypes.h"
#include "platform/ado/AdoTypes.h"

#include <QString>

class TADODataSet;
class TextSink;

enum TFieldAttribute { faHiddenCol = 0x1, faReadonly = 0x2, faRequired = 0x4, faFixed = 0x10 };

// A field definition: one per result column of a supported type.
struct TFieldDef {
  QString Name;
  TFieldType DataType = ftUnknown;
  int Size = 0;
  int Precision = 0;
  int Attributes = 0;        // TFieldAttribute bits
  int FieldNo = 0;           // 1-based position of the column among the result's columns
  bool BooleanText = false;  // a boolean the driver gives as the text "1" or "0"
};

// One typed field of the open result. The descendants (TStringField, TIntegerField, ...) give
// the class-specific type, defaults and value texts.
class TField {
 public:
  explicit TField(TADODataSet* dataSet);
  virtual ~TField();
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  TADODataSet* DataSet() const { return FDataSet; }

  const QString& FieldName() const { return FFieldName; }
  void SetFieldName(const QString& name) { FFieldName = name; }
  // DisplayLabel is always empty, so this is the field name.
  const QString& DisplayName() const { return FFieldName; }

  virtual TFieldType DataType() const = 0;
  virtual bool IsBlob() const { return false; }
  virtual TAlignment Alignment() const { return taLeftJustify; }

  int Size() const { return FSize; }
  void SetSize(int size) { FSize = size; }
  int Precision() const { return FPrecision; }
  void SetPrecision(int precision) { FPrecision = precision; }
  // The column number the field reads (1-based, kept when earlier columns were skipped).
  int FieldNo() const { return FFieldNo; }
  void SetFieldNo(int fieldNo) { FFieldNo = fieldNo; }

  // A number of characters; the class default until the grid sets it.
  int DisplayWidth() const;
  void SetDisplayWidth(int width);
  bool Visible() const { return FVisible; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value) { FReadOnly = value; }
  bool FixedChar() const { return FFixedChar; }
  void SetFixedChar(bool value) { FFixedChar = value; }
  // A boolean column whose driver gives "1" and "0": the user's texts keep those, exact texts
  // say "true" and "false".
  void SetBooleanText(bool value) { FBooleanText = value; }

  // The field's position in the data set's field order; setting it moves the field.
  int Index() const;
  void SetIndex(int index);

  // The current record's value.
  bool IsNull() const;
  QString AsString() const;
  QString DisplayText() const;

  // The same for another record (0-based), without moving: the grid reads the rows it shows. The
  // grid's text is what a save writes, read back in the locale's character set.
  bool IsNullAt(qint64 recordIndex) const;
  QString AsStringAt(qint64 recordIndex) const;
  QString DisplayTextAt(qint64 recordIndex) const;
  // The current record's AsString written to out, without a text of its own: the save's way.
  // The sink's form chooses the user's texts or exact ones. False for a null value, which
  // writes nothing.
  bool WriteAsString(TextSink& out) const;

 protected:
  virtual int DefaultDisplayWidth() const { return 10; }
  // The text of a non-null value as the class renders it. A value of another type than the
  // class's own that it cannot render exactly is written as its own text (a database's text in
  // a number or date column, for instance), never as a different value.
  virtual void WriteText(const ado::ValueRef& value, TextSink& out) const = 0;
  // The grid's text; by default the same as AsString. A null value reaches this too.
  virtual void WriteDisplayText(const ado::ValueRef& value, TextSink& out) const;
  // Whether the class holds its text in the locale's character set (8-bit text), so that
  // AsString keeps only what the set can hold.
  virtual bool InCodePage() const { return false; }
  // "(NAME)" for a value, "(Name)" for a null one.
  static QString BracketText(const QString& name, bool isNull);

 private:
  ado::ValueRef Peek(qint64 recordIndex) const;

  TADODataSet* FDataSet;
  QString FFieldName;
  int FSize = 0;
  int FPrecision = 0;
  int FFieldNo = 0;
  int FDisplayWidth = 0;  // 0: the class default
  bool FVisible = true;
  bool FReadOnly = false;
  bool FFixedChar = false;
  bool FBooleanText = false;
};
