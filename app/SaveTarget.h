#pragma once

#include <QFile>
#include <QSaveFile>
#include <QString>

// The file a save writes to, opened as its kind asks:
// - a missing or regular file (or a link to one) in a folder where a file can be created is
//   written beside and replaces the target on Commit, with the target's owner, group and mode
//   where they may be set: until then the target stays as it was;
// - a FIFO or a device is opened and written directly, never replaced;
// - a regular file in a folder where no file can be created, or one with other hard links, is
//   written in place: it is emptied just before the first bytes are written.
// Failures raise "Cannot create file "%s". %s" or "Stream write error. %s" with the system's text.
class SaveTarget {
 public:
  explicit SaveTarget(const QString& fileName);

  void Write(const char* data, qint64 size);
  void Commit();

 private:
  void OpenDirect(bool regular, bool create);
  void KeepOwnerAndMode(const struct stat& target);
  QFileDevice& Device();
  void EmptyInPlace();
  [[noreturn]] void CannotCreate(const QString& reason) const;
  [[noreturn]] void WriteError();

  QString FFileName;
  QSaveFile FBeside;
  QFile FDirect;
  bool FWritesBeside = false;
  bool FEmptyPending = false;
};
