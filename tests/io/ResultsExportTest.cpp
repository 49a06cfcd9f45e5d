#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "io/CalculixDeck.h"
#include "io/ResultsExport.h"

using qor::ModelStore;

namespace {

// One tetrahedron with values whose shortest exact texts are known: 1/3 needs
// 8 digits, 0.1 one, 1e-5 reads shorter in exponent form, and 16777216 is the
// last float with an exact integer neighbour.
std::unique_ptr<ModelStore> OneTetrahedron() {
  auto s = std::make_unique<ModelStore>();
  s->NodeCount = 4;
  s->ElementCount = 1;
  s->MaterialCount = 1;
  s->Nodes[1] = {0, 0, 0};
  s->Nodes[2] = {1.5f, 0, 0};
  s->Nodes[3] = {0, 0.1f, 0};
  s->Nodes[4] = {0, 0, -2};
  s->Elements[1] = {{0, 4, 2, 3, 1}, 1};
  s->Displacements[qor::DofOf(2, 1)] = 1.0f / 3.0f;
  s->Displacements[qor::DofOf(4, 3)] = -1e-5f;
  s->Stresses[1] = {0, 1.0f / 3.0f, -0.1f, 16777216.0f, 2.5e-7f, 0, -7, 12.75f};
  return s;
}

TEST(ResultsExportTest, CsvTablesCarryEveryBitWithAPoint) {
  const auto s = OneTetrahedron();
  EXPECT_EQ(qor::NodeResultsCsvText(*s),
            "wezel,x,y,z,ux,uy,uz\n"
            "1,0,0,0,0,0,0\n"
            "2,1.5,0,0,0.33333334,0,0\n"
            "3,0,0.1,0,0,0,0\n"
            "4,0,0,-2,0,0,-1e-05\n");
  EXPECT_EQ(qor::ElementResultsCsvText(*s),
            "element,wezel1,wezel2,wezel3,wezel4,material,sigma_x,sigma_y,sigma_z,tau_yz,tau_xz,tau_xy,"
            "naprezenie_red\n"
            "1,4,2,3,1,1,0.33333334,-0.1,16777216,2.5e-07,0,-7,12.75\n");
}

TEST(ResultsExportTest, WritersStayInsideTheTablesWhateverTheCounters) {
  auto s = OneTetrahedron();
  s->NodeCount = 1 << 30;
  s->ElementCount = -5;
  EXPECT_EQ(qor::ElementResultsCsvText(*s).find('\n') + 1, qor::ElementResultsCsvText(*s).size());
  const std::string nodes = qor::NodeResultsCsvText(*s);
  EXPECT_NE(nodes.find("\n999,0,0,0,0,0,0\n"), std::string::npos);
  EXPECT_EQ(nodes.find("\n1000,"), std::string::npos);
  EXPECT_NE(qor::ResultsVtuText(*s).find("NumberOfPoints=\"999\" NumberOfCells=\"0\""), std::string::npos);
}

}  // namespace

namespace {

// The deck for ccx: every element turned to a positive volume, one set per
// material and density (the modulus times the density), elements of density 0
// left out, supports with their values and the non-zero forces.
TEST(ResultsExportTest, CalculixDeckOfTwoTetrahedra) {
  auto store = OneTetrahedron();  // element 1: corners 4 2 3 1, a positive volume as ccx counts it
  store->ElementCount = 3;
  store->Elements[2] = {{0, 1, 2, 3, 4}, 1};  // negative: two corners swapped
  store->Elements[3] = {{0, 1, 2, 3, 4}, 1};
  store->Materials[1] = {200000.0f, 0.3f};
  store->SupportCount = 2;
  store->Supports[1] = {1, 0};
  store->Supports[2] = {6, 2};
  store->Forces[12] = -1000.0f;
  std::array<float, qor::ElementCapacity + 1> densities{};
  densities[1] = 0.5f;
  densities[2] = 0.0f;
  densities[3] = 0.5f;
  const qor::SolidModel model = qor::SolidModelFromStore(*store, densities);
  const std::string nodes = "*HEADING\nQOR 3D\n*NODE, NSET=NALL\n1, 0, 0, 0\n2, 1.5, 0, 0\n3, 0, 0.1, 0\n4, 0, 0, -2\n";
  const std::string tail =
      "*STEP\n*STATIC\n*BOUNDARY\n1, 1, 1, 0\n2, 3, 3, 2\n*CLOAD\n4, 3, -1000\n"
      "*NODE PRINT, NSET=NALL\nU\n*EL PRINT, ELSET=EALL\nS\n*END STEP\n";
  EXPECT_EQ(qor::CalculixDeckText(model, true),
            nodes + "*ELEMENT, TYPE=C3D4, ELSET=M1\n1, 4, 2, 3, 1\n3, 2, 1, 3, 4\n*ELSET, ELSET=EALL\nM1\n" +
                "*MATERIAL, NAME=M1\n*ELASTIC\n1e+05, 0.3\n*SOLID SECTION, ELSET=M1, MATERIAL=M1\n" + tail);
  EXPECT_EQ(qor::CalculixDeckText(model, false),
            nodes + "*ELEMENT, TYPE=C3D4, ELSET=M1\n1, 4, 2, 3, 1\n2, 2, 1, 3, 4\n3, 2, 1, 3, 4\n" +
                "*ELSET, ELSET=EALL\nM1\n*MATERIAL, NAME=M1\n*ELASTIC\n2e+05, 0.3\n"
                "*SOLID SECTION, ELSET=M1, MATERIAL=M1\n" +
                tail);
}

}  // namespace
