#pragma once

#include "platform/ado/SpillFile.h"
#include "tests/support/ScopedValue.h"

#include <cstddef>

// A memory budget of a test's own for the results made meanwhile, so that small results page to
// the spill file; afterwards the default applies again (an override of 0).
inline ScopedRestore ScopedBudget(size_t bytes) {
  return ScopedAssign([] { return size_t{0}; }, &ado::ResultMemory::SetBudgetOverride, bytes);
}
