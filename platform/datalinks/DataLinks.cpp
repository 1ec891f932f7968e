#include "platform/datalinks/DataLinks.h"

#include "platform/datalinks/DataLinkPropertiesDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace datalinks {

std::optional<QString> PromptDataSource(QWidget* parent, const QString& initialString) {
  DataLinkPropertiesDialog dialog(parent);
  dialog.SetConnectionString(initialString);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.ConnectionString();
}

std::optional<QString> PromptFileName(QWidget* parent, const QString& initialFolder,
                                      const QString& initialFileName) {
  // Qt's own dialog, not the desktop's, so it behaves the same everywhere and can be driven.
  QFileDialog dialog(parent, QStringLiteral("Select Data Link File"));
  dialog.setObjectName(QStringLiteral("DataLinkFilePrompt"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setDirectory(initialFolder.isEmpty() ? QDir::currentPath() : initialFolder);
  if (initialFileName.contains(u'*') || initialFileName.contains(u'?')) {
    dialog.setNameFilters({QStringLiteral("Data Link Files (%1)").arg(initialFileName),
                           QStringLiteral("All Files (*)")});
  } else if (!initialFileName.isEmpty()) {
    dialog.selectFile(initialFileName);
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return QFileInfo(files.first()).absoluteFilePath();
}

}  // namespace datalinks
