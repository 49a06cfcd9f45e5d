#pragma once

#include <cstdint>
#include <vector>

#include "solid/SolidModel.h"

namespace qor {

// A degree of freedom that moves without straining the model, when the
// supports leave a part of it free: 0 when every part is held.
struct FreeMotion {
  std::int32_t dof = 0;
};

/// The rigidity check of a model of any size (see Rigidity.cpp): elements sharing a face are one rigid
/// part, parts sharing three non-collinear nodes merge, fully held nodes and held parts are the ground,
/// and a part joins the ground when its supports and its nodes on the ground stop all six rigid-body
/// motions. `stiff[e]` says whether element e has stiffness (false: a density of 0); empty means all.
/// Returns the degree of freedom that moves most in the free motion of the first part left free,
/// or of a node in no stiff element; dof 0 when the model is held.
FreeMotion FindFreeMotion(const SolidModel& model, const std::vector<bool>& stiff = {});

}  // namespace qor
