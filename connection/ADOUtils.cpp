#include "connection/ADOUtils.h"

#include "connection/AdoConEd.h"
#include "data/TADOConnection.h"

#include <QCoreApplication>

#include <memory>

void PromptConnectionString(TADOConnection* connection, bool& changed, QString& text) {
  changed = false;
  text = connection->ConnectionString();
  // Only the dialog caption reads this name.
  QCoreApplication::instance()->setObjectName(QStringLiteral("CS"));
  // Owned by the application for the caption's sake, freed on every way out of here.
  const auto scratch = std::make_unique<TADOConnection>(QCoreApplication::instance());
  scratch->SetConnectionString(text);
  changed = EditConnectionOf(scratch.get());
  if (changed) text = scratch->ConnectionString();
}
