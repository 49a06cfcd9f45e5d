#include "build/Deletion.h"

#include <optional>

#include "build/NodeMerging.h"
#include "build/NodeRemoval.h"
#include "platform/NumberText.h"

namespace qor {
namespace {

// The typed number when it lies in 1..count.
std::optional<std::int32_t> ItemNumber(const std::string& answer, std::int32_t count) {
  const std::optional<std::int32_t> n = ParseInt(answer);
  if (!n || *n <= 0 || *n > count) return std::nullopt;
  return n;
}

CommandOutcome Plain(std::string text) {
  CommandOutcome outcome;
  outcome.message = UserMessage{std::move(text), "", MessageStyle::Plain};
  outcome.plainMessage = true;
  return outcome;
}

CommandOutcome Changed(ModelStore& store) {
  store.ResultsValid = 0;
  CommandOutcome outcome;
  outcome.repaint = true;
  return outcome;
}

constexpr const char* BadNodeNumber = "Podałeś nieprawidłowy numer węzła";

}  // namespace

CommandOutcome DeleteElement(ModelStore& store, const std::string& answer) {
  const std::optional<std::int32_t> n = ItemNumber(answer, store.ElementCount);
  if (!n) return Plain("Podałeś nieprawidłowy numer elementu");
  for (std::int32_t e = *n; e < store.ElementCount; ++e) {
    store.Elements[e] = store.Elements[e + 1];
    // The stiffness multiplier read from the file belongs to the element, so
    // it moves with it.
    Densities[e] = Densities[e + 1];
  }
  --store.ElementCount;
  return Changed(store);
}

CommandOutcome DeleteNode(ModelStore& store, const std::string& answer) {
  const std::optional<std::int32_t> n = ItemNumber(answer, store.NodeCount);
  if (!n || NodeUsedByElement(store, *n) || NodeSupported(store, *n))
    return Plain("Podałeś nieprawidłowy numer węzła\nlub węzeł podparty\nlub będący składnikiem elementu");
  RemoveNode(store, *n);
  return Changed(store);
}

CommandOutcome DeleteForce(ModelStore& store, const std::string& answer) {
  const std::optional<std::int32_t> n = ItemNumber(answer, store.NodeCount);
  if (!n) return Plain(BadNodeNumber);
  for (int c = 1; c <= 3; ++c) SetForceEntry(store, DofOf(*n, c), 0.0f);
  return Changed(store);
}

CommandOutcome DeleteSupports(ModelStore& store, const std::string& answer) {
  const std::optional<std::int32_t> n = ItemNumber(answer, store.NodeCount);
  if (!n) return Plain(BadNodeNumber);
  const std::int32_t lo = DofOf(*n, 1), hi = DofOf(*n, 3);
  if (RemoveSupportRows(store, [lo, hi](std::int32_t dof) { return dof >= lo && dof <= hi; }) == 0)
    return Plain("W tym węźle nie podpór");
  return Changed(store);
}

CommandOutcome RemoveFreeNodes(ModelStore& store) {
  std::int32_t removed = 0;
  std::int32_t v = 1;
  while (v <= store.NodeCount) {
    if (!NodeUsedByElement(store, v) && !NodeSupported(store, v)) {
      RemoveNode(store, v);
      ++removed;
    } else {
      ++v;
    }
  }
  CommandOutcome outcome = Plain("Usnięto " + std::to_string(removed) + " węzłów.");
  outcome.repaint = removed > 0;
  return outcome;
}

}  // namespace qor
