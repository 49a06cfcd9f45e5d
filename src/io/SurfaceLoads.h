#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "solid/SolidModel.h"

namespace qor {

// A face of the solid's boundary: a tetrahedron face that belongs to that one
// tetrahedron only, its corners ordered so that (b − a) × (c − a) points out
// of the solid.
struct BoundaryFace {
  std::array<std::int32_t, 3> nodes{};
  std::int32_t element = 0;
};

// The corners of a face in ascending order: the same key whichever
// tetrahedron or surface triangle names it.
using FaceKey = std::array<std::int32_t, 3>;
FaceKey KeyOf(const std::array<std::int32_t, 3>& corners);

/// The boundary faces of the model, ordered by KeyOf. A tetrahedron face is on the boundary when no
/// other tetrahedron has the same three corners.
std::vector<BoundaryFace> FindBoundaryFaces(const SolidModel& model);

/// The boundary face with the corners of `key`, or nullptr when no boundary face has them.
const BoundaryFace* FindBoundaryFace(const std::vector<BoundaryFace>& boundary, const FaceKey& key);

/// Twice the area vector of a face, (b − a) × (c − a), in double precision from the float coordinates.
std::array<double, 3> DoubleAreaVector(const SolidModel& model, const std::array<std::int32_t, 3>& corners);

/// Total area of the faces.
double FacesArea(const SolidModel& model, const std::vector<BoundaryFace>& faces);

/// A uniform traction over `faces` whose integral is `total`: a face of area A carries total·A/ΣA,
/// a third of it at each corner. `loads` holds one entry per degree of freedom (DofOf), entry 0 unused.
/// Faces of zero total area add nothing.
void AddTractionLoads(const SolidModel& model, const std::vector<BoundaryFace>& faces,
                      const std::array<double, 3>& total, std::vector<double>& loads);

/// A pressure p on `faces`: a face of area A carries p·A against its outward normal (into the solid),
/// a third of it at each corner.
void AddPressureLoads(const SolidModel& model, const std::vector<BoundaryFace>& faces, double p,
                      std::vector<double>& loads);

}  // namespace qor
