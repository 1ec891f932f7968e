#pragma once

#include <QtGlobal>

#include <cstddef>

namespace ado {

// A temporary file for the parts of a result that do not fit its memory budget. It is unlinked
// from the moment it exists, so it vanishes with the result, or with the process after a crash.
// Failures (no temporary folder, a full disk) raise EOleException.
class SpillFile {
 public:
  SpillFile() = default;
  ~SpillFile();
  SpillFile(const SpillFile&) = delete;
  SpillFile& operator=(const SpillFile&) = delete;

  // Appends the bytes and returns where they start.
  qint64 Write(const char* data, size_t size);
  void Read(qint64 offset, char* data, size_t size) const;
  bool IsOpen() const { return FFd >= 0; }

 private:
  void Open();

  int FFd = -1;
  qint64 FSize = 0;
};

// What the column stores of one result share: how many bytes they keep in memory, the budget
// beyond which their full chunks go to the spill file, and that file.
struct ResultMemory {
  ResultMemory();
  size_t Budget;
  size_t InMemory = 0;
  SpillFile File;

  // A quarter of the machine's memory, at most 1 GB.
  static size_t DefaultBudget();
  // Tests set a small budget to page small results; 0 restores the default.
  static void SetBudgetOverride(size_t bytes);
};

}  // namespace ado
