#pragma once

namespace qor {

/// Gaussian elimination with diagonal pivoting of the symmetric positive semi-definite 6 × 6 matrix G
/// (G = AᵀA of the six rigid-body motions at the supported degrees of freedom). True when every pivot
/// exceeds `negligible` times G's largest diagonal; otherwise `motion` receives a vector that G (nearly)
/// maps to zero. G is overwritten.
bool FullRank6(double G[6][6], double negligible, double motion[6]);

}  // namespace qor
