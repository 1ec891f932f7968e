#include "base/Exceptions.h"
#include "data/TextSink.h"
#include "tests/data/DataSetFixture.h"
#include "tests/support/RegionalGuard.h"

#include <cmath>
#include <limits>

using namespace fakeado;

class FieldTextsTest : public DataSetFixture {
 protected:
  // Opens one column of the type with the values; the field of that column.
  TField* Column(int type, std::vector<ado::Value> values, qint64 size = 10, int precision = 0,
                 int scale = 0) {
    ado::FieldInfo f = Field("v", type, size);
    f.Precision = precision;
    f.NumericScale = scale;
    std::vector<std::vector<ado::Value>> rows;
    for (auto& v : values) rows.push_back({v});
    OpenWith(Table({f}, rows));
    return DataSet->Fields(0);
  }
  QStringList Texts(TField* f) {
    QStringList out;
    for (qint64 i = 0; i < DataSet->RecordCount(); ++i) out << f->AsStringAt(i);
    return out;
  }
  QStringList Displays(TField* f) {
    QStringList out;
    for (qint64 i = 0; i < DataSet->RecordCount(); ++i) out << f->DisplayTextAt(i);
    return out;
  }
  LocaleGuard Plain{"C.UTF-8"};
  RegionalGuard Iso{RegionalSettings()};
};

TEST_F(FieldTextsTest, NullGivesEmptyTextInEveryClass) {
  for (int type : {ado::adVarChar, ado::adVarWChar, ado::adInteger, ado::adDouble, ado::adCurrency,
                   ado::adBoolean, ado::adDBTimeStamp, ado::adGUID, ado::adVariant,
                   ado::adLongVarChar, ado::adVarBinary, ado::adIUnknown, ado::adNumeric}) {
    SCOPED_TRACE(type);
    DataSet->Close();
    TField* f = Column(type, {Null()}, 10, 20, 6);
    EXPECT_TRUE(f->IsNull());
    EXPECT_EQ(f->AsString(), "");
  }
}

TEST_F(FieldTextsTest, StringFieldsKeepBlanksAndTheWholeValue) {
  TField* f = Column(ado::adChar, {Text("ab   "), Text(QString(50, u'x'))}, 5);
  EXPECT_EQ(f->DataType(), ftString);
  EXPECT_EQ(Texts(f), QStringList({"ab   ", QString(50, u'x')}));
  EXPECT_EQ(f->DisplayText(), "ab   ");
}

TEST_F(FieldTextsTest, EightBitTextPassesThroughTheCharacterSet) {
  const QString text = QString::fromUtf8("Grüße € 😀");
  {
    LocaleGuard latin("de_DE.iso88591");
    if (!latin.Active()) GTEST_SKIP() << "de_DE.iso88591 not installed";
    RegionalGuard iso{RegionalSettings()};
    TField* narrow = Column(ado::adVarChar, {Text(text)});
    EXPECT_EQ(narrow->AsString(), QString::fromUtf8("Grüße ? ?"));
    DataSet->Close();
    TField* wide = Column(ado::adVarWChar, {Text(text)});
    EXPECT_EQ(wide->AsString(), text);
    DataSet->Close();
    TField* memo = Column(ado::adLongVarChar, {Text(text)});
    EXPECT_EQ(memo->AsString(), QString::fromUtf8("Grüße ? ?"));
    DataSet->Close();
  }
  TField* utf8 = Column(ado::adVarChar, {Text(text)});
  EXPECT_EQ(utf8->AsString(), text);
}

TEST_F(FieldTextsTest, IntegersAreExact) {
  TField* f = Column(ado::adInteger,
                     {Int(-42), Int(0), UInt(4294967295u), Decimal("123"), Int(5000000000)});
  EXPECT_EQ(Texts(f), QStringList({"-42", "0", "4294967295", "123", "5000000000"}));
  DataSet->Close();
  TField* big = Column(ado::adUnsignedBigInt,
                       {UInt(18446744073709551615u), Int(std::numeric_limits<qint64>::min())});
  EXPECT_EQ(Texts(big), QStringList({"18446744073709551615", "-9223372036854775808"}));
  DataSet->Close();
  TField* small = Column(ado::adTinyInt, {Int(255), Int(-3)});
  EXPECT_EQ(Texts(small), QStringList({"255", "-3"}));
}

TEST_F(FieldTextsTest, FloatsUseTheGeneralFormatAndTheSeparator) {
  TField* f = Column(ado::adDouble, {Dbl(1.5), Dbl(1e-5), Dbl(INFINITY), Dbl(NAN), Int(7)});
  EXPECT_EQ(Texts(f), QStringList({"1.5", "1E-5", "INF", "NAN", "7"}));
  RegionalSettings comma;
  comma.DecimalSeparator = u',';
  RegionalGuard g(comma);
  EXPECT_EQ(f->AsStringAt(0), "1,5");
  EXPECT_EQ(f->DisplayTextAt(0), "1,5");
}

TEST_F(FieldTextsTest, FixedPointFieldsFromCurrencyAndDecimals) {
  TField* f = Column(ado::adNumeric,
                     {Currency(125000), Currency(-2500), Decimal("100.00"), Decimal("0.0001"),
                      Dbl(2.25), Int(3), Decimal("1.123456")},
                     0, 12, 4);
  EXPECT_EQ(f->DataType(), ftBCD);
  EXPECT_EQ(Texts(f), QStringList({"12.5", "-0.25", "100", "0.0001", "2.25", "3", "1.123456"}));
  DataSet->Close();
  // Beyond the four-decimal range the value keeps its own text rather than stop a save.
  TField* huge = Column(ado::adCurrency, {Dbl(1e300)}, 0, 19, 4);
  EXPECT_EQ(huge->AsString(), "1E300");
  EXPECT_EQ(huge->DisplayText(), "1E300");
}

TEST_F(FieldTextsTest, DecimalFieldsKeepEveryDigit) {
  const QString digits65(65, u'7');
  TField* f = Column(ado::adNumeric,
                     {Decimal("-0012.3400"), Decimal(digits65), Decimal("0.0000001")}, 0, 30, 10);
  EXPECT_EQ(f->DataType(), ftFMTBcd);
  EXPECT_EQ(f->AsStringAt(0), "-12.34");
  EXPECT_EQ(f->AsStringAt(2), "0.0000001");
  EXPECT_EQ(f->AsStringAt(1), digits65);
  EXPECT_EQ(f->DisplayTextAt(1), digits65);
  // psqlODBC's unconstrained numeric reports a scale above its precision; values still show.
  DataSet->Close();
  TField* loose = Column(ado::adNumeric, {Decimal("3.14159265358979323846")}, 0, 28, 1000);
  EXPECT_EQ(loose->AsString(), "3.14159265358979323846");
}

TEST_F(FieldTextsTest, BooleansAndGuids) {
  TField* b = Column(ado::adBoolean, {Bool(true), Bool(false), Int(1), Text("false")});
  EXPECT_EQ(Texts(b), QStringList({"True", "False", "True", "False"}));
  DataSet->Close();
  TField* g = Column(ado::adGUID, {Guid("{6F9619FF-8B86-D011-B42D-00C04FC964FF}")});
  EXPECT_EQ(g->AsString(), "{6F9619FF-8B86-D011-B42D-00C04FC964FF}");
  EXPECT_EQ(g->DataType(), ftGuid);
}

TEST_F(FieldTextsTest, DatesAndTimesFollowTheRegionalSettings) {
  TField* dt = Column(ado::adDBTimeStamp, {Date(45000.75), Date(45000.0), Text("2020-01-01 x")});
  EXPECT_EQ(Texts(dt), QStringList({"2023-03-15 18:00:00", "2023-03-15", "2020-01-01 x"}));
  RegionalSettings de;
  de.ShortDateFormat = "%d.%m.%Y";
  de.LongTimeFormat = "%H.%M";
  RegionalGuard g(de);
  EXPECT_EQ(dt->AsStringAt(0), "15.03.2023 18.00");
  DataSet->Close();
  TField* d = Column(ado::adDBDate, {Date(45000.0)});
  EXPECT_EQ(d->AsString(), "15.03.2023");
  DataSet->Close();
  TField* t = Column(ado::adDBTime, {Date(0.5)});
  EXPECT_EQ(t->AsString(), "12.00");
}

TEST_F(FieldTextsTest, BytesReadAsUtf16UnitsAndShowTheirKind) {
  // Bytes that are no UTF-16 text (an odd last byte, a zero unit, half a character) are
  // written in hexadecimal, so no byte is lost and the file stays text.
  TField* v = Column(
      ado::adVarBinary,
      {Bytes(QByteArray("\x41\x00\x42\x00\x43", 5)), Null(), Bytes({}),
       Bytes(QByteArray("\x41\x00\x42\x00", 4)), Bytes("ABC"), Bytes(QByteArray("\x00\x00", 2)),
       Bytes(QByteArray("\x3D\xD8\x00\xDE", 4)), Bytes(QByteArray("\x3D\xD8\x41\x00", 4))});
  EXPECT_EQ(Texts(v), QStringList({"0x4100420043", "", "", "AB", "0x414243", "0x0000",
                                   QString::fromUtf8("\xF0\x9F\x98\x80"), "0x3DD84100"}));
  EXPECT_EQ(Displays(v), QStringList({"(VARBYTES)", "(VarBytes)", "(VARBYTES)", "(VARBYTES)",
                                      "(VARBYTES)", "(VARBYTES)", "(VARBYTES)", "(VARBYTES)"}));
  DataSet->Close();
  TField* b = Column(ado::adBinary, {Bytes(QByteArray("\x3A\x04", 2)), Null()});
  EXPECT_EQ(b->AsString(), QString(QChar(0x043A)));
  EXPECT_EQ(Displays(b), QStringList({"(BYTES)", "(Bytes)"}));
}

TEST_F(FieldTextsTest, LargeObjectsShowBracketedNames) {
  TField* memo = Column(ado::adLongVarChar, {Text("long text"), Null(), Text("")});
  EXPECT_EQ(memo->AsString(), "long text");
  EXPECT_EQ(Displays(memo), QStringList({"(MEMO)", "(Memo)", "(MEMO)"}));
  DataSet->Close();
  TField* wide = Column(ado::adLongVarWChar, {Text(QString::fromUtf8("ÄÖ")), Null()});
  EXPECT_EQ(wide->AsString(), QString::fromUtf8("ÄÖ"));
  EXPECT_EQ(Displays(wide), QStringList({"(WIDEMEMO)", "(WideMemo)"}));
  DataSet->Close();
  TField* blob = Column(ado::adLongVarBinary, {Bytes("raw"), Null()});
  EXPECT_EQ(blob->AsString(), "raw");
  EXPECT_EQ(Displays(blob), QStringList({"(BLOB)", "(Blob)"}));
}

TEST_F(FieldTextsTest, InterfacesAndVariants) {
  TField* i = Column(ado::adIUnknown, {Int(1), Null()});
  EXPECT_EQ(Displays(i), QStringList({"(INTERFACE)", "(Interface)"}));
  EXPECT_EQ(Texts(i), QStringList({"(INTERFACE)", ""}));
  DataSet->Close();
  TField* d = Column(ado::adIDispatch, {Int(1), Null()});
  EXPECT_EQ(Displays(d), QStringList({"(IDISPATCH)", "(IDispatch)"}));
  DataSet->Close();
  TField* v = Column(ado::adVariant, {Text("t"), Int(5), Dbl(0.5), Bool(true), Date(2.0), Null()});
  EXPECT_EQ(Texts(v), QStringList({"t", "5", "0.5", "True", "1900-01-01", ""}));
}

// A value that is no value of its field's type (SQLite's dynamic typing, a database's infinite
// or zero dates, NaN) is written as its own text: never empty, never another number or date,
// never an error that stops a save.
TEST_F(FieldTextsTest, ValuesOfAnotherTypeKeepTheirOwnText) {
  struct Case {
    int Type;
    ado::Value Value;
    const char* Expected;
  };
  const QString max = QStringLiteral("1.79769313486232e+308");
  const Case cases[] = {
      {ado::adInteger, Text("abc"), "abc"},
      {ado::adInteger, Text("12abc"), "12abc"},
      {ado::adInteger, Dbl(1.5), "1.5"},
      {ado::adSmallInt, Text("1.0e+20"), "1.0e+20"},
      {ado::adBigInt, Int(std::numeric_limits<qint64>::min()), "-9223372036854775808"},
      {ado::adDouble, Text("1.0e+20"), "1E20"},
      {ado::adDouble, Text(max), "1.79769313486232e+308"},
      {ado::adDouble, Int(12345678901234567), "12345678901234567"},
      {ado::adDouble, Text("Inf"), "INF"},
      {ado::adDouble, Text("n/a"), "n/a"},
      {ado::adBoolean, Int(-1), "-1"},
      {ado::adBoolean, Text("yes"), "yes"},
      {ado::adDBTimeStamp, Text("2024-12-31 23:59:59.9996"), "2024-12-31 23:59:59"},
      {ado::adDBTimeStamp, Text("0001-01-01"), "0001-01-01"},
      {ado::adDBTimeStamp, Text("0099-06-15 10:00:00"), "0099-06-15 10:00:00"},
      {ado::adDBTimeStamp, Text("infinity"), "infinity"},
      {ado::adDBTimeStamp, Text("0044-03-15 00:00:00 BC"), "0044-03-15 00:00:00 BC"},
      {ado::adDBTimeStamp, Text("10000-01-01 00:00:00"), "10000-01-01 00:00:00"},
      {ado::adDBTimeStamp, Text("0000-00-00 00:00:00"), "0000-00-00 00:00:00"},
      {ado::adDBTimeStamp, Text("12:00:00"), "12:00:00"},
      {ado::adDBDate, Text("2024-02-00"), "2024-02-00"},
      {ado::adDBDate, Text("2024-02-29 00:00:00"), "2024-02-29"},
      {ado::adDBDate, Text("2024-02-29 10:00:00"), "2024-02-29 10:00:00"},
      {ado::adDBTime, Text("23:59:59.999999"), "23:59:59"},
      {ado::adDBTime, Text("838:59:59"), "838:59:59"},
      {ado::adDBTime, Text("-00:00:01"), "-00:00:01"},
      {ado::adDBTime, Text("24:00:00"), "24:00:00"},
  };
  for (const Case& c : cases) {
    TField* f = Column(c.Type, {c.Value});
    EXPECT_EQ(f->AsString(), QString::fromUtf8(c.Expected)) << c.Type << " " << c.Expected;
    EXPECT_EQ(f->DisplayText(), QString::fromUtf8(c.Expected)) << c.Type;
    DataSet->Close();
  }
  // NaN and infinities of a decimal column, in every decimal class.
  for (const auto& [precision, scale] : {std::pair{9, 0}, {10, 2}, {30, 10}}) {
    TField* f = Column(ado::adNumeric, {Text("NaN"), Text("-Infinity")}, 0, precision, scale);
    EXPECT_EQ(Texts(f), QStringList({"NaN", "-Infinity"})) << precision;
    DataSet->Close();
  }
}

// The exact texts of the standard CSV file: the same values as AsString (a value of another type
// keeps its own text), written for programs whatever the regional settings.
TEST_F(FieldTextsTest, ExactTextsReadBackAsTheSameValue) {
  struct Case {
    int Type;
    ado::Value Value;
    const char* Expected;
  };
  const Case cases[] = {
      {ado::adDouble, Dbl(0.1), "0.1"},
      {ado::adDouble, Dbl(1.0 / 3), "0.3333333333333333"},
      {ado::adDouble, Dbl(1e300), "1e+300"},
      {ado::adDouble, Dbl(-1.7976931348623157e308), "-1.7976931348623157e+308"},
      {ado::adDouble, Dbl(5e-324), "5e-324"},
      {ado::adDouble, Dbl(INFINITY), "inf"},
      {ado::adDouble, Text("0.30000000000000004"), "0.30000000000000004"},
      {ado::adDouble, Text("n/a"), "n/a"},
      {ado::adDouble, Int(12345678901234567), "12345678901234567"},
      {ado::adCurrency, Currency(-125000), "-12.5"},
      {ado::adBoolean, Bool(true), "true"},
      {ado::adBoolean, Text("0"), "false"},
      {ado::adBoolean, Int(-1), "-1"},
      {ado::adDBTimeStamp, Text("2024-12-31 23:59:59.999999"), "2024-12-31 23:59:59.999999"},
      {ado::adDBTimeStamp, Text("2024-02-29"), "2024-02-29 00:00:00"},
      {ado::adDBTimeStamp, Text("2024-02-29T10:00:00.50"), "2024-02-29 10:00:00.50"},
      {ado::adDBTimeStamp, Date(45000.75), "2023-03-15 18:00:00"},
      {ado::adDBTimeStamp, Text("0044-03-15 00:00:00 BC"), "0044-03-15 00:00:00 BC"},
      {ado::adDBDate, Text("2024-02-29 00:00:00"), "2024-02-29"},
      {ado::adDBDate, Text("2024-02-29 00:00:00.000001"), "2024-02-29 00:00:00.000001"},
      {ado::adDBTime, Text("23:59:59.999999999"), "23:59:59.999999999"},
      {ado::adDBTime, Date(0.5), "12:00:00"},
      {ado::adDBTime, Text("838:59:59"), "838:59:59"},
      {ado::adVarBinary, Bytes(QByteArray("\x00\xff\x41", 3)), "\\x00ff41"},
      {ado::adLongVarBinary, Bytes(QByteArray("a\"\n", 3)), "\\x61220a"},
      {ado::adLongVarBinary, Bytes({}), "\\x"},
      {ado::adVariant, Bytes("\x01"), "\\x01"},
      {ado::adVariant, Bool(false), "false"},
      {ado::adVariant, Dbl(2.5), "2.5"},
      {ado::adLongVarChar, Text("memo,\r\n\"x\""), "memo,\r\n\"x\""},
  };
  RegionalSettings german;
  german.DecimalSeparator = u',';
  german.ShortDateFormat = "%d.%m.%y";
  german.LongTimeFormat = "%I:%M %p";
  const RegionalGuard regional(german);
  for (const Case& c : cases) {
    TField* f = Column(c.Type, {c.Value});
    TextSink exact(TextSink::Encoding::Utf16, TextSink::Form::Exact);
    EXPECT_TRUE(f->WriteAsString(exact));
    EXPECT_EQ(exact.TakeString(), QString::fromUtf8(c.Expected)) << c.Type << " " << c.Expected;
    DataSet->Close();
  }
  // The user's texts stay as they were.
  TField* f = Column(ado::adDouble, {Dbl(0.1)});
  EXPECT_EQ(f->AsString(), "0,1");
}
