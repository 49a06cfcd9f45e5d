#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "io/FileText.h"
#include "io/GidMesh.h"
#include "io/StoreCompare.h"

using qor::ModelStore;
using qor::testing::SameStore;
using qor::testing::SpoiltStore;

namespace {

std::string Sample(const std::string& name) { return std::string(QOR_DATA_DIR) + "/gid/" + name; }

// Six times the signed volume of element e.
double SixVolumes(const ModelStore& s, int e) {
  const auto& p = s.Nodes;
  const auto* n = s.Elements[e].node;
  const double ax = p[n[2]].x - p[n[1]].x, ay = p[n[2]].y - p[n[1]].y, az = p[n[2]].z - p[n[1]].z;
  const double bx = p[n[3]].x - p[n[1]].x, by = p[n[3]].y - p[n[1]].y, bz = p[n[3]].z - p[n[1]].z;
  const double cx = p[n[4]].x - p[n[1]].x, cy = p[n[4]].y - p[n[1]].y, cz = p[n[4]].z - p[n[1]].z;
  return ax * (by * cz - bz * cy) - ay * (bx * cz - bz * cx) + az * (bx * cy - by * cx);
}

void ExpectImportedModel(const ModelStore& s, int nodes, int elements) {
  EXPECT_EQ(s.NodeCount, nodes);
  EXPECT_EQ(s.ElementCount, elements);
  EXPECT_EQ(s.MaterialCount, 1);
  EXPECT_EQ(s.Materials[1].E, 200000.0f);
  EXPECT_EQ(s.Materials[1].nu, 0.3f);
  EXPECT_EQ(s.SupportCount, 0);
  EXPECT_EQ(s.ResultsValid, 0);
  for (int d = 1; d <= 3 * nodes; ++d) ASSERT_EQ(s.Forces[d], 0.0f) << d;
  for (int e = 1; e <= elements; ++e) ASSERT_EQ(s.Elements[e].material, 1);
}

// Imports the text into a spoilt store: results, DofCount and densities must survive.
std::unique_ptr<ModelStore> Imported(const std::string& text) {
  auto store = SpoiltStore();
  const qor::IoResult result = qor::ImportGidMesh(text, *store);
  EXPECT_TRUE(result.ok) << result.message.text;
  EXPECT_EQ(store->DofCount, 9);
  EXPECT_EQ(store->Displacements[5], -2.5f);
  return store;
}

// A refused mesh leaves every byte of the store as it was; the message names the reason.
void ExpectRefused(const std::string& text, const std::string& reasonPart) {
  auto store = SpoiltStore();
  const auto before = std::make_unique<ModelStore>(*store);
  const qor::IoResult result = qor::ImportGidMesh(text, *store);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.message.caption, "Import siatki z GiD");
  EXPECT_EQ(result.message.style, qor::MessageStyle::Exclamation);
  EXPECT_NE(result.message.text.find(reasonPart), std::string::npos) << result.message.text;
  EXPECT_TRUE(SameStore(*store, *before));
}

TEST(GidMeshTest, TripodImportsWithTheRightConnectivity) {
  const auto text = qor::ReadWholeFile(Sample("softrobots_tripod_low_tet4_no_material.gidmsh"));
  ASSERT_TRUE(text);
  const auto s = Imported(*text);
  ExpectImportedModel(*s, 235, 579);
  EXPECT_EQ(s->Nodes[1].x, 40.1313972f);
  EXPECT_EQ(s->Nodes[1].y, 40.4903811f);
  EXPECT_EQ(s->Nodes[2].z, 5.0f);
  EXPECT_EQ(s->Elements[1].node[1], 76);
  EXPECT_EQ(s->Elements[1].node[4], 78);
  // The mesh is known to be positively oriented with about 22448 of volume:
  // wrong node numbers would spoil both.
  double volume = 0;
  for (int e = 1; e <= s->ElementCount; ++e) {
    const double six = SixVolumes(*s, e);
    ASSERT_GT(six, 0) << "element " << e;
    volume += six / 6;
  }
  EXPECT_NEAR(volume, 22448, 1);
}

TEST(GidMeshTest, TwoBlocksWithCrLfGiveOnlyTheTetrahedra) {
  const auto text = qor::ReadWholeFile(Sample("kratos_tet2_tri4_two_blocks.post.msh"));
  ASSERT_TRUE(text);
  const auto s = Imported(*text);
  ExpectImportedModel(*s, 5, 2);
  EXPECT_EQ(s->Nodes[5].x, 0.5f);
  EXPECT_EQ(s->Nodes[5].z, 1.0f);
  const int second[5] = {0, 2, 3, 4, 5};
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(s->Elements[2].node[k], second[k]);
}

TEST(GidMeshTest, SamplesThatTheStoreCannotTakeAreRefused) {
  const auto big = qor::ReadWholeFile(Sample("sofa_tripod_tet4_781n_2684e_no_material.gidmsh"));
  ASSERT_TRUE(big);
  ExpectRefused(*big, "za dużo elementów: 2684 (najwyżej 1997)");
  const auto hexahedra = qor::ReadWholeFile(Sample("kratos_grid32_hexa_1000_nodes.post.msh"));
  ASSERT_TRUE(hexahedra);
  ExpectRefused(*hexahedra, "nie zawiera siatki czworościanów");
  for (const char* name : {"amfe_gid_ascii_4_tris_no_material.msh", "gidinterface_arrow_tri_quad_two_blocks.msh",
                           "kratos_poisson_tri_comment_empty_block.msh"}) {
    const auto text = qor::ReadWholeFile(Sample(name));
    ASSERT_TRUE(text) << name;
    ExpectRefused(*text, "nie zawiera siatki czworościanów");
  }
}

TEST(GidMeshTest, PlainFileAsTheOldReaderTookIt) {
  // A header line, nodes closed by "end" and a word, one element with its material, "end" and a word.
  const auto s = Imported(
      "Siatka z programu\nCoordinates\n1 0 0 0\n2 1 0 0\n3 0 1 0\n4 0 0 1\nend coordinates\n"
      "Elements\n1 1 2 3 4 7\nend elements\n");
  ExpectImportedModel(*s, 4, 1);
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(s->Elements[1].node[k], k);
  EXPECT_EQ(s->Nodes[2].x, 1.0f);
  EXPECT_EQ(s->Nodes[4].z, 1.0f);
}

TEST(GidMeshTest, FileNumbersMapToProgramNumbersInOrderOfAppearance) {
  const auto s = Imported(
      "# written by hand\n"
      "mesh \"a\" dimension 3 elemtype TETRAHEDRA nnode 4   # first block\r\n"
      "COORDINATES\r\n 50 5 0 0\r\n 10\t1 0 0\r\n 30 3 0 0 # node thirty\r\n\r\n 20 2 0 0\r\n"
      "END COORDINATES\r\n"
      "elements\r\n 7 10 20 30 50\r\n 8 20 30 50 40 2\r\n end elements\r\n"
      "MESH \"b\" dimension 3 ElemType Triangle Nnode 3\n"
      "Coordinates\n 40 4 0 0\n 50 9 9 9\n 60 6 0 0\nEnd Coordinates\n"
      "Elements\n 1 10 20 30\n 2 10 20 40\nEnd Elements\n");
  ExpectImportedModel(*s, 5, 2);
  // 50 -> 1, 10 -> 2, 30 -> 3, 20 -> 4, 40 -> 5 (from the later block, named by
  // a tetrahedron); 60 belongs only to the skipped triangles and is left out.
  const int first[5] = {0, 2, 4, 3, 1}, second[5] = {0, 4, 3, 1, 5};
  for (int k = 1; k <= 4; ++k) {
    EXPECT_EQ(s->Elements[1].node[k], first[k]);
    EXPECT_EQ(s->Elements[2].node[k], second[k]);
  }
  EXPECT_EQ(s->Nodes[1].x, 5.0f) << "a node met again keeps its first coordinates";
  EXPECT_EQ(s->Nodes[5].x, 4.0f);
}

// One tetrahedron on file nodes 1, 2, 4 and 5 of five listed nodes, as other
// tools write it; node 3 is listed but used by no tetrahedron.
std::string Pyramid(const std::string& header, const std::string& top) {
  return header + "\nCoordinates\n1 0 0 0\n2 1 0 0\n3 1 1 0\n4 0 1 0\n5 " + top +
         "\nEnd Coordinates\nElements\n1 1 2 4 5 1\nEnd Elements\n";
}

TEST(GidMeshTest, TakesExactlyTheNodesOfTheTetrahedraAsExportersWriteThem) {
  const std::string kratos = "MESH \"Kratos_Tetrahedra3D4_Mesh_0\" dimension 3 ElemType Tetrahedra Nnode 4";
  const std::string triangles =
      "MESH \"skin\" dimension 3 ElemType Triangle Nnode 3\nCoordinates\n1 0 0 0\n2 1 0 0\n3 1 1 0\n4 0 1 0\n"
      "5 0.5 0.5 1\nEnd Coordinates\nElements\n1 1 2 3 1\n2 1 3 4 1\nEnd Elements\n";
  const std::string tetrahedron = kratos + "\nCoordinates\nEnd Coordinates\nElements\n1 1 2 4 5 1\nEnd Elements\n";
  struct Case {
    const char* what;
    std::string text;
    qor::NodeRow top;
  } cases[] = {
      {"a listed node that no tetrahedron uses", Pyramid(kratos, "0.5 0.5 1"), {0.5f, 0.5f, 1}},
      {"nodes listed in a triangle block before", triangles + tetrahedron, {0.5f, 0.5f, 1}},
      {"nodes listed in a triangle block after", Pyramid(kratos, "0.5 0.5 1") + triangles, {0.5f, 0.5f, 1}},
      {"\"=\" in the header", Pyramid("MESH dimension = 3 ElemType Tetrahedra  Nnode = 4", "0 0 1"), {0, 0, 1}},
      {"a lower-case header", Pyramid("mesh dimension = 3 elemtype tetrahedra nnode = 4", "0 0 1"), {0, 0, 1}},
      {"\"#\" in the mesh name",
       Pyramid("MESH \"Part #1\" dimension 3 ElemType Tetrahedra Nnode 4 # c", "0 0 1"),
       {0, 0, 1}},
      {"exponents D and tiny values", Pyramid(kratos, "1.5D-3 -1e-50 2.5d+1"), {1.5e-3f, 0, 25}},
      {"a value only a denormal float holds", Pyramid(kratos, "0 1e-40 1E0"), {0, 1e-40f, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto s = Imported(c.text);
    ExpectImportedModel(*s, 4, 1);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(s->Elements[1].node[k], k);
    EXPECT_EQ(s->Nodes[3].x, 0.0f);
    EXPECT_EQ(s->Nodes[3].y, 1.0f);
    EXPECT_EQ(s->Nodes[4].x, c.top.x);
    EXPECT_EQ(s->Nodes[4].y, c.top.y);
    EXPECT_EQ(s->Nodes[4].z, c.top.z);
  }
}

TEST(GidMeshTest, RefusesMeshesItCannotTakeFaithfully) {
  const std::string nodes = "Coordinates\n1 0 0 0\n2 1 0 0\n3 0 1 0\n4 0 0 1\nend coordinates\n";
  ExpectRefused(nodes + "Elements\n1 1 2 3 5\nend elements\n", "węzła 5, którego plik nie definiuje");
  ExpectRefused(nodes + "Elements\nend elements\n", "nie zawiera siatki czworościanów");
  ExpectRefused(nodes, "nie zawiera siatki czworościanów");
  ExpectRefused("", "nie zawiera siatki czworościanów");
  for (const char* header :
       {"MESH dimension 3 ElemType Tetrahedra Nnode 10", "MESH dimension = 3 ElemType Tetrahedra Nnode = 10"})
    ExpectRefused(header + ("\n" + nodes) + "Elements\n1 1 2 3 4 1 2 3 4 1 2\nend\n",
                  "nie zawiera siatki czworościanów");
  ExpectRefused(
      "MESH \"plate\" dimension 2 ElemType Triangle Nnode 3\nCoordinates\n1 0 0\n2 1 0\n3 0 1\nend coordinates\n"
      "Elements\n1 1 2 3 1\nend elements\n",
      "nie zawiera siatki czworościanów");
  ExpectRefused(nodes + "Elements\n1 1 2 3\nend elements\n", "wiersz 8");
  ExpectRefused(nodes + "Elements\n1 1 2 3 4 1 9\nend elements\n", "wiersz 8");
  ExpectRefused(nodes + "Elements\n1 1 2 x 4\nend elements\n", "wiersz 8");
  ExpectRefused("Coordinates\n1 0 0\nend\n", "wiersz 2");
  ExpectRefused("Coordinates\n1 0 nan 0\nend\n", "wiersz 2");
  ExpectRefused("Coordinates\n1 0 0,5 0\nend\n", "wiersz 2");
  ExpectRefused("Coordinates\n1 0 1e39 0\nend\n", "wiersz 2");
  ExpectRefused("Coordinates\n1 0 -2.5D40 0\nend\n", "wiersz 2");
  ExpectRefused("Coordinates\n1 0 1e-50x 0\nend\n", "wiersz 2");
  ExpectRefused("Coordinates\n1 0 0 0 \"x # y\nend\n", "wiersz 2");
  ExpectRefused("Coordinates\n1 0 0 " + std::string(100000, '7') + "\nend\n", "wiersz 2");
}

// A regular row of tetrahedra on `nodes` nodes with `elements` elements.
std::string Chain(int nodes, int elements) {
  std::string text = "MESH dimension 3 ElemType Tetrahedra Nnode 4\nCoordinates\n";
  for (int n = 1; n <= nodes; ++n)
    text +=
        std::to_string(n) + " " + std::to_string(n) + " " + std::to_string(n % 7) + " " + std::to_string(n % 3) + "\n";
  text += "End Coordinates\nElements\n";
  for (int e = 1; e <= elements; ++e) {
    const int a = (e - 1) % (nodes - 3) + 1;
    text += std::to_string(e) + " " + std::to_string(a) + " " + std::to_string(a + 1) + " " + std::to_string(a + 2) +
            " " + std::to_string(a + 3) + "\n";
  }
  return text + "End Elements\n";
}

TEST(GidMeshTest, SizeLimitsAreTheStoreLimits) {
  ExpectImportedModel(*Imported(Chain(997, 1997)), 997, 1997);
  ExpectRefused(Chain(998, 995), "za dużo węzłów: 998 (najwyżej 997)");
  // Only the nodes the tetrahedra use count: 13 of 2000 listed.
  ExpectImportedModel(*Imported(Chain(2000, 10)), 13, 10);
  ExpectRefused(Chain(100, 1998), "za dużo elementów: 1998 (najwyżej 1997)");
  ExpectRefused(Chain(5000, 30000), "węzłów: 5000 (najwyżej 997).\nSiatka ma za dużo elementów: 30000");
}

// The batch's road: the same nodes and elements as the window's import, and
// no store limits.
TEST(GidMeshTest, AnySizeModelIsTheImportedMeshWithoutTheStoreLimits) {
  struct Case {
    const char* name;
    int nodes, elements;
    bool fitsStore;
  } cases[] = {{"softrobots_tripod_low_tet4_no_material.gidmsh", 235, 579, true},
               {"sofa_tripod_tet4_781n_2684e_no_material.gidmsh", 781, 2684, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    qor::MeshWithGroups mesh;
    ASSERT_TRUE(qor::ReadGidFile(Sample(c.name), mesh).ok);
    const qor::SolidModel& m = mesh.model;
    ASSERT_EQ(m.NodeCount(), c.nodes);
    ASSERT_EQ(m.ElementCount(), c.elements);
    EXPECT_TRUE(mesh.groups.empty());
    EXPECT_EQ(m.Materials[1].E, 200000.0f);
    EXPECT_EQ(m.Densities[c.elements], 1.0f);
    auto store = std::make_unique<ModelStore>();
    ASSERT_EQ(qor::ImportGidFile(Sample(c.name), *store).ok, c.fitsStore);
    if (c.fitsStore) {
      for (int e = 1; e <= c.elements; ++e)
        for (int k = 1; k <= 4; ++k) ASSERT_EQ(m.Elements[e].node[k], store->Elements[e].node[k]);
      for (int n = 1; n <= c.nodes; ++n) ASSERT_EQ(m.Nodes[n].z, store->Nodes[n].z);
    }
  }
  qor::MeshWithGroups mesh;
  mesh.model.Resize(3, 1, 1, 0);
  EXPECT_FALSE(qor::ReadGidMesh("Coordinates\n1 0 0\nend\n", mesh).ok);
  EXPECT_EQ(mesh.model.NodeCount(), 3);
}

TEST(GidMeshTest, MissingFileIsRefused) {
  auto store = SpoiltStore();
  const auto before = std::make_unique<ModelStore>(*store);
  const qor::IoResult result = qor::ImportGidFile(Sample("no-such-file.msh"), *store);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.message.text, "Nie można odczytać pliku siatki.");
  EXPECT_TRUE(SameStore(*store, *before));
}

}  // namespace
