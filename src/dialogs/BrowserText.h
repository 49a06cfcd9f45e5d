#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/ModelStore.h"

namespace qor {

// The texts of the two browsers ("Dane obliczeniowe", "Wyniki obliczeń"): list
// lines and detail-label values built from the model store. Plain functions, so
// they can be checked and timed without a window. Every reader stays inside the
// tables: numbers that point outside the rows in use give a dash or a zero
// instead of stale or out-of-range storage.

// How a browser writes a real number.
struct RealFormat {
  enum class Kind { Fixed, General };
  Kind kind = Kind::Fixed;
  int digits = 10;  // significant digits (Fixed: integer digits before the general form)
  char separator = '.';

  // Fixed point rounded to exactly 5 decimals; the general form with 10 digits
  // beyond 10 integer digits.
  static RealFormat Fixed(char separator) { return {Kind::Fixed, 10, separator}; }
  // At most `digits` significant digits, E form for tiny or huge magnitudes.
  static RealFormat General(int digits, char separator) { return {Kind::General, digits, separator}; }

  std::string operator()(float value) const;
};

// The direction letter of a degree of freedom: x, y or z.
char DirectionLetter(std::int32_t dof);
// The node that owns a degree of freedom.
std::int32_t NodeOfDof(std::int32_t dof);

// A support row as "5x , 0": node number, direction letter, " , ", value.
std::string SupportEntry(const SupportRow& row);

// One list line per table row, in row order.
// "e : n1 - n2 - n3 - n4 - m"
std::vector<std::string> ElementLines(const ModelStore& store);
// "n : x , y , z", coordinates in `coordinates`.
std::vector<std::string> NodeLines(const ModelStore& store, const RealFormat& coordinates);
// "m : E , nu", fixed.
std::vector<std::string> MaterialLines(const ModelStore& store, char separator);
// "j : 5x , 0"
std::vector<std::string> SupportLines(const ModelStore& store);
// "n : 100.00000y", one line per non-zero force component, x before y before z.
std::vector<std::string> ForceLines(const ModelStore& store, char separator);

// Detail texts.
// The element's four node numbers joined by " - ".
std::string ElementNodesText(const ModelStore& store, std::int32_t element);
// "x , y , z" of node n; "-" when n is not a node of the model.
std::string CoordinatesText(const ModelStore& store, std::int32_t node, const RealFormat& format);
// "E , nu" of material m; "-" when m is not a defined material.
std::string MaterialText(const ModelStore& store, std::int32_t material, const RealFormat& format);
// "100.00000y 5.00000z ": each non-zero force component of node n with its
// letter and a blank, x, y, z in that order; empty when unloaded.
std::string NodeForcesText(const ModelStore& store, std::int32_t node, const RealFormat& format);
// "5x , 0 5z , 0 ": each support row of node n in row order with a blank after
// it; empty when the node is free.
std::string NodeSupportsText(const ModelStore& store, std::int32_t node);
// The same pieces for every distinct node of element e, in the element's node order.
std::string ElementForcesText(const ModelStore& store, std::int32_t element, const RealFormat& format);
std::string ElementSupportsText(const ModelStore& store, std::int32_t element);
// "ux , uy , uz" of node n from Displacements.
std::string DisplacementText(const ModelStore& store, std::int32_t node, const RealFormat& format);

// The force and displacement entries of a degree of freedom; 0 beyond the
// degrees of freedom of the model's nodes or beyond the tables.
float ForceAt(const ModelStore& store, std::int32_t dof);
float DisplacementAt(const ModelStore& store, std::int32_t dof);

}  // namespace qor
