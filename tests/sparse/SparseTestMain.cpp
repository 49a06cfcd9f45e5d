#include <gtest/gtest.h>

#include "sparse/SparseSolve.h"

// Open MPI and PETSc keep allocations past their finalisation, some from
// components already unloaded (unnamed frames no suppression can match):
// LeakSanitizer would fail every run on them. The other checks stay on.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }
#endif

// The sparse path needs its session for the whole run, as the batch command has it.
int main(int argc, char** argv) {
  qor::ParallelSession session(&argc, &argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
