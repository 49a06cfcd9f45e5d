#pragma once

#include <string_view>

namespace qor {

// Where long work reports how far it is: the stages of a computation
// ("Odczyt", "Kontrola", "Składanie", "Rozwiązanie", "Naprężenia", "Zapis")
// and, within a stage, a line of detail such as the iteration count and the
// residual. The default does nothing, for work nobody watches.
class Progress {
 public:
  virtual ~Progress() = default;
  virtual void BeginStage(std::string_view /*name*/) {}
  virtual void Update(std::string_view /*detail*/) {}
  virtual void EndStage() {}
};

}  // namespace qor
