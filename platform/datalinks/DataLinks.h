#pragma once

#include <QString>

#include <optional>

class QWidget;

// The data links service: the property sheet that builds a connection string and the file prompt
// for data link files. An empty optional is a cancel.
namespace datalinks {

// Shows "Data Link Properties", modal to parent, starting from initialString (possibly empty);
// gives the confirmed connection string with its password.
std::optional<QString> PromptDataSource(QWidget* parent, const QString& initialString);

// Lets the user pick an existing file, starting in initialFolder (the current folder when empty)
// and showing the files that match initialFileName (e.g. "*.udl"); gives the file's full path.
std::optional<QString> PromptFileName(QWidget* parent, const QString& initialFolder,
                                      const QString& initialFileName);

}  // namespace datalinks
