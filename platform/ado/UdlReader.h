#pragma once

#include <QString>

namespace ado {

// The prefix by which a connection string names a data link file (exact case, first character).
inline constexpr char16_t kDataLinkPrefix[] = u"FILE NAME=";

bool IsDataLinkReference(const QString& connectionString);
// The path a data link reference names.
QString DataLinkReferencePath(const QString& connectionString);

// The connection string that a data link file holds: the first line that is neither blank, nor a
// "[section]" line, nor a ";" comment. The file is UTF-8, or UTF-16 with a byte-order mark.
// A missing, unreadable or empty file is an EOleException naming the path.
QString ReadDataLinkFile(const QString& path);

// The connection string to hand to the driver: a data link reference is resolved, anything else
// is returned unchanged.
QString ResolveConnectionString(const QString& connectionString);

}  // namespace ado
