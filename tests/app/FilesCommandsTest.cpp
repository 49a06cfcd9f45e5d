#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QImage>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "Gl3d.h"
#include "Globals.h"
#include "batch/BatchCommand.h"
#include "io/FileText.h"
#include "support/ScriptedPrompts.h"
#include "ui_Gl3d.h"

namespace fs = std::filesystem;
using qor::MessageStyle;
using qor::UserMessage;

namespace {

class FilesCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateWindows();
    GL->SetPrompts(&prompts);
    folder = fs::temp_directory_path() / ("qor-files-test-" + std::to_string(::getpid()));
    fs::create_directories(folder);
  }
  void TearDown() override {
    DestroyWindows();
    fs::remove_all(folder);
  }

  // A zoomed and panned view, to see which commands put it back.
  void MoveView() {
    GL->View.ZoomFactor = 3.0f;
    GL->View.PanX = 12;
    GL->View.PanY = -4;
    GL->View.FitScaleX = 50;
    GL->View.FitScaleY = 50;
  }
  void ExpectViewMoved() {
    EXPECT_EQ(GL->View.ZoomFactor, 3.0f);
    EXPECT_EQ(GL->View.PanX, 12.0f);
    EXPECT_EQ(GL->View.FitScaleX, 50.0f);
  }
  void ExpectViewReset() {
    EXPECT_EQ(GL->View.ZoomFactor, 1.0f);
    EXPECT_EQ(GL->View.PanX, 0.0f);
    EXPECT_EQ(GL->View.PanY, 0.0f);
    EXPECT_EQ(GL->View.FitScaleX, 1.0f);
    EXPECT_EQ(GL->View.FitScaleY, 1.0f);
  }
  // One tetrahedron with a material, a support, a load and a computed stress.
  void BuildSmallModel() {
    qor::ModelStore& m = GL->Model;
    m.NodeCount = 4;
    m.Nodes[1] = {0, 0, 0};
    m.Nodes[2] = {2.5f, 0, 0};
    m.Nodes[3] = {0, 2.5f, 0};
    m.Nodes[4] = {0, 0, 2.5f};
    m.ElementCount = 1;
    m.Elements[1] = {{0, 4, 3, 2, 1}, 1};
    m.MaterialCount = 1;
    m.Materials[1] = {210000.0f, 0.25f};
    m.SupportCount = 1;
    m.Supports[1] = {3, 0};
    for (int d = 1; d <= 12; ++d) m.Forces[d] = 0;
    m.Forces[10] = 125.5f;
    m.Stresses[1][qor::Reduced] = 42.75f;
    m.ResultsValid = 1;
  }
  std::string Path(const char* name) const { return (folder / name).string(); }

  qor::ScriptedPrompts prompts;
  fs::path folder;
};

const UserMessage ReadFailed{"Błąd przy odczycie...", "Odczyt", MessageStyle::Exclamation};

TEST_F(FilesCommandsTest, SaveAndOpenGoThroughTheModelDialog) {
  BuildSmallModel();
  prompts.AnswerSave(Path("a.q3d"));
  GL->ui->Zapisz1->trigger();
  ASSERT_EQ(prompts.saveDialogs.size(), 1u);
  EXPECT_EQ(prompts.saveDialogs[0].title, "Zapis danych QOR 3D");
  EXPECT_EQ(prompts.saveDialogs[0].filter, "QOR 3D |*.q3d|Wszystki pliki|*.*");
  EXPECT_EQ(prompts.saveDialogs[0].defaultExtension, "*.q3d");
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(qor::ReadWholeFile(Path("a.q3d")).value_or("").substr(0, 21), "QOR3DAscii 4 1 1 1 1\n");

  GL->Zamknij1Click();
  MoveView();
  prompts.AnswerOpen(Path("a.q3d"));
  GL->ui->Otwrz1->trigger();
  ASSERT_EQ(prompts.openDialogs.size(), 1u);
  EXPECT_EQ(prompts.openDialogs[0].title, "Zapis danych QOR 3D");
  EXPECT_EQ(prompts.openDialogs[0].filter, "QOR 3D |*.q3d|Wszystki pliki|*.*");
  EXPECT_TRUE(prompts.messages.empty());
  const qor::ModelStore& m = GL->Model;
  EXPECT_EQ(m.NodeCount, 4);
  EXPECT_EQ(m.ElementCount, 1);
  EXPECT_EQ(m.Elements[1].node[1], 4);
  EXPECT_EQ(m.Materials[1].nu, 0.25f);
  EXPECT_EQ(m.Supports[1].dof, 3);
  EXPECT_EQ(m.Forces[10], 125.5f);
  EXPECT_EQ(qor::Densities[1], 42.75f);
  EXPECT_EQ(m.ResultsValid, 0);
  ExpectViewReset();
}

TEST_F(FilesCommandsTest, CancelledDialogsChangeNothing) {
  BuildSmallModel();
  MoveView();
  GL->Zapisz1Click();
  GL->Otwrz1Click();
  GL->Import1Click();
  EXPECT_EQ(prompts.saveDialogs.size(), 1u);
  EXPECT_EQ(prompts.openDialogs.size(), 2u);
  EXPECT_EQ(prompts.openDialogs[1].title, "Siatka z GiD (GiD mesh)");
  EXPECT_EQ(prompts.openDialogs[1].filter, "Siatka GiD|*.*");
  EXPECT_EQ(GL->Model.NodeCount, 4);
  EXPECT_EQ(GL->Model.ResultsValid, 1);
  ExpectViewMoved();
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(FilesCommandsTest, RefusedOpenWarnsAndKeepsModelDensitiesAndView) {
  BuildSmallModel();
  MoveView();
  qor::Densities[1] = 8.0f;
  { std::ofstream(Path("bad.q3d")) << "QOR3DAscii 4 1 1 0 0\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n1 2 3 9 1\n"; }
  prompts.AnswerOpen(Path("bad.q3d"));
  prompts.AnswerOpen(Path("missing.q3d"));
  GL->Otwrz1Click();
  GL->Otwrz1Click();
  ASSERT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(prompts.messages[0], ReadFailed);
  EXPECT_EQ(prompts.messages[1], ReadFailed);
  EXPECT_EQ(GL->Model.Nodes[2].x, 2.5f);
  EXPECT_EQ(GL->Model.Elements[1].node[1], 4);
  EXPECT_EQ(GL->Model.ResultsValid, 1);
  EXPECT_EQ(qor::Densities[1], 8.0f);
  ExpectViewMoved();
}

TEST_F(FilesCommandsTest, FailedSaveWarnsAndKeepsTheOldFile) {
  BuildSmallModel();
  prompts.AnswerSave(Path("no/such/folder/a.q3d"));
  GL->Zapisz1Click();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0], (UserMessage{"Błąd przy zapisie...", "Zapis", MessageStyle::Exclamation}));
  EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(FilesCommandsTest, ImportReplacesTheModelAndResetsTheView) {
  BuildSmallModel();
  MoveView();
  qor::Densities[3] = 6.0f;
  prompts.AnswerOpen(std::string(QOR_DATA_DIR) + "/gid/softrobots_tripod_low_tet4_no_material.gidmsh");
  GL->ui->Import1->trigger();
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(GL->Model.NodeCount, 235);
  EXPECT_EQ(GL->Model.ElementCount, 579);
  EXPECT_EQ(GL->Model.MaterialCount, 1);
  EXPECT_EQ(GL->Model.SupportCount, 0);
  EXPECT_EQ(GL->Model.Forces[10], 0.0f);
  EXPECT_EQ(GL->Model.ResultsValid, 0);
  EXPECT_EQ(qor::Densities[3], 6.0f);
  ExpectViewReset();
}

// A corner tetrahedron listed among two nodes that it does not use, held so
// that a load on its top node stretches it uniformly: sigma_z = 6 F (the
// element volume is 1/6), w = sigma_z / E at the top, u = v = -nu w at the
// two base nodes that may slide.
TEST_F(FilesCommandsTest, ImportedMeshWithFreeListedNodesComputes) {
  {
    std::ofstream(Path("corner.msh")) << "MESH \"corner\" dimension 3 ElemType Tetrahedra Nnode 4\nCoordinates\n"
                                         "1 0 0 0\n2 7 7 7\n3 1 0 0\n4 0 1 0\n5 0 0 1\n6 9 9 9\nEnd Coordinates\n"
                                         "Elements\n1 1 3 4 5 1\nEnd Elements\n";
  }
  prompts.AnswerOpen(Path("corner.msh"));
  GL->ui->Import1->trigger();
  qor::ModelStore& m = GL->Model;
  ASSERT_EQ(m.NodeCount, 4);
  // Node 1 held fully; node 2 (x = 1) slides in x, node 3 (y = 1) in y, node 4 (z = 1) in z.
  const int held[] = {1, 2, 3, 5, 6, 7, 9, 10, 11};
  for (int dof : held) m.Supports[++m.SupportCount] = {dof, 0};
  const float load = 100.0f;
  m.Forces[12] = load;
  GL->ui->Oblicz2->trigger();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0], (UserMessage{"Obliczono.", "Obliczenia", MessageStyle::Exclamation}));
  const double stress = 6.0 * load, stretch = stress / 200000.0, across = -0.3 * stretch;
  EXPECT_NEAR(m.Displacements[12], stretch, 1e-5 * stretch);
  EXPECT_NEAR(m.Displacements[4], across, 1e-5 * stretch);
  EXPECT_NEAR(m.Displacements[8], across, 1e-5 * stretch);
  EXPECT_NEAR(m.Stresses[1][qor::SigmaZ], stress, 1e-4 * stress);
  EXPECT_NEAR(m.Stresses[1][qor::Reduced], stress, 1e-4 * stress);
}

TEST_F(FilesCommandsTest, RefusedImportWarnsAndKeepsTheModel) {
  BuildSmallModel();
  MoveView();
  prompts.AnswerOpen(std::string(QOR_DATA_DIR) + "/gid/sofa_tripod_tet4_781n_2684e_no_material.gidmsh");
  GL->Import1Click();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].caption, "Import siatki z GiD");
  EXPECT_EQ(prompts.messages[0].style, MessageStyle::Exclamation);
  EXPECT_NE(prompts.messages[0].text.find("2684"), std::string::npos);
  EXPECT_EQ(GL->Model.NodeCount, 4);
  EXPECT_EQ(GL->Model.ElementCount, 1);
  EXPECT_EQ(GL->Model.ResultsValid, 1);
  ExpectViewMoved();
}

// The Gmsh import through its menu item: what the store can take replaces the
// model; anything else leaves model, densities and view as they were.
TEST_F(FilesCommandsTest, GmshImportTakesWhatTheStoreCanHold) {
  std::string chain = "$MeshFormat\n2.2 0 8\n$EndMeshFormat\n$Nodes\n100\n";
  for (int n = 1; n <= 100; ++n)
    chain +=
        std::to_string(n) + " " + std::to_string(n) + " " + std::to_string(n % 7) + " " + std::to_string(n % 3) + "\n";
  chain += "$EndNodes\n$Elements\n1998\n";
  for (int e = 1, a = 1; e <= 1998; ++e, a = a % 97 + 1)
    chain += std::to_string(e) + " 4 0 " + std::to_string(a) + " " + std::to_string(a + 1) + " " +
             std::to_string(a + 2) + " " + std::to_string(a + 3) + "\n";
  { std::ofstream(Path("chain.msh")) << chain << "$EndElements\n"; }
  { std::ofstream(Path("binary.msh")) << "$MeshFormat\n4.1 1 8\n"; }
  const std::string data = std::string(QOR_DATA_DIR) + "/gmsh/";
  const struct {
    std::string path;
    UserMessage refusal;  // empty text for a mesh that is taken
  } cases[] = {
      {data + "klocek41.msh", {}},
      {data + "klocek22.msh", {}},
      {Path("chain.msh"),
       {"Osiągnięto maksymalną liczbe elementów\nWiększe siatki oblicza program qor3d-batch.",
        "Kontrola liczby elementów", MessageStyle::Plain}},
      {Path("binary.msh"),
       {"Plik siatki Gmsh jest zapisany binarnie; import czyta tylko zapis tekstowy (ASCII). Zapisz siatkę w "
        "programie gmsh bez opcji -bin.",
        "Import siatki z Gmsh", MessageStyle::Exclamation}},
      {Path("missing.msh"), {"Nie można odczytać pliku siatki.", "Import siatki z Gmsh", MessageStyle::Exclamation}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    BuildSmallModel();
    MoveView();
    qor::Densities[3] = 6.0f;
    prompts = qor::ScriptedPrompts();
    prompts.AnswerOpen(c.path);
    GL->ui->ImportGmsh1->trigger();
    ASSERT_EQ(prompts.openDialogs.size(), 1u);
    EXPECT_EQ(prompts.openDialogs[0].title, "Siatka z Gmsh (Gmsh mesh)");
    EXPECT_EQ(prompts.openDialogs[0].filter, "Siatka Gmsh|*.msh|Wszystkie pliki|*.*");
    EXPECT_EQ(qor::Densities[3], 6.0f);
    const qor::ModelStore& m = GL->Model;
    if (c.refusal.text.empty()) {
      EXPECT_TRUE(prompts.messages.empty());
      EXPECT_EQ(m.NodeCount, 354);
      EXPECT_EQ(m.ElementCount, 1151);
      EXPECT_EQ(m.MaterialCount, 1);
      EXPECT_EQ(m.Materials[1].E, 200000.0f);
      EXPECT_EQ(m.SupportCount, 0);
      EXPECT_EQ(m.Forces[10], 0.0f);
      EXPECT_EQ(m.ResultsValid, 0);
      ExpectViewReset();
    } else {
      ASSERT_EQ(prompts.messages.size(), 1u);
      EXPECT_EQ(prompts.messages[0], c.refusal);
      EXPECT_EQ(m.NodeCount, 4);
      EXPECT_EQ(m.Elements[1].node[1], 4);
      EXPECT_EQ(m.Forces[10], 125.5f);
      EXPECT_EQ(m.ResultsValid, 1);
      ExpectViewMoved();
    }
  }
}

// The question before work is lost, answered in every way, on "&Nowy", on
// "&Koniec" and on the window's close button.
TEST_F(FilesCommandsTest, ChangedModelIsSavedKeptOrDroppedAsAnswered) {
  using qor::Answer;
  enum Command { New, Exit, CloseButton };
  struct Case {
    Command command;
    std::optional<Answer> answer;  // nothing: no question expected
    std::optional<std::string> saveAs;
    bool goesOn;
  };
  const Case cases[] = {
      {New, Answer::Yes, "a.q3d", true},
      {New, Answer::Yes, std::nullopt, false},
      {New, Answer::No, std::nullopt, true},
      {New, Answer::Cancel, std::nullopt, false},
      {Exit, Answer::Yes, "a.q3d", true},
      {Exit, Answer::No, std::nullopt, true},
      {Exit, Answer::Cancel, std::nullopt, false},
      {CloseButton, Answer::Cancel, std::nullopt, false},
      {CloseButton, Answer::No, std::nullopt, true},
      {New, std::nullopt, std::nullopt, true},
  };
  for (const Case& c : cases) {
    DestroyWindows();
    CreateWindows();
    prompts = qor::ScriptedPrompts();
    GL->SetPrompts(&prompts);
    fs::remove_all(folder);
    fs::create_directories(folder);
    BuildSmallModel();
    if (!c.answer) {
      // Saved, then computed and densities read: nothing the user would lose.
      prompts.AnswerSave(Path("kept.q3d"));
      GL->Zapisz1Click();
      GL->Oblicz2Click();
      qor::Densities[1] = 3.0f;
    } else {
      prompts.AnswerQuestion(*c.answer);
    }
    if (c.saveAs) prompts.AnswerSave(Path(c.saveAs->c_str()));
    bool wentOn = false;
    if (c.command == New) {
      GL->Nowy1Click();
      wentOn = GL->Model.NodeCount == 0;
    } else if (c.command == CloseButton) {
      wentOn = GL->close();
    } else {
      // Ends the loop with 0 only through the quit; the guard goes with the row.
      QTimer::singleShot(0, GL, [] { GL->ui->Koniec1->trigger(); });
      QTimer guard;
      guard.setSingleShot(true);
      QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
      guard.start(100);
      wentOn = QCoreApplication::exec() == 0;
    }
    const std::string what = std::to_string(c.command) + " " + std::to_string(c.answer ? int(*c.answer) : -1);
    EXPECT_EQ(wentOn, c.goesOn) << what;
    ASSERT_EQ(prompts.questions.size(), c.answer ? 1u : 0u) << what;
    if (c.answer) {
      EXPECT_EQ(prompts.questions[0].text, "Model został zmieniony. Czy zapisać zmiany?") << what;
    }
    EXPECT_EQ(fs::exists(Path("a.q3d")), c.saveAs.has_value()) << what;
    if (!c.goesOn) {
      EXPECT_EQ(GL->Model.NodeCount, 4) << what;
    }
  }
}

// The exports write what qor3d-batch writes for the same saved model; without
// results they say so and write nothing. Save offers the file last opened.
TEST_F(FilesCommandsTest, ExportsEqualTheBatchFilesAndThePictureTheView) {
  const std::string model = std::string(QOR_DATA_DIR) + "/wspornik.q3d";
  prompts.AnswerOpen(model);
  GL->Otwrz1Click();
  GL->EksportVtk1Click();
  GL->EksportCsv1Click();
  ASSERT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(prompts.messages[0].caption, "Eksport wyników do VTK");
  EXPECT_EQ(prompts.messages[1].caption, "Eksport wyników do CSV");
  EXPECT_TRUE(prompts.saveDialogs.empty());

  GL->Oblicz2Click();
  prompts.AnswerSave(Path("w.vtu"));
  prompts.AnswerSave(Path("w.csv"));
  prompts.AnswerSave(Path("w.png"));
  GL->EksportVtk1Click();
  GL->EksportCsv1Click();
  GL->ZapiszObraz1Click();
  GL->Zapisz1Click();
  ASSERT_EQ(prompts.saveDialogs.size(), 4u);
  EXPECT_EQ(prompts.saveDialogs[0].filter, "VTK|*.vtu");
  EXPECT_EQ(prompts.saveDialogs[0].defaultExtension, "vtu");
  EXPECT_EQ(prompts.saveDialogs[3].initialPath, model);
  EXPECT_EQ(prompts.messages.size(), 3u);

  std::ostringstream out, err;
  ASSERT_EQ(qor::RunBatch({model, "--vtk", Path("b.vtu"), "--nodes-csv", Path("b_wezly.csv"), "--elements-csv",
                           Path("b_elementy.csv")},
                          out, err),
            qor::BatchComputed)
      << err.str();
  for (const auto& [window, batch] :
       {std::pair{"w.vtu", "b.vtu"}, {"w_wezly.csv", "b_wezly.csv"}, {"w_elementy.csv", "b_elementy.csv"}}) {
    const std::optional<std::string> written = qor::ReadWholeFile(Path(window));
    ASSERT_TRUE(written.has_value()) << window;
    EXPECT_EQ(*written, qor::ReadWholeFile(Path(batch)).value_or("")) << window;
  }

  QImage shown(GL->ui->ClientArea->size(), QImage::Format_RGB32);
  GL->DrawPicture(shown);
  const QImage saved(QString::fromStdString(Path("w.png")));
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), shown);
}

}  // namespace
