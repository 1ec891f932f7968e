#pragma once

#include <QString>

#include <sql.h>
#include <sqlucode.h>

#include <string>
#include <vector>

namespace ado {

// SQLWCHAR is 16-bit UTF-16 on unixODBC, the same code units as QString.
static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "SQLWCHAR must be UTF-16");

QString FromSqlWChar(const SQLWCHAR* text, qsizetype units);
// The text with a terminating zero, for calls that take SQL_NTS or a length.
std::vector<SQLWCHAR> ToSqlWChar(const QString& text);
// UTF-16 units as UTF-8 into out; false (out undefined) when they hold an unpaired surrogate.
bool Utf16ToUtf8(const char16_t* units, size_t count, std::string& out);

}  // namespace ado
