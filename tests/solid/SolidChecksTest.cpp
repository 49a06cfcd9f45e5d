#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "analysis/BlockMesh.h"
#include "analysis/ComputeCommand.h"
#include "solid/Rigidity.h"
#include "solid/SolidChecks.h"
#include "sparse/LargeCantilever.h"

namespace {

using namespace qor;
using namespace qortest;

// The checks of the sparse path refuse what the window's compute command
// refuses, with the same message and cause line, before any solver runs.
TEST(SolidChecks, RefuseWhatTheBandPathRefusesWithItsMessage) {
  struct Case {
    const char* what;
    std::function<void(ModelStore&)> spoil;
    bool useDensities = false;
  };
  const Case cases[] = {
      {"no elements", [](ModelStore& s) { s.ElementCount = 0; }},
      {"no materials", [](ModelStore& s) { s.MaterialCount = 0; }},
      {"no supports", [](ModelStore& s) { s.SupportCount = 0; }},
      {"material out of range",
       [](ModelStore& s) {
         s.Materials[++s.MaterialCount] = {-5.0f, 0.3f};
         s.Elements[3].material = 2;
       }},
      {"nu = 0.5", [](ModelStore& s) { s.Materials[1].nu = 0.5f; }},
      {"flat element", [](ModelStore& s) { s.Elements[4].node[2] = s.Elements[4].node[1]; }},
      {"negative density", [](ModelStore&) { Densities[7] = -1.0f; }, true},
      {"node in no element",
       [](ModelStore& s) {
         s.Nodes[++s.NodeCount] = {7, 7, 7};
         AddSupport(s, s.NodeCount, 1);
       }},
      {"held at one node", [](ModelStore& s) { s.SupportCount = 3; }},
      {"held in x only",
       [](ModelStore& s) {
         for (int j = 1; j <= s.SupportCount; ++j) s.Supports[j].dof = 3 * ((s.Supports[j].dof + 2) / 3) - 2;
       }},
      {"no stiffness at all", [](ModelStore&) { Densities.fill(0.0f); }, true},
  };
  for (const Case& c : cases) {
    auto s = std::make_unique<ModelStore>();
    BuildCantilever(*s, 4, 1, 1, 1.0f, 1.0f);  // 20 nodes, face x = 0 (nodes 1 to 4) held
    Densities.fill(1.0f);
    c.spoil(*s);
    const SolidModel model = SolidModelFromStore(*s, Densities);
    const ComputeOutcome band = ComputeModel(*s, c.useDensities);
    ASSERT_FALSE(band.succeeded) << c.what;
    const std::optional<UserMessage> refusal = CheckSolidModel(model, c.useDensities);
    ASSERT_TRUE(refusal) << c.what;
    EXPECT_EQ(*refusal, band.message) << c.what << ": " << refusal->detail << " / " << band.message.detail;
  }
  Densities.fill(1.0f);
  auto s = std::make_unique<ModelStore>();
  BuildCantilever(*s, 4, 1, 1, 1.0f, 1.0f);
  EXPECT_FALSE(CheckSolidModel(SolidModelFromStore(*s, Densities), true));
}

// A bar of nx × n × n unit cells, E = 200000, its end x = 0 held in x, y and z
// or in x only.
SolidModel LargeBar(int nx, int n, bool heldInAllDirections) {
  SolidModel m = BuildSolidCantilever(nx, n, n, float(nx), float(n), 200000.0f, 0.3f, 100.0f);
  if (!heldInAllDirections)
    m.Supports.erase(
        std::remove_if(m.Supports.begin() + 1, m.Supports.end(), [](const SupportRow& s) { return s.dof % 3 != 1; }),
        m.Supports.end());
  return m;
}

// Appends a bar of `cells` cells along x beyond the end x = nx, one cell across
// (y and z from 0 to 1), sharing with the bar those corners (j, k) of its first
// face that `keep` names; the others are new nodes at the same place.
void AppendHingedPart(SolidModel& m, int nx, int n, int cells, const std::function<bool(int, int)>& keep) {
  auto number = [&](int i, int j, int k) { return (i * (n + 1) + j) * (n + 1) + k + 1; };
  std::vector<std::array<int, 4>> ids;  // [i][corner (j, k)]
  for (int i = 0; i <= cells; ++i) {
    std::array<int, 4> row{};
    for (int c = 0; c < 4; ++c) {
      const int j = c & 1, k = c >> 1;
      if (i == 0 && keep(j, k)) {
        row[c] = number(nx, j, k);
      } else {
        m.Nodes.push_back({float(nx + i), float(j), float(k)});
        row[c] = m.NodeCount();
      }
    }
    ids.push_back(row);
  }
  static const int orders[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  for (int i = 0; i < cells; ++i)
    for (const auto& order : orders) {
      int p[3] = {0, 0, 0};
      ElementRow row;
      row.node[1] = ids[i][0];
      for (int step = 0; step < 3; ++step) {
        ++p[order[step]];
        row.node[step + 2] = ids[i + p[0]][p[1] + 2 * p[2]];
      }
      row.material = 1;
      m.Elements.push_back(row);
      m.Densities.push_back(1.0f);
    }
  m.Forces.resize(3 * static_cast<std::size_t>(m.NodeCount()) + 1, 0.0f);
}

// At about 1e5 degrees of freedom the check finds the mechanisms of the band
// path's families, and accepts the sound bar, in well under a second each.
TEST(SolidChecks, LargeModelsAreJudgedByTheirParts) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "large models run in the release build";
#endif
  constexpr int nx = 80, n = 20;  // 35,721 nodes, 107,163 degrees of freedom
  const int barNodes = (nx + 1) * (n + 1) * (n + 1);
  struct Case {
    const char* what;
    bool held;                             // the end x = 0 held in all directions (else in x only)
    std::function<bool(int, int)> shared;  // corners of the hinged part's first face on the bar; none: no part
    bool mechanism;
  };
  const Case cases[] = {
      {"the bar held at its end", true, {}, false},
      {"the bar held in x only", false, {}, true},
      {"a part sharing a face", true, [](int, int) { return true; }, false},
      {"a part joined along an edge", true, [](int, int k) { return k == 0; }, true},
      {"a part joined at a node", true, [](int j, int k) { return j == 0 && k == 0; }, true},
      {"a part attached to nothing", true, [](int, int) { return false; }, true},
  };
  for (const Case& c : cases) {
    SolidModel m = LargeBar(nx, n, c.held);
    if (c.shared) AppendHingedPart(m, nx, n, 4, c.shared);
    const FreeMotion free = FindFreeMotion(m);
    EXPECT_EQ(free.dof != 0, c.mechanism) << c.what << ", dof " << free.dof;
    // The node named lies on the part that can move.
    if (c.mechanism && c.shared) {
      EXPECT_GT((free.dof + 2) / 3, barNodes) << c.what;
    }
  }
}

}  // namespace
