#include "io/ModelFile.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <utility>

#include "io/FileText.h"
#include "platform/NumberText.h"

namespace qor {

UserMessage FileReadFailedMessage() { return {"Błąd przy odczycie...", "Odczyt", MessageStyle::Exclamation}; }
UserMessage FileWriteFailedMessage() { return {"Błąd przy zapisie...", "Zapis", MessageStyle::Exclamation}; }

namespace {

void AppendFloats(std::string& out, std::initializer_list<float> values) {
  bool first = true;
  for (float v : values) {
    if (!first) out += ' ';
    out += FormatFileFloat(v);
    first = false;
  }
  out += '\n';
}

void AppendInts(std::string& out, std::initializer_list<std::int32_t> values) {
  bool first = true;
  for (std::int32_t v : values) {
    if (!first) out += ' ';
    out += std::to_string(v);
    first = false;
  }
  out += '\n';
}

// Reads the tokens of a model file in order; any missing or malformed token
// makes every later read fail too, so the caller checks once per row.
class ModelTokens {
 public:
  explicit ModelTokens(std::string_view text) : cursor_(text) {}

  // Characters consumed so far.
  std::size_t Position() const { return cursor_.Position(); }

  bool Skip() { return !cursor_.Next().empty(); }

  std::optional<std::int32_t> Int() {
    const std::string_view token = cursor_.Next();
    if (token.empty()) return std::nullopt;
    return ParseInt(token);
  }

  std::optional<std::int32_t> IntIn(std::int32_t low, std::int32_t high) {
    const auto value = Int();
    if (!value || *value < low || *value > high) return std::nullopt;
    return value;
  }

  std::optional<float> Float() {
    const std::string_view token = cursor_.Next();
    if (token.empty()) return std::nullopt;
    return ParseFloat(token, '.');  // finite 32-bit values only
  }

 private:
  TokenCursor cursor_;
};

// The counts of a model file's header.
struct FileCounts {
  std::int32_t nodes = 0, elements = 0, materials = 0, supports = 0;
};

// Reads everything after the header into `target` (the store's staging copy
// or a SolidModel, whose tables have the same names and rows) and
// `densities`; false at the first fault.
template <class Target, class DensityRows>
bool ReadTables(ModelTokens& in, const FileCounts& counts, Target& target, DensityRows& densities) {
  const std::int32_t materialMax = counts.materials > 0 ? counts.materials : 1;
  for (std::int32_t n = 1; n <= counts.nodes; ++n) {
    const auto x = in.Float(), y = in.Float(), z = in.Float();
    if (!x || !y || !z) return false;
    target.Nodes[n] = {*x, *y, *z};
  }
  for (std::int32_t e = 1; e <= counts.elements; ++e) {
    for (int k = 1; k <= 4; ++k) {
      const auto node = in.IntIn(1, counts.nodes);
      if (!node) return false;
      target.Elements[e].node[k] = *node;
    }
    const auto material = in.IntIn(1, materialMax);
    if (!material) return false;
    target.Elements[e].material = *material;
  }
  for (std::int32_t m = 1; m <= counts.materials; ++m) {
    const auto E = in.Float(), nu = in.Float();
    if (!E || !nu) return false;
    target.Materials[m] = {*E, *nu};
  }
  for (std::int32_t j = 1; j <= counts.supports; ++j) {
    const auto dof = in.IntIn(1, 3 * counts.nodes);
    const auto value = in.Int();
    if (!dof || !value) return false;
    target.Supports[j] = {*dof, *value};
  }
  for (std::int32_t d = 1; d <= 3 * counts.nodes; ++d) {
    const auto force = in.Float();
    if (!force) return false;
    target.Forces[d] = *force;
  }
  for (std::int32_t e = 1; e <= counts.elements; ++e) {
    const auto density = in.Float();
    if (!density) return false;
    densities[e] = *density;
  }
  return true;
}

// What a model file holds, row by row, for the writer: the store or a
// SolidModel with its results.
struct StoreRows {
  const ModelStore& store;
  FileCounts counts;
  std::int32_t flag;
  const NodeRow& Node(std::int32_t n) const { return store.Nodes[n]; }
  const ElementRow& Element(std::int32_t e) const { return store.Elements[e]; }
  const MaterialRow& Material(std::int32_t m) const { return store.Materials[m]; }
  const SupportRow& Support(std::int32_t j) const { return store.Supports[j]; }
  float Force(std::int32_t d) const { return d <= DofCapacity ? store.Forces[d] : 0.0f; }
  float Tail(std::int32_t e) const { return store.Stresses[e][Reduced]; }
};

struct SolidRows {
  const SolidModel& model;
  const SolidResults* results;
  FileCounts counts;
  std::int32_t flag;
  const NodeRow& Node(std::int32_t n) const { return model.Nodes[n]; }
  const ElementRow& Element(std::int32_t e) const { return model.Elements[e]; }
  const MaterialRow& Material(std::int32_t m) const { return model.Materials[m]; }
  const SupportRow& Support(std::int32_t j) const { return model.Supports[j]; }
  float Force(std::int32_t d) const { return model.Forces[d]; }
  float Tail(std::int32_t e) const { return results ? results->Stresses[e][Reduced] : 0.0f; }
};

// True when every float the file holds is finite: the reader refuses a value
// at infinity or not a number. (Six digits never round a finite float beyond
// the float range: the largest is written as 3.40282e+38.)
bool FloatsReadBack(const SolidModel& model) {
  const auto finite = [](float v) { return std::isfinite(v); };
  for (std::size_t n = 1; n < model.Nodes.size(); ++n)
    if (!finite(model.Nodes[n].x) || !finite(model.Nodes[n].y) || !finite(model.Nodes[n].z)) return false;
  for (std::size_t m = 1; m < model.Materials.size(); ++m)
    if (!finite(model.Materials[m].E) || !finite(model.Materials[m].nu)) return false;
  return std::all_of(model.Forces.begin() + 1, model.Forces.end(), finite);
}

template <class Rows>
std::string ModelText(const Rows& rows) {
  const FileCounts& c = rows.counts;
  std::string out;
  out.reserve(64 + 40 * static_cast<std::size_t>(2 * static_cast<std::size_t>(c.nodes) + c.elements) +
              24 * (static_cast<std::size_t>(c.elements) + c.materials + c.supports));
  out += "QOR3DAscii ";
  AppendInts(out, {c.nodes, c.elements, c.materials, c.supports, rows.flag});
  for (std::int32_t n = 1; n <= c.nodes; ++n) {
    const NodeRow& p = rows.Node(n);
    AppendFloats(out, {p.x, p.y, p.z});
  }
  for (std::int32_t e = 1; e <= c.elements; ++e) {
    const ElementRow& el = rows.Element(e);
    AppendInts(out, {el.node[1], el.node[2], el.node[3], el.node[4], el.material});
  }
  for (std::int32_t m = 1; m <= c.materials; ++m) AppendFloats(out, {rows.Material(m).E, rows.Material(m).nu});
  for (std::int32_t j = 1; j <= c.supports; ++j) AppendInts(out, {rows.Support(j).dof, rows.Support(j).value});
  for (std::int32_t n = 1; n <= c.nodes; ++n)
    AppendFloats(out, {rows.Force(DofOf(n, 1)), rows.Force(DofOf(n, 2)), rows.Force(DofOf(n, 3))});
  // A stress that is not a finite number (left by a failed computation) would
  // make the file unreadable; it is written as 0, which the reader accepts.
  for (std::int32_t e = 1; e <= c.elements; ++e) {
    const float reduced = rows.Tail(e);
    AppendFloats(out, {std::isfinite(reduced) ? reduced : 0.0f});
  }
  return out;
}

// The bytes the tables of a model of these counts take.
long long ModelBytes(const FileCounts& c) {
  return (c.nodes + 1LL) * (sizeof(NodeRow) + 3 * sizeof(float)) +
         (c.elements + 1LL) * (sizeof(ElementRow) + sizeof(float)) + (c.materials + 1LL) * sizeof(MaterialRow) +
         (c.supports + 1LL) * sizeof(SupportRow);
}

}  // namespace

std::string WriteModelText(const ModelStore& store) {
  // Counters are trusted only as far as the tables reach, so a damaged store
  // cannot make the writer read past them.
  const auto within = [](std::int32_t count, std::int32_t capacity) {
    return count < 0 ? 0 : std::min(count, capacity);
  };
  const FileCounts counts{within(store.NodeCount, NodeCapacity), within(store.ElementCount, ElementCapacity),
                          within(store.MaterialCount, MaterialCapacity), within(store.SupportCount, SupportCapacity)};
  return ModelText(StoreRows{store, counts, store.ResultsValid});
}

IoResult ReadModelText(std::string_view text, ModelStore& store, DensityTable& densities) {
  ModelTokens in(text);
  if (!in.Skip()) return IoResult::Failure(FileReadFailedMessage());  // the "QOR3DAscii" word, whatever it says
  const auto nodes = in.IntIn(0, MaxFileNodes);
  const auto elements = in.IntIn(0, MaxFileElements);
  const auto materials = in.IntIn(0, MaxFileMaterials);
  const auto supports = in.IntIn(0, MaxFileSupports);
  const auto resultsFlag = in.Int();
  if (!nodes || !elements || !materials || !supports || !resultsFlag) return IoResult::Failure(FileReadFailedMessage());

  // The staging copy starts as the store, so rows beyond the new counts and
  // the result tables stay as they were, exactly as in the store itself.
  auto staged = std::make_unique<ModelStore>(store);
  auto stagedDensities = std::make_unique<DensityTable>(densities);
  staged->NodeCount = *nodes;
  staged->ElementCount = *elements;
  staged->MaterialCount = *materials;
  staged->SupportCount = *supports;
  const FileCounts counts{*nodes, *elements, *materials, *supports};
  if (!ReadTables(in, counts, *staged, *stagedDensities)) return IoResult::Failure(FileReadFailedMessage());

  staged->ResultsValid = 0;
  store = *staged;
  densities = *stagedDensities;
  return IoResult::Success();
}

IoResult SaveModelFile(const ModelStore& store, const std::string& path) {
  const std::string text = WriteModelText(store);
  // A file that Open would refuse (a value at infinity, a number beyond the
  // float range after rounding to 6 digits, a reference outside its table)
  // would lose the model; it is read back first and not written at all.
  auto check = std::make_unique<ModelStore>();
  auto checkDensities = std::make_unique<DensityTable>();
  if (!ReadModelText(text, *check, *checkDensities).ok) return IoResult::Failure(FileWriteFailedMessage());
  if (!WriteFileAtomically(path, text)) return IoResult::Failure(FileWriteFailedMessage());
  return IoResult::Success();
}

IoResult OpenModelFile(const std::string& path, ModelStore& store, DensityTable& densities) {
  const std::optional<std::string> text = ReadWholeFile(path);
  if (!text) return IoResult::Failure(FileReadFailedMessage());
  return ReadModelText(*text, store, densities);
}

long long PhysicalMemoryBytes() {
  const long pages = ::sysconf(_SC_PHYS_PAGES), pageSize = ::sysconf(_SC_PAGE_SIZE);
  return pages > 0 && pageSize > 0 ? static_cast<long long>(pages) * pageSize : 1LL << 32;
}

IoResult ReadSolidModelText(std::string_view text, SolidModel& model) {
  ModelTokens in(text);
  if (!in.Skip()) return IoResult::Failure(FileReadFailedMessage());
  // Node numbers times three are degree-of-freedom numbers: they must stay integers.
  constexpr std::int32_t most = std::numeric_limits<std::int32_t>::max() / 3;
  const auto nodes = in.IntIn(0, most), elements = in.IntIn(0, most), materials = in.IntIn(0, most),
             supports = in.IntIn(0, most);
  const auto resultsFlag = in.Int();
  if (!nodes || !elements || !materials || !supports || !resultsFlag) return IoResult::Failure(FileReadFailedMessage());
  const FileCounts counts{*nodes, *elements, *materials, *supports};
  // Every number after the header takes at least one character and a blank
  // before it, so a header whose counts the rest of the text cannot hold is
  // refused here, before its tables are allocated; so is a model larger than
  // the machine's memory.
  const long long numbers = 6LL * counts.nodes + 6LL * counts.elements + 2LL * counts.materials + 2LL * counts.supports;
  const long long rest = static_cast<long long>(text.size() - in.Position());
  if (2 * numbers > rest || ModelBytes(counts) > PhysicalMemoryBytes())
    return IoResult::Failure(FileReadFailedMessage());

  SolidModel staged;
  staged.Resize(counts.nodes, counts.elements, counts.materials, counts.supports);
  if (!ReadTables(in, counts, staged, staged.Densities)) return IoResult::Failure(FileReadFailedMessage());
  model = std::move(staged);
  return IoResult::Success();
}

IoResult OpenSolidModelFile(const std::string& path, SolidModel& model) {
  const std::optional<std::string> text = ReadWholeFile(path, PhysicalMemoryBytes());
  if (!text) return IoResult::Failure(FileReadFailedMessage());
  return ReadSolidModelText(*text, model);
}

std::optional<std::string> WriteSolidModelText(const SolidModel& model, const SolidResults* results) {
  // The reader takes material 1 in a file without materials.
  if (!ReferencesInRange(model, std::max(model.MaterialCount(), 1)) || !FloatsReadBack(model)) return std::nullopt;
  if (results && (results->Stresses.size() != model.Elements.size())) return std::nullopt;
  const FileCounts counts{model.NodeCount(), model.ElementCount(), model.MaterialCount(), model.SupportCount()};
  return ModelText(SolidRows{model, results, counts, results ? 1 : 0});
}

IoResult SaveSolidModelFile(const SolidModel& model, const SolidResults* results, const std::string& path) {
  const std::optional<std::string> text = WriteSolidModelText(model, results);
  if (!text || !WriteFileAtomically(path, *text)) return IoResult::Failure(FileWriteFailedMessage());
  return IoResult::Success();
}

}  // namespace qor
