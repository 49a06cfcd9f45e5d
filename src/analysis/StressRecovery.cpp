#include <cmath>

#include "analysis/SolverWorkspace.h"

namespace qor {

float ReducedStress(float s1, float s2, float s3, float s4, float s5, float s6) {
  // Widened so that the squares of large stresses cannot overflow.
  const double a = s1, b = s2, c = s3, d = s4, e = s5, f = s6;
  const double s = a * a + b * b + c * c - a * b - a * c - b * c + 3.0 * (d * d + e * e + f * f);
  return s >= 0.0 ? static_cast<float>(std::sqrt(s)) : 0.0f;
}

bool RecoverStresses(SolverWorkspace& ws) {
  for (int e = 1; e <= ws.ElementCount; ++e) {
    const std::int32_t m = ws.ElementMaterials[e];
    float det = 0;
    if (!BuildElasticity(ws.MaterialE[m], ws.MaterialNu[m], ElasticityVariant::Stress, ws.D) ||
        !BuildStrainDisplacement(CornersOf(ws, e), ws.B, det)) {
      ws.Status = SolveStressError;
      return false;
    }
    MultiplyDB(ws.D, ws.B, ws.DB);

    float ue[13];
    for (int a = 1; a <= 4; ++a) {
      for (int c = 1; c <= 3; ++c) ue[3 * (a - 1) + c] = ws.Rhs[3 * (ws.ElementNodes[e][a] - 1) + c];
    }
    auto& out = ws.ElementStresses[e];
    for (int k = 1; k <= 6; ++k) {
      float sigma = 0.0f;
      for (int j = 1; j <= 12; ++j) sigma += ws.DB[k][j] * ue[j];
      out[k] = sigma;
    }
    out[7] = ReducedStress(out[1], out[2], out[3], out[4], out[5], out[6]);
  }
  return true;
}

}  // namespace qor
