#include "app/SaveTarget.h"

#include "base/Exceptions.h"
#include "base/Messages.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace {

bool IsControlOrLineBreak(QChar c) {
  return c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
         c.category() == QChar::Separator_Paragraph;
}

QString SystemText(int error) {
  return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

SaveTarget::SaveTarget(const QString& fileName) : FFileName(fileName), FBeside(fileName) {
  // A name pasted with a line break would make a file nobody can type the name of.
  if (std::any_of(fileName.cbegin(), fileName.cend(), IsControlOrLineBreak))
    CannotCreate(QStringLiteral("The name holds a line break or another control character"));
  struct stat target {};
  const bool exists = ::stat(QFile::encodeName(fileName).constData(), &target) == 0;
  if (exists && !S_ISREG(target.st_mode)) {
    // Renaming a file over a FIFO or a device would replace the node, not feed it.
    OpenDirect(false, false);
    return;
  }
  // Replacing would split the file from its other names.
  if (exists && target.st_nlink > 1) {
    OpenDirect(true, false);
    return;
  }
  if (FBeside.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    FWritesBeside = true;
    if (exists) KeepOwnerAndMode(target);
    return;
  }
  // No file can be made beside it: the target is written where it is.
  OpenDirect(true, !exists);
}

void SaveTarget::OpenDirect(bool regular, bool create) {
  // Opening a FIFO that nobody reads would wait for ever; it is refused at once instead.
  int flags = O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
  if (create) flags |= O_CREAT | O_EXCL;
  const int fd = ::open(QFile::encodeName(FFileName).constData(), flags, 0666);
  if (fd < 0) {
    const int error = errno;
    if (error == ENXIO && !regular)
      CannotCreate(QStringLiteral("%1: no program reads from it").arg(SystemText(error)));
    CannotCreate(SystemText(error));
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  // A reader that goes away must give a write error, not end the program.
  static const bool pipeSignalIgnored = std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
  Q_UNUSED(pipeSignalIgnored);
  FDirect.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle);
  FEmptyPending = regular && !create;
}

void SaveTarget::KeepOwnerAndMode(const struct stat& target) {
  // Each may be refused (only the superuser gives a file away); what is allowed is kept.
  const int fd = FBeside.handle();
  if (::fchown(fd, target.st_uid, target.st_gid) != 0)
    (void)!::fchown(fd, static_cast<uid_t>(-1), target.st_gid);
  (void)!::fchmod(fd, target.st_mode & 07777);
}

QFileDevice& SaveTarget::Device() {
  if (FWritesBeside) return FBeside;
  return FDirect;
}

void SaveTarget::EmptyInPlace() {
  if (!FEmptyPending) return;
  FEmptyPending = false;
  if (::ftruncate(FDirect.handle(), 0) != 0)
    throw Exception(QStringLiteral("Stream write error. %1").arg(SystemText(errno)));
}

void SaveTarget::Write(const char* data, qint64 size) {
  EmptyInPlace();
  QFileDevice& file = Device();
  while (size > 0) {
    const qint64 written = file.write(data, size);
    if (written <= 0) WriteError();
    data += written;
    size -= written;
  }
}

void SaveTarget::Commit() {
  if (FWritesBeside) {
    if (FBeside.commit()) return;
    if (FBeside.error() == QFileDevice::RenameError) CannotCreate(FBeside.errorString());
    WriteError();
  }
  EmptyInPlace();
  FDirect.close();
  if (FDirect.error() != QFileDevice::NoError) WriteError();
}

void SaveTarget::CannotCreate(const QString& reason) const {
  QString shown = FFileName;
  std::replace_if(shown.begin(), shown.end(), IsControlOrLineBreak, QChar::ReplacementCharacter);
  throw Exception(
      QStringLiteral("Cannot create file \"%1\". %2").arg(shown, TrimMessageEnd(reason)));
}

void SaveTarget::WriteError() {
  const QString reason = TrimMessageEnd(Device().errorString());
  if (reason.isEmpty() || Device().error() == QFileDevice::NoError)
    throw Exception(QStringLiteral("Stream write error"));
  throw Exception(QStringLiteral("Stream write error. %1").arg(reason));
}
