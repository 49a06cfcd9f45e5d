#include "batch/StageProgress.h"

#include <chrono>
#include <cstdio>
#include <ostream>

namespace qor {
namespace {

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f s", seconds);
  return text;
}

}  // namespace

double StageProgress::SteadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

StageProgress::StageProgress(std::ostream& err, bool terminal, bool quiet, Clock clock)
    : err_(err), terminal_(terminal), quiet_(quiet), clock_(std::move(clock)), runStart_(clock_()) {}

bool StageProgress::Showing() {
  if (quiet_) return false;
  if (!showing_ && clock_() - runStart_ > Delay) {
    showing_ = true;
    for (const std::string& line : held_) Show(line, true);
    held_.clear();
  }
  return showing_;
}

void StageProgress::Show(const std::string& line, bool finished) {
  if (!terminal_) {
    if (finished) err_ << line << '\n';
    return;
  }
  // Blanks over what is left of a longer previous line.
  const std::size_t length = line.size();
  err_ << '\r' << line;
  if (lineLength_ > length) err_ << std::string(lineLength_ - length, ' ');
  err_ << std::flush;
  lineLength_ = length;
}

void StageProgress::BeginStage(std::string_view name) {
  stage_ = name;
  detail_.clear();
  stageStart_ = clock_();
  if (Showing()) Show(stage_ + "...", false);
}

void StageProgress::Update(std::string_view detail) {
  detail_ = detail;
  if (Showing()) Show(stage_ + ": " + detail_ + " (" + Seconds(clock_() - stageStart_) + ")", false);
}

void StageProgress::EndStage() {
  std::string line = stage_ + ": " + Seconds(clock_() - stageStart_);
  if (!detail_.empty()) line += " (" + detail_ + ")";
  if (Showing())
    Show(line, true);
  else
    held_.push_back(line);
}

void StageProgress::Finish() {
  if (terminal_ && showing_ && lineLength_ > 0) err_ << '\n' << std::flush;
  lineLength_ = 0;
}

}  // namespace qor
