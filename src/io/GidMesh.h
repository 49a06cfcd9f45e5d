#pragma once

#include <string>
#include <string_view>

#include "io/IoResult.h"
#include "model/ModelStore.h"

namespace qor {

// Replaces the model by the four-node tetrahedra of a GiD ASCII mesh.
//
// The text is read line by line: "MESH" header lines say which element type
// the following block holds, "Coordinates" ... "end coordinates" give nodes
// and "Elements" ... "end elements" give elements; key words are matched
// without regard to case, "#" starts a comment and CR LF line ends are fine.
// Only blocks of "Tetrahedra" with 4 nodes are taken (a file without any MESH
// line counts as one such block); other blocks are skipped. The nodes listed
// in tetrahedra blocks, and the nodes of other blocks that a tetrahedron names,
// are numbered 1, 2, ... in order of first appearance (a file node number met
// again is the same node), and element node numbers are mapped from the
// file's numbers to these.
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

}  // namespace qor
