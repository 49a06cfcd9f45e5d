#include "solid/SolidModel.h"

#include <algorithm>

namespace qor {

void SolidModel::Resize(std::int32_t nodes, std::int32_t elements, std::int32_t materials, std::int32_t supports) {
  Nodes.assign(static_cast<std::size_t>(nodes) + 1, NodeRow{});
  Elements.assign(static_cast<std::size_t>(elements) + 1, ElementRow{});
  Materials.assign(static_cast<std::size_t>(materials) + 1, MaterialRow{});
  Supports.assign(static_cast<std::size_t>(supports) + 1, SupportRow{});
  Forces.assign(3 * static_cast<std::size_t>(nodes) + 1, 0.0f);
  Densities.assign(static_cast<std::size_t>(elements) + 1, 0.0f);
}

bool ReferencesInRange(const SolidModel& model, std::int32_t materialRows) {
  for (std::int32_t e = 1; e <= model.ElementCount(); ++e) {
    const ElementRow& el = model.Elements[e];
    for (int k = 1; k <= 4; ++k)
      if (el.node[k] < 1 || el.node[k] > model.NodeCount()) return false;
    if (el.material < 1 || el.material > materialRows) return false;
  }
  for (std::int32_t j = 1; j <= model.SupportCount(); ++j)
    if (model.Supports[j].dof < 1 || model.Supports[j].dof > model.DofCount()) return false;
  return model.Forces.size() == static_cast<std::size_t>(model.DofCount()) + 1 &&
         model.Densities.size() == model.Elements.size();
}

namespace {

// The first count of the model that the store cannot take, as a LimitKind; 0 when all fit.
std::int32_t FirstLimitExceeded(const SolidModel& model) {
  if (LimitReached(LimitNodes, model.NodeCount())) return LimitNodes;
  if (LimitReached(LimitElements, model.ElementCount())) return LimitElements;
  if (LimitReached(LimitMaterials, model.MaterialCount())) return LimitMaterials;
  if (LimitReached(LimitSupports, model.SupportCount())) return LimitSupports;
  return 0;
}

}  // namespace

bool FitsStore(const SolidModel& model) { return FirstLimitExceeded(model) == 0; }

std::optional<UserMessage> CopyToStore(const SolidModel& model, ModelStore& store,
                                       std::array<float, ElementCapacity + 1>& densities) {
  if (const std::int32_t kind = FirstLimitExceeded(model)) return LimitMessage(kind);
  store.NodeCount = model.NodeCount();
  store.ElementCount = model.ElementCount();
  store.MaterialCount = model.MaterialCount();
  store.SupportCount = model.SupportCount();
  store.DofCount = model.DofCount();
  std::copy(model.Nodes.begin() + 1, model.Nodes.end(), store.Nodes.begin() + 1);
  std::copy(model.Elements.begin() + 1, model.Elements.end(), store.Elements.begin() + 1);
  std::copy(model.Materials.begin() + 1, model.Materials.end(), store.Materials.begin() + 1);
  std::copy(model.Supports.begin() + 1, model.Supports.end(), store.Supports.begin() + 1);
  std::fill(store.Forces.begin(), store.Forces.end(), 0.0f);
  std::copy(model.Forces.begin() + 1, model.Forces.end(), store.Forces.begin() + 1);
  std::copy(model.Densities.begin() + 1, model.Densities.end(), densities.begin() + 1);
  store.ResultsValid = 0;
  return std::nullopt;
}

SolidModel SolidModelFromStore(const ModelStore& store, const std::array<float, ElementCapacity + 1>& densities) {
  SolidModel model;
  model.Resize(store.NodeCount, store.ElementCount, store.MaterialCount, store.SupportCount);
  std::copy_n(store.Nodes.begin() + 1, store.NodeCount, model.Nodes.begin() + 1);
  std::copy_n(store.Elements.begin() + 1, store.ElementCount, model.Elements.begin() + 1);
  std::copy_n(store.Materials.begin() + 1, store.MaterialCount, model.Materials.begin() + 1);
  std::copy_n(store.Supports.begin() + 1, store.SupportCount, model.Supports.begin() + 1);
  std::copy_n(store.Forces.begin() + 1, 3 * store.NodeCount, model.Forces.begin() + 1);
  std::copy_n(densities.begin() + 1, store.ElementCount, model.Densities.begin() + 1);
  return model;
}

SolidResults SolidResultsFromStore(const ModelStore& store) {
  SolidResults results;
  results.Displacements.assign(store.Displacements.begin(), store.Displacements.begin() + 3 * store.NodeCount + 1);
  results.Stresses.assign(store.Stresses.begin(), store.Stresses.begin() + store.ElementCount + 1);
  return results;
}

}  // namespace qor
