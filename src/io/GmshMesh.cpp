#include "io/GmshMesh.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>

#include "io/FileText.h"
#include "platform/NumberText.h"

namespace qor {
namespace {

constexpr float DefaultYoungModulus = 200000.0f;
constexpr float DefaultPoissonRatio = 0.3f;

// Gmsh element types the import understands.
constexpr int TypeLine = 1, TypeTriangle = 2, TypeTetrahedron = 4, TypePoint = 15;

UserMessage Refusal(std::string text) { return {std::move(text), "Import siatki z Gmsh", MessageStyle::Exclamation}; }

std::string LineFault(std::int64_t line) { return "Nieprawidłowy wiersz " + std::to_string(line) + " pliku siatki."; }

// The lines of the text, each split at blanks; lines of blanks only are
// passed over. Line numbers count every line, so messages name the line an
// editor shows.
class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {}

  bool Next() {
    while (pos_ < text_.size()) {
      std::size_t end = text_.find('\n', pos_);
      if (end == std::string_view::npos) end = text_.size();
      line_ = text_.substr(pos_, end - pos_);
      pos_ = end + 1;
      ++number_;
      Split();
      if (!tokens_.empty()) return true;
    }
    return false;
  }
  std::int64_t Number() const { return number_; }
  std::string_view Line() const { return line_; }
  const std::vector<std::string_view>& Tokens() const { return tokens_; }
  std::size_t Size() const { return tokens_.size(); }
  std::string_view operator[](std::size_t i) const { return tokens_[i]; }
  // Bytes not read yet: every record still to come takes at least two of
  // them, which bounds any count before room is made for it.
  std::size_t Remaining() const { return pos_ < text_.size() ? text_.size() - pos_ : 0; }

 private:
  void Split() {
    tokens_.clear();
    std::size_t i = 0;
    while (i < line_.size()) {
      while (i < line_.size() && IsBlank(line_[i])) ++i;
      const std::size_t start = i;
      while (i < line_.size() && !IsBlank(line_[i])) ++i;
      if (i > start) tokens_.push_back(line_.substr(start, i - start));
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::int64_t number_ = 0;
  std::string_view line_;
  std::vector<std::string_view> tokens_;
};

// A decimal integer in [low, high], the whole token.
std::optional<std::int64_t> Integer(std::string_view token, std::int64_t low, std::int64_t high) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (error != std::errc() || end != token.data() + token.size() || value < low || value > high) return std::nullopt;
  return value;
}

constexpr std::int64_t MaxTag = std::numeric_limits<std::int32_t>::max();

bool IsNumber(std::string_view token) {
  const char* first = token.data();
  const char* last = first + token.size();
  if (first != last && *first == '+') ++first;
  double value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  return end == last && (error == std::errc() || error == std::errc::result_out_of_range) && !std::isnan(value);
}

// A physical group as the file gives it, keyed by dimension and tag.
struct StagedGroup {
  int dimension = 0;
  std::int32_t tag = 0;
  std::string name;
};

enum class Kind { Tetrahedra, Triangles, NodesOnly };

// A run of consecutive elements of one kind that belong to the same groups.
struct Run {
  Kind kind;
  std::size_t begin, end;   // range in the vector of the kind
  std::vector<int> groups;  // indices into StagedMesh::groups
};

struct StagedMesh {
  int version = 0;  // 2 or 4
  // Nodes in the order listed, with their file tags and lines.
  std::vector<std::int32_t> nodeTag;
  std::vector<NodeRow> nodeAt;
  std::vector<std::int64_t> nodeLine;
  // File tag -> index into the node vectors: a plain table when the tags are
  // dense enough, a hash map for scattered ones.
  std::vector<std::int32_t> denseIndex;
  std::unordered_map<std::int32_t, std::int32_t> sparseIndex;
  bool nodesRead = false;
  bool elementsRead = false;
  // The first element type the import refuses, a solid one rather than a
  // line or face of it: a quadratic mesh is told as one of ten-node
  // tetrahedra, although its three-node lines come first.
  std::int64_t refusedType = 0, refusedLine = 0;
  bool refusedSolid = false;

  void NoteRefused(std::int64_t type, std::int64_t line, bool solid) {
    if (refusedType != 0 && (refusedSolid || !solid)) return;
    refusedType = type, refusedLine = line, refusedSolid = solid;
  }

  std::map<std::pair<int, std::int32_t>, std::vector<std::int32_t>> entityPhysicals;
  std::vector<StagedGroup> groups;
  std::map<std::pair<int, std::int32_t>, int> groupIndex;

  // Elements as node indices (into the node vectors).
  std::vector<std::array<std::int32_t, 4>> tetrahedra;
  std::vector<std::array<std::int32_t, 3>> triangles;
  std::vector<std::int32_t> groupNodes;  // corners of points and lines
  std::vector<Run> runs;

  std::int32_t NodeIndex(std::int32_t tag) const {
    if (!denseIndex.empty() || sparseIndex.empty()) {
      return tag >= 0 && static_cast<std::size_t>(tag) < denseIndex.size() ? denseIndex[tag] : -1;
    }
    const auto found = sparseIndex.find(tag);
    return found == sparseIndex.end() ? -1 : found->second;
  }

  int GroupOf(int dimension, std::int32_t tag) {
    const auto [at, added] = groupIndex.emplace(std::make_pair(dimension, tag), static_cast<int>(groups.size()));
    if (added) groups.push_back({dimension, tag, std::to_string(tag)});
    return at->second;
  }

  // Appends the element just stored (the last of its kind) to the runs.
  void AddToRun(Kind kind, std::size_t begin, std::size_t end, const std::vector<int>& of) {
    if (!runs.empty() && runs.back().kind == kind && runs.back().end == begin && runs.back().groups == of) {
      runs.back().end = end;
      return;
    }
    runs.push_back({kind, begin, end, of});
  }
};

// The element types a mesh of four-node tetrahedra may not contain, named
// for the message that refuses them.
std::string TypeName(std::int64_t type) {
  switch (type) {
    case 3:
      return " (czworokąty)";
    case 5:
      return " (sześciościany)";
    case 6:
      return " (pryzmaty)";
    case 7:
      return " (ostrosłupy)";
    case 8:
      return " (odcinki 3-węzłowe)";
    case 9:
      return " (trójkąty 6-węzłowe)";
    case 11:
      return " (czworościany 10-węzłowe)";
    case 12:
      return " (sześciościany 27-węzłowe)";
    case 17:
      return " (sześciościany 20-węzłowe)";
    default:
      return "";
  }
}

std::string UnsupportedType(std::int64_t type, std::int64_t line) {
  return "Plik zawiera w wierszu " + std::to_string(line) + " elementy typu " + std::to_string(type) + TypeName(type) +
         ". Import przyjmuje tylko siatkę czworościanów (typ 4, 4 węzły w elemencie) z trójkątami, odcinkami "
         "i punktami grup.";
}

// Solid element types of Gmsh other than the four-node tetrahedron: of the
// first order and of higher ones.
bool IsSolidType(std::int64_t type) {
  switch (type) {
    case 5:
    case 6:
    case 7:
    case 11:
    case 12:
    case 13:
    case 14:
    case 17:
    case 18:
    case 19:
    case 29:
    case 30:
    case 31:
    case 32:
    case 33:
    case 92:
    case 93:
      return true;
    default:
      return false;
  }
}

// Nodes per element and dimension of the accepted types; 0 for others.
int NodesOfType(std::int64_t type) {
  switch (type) {
    case TypeLine:
      return 2;
    case TypeTriangle:
      return 3;
    case TypeTetrahedron:
      return 4;
    case TypePoint:
      return 1;
    default:
      return 0;
  }
}
int DimensionOfType(std::int64_t type) {
  switch (type) {
    case TypeLine:
      return 1;
    case TypeTriangle:
      return 2;
    case TypeTetrahedron:
      return 3;
    default:
      return 0;
  }
}

// A count on the line `lines` stands at, at most what the rest of the text can hold.
std::optional<std::int64_t> Count(const Lines& lines, std::string_view token) {
  return Integer(token, 0, static_cast<std::int64_t>(lines.Remaining() / 2));
}

// The line after the records of a section must close it.
std::string ExpectEnd(Lines& lines, std::string_view end) {
  if (!lines.Next()) return "Brak wiersza " + std::string(end) + " na końcu pliku siatki.";
  if (lines.Size() != 1 || lines[0] != end) return LineFault(lines.Number());
  return {};
}

std::string ReadFormat(Lines& lines, StagedMesh& mesh) {
  if (!lines.Next()) return "Brak wiersza $EndMeshFormat na końcu pliku siatki.";
  if (lines.Size() != 3) return LineFault(lines.Number());
  const std::string_view version = lines[0];
  const auto fileType = Integer(lines[1], 0, 1);
  if (!fileType || !Integer(lines[2], 1, 64)) return LineFault(lines.Number());
  if (version == "4.1") {
    mesh.version = 4;
  } else if (version == "2" || version == "2.0" || version == "2.1" || version == "2.2") {
    mesh.version = 2;
  } else {
    return "Plik siatki Gmsh ma format w wersji " + std::string(version.substr(0, 20)) +
           "; import czyta wersje 4.1 i 2.2 (zapis tekstowy).";
  }
  if (*fileType == 1)
    return "Plik siatki Gmsh jest zapisany binarnie; import czyta tylko zapis tekstowy (ASCII). "
           "Zapisz siatkę w programie gmsh bez opcji -bin.";
  return ExpectEnd(lines, "$EndMeshFormat");
}

std::string ReadPhysicalNames(Lines& lines, StagedMesh& mesh) {
  if (!lines.Next()) return LineFault(lines.Number() + 1);
  const auto count = lines.Size() == 1 ? Count(lines, lines[0]) : std::nullopt;
  if (!count) return LineFault(lines.Number());
  for (std::int64_t i = 0; i < *count; ++i) {
    if (!lines.Next()) return LineFault(lines.Number() + 1);
    const std::string_view line = lines.Line();
    const std::size_t open = line.find('"'), close = line.rfind('"');
    const auto dimension = lines.Size() >= 3 ? Integer(lines[0], 0, 3) : std::nullopt;
    const auto tag = lines.Size() >= 3 ? Integer(lines[1], 1, MaxTag) : std::nullopt;
    if (!dimension || !tag || open == std::string_view::npos || close == open ||
        line.find_first_not_of(" \t\r", close + 1) != std::string_view::npos || lines[2].front() != '"')
      return LineFault(lines.Number());
    const std::string name(line.substr(open + 1, close - open - 1));
    const auto key = std::make_pair(static_cast<int>(*dimension), static_cast<std::int32_t>(*tag));
    if (mesh.groupIndex.count(key) != 0) return LineFault(lines.Number());
    mesh.groups[mesh.GroupOf(key.first, key.second)].name = name;
  }
  return ExpectEnd(lines, "$EndPhysicalNames");
}

std::string ReadEntities(Lines& lines, StagedMesh& mesh) {
  if (!lines.Next()) return LineFault(lines.Number() + 1);
  std::int64_t counts[4];
  if (lines.Size() != 4) return LineFault(lines.Number());
  for (int d = 0; d < 4; ++d) {
    const auto count = Count(lines, lines[d]);
    if (!count) return LineFault(lines.Number());
    counts[d] = *count;
  }
  for (int dimension = 0; dimension < 4; ++dimension) {
    // A point gives its position, the others their bounding box; all but
    // points then list their bounding entities.
    const std::size_t numbers = dimension == 0 ? 3 : 6;
    for (std::int64_t i = 0; i < counts[dimension]; ++i) {
      if (!lines.Next()) return LineFault(lines.Number() + 1);
      const std::size_t physicalAt = 1 + numbers;
      bool good = lines.Size() > physicalAt && Integer(lines[0], 1, MaxTag);
      for (std::size_t k = 1; good && k < physicalAt; ++k) good = IsNumber(lines[k]);
      const auto physicals =
          good ? Integer(lines[physicalAt], 0, static_cast<std::int64_t>(lines.Size())) : std::nullopt;
      good = physicals && lines.Size() >= physicalAt + 1 + *physicals;
      if (!good) return LineFault(lines.Number());
      const std::size_t boundsAt = physicalAt + 1 + static_cast<std::size_t>(*physicals);
      if (dimension == 0) {
        good = lines.Size() == boundsAt;
      } else {
        const auto bounds = lines.Size() > boundsAt
                                ? Integer(lines[boundsAt], 0, static_cast<std::int64_t>(lines.Size()))
                                : std::nullopt;
        good = bounds && lines.Size() == boundsAt + 1 + *bounds;
        for (std::size_t k = boundsAt + 1; good && k < lines.Size(); ++k)
          good = Integer(lines[k], -MaxTag, MaxTag).has_value();
      }
      if (!good) return LineFault(lines.Number());
      const auto key = std::make_pair(dimension, static_cast<std::int32_t>(*Integer(lines[0], 1, MaxTag)));
      std::vector<std::int32_t>& tags = mesh.entityPhysicals[key];
      tags.clear();
      for (std::size_t k = physicalAt + 1; k < boundsAt; ++k) {
        const auto tag = Integer(lines[k], 1, MaxTag);
        if (!tag) return LineFault(lines.Number());
        tags.push_back(static_cast<std::int32_t>(*tag));
      }
    }
  }
  return ExpectEnd(lines, "$EndEntities");
}

// One node: its tag and the first three of its coordinate tokens.
std::string AddNode(StagedMesh& mesh, std::string_view tagToken, const std::string_view* xyz, std::int64_t tagLine,
                    std::int64_t coordinateLine) {
  const auto tag = Integer(tagToken, 1, MaxTag);
  if (!tag) return LineFault(tagLine);
  const auto x = ParseMeshCoordinate(xyz[0]), y = ParseMeshCoordinate(xyz[1]), z = ParseMeshCoordinate(xyz[2]);
  if (!x || !y || !z) return LineFault(coordinateLine);
  mesh.nodeTag.push_back(static_cast<std::int32_t>(*tag));
  mesh.nodeAt.push_back({*x, *y, *z});
  mesh.nodeLine.push_back(tagLine);
  return {};
}

std::string ReadNodes4(Lines& lines, StagedMesh& mesh) {
  if (!lines.Next()) return LineFault(lines.Number() + 1);
  const std::int64_t headerLine = lines.Number();
  const auto blocks = lines.Size() == 4 ? Count(lines, lines[0]) : std::nullopt;
  const auto total = lines.Size() == 4 ? Count(lines, lines[1]) : std::nullopt;
  if (!blocks || !total || !Integer(lines[2], 0, MaxTag) || !Integer(lines[3], 0, MaxTag)) return LineFault(headerLine);
  mesh.nodeTag.reserve(static_cast<std::size_t>(*total));
  mesh.nodeAt.reserve(static_cast<std::size_t>(*total));
  mesh.nodeLine.reserve(static_cast<std::size_t>(*total));
  std::vector<std::pair<std::string_view, std::int64_t>> tags;
  for (std::int64_t b = 0; b < *blocks; ++b) {
    if (!lines.Next()) return LineFault(lines.Number() + 1);
    const auto dimension = lines.Size() == 4 ? Integer(lines[0], 0, 3) : std::nullopt;
    const auto parametric = lines.Size() == 4 ? Integer(lines[2], 0, 1) : std::nullopt;
    const auto count = lines.Size() == 4 ? Count(lines, lines[3]) : std::nullopt;
    if (!dimension || !parametric || !count || !Integer(lines[1], 0, MaxTag)) return LineFault(lines.Number());
    // The tags come first, one a line, then the coordinates of the same nodes;
    // a parametric block adds the entity's own parameters to each.
    tags.clear();
    for (std::int64_t i = 0; i < *count; ++i) {
      if (!lines.Next()) return LineFault(lines.Number() + 1);
      if (lines.Size() != 1) return LineFault(lines.Number());
      tags.emplace_back(lines[0], lines.Number());
    }
    const std::size_t tokens = 3 + (*parametric ? static_cast<std::size_t>(*dimension) : 0);
    for (std::int64_t i = 0; i < *count; ++i) {
      if (!lines.Next()) return LineFault(lines.Number() + 1);
      if (lines.Size() != tokens) return LineFault(lines.Number());
      for (std::size_t k = 3; k < tokens; ++k)
        if (!IsNumber(lines[k])) return LineFault(lines.Number());
      const auto& [tag, tagLine] = tags[static_cast<std::size_t>(i)];
      if (std::string fault = AddNode(mesh, tag, lines.Tokens().data(), tagLine, lines.Number()); !fault.empty())
        return fault;
    }
  }
  if (static_cast<std::int64_t>(mesh.nodeTag.size()) != *total) return LineFault(headerLine);
  return ExpectEnd(lines, "$EndNodes");
}

std::string ReadNodes2(Lines& lines, StagedMesh& mesh) {
  if (!lines.Next()) return LineFault(lines.Number() + 1);
  const auto count = lines.Size() == 1 ? Count(lines, lines[0]) : std::nullopt;
  if (!count) return LineFault(lines.Number());
  mesh.nodeTag.reserve(static_cast<std::size_t>(*count));
  mesh.nodeAt.reserve(static_cast<std::size_t>(*count));
  mesh.nodeLine.reserve(static_cast<std::size_t>(*count));
  for (std::int64_t i = 0; i < *count; ++i) {
    if (!lines.Next()) return LineFault(lines.Number() + 1);
    if (lines.Size() != 4) return LineFault(lines.Number());
    if (std::string fault = AddNode(mesh, lines[0], lines.Tokens().data() + 1, lines.Number(), lines.Number());
        !fault.empty())
      return fault;
  }
  return ExpectEnd(lines, "$EndNodes");
}

// Makes the lookup from file tags to node indices; a tag given twice is refused.
std::string IndexNodes(StagedMesh& mesh) {
  const std::size_t count = mesh.nodeTag.size();
  const std::int32_t largest = count == 0 ? 0 : *std::max_element(mesh.nodeTag.begin(), mesh.nodeTag.end());
  const bool dense = static_cast<std::size_t>(largest) <= 4 * count + 1024;
  if (dense) mesh.denseIndex.assign(static_cast<std::size_t>(largest) + 1, -1);
  for (std::size_t i = 0; i < count; ++i) {
    const std::int32_t tag = mesh.nodeTag[i];
    bool added;
    if (dense) {
      added = mesh.denseIndex[tag] < 0;
      if (added) mesh.denseIndex[tag] = static_cast<std::int32_t>(i);
    } else {
      added = mesh.sparseIndex.emplace(tag, static_cast<std::int32_t>(i)).second;
    }
    if (!added)
      return "Węzeł " + std::to_string(tag) + " w wierszu " + std::to_string(mesh.nodeLine[i]) +
             " jest już zdefiniowany wcześniej w pliku siatki.";
  }
  mesh.nodesRead = true;
  return {};
}

// The node indices of one element's `count` node tokens.
std::string ElementNodes(const StagedMesh& mesh, const std::string_view* tokens, int count, std::int64_t line,
                         std::int32_t* nodes) {
  for (int k = 0; k < count; ++k) {
    const auto tag = Integer(tokens[k], 1, MaxTag);
    if (!tag) return LineFault(line);
    nodes[k] = mesh.NodeIndex(static_cast<std::int32_t>(*tag));
    if (nodes[k] < 0)
      return "Element w wierszu " + std::to_string(line) + " odwołuje się do węzła " + std::to_string(*tag) +
             ", którego plik nie definiuje.";
  }
  return {};
}

// Stores one element of an accepted type; elements other than tetrahedra are
// kept only when they belong to a group.
std::string AddElement(StagedMesh& mesh, std::int64_t type, const std::string_view* nodeTokens, std::int64_t line,
                       const std::vector<int>& groups) {
  std::array<std::int32_t, 4> nodes{};
  const int count = NodesOfType(type);
  if (std::string fault = ElementNodes(mesh, nodeTokens, count, line, nodes.data()); !fault.empty()) return fault;
  if (type == TypeTetrahedron) {
    mesh.tetrahedra.push_back(nodes);
    mesh.AddToRun(Kind::Tetrahedra, mesh.tetrahedra.size() - 1, mesh.tetrahedra.size(), groups);
  } else if (groups.empty()) {
    // A face, line or point of no group says nothing about the solid.
  } else if (type == TypeTriangle) {
    mesh.triangles.push_back({nodes[0], nodes[1], nodes[2]});
    mesh.AddToRun(Kind::Triangles, mesh.triangles.size() - 1, mesh.triangles.size(), groups);
  } else {
    const std::size_t begin = mesh.groupNodes.size();
    mesh.groupNodes.insert(mesh.groupNodes.end(), nodes.begin(), nodes.begin() + count);
    mesh.AddToRun(Kind::NodesOnly, begin, mesh.groupNodes.size(), groups);
  }
  return {};
}

std::string ReadElements4(Lines& lines, StagedMesh& mesh) {
  if (!lines.Next()) return LineFault(lines.Number() + 1);
  const std::int64_t headerLine = lines.Number();
  const auto blocks = lines.Size() == 4 ? Count(lines, lines[0]) : std::nullopt;
  const auto total = lines.Size() == 4 ? Count(lines, lines[1]) : std::nullopt;
  if (!blocks || !total || !Integer(lines[2], 0, std::numeric_limits<std::int64_t>::max()) ||
      !Integer(lines[3], 0, std::numeric_limits<std::int64_t>::max()))
    return LineFault(headerLine);
  std::int64_t seen = 0;
  std::vector<int> groups;
  for (std::int64_t b = 0; b < *blocks; ++b) {
    if (!lines.Next()) return LineFault(lines.Number() + 1);
    const auto dimension = lines.Size() == 4 ? Integer(lines[0], 0, 3) : std::nullopt;
    const auto entity = lines.Size() == 4 ? Integer(lines[1], 0, MaxTag) : std::nullopt;
    const auto type = lines.Size() == 4 ? Integer(lines[2], 1, MaxTag) : std::nullopt;
    const auto count = lines.Size() == 4 ? Count(lines, lines[3]) : std::nullopt;
    if (!dimension || !entity || !type || !count) return LineFault(lines.Number());
    const int nodes = NodesOfType(*type);
    if (nodes == 0) {
      mesh.NoteRefused(*type, lines.Number(), *dimension == 3);
      for (std::int64_t i = 0; i < *count; ++i)
        if (!lines.Next()) return LineFault(lines.Number() + 1);
      seen += *count;
      continue;
    }
    if (DimensionOfType(*type) != *dimension) return LineFault(lines.Number());
    if (*type == TypeTetrahedron) mesh.tetrahedra.reserve(mesh.tetrahedra.size() + static_cast<std::size_t>(*count));
    groups.clear();
    const auto physicals =
        mesh.entityPhysicals.find({static_cast<int>(*dimension), static_cast<std::int32_t>(*entity)});
    if (physicals != mesh.entityPhysicals.end())
      for (std::int32_t tag : physicals->second) groups.push_back(mesh.GroupOf(static_cast<int>(*dimension), tag));
    for (std::int64_t i = 0; i < *count; ++i) {
      if (!lines.Next()) return LineFault(lines.Number() + 1);
      if (lines.Size() != static_cast<std::size_t>(1 + nodes) ||
          !Integer(lines[0], 1, std::numeric_limits<std::int64_t>::max()))
        return LineFault(lines.Number());
      if (std::string fault = AddElement(mesh, *type, lines.Tokens().data() + 1, lines.Number(), groups);
          !fault.empty())
        return fault;
    }
    seen += *count;
  }
  if (seen != *total) return LineFault(headerLine);
  return ExpectEnd(lines, "$EndElements");
}

std::string ReadElements2(Lines& lines, StagedMesh& mesh) {
  if (!lines.Next()) return LineFault(lines.Number() + 1);
  const auto count = lines.Size() == 1 ? Count(lines, lines[0]) : std::nullopt;
  if (!count) return LineFault(lines.Number());
  std::vector<int> groups;
  for (std::int64_t i = 0; i < *count; ++i) {
    if (!lines.Next()) return LineFault(lines.Number() + 1);
    const auto type = lines.Size() >= 3 ? Integer(lines[1], 1, MaxTag) : std::nullopt;
    const auto tags = lines.Size() >= 3 ? Integer(lines[2], 0, static_cast<std::int64_t>(lines.Size())) : std::nullopt;
    if (!type || !tags || !Integer(lines[0], 1, std::numeric_limits<std::int64_t>::max()))
      return LineFault(lines.Number());
    const int nodes = NodesOfType(*type);
    if (nodes == 0) {
      mesh.NoteRefused(*type, lines.Number(), IsSolidType(*type));
      continue;
    }
    if (lines.Size() != static_cast<std::size_t>(3 + *tags + nodes)) return LineFault(lines.Number());
    // The first tag is the physical group, 0 for none; the others (the
    // elementary entity, partitions) do not matter here.
    std::int64_t physical = 0;
    for (std::int64_t k = 0; k < *tags; ++k) {
      const auto tag = Integer(lines[3 + static_cast<std::size_t>(k)], -MaxTag, MaxTag);
      if (!tag || (k == 0 && *tag < 0)) return LineFault(lines.Number());
      if (k == 0) physical = *tag;
    }
    groups.clear();
    if (physical > 0) groups.push_back(mesh.GroupOf(DimensionOfType(*type), static_cast<std::int32_t>(physical)));
    if (std::string fault = AddElement(mesh, *type, lines.Tokens().data() + 3 + *tags, lines.Number(), groups);
        !fault.empty())
      return fault;
  }
  return ExpectEnd(lines, "$EndElements");
}

// Passes over a section the import does not need, up to its end line.
std::string SkipSection(Lines& lines, std::string_view name) {
  const std::string end = "$End" + std::string(name.substr(1));
  const std::int64_t start = lines.Number();
  while (lines.Next())
    if (lines[0] == end) return {};
  return "Sekcja " + std::string(name.substr(0, 40)) + " z wiersza " + std::to_string(start) +
         " nie ma zamykającego wiersza " + end.substr(0, 44) + ".";
}

std::string ReadSections(std::string_view text, StagedMesh& mesh) {
  Lines lines(text);
  if (!lines.Next() || lines.Size() != 1 || lines[0] != "$MeshFormat")
    return "Plik nie jest siatką programu Gmsh: nie zaczyna się wierszem $MeshFormat.";
  if (std::string fault = ReadFormat(lines, mesh); !fault.empty()) return fault;
  while (lines.Next()) {
    const std::string_view name = lines[0];
    if (lines.Size() != 1 || name.front() != '$') return LineFault(lines.Number());
    std::string fault;
    if (name == "$PhysicalNames") {
      fault = ReadPhysicalNames(lines, mesh);
    } else if (name == "$Entities" && mesh.version == 4) {
      fault = ReadEntities(lines, mesh);
    } else if (name == "$PartitionedEntities") {
      fault = "Plik zawiera siatkę podzieloną na części (sekcja $PartitionedEntities w wierszu " +
              std::to_string(lines.Number()) + "); zapisz ją w programie gmsh jako jedną całość.";
    } else if (name == "$Nodes") {
      if (mesh.nodesRead) return LineFault(lines.Number());
      fault = mesh.version == 4 ? ReadNodes4(lines, mesh) : ReadNodes2(lines, mesh);
      if (fault.empty()) fault = IndexNodes(mesh);
    } else if (name == "$Elements") {
      if (mesh.elementsRead || !mesh.nodesRead) return LineFault(lines.Number());
      fault = mesh.version == 4 ? ReadElements4(lines, mesh) : ReadElements2(lines, mesh);
      mesh.elementsRead = true;
      if (fault.empty() && mesh.refusedType != 0) fault = UnsupportedType(mesh.refusedType, mesh.refusedLine);
    } else if (name.size() > 1 && name.substr(0, 4) != "$End") {
      fault = SkipSection(lines, name);
    } else {
      fault = LineFault(lines.Number());
    }
    if (!fault.empty()) return fault;
  }
  if (mesh.tetrahedra.empty()) return "Plik nie zawiera siatki czworościanów (elementy typu 4, 4 węzły w elemencie).";
  return {};
}

// The model numbers of the groups' nodes, faces and elements.
void FillGroups(const StagedMesh& staged, const std::vector<std::int32_t>& modelNode, MeshWithGroups& mesh) {
  std::vector<int> order(staged.groups.size());
  for (std::size_t g = 0; g < order.size(); ++g) order[g] = static_cast<int>(g);
  std::sort(order.begin(), order.end(), [&](int a, int b) {
    return std::make_pair(staged.groups[a].dimension, staged.groups[a].tag) <
           std::make_pair(staged.groups[b].dimension, staged.groups[b].tag);
  });
  std::vector<std::vector<const Run*>> runsOf(staged.groups.size());
  for (const Run& run : staged.runs)
    for (int g : run.groups) runsOf[g].push_back(&run);

  mesh.groups.clear();
  mesh.groups.reserve(order.size());
  for (int g : order) {
    MeshGroup group;
    group.name = staged.groups[g].name;
    group.dimension = staged.groups[g].dimension;
    const auto addNode = [&](std::int32_t index) {
      if (modelNode[index] != 0) group.nodes.push_back(modelNode[index]);
    };
    for (const Run* run : runsOf[g]) {
      for (std::size_t i = run->begin; i < run->end; ++i) {
        switch (run->kind) {
          case Kind::Tetrahedra:
            group.elements.push_back(static_cast<std::int32_t>(i + 1));
            for (std::int32_t n : staged.tetrahedra[i]) addNode(n);
            break;
          case Kind::Triangles: {
            const auto& t = staged.triangles[i];
            // A triangle with a corner that no tetrahedron uses lies off the
            // solid: it is no face of it and gives none; its corners on the
            // solid still belong to the group's nodes.
            if (modelNode[t[0]] != 0 && modelNode[t[1]] != 0 && modelNode[t[2]] != 0)
              group.faces.push_back({modelNode[t[0]], modelNode[t[1]], modelNode[t[2]]});
            for (std::int32_t n : t) addNode(n);
            break;
          }
          case Kind::NodesOnly:
            addNode(staged.groupNodes[i]);
            break;
        }
      }
    }
    std::sort(group.nodes.begin(), group.nodes.end());
    group.nodes.erase(std::unique(group.nodes.begin(), group.nodes.end()), group.nodes.end());
    mesh.groups.push_back(std::move(group));
  }
}

}  // namespace

void FillMeshModel(const std::vector<NodeRow>& nodes, const std::vector<std::array<std::int32_t, 4>>& elements,
                   SolidModel& model) {
  model.Resize(static_cast<std::int32_t>(nodes.size()), static_cast<std::int32_t>(elements.size()), 1, 0);
  std::copy(nodes.begin(), nodes.end(), model.Nodes.begin() + 1);
  for (std::size_t e = 0; e < elements.size(); ++e) {
    ElementRow& row = model.Elements[e + 1];
    for (int k = 0; k < 4; ++k) row.node[k + 1] = elements[e][k];
    row.material = 1;
  }
  model.Materials[1] = {DefaultYoungModulus, DefaultPoissonRatio};
  std::fill(model.Densities.begin() + 1, model.Densities.end(), 1.0f);
}

IoResult ReadGmshMesh(std::string_view text, MeshWithGroups& mesh) {
  StagedMesh staged;
  if (std::string fault = ReadSections(text, staged); !fault.empty()) return IoResult::Failure(Refusal(fault));
  if (staged.tetrahedra.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    return IoResult::Failure(Refusal("Siatka ma za dużo elementów."));

  // The nodes the tetrahedra use, numbered by first use.
  std::vector<std::int32_t> modelNode(staged.nodeTag.size(), 0);
  std::vector<NodeRow> nodes;
  std::vector<std::array<std::int32_t, 4>> elements(staged.tetrahedra.size());
  for (std::size_t e = 0; e < staged.tetrahedra.size(); ++e) {
    for (int k = 0; k < 4; ++k) {
      const std::int32_t index = staged.tetrahedra[e][k];
      if (modelNode[index] == 0) {
        nodes.push_back(staged.nodeAt[index]);
        modelNode[index] = static_cast<std::int32_t>(nodes.size());
      }
      elements[e][k] = modelNode[index];
    }
  }
  MeshWithGroups result;
  FillMeshModel(nodes, elements, result.model);
  FillGroups(staged, modelNode, result);
  mesh = std::move(result);
  return IoResult::Success();
}

IoResult ReadGmshFile(const std::string& path, MeshWithGroups& mesh) {
  const std::optional<std::string> text = ReadWholeFile(path, MaxMeshFileSize);
  if (!text) return IoResult::Failure(Refusal("Nie można odczytać pliku siatki."));
  return ReadGmshMesh(*text, mesh);
}

}  // namespace qor
