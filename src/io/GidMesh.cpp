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

// The mesh as read, before it may go into the store. Rows are kept only up to
// what the store can take; beyond that only the counts grow.
struct StagedMesh {
  std::vector<NodeRow> nodes;
  std::unordered_map<std::int32_t, std::int32_t> numberOf;  // file node number -> 1-based program number
  std::int64_t nodeCount = 0;
  std::vector<StagedElement> elements;
  std::int64_t elementCount = 0;
  bool sawTetrahedraBlock = false;
};

std::string LineFault(int line) {
  return "Nieprawidłowy wiersz " + std::to_string(line) + " pliku siatki.";
}

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
        if (mesh.numberOf.contains(*number)) break;
        ++mesh.nodeCount;
        mesh.numberOf.emplace(*number, static_cast<std::int32_t>(mesh.nodeCount));
        if (mesh.nodeCount <= MaxFileNodes) mesh.nodes.push_back({*x, *y, *z});
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
        ++mesh.elementCount;
        if (mesh.elementCount <= MaxFileElements) mesh.elements.push_back(element);
        break;
      }
    }
  }
  return {};
}

// Checks the counts and the element nodes; an empty string when all is well.
std::string CheckMesh(const StagedMesh& mesh) {
  if (!mesh.sawTetrahedraBlock || mesh.elementCount == 0)
    return "Plik nie zawiera siatki czworościanów (Tetrahedra, 4 węzły w elemencie).";
  std::string tooLarge;
  if (mesh.nodeCount > MaxFileNodes)
    tooLarge += "Siatka ma za dużo węzłów: " + std::to_string(mesh.nodeCount) + " (najwyżej " +
                std::to_string(MaxFileNodes) + ").\n";
  if (mesh.elementCount > MaxFileElements)
    tooLarge += "Siatka ma za dużo elementów: " + std::to_string(mesh.elementCount) + " (najwyżej " +
                std::to_string(MaxFileElements) + ").\n";
  if (!tooLarge.empty()) return tooLarge.substr(0, tooLarge.size() - 1);
  for (const StagedElement& element : mesh.elements) {
    for (std::int32_t fileNode : element.fileNode) {
      if (!mesh.numberOf.contains(fileNode))
        return "Element w wierszu " + std::to_string(element.line) + " odwołuje się do węzła " +
               std::to_string(fileNode) + ", którego plik nie definiuje.";
    }
  }
  return {};
}

}  // namespace

IoResult ImportGidMesh(std::string_view text, ModelStore& store) {
  StagedMesh mesh;
  std::string fault = ReadMesh(text, mesh);
  if (fault.empty()) fault = CheckMesh(mesh);
  if (!fault.empty()) return IoResult::Failure(Refusal(fault));

  ClearModel(store);
  const auto nodeCount = static_cast<std::int32_t>(mesh.nodes.size());
  for (std::int32_t n = 1; n <= nodeCount; ++n) {
    store.Nodes[n] = mesh.nodes[n - 1];
    for (std::int32_t c = 1; c <= 3; ++c) store.Forces[DofOf(n, c)] = 0.0f;
  }
  const auto elementCount = static_cast<std::int32_t>(mesh.elements.size());
  for (std::int32_t e = 1; e <= elementCount; ++e) {
    for (int k = 0; k < 4; ++k) store.Elements[e].node[k + 1] = mesh.numberOf.at(mesh.elements[e - 1].fileNode[k]);
    store.Elements[e].material = 1;
  }
  store.NodeCount = nodeCount;
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
