#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "io/IoResult.h"
#include "model/ModelStore.h"
#include "solid/SolidModel.h"

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

// The same file for a model of any size, for the batch command. The reader
// takes the file as ReadModelText does (the tail into model.Densities) with no
// bound but the file itself: the header's counts are checked against what the
// rest of the text can hold (every number needs a character and a blank) and
// against the machine's memory before any table is allocated. On any fault
// `model` is left as it was and the result carries "Błąd przy odczycie...".
IoResult ReadSolidModelText(std::string_view text, SolidModel& model);
IoResult OpenSolidModelFile(const std::string& path, SolidModel& model);

// The model as the text of a model file: the text WriteModelText gives for the
// same model in the store. With `results` the header's flag is 1 and the tail
// holds the reduced stresses, otherwise 0 and zeros. Empty when a number would
// not read back (a reference outside its table, a float that rounds beyond the
// float range).
std::optional<std::string> WriteSolidModelText(const SolidModel& model, const SolidResults* results);
// Writes the file whole or not at all; "Błąd przy zapisie..." when it cannot.
IoResult SaveSolidModelFile(const SolidModel& model, const SolidResults* results, const std::string& path);

// Physical memory of the machine in bytes (what a model may at most take).
long long PhysicalMemoryBytes();

// The largest counts a model file or a mesh may bring into the store: one
// below each limit, as for the editing commands. A model of more than 665
// nodes can be read, viewed and saved; the compute command refuses it.
inline constexpr std::int32_t MaxFileNodes = NodeLimit - 1;
inline constexpr std::int32_t MaxFileElements = ElementLimit - 1;
inline constexpr std::int32_t MaxFileMaterials = MaterialLimit - 1;
inline constexpr std::int32_t MaxFileSupports = SupportLimit - 1;

}  // namespace qor
