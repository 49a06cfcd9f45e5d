#include "io/ModelFile.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

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

// Reads everything after the header into `staged`; false at the first fault.
bool ReadTables(ModelTokens& in, ModelStore& staged, DensityTable& densities) {
  const std::int32_t materialMax = staged.MaterialCount > 0 ? staged.MaterialCount : 1;
  for (std::int32_t n = 1; n <= staged.NodeCount; ++n) {
    const auto x = in.Float(), y = in.Float(), z = in.Float();
    if (!x || !y || !z) return false;
    staged.Nodes[n] = {*x, *y, *z};
  }
  for (std::int32_t e = 1; e <= staged.ElementCount; ++e) {
    for (int k = 1; k <= 4; ++k) {
      const auto node = in.IntIn(1, staged.NodeCount);
      if (!node) return false;
      staged.Elements[e].node[k] = *node;
    }
    const auto material = in.IntIn(1, materialMax);
    if (!material) return false;
    staged.Elements[e].material = *material;
  }
  for (std::int32_t m = 1; m <= staged.MaterialCount; ++m) {
    const auto E = in.Float(), nu = in.Float();
    if (!E || !nu) return false;
    staged.Materials[m] = {*E, *nu};
  }
  for (std::int32_t j = 1; j <= staged.SupportCount; ++j) {
    const auto dof = in.IntIn(1, 3 * staged.NodeCount);
    const auto value = in.Int();
    if (!dof || !value) return false;
    staged.Supports[j] = {*dof, *value};
  }
  for (std::int32_t d = 1; d <= 3 * staged.NodeCount; ++d) {
    const auto force = in.Float();
    if (!force) return false;
    staged.Forces[d] = *force;
  }
  for (std::int32_t e = 1; e <= staged.ElementCount; ++e) {
    const auto density = in.Float();
    if (!density) return false;
    densities[e] = *density;
  }
  return true;
}

}  // namespace

std::string WriteModelText(const ModelStore& store) {
  // Counters are trusted only as far as the tables reach, so a damaged store
  // cannot make the writer read past them.
  const auto within = [](std::int32_t count, std::int32_t capacity) {
    return count < 0 ? 0 : std::min(count, capacity);
  };
  const std::int32_t nodes = within(store.NodeCount, NodeCapacity);
  const std::int32_t elements = within(store.ElementCount, ElementCapacity);
  const std::int32_t materials = within(store.MaterialCount, MaterialCapacity);
  const std::int32_t supports = within(store.SupportCount, SupportCapacity);
  const auto force = [&store](std::int32_t d) { return d <= DofCapacity ? store.Forces[d] : 0.0f; };
  std::string out;
  out.reserve(64 + 40 * static_cast<std::size_t>(2 * nodes + elements) +
              24 * static_cast<std::size_t>(elements + materials + supports));
  out += "QOR3DAscii ";
  AppendInts(out, {nodes, elements, materials, supports, store.ResultsValid});
  for (std::int32_t n = 1; n <= nodes; ++n) {
    const NodeRow& p = store.Nodes[n];
    AppendFloats(out, {p.x, p.y, p.z});
  }
  for (std::int32_t e = 1; e <= elements; ++e) {
    const ElementRow& el = store.Elements[e];
    AppendInts(out, {el.node[1], el.node[2], el.node[3], el.node[4], el.material});
  }
  for (std::int32_t m = 1; m <= materials; ++m) AppendFloats(out, {store.Materials[m].E, store.Materials[m].nu});
  for (std::int32_t j = 1; j <= supports; ++j) AppendInts(out, {store.Supports[j].dof, store.Supports[j].value});
  for (std::int32_t n = 1; n <= nodes; ++n)
    AppendFloats(out, {force(DofOf(n, 1)), force(DofOf(n, 2)), force(DofOf(n, 3))});
  // A stress that is not a finite number (left by a failed computation) would
  // make the file unreadable; it is written as 0, which the reader accepts.
  for (std::int32_t e = 1; e <= elements; ++e) {
    const float reduced = store.Stresses[e][Reduced];
    AppendFloats(out, {std::isfinite(reduced) ? reduced : 0.0f});
  }
  return out;
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
  if (!ReadTables(in, *staged, *stagedDensities)) return IoResult::Failure(FileReadFailedMessage());

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

}  // namespace qor
