#include <cmath>

#include "analysis/SolverWorkspace.h"

namespace qor {

double ReducedStress(double s1, double s2, double s3, double s4, double s5, double s6) {
  const double s = s1 * s1 + s2 * s2 + s3 * s3 - s1 * s2 - s1 * s3 - s2 * s3 + 3.0 * (s4 * s4 + s5 * s5 + s6 * s6);
  return s >= 0.0 ? std::sqrt(s) : 0.0;
}

bool RecoverStresses(SolverWorkspace& ws) {
  for (int e = 1; e <= ws.ElementCount; ++e) {
    const std::int32_t m = ws.ElementMaterials[e];
    double det = 0;
    if (!BuildElasticity(ws.MaterialE[m], ws.MaterialNu[m], ElasticityVariant::Stress, ws.D) ||
        !BuildStrainDisplacement(CornersOf(ws, e), ws.B, det)) {
      ws.Status = SolveStressError;
      ws.FailureElement = e;
      return false;
    }
    MultiplyDB(ws.D, ws.B, ws.DB);

    double ue[13];
    for (int a = 1; a <= 4; ++a) {
      for (int c = 1; c <= 3; ++c) ue[3 * (a - 1) + c] = ws.Rhs[3 * (ws.ElementNodes[e][a] - 1) + c];
    }
    auto& out = ws.ElementStresses[e];
    for (int k = 1; k <= 6; ++k) {
      double sigma = 0.0;
      for (int j = 1; j <= 12; ++j) sigma += ws.DB[k][j] * ue[j];
      out[k] = sigma;
    }
    out[7] = ReducedStress(out[1], out[2], out[3], out[4], out[5], out[6]);
  }
  return true;
}

}  // namespace qor
