#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/IoResult.h"
#include "solid/SolidModel.h"

namespace qor {

// A named physical group of a mesh, in the model's own numbers (from 1).
struct MeshGroup {
  std::string name;
  int dimension = 0;                               // 0 points, 1 lines, 2 surfaces, 3 volumes
  std::vector<std::int32_t> nodes;                 // model nodes of the group, ascending, each once
  std::vector<std::array<std::int32_t, 3>> faces;  // triangles of a surface group, model node numbers
  std::vector<std::int32_t> elements;              // tetrahedra of a volume group, model element numbers
};

// A tetrahedral mesh with its named groups: the model holds the nodes that
// the tetrahedra use (numbered from 1 in order of first use), the elements
// with material 1 and the one material E = 200000, nu = 0.3, as the GiD
// import gives; no supports, no forces, densities 1.
struct MeshWithGroups {
  SolidModel model;
  std::vector<MeshGroup> groups;
};

/// Reads a Gmsh MSH file (4.1 or 2.2, ASCII). Tetrahedra (type 4) are the solid, triangles (type 2)
/// only mark faces of groups, points and lines only give node groups; quadratic and other solids and
/// binary files are refused. On any fault `mesh` is untouched and the result says why in Polish.
IoResult ReadGmshMesh(std::string_view text, MeshWithGroups& mesh);
IoResult ReadGmshFile(const std::string& path, MeshWithGroups& mesh);

}  // namespace qor
