#include "io/GidMesh.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <unordered_map>
#include <vector>

#include "io/FileText.h"
#include "io/GmshMesh.h"
#include "io/ModelFile.h"
#include "platform/NumberText.h"

namespace qor {
namespace {

constexpr float DefaultYoungModulus = 200000.0f;
constexpr float DefaultPoissonRatio = 0.3f;

UserMessage Refusal(const std::string& text) { return {text, "Import siatki z GiD", MessageStyle::Exclamation}; }

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The tokens of one line, up to a "#" that stands outside double quotes. A
// quoted text (a mesh name) stays one token with its blanks and "#" signs;
// in header lines `equalsSeparates` makes "=" a separator, for exporters that
// write "Nnode = 4".
void SplitLine(std::string_view line, bool equalsSeparates, std::vector<std::string_view>& tokens) {
  tokens.clear();
  bool quoted = false;
  std::size_t start = std::string_view::npos;
  for (std::size_t i = 0; i <= line.size(); ++i) {
    const bool atEnd = i == line.size() || (!quoted && line[i] == '#');
    const char c = atEnd ? ' ' : line[i];
    if (c == '"') quoted = !quoted;
    if (atEnd || (!quoted && (IsBlank(c) || (equalsSeparates && c == '=')))) {
      if (start != std::string_view::npos) tokens.push_back(line.substr(start, i - start));
      start = std::string_view::npos;
    } else if (start == std::string_view::npos) {
      start = i;
    }
    if (atEnd) return;
  }
}

// Whether a "MESH" header announces a three-dimensional mesh of four-node
// tetrahedra. Quadratic tetrahedra (Nnode 10) and 2-D meshes are skipped.
bool TakesTetrahedra(const std::vector<std::string_view>& header) {
  bool tetrahedra = false;
  std::optional<std::int32_t> nodesPerElement, dimension;
  for (std::size_t i = 1; i + 1 < header.size(); ++i) {
    if (SameWord(header[i], "ElemType")) tetrahedra = SameWord(header[i + 1], "Tetrahedra");
    if (SameWord(header[i], "Nnode")) nodesPerElement = ParseInt(header[i + 1]);
    if (SameWord(header[i], "dimension")) dimension = ParseInt(header[i + 1]);
  }
  return tetrahedra && (!nodesPerElement || *nodesPerElement == 4) && (!dimension || *dimension == 3);
}

struct StagedElement {
  std::int32_t fileNode[4];
  int line;
};

struct StagedNode {
  NodeRow at;
  bool used = false;        // named by a tetrahedron
  std::int32_t number = 0;  // program number once it is known to be kept
};

// The mesh as read, before it may go into the store.
struct StagedMesh {
  std::vector<StagedNode> nodes;                          // in order of first appearance
  std::unordered_map<std::int32_t, std::size_t> indexOf;  // file node number -> index in `nodes`
  std::vector<StagedElement> elements;
  bool sawTetrahedraBlock = false;
};

std::string LineFault(int line) { return "Nieprawidłowy wiersz " + std::to_string(line) + " pliku siatki."; }

// Reads the whole text; an empty string means success, otherwise the fault.
std::string ReadMesh(std::string_view text, StagedMesh& mesh) {
  enum class Section { None, Coordinates, Elements };
  Section section = Section::None;
  bool takeBlock = true;  // a file without MESH lines holds tetrahedra
  std::vector<std::string_view> tokens;
  int lineNumber = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNumber;
    SplitLine(line, false, tokens);
    if (tokens.empty()) continue;
    const std::string_view first = tokens[0];
    if (section == Section::None && SameWord(first, "MESH")) SplitLine(line, true, tokens);

    if (section != Section::None && SameWord(first, "end")) {
      section = Section::None;
      continue;
    }
    switch (section) {
      case Section::None:
        if (SameWord(first, "MESH")) {
          takeBlock = TakesTetrahedra(tokens);
        } else if (SameWord(first, "Coordinates")) {
          section = Section::Coordinates;
        } else if (SameWord(first, "Elements")) {
          section = Section::Elements;
          if (takeBlock) mesh.sawTetrahedraBlock = true;
        }
        break;

      case Section::Coordinates: {
        // Nodes of skipped blocks are kept when they read as 3-D nodes, since a
        // tetrahedron may name them; other lines there (2-D nodes "id x y")
        // are no concern of the import.
        std::optional<std::int32_t> number;
        std::optional<float> x, y, z;
        if (tokens.size() == 4) {
          number = ParseInt(tokens[0]);
          x = ParseMeshCoordinate(tokens[1]), y = ParseMeshCoordinate(tokens[2]), z = ParseMeshCoordinate(tokens[3]);
        }
        if (!number || !x || !y || !z) {
          if (takeBlock) return LineFault(lineNumber);
          break;
        }
        // A node number met again (a later block repeats the coordinates) is the same node.
        if (mesh.indexOf.emplace(*number, mesh.nodes.size()).second) mesh.nodes.push_back({{*x, *y, *z}});
        break;
      }

      case Section::Elements: {
        if (!takeBlock) break;
        // Element number, four nodes and, in files that carry it, the material.
        if (tokens.size() != 5 && tokens.size() != 6) return LineFault(lineNumber);
        StagedElement element{{}, lineNumber};
        if (!ParseInt(tokens[0])) return LineFault(lineNumber);
        for (int k = 0; k < 4; ++k) {
          const auto node = ParseInt(tokens[k + 1]);
          if (!node) return LineFault(lineNumber);
          element.fileNode[k] = *node;
        }
        mesh.elements.push_back(element);
        break;
      }
    }
  }
  return {};
}

// Resolves the element nodes and numbers the nodes that the tetrahedra name,
// in the order the file lists them. Listed nodes that no tetrahedron names are
// left out: as free nodes without supports they would make the model
// singular, and which of them came in would depend on the order of blocks.
// Returns the number of kept nodes, or the fault.
std::string NumberNodes(StagedMesh& mesh, std::int64_t& kept) {
  if (!mesh.sawTetrahedraBlock || mesh.elements.empty())
    return "Plik nie zawiera siatki czworościanów (Tetrahedra, 4 węzły w elemencie).";
  for (const StagedElement& element : mesh.elements) {
    for (std::int32_t fileNode : element.fileNode) {
      const auto found = mesh.indexOf.find(fileNode);
      if (found == mesh.indexOf.end())
        return "Element w wierszu " + std::to_string(element.line) + " odwołuje się do węzła " +
               std::to_string(fileNode) + ", którego plik nie definiuje.";
      mesh.nodes[found->second].used = true;
    }
  }
  kept = 0;
  for (StagedNode& node : mesh.nodes) {
    if (node.used) node.number = static_cast<std::int32_t>(++kept);
  }
  return {};
}

std::string CheckCounts(std::int64_t nodes, std::int64_t elements) {
  std::string tooLarge;
  if (nodes > MaxFileNodes)
    tooLarge +=
        "Siatka ma za dużo węzłów: " + std::to_string(nodes) + " (najwyżej " + std::to_string(MaxFileNodes) + ").";
  if (elements > MaxFileElements) {
    if (!tooLarge.empty()) tooLarge += '\n';
    tooLarge += "Siatka ma za dużo elementów: " + std::to_string(elements) + " (najwyżej " +
                std::to_string(MaxFileElements) + ").";
  }
  return tooLarge;
}

// Reads and numbers the mesh; an empty string means success.
std::string StageMesh(std::string_view text, StagedMesh& mesh, std::int64_t& nodeCount) {
  std::string fault = ReadMesh(text, mesh);
  if (fault.empty()) fault = NumberNodes(mesh, nodeCount);
  return fault;
}

}  // namespace

IoResult ImportGidMesh(std::string_view text, ModelStore& store) {
  StagedMesh mesh;
  std::int64_t nodeCount = 0;
  std::string fault = StageMesh(text, mesh, nodeCount);
  if (fault.empty()) fault = CheckCounts(nodeCount, static_cast<std::int64_t>(mesh.elements.size()));
  if (!fault.empty()) return IoResult::Failure(Refusal(fault));

  ClearModel(store);
  for (const StagedNode& node : mesh.nodes) {
    if (node.number == 0) continue;
    store.Nodes[node.number] = node.at;
    for (std::int32_t c = 1; c <= 3; ++c) store.Forces[DofOf(node.number, c)] = 0.0f;
  }
  const auto elementCount = static_cast<std::int32_t>(mesh.elements.size());
  for (std::int32_t e = 1; e <= elementCount; ++e) {
    for (int k = 0; k < 4; ++k)
      store.Elements[e].node[k + 1] = mesh.nodes[mesh.indexOf.at(mesh.elements[e - 1].fileNode[k])].number;
    store.Elements[e].material = 1;
  }
  store.NodeCount = static_cast<std::int32_t>(nodeCount);
  store.ElementCount = elementCount;
  store.Materials[1] = {DefaultYoungModulus, DefaultPoissonRatio};
  store.MaterialCount = 1;
  return IoResult::Success();
}

IoResult ImportGidFile(const std::string& path, ModelStore& store) {
  const std::optional<std::string> text = ReadWholeFile(path);
  if (!text) return IoResult::Failure(Refusal("Nie można odczytać pliku siatki."));
  return ImportGidMesh(*text, store);
}

IoResult ReadGidMesh(std::string_view text, MeshWithGroups& mesh) {
  StagedMesh staged;
  std::int64_t nodeCount = 0;
  std::string fault = StageMesh(text, staged, nodeCount);
  if (fault.empty() && (nodeCount >= std::numeric_limits<std::int32_t>::max() ||
                        staged.elements.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())))
    fault = "Siatka ma za dużo elementów.";
  if (!fault.empty()) return IoResult::Failure(Refusal(fault));

  std::vector<NodeRow> nodes;
  nodes.reserve(static_cast<std::size_t>(nodeCount));
  for (const StagedNode& node : staged.nodes)
    if (node.number != 0) nodes.push_back(node.at);
  std::vector<std::array<std::int32_t, 4>> elements(staged.elements.size());
  for (std::size_t e = 0; e < elements.size(); ++e)
    for (int k = 0; k < 4; ++k) elements[e][k] = staged.nodes[staged.indexOf.at(staged.elements[e].fileNode[k])].number;
  MeshWithGroups result;
  FillMeshModel(nodes, elements, result.model);
  mesh = std::move(result);
  return IoResult::Success();
}

IoResult ReadGidFile(const std::string& path, MeshWithGroups& mesh) {
  const std::optional<std::string> text = ReadWholeFile(path, MaxMeshFileSize);
  if (!text) return IoResult::Failure(Refusal("Nie można odczytać pliku siatki."));
  return ReadGidMesh(*text, mesh);
}

}  // namespace qor
