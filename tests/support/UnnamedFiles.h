#pragma once

#include <QDir>
#include <QFileInfo>

// How many files this process holds open whose names are gone (a paged result's file).
inline int UnnamedFiles() {
  int count = 0;
  for (const QFileInfo& fd : QDir("/proc/self/fd").entryInfoList(QDir::System | QDir::Files))
    if (fd.symLinkTarget().endsWith(" (deleted)") || fd.symLinkTarget().contains("/#")) ++count;
  return count;
}
