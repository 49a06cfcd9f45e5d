#include "analysis/SolverWorkspace.h"

namespace qor {

bool RecoverStresses(SolverWorkspace& ws) {
  for (int e = 1; e <= ws.ElementCount; ++e) {
    const std::int32_t m = ws.ElementMaterials[e];
    double ue[13];
    for (int a = 1; a <= 4; ++a) {
      for (int c = 1; c <= 3; ++c) ue[3 * (a - 1) + c] = ws.Rhs[3 * (ws.ElementNodes[e][a] - 1) + c];
    }
    if (!ElementStresses(CornersOf(ws, e), ws.MaterialE[m], ws.MaterialNu[m], ue, ws.ElementStresses[e].data())) {
      ws.Status = SolveStressError;
      ws.FailureElement = e;
      return false;
    }
  }
  return true;
}

}  // namespace qor
