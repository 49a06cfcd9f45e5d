#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "solid/Progress.h"

namespace qor {

// Progress of a batch run on standard error: each stage with its time, and
// within a stage its latest detail (iterations and residual). Nothing shows
// while the run is younger than a second, so quick runs stay silent; once it
// is older, the stages held back are shown too. On a terminal one line is
// rewritten after a carriage return; elsewhere (a log, a pipe) each finished
// stage gets a line of its own. Plain text, no colour codes.
class StageProgress : public Progress {
 public:
  // Seconds on a steady clock; tests pass their own.
  using Clock = std::function<double()>;
  static double SteadySeconds();

  StageProgress(std::ostream& err, bool terminal, bool quiet, Clock clock = SteadySeconds);
  void BeginStage(std::string_view name) override;
  void Update(std::string_view detail) override;
  void EndStage() override;
  // Ends the terminal's line; call once at the end of the run.
  void Finish();

  // Seconds after which progress shows.
  static constexpr double Delay = 1.0;

 private:
  bool Showing();
  void Show(const std::string& line, bool finished);

  std::ostream& err_;
  bool terminal_, quiet_;
  Clock clock_;
  double runStart_, stageStart_ = 0;
  std::string stage_, detail_;
  std::vector<std::string> held_;  // finished stages not shown yet
  bool showing_ = false;
  std::size_t lineLength_ = 0;  // of the terminal's current line
};

}  // namespace qor
