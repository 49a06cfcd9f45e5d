// The band solver, with the kernels of each instruction set this processor
// executes, against LAPACKE's double banded Cholesky (dpbsv, one thread) on the
// same band, for block meshes of about 600, 1200 and 1995 degrees of freedom
// numbered well (along the bar) and at random; and the assembly and the whole
// compute command at the largest model. Names the library dpbsv came from and
// the BLAS core it runs, and prints for each variant measured
//   compute[VARIANT] at 1995 dofs, random: ... ratio R
//   solver[VARIANT]/dpbsv at 1995 dofs: good R1, random R2
// and ends with the same lines for the variant the program dispatches to:
//   compute at 1995 dofs, random: ... ratio R
//   solver/dpbsv at 1995 dofs: good R1, random R2
// where R1 and R2 are the ratios of the median CPU times.
//
// The BLAS picks its kernels when it loads, so comparing a variant with dpbsv
// on kernels of the same instruction-set class takes one process per variant
// (scripts/run-bench.sh runs them):
//   --qor_variant=avx512f|avx2|default  only that variant, its compute command
//                                       forced onto it; nothing on a processor
//                                       that cannot execute it
//   --qor_variant=dispatched            only the dispatched variant, the last lines
//   --qor_core_in_name                  name the BLAS core in the ratio line,
//                                       solver[VARIANT]/dpbsv(CORE)
// Without --qor_variant every variant and the dispatched lines, in one process.

#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <lapacke.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "analysis/BlockMesh.h"
#include "analysis/ComputeCommand.h"
#include "analysis/SolverWorkspace.h"

namespace {

using namespace qor;
using namespace qortest;

// A bar of 2 × 2 cells in section fixed at x = 0 and loaded at its end; the
// largest one carries a stub of two more cells to reach 665 nodes.
void BuildBar(ModelStore& s, int length, bool stub) {
  std::vector<Cell> cells = BoxCells(length, 2, 2);
  if (stub) {
    cells.push_back({length, 0, 0});
    cells.push_back({length + 1, 0, 0});
  }
  BuildBlockMesh(s, cells, 1.0f, 1.0f, 1.0f, 1000.0f, 0.3f);
  for (int n : NodesWhere(s, 0, 0.0f))
    for (int c = 1; c <= 3; ++c) AddSupport(s, n, c);
  s.Forces[DofOf(s.NodeCount, 3)] = -1.0f;
  s.Forces[DofOf(s.NodeCount - 1, 2)] = 0.5f;
}

struct Problem {
  ModelStore store;
  int n = 0, w = 0;
  std::vector<double> band;  // rows 1..n of the assembled band, w entries each
  std::vector<double> rhs;   // 1..n
  std::vector<double> ab;    // the same matrix in LAPACK's upper band layout
};

Problem MakeProblem(int length, bool stub, bool random) {
  Problem p;
  BuildBar(p.store, length, stub);
  if (random) Renumber(p.store, RandomPermutation(p.store.NodeCount, 2024));
  p.store.DofCount = 3 * p.store.NodeCount;
  SolverWorkspace& ws = TheSolverWorkspace;
  FillWorkspace(p.store, false, ws);
  ws.DofCount = 3 * ws.NodeCount;
  ws.HalfBandwidth = ComputeHalfBandwidth(ws);
  AssembleBand(ws);
  p.n = ws.DofCount;
  p.w = ws.HalfBandwidth;
  p.band.resize(static_cast<std::size_t>(p.n) * p.w);
  p.rhs.assign(ws.Rhs.begin(), ws.Rhs.begin() + p.n + 1);
  // Column-major upper band with kd = w - 1: AB(kd + 1 + i - j, j) = A(i, j).
  const int kd = p.w - 1, ldab = kd + 1;
  p.ab.assign(static_cast<std::size_t>(ldab) * p.n, 0.0);
  for (int i = 1; i <= p.n; ++i) {
    for (int t = 1; t <= p.w; ++t) {
      p.band[static_cast<std::size_t>(i - 1) * p.w + (t - 1)] = ws.BandAt(i, t);
      const int j = i + t - 1;
      if (j <= p.n) p.ab[static_cast<std::size_t>(j - 1) * ldab + (kd + i - j)] = ws.BandAt(i, t);
    }
  }
  return p;
}

void LoadBand(const Problem& p, SolverWorkspace& ws) {
  ws.DofCount = p.n;
  ws.HalfBandwidth = p.w;
  for (int i = 1; i <= p.n; ++i)
    std::memcpy(ws.BandRow(i) + 1, &p.band[static_cast<std::size_t>(i - 1) * p.w], p.w * sizeof(double));
  std::copy(p.rhs.begin(), p.rhs.end(), ws.Rhs.begin());
}

struct SolverCase {
  const Problem* problem;
  EliminationVariant variant;
};

void SolverRun(benchmark::State& state, SolverCase c) {
  const Problem* p = c.problem;
  SolverWorkspace& ws = TheSolverWorkspace;
  for (auto _ : state) {
    state.PauseTiming();
    LoadBand(*p, ws);
    state.ResumeTiming();
    const bool ok = EliminateBand(ws, c.variant) && BackSubstitute(ws);
    if (!ok) state.SkipWithError("singular");
    benchmark::DoNotOptimize(ws.Rhs.data());
  }
  state.counters["dofs"] = p->n;
  state.counters["band"] = p->w;
}

void DpbsvRun(benchmark::State& state, const Problem* p) {
  std::vector<double> ab, b;
  for (auto _ : state) {
    state.PauseTiming();
    ab = p->ab;
    b.assign(p->rhs.begin() + 1, p->rhs.end());
    state.ResumeTiming();
    const lapack_int info = LAPACKE_dpbsv(LAPACK_COL_MAJOR, 'U', p->n, p->w - 1, 1, ab.data(), p->w, b.data(), p->n);
    if (info != 0) state.SkipWithError("dpbsv failed");
    benchmark::DoNotOptimize(b.data());
  }
  state.counters["dofs"] = p->n;
  state.counters["band"] = p->w;
}

void AssemblyRun(benchmark::State& state, const Problem* p) {
  SolverWorkspace& ws = TheSolverWorkspace;
  ModelStore& store = const_cast<ModelStore&>(p->store);
  FillWorkspace(store, false, ws);
  ws.DofCount = 3 * ws.NodeCount;
  for (auto _ : state) {
    ws.HalfBandwidth = ComputeHalfBandwidth(ws);
    if (!AssembleBand(ws)) state.SkipWithError("assembly failed");
    benchmark::DoNotOptimize(ws.Band.data());
  }
}

struct ComputeCase {
  const Problem* problem;
  std::optional<EliminationVariant> forced;  // none: the dispatched variant
};

void ComputeRun(benchmark::State& state, ComputeCase c) {
  const Problem* p = c.problem;
  static ModelStore store;
  if (c.forced) ForceEliminationVariant(*c.forced);
  for (auto _ : state) {
    state.PauseTiming();
    store = p->store;
    state.ResumeTiming();
    const ComputeOutcome outcome = ComputeModel(store, false);
    if (!outcome.succeeded) state.SkipWithError("compute failed");
    benchmark::DoNotOptimize(store.Displacements.data());
  }
  ResetEliminationVariant();
}

// Keeps the median (or, without repetitions, the single) CPU time of every
// benchmark. Both contenders run on one thread, and CPU time does not count
// the time the process waits while other programs use the cores.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  MedianReporter() : ConsoleReporter(OO_Tabular) {}  // no colour codes
  std::map<std::string, double> medians;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const std::string name = run.run_name.str();
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") medians[name] = run.GetAdjustedCPUTime();
      if (run.run_type == Run::RT_Iteration && !medians.count(name)) medians[name] = run.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

// The file a function was loaded from, with symbolic links (and so the
// alternatives of the distribution) resolved; "not found" when no loaded
// library exports it.
std::string LibraryOf(const char* symbol) {
  void* address = dlsym(RTLD_DEFAULT, symbol);
  Dl_info info{};
  if (!address || !dladdr(address, &info) || !info.dli_fname) return "not found";
  char resolved[PATH_MAX];
  return realpath(info.dli_fname, resolved) ? resolved : info.dli_fname;
}

// dpbsv on one thread whatever BLAS provides it: the thread-count variables
// for libraries that read them late, and the call of each known library that
// is loaded (they read their variables when loaded, before main runs).
void UseOneBlasThread() {
  for (const char* name : {"OPENBLAS_NUM_THREADS", "OMP_NUM_THREADS", "MKL_NUM_THREADS", "BLIS_NUM_THREADS"})
    setenv(name, "1", 1);
  for (const char* name : {"openblas_set_num_threads", "mkl_set_num_threads", "omp_set_num_threads"})
    if (void* set = dlsym(RTLD_DEFAULT, name)) reinterpret_cast<void (*)(int)>(set)(1);
  if (void* set = dlsym(RTLD_DEFAULT, "bli_thread_set_num_threads")) reinterpret_cast<void (*)(long)>(set)(1);
}

// The kernels OpenBLAS chose when it loaded (OPENBLAS_CORETYPE, or else the
// processor's own); empty for another BLAS.
std::string BlasCore() {
  void* corename = dlsym(RTLD_DEFAULT, "openblas_get_corename");
  const char* core = corename ? reinterpret_cast<const char* (*)()>(corename)() : nullptr;
  return core ? core : "";
}

void PrintBlas() {
  std::printf("dpbsv from %s, BLAS (dgemm) from %s\n", LibraryOf("dpbsv_").c_str(), LibraryOf("dgemm_").c_str());
  if (void* config = dlsym(RTLD_DEFAULT, "openblas_get_config")) {
    const char* text = reinterpret_cast<const char* (*)()>(config)();
    void* threads = dlsym(RTLD_DEFAULT, "openblas_get_num_threads");
    std::printf("%s, core %s, %d thread(s)\n", text ? text : "OpenBLAS", BlasCore().c_str(),
                threads ? reinterpret_cast<int (*)()>(threads)() : 1);
  }
  std::fflush(stdout);
}

// Removes the program's own options from argv before the benchmark library
// reads it; false with a message on an unknown variant.
struct Options {
  std::vector<EliminationVariant> variants;  // measured each on its own lines
  bool dispatched = true;                    // the closing lines
  bool coreInName = false;
};

bool ReadOptions(int& argc, char** argv, Options& options) {
  const std::string prefix = "--qor_variant=";
  std::optional<std::string> chosen;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind(prefix, 0) == 0)
      chosen = arg.substr(prefix.size());
    else if (arg == "--qor_core_in_name")
      options.coreInName = true;
    else
      argv[kept++] = argv[i];
  }
  argc = kept;
  const EliminationVariant all[] = {EliminationVariant::Avx512f, EliminationVariant::Avx2, EliminationVariant::Default};
  if (!chosen) {
    for (EliminationVariant v : all)
      if (VariantAvailable(v)) options.variants.push_back(v);
    return true;
  }
  if (*chosen == "dispatched") return true;
  options.dispatched = false;
  for (EliminationVariant v : all)
    if (*chosen == VariantName(v)) {
      if (VariantAvailable(v))
        options.variants.push_back(v);
      else
        std::printf("solver[%s]: this processor cannot execute it\n", VariantName(v));
      return true;
    }
  std::fprintf(stderr, "unknown variant %s (avx512f, avx2, default or dispatched)\n", chosen->c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ReadOptions(argc, argv, options)) return 2;
  if (options.variants.empty() && !options.dispatched) return 0;
  UseOneBlasThread();
  struct Size {
    int length;
    bool stub;
  };
  const Size sizes[] = {{21, false}, {44, false}, {72, true}};  // 594, 1215 and 1995 dofs
  static std::vector<Problem> problems;
  problems.reserve(6);
  for (const Size& size : sizes)
    for (bool random : {false, true}) problems.push_back(MakeProblem(size.length, size.stub, random));

  std::vector<EliminationVariant> solvers = options.variants;
  const EliminationVariant dispatched = DispatchedVariant();
  if (options.dispatched && std::find(solvers.begin(), solvers.end(), dispatched) == solvers.end())
    solvers.push_back(dispatched);
  const auto solverName = [](EliminationVariant v) { return std::string("solver[") + VariantName(v) + "]/"; };
  const auto computeName = [](EliminationVariant v) { return std::string("compute[") + VariantName(v) + "]/"; };

  for (const Problem& p : problems) {
    const bool random = (&p - problems.data()) % 2 == 1;
    const std::string tag = std::string(random ? "random" : "good") + "/" + std::to_string(p.n);
    for (EliminationVariant v : solvers)
      benchmark::RegisterBenchmark((solverName(v) + tag).c_str(), SolverRun, SolverCase{&p, v})
          ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("dpbsv/" + tag).c_str(), DpbsvRun, &p)->Unit(benchmark::kMillisecond);
  }
  benchmark::RegisterBenchmark("assembly/good/1995", AssemblyRun, &problems[4])->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("assembly/random/1995", AssemblyRun, &problems[5])->Unit(benchmark::kMillisecond);
  for (EliminationVariant v : options.variants)
    benchmark::RegisterBenchmark((computeName(v) + "random/1995").c_str(), ComputeRun, ComputeCase{&problems[5], v})
        ->Unit(benchmark::kMillisecond);
  if (options.dispatched) {
    benchmark::RegisterBenchmark("compute/good/1995", ComputeRun, ComputeCase{&problems[4], std::nullopt})
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("compute/random/1995", ComputeRun, ComputeCase{&problems[5], std::nullopt})
        ->Unit(benchmark::kMillisecond);
  }

  benchmark::Initialize(&argc, argv);
  PrintBlas();
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  auto median = [&](const std::string& name) { return reporter.medians[name]; };
  const auto ratio = [&](const std::string& solver, const char* numbering) {
    const std::string tag = std::string(numbering) + "/1995";
    const double mine = median(solver + tag), dpbsv = median("dpbsv/" + tag);
    return dpbsv > 0 ? mine / dpbsv : 0.0;
  };
  // The compute command does the assembly and the solution (and the copies
  // and the stress recovery); it should take no longer than half as much
  // again as the assembly plus dpbsv. Left out when not measured (a filter).
  const double budget = 1.5 * (median("dpbsv/random/1995") + median("assembly/random/1995"));
  const auto printCompute = [&](const std::string& name) {
    const double compute = median(name + "random/1995");
    if (compute > 0 && budget > 0)
      std::printf("%s at 1995 dofs, random: %.2f ms against 1.5 x (dpbsv + assembly) = %.2f ms, ratio %.2f\n",
                  name.substr(0, name.size() - 1).c_str(), compute, budget, compute / budget);
  };
  const std::string core = BlasCore();
  std::printf("dpbsv from %s%s\n", LibraryOf("dpbsv_").c_str(),
              core.empty() ? "" : (", OpenBLAS core " + core).c_str());
  const std::string dpbsvName = options.coreInName ? "dpbsv(" + (core.empty() ? "BLAS" : core) + ")" : "dpbsv";
  const bool measured = median("dpbsv/random/1995") > 0;
  for (EliminationVariant v : measured ? options.variants : std::vector<EliminationVariant>{}) {
    printCompute(computeName(v));
    std::printf("solver[%s]/%s at 1995 dofs: good %.2f, random %.2f\n", VariantName(v), dpbsvName.c_str(),
                ratio(solverName(v), "good"), ratio(solverName(v), "random"));
  }
  if (options.dispatched && measured) {
    printCompute("compute/");
    std::printf("solver/%s at 1995 dofs: good %.2f, random %.2f\n", dpbsvName.c_str(),
                ratio(solverName(dispatched), "good"), ratio(solverName(dispatched), "random"));
  }
  std::fflush(stdout);
  return 0;
}
