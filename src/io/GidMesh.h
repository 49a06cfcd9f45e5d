#pragma once

#include <string>
#include <string_view>

#include "io/GmshMesh.h"
#include "io/IoResult.h"
#include "model/ModelStore.h"

namespace qor {

// Replaces the model by the four-node tetrahedra of a GiD ASCII mesh.
//
// The text is read line by line: "MESH" header lines say which element type
// the following block holds ("Nnode 4" or "Nnode = 4"), "Coordinates" ...
// "end coordinates" give nodes and "Elements" ... "end elements" give
// elements; key words are matched without regard to case, "#" outside double
// quotes starts a comment and CR LF line ends are fine. Only 3-D blocks of
// "Tetrahedra" with 4 nodes are taken (a file without any MESH line counts as
// one such block); the lines of other blocks are skipped, except that their
// 3-D nodes may serve the tetrahedra. The nodes that the tetrahedra name, and
// only those, are numbered 1, 2, ... in order of first appearance (a file node
// number met again is the same node), and element node numbers are mapped
// from the file's numbers to these. Coordinates may use the exponent letter D;
// values too small for a 32-bit float read as 0.
//
// On success the store holds the nodes with zero forces, the elements with
// material 1, the one material E = 200000, nu = 0.3, no supports, and results
// out of date; Densities and the result tables are not touched. On any fault
// (a malformed line, too many nodes or elements, an element naming a node the
// file does not define, no tetrahedra) the store is left exactly as it was and
// the result says why.
IoResult ImportGidMesh(std::string_view text, ModelStore& store);

// The same for a named file.
IoResult ImportGidFile(const std::string& path, ModelStore& store);

// The same mesh, read and numbered exactly as the import does, as a model of
// any size with no groups (the batch's road): no store limits, the file may
// be up to MaxMeshFileSize, densities 1. On any fault `mesh` is untouched.
IoResult ReadGidMesh(std::string_view text, MeshWithGroups& mesh);
IoResult ReadGidFile(const std::string& path, MeshWithGroups& mesh);

}  // namespace qor
