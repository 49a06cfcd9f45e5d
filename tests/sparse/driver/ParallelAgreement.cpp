// Solves one model on however many processes mpirun starts and, on the first
// process, either writes the results (--write FILE) or compares them with a
// file written by another run (--compare FILE): every displacement and every
// stress to 1e-8 of the largest of its kind.
// Exit code 0 when the solves succeed and agree.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "analysis/BlockMesh.h"
#include "sparse/LargeCantilever.h"
#include "sparse/SanitizerOptions.h"
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

struct Solved {
  std::vector<double> u;
  std::vector<double> stresses;  // 7 per element
};

bool Compare(const std::vector<double>& a, const std::vector<double>& b, const char* what) {
  if (a.size() != b.size()) {
    std::fprintf(stderr, "%s: %zu values against %zu\n", what, a.size(), b.size());
    return false;
  }
  double largest = 0, worst = 0;
  for (double v : a) largest = std::max(largest, std::fabs(v));
  bool ok = true;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const double difference = std::fabs(a[i] - b[i]);
    worst = std::max(worst, difference);
    if (!(difference <= 1e-8 * largest)) ok = false;
  }
  std::printf("%s: largest %.6e, largest difference %.3e (%.2e of the largest)\n", what, largest, worst,
              largest > 0 ? worst / largest : 0.0);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  ParallelSession session(&argc, &argv);
  if (argc != 3) return 1;
  const std::string mode = argv[1], path = argv[2];
  const SolidModel model = BuildModel();
  std::vector<Solved> runs;
  for (SparseSolver solver : {SparseSolver::Direct, SparseSolver::Iterative}) {
    SparseOptions options;
    options.solver = solver;
    Solved s;
    options.solvedDisplacements = &s.u;
    SolidResults results;
    const SparseOutcome outcome = SolveSparse(model, options, results);
    if (!outcome.succeeded || outcome.fellBackToDirect) {
      if (session.Rank() == 0) std::fprintf(stderr, "failed: %s\n", outcome.message.detail.c_str());
      return 1;
    }
    // The stresses in double from the solved displacements, through the kernel
    // the solver uses: the stored floats could not show a difference of 1e-8.
    double stress[8];
    for (std::int32_t e = 1; session.Rank() == 0 && e <= model.ElementCount(); ++e) {
      if (!qortest::StressesFrom(model, s.u, e, stress)) return 1;
      s.stresses.insert(s.stresses.end(), stress + 1, stress + 8);
    }
    runs.push_back(s);
  }
  if (session.Rank() != 0) return 0;
  std::printf("%d processes, %d degrees of freedom\n", session.Size(), model.DofCount());
  if (mode == "--write") {
    std::ofstream out(path, std::ios::binary);
    for (const Solved& s : runs)
      for (const auto* v : {&s.u, &s.stresses}) {
        const std::size_t n = v->size();
        out.write(reinterpret_cast<const char*>(&n), sizeof n);
        out.write(reinterpret_cast<const char*>(v->data()), static_cast<std::streamsize>(n * sizeof(double)));
      }
    return out ? 0 : 1;
  }
  std::ifstream in(path, std::ios::binary);
  bool ok = static_cast<bool>(in);
  for (const Solved& s : runs) {
    for (const auto* v : {&s.u, &s.stresses}) {
      std::size_t n = 0;
      in.read(reinterpret_cast<char*>(&n), sizeof n);
      if (!in || n > 100000000) return 1;
      std::vector<double> reference(n);
      in.read(reinterpret_cast<char*>(reference.data()), static_cast<std::streamsize>(n * sizeof(double)));
      ok = Compare(reference, *v, v == &s.stresses ? "stresses" : "displacements") && ok && in;
    }
  }
  std::printf(ok ? "agree\n" : "DISAGREE\n");
  return ok ? 0 : 1;
}
