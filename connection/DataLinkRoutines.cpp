#include "connection/DataLinkRoutines.h"

#include "platform/DataLinkFolder.h"
#include "platform/datalinks/DataLinks.h"

#include <QDir>

#include <climits>

bool IsDataLinkReference(const QString& connectionString) {
  return connectionString.startsWith(DataLinkPrefix, Qt::CaseSensitive);
}

qsizetype MaxDataLinkPathLength() {
  return PATH_MAX;
}

QString DataLinkReferencePath(const QString& connectionString) {
  return connectionString.mid(DataLinkPrefix.size(), MaxDataLinkPathLength());
}

QString FolderPart(const QString& path) {
  return path.left(path.lastIndexOf(u'/') + 1);
}

QString NamePart(const QString& path) {
  return path.mid(path.lastIndexOf(u'/') + 1);
}

void ListDataLinkFiles(QStringList& list, const QString& folder) {
  const QString searched = folder.isEmpty() ? DataLinkFolder() : folder;
  // An unknown data link folder searches the root, as "" + "/*.udl" names it.
  const QDir dir(searched + u'/', QStringLiteral("*.udl"), QDir::Unsorted,
                 QDir::Files | QDir::Hidden);
  const QStringList found = dir.entryList();
  list.append(found);
}

QString BrowseDataLinkFile(QWidget* parentWindow, const QString& initialFile) {
  const QString initialFolder = initialFile.isEmpty() ? QString() : FolderPart(initialFile);
  const std::optional<QString> picked =
      datalinks::PromptFileName(parentWindow, initialFolder, QStringLiteral("*.udl"));
  return picked ? *picked : initialFile;
}

QString BuildConnectionString(QWidget* parentWindow, const QString& initialString) {
  const std::optional<QString> built = datalinks::PromptDataSource(parentWindow, initialString);
  return built ? *built : initialString;
}
