#include "io/CalculixDeck.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <utility>
#include <vector>

#include "platform/NumberText.h"

namespace qor {
namespace {

void Append(std::string& out, float value) { AppendShortest(out, value); }
void Append(std::string& out, std::int64_t value) { AppendShortest(out, value); }

// ((p2 - p1) × (p3 - p1)) · (p4 - p1): positive when ccx takes the element as it stands.
double OrientedVolume(const SolidModel& model, const ElementRow& el) {
  const NodeRow &a = model.Nodes[el.node[1]], &b = model.Nodes[el.node[2]], &c = model.Nodes[el.node[3]],
                &d = model.Nodes[el.node[4]];
  const double u[3] = {double(b.x) - a.x, double(b.y) - a.y, double(b.z) - a.z};
  const double v[3] = {double(c.x) - a.x, double(c.y) - a.y, double(c.z) - a.z};
  const double w[3] = {double(d.x) - a.x, double(d.y) - a.y, double(d.z) - a.z};
  return (u[1] * v[2] - u[2] * v[1]) * w[0] + (u[2] * v[0] - u[0] * v[2]) * w[1] + (u[0] * v[1] - u[1] * v[0]) * w[2];
}

}  // namespace

std::string CalculixDeckText(const SolidModel& model, bool useDensities) {
  std::string out;
  out.reserve(64 * (static_cast<std::size_t>(model.NodeCount()) + model.ElementCount()) + 4096);
  out += "*HEADING\nQOR 3D\n*NODE, NSET=NALL\n";
  for (std::int32_t n = 1; n <= model.NodeCount(); ++n) {
    const NodeRow& p = model.Nodes[n];
    Append(out, std::int64_t{n});
    for (float c : {p.x, p.y, p.z}) {
      out += ", ";
      Append(out, c);
    }
    out += '\n';
  }
  // One set of elements per material, or per material and density.
  std::map<std::pair<std::int32_t, float>, std::vector<std::int32_t>> sets;
  // An element of density 0 has no stiffness, so it is left out: ccx takes no modulus of 0.
  for (std::int32_t e = 1; e <= model.ElementCount(); ++e) {
    const float density = useDensities ? model.Densities[e] : 1.0f;
    if (density != 0.0f) sets[{model.Elements[e].material, density}].push_back(e);
  }
  int number = 0;
  std::string sections;
  for (const auto& [key, elements] : sets) {
    std::string name = "M";
    Append(name, std::int64_t{++number});
    out += "*ELEMENT, TYPE=C3D4, ELSET=";
    out += name;
    out += '\n';
    for (std::int32_t e : elements) {
      ElementRow el = model.Elements[e];
      if (OrientedVolume(model, el) < 0) std::swap(el.node[1], el.node[2]);
      Append(out, std::int64_t{e});
      for (int a = 1; a <= 4; ++a) {
        out += ", ";
        Append(out, std::int64_t{el.node[a]});
      }
      out += '\n';
    }
    const MaterialRow& m = model.Materials[key.first];
    sections += "*MATERIAL, NAME=";
    sections += name;
    sections += "\n*ELASTIC\n";
    Append(sections, m.E * key.second);
    sections += ", ";
    Append(sections, m.nu);
    sections += "\n*SOLID SECTION, ELSET=";
    sections += name;
    sections += ", MATERIAL=";
    sections += name;
    sections += '\n';
  }
  out += "*ELSET, ELSET=EALL\n";
  for (std::int64_t k = 1; k <= number; ++k) {
    out += 'M';
    Append(out, k);
    out += '\n';
  }
  out += sections;
  out += "*STEP\n*STATIC\n*BOUNDARY\n";
  for (std::int32_t j = 1; j <= model.SupportCount(); ++j) {
    const SupportRow& s = model.Supports[j];
    const std::int64_t node = (s.dof + 2) / 3, direction = (s.dof - 1) % 3 + 1;
    Append(out, node);
    out += ", ";
    Append(out, direction);
    out += ", ";
    Append(out, direction);
    out += ", ";
    Append(out, std::int64_t{s.value});
    out += '\n';
  }
  out += "*CLOAD\n";
  for (std::int32_t d = 1; d <= model.DofCount(); ++d) {
    if (model.Forces[d] == 0.0f) continue;
    Append(out, std::int64_t{(d + 2) / 3});
    out += ", ";
    Append(out, std::int64_t{(d - 1) % 3 + 1});
    out += ", ";
    Append(out, model.Forces[d]);
    out += '\n';
  }
  out += "*NODE PRINT, NSET=NALL\nU\n*EL PRINT, ELSET=EALL\nS\n*END STEP\n";
  return out;
}

}  // namespace qor
