#include "model/ModelStore.h"

#include <cmath>

namespace qor {

std::array<float, ElementCapacity + 1> Densities{};

bool MaterialConstantsValid(float E, float nu) { return std::isfinite(E) && E > 0 && nu > -1.0f && nu < 0.5f; }

bool LimitReached(std::int32_t kind, std::int32_t value) {
  switch (kind) {
    case LimitElements: return value >= ElementLimit;
    case LimitNodes: return value >= NodeLimit;
    case LimitDofs: return value >= DofLimit;
    case LimitSupports: return value >= SupportLimit;
    case LimitMaterials: return value >= MaterialLimit;
    default: return false;
  }
}

UserMessage LimitMessage(std::int32_t kind) {
  switch (kind) {
    case LimitSupports:
      return {"Osiągnięto maksymalną liczbe podpór", "Kontrola liczby podpór", MessageStyle::Plain};
    case LimitMaterials:
      return {"Osiągnięto maksymalną liczbe materiałów", "Kontrola liczby materiałów", MessageStyle::Plain};
    default:
      return {"Osiągnięto maksymalną liczbe elementów", "Kontrola liczby elementów", MessageStyle::Plain};
  }
}

void ClearModel(ModelStore& store) {
  store.NodeCount = 0;
  store.ElementCount = 0;
  store.SupportCount = 0;
  store.MaterialCount = 0;
  store.ResultsValid = 0;
}

}  // namespace qor
