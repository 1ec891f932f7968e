#include "platform/ado/SpillFile.h"

#include "platform/ado/OdbcCheck.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace ado {

namespace {

size_t gBudgetOverride = 0;

[[noreturn]] void Fail(const char* what, int error) {
  throw ProviderError(QStringLiteral("The result does not fit in memory, and its temporary file "
                                     "failed (%1): %2")
                          .arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(error))));
}

}  // namespace

SpillFile::~SpillFile() {
  if (FFd >= 0) ::close(FFd);
}

void SpillFile::Open() {
  const QByteArray folder = QFile::encodeName(QDir::tempPath());
  FFd = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (FFd < 0) {
    // A file system without unnamed files: create one and unlink it at once.
    QByteArray pattern = folder + "/rowmill-result-XXXXXX";
    FFd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (FFd < 0) Fail("create", errno);
    ::unlink(pattern.constData());
  }
}

qint64 SpillFile::Write(const char* data, size_t size) {
  if (FFd < 0) Open();
  const qint64 start = FSize;
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(FFd, data + done, size - done, static_cast<off_t>(start + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail("write", n < 0 ? errno : ENOSPC);
    done += static_cast<size_t>(n);
  }
  FSize += static_cast<qint64>(size);
  return start;
}

void SpillFile::Read(qint64 offset, char* data, size_t size) const {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(FFd, data + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail("read", n < 0 ? errno : EIO);
    done += static_cast<size_t>(n);
  }
}

ResultMemory::ResultMemory() : Budget(DefaultBudget()) {}

size_t ResultMemory::DefaultBudget() {
  if (gBudgetOverride > 0) return gBudgetOverride;
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGE_SIZE);
  constexpr size_t kMax = size_t{1} << 30;
  if (pages <= 0 || pageSize <= 0) return kMax;
  return std::min(kMax, static_cast<size_t>(pages) * static_cast<size_t>(pageSize) / 4);
}

void ResultMemory::SetBudgetOverride(size_t bytes) {
  gBudgetOverride = bytes;
}

}  // namespace ado
