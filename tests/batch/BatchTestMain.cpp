// The batch tests run the sparse solvers, which need MPI and PETSc started
// once for the whole program, as qor3d-batch's own main starts them.
#include <gtest/gtest.h>

#include "batch/MpiLeakSuppressions.h"
#include "sparse/SparseSolve.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const qor::ParallelSession session(&argc, &argv);
  return RUN_ALL_TESTS();
}
