#pragma once

#include <QString>
#include <QStringList>

// A statement with its ":name" markers replaced by "?", and the names in order. Quoted text
// ('...', "...", `...`) and "::" pass unchanged.
struct ParsedCommand {
  QString Text;
  QStringList Names;
};

ParsedCommand ParseParameterMarkers(const QString& commandText);
