#pragma once

#include <string>

#include "solid/SolidModel.h"

namespace qor {

/// The model as an input deck of CalculiX's ccx, for a check of the results with that program: *NODE,
/// *ELEMENT TYPE=C3D4 with one ELSET per material (per material and density with `useDensities`, the
/// modulus multiplied by the density, as the stiffness the analysis uses; elements of density 0 left out),
/// *MATERIAL/*ELASTIC/*SOLID SECTION, *BOUNDARY with the prescribed values, *CLOAD, a *STATIC step and *NODE PRINT of U
/// and *EL PRINT of S for every node and element (the .dat file). Element nodes are ordered so that every volume is
/// positive, as ccx demands; numbers are the shortest text of the model's floats.
std::string CalculixDeckText(const SolidModel& model, bool useDensities);

}  // namespace qor
