#include "batch/BatchCommand.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>

#include "analysis/ComputeCommand.h"
#include "batch/StageProgress.h"
#include "io/CalculixDeck.h"
#include "io/ModelFile.h"
#include "io/ProblemFile.h"
#include "io/ResultsExport.h"
#include "platform/NumberText.h"
#include "solid/SolidChecks.h"
#include "sparse/SparseSolve.h"

namespace qor {

const char* const BatchUsage =
    "Użycie: qor3d-batch MODEL.q3d|ZADANIE [--vtk OUT.vtu] [--nodes-csv OUT.csv] [--elements-csv OUT.csv]"
    " [--save OUT.q3d] [--inp OUT.inp] [--densities] [--solver band|direct|iterative] [--quiet]\n"
    "\n"
    "Czyta model zapisany przez QOR 3D albo plik zadania (pierwszy wiersz QOR3DProblem: siatka z obciążeniami\n"
    "i podporami według grup i płaszczyzn), oblicza go tak jak polecenie \"Oblicz\" i zapisuje wyniki.\n"
    "  --vtk PLIK           siatka z przemieszczeniami i naprężeniami (VTK, .vtu)\n"
    "  --nodes-csv PLIK     węzły: współrzędne i przemieszczenia (CSV)\n"
    "  --elements-csv PLIK  elementy: węzły, materiał i naprężenia (CSV)\n"
    "  --save PLIK          model z wynikami (QOR 3D, .q3d)\n"
    "  --inp PLIK           model jako dane wejściowe programu CalculiX (.inp)\n"
    "  --densities          sztywności elementów mnożone przez gęstości z pliku modelu\n"
    "  --solver NAZWA       band: metoda pasmowa okna (do 665 węzłów);\n"
    "                       direct: rzadki rozkład Cholesky'ego; iterative: gradienty sprzężone\n"
    "                       z wielosiatkowym wstępnym warunkowaniem.\n"
    "                       Domyślnie band w granicach okna, poza nimi iterative.\n"
    "  --quiet              bez postępu obliczeń na standardowym wyjściu błędów\n"
    "  --help               ten opis\n"
    "\n"
    "Pod mpirun -np N metody direct i iterative dzielą model między N procesów; metodę band\n"
    "liczy każdy proces sam, a wyniki wypisuje i zapisuje zawsze tylko pierwszy.\n"
    "Uruchomiony sam proces liczy metodą iterative na wszystkich rdzeniach (OMP_NUM_THREADS\n"
    "ogranicza liczbę wątków); pod mpirun każdy proces ma jeden wątek.\n"
    "Kod wyjścia: 0 obliczono, 2 obliczenia odrzucone, 1 błędne wywołanie albo błąd odczytu lub zapisu.\n";

namespace {

// The options that take a file name, and where the name goes.
struct FileOption {
  const char* name;
  std::string BatchOptions::*target;
};
constexpr FileOption kFileOptions[] = {
    {"--vtk", &BatchOptions::vtk},
    {"--nodes-csv", &BatchOptions::nodesCsv},
    {"--elements-csv", &BatchOptions::elementsCsv},
    {"--save", &BatchOptions::save},
    {"--inp", &BatchOptions::inp},
};

constexpr struct {
  const char* name;
  BatchSolver solver;
} kSolvers[] = {{"band", BatchSolver::Band}, {"direct", BatchSolver::Direct}, {"iterative", BatchSolver::Iterative}};

bool LooksLikeOption(const std::string& argument) { return argument.size() > 1 && argument[0] == '-'; }

// One requested file: its path and how its text is made.
struct RequestedFile {
  const std::string& path;
  std::function<std::optional<std::string>()> text;  // nothing: the file cannot be written
};

// Writes every requested file; the first that fails ends the command.
bool WriteFiles(std::initializer_list<RequestedFile> files, std::ostream& err) {
  for (const RequestedFile& file : files) {
    if (file.path.empty()) continue;
    const std::optional<std::string> text = file.text();
    const IoResult result = text ? WriteExportFile(file.path, *text) : IoResult::Failure(FileWriteFailedMessage());
    if (!result.ok) {
      PrintMessage(err, result.message, file.path);
      return false;
    }
  }
  return true;
}

// The files of the band path, from the store exactly as the window writes them.
bool WriteStoreFiles(const BatchOptions& options, const ModelStore& store, const SolidModel& model, std::ostream& err) {
  if (!WriteFiles({{options.vtk, [&] { return std::optional(ResultsVtuText(store)); }},
                   {options.nodesCsv, [&] { return std::optional(NodeResultsCsvText(store)); }},
                   {options.elementsCsv, [&] { return std::optional(ElementResultsCsvText(store)); }},
                   {options.inp, [&] { return std::optional(CalculixDeckText(model, options.densities)); }}},
                  err))
    return false;
  if (!options.save.empty()) {
    const IoResult result = SaveModelFile(store, options.save);
    if (!result.ok) {
      PrintMessage(err, result.message, options.save);
      return false;
    }
  }
  return true;
}

// The files of the sparse path, for a model of any size.
bool WriteSolidFiles(const BatchOptions& options, const SolidModel& model, const SolidResults& results,
                     std::ostream& err) {
  return WriteFiles({{options.vtk, [&] { return std::optional(ResultsVtuText(model, results)); }},
                     {options.nodesCsv, [&] { return std::optional(NodeResultsCsvText(model, results)); }},
                     {options.elementsCsv, [&] { return std::optional(ElementResultsCsvText(model, results)); }},
                     {options.inp, [&] { return std::optional(CalculixDeckText(model, options.densities)); }},
                     {options.save, [&] { return WriteSolidModelText(model, &results); }}},
                    err);
}

// The band path: the window's compute command on the store.
int ComputeByBand(const BatchOptions& options, const SolidModel& model, bool writer, Progress& progress,
                  std::ostream& out, std::ostream& err) {
  // The store holds fixed tables of some hundred kilobytes: not for the stack.
  auto store = std::make_unique<ModelStore>();
  if (auto refusal = CopyToStore(model, *store, Densities)) {
    out << SummaryText(GatherStatistics(model, nullptr));
    PrintMessage(err, *refusal);
    return BatchRefused;
  }
  progress.BeginStage("Rozwiązanie");
  const ComputeOutcome outcome = RunComputeCommand(*store, options.densities);
  progress.EndStage();
  out << SummaryText(GatherStatistics(*store));
  if (!outcome.succeeded) {
    // A refused model writes nothing: no file would hold valid results.
    PrintMessage(err, outcome.message);
    return BatchRefused;
  }
  if (!writer) return BatchComputed;
  progress.BeginStage("Zapis");
  const bool written = WriteStoreFiles(options, *store, model, err);
  progress.EndStage();
  return written ? BatchComputed : BatchBadInput;
}

// The sparse path: the checks of a model of any size, then PETSc on every process.
int ComputeSparse(const BatchOptions& options, const SolidModel& model, bool writer, Progress& progress,
                  std::ostream& out, std::ostream& err) {
  progress.BeginStage("Kontrola");
  const std::optional<UserMessage> refusal = CheckSolidModel(model, options.densities);
  progress.EndStage();
  if (refusal) {
    out << SummaryText(GatherStatistics(model, nullptr));
    PrintMessage(err, *refusal);
    return BatchRefused;
  }
  SparseOptions sparse;
  sparse.solver = options.solver == BatchSolver::Direct ? SparseSolver::Direct : SparseSolver::Iterative;
  sparse.useDensities = options.densities;
  sparse.progress = &progress;
  SolidResults results;
  const SparseOutcome outcome = SolveSparse(model, sparse, results);
  if (!outcome.notice.empty()) err << outcome.notice << '\n';
  out << SummaryText(GatherStatistics(model, outcome.succeeded ? &results : nullptr));
  if (!outcome.succeeded) {
    UserMessage failed = outcome.message;
    if (options.densities && !failed.detail.empty()) AddDensitiesNote(failed);
    PrintMessage(err, failed);
    return BatchRefused;
  }
  if (!writer) return BatchComputed;
  progress.BeginStage("Zapis");
  const bool written = WriteSolidFiles(options, model, results, err);
  progress.EndStage();
  return written ? BatchComputed : BatchBadInput;
}

}  // namespace

BatchCommandLine ParseBatchArguments(const std::vector<std::string>& arguments) {
  BatchCommandLine line;
  BatchOptions& options = line.options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      options.help = true;
      return line;
    }
    if (argument == "--densities") {
      options.densities = true;
      continue;
    }
    if (argument == "--quiet") {
      options.quiet = true;
      continue;
    }
    if (argument == "--solver") {
      if (i + 1 >= arguments.size()) {
        line.error = "Brak nazwy metody po opcji --solver (band, direct albo iterative)";
        return line;
      }
      const std::string& name = arguments[++i];
      BatchSolver chosen = BatchSolver::Automatic;
      for (const auto& candidate : kSolvers)
        if (name == candidate.name) chosen = candidate.solver;
      if (chosen == BatchSolver::Automatic) {
        line.error = "Nieznana metoda obliczeń: " + name + " (dostępne: band, direct, iterative)";
        return line;
      }
      if (options.solver != BatchSolver::Automatic) {
        line.error = "Opcja --solver podana więcej niż raz";
        return line;
      }
      options.solver = chosen;
      continue;
    }
    const FileOption* option = nullptr;
    for (const FileOption& candidate : kFileOptions)
      if (argument == candidate.name) option = &candidate;
    if (option) {
      if (i + 1 >= arguments.size() || arguments[i + 1].empty() || LooksLikeOption(arguments[i + 1])) {
        line.error = "Brak nazwy pliku po opcji " + argument;
        return line;
      }
      std::string& target = options.*(option->target);
      if (!target.empty()) {
        line.error = "Opcja " + argument + " podana więcej niż raz";
        return line;
      }
      target = arguments[++i];
      continue;
    }
    if (LooksLikeOption(argument)) {
      line.error = "Nieznana opcja: " + argument;
      return line;
    }
    if (!options.model.empty()) {
      line.error = "Podano więcej niż jeden plik modelu: " + argument;
      return line;
    }
    options.model = argument;
  }
  if (options.model.empty()) line.error = "Nie podano pliku modelu";
  return line;
}

std::string SummaryText(const ModelStatistics& stats) {
  const auto fixed = [](float value) { return FormatFixed(value, 0, 7, '.'); };
  return "Liczba węzłów : " + std::to_string(stats.nodes) + "\n" +
         "Liczba elementów : " + std::to_string(stats.elements) + "\n" +
         "Liczba sił : " + std::to_string(stats.forces) + "\n" + "Liczba podpór : " + std::to_string(stats.supports) +
         "\n" + "Obliczono : " + (stats.computed ? "TAK" : "NIE") + "\n" +
         "Maks. przemieszcz. : " + (stats.computed ? fixed(stats.largestDisplacement) : "0") + "\n" +
         "Maks. naprężenie : " + (stats.computed ? fixed(stats.largestReducedStress) : "0") + "\n";
}

void PrintMessage(std::ostream& err, const UserMessage& message, const std::string& context) {
  if (!context.empty()) err << context << ": ";
  err << message.text << '\n';
  // The informative text the window shows under the message (the free node,
  // the material at fault, ...), on a line of its own.
  if (!message.detail.empty()) err << message.detail << '\n';
}

IoResult LoadBatchModel(const std::string& path, SolidModel& model) {
  try {
    // A problem file names a mesh and loads and holds it by group or plane.
    return IsProblemFile(path) ? ReadProblemFile(path, model) : OpenSolidModelFile(path, model);
  } catch (const std::exception&) {
    // Memory the checked counts still could not get.
    return IoResult::Failure(FileReadFailedMessage());
  }
}

// What the window's store holds and its compute command takes.
bool WithinWindowLimits(const SolidModel& model) {
  return FitsStore(model) && !LimitReached(LimitDofs, model.DofCount());
}

ModelStatistics GatherStatistics(const SolidModel& model, const SolidResults* results) {
  return qor::GatherStatistics(model.NodeCount(), model.ElementCount(), model.SupportCount(), model.Forces.data(),
                               results ? results->Displacements.data() : nullptr,
                               results ? results->Stresses.data() : nullptr);
}

int RunBatch(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
             const BatchEnvironment& environment) {
  const BatchCommandLine line = ParseBatchArguments(arguments);
  if (line.options.help) {
    out << BatchUsage;
    return BatchComputed;
  }
  if (!line.error.empty()) {
    err << line.error << "\n\n" << BatchUsage;
    return BatchBadInput;
  }
  const BatchOptions& options = line.options;
  StageProgress progress(err, environment.terminal, options.quiet);
  // Every process reads the model; the first alone prints and writes.
  const bool writer = environment.rank == 0;

  SolidModel model;
  progress.BeginStage("Odczyt");
  const IoResult read = LoadBatchModel(options.model, model);
  progress.EndStage();
  if (!read.ok) {
    progress.Finish();
    PrintMessage(err, read.message, options.model);
    return BatchBadInput;
  }
  if (environment.processes > 1 && environment.processes > model.ElementCount()) {
    progress.Finish();
    err << "Więcej procesów (" << environment.processes << ") niż elementów modelu (" << model.ElementCount()
        << "): uruchom mniej procesów.\n";
    return BatchBadInput;
  }
  const bool band =
      options.solver == BatchSolver::Band || (options.solver == BatchSolver::Automatic && WithinWindowLimits(model));
  const int exit = band ? ComputeByBand(options, model, writer, progress, out, err)
                        : ComputeSparse(options, model, writer, progress, out, err);
  progress.Finish();
  return exit;
}

}  // namespace qor
