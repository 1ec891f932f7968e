#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// A connection string that begins with exactly this (case-sensitively, at its first character)
// names a data link file: the rest of the string is the file's path.
inline const QString DataLinkPrefix = QStringLiteral("FILE NAME=");

bool IsDataLinkReference(const QString& connectionString);
// The path of a data link reference, cut to the platform's path limit.
QString DataLinkReferencePath(const QString& connectionString);
// The most characters of a reference's path that are kept: PATH_MAX, so no valid path is cut.
qsizetype MaxDataLinkPathLength();

// Everything up to and including the last "/" (empty when there is none), and everything after.
QString FolderPart(const QString& path);
QString NamePart(const QString& path);

// Appends the names (without folder) of the files matching "*.udl" in folder, or in the data
// link folder when folder is empty, in the order they are found. Hidden files count; folders
// do not. The match ignores letter case, as "*.udl" does where these files come from.
void ListDataLinkFiles(QStringList& list, const QString& folder);

// The full path of the data link file the user picks, starting in initialFile's folder (none for
// a bare name), or initialFile when the user cancels.
QString BrowseDataLinkFile(QWidget* parentWindow, const QString& initialFile);

// The connection string the user builds in the property sheet, starting from initialString, or
// initialString when the user cancels.
QString BuildConnectionString(QWidget* parentWindow, const QString& initialString);
