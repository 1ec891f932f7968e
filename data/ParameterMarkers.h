#pragma once

#include <QString>
#include <QStringList>

// A statement with its ":name" markers replaced by "?", and the names in order. A colon starts a
// marker only when a letter, an underscore or a quote follows it. Quoted text ('...', "...",
// `...`), PostgreSQL's E'...' and dollar-quoted strings, SQL comments and "::" pass unchanged.
struct ParsedCommand {
  QString Text;
  QStringList Names;
};

ParsedCommand ParseParameterMarkers(const QString& commandText);
