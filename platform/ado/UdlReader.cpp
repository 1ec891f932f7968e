#include "platform/ado/UdlReader.h"

#include "platform/ado/OdbcCheck.h"

#include <QFile>
#include <QStringDecoder>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ado {

namespace {

// A connection string is at most 32767 characters, so a megabyte holds any real data link
// file; more is not read (a data link reference to /dev/zero or a huge log would never end).
constexpr qsizetype kMaxDataLinkBytes = 1024 * 1024;

[[noreturn]] void ThrowFileError(const char* what, const QString& path, int error) {
  throw ProviderError(QStringLiteral("Cannot %1 the data link file \"%2\": %3")
                          .arg(QLatin1String(what), path, qt_error_string(error)));
}

// The first megabyte of a regular file. Anything else (a FIFO, which would block until someone
// writes to it, a device, a folder) is refused before a byte is read.
QByteArray ReadRegularFile(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) ThrowFileError("open", path, errno);
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    const int error = errno;
    ::close(fd);
    ThrowFileError("open", path, error);
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    throw ProviderError(
        QStringLiteral("The data link file \"%1\" is not a regular file").arg(path));
  }
  QByteArray bytes(kMaxDataLinkBytes, Qt::Uninitialized);
  qsizetype filled = 0;
  while (filled < bytes.size()) {
    const ssize_t got =
        ::read(fd, bytes.data() + filled, static_cast<size_t>(bytes.size() - filled));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const int error = errno;
      ::close(fd);
      ThrowFileError("read", path, error);
    }
    if (got == 0) break;
    filled += got;
  }
  ::close(fd);
  bytes.truncate(filled);
  return bytes;
}

}  // namespace

static QString DecodeDataLink(const QByteArray& bytes) {
  const auto bom = QStringConverter::encodingForData(bytes);
  if (bom == QStringConverter::Utf16LE || bom == QStringConverter::Utf16BE) {
    QStringDecoder decoder(*bom, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
  }
  QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
  return decoder.decode(bytes);
}

QString ReadDataLinkFile(const QString& path) {
  QString text = DecodeDataLink(ReadRegularFile(path));
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (const QString& raw : lines) {
    const QString line = raw.trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('[')) || line.startsWith(QLatin1Char(';')))
      continue;
    return line;
  }
  throw ProviderError(
      QStringLiteral("The data link file \"%1\" holds no connection string").arg(path));
}

bool IsDataLinkReference(const QString& connectionString) {
  return connectionString.startsWith(QString::fromUtf16(kDataLinkPrefix), Qt::CaseSensitive);
}

QString DataLinkReferencePath(const QString& connectionString) {
  return connectionString.mid(QString::fromUtf16(kDataLinkPrefix).size());
}

QString ResolveConnectionString(const QString& connectionString) {
  if (!IsDataLinkReference(connectionString)) return connectionString;
  return ReadDataLinkFile(DataLinkReferencePath(connectionString));
}

}  // namespace ado
