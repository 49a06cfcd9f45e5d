// qor3d-batch: computes a saved model without a window and writes its results.
#include <clocale>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "batch/BatchCommand.h"

int main(int argc, char* argv[]) {
  // The window runs in the user's locale (the toolkit adopts it at start-up);
  // so does the batch, so that both write their files under the same
  // conditions. Every number that leaves the program is locale-independent.
  std::setlocale(LC_ALL, "");
  try {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return qor::RunBatch(arguments, std::cout, std::cerr);
  } catch (const std::exception& error) {
    std::cerr << error.what() << '\n';
    return qor::BatchBadInput;
  }
}
