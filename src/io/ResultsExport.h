#pragma once

#include <string>
#include <string_view>

#include "io/IoResult.h"
#include "model/ModelStore.h"

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

// Writes an export file whole or not at all; "Błąd przy zapisie..." when it cannot.
IoResult WriteExportFile(const std::string& path, std::string_view text);

}  // namespace qor
