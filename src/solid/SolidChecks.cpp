#include "solid/SolidChecks.h"

#include <cmath>
#include <string>
#include <vector>

#include "analysis/ComputeCommand.h"
#include "analysis/ElementMatrices.h"
#include "solid/Rigidity.h"
#include "solid/SolidElements.h"

namespace qor {
namespace {

UserMessage Failed(std::string detail) {
  UserMessage message = ComputationFailedMessage();
  message.detail = std::move(detail);
  return message;
}

bool NodeInAnyElement(const SolidModel& model, std::int32_t node) {
  for (std::int32_t e = 1; e <= model.ElementCount(); ++e)
    for (int a = 1; a <= 4; ++a)
      if (model.Elements[e].node[a] == node) return true;
  return false;
}

// The element's fault in the band path's words, in the order its assembly meets them; nothing when sound.
std::optional<std::string> ElementFault(const SolidModel& model, std::int32_t e, bool useDensities) {
  const ElementRow& element = model.Elements[e];
  const std::int32_t m = element.material;
  if (m < 1 || m > model.MaterialCount() || !MaterialConstantsValid(model.Materials[m].E, model.Materials[m].nu))
    return MaterialFailureDetail(m);
  const float rho = useDensities ? model.Densities[e] : 1.0f;
  if (!(std::isfinite(rho) && rho >= 0.0f)) return ElementFailureDetail(e, rho);
  Matrix6x12 B;
  double det = 0;
  if (!BuildStrainDisplacement(CornersOf(model, e), B, det) || !std::isfinite(det)) return ElementFailureDetail(e, rho);
  return std::nullopt;
}

}  // namespace

std::optional<UserMessage> CheckSolidModel(const SolidModel& model, bool useDensities) {
  // The cause lines of a failed computation say, as the band path's do, that
  // the file's factors were applied.
  auto Failed = [useDensities](std::string detail) {
    UserMessage failed = qor::Failed(std::move(detail));
    if (useDensities) AddDensitiesNote(failed);
    return failed;
  };
  if (auto missing = MissingModelData(model.ElementCount(), model.MaterialCount(), model.SupportCount()))
    return missing;
  // An element with a density of 0 adds no stiffness: it holds nothing together.
  std::vector<bool> stiff(static_cast<std::size_t>(model.ElementCount()) + 1, true);
  for (std::int32_t e = 1; e <= model.ElementCount(); ++e) {
    if (auto fault = ElementFault(model, e, useDensities)) return Failed(*fault);
    stiff[e] = !useDensities || model.Densities[e] > 0.0f;
  }
  const FreeMotion free = FindFreeMotion(model, stiff);
  if (free.dof == 0) return std::nullopt;
  const std::int32_t node = (free.dof + 2) / 3;
  const std::string moves =
      std::string(" może się swobodnie przemieszczać w kierunku ") + "xyz"[(free.dof - 1) % 3] + ".";
  if (!NodeInAnyElement(model, node))
    return Failed("Węzeł " + std::to_string(node) + " nie należy do żadnego elementu i" + moves);
  return Failed("Węzeł " + std::to_string(node) + moves);
}

}  // namespace qor
