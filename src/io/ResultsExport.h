#pragma once

#include <string>
#include <string_view>

#include "io/IoResult.h"
#include "model/ModelStore.h"
#include "solid/SolidModel.h"

namespace qor {

// Results for other tools: an XML unstructured grid (.vtu) for VTK-based
// viewers and two CSV tables for spreadsheets and scripts. Numbers are written
// with '.' whatever the process locale, floats in the shortest text that reads
// back to the same 32-bit value. Counters are trusted only as far as the tables
// reach.

// The nodes and tetrahedra with point data "Przemieszczenie" (ux, uy, uz) and
// cell data for the six stress components, the reduced stress and the material
// number, named as the results browser names them.
std::string ResultsVtuText(const ModelStore& store);

// "wezel,x,y,z,ux,uy,uz" and one line per node.
std::string NodeResultsCsvText(const ModelStore& store);

// "element,wezel1,...,material,sigma_x,...,naprezenie_red" and one line per element.
std::string ElementResultsCsvText(const ModelStore& store);

// The same files for a model of any size and its results. The CSV tables are
// those of the store for any size. The .vtu is the store's text while the
// model fits the store, so that the window and the batch write the same file;
// beyond, VTK's binary form (ResultsVtuBinary).
std::string NodeResultsCsvText(const SolidModel& model, const SolidResults& results);
std::string ElementResultsCsvText(const SolidModel& model, const SolidResults& results);
std::string ResultsVtuText(const SolidModel& model, const SolidResults& results);

// The arrays of ResultsVtuText, in VTK's binary form: appended raw data, each
// array compressed with zlib in blocks of 1 MiB behind a UInt64 block header.
// Connectivity and offsets are Int64, so any count a model can hold fits.
std::string ResultsVtuBinary(const SolidModel& model, const SolidResults& results);

// Writes an export file whole or not at all; "Błąd przy zapisie..." when it cannot.
IoResult WriteExportFile(const std::string& path, std::string_view text);

}  // namespace qor
