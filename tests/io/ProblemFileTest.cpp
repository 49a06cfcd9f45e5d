#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "analysis/ComputeCommand.h"
#include "analysis/ElementMatrices.h"
#include "io/ProblemFile.h"
#include "io/SurfaceLoads.h"

using qor::DofOf;
using qor::MeshGroup;
using qor::MeshWithGroups;

namespace {

constexpr int kCubes = 2;  // unit cubes along x
int BoxNode(int i, int j, int k) { return 1 + i + (kCubes + 1) * (j + 2 * k); }

// A 2 × 1 × 1 box of unit cubes, each split into the six tetrahedra around its
// diagonal (conforming across the cubes), material E = 1000, nu = 0.25, with
// surface groups on its two ends, the face between the cubes, an empty group,
// a point group at the origin and the volume group of all elements.
MeshWithGroups BoxMesh() {
  MeshWithGroups mesh;
  qor::SolidModel& m = mesh.model;
  m.Resize(4 * (kCubes + 1), 6 * kCubes, 1, 0);
  for (int k = 0; k < 2; ++k)
    for (int j = 0; j < 2; ++j)
      for (int i = 0; i <= kCubes; ++i)
        m.Nodes[BoxNode(i, j, k)] = {static_cast<float>(i), static_cast<float>(j), static_cast<float>(k)};
  const int axes[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  int e = 0;
  for (int i = 0; i < kCubes; ++i)
    for (const auto& order : axes) {
      int at[3] = {i, 0, 0};
      auto& row = m.Elements[++e];
      row.node[1] = BoxNode(at[0], at[1], at[2]);
      for (int step = 0; step < 3; ++step) {
        ++at[order[step]];
        row.node[step + 2] = BoxNode(at[0], at[1], at[2]);
      }
      row.material = 1;
    }
  m.Materials[1] = {1000.0f, 0.25f};
  std::fill(m.Densities.begin() + 1, m.Densities.end(), 1.0f);
  const auto end = [](int i) {
    MeshGroup g{"", 2, {BoxNode(i, 0, 0), BoxNode(i, 1, 0), BoxNode(i, 0, 1), BoxNode(i, 1, 1)}, {}, {}};
    const int a = BoxNode(i, 0, 0), c = BoxNode(i, 1, 1);
    g.faces = {{a, BoxNode(i, 1, 0), c}, {a, BoxNode(i, 0, 1), c}};
    std::sort(g.nodes.begin(), g.nodes.end());
    return g;
  };
  mesh.groups = {
      end(0), end(kCubes), end(1), {"empty", 2, {}, {}, {}}, {"origin", 0, {1}, {}, {}}, {"solid", 3, {}, {}, {}}};
  mesh.groups[0].name = "left", mesh.groups[1].name = "right", mesh.groups[2].name = "inner";
  for (int el = 1; el <= m.ElementCount(); ++el) mesh.groups[5].elements.push_back(el);
  return mesh;
}

struct Applied {
  qor::IoResult result;
  qor::SolidModel model;
  std::vector<double> loads;
};

Applied Apply(const MeshWithGroups& mesh, const std::string& statements) {
  Applied out;
  qor::Problem problem;
  out.result = qor::ParseProblem("QOR3DProblem\nmesh box.msh\n" + statements, problem);
  if (out.result.ok) out.result = qor::ApplyProblem(problem, mesh, out.model, out.loads);
  return out;
}

// Reactions K·u − f at the supported degrees of freedom, from the element
// matrices in double precision: their sum must balance the applied loads.
std::array<double, 3> ReactionSums(const qor::ModelStore& s) {
  std::vector<double> r(static_cast<std::size_t>(3 * s.NodeCount + 1), 0.0);
  for (int e = 1; e <= s.ElementCount; ++e) {
    qor::TetCorners corners;
    for (int a = 1; a <= 4; ++a) {
      const auto& p = s.Nodes[s.Elements[e].node[a]];
      corners.x[a] = p.x, corners.y[a] = p.y, corners.z[a] = p.z;
    }
    qor::Matrix6x6 D{};
    qor::Matrix6x12 B{}, DB{};
    qor::Matrix12x12 K{};
    double det = 0;
    const auto& mat = s.Materials[s.Elements[e].material];
    qor::BuildElasticity(mat.E, mat.nu, qor::ElasticityVariant::Stiffness, D);
    qor::BuildStrainDisplacement(corners, B, det);
    qor::MultiplyDB(D, B, DB);
    qor::BuildElementStiffness(B, DB, det, 1.0, K);
    for (int a = 1; a <= 12; ++a)
      for (int b = 1; b <= 12; ++b)
        r[DofOf(s.Elements[e].node[(a + 2) / 3], (a - 1) % 3 + 1)] +=
            K[a][b] * s.Displacements[DofOf(s.Elements[e].node[(b + 2) / 3], (b - 1) % 3 + 1)];
  }
  std::array<double, 3> sums{};
  for (int j = 1; j <= s.SupportCount; ++j) {
    const int d = s.Supports[j].dof;
    sums[(d - 1) % 3] += r[d] - s.Forces[d];
  }
  return sums;
}

// Uniform tension of the box, by a total force and by pressure on both ends:
// every element carries sigma_x = traction exactly, the rest is zero, the free
// end moves by sigma/E times the length and the reactions balance the loads.
// An end held at a displacement of 1 stretches the box by 1.
TEST(ProblemFileTest, UniformTensionOfABoxHasTheClosedFormStress) {
  struct Case {
    const char* statements;
    double sigma;
    double loadX;  // total x load applied
  };
  const Case cases[] = {
      {"support plane=x:0 dirs=x\nsupport plane=y:0 dirs=y\nsupport plane=z:0 dirs=z\n"
       "force group=right total=6,0,0\n",
       6.0, 6.0},
      {"support group=origin dirs=x\nsupport plane=y:0 dirs=y\nsupport plane=z:0 dirs=z\n"
       "pressure plane=x:0 p=-3\npressure group=right p=-3   # pulls\nmaterial E=1000 nu=0.25 group=solid\n",
       3.0, 0.0},
      {"material E=1000 nu=0.25\nsupport group=left dirs=x\nsupport group=origin dirs=yz\n"
       "support plane=z:0 dirs=z\nsupport plane=y:0 dirs=y\nforce plane=x:2 total=-1.5,0,0\n",
       -1.5, -1.5},
      {"support plane=x:0 dirs=x\nsupport plane=x:2 dirs=x value=1\nsupport group=origin dirs=yz\n"
       "support plane=z:0 dirs=z\nsupport plane=y:0 dirs=y\n",
       500.0, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statements);
    const Applied a = Apply(BoxMesh(), c.statements);
    ASSERT_TRUE(a.result.ok) << a.result.message.text;
    auto store = std::make_unique<qor::ModelStore>();
    auto densities = std::make_unique<qor::DensityTable>();
    ASSERT_FALSE(qor::CopyToStore(a.model, *store, *densities));
    ASSERT_TRUE(qor::RunComputeCommand(*store, false).succeeded);
    for (int e = 1; e <= store->ElementCount; ++e) {
      EXPECT_NEAR(store->Stresses[e][qor::SigmaX], c.sigma, 1e-9) << e;
      for (int k = qor::SigmaY; k <= qor::TauXY; ++k) EXPECT_NEAR(store->Stresses[e][k], 0.0, 1e-9) << e;
    }
    const double stretch = c.sigma / 1000.0 * kCubes;
    EXPECT_NEAR(store->Displacements[DofOf(BoxNode(kCubes, 1, 1), 1)] - store->Displacements[DofOf(1, 1)], stretch,
                1e-6 * std::fabs(stretch));
    const std::array<double, 3> reactions = ReactionSums(*store);
    EXPECT_NEAR(reactions[0], -c.loadX, 1e-5);
    EXPECT_NEAR(reactions[1], 0.0, 1e-5);
    EXPECT_NEAR(reactions[2], 0.0, 1e-5);
  }
}

// On a box turned about all three axes, the consistent nodal forces of a total
// sum to that total, and those of a pressure to −p times the vector area of the
// end quadrilateral ABCD, ½ (C − A) × (D − B), to the last digits of a double.
TEST(ProblemFileTest, NodalLoadsOnATiltedFaceSumToTheTotal) {
  MeshWithGroups mesh = BoxMesh();
  // Turned by 0.4 about x, -0.7 about y and 1.1 about z.
  const auto turn = [](std::array<double, 3> p, int axis, double angle) {
    const int i = (axis + 1) % 3, j = (axis + 2) % 3;
    const double pi = p[i], pj = p[j];
    p[i] = std::cos(angle) * pi - std::sin(angle) * pj;
    p[j] = std::sin(angle) * pi + std::cos(angle) * pj;
    return p;
  };
  for (auto& n : mesh.model.Nodes) {
    const auto w = turn(turn(turn({n.x, n.y, n.z}, 0, 0.4), 1, -0.7), 2, 1.1);
    n = {static_cast<float>(w[0]), static_cast<float>(w[1]), static_cast<float>(w[2])};
  }
  const auto& P = mesh.model.Nodes;
  const auto at = [&](int i, int j, int k) {
    const auto& n = P[BoxNode(i, j, k)];
    return std::array<double, 3>{n.x, n.y, n.z};
  };
  const auto A = at(kCubes, 0, 0), B = at(kCubes, 1, 0), C = at(kCubes, 1, 1), D = at(kCubes, 0, 1);
  const double u[3] = {C[0] - A[0], C[1] - A[1], C[2] - A[2]}, v[3] = {D[0] - B[0], D[1] - B[1], D[2] - B[2]};
  const double area[3] = {0.5 * (u[1] * v[2] - u[2] * v[1]), 0.5 * (u[2] * v[0] - u[0] * v[2]),
                          0.5 * (u[0] * v[1] - u[1] * v[0])};
  struct Case {
    const char* statement;
    std::array<double, 3> expected;
  };
  const Case cases[] = {
      {"force group=right total=12.5,-3.25,7\n", {12.5, -3.25, 7}},
      {"pressure group=right p=2.5\n", {-2.5 * area[0], -2.5 * area[1], -2.5 * area[2]}},
  };
  for (const Case& k : cases) {
    const Applied applied = Apply(mesh, std::string("support group=left dirs=xyz\n") + k.statement);
    ASSERT_TRUE(applied.result.ok) << applied.result.message.text;
    std::array<double, 3> sum{};
    for (int n = 1; n <= mesh.model.NodeCount(); ++n)
      for (int d = 1; d <= 3; ++d) sum[d - 1] += applied.loads[DofOf(n, d)];
    for (int d = 0; d < 3; ++d) EXPECT_NEAR(sum[d], k.expected[d], 1e-12) << k.statement << d;
  }
}

// Every bad statement is refused with its line number and leaves the model alone.
TEST(ProblemFileTest, BadStatementsAreRefusedWithTheirLine) {
  struct Case {
    const char* statements;
    const char* message;
  };
  const Case cases[] = {
      {"bend group=left\n", "wiersz 3: nieznane polecenie \"bend\""},
      {"support group=left dirs=xyz colour=red\n", "wiersz 3: nieznany klucz \"colour\" polecenia support"},
      {"\n# clamp\nsupport group=top dirs=x\n",
       "wiersz 5: siatka nie ma grupy \"top\"; ma grupy: left (powierzchnia), right (powierzchnia), inner "
       "(powierzchnia), empty (powierzchnia), origin (punkty), solid (bryła)"},
      {"support plane=x:5 dirs=x\n", "wiersz 3: płaszczyzna x = 5 nie przechodzi przez żaden węzeł"},
      {"force plane=y:-1 total=1,0,0\n", "wiersz 3: płaszczyzna y = -1 nie przechodzi"},
      {"support group=left dirs=xw\n", "wiersz 3: kierunek \"w\""},
      {"force group=right total=1,2\n", "wiersz 3: total=1,2 nie jest trójką"},
      {"pressure group=right p=abc\n", "wiersz 3: \"abc\" nie jest liczbą (klucz p)"},
      {"material E=2e400 nu=0.3\n", "wiersz 3: \"2e400\" nie jest liczbą (klucz E)"},
      {"material E=-5 nu=0.3\n", "wiersz 3: złe stałe materiału"},
      {"support group=solid dirs=x\n", "wiersz 3: grupa \"solid\" to bryła"},
      {"force group=origin total=1,0,0\n", "wiersz 3: grupa \"origin\" to punkty, a obciążenie potrzebuje"},
      {"material E=1 nu=0.3 group=left\n", "wiersz 3: grupa \"left\" to powierzchnia, a materiał"},
      {"support group=left dirs=x value=0.5\n", "wiersz 3: wartość podpory 0.5 nie jest liczbą całkowitą"},
      {"support group=left dirs=x value=1\nsupport plane=x:0 dirs=xy\n",
       "wiersz 4: węzeł 1 w kierunku x jest już podparty z wartością 1 (wiersz 3)"},
      {"support group=left dirs=x\npressure group=inner p=1\n", "wiersz 4: ściana o węzłach 2, 5, 11 grupy"},
      {"support group=empty dirs=x\nsupport group=empty dirs=y\n", "wiersze 3, 4: żadna podpora nie wybiera węzła"},
      {"support group=left dirs=x\nforce group=empty total=1,0,0\nforce plane=x:1 total=1,0,0\n",
       "wiersze 4, 5: żadne obciążenie nie wybiera ściany"},
      {"material E=1 nu=0.3 group=solid\nmaterial E=2 nu=0.3 group=solid\n", "wiersz 4: element 1 ma już materiał"},
      {"material E=1 nu=0.3\nmaterial E=2 nu=0.3\n", "wiersz 4: drugi materiał bez grupy"},
      {"mesh other.msh\n", "wiersz 3: drugie polecenie mesh"},
      {"support group=left dirs=x\nforce group=\"right total=1,0,0\n", "wiersz 4: brak cudzysłowu"},
  };
  const MeshWithGroups mesh = BoxMesh();
  for (const Case& c : cases) {
    qor::Problem problem;
    qor::IoResult result = qor::ParseProblem(std::string("QOR3DProblem\nmesh box.msh\n") + c.statements, problem);
    qor::SolidModel model;
    model.Resize(1, 0, 0, 0);
    std::vector<double> loads{7.0};
    if (result.ok) result = qor::ApplyProblem(problem, mesh, model, loads);
    EXPECT_FALSE(result.ok) << c.statements;
    EXPECT_EQ(result.message.text.rfind(c.message, 0), 0u) << result.message.text;
    EXPECT_EQ(model.NodeCount(), 1);
    EXPECT_EQ(loads, std::vector<double>{7.0});
  }
  qor::Problem problem;
  EXPECT_EQ(qor::ParseProblem("QOR3DProblem\nsupport plane=x:0 dirs=x\n", problem).message.text,
            "plik zadania nie zawiera polecenia mesh");
  EXPECT_FALSE(qor::IsProblemText("QOR3DAscii 0 0 0 0 0\n"));
}

// A problem file names its mesh relative to itself; a native mesh keeps its own
// supports and forces, and the problem's are added to them, a support the file
// already has counted once.
TEST(ProblemFileTest, ProblemFilesReadTheirMeshBesideThem) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("qor_problem_test_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::filesystem::copy_file(std::string(QOR_DATA_DIR) + "/wspornik.q3d", dir / "wspornik.q3d",
                             std::filesystem::copy_options::overwrite_existing);
  struct Case {
    const char* text;
    const char* message;  // empty: read
  };
  const Case cases[] = {
      {"QOR3DProblem\nmesh wspornik.q3d\nsupport plane=x:0 dirs=xyz\nforce plane=x:60 total=0,0,-10\n", ""},
      {"QOR3DProblem\nmesh brak.msh\n", "wiersz 2: nie ma pliku siatki "},
      {"QOR3DProblem\n\nmesh wspornik.q3d\nsupport group=sciana dirs=x\n",
       "wiersz 4: siatka nie ma grupy \"sciana\": nie ma żadnych grup nazwanych"},
  };
  for (const Case& c : cases) {
    std::ofstream(dir / "problem.txt") << c.text;
    ASSERT_TRUE(qor::IsProblemFile((dir / "problem.txt").string()));
    qor::SolidModel model;
    const qor::IoResult result = qor::ReadProblemFile((dir / "problem.txt").string(), model);
    EXPECT_EQ(result.message.text.rfind(c.message, 0), 0u) << result.message.text;
    if (*c.message) continue;
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(model.SupportCount(), 12);
    double fz = 0;
    for (int n = 1; n <= model.NodeCount(); ++n) fz += model.Forces[DofOf(n, 3)];
    EXPECT_NEAR(fz, -20.0, 1e-5);
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
