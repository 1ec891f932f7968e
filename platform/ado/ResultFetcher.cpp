#include "platform/ado/ResultFetcher.h"

#include "base/NumberSyntax.h"
#include "platform/ado/OdbcCheck.h"
#include "platform/ado/OdbcText.h"

#include <sqlext.h>
#include <sqlucode.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

namespace ado {

namespace {

// Aim for blocks of about this many bytes of bound buffers.
constexpr size_t kBlockBytes = 1 << 20;
// The first SQLGetData of a value reads this much; the driver's length indicator then tells
// how much is left, which is read at once.
constexpr size_t kFirstPiece = 16 * 1024;
constexpr size_t kSmallestPiece = 64;
constexpr size_t kSmallBoundBytes = 64;
constexpr size_t kMoneyBoundBytes = 64;
SQLULEN gBlockRows = 1024;

size_t TerminatorOf(FetchKind kind) {
  return FetchTypeOf(kind).Terminator;
}

// Bytes of one bound element, terminator included.
size_t BufferSizeOf(const ColumnDescription& column, FetchKind kind) {
  const FetchType& fetch = FetchTypeOf(kind);
  if (!IsVariable(kind)) return fetch.FixedSize;
  return fetch.BytesPerChar * std::max<size_t>(column.ColumnSize, 1) + fetch.Extra;
}

// A SQLite text kept as the number SQLite holds when it is one, else as the text.
void AppendSqliteText(TextNumbers numbers, const char* text, size_t size, ColumnStore& store) {
  qint64 integer;
  if (numbersyntax::ParseInteger(text, size, integer)) {
    store.AppendInt(integer);
    return;
  }
  double real;
  if (numbers == TextNumbers::IntegersAndReals && numbersyntax::ParseReal(text, size, real)) {
    store.AppendDouble(real);
    return;
  }
  store.AppendUtf8(text, size);
}

// A money text as its number: "-$12,345.67" gives -12345.67, "(1.234,50 EUR)" -1234.50. The
// decimal mark is the last "." or "," when its kind occurs once and fewer or more than three
// digits follow it; a text that leaves doubt is kept as the server wrote it.
void AppendMoney(const char* text, size_t size, ColumnStore& store) {
  const std::string_view money(text, size);
  std::string digits;
  bool negative = false;
  size_t lastMark = std::string_view::npos;
  for (size_t i = 0; i < size; ++i) {
    const char c = money[i];
    if (c == '-' || c == '(') negative = true;
    if (c == '.' || c == ',') lastMark = i;
  }
  bool clear = true;
  if (lastMark != std::string_view::npos) {
    const char mark = money[lastMark];
    size_t after = 0;
    for (size_t i = lastMark + 1; i < size && money[i] >= '0' && money[i] <= '9'; ++i) ++after;
    const bool other = money.find(mark == '.' ? ',' : '.') != std::string_view::npos;
    clear = money.find(mark) == lastMark && (after != 3 || other);
  }
  if (clear) {
    if (negative) digits += '-';
    for (size_t i = 0; i < size; ++i) {
      if (money[i] >= '0' && money[i] <= '9') digits += money[i];
      if (i == lastMark) digits += '.';
    }
    DecimalValue check;
    if (ParseDecimal(digits.data(), digits.size(), check))
      return store.AppendUtf8(digits.data(), digits.size());
  }
  store.AppendUtf8(text, size);
}

// The type a SQLite expression's first value tells, as the driver describes typed columns.
void TypeFromFirstValue(const ColumnStore& store, ColumnDescription& column) {
  const ValueRef first = store.Peek(0);
  double real;
  if (first.kind == Value::Kind::Int) {
    column.SqlType = SQL_INTEGER;
    column.ColumnSize = 10;
  } else if (first.kind == Value::Kind::Text && !first.Wide &&
             numbersyntax::ParseReal(first.Data, static_cast<size_t>(first.Size), real)) {
    column.SqlType = SQL_DOUBLE;
    column.ColumnSize = 54;
  }
}

// psqlODBC's stand-ins for infinite dates and timestamps start so.
bool MayBeInfinity(const char* bytes, size_t size) {
  const auto* units = reinterpret_cast<const char16_t*>(bytes);
  return size >= 5 * sizeof(char16_t) &&
         (std::u16string_view(units, 5) == u"0000-" || std::u16string_view(units, 5) == u"9999-");
}

// The bound arrays of one column in block fetch.
struct BoundColumn {
  FetchPlan Plan;
  size_t ElementSize;
  std::vector<char> Data;
  std::vector<SQLLEN> Indicators;
};

}  // namespace

void AppendFetched(const FetchPlan& plan, const char* p, size_t bytes, ColumnStore& store) {
  switch (plan.Kind) {
    case FetchKind::Int: {
      SQLBIGINT v;
      std::memcpy(&v, p, sizeof v);
      store.AppendInt(v);
      break;
    }
    case FetchKind::UInt: {
      SQLUBIGINT v;
      std::memcpy(&v, p, sizeof v);
      store.AppendUInt(v);
      break;
    }
    case FetchKind::Double: {
      double v;
      std::memcpy(&v, p, sizeof v);
      store.AppendDouble(v);
      break;
    }
    case FetchKind::Bool:
      store.AppendBool(*p != 0);
      break;
    case FetchKind::Guid:
      store.AppendGuid(p);
      break;
    case FetchKind::WideText:
      store.AppendUtf16(reinterpret_cast<const char16_t*>(p), bytes / sizeof(SQLWCHAR));
      break;
    case FetchKind::ByteText:
      if (plan.MoneyText) {
        AppendMoney(p, bytes, store);
      } else if (plan.Numbers == TextNumbers::None) {
        store.AppendUtf8(p, bytes);
      } else {
        AppendSqliteText(plan.Numbers, p, bytes, store);
      }
      break;
    case FetchKind::Bytes:
      if (plan.BitsAsNumber && bytes <= 8) {
        quint64 v = 0;
        for (size_t i = 0; i < bytes; ++i) v = v << 8 | static_cast<unsigned char>(p[i]);
        store.AppendUInt(v);
      } else {
        store.AppendBytes(p, bytes);
      }
      break;
  }
}

void ResultFetcher::SetBlockRows(SQLULEN rows) {
  gBlockRows = std::max<SQLULEN>(rows, 1);
}
SQLULEN ResultFetcher::BlockRows() {
  return gBlockRows;
}

void ResultFetcher::Check(SQLRETURN rc) const {
  OdbcCheck(rc, SQL_HANDLE_STMT, FStatement);
}

SQLSMALLINT ResultFetcher::ColumnCount() const {
  SQLSMALLINT count = 0;
  Check(SQLNumResultCols(FStatement, &count));
  return count;
}

std::vector<ColumnDescription> ResultFetcher::DescribeColumns(SQLSMALLINT count) const {
  std::vector<ColumnDescription> columns;
  columns.reserve(static_cast<size_t>(count));
  for (SQLSMALLINT i = 1; i <= count; ++i)
    columns.push_back(DescribeColumn(static_cast<SQLUSMALLINT>(i)));
  return columns;
}

namespace {

// A text attribute of a column, empty when the driver has none.
QString TextAttribute(SQLHSTMT statement, SQLUSMALLINT number, SQLUSMALLINT field) {
  SQLWCHAR text[512] = {};
  SQLSMALLINT bytes = 0;
  if (!SQL_SUCCEEDED(
          SQLColAttributeW(statement, number, field, text, sizeof text, &bytes, nullptr)))
    return {};
  const qsizetype units = std::min<qsizetype>(bytes / static_cast<qsizetype>(sizeof(SQLWCHAR)),
                                              static_cast<qsizetype>(std::size(text)) - 1);
  return FromSqlWChar(text, std::max<qsizetype>(units, 0));
}

}  // namespace

ColumnDescription ResultFetcher::DescribeColumn(SQLUSMALLINT number) const {
  ColumnDescription column;
  SQLWCHAR name[512] = {};
  SQLSMALLINT nameLength = 0;
  Check(SQLDescribeColW(FStatement, number, name, static_cast<SQLSMALLINT>(std::size(name)),
                        &nameLength, &column.SqlType, &column.ColumnSize, &column.DecimalDigits,
                        &column.Nullable));
  column.Name = FromSqlWChar(
      name, std::min<qsizetype>(nameLength, static_cast<qsizetype>(std::size(name)) - 1));
  column.Label = TextAttribute(FStatement, number, SQL_DESC_LABEL);
  column.TypeName = TextAttribute(FStatement, number, SQL_DESC_TYPE_NAME);
  column.TableName = TextAttribute(FStatement, number, SQL_DESC_TABLE_NAME);
  // Attributes a driver does not know keep their neutral defaults.
  SQLLEN numeric = 0;
  if (SQL_SUCCEEDED(
          SQLColAttributeW(FStatement, number, SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &numeric)))
    column.Unsigned = numeric == SQL_TRUE;
  numeric = SQL_ATTR_READWRITE_UNKNOWN;
  if (SQL_SUCCEEDED(
          SQLColAttributeW(FStatement, number, SQL_DESC_UPDATABLE, nullptr, 0, nullptr, &numeric)))
    column.Updatable = numeric;
  numeric = 0;
  if (SQL_SUCCEEDED(SQLColAttributeW(FStatement, number, SQL_DESC_AUTO_UNIQUE_VALUE, nullptr, 0,
                                     nullptr, &numeric)))
    column.AutoUnique = numeric == SQL_TRUE;
  return column;
}

std::vector<ColumnStore> ResultFetcher::FetchAll(std::vector<ColumnDescription>& columns,
                                                 ResultMemory& memory) {
  std::vector<ColumnStore> stores;
  std::vector<FetchPlan> plans;
  stores.reserve(columns.size());
  plans.reserve(columns.size());
  for (const ColumnDescription& column : columns) {
    stores.emplace_back(memory);
    plans.push_back(PlanOf(column, FProfile));
  }
  FPieceHints.assign(columns.size(), kSmallestPiece);
  const bool anyLong = std::any_of(columns.begin(), columns.end(), IsLongColumn);
  // A value longer than its column's declared size is read again with SQLGetData: from a block
  // when the driver allows it, else from a one-row block with the bound column, else no column
  // is bound at all. SQLite declares sizes it does not keep and converts by value: row by row.
  const bool recoverable = (FGetDataExtensions & (SQL_GD_BLOCK | SQL_GD_BOUND)) != 0;
  const bool anyVariable = std::any_of(plans.begin(), plans.end(),
                                       [](const FetchPlan& p) { return IsVariable(p.Kind); });
  // SQLite's declared sizes mean nothing and it has no long types of its own: its values are
  // fetched in small bound buffers, and the few longer ones read again whole.
  const bool small = FProfile.SmallBoundBuffers;
  if ((!small && anyLong) || (anyVariable && !recoverable)) {
    FetchRows(plans, stores);
  } else {
    FetchBlocks(plans, columns, stores);
  }
  for (size_t c = 0; c < columns.size(); ++c) {
    if (plans[c].TypeFromFirstValue) TypeFromFirstValue(stores[c], columns[c]);
    DescribeAsPlanned(plans[c], columns[c]);
  }
  return stores;
}

void ResultFetcher::FetchBlocks(const std::vector<FetchPlan>& plans,
                                const std::vector<ColumnDescription>& columns,
                                std::vector<ColumnStore>& stores) {
  std::vector<BoundColumn> bound;
  bound.reserve(columns.size());
  size_t rowBytes = 0;
  for (size_t c = 0; c < columns.size(); ++c) {
    size_t size = BufferSizeOf(columns[c], plans[c].Kind);
    // The driver fills the whole buffer it is given, whatever the value's length.
    if (FProfile.SmallBoundBuffers && IsVariable(plans[c].Kind)) size = kSmallBoundBytes;
    // The driver's size counts digits, not the currency sign and separators around them.
    if (plans[c].MoneyText) size = kMoneyBoundBytes;
    bound.push_back({plans[c], size, {}, {}});
    rowBytes += bound.back().ElementSize + sizeof(SQLLEN);
  }
  SQLULEN blockRows =
      std::clamp<SQLULEN>(kBlockBytes / std::max<size_t>(rowBytes, 1), 1, gBlockRows);
  const bool anyVariable = std::any_of(
      bound.begin(), bound.end(), [](const BoundColumn& b) { return IsVariable(b.Plan.Kind); });
  if (anyVariable && !(FGetDataExtensions & SQL_GD_BLOCK)) blockRows = 1;

  SQLULEN fetched = 0;
  Check(SQLSetStmtAttr(FStatement, SQL_ATTR_ROW_BIND_TYPE,
                       reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_BIND_BY_COLUMN)), 0));
  // A driver without block cursors refuses or lowers the size; read back what it took.
  if (SQL_SUCCEEDED(SQLSetStmtAttr(FStatement, SQL_ATTR_ROW_ARRAY_SIZE,
                                   reinterpret_cast<SQLPOINTER>(blockRows), 0))) {
    SQLULEN actual = 1;
    if (SQL_SUCCEEDED(SQLGetStmtAttr(FStatement, SQL_ATTR_ROW_ARRAY_SIZE, &actual, 0, nullptr)))
      blockRows = std::max<SQLULEN>(actual, 1);
  } else {
    blockRows = 1;
  }
  std::vector<SQLUSMALLINT> status(blockRows);
  Check(SQLSetStmtAttr(FStatement, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0));
  Check(SQLSetStmtAttr(FStatement, SQL_ATTR_ROW_STATUS_PTR, status.data(), 0));
  for (size_t c = 0; c < bound.size(); ++c) {
    BoundColumn& b = bound[c];
    b.Data.resize(b.ElementSize * blockRows);
    b.Indicators.resize(blockRows);
    Check(SQLBindCol(FStatement, static_cast<SQLUSMALLINT>(c + 1), FetchTypeOf(b.Plan.Kind).CType,
                     b.Data.data(), static_cast<SQLLEN>(b.ElementSize), b.Indicators.data()));
  }

  // The bound buffers die with this frame: unbind on every path out.
  struct Unbind {
    SQLHSTMT s;
    ~Unbind() {
      SQLFreeStmt(s, SQL_UNBIND);
      SQLSetStmtAttr(s, SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
      SQLSetStmtAttr(s, SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);
      SQLSetStmtAttr(s, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN{1}), 0);
    }
  } unbind{FStatement};

  for (;;) {
    fetched = 0;
    if (FControl) FControl->CheckCancelled();
    const SQLRETURN rc = OdbcCheck(SQLFetch(FStatement), SQL_HANDLE_STMT, FStatement);
    if (rc == SQL_NO_DATA) break;
    if (FControl) FControl->AddRows(static_cast<qint64>(fetched));
    for (SQLULEN r = 0; r < fetched; ++r) {
      if (status[r] == SQL_ROW_NOROW) continue;
      if (status[r] == SQL_ROW_ERROR) throw OdbcError(SQL_ERROR, SQL_HANDLE_STMT, FStatement);
      for (size_t c = 0; c < bound.size(); ++c) {
        const BoundColumn& b = bound[c];
        const SQLLEN indicator = b.Indicators[r];
        const char* p = b.Data.data() + r * b.ElementSize;
        if (indicator == SQL_NULL_DATA) {
          stores[c].AppendNull();
        } else if (!IsVariable(b.Plan.Kind)) {
          AppendFetched(b.Plan, p, 0, stores[c]);
        } else if (indicator == SQL_NO_TOTAL ||
                   static_cast<size_t>(indicator) > b.ElementSize - TerminatorOf(b.Plan.Kind)) {
          // The driver's column size was too small for this value: read the whole value again
          // from its row.
          if (blockRows > 1)
            Check(SQLSetPos(FStatement, static_cast<SQLSETPOSIROW>(r + 1), SQL_POSITION,
                            SQL_LOCK_NO_CHANGE));
          GetValue(static_cast<SQLUSMALLINT>(c + 1), b.Plan, stores[c]);
        } else if (b.Plan.Infinities && MayBeInfinity(p, static_cast<size_t>(indicator))) {
          AppendDate(static_cast<SQLUSMALLINT>(c + 1), static_cast<SQLSETPOSIROW>(r + 1), b.Plan, p,
                     static_cast<size_t>(indicator), stores[c]);
        } else {
          AppendFetched(b.Plan, p, static_cast<size_t>(indicator), stores[c]);
        }
      }
    }
  }
}

void ResultFetcher::AppendDate(SQLUSMALLINT number, SQLSETPOSIROW row, const FetchPlan& plan,
                               const char* text, size_t bytes, ColumnStore& store) {
  // The driver converts the database's own text to a double; "infinity" gives an infinite one.
  double value = 0;
  SQLLEN indicator = 0;
  if (SQL_SUCCEEDED(SQLSetPos(FStatement, row, SQL_POSITION, SQL_LOCK_NO_CHANGE)) &&
      SQL_SUCCEEDED(
          SQLGetData(FStatement, number, SQL_C_DOUBLE, &value, sizeof value, &indicator)) &&
      indicator != SQL_NULL_DATA && std::isinf(value)) {
    const std::string_view infinity = value > 0 ? "infinity" : "-infinity";
    store.AppendUtf8(infinity.data(), infinity.size());
    return;
  }
  AppendFetched(plan, text, bytes, store);
}

void ResultFetcher::FetchRows(const std::vector<FetchPlan>& plans,
                              std::vector<ColumnStore>& stores) {
  for (;;) {
    if (FControl) FControl->CheckCancelled();
    const SQLRETURN rc = OdbcCheck(SQLFetch(FStatement), SQL_HANDLE_STMT, FStatement);
    if (rc == SQL_NO_DATA) break;
    if (FControl) FControl->AddRows(1);
    for (size_t c = 0; c < plans.size(); ++c)
      GetValue(static_cast<SQLUSMALLINT>(c + 1), plans[c], stores[c]);
  }
}

void ResultFetcher::GetValue(SQLUSMALLINT number, const FetchPlan& plan, ColumnStore& store) {
  const SQLSMALLINT cType = FetchTypeOf(plan.Kind).CType;
  if (!IsVariable(plan.Kind)) {
    alignas(8) char buffer[sizeof(SQLGUID) + 8] = {};
    SQLLEN indicator = 0;
    Check(SQLGetData(FStatement, number, cType, buffer, sizeof buffer, &indicator));
    if (indicator == SQL_NULL_DATA) {
      store.AppendNull();
    } else {
      AppendFetched(plan, buffer, 0, store);
    }
    return;
  }
  // A value comes in pieces: the first call tells the whole length (or that it cannot tell),
  // and the rest is read in one call where it can. The first call asks for about as much as the
  // column's last value took, since drivers fill the whole buffer they are given.
  const size_t terminator = TerminatorOf(plan.Kind);
  if (FPiece.size() < kFirstPiece) FPiece.resize(kFirstPiece);
  size_t& hint = FPieceHints[number - 1];
  size_t have = 0;
  size_t room = std::min(hint, FPiece.size());
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN rc = OdbcCheck(SQLGetData(FStatement, number, cType, FPiece.data() + have,
                                              static_cast<SQLLEN>(room), &indicator),
                                   SQL_HANDLE_STMT, FStatement);
    if (rc == SQL_NO_DATA) break;  // the previous piece was the last one
    if (indicator == SQL_NULL_DATA) {
      store.AppendNull();
      return;
    }
    const size_t usable = room - terminator;
    if (indicator != SQL_NO_TOTAL && static_cast<size_t>(indicator) <= usable) {
      have += static_cast<size_t>(indicator);
      break;
    }
    // Truncated: keep what came (whole UTF-16 units) and make room for the rest.
    size_t got = usable;
    if (plan.Kind == FetchKind::WideText) got &= ~(sizeof(SQLWCHAR) - 1);
    have += got;
    const size_t rest = indicator == SQL_NO_TOTAL ? std::max(FPiece.size(), kFirstPiece)
                                                  : static_cast<size_t>(indicator) - got;
    if (FPiece.size() < have + rest + terminator) FPiece.resize(have + rest + terminator);
    room = rest + terminator;
  }
  hint = std::clamp(std::bit_ceil(have + terminator + 1), kSmallestPiece, kFirstPiece);
  if (plan.Infinities && MayBeInfinity(FPiece.data(), have))
    AppendDate(number, 1, plan, FPiece.data(), have, store);
  else
    AppendFetched(plan, FPiece.data(), have, store);
  // One huge value must not keep its buffer for the rest of the result.
  if (FPiece.size() > 64 * kFirstPiece) {
    FPiece.resize(kFirstPiece);
    FPiece.shrink_to_fit();
  }
}

}  // namespace ado
