#include "io/ResultsExport.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <initializer_list>

#include "io/FileText.h"

namespace qor {
namespace {

// std::to_chars neither looks at the locale nor loses bits: without a format
// it gives the shortest text that reads back to exactly the same float.
void AppendNumber(std::string& out, float value) {
  char text[32];
  out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

void AppendNumber(std::string& out, std::int32_t value) {
  char text[16];
  out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// The values joined by `separator`, then a line end.
template <class T>
void AppendLine(std::string& out, std::initializer_list<T> values, char separator) {
  bool first = true;
  for (T v : values) {
    if (!first) out += separator;
    AppendNumber(out, v);
    first = false;
  }
  out += '\n';
}

struct Extent {
  std::int32_t nodes, elements;
};

Extent RowsInUse(const ModelStore& store) {
  const auto within = [](std::int32_t count, std::int32_t capacity) { return std::clamp(count, 0, capacity); };
  return {within(store.NodeCount, NodeCapacity), within(store.ElementCount, ElementCapacity)};
}

float Displacement(const ModelStore& store, std::int32_t node, std::int32_t direction) {
  return store.Displacements[DofOf(node, direction)];
}

// Cell data arrays in the order of the results browser's stress block: the
// normal stresses, the shear stresses and the reduced stress.
struct CellArray {
  const char* name;
  StressKind kind;
};
constexpr CellArray kStressArrays[] = {
    {"Naprężenie x", SigmaX}, {"Naprężenie y", SigmaY}, {"Naprężenie z", SigmaZ},     {"Naprężenie yz", TauYZ},
    {"Naprężenie xz", TauXZ}, {"Naprężenie xy", TauXY}, {"Naprężenie red.", Reduced},
};

void OpenArray(std::string& out, const char* type, const char* name, int components) {
  out += "        <DataArray type=\"";
  out += type;
  out += '"';
  if (name) {
    out += " Name=\"";
    out += name;
    out += '"';
  }
  if (components > 1) {
    out += " NumberOfComponents=\"";
    AppendNumber(out, components);
    out += '"';
  }
  out += " format=\"ascii\">\n";
}

void CloseArray(std::string& out) { out += "        </DataArray>\n"; }

}  // namespace

std::string ResultsVtuText(const ModelStore& store) {
  const Extent rows = RowsInUse(store);
  std::string out;
  out.reserve(2048 + 64 * static_cast<std::size_t>(rows.nodes) + 160 * static_cast<std::size_t>(rows.elements));
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<VTKFile type=\"UnstructuredGrid\" version=\"0.1\" byte_order=\"LittleEndian\">\n";
  out += "  <UnstructuredGrid>\n    <Piece NumberOfPoints=\"";
  AppendNumber(out, rows.nodes);
  out += "\" NumberOfCells=\"";
  AppendNumber(out, rows.elements);
  out += "\">\n";

  out += "      <PointData Vectors=\"Przemieszczenie\">\n";
  OpenArray(out, "Float32", "Przemieszczenie", 3);
  for (std::int32_t n = 1; n <= rows.nodes; ++n)
    AppendLine(out, {Displacement(store, n, 1), Displacement(store, n, 2), Displacement(store, n, 3)}, ' ');
  CloseArray(out);
  out += "      </PointData>\n";

  out += "      <CellData Scalars=\"Naprężenie red.\">\n";
  for (const CellArray& array : kStressArrays) {
    OpenArray(out, "Float32", array.name, 1);
    for (std::int32_t e = 1; e <= rows.elements; ++e) AppendLine(out, {store.Stresses[e][array.kind]}, ' ');
    CloseArray(out);
  }
  OpenArray(out, "Int32", "Materiał", 1);
  for (std::int32_t e = 1; e <= rows.elements; ++e) AppendLine(out, {store.Elements[e].material}, ' ');
  CloseArray(out);
  out += "      </CellData>\n";

  out += "      <Points>\n";
  OpenArray(out, "Float32", nullptr, 3);
  for (std::int32_t n = 1; n <= rows.nodes; ++n) {
    const NodeRow& p = store.Nodes[n];
    AppendLine(out, {p.x, p.y, p.z}, ' ');
  }
  CloseArray(out);
  out += "      </Points>\n";

  // VTK numbers points from 0; its linear tetrahedron is cell type 10.
  out += "      <Cells>\n";
  OpenArray(out, "Int32", "connectivity", 1);
  for (std::int32_t e = 1; e <= rows.elements; ++e) {
    const ElementRow& el = store.Elements[e];
    AppendLine(out, {el.node[1] - 1, el.node[2] - 1, el.node[3] - 1, el.node[4] - 1}, ' ');
  }
  CloseArray(out);
  OpenArray(out, "Int32", "offsets", 1);
  for (std::int32_t e = 1; e <= rows.elements; ++e) AppendLine(out, {4 * e}, ' ');
  CloseArray(out);
  OpenArray(out, "UInt8", "types", 1);
  for (std::int32_t e = 1; e <= rows.elements; ++e) out += "10\n";
  CloseArray(out);
  out += "      </Cells>\n";
  out += "    </Piece>\n  </UnstructuredGrid>\n</VTKFile>\n";
  return out;
}

std::string NodeResultsCsvText(const ModelStore& store) {
  const Extent rows = RowsInUse(store);
  std::string out;
  out.reserve(64 + 96 * static_cast<std::size_t>(rows.nodes));
  out += "wezel,x,y,z,ux,uy,uz\n";
  for (std::int32_t n = 1; n <= rows.nodes; ++n) {
    const NodeRow& p = store.Nodes[n];
    AppendNumber(out, n);
    out += ',';
    AppendLine(out, {p.x, p.y, p.z, Displacement(store, n, 1), Displacement(store, n, 2), Displacement(store, n, 3)},
               ',');
  }
  return out;
}

std::string ElementResultsCsvText(const ModelStore& store) {
  const Extent rows = RowsInUse(store);
  std::string out;
  out.reserve(128 + 160 * static_cast<std::size_t>(rows.elements));
  out += "element,wezel1,wezel2,wezel3,wezel4,material,sigma_x,sigma_y,sigma_z,tau_yz,tau_xz,tau_xy,naprezenie_red\n";
  for (std::int32_t e = 1; e <= rows.elements; ++e) {
    const ElementRow& el = store.Elements[e];
    const StressRow& s = store.Stresses[e];
    AppendNumber(out, e);
    out += ',';
    AppendLine(out, {el.node[1], el.node[2], el.node[3], el.node[4], el.material}, ',');
    out.back() = ',';
    AppendLine(out, {s[SigmaX], s[SigmaY], s[SigmaZ], s[TauYZ], s[TauXZ], s[TauXY], s[Reduced]}, ',');
  }
  return out;
}

IoResult WriteExportFile(const std::string& path, std::string_view text) {
  if (!WriteFileAtomically(path, text)) return IoResult::Failure(FileWriteFailedMessage());
  return IoResult::Success();
}

}  // namespace qor
