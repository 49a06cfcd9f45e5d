#include <gtest/gtest.h>

#include "sparse/SparseSolve.h"

// The sparse path needs its session for the whole run, as the batch command has it.
int main(int argc, char** argv) {
  qor::ParallelSession session(&argc, &argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
