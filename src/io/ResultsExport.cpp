#include "io/ResultsExport.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <initializer_list>

#include "io/FileText.h"
#include "io/VtuArrays.h"
#include "platform/NumberText.h"

namespace qor {
namespace {

// Shortest round-trip text, so that no bit of a 32-bit value is lost.
void AppendNumber(std::string& out, float value) { AppendShortest(out, value); }
void AppendNumber(std::string& out, std::int32_t value) { AppendShortest(out, std::int64_t{value}); }

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

// The rows the writers read: the store's, or a model of any size with its results.
struct StoreRows {
  const ModelStore& store;
  std::int32_t nodes, elements;
  explicit StoreRows(const ModelStore& s)
      : store(s),
        nodes(std::clamp(s.NodeCount, 0, NodeCapacity)),
        elements(std::clamp(s.ElementCount, 0, ElementCapacity)) {}
  const NodeRow& Node(std::int32_t n) const { return store.Nodes[n]; }
  const ElementRow& Element(std::int32_t e) const { return store.Elements[e]; }
  float Displacement(std::int32_t n, std::int32_t direction) const { return store.Displacements[DofOf(n, direction)]; }
  const StressRow& Stress(std::int32_t e) const { return store.Stresses[e]; }
};

struct SolidRows {
  const SolidModel& model;
  const SolidResults& results;
  std::int32_t nodes, elements;
  SolidRows(const SolidModel& m, const SolidResults& r)
      : model(m), results(r), nodes(m.NodeCount()), elements(m.ElementCount()) {}
  const NodeRow& Node(std::int32_t n) const { return model.Nodes[n]; }
  const ElementRow& Element(std::int32_t e) const { return model.Elements[e]; }
  float Displacement(std::int32_t n, std::int32_t direction) const {
    return results.Displacements[DofOf(n, direction)];
  }
  const StressRow& Stress(std::int32_t e) const { return results.Stresses[e]; }
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

template <class Rows>
std::string VtuText(const Rows& rows) {
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
    AppendLine(out, {rows.Displacement(n, 1), rows.Displacement(n, 2), rows.Displacement(n, 3)}, ' ');
  CloseArray(out);
  out += "      </PointData>\n";

  out += "      <CellData Scalars=\"Naprężenie red.\">\n";
  for (const VtuStressArray& array : VtuStressArrays) {
    OpenArray(out, "Float32", array.name, 1);
    for (std::int32_t e = 1; e <= rows.elements; ++e) AppendLine(out, {rows.Stress(e)[array.kind]}, ' ');
    CloseArray(out);
  }
  OpenArray(out, "Int32", "Materiał", 1);
  for (std::int32_t e = 1; e <= rows.elements; ++e) AppendLine(out, {rows.Element(e).material}, ' ');
  CloseArray(out);
  out += "      </CellData>\n";

  out += "      <Points>\n";
  OpenArray(out, "Float32", nullptr, 3);
  for (std::int32_t n = 1; n <= rows.nodes; ++n) {
    const NodeRow& p = rows.Node(n);
    AppendLine(out, {p.x, p.y, p.z}, ' ');
  }
  CloseArray(out);
  out += "      </Points>\n";

  // VTK numbers points from 0; its linear tetrahedron is cell type 10.
  out += "      <Cells>\n";
  OpenArray(out, "Int32", "connectivity", 1);
  for (std::int32_t e = 1; e <= rows.elements; ++e) {
    const ElementRow& el = rows.Element(e);
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

template <class Rows>
std::string NodeCsvText(const Rows& rows) {
  std::string out;
  out.reserve(64 + 96 * static_cast<std::size_t>(rows.nodes));
  out += "wezel,x,y,z,ux,uy,uz\n";
  for (std::int32_t n = 1; n <= rows.nodes; ++n) {
    const NodeRow& p = rows.Node(n);
    AppendNumber(out, n);
    out += ',';
    AppendLine(out, {p.x, p.y, p.z, rows.Displacement(n, 1), rows.Displacement(n, 2), rows.Displacement(n, 3)}, ',');
  }
  return out;
}

template <class Rows>
std::string ElementCsvText(const Rows& rows) {
  std::string out;
  out.reserve(128 + 160 * static_cast<std::size_t>(rows.elements));
  out += "element,wezel1,wezel2,wezel3,wezel4,material,sigma_x,sigma_y,sigma_z,tau_yz,tau_xz,tau_xy,naprezenie_red\n";
  for (std::int32_t e = 1; e <= rows.elements; ++e) {
    const ElementRow& el = rows.Element(e);
    const StressRow& s = rows.Stress(e);
    AppendNumber(out, e);
    out += ',';
    AppendLine(out, {el.node[1], el.node[2], el.node[3], el.node[4], el.material}, ',');
    out.back() = ',';
    AppendLine(out, {s[SigmaX], s[SigmaY], s[SigmaZ], s[TauYZ], s[TauXZ], s[TauXY], s[Reduced]}, ',');
  }
  return out;
}

}  // namespace

std::string ResultsVtuText(const ModelStore& store) { return VtuText(StoreRows(store)); }
std::string NodeResultsCsvText(const ModelStore& store) { return NodeCsvText(StoreRows(store)); }
std::string ElementResultsCsvText(const ModelStore& store) { return ElementCsvText(StoreRows(store)); }

std::string NodeResultsCsvText(const SolidModel& model, const SolidResults& results) {
  return NodeCsvText(SolidRows(model, results));
}
std::string ElementResultsCsvText(const SolidModel& model, const SolidResults& results) {
  return ElementCsvText(SolidRows(model, results));
}

std::string ResultsVtuText(const SolidModel& model, const SolidResults& results) {
  if (FitsStore(model)) return VtuText(SolidRows(model, results));
  return ResultsVtuBinary(model, results);
}

IoResult WriteExportFile(const std::string& path, std::string_view text) {
  if (!WriteFileAtomically(path, text)) return IoResult::Failure(FileWriteFailedMessage());
  return IoResult::Success();
}

}  // namespace qor
