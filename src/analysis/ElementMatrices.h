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

// The two element kernels every solver path calls, so that the band and the
// sparse paths compute each element with the same arithmetic, bit for bit.

/// Ke = |det|·rho/6 · Bᵀ·D·B of one element (D of the stiffness variant). False when D or B cannot be
/// built or det is not finite; Ke is then unspecified.
bool ElementStiffness(const TetCorners& corners, double E, double nu, double rho, Matrix12x12& Ke);

/// stress[1..6] = D·B·u (D of the stress variant) from the element's nodal displacements u[1..12],
/// stress[7] the reduced stress of those six. False when D or B cannot be built.
bool ElementStresses(const TetCorners& corners, double E, double nu, const double u[13], double stress[8]);

/// sqrt(s1² + s2² + s3² - s1s2 - s1s3 - s2s3 + 3(s4² + s5² + s6²)), or 0 when the sum is negative.
double ReducedStress(double s1, double s2, double s3, double s4, double s5, double s6);

}  // namespace qor
