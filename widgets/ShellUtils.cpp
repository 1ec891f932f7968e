#include "widgets/ShellUtils.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
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

QString OpenerFailure(int exitCode) {
  // xdg-open's exit codes for "nothing to open it with" and "the program failed".
  if (exitCode == 3) return QStringLiteral("no program to open it is installed");
  return QStringLiteral("the desktop's opener failed with code %1").arg(exitCode);
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

void OpenLocalDocument(const QString& path, std::function<void(const QString& reason)> failed) {
  if (const ShellRequestHandler& handler = RequestHandler()) {
    handler(ShellRequest{QUrl::fromLocalFile(path).toString(), QString(), QString()});
    return;
  }
  if (!QFileInfo(path).isFile()) return failed(QStringLiteral("the file is missing"));
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (opener.isEmpty()) {
    // Qt looks for a browser of its own; false means it found nothing to start.
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
      failed(QStringLiteral("no program to open it is installed"));
    return;
  }
  // The opener's answer comes when it ends; it is not waited for. A browser that it starts in the
  // foreground keeps it running, which is success; the process object goes when it ends.
  auto* process = new QProcess;
  process->setProgram(opener);
  process->setArguments({path});
  process->setStandardInputFile(QProcess::nullDevice());
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  QObject::connect(process, &QProcess::finished, process,
                   [process, failed](int exitCode, QProcess::ExitStatus status) {
                     process->deleteLater();
                     if (status == QProcess::NormalExit && exitCode != 0)
                       failed(OpenerFailure(exitCode));
                   });
  QObject::connect(process, &QProcess::errorOccurred, process,
                   [process, failed](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart) return;
                     process->deleteLater();
                     failed(QStringLiteral("the desktop's opener could not be started"));
                   });
  process->start();
}
