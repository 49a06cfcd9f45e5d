#include <gtest/gtest.h>

#include <memory>
#include <string>

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
