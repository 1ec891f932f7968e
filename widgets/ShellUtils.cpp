#include "widgets/ShellUtils.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include <utility>

namespace {

ShellRequestHandler& RequestHandler() {
  static ShellRequestHandler handler;
  return handler;
}

void OpenWithDesktop(const ShellRequest& request) {
  const QString workingDirectory =
      request.directory.isEmpty() ? QDir::currentPath() : request.directory;
  const QFileInfo file(QDir(workingDirectory), request.target);
  if (file.isFile() && file.isExecutable()) {
    QProcess::startDetached(file.absoluteFilePath(), QProcess::splitCommand(request.parameters),
                            workingDirectory);
    return;
  }
  // A web address, or a document for the desktop's handler of its type. Whether a browser or
  // viewer could be started is not looked at: a failed open shows nothing.
  QDesktopServices::openUrl(QUrl::fromUserInput(request.target, workingDirectory));
}

}  // namespace

void ShellOpen(const QString& target, const QString& parameters, const QString& directory,
               int showCommand) {
  const ShellRequest request{target, parameters, directory, showCommand};
  if (const ShellRequestHandler& handler = RequestHandler()) {
    handler(request);
    return;
  }
  OpenWithDesktop(request);
}

// Empty texts rather than null ones, as a caller passing "" would.
void OpenDocument(const QString& target) {
  ShellOpen(target, QStringLiteral(""), QStringLiteral(""), SW_SHOWNORMAL);
}

ShellRequestHandler SetShellRequestHandler(ShellRequestHandler handler) {
  return std::exchange(RequestHandler(), std::move(handler));
}
