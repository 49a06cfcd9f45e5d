#pragma once

#include <array>

namespace qor {

// Small fixed matrices of one tetrahedron, indexed from 1 (row and column 0
// unused). The analysis works in double precision from the model's float
// inputs: single-precision element matrices lose several digits on slender or
// mixed-stiffness models before the elimination even starts.
using Matrix6x6 = std::array<std::array<double, 7>, 7>;
using Matrix6x12 = std::array<std::array<double, 13>, 7>;
using Matrix12x12 = std::array<std::array<double, 13>, 13>;

// Which shear term D carries: the assembly uses (0.5 - nu)·E/c, the stress
// recovery 0.5·E/(1 + nu). Both are the same number in exact arithmetic.
enum class ElasticityVariant { Stiffness, Stress };

// The four corners of an element, corner a at x[a], y[a], z[a] (a = 1..4).
struct TetCorners {
  double x[5] = {}, y[5] = {}, z[5] = {};
};

/// D of an isotropic material, c = (1 - 2nu)(1 + nu), d = E / c.
/// False (D untouched) when c is exactly 0, or for the stress variant when 1 + nu is exactly 0.
bool BuildElasticity(double E, double nu, ElasticityVariant variant, Matrix6x6& D);

/// B of the linear tetrahedron with corner 4 as reference; det = six times the signed volume.
/// False (B untouched) when det is exactly 0.
bool BuildStrainDisplacement(const TetCorners& corners, Matrix6x12& B, double& det);

/// DB = D·B, each entry summed over l = 1..6 in increasing order from 0.
void MultiplyDB(const Matrix6x6& D, const Matrix6x12& B, Matrix6x12& DB);

/// Ke = |det|·rho/6 · Bᵀ·DB, each entry's sum over l = 1..6 taken in increasing l from 0.
void BuildElementStiffness(const Matrix6x12& B, const Matrix6x12& DB, double det, double rho, Matrix12x12& Ke);

}  // namespace qor
