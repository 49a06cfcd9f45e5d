#pragma once

#include "model/ModelStore.h"

namespace qor {

// The stress arrays of a .vtu's cell data, text or binary, in the order of the
// results browser's stress block: the normal stresses, the shear stresses and
// the reduced stress, named as the browser names them.
struct VtuStressArray {
  const char* name;
  StressKind kind;
};
inline constexpr VtuStressArray VtuStressArrays[] = {
    {"Naprężenie x", SigmaX}, {"Naprężenie y", SigmaY}, {"Naprężenie z", SigmaZ},     {"Naprężenie yz", TauYZ},
    {"Naprężenie xz", TauXZ}, {"Naprężenie xy", TauXY}, {"Naprężenie red.", Reduced},
};

}  // namespace qor
