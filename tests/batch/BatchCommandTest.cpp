#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>

#include "analysis/BlockMesh.h"
#include "batch/BatchCommand.h"
#include "batch/StageProgress.h"
#include "io/FileText.h"
#include "io/ModelFile.h"
#include "sparse/LargeCantilever.h"

namespace fs = std::filesystem;

namespace {

// A folder of its own for each test, removed at the end.
class BatchCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("qor-batch-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

  // Saves a 4 × 1 × 1 cantilever (20 nodes, 24 elements, the end x = 0 held,
  // four tip forces in z), changed by `change` first, as `name` in the folder.
  std::string SaveCantilever(const std::string& name = "model.q3d",
                             const std::function<void(qor::ModelStore&)>& change = {}) {
    auto store = std::make_unique<qor::ModelStore>();
    qortest::BuildCantilever(*store, 4, 1, 1, 1.0f, 1.0f);
    if (change) change(*store);
    const std::string path = PathOf(name);
    EXPECT_TRUE(qor::SaveModelFile(*store, path).ok);
    return path;
  }

  int Run(std::vector<std::string> arguments, int processes = 1) {
    out_.str({});
    err_.str({});
    qor::BatchEnvironment environment;
    environment.processes = processes;
    return qor::RunBatch(arguments, out_, err_, environment);
  }

  fs::path folder_;
  std::ostringstream out_, err_;
};

TEST_F(BatchCommandTest, BadCommandLinesAreRefusedWithTheirReason) {
  const std::string model = SaveCantilever();
  const std::string vtk = PathOf("out.vtu");
  struct Case {
    std::vector<std::string> arguments;
    const char* reason;
  };
  const Case cases[] = {
      {{}, "Nie podano pliku modelu"},
      {{"--vtk", vtk}, "Nie podano pliku modelu"},
      {{model, "--vtk"}, "Brak nazwy pliku po opcji --vtk"},
      {{model, "--save", "--densities"}, "Brak nazwy pliku po opcji --save"},
      {{model, "--csv", vtk}, "Nieznana opcja: --csv"},
      {{model, model}, "Podano więcej niż jeden plik modelu: "},
      {{model, "--nodes-csv", vtk, "--nodes-csv", vtk}, "Opcja --nodes-csv podana więcej niż raz"},
      {{model, "--inp"}, "Brak nazwy pliku po opcji --inp"},
      {{model, "--vtk", vtk, "--solver", "bnad"}, "Nieznana metoda obliczeń: bnad (dostępne: band, direct, iterative)"},
      {{model, "--vtk", vtk, "--solver"}, "Brak nazwy metody po opcji --solver"},
      {{model, "--solver", "band", "--solver", "direct"}, "Opcja --solver podana więcej niż raz"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.arguments), qor::BatchBadInput) << c.reason;
    EXPECT_EQ(err_.str().rfind(c.reason, 0), 0u) << err_.str();
    EXPECT_NE(err_.str().find("Użycie: qor3d-batch MODEL.q3d"), std::string::npos);
    EXPECT_EQ(out_.str(), "");
    EXPECT_FALSE(fs::exists(vtk));
  }
  EXPECT_EQ(Run({model, "--vtk", vtk, "--help"}), qor::BatchComputed);
  EXPECT_EQ(out_.str(), qor::BatchUsage);
  EXPECT_FALSE(fs::exists(vtk));
}

TEST_F(BatchCommandTest, ExitCodesMessagesAndFilesOfEachOutcome) {
  const std::string good = SaveCantilever();
  // What standard output shows: nothing when the model was not read, else the
  // summary, with results only when computed.
  enum Summary { None, Refused, Computed };
  struct Case {
    const char* name;
    std::function<std::string()> model;  // saves the model, returns its path
    std::string outputFolder;
    int exit;
    std::string message;  // the whole of standard error
    Summary summary;
    std::vector<std::string> options = {};
    int processes = 1;
  };
  const std::string unwritable = PathOf("no/such/folder");
  const Case cases[] = {
      {"computed", [&] { return good; }, PathOf(""), 0, "", Computed},
      {"missing file", [&] { return PathOf("missing.q3d"); }, PathOf(""), 1,
       PathOf("missing.q3d") + ": Błąd przy odczycie...\n", None},
      {"file cut short",
       [&] {
         const std::string text = *qor::ReadWholeFile(good);
         qor::WriteFileAtomically(PathOf("cut.q3d"), text.substr(0, text.size() / 2));
         return PathOf("cut.q3d");
       },
       PathOf(""), 1, PathOf("cut.q3d") + ": Błąd przy odczycie...\n", None},
      {"counts the file cannot hold",
       [&] {
         std::string text = *qor::ReadWholeFile(good);
         qor::WriteFileAtomically(PathOf("huge.q3d"), text.replace(0, 13, "QOR3DAscii 200000000"));
         return PathOf("huge.q3d");
       },
       PathOf(""), 1, PathOf("huge.q3d") + ": Błąd przy odczycie...\n", None},
      {"node number out of range",
       [&] {
         std::string text = *qor::ReadWholeFile(good);
         std::size_t element = 0;  // the first element's line, after the header and 20 nodes
         for (int line = 0; line < 21; ++line) element = text.find('\n', element) + 1;
         qor::WriteFileAtomically(PathOf("range.q3d"), text.replace(element, text.find(' ', element) - element, "21"));
         return PathOf("range.q3d");
       },
       PathOf(""), 1, PathOf("range.q3d") + ": Błąd przy odczycie...\n", None},
      {"more processes than elements",
       [&] { return good; },
       PathOf(""),
       1,
       "Więcej procesów (25) niż elementów modelu (24): uruchom mniej procesów.\n",
       None,
       {},
       25},
      {"computed on direct", [&] { return good; }, PathOf(""), 0, "", Computed, {"--solver", "direct"}},
      {"computed on iterative", [&] { return good; }, PathOf(""), 0, "", Computed, {"--solver", "iterative"}},
      {"held at one node: a mechanism",
       [&] { return SaveCantilever("mechanism.q3d", [](qor::ModelStore& s) { s.SupportCount = 3; }); }, PathOf(""), 2,
       "Błąd podczas obliczeń\nWęzeł 2 może się swobodnie przemieszczać w kierunku y.\n", Refused},
      {"no supports", [&] { return SaveCantilever("unheld.q3d", [](qor::ModelStore& s) { s.SupportCount = 0; }); },
       PathOf(""), 2, "Brak zdefiniowanych podpór\n", Refused},
      {"held at one node on direct",
       [&] { return PathOf("mechanism.q3d"); },
       PathOf(""),
       2,
       "Błąd podczas obliczeń\nWęzeł 2 może się swobodnie przemieszczać w kierunku y.\n",
       Refused,
       {"--solver", "direct"}},
      {"held at one node on iterative",
       [&] { return PathOf("mechanism.q3d"); },
       PathOf(""),
       2,
       "Błąd podczas obliczeń\nWęzeł 2 może się swobodnie przemieszczać w kierunku y.\n",
       Refused,
       {"--solver", "iterative"}},
      {"no supports on iterative",
       [&] { return PathOf("unheld.q3d"); },
       PathOf(""),
       2,
       "Brak zdefiniowanych podpór\n",
       Refused,
       {"--solver", "iterative"}},
      {"output folder missing", [&] { return good; }, unwritable, 1, unwritable + "/out.vtu: Błąd przy zapisie...\n",
       Computed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string model = c.model();
    const fs::path folder(c.outputFolder);
    const fs::path outputs[] = {folder / "out.vtu", folder / "nodes.csv", folder / "elements.csv", folder / "out.q3d",
                                folder / "out.inp"};
    std::vector<std::string> arguments = {model,
                                          "--vtk",
                                          outputs[0].string(),
                                          "--nodes-csv",
                                          outputs[1].string(),
                                          "--elements-csv",
                                          outputs[2].string(),
                                          "--save",
                                          outputs[3].string(),
                                          "--inp",
                                          outputs[4].string()};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    EXPECT_EQ(Run(arguments, c.processes), c.exit);
    EXPECT_EQ(err_.str(), c.message);
    for (const fs::path& output : outputs) EXPECT_EQ(fs::exists(output), c.exit == 0) << output;
    const std::string out = out_.str();
    if (c.summary == None) {
      EXPECT_EQ(out, "");
    } else {
      EXPECT_EQ(out.rfind("Liczba węzłów : 20\nLiczba elementów : 24\nLiczba sił : 4\n", 0), 0u) << out;
      EXPECT_EQ(out.find("Obliczono : TAK\n") != std::string::npos, c.summary == Computed) << out;
      EXPECT_EQ(out.find("Obliczono : NIE\nMaks. przemieszcz. : 0\nMaks. naprężenie : 0\n") != std::string::npos,
                c.summary == Refused)
          << out;
    }
    for (const fs::path& output : outputs) fs::remove(output);
  }
}

TEST_F(BatchCommandTest, SavedModelCarriesTheComputedResults) {
  const std::string saved = PathOf("computed.q3d");
  ASSERT_EQ(Run({SaveCantilever(), "--save", saved}), 0);
  EXPECT_EQ(qor::ReadWholeFile(saved)->rfind("QOR3DAscii 20 24 1 12 1\n", 0), 0u);
  // The file's tail holds the reduced stresses; the reader takes it as densities.
  auto store = std::make_unique<qor::ModelStore>();
  auto tail = std::make_unique<qor::DensityTable>();
  ASSERT_TRUE(qor::OpenModelFile(saved, *store, *tail).ok);
  for (int e = 1; e <= 24; ++e) EXPECT_GT((*tail)[e], 0.0f) << e;
}

// A cantilever of 107,163 degrees of freedom held in x only is refused by the
// checks on every solver, before any solution, and nothing is written.
TEST_F(BatchCommandTest, MechanismOfALargeModelIsRefusedOnEverySolver) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "large models run in the release build";
#endif
  qor::SolidModel model = qortest::BuildSolidCantilever(80, 20, 20, 10.0f, 1.0f, 200000.0f, 0.3f, 100.0f);
  for (std::size_t j = 1; j < model.Supports.size(); ++j)
    model.Supports[j].dof = 3 * ((model.Supports[j].dof + 2) / 3) - 2;
  const std::string path = PathOf("large.q3d"), vtk = PathOf("large.vtu");
  ASSERT_TRUE(qor::SaveSolidModelFile(model, nullptr, path).ok);
  for (const char* solver : {"direct", "iterative"}) {
    EXPECT_EQ(Run({path, "--solver", solver, "--vtk", vtk, "--quiet"}), qor::BatchRefused) << solver;
    EXPECT_EQ(err_.str(), "Błąd podczas obliczeń\nWęzeł 1 może się swobodnie przemieszczać w kierunku y.\n") << solver;
    EXPECT_NE(out_.str().find("Liczba węzłów : 35721\n"), std::string::npos) << out_.str();
    EXPECT_FALSE(fs::exists(vtk)) << solver;
  }
}

TEST(BatchSummaryTest, LabelsAsTheStatisticsDialogWithAPoint) {
  qor::ModelStatistics stats;
  stats.nodes = 20;
  stats.elements = 24;
  stats.forces = 5;
  stats.supports = 12;
  stats.computed = true;
  stats.largestDisplacement = 0.03125f;
  stats.largestReducedStress = 1234.5f;
  EXPECT_EQ(qor::SummaryText(stats),
            "Liczba węzłów : 20\nLiczba elementów : 24\nLiczba sił : 5\nLiczba podpór : 12\nObliczono : TAK\n"
            "Maks. przemieszcz. : 0.0312500\nMaks. naprężenie : 1234.5000000\n");
}

}  // namespace

// Progress on standard error: silent while the run is younger than a second,
// then each stage with its time, on a terminal as one line rewritten in place.
TEST(StageProgressTest, ShowsStagesOnceTheRunTakesLongerThanASecond) {
  struct Case {
    const char* what;
    bool terminal, quiet;
    double solutionEnds;  // seconds after the start; reading takes the first half second
    std::string expected;
  };
  const std::string update = "iteracja 3, residuum 1.0e-12";
  const Case cases[] = {
      {"quick, in a log", false, false, 0.9, ""},
      {"quick, on a terminal", true, false, 0.9, ""},
      {"slow, in a log", false, false, 2.0, "Odczyt: 0.50 s\nRozwiązanie: 1.50 s (" + update + ")\n"},
      {"slow, on a terminal", true, false, 2.0,
       "\rOdczyt: 0.50 s\rRozwiązanie: " + update + " (0.70 s)\rRozwiązanie: 1.50 s (" + update + ")\n"},
      {"slow but quiet", true, true, 2.0, ""},
  };
  for (const Case& c : cases) {
    double now = 0;
    std::ostringstream err;
    qor::StageProgress progress(err, c.terminal, c.quiet, [&] { return now; });
    progress.BeginStage("Odczyt");
    now = 0.5;
    progress.EndStage();
    progress.BeginStage("Rozwiązanie");
    now = c.solutionEnds < 1 ? 0.7 : 1.2;
    progress.Update(update);
    now = c.solutionEnds;
    progress.EndStage();
    progress.Finish();
    EXPECT_EQ(err.str(), c.expected) << c.what;
    EXPECT_EQ(err.str().find('\x1b'), std::string::npos) << c.what;
  }
}
