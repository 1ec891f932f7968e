#include "data/FieldDefBuilder.h"
#include "data/FieldTypes.h"
#include "data/TADODataSet.h"
#include "platform/ado/ColumnTypes.h"
#include "tests/data/DataSetFixture.h"

using namespace fakeado;

namespace {

ado::FieldInfo Num(int type, int precision, int scale) {
  ado::FieldInfo f = Field("n", type);
  f.Precision = precision;
  f.NumericScale = scale;
  return f;
}

TFieldType TypeOf(const ado::FieldInfo& f) {
  return *fielddefs::MapColumnType(f, true);
}

}  // namespace

TEST(FieldTypes, DecimalRule) {
  EXPECT_EQ(TypeOf(Num(ado::adNumeric, 9, 0)), ftInteger);
  EXPECT_EQ(TypeOf(Num(ado::adNumeric, 10, 0)), ftBCD);
  EXPECT_EQ(TypeOf(Num(ado::adNumeric, 19, 4)), ftBCD);
  EXPECT_EQ(TypeOf(Num(ado::adNumeric, 20, 0)), ftFMTBcd);
  EXPECT_EQ(TypeOf(Num(ado::adNumeric, 10, 5)), ftFMTBcd);
  EXPECT_EQ(TypeOf(Num(ado::adDecimal, 9, 0)), ftBCD);
  EXPECT_EQ(TypeOf(Num(ado::adVarNumeric, 9, 0)), ftBCD);
  // "No scale" (255) counts as 4.
  EXPECT_EQ(TypeOf(Num(ado::adNumeric, 18, 255)), ftBCD);
  EXPECT_EQ(*fielddefs::MapColumnType(Num(ado::adNumeric, 18, 2), false), ftFloat);
  EXPECT_EQ(*fielddefs::MapColumnType(Num(ado::adNumeric, 5, 0), false), ftInteger);
}

TEST(FieldTypes, UnlistedCodesAreLeftOut) {
  EXPECT_FALSE(fielddefs::MapColumnType(Field("x", ado::adEmpty), true));
  EXPECT_FALSE(fielddefs::MapColumnType(Field("x", ado::adUserDefined), true));
  EXPECT_FALSE(fielddefs::MapColumnType(Field("x", 9999), true));
}

// The two layers' tables agree: a code that some SQL type gives has a field (else its columns
// would silently vanish), and the codes marked as coming from ODBC are exactly those.
TEST(FieldTypes, CodesTheDatabaseLayerGivesAreMarkedAndHaveFields) {
  for (int code = 0; code < 1024; ++code) {
    const fieldtypes::ColumnCode* row = fieldtypes::ColumnCodeOf(code);
    EXPECT_EQ(ado::ColumnTypeOfCode(code) != nullptr, row && row->FromOdbc) << code;
  }
}

class FieldDefsTest : public DataSetFixture {};

TEST_F(FieldDefsTest, EveryColumnTypeGivesItsClassAndDefaults) {
  struct Row {
    int Type;
    TFieldType DataType;
    int Size;
    bool Blob;
    TAlignment Align;
    int Width;
  };
  const std::vector<Row> rows = {
      {ado::adVarChar, ftString, 20, false, taLeftJustify, 20},
      {ado::adChar, ftString, 20, false, taLeftJustify, 20},
      {ado::adBSTR, ftWideString, 20, false, taLeftJustify, 20},
      {ado::adVarWChar, ftWideString, 20, false, taLeftJustify, 20},
      {ado::adWChar, ftWideString, 20, false, taLeftJustify, 20},
      {ado::adLongVarChar, ftMemo, 0, true, taLeftJustify, 10},
      {ado::adLongVarWChar, ftWideMemo, 0, true, taLeftJustify, 10},
      {ado::adLongVarBinary, ftBlob, 0, true, taLeftJustify, 10},
      {ado::adBinary, ftBytes, 20, false, taLeftJustify, 10},
      {ado::adVarBinary, ftVarBytes, 20, false, taLeftJustify, 10},
      {ado::adTinyInt, ftSmallint, 0, false, taRightJustify, 10},
      {ado::adSmallInt, ftSmallint, 0, false, taRightJustify, 10},
      {ado::adUnsignedTinyInt, ftWord, 0, false, taRightJustify, 10},
      {ado::adUnsignedSmallInt, ftWord, 0, false, taRightJustify, 10},
      {ado::adInteger, ftInteger, 0, false, taRightJustify, 10},
      {ado::adError, ftInteger, 0, false, taRightJustify, 10},
      {ado::adUnsignedInt, ftInteger, 0, false, taRightJustify, 10},
      {ado::adBigInt, ftLargeint, 0, false, taRightJustify, 15},
      {ado::adUnsignedBigInt, ftLargeint, 0, false, taRightJustify, 15},
      {ado::adSingle, ftFloat, 0, false, taRightJustify, 10},
      {ado::adDouble, ftFloat, 0, false, taRightJustify, 10},
      {ado::adCurrency, ftBCD, 4, false, taRightJustify, 20},
      {ado::adBoolean, ftBoolean, 0, false, taLeftJustify, 5},
      {ado::adDate, ftDateTime, 0, false, taLeftJustify, 18},
      {ado::adDBTimeStamp, ftDateTime, 0, false, taLeftJustify, 18},
      {ado::adFileTime, ftDateTime, 0, false, taLeftJustify, 18},
      {ado::adDBFileTime, ftDateTime, 0, false, taLeftJustify, 18},
      {ado::adDBDate, ftDate, 0, false, taLeftJustify, 10},
      {ado::adDBTime, ftTime, 0, false, taLeftJustify, 10},
      {ado::adGUID, ftGuid, 38, false, taLeftJustify, 38},
      {ado::adVariant, ftVariant, 0, false, taLeftJustify, 15},
      {ado::adPropVariant, ftVariant, 0, false, taLeftJustify, 15},
      {ado::adIUnknown, ftInterface, 0, false, taLeftJustify, 10},
      {ado::adIDispatch, ftIDispatch, 0, false, taLeftJustify, 10},
  };
  std::vector<ado::FieldInfo> columns;
  for (const Row& r : rows) {
    ado::FieldInfo f =
        Field(QStringLiteral("c%1").arg(columns.size()), r.Type, 20, ado::adFldUpdatable);
    f.Precision = 19;
    f.NumericScale = 4;
    columns.push_back(f);
  }
  OpenWith(Table(columns));
  ASSERT_EQ(DataSet->FieldCount(), static_cast<int>(rows.size()));
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(QStringLiteral("column type %1").arg(rows[i].Type).toStdString());
    const TField* f = DataSet->Fields(static_cast<int>(i));
    EXPECT_EQ(f->DataType(), rows[i].DataType);
    EXPECT_EQ(f->Size(), rows[i].Size);
    EXPECT_EQ(f->IsBlob(), rows[i].Blob);
    EXPECT_EQ(f->Alignment(), rows[i].Align);
    EXPECT_EQ(f->DisplayWidth(), rows[i].Width);
    EXPECT_TRUE(f->Visible());
    EXPECT_FALSE(f->ReadOnly());
    EXPECT_EQ(f->FieldNo(), static_cast<int>(i) + 1);
    EXPECT_EQ(f->DisplayName(), f->FieldName());
  }
  EXPECT_TRUE(DataSet->Fields(1)->FixedChar());   // adChar
  EXPECT_FALSE(DataSet->Fields(0)->FixedChar());  // adVarChar
  EXPECT_EQ(DataSet->FieldDefs()[1]->DataType, ftFixedChar);
  EXPECT_EQ(DataSet->FieldDefs()[4]->DataType, ftFixedWideChar);
}

TEST_F(FieldDefsTest, DecimalFieldsCarryPrecisionAndScale) {
  OpenWith(Table(
      {Num(ado::adNumeric, 12, 2), Num(ado::adNumeric, 30, 10), Num(ado::adNumeric, 0, 255)}));
  EXPECT_EQ(DataSet->Fields(0)->DataType(), ftBCD);
  EXPECT_EQ(DataSet->Fields(0)->Precision(), 12);
  EXPECT_EQ(DataSet->Fields(0)->Size(), 2);
  EXPECT_EQ(DataSet->Fields(0)->DisplayWidth(), 13);
  EXPECT_EQ(DataSet->Fields(1)->DataType(), ftFMTBcd);
  EXPECT_EQ(DataSet->Fields(1)->Size(), 10);
  EXPECT_EQ(DataSet->Fields(1)->DisplayWidth(), 31);
  EXPECT_EQ(DataSet->Fields(2)->Size(), 4);
  EXPECT_EQ(DataSet->Fields(2)->DisplayWidth(), 10);
  EXPECT_EQ(DataSet->Fields(0)->FieldName(), "n");
  EXPECT_EQ(DataSet->Fields(1)->FieldName(), "n_1");
  EXPECT_EQ(DataSet->Fields(2)->FieldName(), "n_2");
}

TEST_F(FieldDefsTest, NamesAreMadeUniqueWithoutRegardToCase) {
  OpenWith(Table(
      {Field("a", ado::adInteger), Field("a", ado::adInteger), Field("A", ado::adInteger),
       Field("", ado::adInteger), Field("COLUMN2", ado::adInteger), Field("", ado::adInteger),
       Field("a_1", ado::adInteger), Field("", ado::adInteger), Field("%1", ado::adInteger),
       Field("%1", ado::adInteger), Field("n%2", ado::adInteger), Field("n%2", ado::adInteger)}));
  QStringList names;
  for (int i = 0; i < DataSet->FieldCount(); ++i) names << DataSet->Fields(i)->FieldName();
  // A name holding a placeholder is taken as it stands.
  EXPECT_EQ(names, QStringList({"a", "a_1", "A_2", "COLUMN1", "COLUMN2", "COLUMN3", "a_1_1",
                                "COLUMN4", "%1", "%1_1", "n%2", "n%2_1"}));
}

TEST_F(FieldDefsTest, SkippedColumnsKeepTheColumnNumbers) {
  OpenWith(Table({Field("a", ado::adInteger), Field("odd", ado::adUserDefined),
                  Field("b", ado::adVarWChar, 5)},
                 {{Int(1), Text("x"), Text("bee")}}));
  ASSERT_EQ(DataSet->FieldCount(), 2);
  EXPECT_EQ(DataSet->FieldDefs().size(), 2u);
  EXPECT_EQ(DataSet->Fields(1)->FieldName(), "b");
  EXPECT_EQ(DataSet->Fields(1)->FieldNo(), 3);
  EXPECT_EQ(DataSet->Fields(1)->AsString(), "bee");
}

TEST_F(FieldDefsTest, RowIdentifiersAndNestedResultsHaveDefinitionsButNoFields) {
  OpenWith(Table({Field("rowid", ado::adInteger, 0, ado::adFldRowID),
                  Field("child", ado::adChapter), Field("v", ado::adInteger)},
                 {{Int(77), Null(), Int(5)}}));
  ASSERT_EQ(DataSet->FieldDefs().size(), 3u);
  EXPECT_TRUE(DataSet->FieldDefs()[0]->Attributes & faHiddenCol);
  EXPECT_EQ(DataSet->FieldDefs()[1]->DataType, ftDataSet);
  ASSERT_EQ(DataSet->FieldCount(), 1);
  EXPECT_EQ(DataSet->Fields(0)->AsString(), "5");
}

TEST_F(FieldDefsTest, AttributesAndAutoIncrement) {
  ado::FieldInfo id = Field("id", ado::adInteger, 0, ado::adFldUpdatable | ado::adFldFixed);
  id.HasIsAutoIncrement = true;
  id.IsAutoIncrement = true;
  ado::FieldInfo plain = Field("n", ado::adInteger, 0, ado::adFldUnknownUpdatable);
  plain.HasIsAutoIncrement = true;
  ado::FieldInfo big = Field("big", ado::adBigInt, 0, ado::adFldUpdatable);
  big.HasIsAutoIncrement = true;
  big.IsAutoIncrement = true;  // only integer columns become auto-increment
  ado::FieldInfo ro = Field("ro", ado::adVarWChar, 4);
  OpenWith(Table({id, plain, big, ro}));
  EXPECT_EQ(DataSet->Fields(0)->DataType(), ftAutoInc);
  EXPECT_TRUE(DataSet->Fields(0)->ReadOnly());
  EXPECT_EQ(DataSet->Fields(0)->Alignment(), taRightJustify);
  EXPECT_TRUE(DataSet->FieldDefs()[0]->Attributes & faFixed);
  EXPECT_EQ(DataSet->Fields(1)->DataType(), ftInteger);
  EXPECT_FALSE(DataSet->Fields(1)->ReadOnly());
  EXPECT_EQ(DataSet->Fields(2)->DataType(), ftLargeint);
  EXPECT_TRUE(DataSet->Fields(3)->ReadOnly());
}

TEST_F(FieldDefsTest, AutoIncrementNeedsThePropertyOnTheFirstColumn) {
  ado::FieldInfo first = Field("first", ado::adInteger, 0, ado::adFldUpdatable);
  ado::FieldInfo id = Field("id", ado::adInteger, 0, ado::adFldUpdatable);
  id.HasIsAutoIncrement = true;
  id.IsAutoIncrement = true;
  OpenWith(Table({first, id}));
  EXPECT_EQ(DataSet->Fields(1)->DataType(), ftInteger);
}
