#include "io/GidMesh.h"

#include <optional>
#include <unordered_map>
#include <vector>

#include "io/FileText.h"
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

// The tokens of one line, the part after a "#" left out.
void SplitLine(std::string_view line, std::vector<std::string_view>& tokens) {
  tokens.clear();
  const std::size_t hash = line.find('#');
  if (hash != std::string_view::npos) line = line.substr(0, hash);
  TokenCursor cursor(line);
  for (std::string_view token = cursor.Next(); !token.empty(); token = cursor.Next()) tokens.push_back(token);
}

// Whether a "MESH" header announces four-node tetrahedra.
bool TakesTetrahedra(const std::vector<std::string_view>& header) {
  bool tetrahedra = false;
  std::optional<std::int32_t> nodesPerElement;
  for (std::size_t i = 1; i + 1 < header.size(); ++i) {
    if (SameWord(header[i], "ElemType")) tetrahedra = SameWord(header[i + 1], "Tetrahedra");
    if (SameWord(header[i], "Nnode")) nodesPerElement = ParseInt(header[i + 1]);
  }
  return tetrahedra && (!nodesPerElement || *nodesPerElement == 4);
}

struct StagedElement {
  std::int32_t fileNode[4];
  int line;
};

struct StagedNode {
  NodeRow at;
  bool inTakenBlock;        // listed under a block of tetrahedra
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
    SplitLine(line, tokens);
    if (tokens.empty()) continue;
    const std::string_view first = tokens[0];

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
        if (tokens.size() != 4) return LineFault(lineNumber);
        const auto number = ParseInt(tokens[0]);
        const auto x = ParseFloat(tokens[1], '.'), y = ParseFloat(tokens[2], '.'), z = ParseFloat(tokens[3], '.');
        if (!number || !x || !y || !z) return LineFault(lineNumber);
        // A node number met again (a later block repeats the coordinates) is the same node.
        const auto [known, added] = mesh.indexOf.emplace(*number, mesh.nodes.size());
        if (added)
          mesh.nodes.push_back({{*x, *y, *z}, takeBlock});
        else if (takeBlock)
          mesh.nodes[known->second].inTakenBlock = true;
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

// Resolves the element nodes and numbers the nodes that are kept: those of
// the tetrahedra blocks and those of other blocks that a tetrahedron names
// (nodes only of skipped blocks would be free nodes that no element holds).
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
    if (node.inTakenBlock || node.used) node.number = static_cast<std::int32_t>(++kept);
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

}  // namespace

IoResult ImportGidMesh(std::string_view text, ModelStore& store) {
  StagedMesh mesh;
  std::int64_t nodeCount = 0;
  std::string fault = ReadMesh(text, mesh);
  if (fault.empty()) fault = NumberNodes(mesh, nodeCount);
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

}  // namespace qor
