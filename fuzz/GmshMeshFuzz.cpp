// Feeds arbitrary bytes to the Gmsh mesh reader. Properties checked: no memory
// or undefined-behaviour fault; a refused mesh leaves the target as it was and
// says why; an accepted mesh has at least one element, only elements on its
// own nodes, every node used and numbered by first use, zero forces, one
// default material, no supports, densities 1, and groups whose numbers are
// the model's, ascending where the reader promises it.
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"
#include "io/GmshMesh.h"

namespace {

void CheckGroups(const qor::MeshWithGroups& mesh) {
  const qor::SolidModel& m = mesh.model;
  for (const qor::MeshGroup& g : mesh.groups) {
    FUZZ_CHECK(!g.name.empty() && g.dimension >= 0 && g.dimension <= 3);
    FUZZ_CHECK(g.faces.empty() || g.dimension == 2);
    FUZZ_CHECK(g.elements.empty() || g.dimension == 3);
    for (std::size_t i = 0; i < g.nodes.size(); ++i) {
      FUZZ_CHECK(g.nodes[i] >= 1 && g.nodes[i] <= m.NodeCount());
      FUZZ_CHECK(i == 0 || g.nodes[i - 1] < g.nodes[i]);
    }
    for (const auto& face : g.faces)
      for (std::int32_t n : face) FUZZ_CHECK(n >= 1 && n <= m.NodeCount());
    for (std::size_t i = 0; i < g.elements.size(); ++i) {
      FUZZ_CHECK(g.elements[i] >= 1 && g.elements[i] <= m.ElementCount());
      FUZZ_CHECK(i == 0 || g.elements[i - 1] < g.elements[i]);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  qor::MeshWithGroups mesh;
  mesh.model.Resize(2, 1, 1, 1);
  mesh.model.Nodes[2].x = 7.0f;
  mesh.groups.push_back({"before", 1, {1, 2}, {}, {}});

  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const qor::IoResult result = qor::ReadGmshMesh(text, mesh);
  if (!result.ok) {
    FUZZ_CHECK(!result.message.text.empty());
    FUZZ_CHECK(mesh.model.NodeCount() == 2 && mesh.model.ElementCount() == 1 && mesh.model.SupportCount() == 1);
    FUZZ_CHECK(mesh.model.Nodes[2].x == 7.0f && mesh.groups.size() == 1 && mesh.groups[0].name == "before");
    return 0;
  }
  const qor::SolidModel& m = mesh.model;
  FUZZ_CHECK(m.NodeCount() >= 1 && m.ElementCount() >= 1);
  FUZZ_CHECK(m.MaterialCount() == 1 && m.Materials[1].E == 200000.0f && m.Materials[1].nu == 0.3f);
  FUZZ_CHECK(m.SupportCount() == 0);
  FUZZ_CHECK(static_cast<std::int32_t>(m.Forces.size()) == m.DofCount() + 1);
  for (std::size_t d = 1; d < m.Forces.size(); ++d) FUZZ_CHECK(m.Forces[d] == 0.0f);
  std::int32_t highest = 0;
  for (std::int32_t e = 1; e <= m.ElementCount(); ++e) {
    FUZZ_CHECK(m.Elements[e].material == 1 && m.Densities[e] == 1.0f);
    for (int k = 1; k <= 4; ++k) {
      const std::int32_t n = m.Elements[e].node[k];
      FUZZ_CHECK(n >= 1 && n <= highest + 1);
      if (n > highest) highest = n;
    }
  }
  FUZZ_CHECK(highest == m.NodeCount());
  CheckGroups(mesh);
  return 0;
}
