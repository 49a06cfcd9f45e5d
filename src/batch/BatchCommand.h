#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "io/IoResult.h"
#include "model/ModelStatistics.h"
#include "platform/UserMessage.h"
#include "solid/Progress.h"
#include "solid/SolidModel.h"

namespace qor {

// The command qor3d-batch: reads a saved model, computes it as the window's
// compute command does, prints a summary and writes the requested result files.
// Within the window's limits the default is the window's band solver, so the
// results are the window's to the bit; beyond them the sparse path's
// iterative solver (CG with algebraic multigrid), the faster of the two
// sparse solvers on every model measured, with the direct one as its
// fall-back.

// Exit codes.
enum BatchExit : int { BatchComputed = 0, BatchBadInput = 1, BatchRefused = 2 };

// The solver asked for with --solver; Automatic when none was.
enum class BatchSolver { Automatic, Band, Direct, Iterative };

struct BatchOptions {
  std::string model;
  std::string vtk, nodesCsv, elementsCsv, save, inp;  // empty: not wanted
  BatchSolver solver = BatchSolver::Automatic;
  bool densities = false;
  bool quiet = false;
  bool help = false;
};

// The options of a command line (without the program name), or the Polish text
// saying what is wrong with it.
struct BatchCommandLine {
  BatchOptions options;
  std::string error;  // empty when the command line is good
};
BatchCommandLine ParseBatchArguments(const std::vector<std::string>& arguments);

// The usage text that --help prints.
extern const char* const BatchUsage;

// The summary lines, labelled as in the statistics dialog, numbers with '.'.
std::string SummaryText(const ModelStatistics& stats);

// Writes a message of the program on `err`, after "context: " when a context
// (a file name) is given.
void PrintMessage(std::ostream& err, const UserMessage& message, const std::string& context = {});

/// Reads the model file at `path` into `model`, whatever its size; the read message when it cannot.
/// Every model format the batch command takes goes through here.
IoResult LoadBatchModel(const std::string& path, SolidModel& model);

/// True when the window's compute command takes a model of these counts (ModelTooLarge is false).
bool WithinWindowLimits(const SolidModel& model);

/// The summary figures of a model and, when computed, its results.
ModelStatistics GatherStatistics(const SolidModel& model, const SolidResults* results);

// Where the command runs: its process among `processes` under MPI (the
// first, 0, prints and writes), and whether standard error is a terminal.
struct BatchEnvironment {
  int rank = 0;
  int processes = 1;
  bool terminal = false;
};

// The whole command; returns the exit code. The sparse solvers need the
// program's ParallelSession.
int RunBatch(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
             const BatchEnvironment& environment = {});

}  // namespace qor
