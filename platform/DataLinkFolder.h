#pragma once

#include <QString>

// The data link folder: unixODBC's folder for file data sources. It is the FileDSNPath value of
// the [ODBC] section of odbcinst.ini when that is set, otherwise the driver manager's built-in
// "ODBCDataSources" folder next to odbcinst.ini. Both follow ODBCSYSINI (and ODBCINSTINI for the
// file's name). Read afresh at every call, never kept; empty when it cannot be told.
QString DataLinkFolder();

// The folder that holds odbcinst.ini and odbc.ini: ODBCSYSINI when set, else the driver
// manager's compiled-in one.
QString OdbcSystemFilePath();

// The value of key in section of an ini file, as unixODBC reads it (measured with odbcinst -j):
// only the first section of that name and the first occurrence of the key in it count, names
// are compared without regard to case, blanks around names and values are dropped, ";" and "#"
// lines are comments, and a line before the first section that is none of these (an indented
// section, a byte-order mark) leaves the file unread. Empty when the file, the section or the
// key is missing.
QString ReadIniValue(const QString& fileName, const QString& section, const QString& key);
