// Solves one model on every process that mpirun starts, then on the first
// process alone, with both sparse solvers, and compares: every displacement
// and every stress to 1e-8 of the largest of its kind. Exit code 0 when the
// solves succeed and agree.

#include <petscsys.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "analysis/BlockMesh.h"
#include "sparse/SanitizerOptions.h"
#include "sparse/SolidElements.h"
#include "sparse/SparseSolve.h"

namespace {

using namespace qor;

// A cantilever with a second, stiffer material in its upper half, a
// prescribed end displacement, and its nodes numbered at random, so that
// every process owns scattered node numbers.
SolidModel BuildModel() {
  ModelStore s;
  qortest::BuildCantilever(s, 20, 3, 3, 0.5f, 2.0f);
  s.Materials[++s.MaterialCount] = {50000.0f, 0.25f};
  for (int e = 1; e <= s.ElementCount; ++e) {
    float z = 0;
    for (int a = 1; a <= 4; ++a) z += s.Nodes[s.Elements[e].node[a]].z;
    if (z > 3.0f) s.Elements[e].material = 2;
  }
  for (int n : qortest::NodesWhere(s, 0, 10.0f))
    if (s.Nodes[n].z == 0.0f) qortest::AddSupport(s, n, 1, 1);
  qortest::Renumber(s, qortest::RandomPermutation(s.NodeCount, 17));
  std::array<float, ElementCapacity + 1> densities;
  densities.fill(1.0f);
  return SolidModelFromStore(s, densities);
}

// The displacements and then the stresses in double (the stored floats could
// not show a difference of 1e-8), on the first process; empty on failure.
std::vector<double> Solve(const SolidModel& model, SparseSolver solver, std::size_t& dofs) {
  SparseOptions options;
  options.solver = solver;
  std::vector<double> values;
  options.solvedDisplacements = &values;
  SolidResults results;
  const SparseOutcome outcome = SolveSparse(model, options, results);
  if (!outcome.succeeded || outcome.fellBackToDirect) return {};
  dofs = values.size();
  double stress[8];
  for (std::int32_t e = 1; e <= model.ElementCount() && !values.empty(); ++e) {
    if (!ElementStressesOf(model, values, e, stress)) return {};
    values.insert(values.end(), stress + 1, stress + 8);
  }
  return values;
}

bool Agree(const std::vector<double>& a, const std::vector<double>& b, std::size_t from, std::size_t to,
           const char* what) {
  double largest = 0, worst = 0;
  for (std::size_t i = from; i < to; ++i) {
    largest = std::max(largest, std::fabs(a[i]));
    worst = std::max(worst, std::fabs(a[i] - b[i]));
  }
  std::printf("%s: largest %.6e, largest difference %.3e (%.2e of the largest)\n", what, largest, worst,
              largest > 0 ? worst / largest : 0.0);
  return worst <= 1e-8 * largest;
}

}  // namespace

int main(int argc, char** argv) {
  ParallelSession session(&argc, &argv);
  const SolidModel model = BuildModel();
  bool ok = true;
  for (SparseSolver solver : {SparseSolver::Direct, SparseSolver::Iterative}) {
    std::size_t dofs = 0, alone = 0;
    const std::vector<double> shared = Solve(model, solver, dofs);
    if (session.Rank() != 0) continue;
    // The same solver on this process alone: PETSc's objects on its own communicator.
    const MPI_Comm world = PETSC_COMM_WORLD;
    PETSC_COMM_WORLD = PETSC_COMM_SELF;
    const std::vector<double> single = Solve(model, solver, alone);
    PETSC_COMM_WORLD = world;
    std::printf("%d processes against 1, %d degrees of freedom\n", session.Size(), model.DofCount());
    ok = !shared.empty() && shared.size() == single.size() && dofs == alone &&
         Agree(single, shared, 1, dofs, "displacements") && Agree(single, shared, dofs, shared.size(), "stresses") &&
         ok;
  }
  if (session.Rank() == 0) std::printf(ok ? "agree\n" : "DISAGREE\n");
  return ok ? 0 : 1;
}
