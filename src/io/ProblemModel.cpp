// The statements of a problem applied to its mesh: materials by volume
// group, supports by group or plane, and surface loads as consistent nodal
// forces computed in double precision and rounded once to the model's floats.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <optional>

#include "io/ProblemFile.h"
#include "io/SurfaceLoads.h"

namespace qor {

namespace {

UserMessage ProblemMessage(const std::string& text) { return {text, "Zadanie", MessageStyle::Stop}; }

std::string AtLine(int line, const std::string& text) { return "wiersz " + std::to_string(line) + ": " + text; }

const char* DimensionName(int dimension) {
  switch (dimension) {
    case 0:
      return "punkty";
    case 1:
      return "linie";
    case 2:
      return "powierzchnia";
    default:
      return "bryła";
  }
}

// The text of a plane for messages: "x = 2".
std::string PlaneText(const ProblemSelection& where) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%c = %g", "xyz"[where.axis - 1], where.coordinate);
  return buffer;
}

// What the statements build, before it replaces the caller's model.
class ProblemBuilder {
 public:
  explicit ProblemBuilder(const MeshWithGroups& mesh) : mesh_(mesh), model_(mesh.model) {
    loads_.assign(model_.Forces.begin(), model_.Forces.end());
    for (std::int32_t j = 1; j <= model_.SupportCount(); ++j)
      held_[model_.Supports[j].dof] = {model_.Supports[j].value, 0};
    // A plane takes the nodes within a millionth of the model's size of it.
    float low[3] = {0, 0, 0}, high[3] = {0, 0, 0};
    for (std::int32_t n = 1; n <= model_.NodeCount(); ++n) {
      const float p[3] = {model_.Nodes[n].x, model_.Nodes[n].y, model_.Nodes[n].z};
      for (int c = 0; c < 3; ++c) {
        low[c] = n == 1 ? p[c] : std::min(low[c], p[c]);
        high[c] = n == 1 ? p[c] : std::max(high[c], p[c]);
      }
    }
    double size = 0;
    for (int c = 0; c < 3; ++c) size = std::max(size, static_cast<double>(high[c]) - low[c]);
    tolerance_ = 1e-6 * size;
  }

  std::optional<std::string> Materials(const Problem& problem);
  std::optional<std::string> Support(const ProblemStatement& statement);
  std::optional<std::string> Load(const ProblemStatement& statement);
  std::optional<std::string> RoundLoads();

  SolidModel& Model() { return model_; }
  std::vector<double>& Loads() { return loads_; }
  bool selected = false;  // the statement just applied selected something

 private:
  std::optional<std::string> FindGroup(const ProblemStatement& statement, const MeshGroup*& group) const;
  std::vector<std::int32_t> PlaneNodes(const ProblemSelection& where) const;
  bool OnPlane(std::int32_t node, const ProblemSelection& where) const {
    const NodeRow& p = model_.Nodes[static_cast<std::size_t>(node)];
    const float c = where.axis == 1 ? p.x : where.axis == 2 ? p.y : p.z;
    return std::fabs(static_cast<double>(c) - where.coordinate) <= tolerance_;
  }

  const MeshWithGroups& mesh_;
  SolidModel model_;
  std::vector<double> loads_;
  std::map<std::int32_t, std::pair<std::int32_t, int>> held_;  // dof -> value, line of the statement
  std::vector<BoundaryFace> boundary_;
  bool boundaryFound_ = false;
  double tolerance_ = 0;
};

std::optional<std::string> ProblemBuilder::FindGroup(const ProblemStatement& statement, const MeshGroup*& group) const {
  for (const MeshGroup& candidate : mesh_.groups)
    if (candidate.name == statement.where.group) {
      group = &candidate;
      return std::nullopt;
    }
  if (mesh_.groups.empty())
    return "siatka nie ma grupy \"" + statement.where.group + "\": nie ma żadnych grup nazwanych";
  std::string known;
  for (const MeshGroup& candidate : mesh_.groups)
    known += (known.empty() ? "" : ", ") + candidate.name + " (" + DimensionName(candidate.dimension) + ")";
  return "siatka nie ma grupy \"" + statement.where.group + "\"; ma grupy: " + known;
}

std::vector<std::int32_t> ProblemBuilder::PlaneNodes(const ProblemSelection& where) const {
  std::vector<std::int32_t> nodes;
  for (std::int32_t n = 1; n <= model_.NodeCount(); ++n)
    if (OnPlane(n, where)) nodes.push_back(n);
  return nodes;
}

std::optional<std::string> ProblemBuilder::Materials(const Problem& problem) {
  std::vector<MaterialRow> rows(1);
  std::vector<int> owner(static_cast<std::size_t>(model_.ElementCount()) + 1, 0);  // line that named the element
  const ProblemStatement* fallback = nullptr;
  std::int32_t fallbackMaterial = 0;
  int lastLine = 0;
  for (const ProblemStatement& statement : problem.statements) {
    if (statement.verb != ProblemVerb::Material) continue;
    lastLine = statement.line;
    rows.push_back({static_cast<float>(statement.E), static_cast<float>(statement.nu)});
    const std::int32_t material = static_cast<std::int32_t>(rows.size()) - 1;
    if (statement.where.group.empty()) {
      if (fallback)
        return AtLine(statement.line,
                      "drugi materiał bez grupy (pierwszy w wierszu " + std::to_string(fallback->line) + ")");
      fallback = &statement;
      fallbackMaterial = material;
      continue;
    }
    const MeshGroup* group = nullptr;
    if (auto fault = FindGroup(statement, group)) return AtLine(statement.line, *fault);
    if (group->dimension != 3)
      return AtLine(statement.line, "grupa \"" + group->name + "\" to " + DimensionName(group->dimension) +
                                        ", a materiał potrzebuje grupy brył");
    for (const std::int32_t e : group->elements) {
      if (owner[e] != 0)
        return AtLine(statement.line,
                      "element " + std::to_string(e) + " ma już materiał z wiersza " + std::to_string(owner[e]));
      owner[e] = statement.line;
      model_.Elements[e].material = material;
    }
  }
  if (rows.size() == 1) return std::nullopt;  // no material line: the mesh's own materials stay
  for (std::int32_t e = 1; e <= model_.ElementCount(); ++e) {
    if (owner[e] != 0) continue;
    if (!fallback)
      return AtLine(
          lastLine,
          "element " + std::to_string(e) +
              " nie należy do żadnej grupy materiału: dodaj wiersz material bez group= dla pozostałych elementów");
    model_.Elements[e].material = fallbackMaterial;
  }
  model_.Materials = rows;
  return std::nullopt;
}

std::optional<std::string> ProblemBuilder::Support(const ProblemStatement& statement) {
  std::vector<std::int32_t> nodes;
  if (statement.where.axis != 0) {
    nodes = PlaneNodes(statement.where);
    if (nodes.empty()) return "płaszczyzna " + PlaneText(statement.where) + " nie przechodzi przez żaden węzeł";
  } else {
    const MeshGroup* group = nullptr;
    if (auto fault = FindGroup(statement, group)) return fault;
    if (group->dimension == 3)
      return "grupa \"" + group->name + "\" to bryła: podpora potrzebuje grupy powierzchni, linii albo punktów";
    nodes = group->nodes;
  }
  const auto value = static_cast<std::int32_t>(statement.value);
  for (const std::int32_t node : nodes)
    for (int c = 1; c <= 3; ++c) {
      if (!statement.directions[static_cast<std::size_t>(c - 1)]) continue;
      const std::int32_t dof = DofOf(node, c);
      const auto [it, added] = held_.insert({dof, {value, statement.line}});
      if (added) {
        model_.Supports.push_back({dof, value});
        continue;
      }
      // A node on two supported faces (an edge) is held once; two different
      // values for the same direction cannot both hold.
      if (it->second.first != value)
        return "węzeł " + std::to_string(node) + " w kierunku " + "xyz"[c - 1] + " jest już podparty z wartością " +
               std::to_string(it->second.first) +
               (it->second.second ? " (wiersz " + std::to_string(it->second.second) + ")" : " (w pliku siatki)");
    }
  selected = !nodes.empty();
  return std::nullopt;
}

std::optional<std::string> ProblemBuilder::Load(const ProblemStatement& statement) {
  if (!boundaryFound_) {
    boundary_ = FindBoundaryFaces(model_);
    boundaryFound_ = true;
  }
  std::vector<BoundaryFace> faces;
  if (statement.where.axis != 0) {
    if (PlaneNodes(statement.where).empty())
      return "płaszczyzna " + PlaneText(statement.where) + " nie przechodzi przez żaden węzeł";
    for (const BoundaryFace& face : boundary_)
      if (OnPlane(face.nodes[0], statement.where) && OnPlane(face.nodes[1], statement.where) &&
          OnPlane(face.nodes[2], statement.where))
        faces.push_back(face);
  } else {
    const MeshGroup* group = nullptr;
    if (auto fault = FindGroup(statement, group)) return fault;
    if (group->dimension != 2)
      return "grupa \"" + group->name + "\" to " + DimensionName(group->dimension) +
             ", a obciążenie potrzebuje grupy powierzchni";
    std::vector<FaceKey> keys;
    for (const auto& triangle : group->faces) keys.push_back(KeyOf(triangle));
    // A triangle listed twice is one face and carries its load once.
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    for (const FaceKey& key : keys) {
      const BoundaryFace* face = FindBoundaryFace(boundary_, key);
      if (!face)
        return "ściana o węzłach " + std::to_string(key[0]) + ", " + std::to_string(key[1]) + ", " +
               std::to_string(key[2]) + " grupy \"" + group->name + "\" nie leży na brzegu bryły";
      faces.push_back(*face);
    }
  }
  if (statement.verb == ProblemVerb::Force)
    AddTractionLoads(model_, faces, statement.total, loads_);
  else
    AddPressureLoads(model_, faces, statement.pressure, loads_);
  selected = FacesArea(model_, faces) > 0;
  return std::nullopt;
}

std::optional<std::string> ProblemBuilder::RoundLoads() {
  for (std::size_t d = 1; d < loads_.size(); ++d) {
    if (std::fabs(loads_[d]) > std::numeric_limits<float>::max())
      return "siła węzła " + std::to_string((d + 2) / 3) + " przekracza zakres liczb modelu";
    model_.Forces[d] = static_cast<float>(loads_[d]);
  }
  return std::nullopt;
}

// "wiersze 3, 5" for the statements that selected nothing.
std::string LinesText(const std::vector<int>& lines) {
  std::string text = lines.size() == 1 ? "wiersz " : "wiersze ";
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? ", " : "") + std::to_string(lines[i]);
  return text;
}

}  // namespace

IoResult ApplyProblem(const Problem& problem, const MeshWithGroups& mesh, SolidModel& model,
                      std::vector<double>& loads) {
  ProblemBuilder builder(mesh);
  if (auto fault = builder.Materials(problem)) return IoResult::Failure(ProblemMessage(*fault));
  std::vector<int> emptySupports, emptyLoads;
  bool anySupport = false, anyLoad = false;
  for (const ProblemStatement& statement : problem.statements) {
    if (statement.verb == ProblemVerb::Material) continue;
    const bool support = statement.verb == ProblemVerb::Support;
    builder.selected = false;
    if (auto fault = support ? builder.Support(statement) : builder.Load(statement))
      return IoResult::Failure(ProblemMessage(AtLine(statement.line, *fault)));
    bool& any = support ? anySupport : anyLoad;
    any = any || builder.selected;
    if (!builder.selected) (support ? emptySupports : emptyLoads).push_back(statement.line);
  }
  if (!anySupport && !emptySupports.empty())
    return IoResult::Failure(ProblemMessage(LinesText(emptySupports) + ": żadna podpora nie wybiera węzła"));
  if (!anyLoad && !emptyLoads.empty())
    return IoResult::Failure(
        ProblemMessage(LinesText(emptyLoads) + ": żadne obciążenie nie wybiera ściany o niezerowym polu"));
  if (auto fault = builder.RoundLoads()) return IoResult::Failure(ProblemMessage(*fault));
  model = std::move(builder.Model());
  loads = std::move(builder.Loads());
  return IoResult::Success();
}

}  // namespace qor
