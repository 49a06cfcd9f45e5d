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

// The largest mesh file the readers take for the any-size model: a mesh of
// some millions of tetrahedra is a few hundred megabytes of text.
inline constexpr long long MaxMeshFileSize = 4LL << 30;

/// The model of a mesh: `nodes` as nodes 1.., `elements` (model node numbers) with material 1,
/// the one material E = 200000, nu = 0.3, zero forces, no supports, densities 1.
void FillMeshModel(const std::vector<NodeRow>& nodes, const std::vector<std::array<std::int32_t, 4>>& elements,
                   SolidModel& model);

/// Reads a Gmsh MSH file (4.1 or 2.2, ASCII). Tetrahedra (type 4) are the solid, triangles (type 2)
/// only mark faces of groups, points and lines only give node groups; quadratic and other solids and
/// binary files are refused. On any fault `mesh` is untouched and the result says why in Polish.
///
/// Nodes are the ones the tetrahedra use, numbered 1, 2, ... in order of first use by the tetrahedra
/// (the file's tags may be sparse and in any order); elements are numbered in the file's order. There is
/// one group per physical group (keyed by dimension and tag, named by $PhysicalNames or by the tag as
/// text), in order of dimension and tag; a group named in $PhysicalNames without elements is kept empty.
/// A triangle with a corner that no tetrahedron uses lies off the solid: it gives no face, and only its
/// corners on the solid join the group's nodes.
IoResult ReadGmshMesh(std::string_view text, MeshWithGroups& mesh);
IoResult ReadGmshFile(const std::string& path, MeshWithGroups& mesh);

}  // namespace qor
