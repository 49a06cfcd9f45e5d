#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "model/ModelStatistics.h"
#include "platform/UserMessage.h"

namespace qor {

// The command qor3d-batch: reads a saved model, computes it as the window's
// compute command does, prints a summary and writes the requested result files.

// Exit codes.
enum BatchExit : int { BatchComputed = 0, BatchBadInput = 1, BatchRefused = 2 };

struct BatchOptions {
  std::string model;
  std::string vtk, nodesCsv, elementsCsv, save;  // empty: not wanted
  bool densities = false;
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

// The whole command; returns the exit code.
int RunBatch(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace qor
