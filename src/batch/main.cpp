// qor3d-batch: computes a saved model without a window and writes its results.
#include <unistd.h>

#include <clocale>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "batch/BatchCommand.h"
#include "batch/MpiLeakSuppressions.h"
#include "sparse/SparseSolve.h"

int main(int argc, char* argv[]) {
  // The window runs in the user's locale (the toolkit adopts it at start-up);
  // so does the batch, so that both write their files under the same
  // conditions. Every number that leaves the program is locale-independent.
  std::setlocale(LC_ALL, "");
  try {
    // MPI and PETSc for the whole run, on every process that mpirun starts.
    const qor::ParallelSession session(&argc, &argv);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    qor::BatchEnvironment environment;
    environment.rank = session.Rank();
    environment.processes = session.Size();
    environment.terminal = ::isatty(STDERR_FILENO) == 1;
    if (session.Rank() == 0) return qor::RunBatch(arguments, std::cout, std::cerr, environment);
    // The other processes take part in the computation and stay silent.
    std::ostream silent(nullptr);
    return qor::RunBatch(arguments, silent, silent, environment);
  } catch (const std::exception& error) {
    std::cerr << error.what() << '\n';
    return qor::BatchBadInput;
  }
}
