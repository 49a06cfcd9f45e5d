#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "io/GmshMesh.h"

using qor::MeshGroup;
using qor::MeshWithGroups;

namespace {

// Two tetrahedra on sparse node tags listed out of order, a node no element
// uses, a triangle off the solid (it uses node 60), and groups of each
// dimension, one of them named but empty. Written in both versions.
const std::string Msh41 =
    "$MeshFormat\n4.1 0 8\n$EndMeshFormat\n$PhysicalNames\n4\n0 4 \"tip\"\n2 2 \"base\"\n2 9 \"empty\"\n"
    "3 1 \"solid\"\n$EndPhysicalNames\n$Entities\n1 1 1 1\n5 0 0 1 1 4\n3 0 0 0 1 1 1 1 7 0\n"
    "3 0 0 0 1 1 0 1 2 0\n1 0 0 0 1 1 1 1 1 0\n$EndEntities\n"
    "$Nodes\n2 7 10 99\n3 1 0 5\n30\n10\n20\n40\n50\n1 0 0\n0 0 0\n0 1 0\n0 0 1\n0.5 0.5 -1\n"
    "1 3 0 2\n99\n60\n9 9 9\n5 5 5\n$EndNodes\n"
    "$Elements\n4 6 1 6\n3 1 4 2\n1 10 30 20 40\n2 30 20 10 50\n2 3 2 2\n3 10 30 20\n4 10 30 60\n"
    "1 3 1 1\n5 10 99\n0 5 15 1\n6 40\n$EndElements\n";
const std::string Msh22 =
    "$MeshFormat\n2.2 0 8\n$EndMeshFormat\n$PhysicalNames\n4\n0 4 \"tip\"\n2 2 \"base\"\n2 9 \"empty\"\n"
    "3 1 \"solid\"\n$EndPhysicalNames\n"
    "$Nodes\n7\n30 1 0 0\n10 0 0 0\n99 9 9 9\n20 0 1 0\n40 0 0 1\n60 5 5 5\n50 0.5 0.5 -1\n$EndNodes\n"
    "$Elements\n6\n6 15 2 4 5 40\n5 1 2 7 3 10 99\n3 2 2 2 3 10 30 20\n4 2 2 2 3 10 30 60\n"
    "1 4 2 1 1 10 30 20 40\n2 4 2 1 1 30 20 10 50\n$EndElements\n";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

std::string WithCrLf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

TEST(GmshMeshTest, BothVersionsGiveTheTetrahedraAndTheGroups) {
  struct Case {
    const char* what;
    std::string text;
  } cases[] = {
      {"4.1", Msh41},
      {"2.2 with CR LF and a comment", WithCrLf(Replaced(Msh22, "$Nodes", "$Comments\n$Nodes\n$EndComments\n$Nodes"))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MeshWithGroups mesh;
    const qor::IoResult result = qor::ReadGmshMesh(c.text, mesh);
    ASSERT_TRUE(result.ok) << result.message.text;
    const qor::SolidModel& m = mesh.model;
    // Numbered by first use in the tetrahedra: 10, 30, 20, 40, 50; 60 and 99 left out.
    ASSERT_EQ(m.NodeCount(), 5);
    ASSERT_EQ(m.ElementCount(), 2);
    const int nodes[2][4] = {{1, 2, 3, 4}, {2, 3, 1, 5}};
    for (int e = 1; e <= 2; ++e) {
      EXPECT_EQ(m.Elements[e].material, 1);
      EXPECT_EQ(m.Densities[e], 1.0f);
      for (int k = 1; k <= 4; ++k) EXPECT_EQ(m.Elements[e].node[k], nodes[e - 1][k - 1]);
    }
    EXPECT_EQ(m.Nodes[2].x, 1.0f);
    EXPECT_EQ(m.Nodes[3].y, 1.0f);
    EXPECT_EQ(m.Nodes[5].z, -1.0f);
    EXPECT_EQ(m.Forces, std::vector<float>(16, 0.0f));
    ASSERT_EQ(m.MaterialCount(), 1);
    EXPECT_EQ(m.Materials[1].E, 200000.0f);
    EXPECT_EQ(m.Materials[1].nu, 0.3f);
    EXPECT_EQ(m.SupportCount(), 0);

    const std::vector<MeshGroup> groups = {
        {"tip", 0, {4}, {}, {}},
        {"7", 1, {1}, {}, {}},
        {"base", 2, {1, 2, 3}, {{1, 2, 3}}, {}},
        {"empty", 2, {}, {}, {}},
        {"solid", 3, {1, 2, 3, 4, 5}, {}, {1, 2}},
    };
    ASSERT_EQ(mesh.groups.size(), groups.size());
    for (std::size_t g = 0; g < groups.size(); ++g) {
      EXPECT_EQ(mesh.groups[g].name, groups[g].name);
      EXPECT_EQ(mesh.groups[g].dimension, groups[g].dimension) << groups[g].name;
      EXPECT_EQ(mesh.groups[g].nodes, groups[g].nodes) << groups[g].name;
      EXPECT_EQ(mesh.groups[g].faces, groups[g].faces) << groups[g].name;
      EXPECT_EQ(mesh.groups[g].elements, groups[g].elements) << groups[g].name;
    }
  }
}

// A mesh written by the gmsh command in both versions: the same block of
// volume 2, the group faces on their planes with area 1.
TEST(GmshMeshTest, MeshesOfTheGmshCommandReadAlike) {
  MeshWithGroups a, b;
  ASSERT_TRUE(qor::ReadGmshFile(std::string(QOR_DATA_DIR) + "/gmsh/klocek41.msh", a).ok);
  ASSERT_TRUE(qor::ReadGmshFile(std::string(QOR_DATA_DIR) + "/gmsh/klocek22.msh", b).ok);
  const qor::SolidModel& m = a.model;
  ASSERT_EQ(m.NodeCount(), b.model.NodeCount());
  ASSERT_EQ(m.ElementCount(), b.model.ElementCount());
  double volume = 0;
  for (int e = 1; e <= m.ElementCount(); ++e) {
    const auto& p = m.Nodes;
    const auto* n = m.Elements[e].node;
    for (int k = 1; k <= 4; ++k) ASSERT_EQ(n[k], b.model.Elements[e].node[k]);
    const double u[3] = {p[n[2]].x - p[n[1]].x, p[n[2]].y - p[n[1]].y, p[n[2]].z - p[n[1]].z};
    const double v[3] = {p[n[3]].x - p[n[1]].x, p[n[3]].y - p[n[1]].y, p[n[3]].z - p[n[1]].z};
    const double w[3] = {p[n[4]].x - p[n[1]].x, p[n[4]].y - p[n[1]].y, p[n[4]].z - p[n[1]].z};
    const double six =
        u[0] * (v[1] * w[2] - v[2] * w[1]) - u[1] * (v[0] * w[2] - v[2] * w[0]) + u[2] * (v[0] * w[1] - v[1] * w[0]);
    ASSERT_GT(six, 0) << e;
    volume += six / 6;
  }
  EXPECT_NEAR(volume, 2.0, 1e-6);
  const struct {
    const char* name;
    float x;
  } planes[] = {{"utwierdzenie", 0.0f}, {"obciazenie", 2.0f}};
  for (const auto& plane : planes) {
    const MeshGroup* group = nullptr;
    for (const MeshGroup& g : a.groups) group = g.name == plane.name ? &g : group;
    ASSERT_NE(group, nullptr) << plane.name;
    EXPECT_EQ(group->dimension, 2);
    for (std::int32_t n : group->nodes) ASSERT_NEAR(m.Nodes[n].x, plane.x, 1e-6) << plane.name;
    double area = 0;
    for (const auto& f : group->faces) {
      const auto &p = m.Nodes[f[0]], &q = m.Nodes[f[1]], &r = m.Nodes[f[2]];
      area += 0.5 * std::fabs((double(q.y) - p.y) * (double(r.z) - p.z) - (double(q.z) - p.z) * (double(r.y) - p.y));
    }
    EXPECT_NEAR(area, 1.0, 1e-6) << plane.name;
  }
}

TEST(GmshMeshTest, RefusesWhatItCannotTakeAndKeepsTheMesh) {
  struct Case {
    const char* what;
    std::string text;
    const char* reason;
  } cases[] = {
      {"binary", Replaced(Msh41, "4.1 0 8", "4.1 1 8"), "zapisany binarnie"},
      {"version 4.0", Replaced(Msh41, "4.1 0 8", "4.0 0 8"), "w wersji 4.0"},
      {"no format line", Replaced(Msh22, "$MeshFormat\n", ""), "nie zaczyna się wierszem $MeshFormat"},
      {"ten-node tetrahedra", Replaced(Msh41, "3 1 4 2", "3 1 11 2"), "typu 11 (czworościany 10-węzłowe)"},
      {"quadratic lines before the solid",
       Replaced(Replaced(Msh22, "5 1 2 7 3 10 99", "5 8 2 7 3 10 99 20"), "1 4 2 1 1 10 30 20 40",
                "1 11 2 1 1 10 30 20 40 1 2 3 4 5 6"),
       "typu 11"},
      {"a hexahedron", Replaced(Msh22, "1 4 2 1 1 10 30 20 40", "1 5 2 1 1 10 30 20 40 1 2 3 4"), "typu 5"},
      {"a coordinate beyond float", Replaced(Msh41, "\n0 0 1\n", "\n0 0 1e39\n"), "wiersz 29 "},
      {"a coordinate beyond double", Replaced(Msh41, "\n0 0 1\n", "\n0 0 -1e400\n"), "wiersz 29 "},
      {"two signs", Replaced(Msh41, "\n0 0 1\n", "\n0 0 +-1\n"), "wiersz 29 "},
      {"a word for a coordinate", Replaced(Msh41, "0.5 0.5 -1", "0.5 0.5 -1x"), "wiersz 30 "},
      {"a block count that does not add up", Replaced(Msh41, "2 7 10 99", "2 8 10 99"), "wiersz 19 "},
      {"an undefined node", Replaced(Msh41, "2 30 20 10 50", "2 30 20 10 51"), "węzła 51, którego plik nie"},
      {"a node tag twice", Replaced(Msh22, "\n99 9 9 9", "\n30 9 9 9"), "Węzeł 30 w wierszu 15 jest już"},
      {"a node line too short", Replaced(Msh22, "40 0 0 1", "40 0 0"), "wiersz 17 "},
      {"a count beyond the text", Replaced(Msh22, "$Nodes\n7\n", "$Nodes\n70000\n"), "wiersz 12 "},
      {"no end line", Replaced(Msh41, "$EndElements\n", ""), "Brak wiersza $EndElements"},
      {"no tetrahedra", "$MeshFormat\n2.2 0 8\n$EndMeshFormat\n", "nie zawiera siatki czworościanów"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MeshWithGroups mesh;
    mesh.model.Resize(3, 1, 1, 0);
    mesh.groups.push_back({"before", 3, {1}, {}, {1}});
    const qor::IoResult result = qor::ReadGmshMesh(c.text, mesh);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message.caption, "Import siatki z Gmsh");
    EXPECT_NE(result.message.text.find(c.reason), std::string::npos) << result.message.text;
    EXPECT_EQ(mesh.model.NodeCount(), 3);
    ASSERT_EQ(mesh.groups.size(), 1u);
    EXPECT_EQ(mesh.groups[0].name, "before");
  }
}

}  // namespace
