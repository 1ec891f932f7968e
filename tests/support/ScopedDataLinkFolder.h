#pragma once

#include "tests/support/ScopedValue.h"

#include <QString>

// Points the driver manager's system ini folder (ODBCSYSINI) at a temporary folder whose
// odbcinst.ini names a fresh data link folder (FileDSNPath), for as long as it lives; the
// previous ODBCSYSINI is restored afterwards.
//
// The driver manager keeps the first ini folder it sees for the life of the process, so every
// instance shares one ini folder that lives as long as the process, and its odbcinst.ini and
// odbc.ini keep the machine's drivers and data sources. Real connections keep working then.
class ScopedDataLinkFolder {
 public:
  // With configured false, odbcinst.ini has no FileDSNPath, so the built-in folder applies.
  explicit ScopedDataLinkFolder(bool configured = true);
  ~ScopedDataLinkFolder();
  ScopedDataLinkFolder(const ScopedDataLinkFolder&) = delete;
  ScopedDataLinkFolder& operator=(const ScopedDataLinkFolder&) = delete;

  // The ini folder (ODBCSYSINI) and the data link folder (no trailing "/").
  static QString IniFolder();
  QString Folder() const { return FFolder; }
  // Writes a data link file holding one connection string into the data link folder; its path.
  QString AddFile(const QString& name, const QString& connectionString) const;
  // Rewrites odbcinst.ini: the machine's drivers followed by this text.
  static void WriteIni(const QString& extraText);

 private:
  QString FFolder;
  ScopedRestore FSystemIni;
};
