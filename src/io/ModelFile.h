#pragma once

#include <string>
#include <string_view>

#include "io/IoResult.h"
#include "model/ModelStore.h"

namespace qor {

// The native model file: a header "QOR3DAscii N E M S R", then the node
// coordinates, element nodes and materials, material constants, supports,
// nodal forces and one value per element (the reduced stress). Floats are
// written as printf's %g with 6 significant digits and always with '.'.

// The model as the text of a model file.
std::string WriteModelText(const ModelStore& store);

// Reads a model file's text into `store` and `densities` (entries 1..E from the
// file's tail). The whole text is read and checked into a staging copy first;
// on any fault neither `store` nor `densities` is touched and the result
// carries "Błąd przy odczycie...". On success ResultsValid becomes 0, because
// the file holds no displacements and no stresses.
IoResult ReadModelText(std::string_view text, ModelStore& store, DensityTable& densities);

// Save and Open of a named file; the messages are those of the two commands.
// Save refuses, writing nothing, a model whose file Open could not read back.
IoResult SaveModelFile(const ModelStore& store, const std::string& path);
IoResult OpenModelFile(const std::string& path, ModelStore& store, DensityTable& densities);

// The largest counts a model file or a mesh may bring into the store: one
// below each limit, as for the editing commands. A model of more than 665
// nodes can be read, viewed and saved; the compute command refuses it.
inline constexpr std::int32_t MaxFileNodes = NodeLimit - 1;
inline constexpr std::int32_t MaxFileElements = ElementLimit - 1;
inline constexpr std::int32_t MaxFileMaterials = MaterialLimit - 1;
inline constexpr std::int32_t MaxFileSupports = SupportLimit - 1;

}  // namespace qor
