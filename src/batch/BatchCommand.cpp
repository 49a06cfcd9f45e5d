#include "batch/BatchCommand.h"

#include <exception>
#include <memory>
#include <ostream>

#include "analysis/ComputeCommand.h"
#include "io/ModelFile.h"
#include "io/ProblemFile.h"
#include "io/ResultsExport.h"
#include "platform/NumberText.h"

namespace qor {

const char* const BatchUsage =
    "Użycie: qor3d-batch MODEL.q3d|ZADANIE [--vtk OUT.vtu] [--nodes-csv OUT.csv] [--elements-csv OUT.csv]"
    " [--save OUT.q3d] [--densities]\n"
    "\n"
    "Czyta model zapisany przez QOR 3D albo plik zadania (pierwszy wiersz QOR3DProblem: siatka z obciążeniami\n"
    "i podporami według grup i płaszczyzn), oblicza go tak jak polecenie \"Oblicz\" i zapisuje wyniki.\n"
    "  --vtk PLIK           siatka z przemieszczeniami i naprężeniami (VTK, .vtu)\n"
    "  --nodes-csv PLIK     węzły: współrzędne i przemieszczenia (CSV)\n"
    "  --elements-csv PLIK  elementy: węzły, materiał i naprężenia (CSV)\n"
    "  --save PLIK          model z wynikami (QOR 3D, .q3d)\n"
    "  --densities          sztywności elementów mnożone przez gęstości z pliku modelu\n"
    "  --help               ten opis\n"
    "\n"
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
};

bool LooksLikeOption(const std::string& argument) { return argument.size() > 1 && argument[0] == '-'; }

// Writes every requested file; the first that fails ends the command.
bool WriteRequestedFiles(const BatchOptions& options, const ModelStore& store, std::ostream& err) {
  struct Export {
    const std::string& path;
    std::string (*text)(const ModelStore&);
  };
  const Export exports[] = {
      {options.vtk, ResultsVtuText},
      {options.nodesCsv, NodeResultsCsvText},
      {options.elementsCsv, ElementResultsCsvText},
  };
  for (const Export& item : exports) {
    if (item.path.empty()) continue;
    const IoResult result = WriteExportFile(item.path, item.text(store));
    if (!result.ok) {
      PrintMessage(err, result.message, item.path);
      return false;
    }
  }
  if (!options.save.empty()) {
    const IoResult result = SaveModelFile(store, options.save);
    if (!result.ok) {
      PrintMessage(err, result.message, options.save);
      return false;
    }
  }
  return true;
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

int RunBatch(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
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

  // The store holds fixed tables of some hundred kilobytes: not for the stack.
  auto store = std::make_unique<ModelStore>();
  IoResult read;
  try {
    // A problem file names a mesh and loads it by group or plane.
    read = IsProblemFile(options.model) ? OpenProblemFile(options.model, *store, Densities)
                                        : OpenModelFile(options.model, *store, Densities);
  } catch (const std::exception&) {
    read = IoResult::Failure(FileReadFailedMessage());
  }
  if (!read.ok) {
    PrintMessage(err, read.message, options.model);
    return BatchBadInput;
  }

  const ComputeOutcome outcome = RunComputeCommand(*store, options.densities);
  out << SummaryText(GatherStatistics(*store));
  if (!outcome.succeeded) {
    // A refused model writes nothing: no file would hold valid results.
    PrintMessage(err, outcome.message);
    return BatchRefused;
  }
  return WriteRequestedFiles(options, *store, err) ? BatchComputed : BatchBadInput;
}

}  // namespace qor
