// Feeds arbitrary bytes to the model file reader. Properties checked: no
// memory or undefined-behaviour fault; a refused file leaves store and
// densities byte for byte as they were; an accepted file gives a model that
// keeps the store's invariants and that writes a text which reads back and
// writes again to the very same text. The any-size reader of the batch command
// reads the same bytes without fault, and takes every file the window takes,
// with the same counts.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "FuzzCheck.h"
#include "io/ModelFile.h"
#include "solid/SolidModel.h"

namespace {

void CheckInvariants(const qor::ModelStore& s) {
  FUZZ_CHECK(s.NodeCount >= 0 && s.NodeCount <= qor::MaxFileNodes);
  FUZZ_CHECK(s.ElementCount >= 0 && s.ElementCount <= qor::MaxFileElements);
  FUZZ_CHECK(s.MaterialCount >= 0 && s.MaterialCount <= qor::MaxFileMaterials);
  FUZZ_CHECK(s.SupportCount >= 0 && s.SupportCount <= qor::MaxFileSupports);
  FUZZ_CHECK(s.ResultsValid == 0);
  for (int e = 1; e <= s.ElementCount; ++e) {
    for (int k = 1; k <= 4; ++k) FUZZ_CHECK(s.Elements[e].node[k] >= 1 && s.Elements[e].node[k] <= s.NodeCount);
    FUZZ_CHECK(s.Elements[e].material >= 1 && s.Elements[e].material <= (s.MaterialCount > 0 ? s.MaterialCount : 1));
  }
  for (int j = 1; j <= s.SupportCount; ++j) FUZZ_CHECK(s.Supports[j].dof >= 1 && s.Supports[j].dof <= 3 * s.NodeCount);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static auto store = std::make_unique<qor::ModelStore>();
  static auto before = std::make_unique<qor::ModelStore>();
  static auto densities = std::make_unique<qor::DensityTable>();
  static auto densitiesBefore = std::make_unique<qor::DensityTable>();
  *store = qor::ModelStore{};
  store->NodeCount = 2;
  store->ResultsValid = 1;
  store->Nodes[1] = {1.0f, 2.0f, 3.0f};
  densities->fill(0.5f);
  *before = *store;
  *densitiesBefore = *densities;

  const std::string_view text(reinterpret_cast<const char*>(data), size);
  qor::SolidModel solid;
  const bool anySize = qor::ReadSolidModelText(text, solid).ok;
  const qor::IoResult result = qor::ReadModelText(text, *store, *densities);
  if (!result.ok) {
    FUZZ_CHECK(std::memcmp(store.get(), before.get(), sizeof(qor::ModelStore)) == 0);
    FUZZ_CHECK(*densities == *densitiesBefore);
    return 0;
  }
  CheckInvariants(*store);
  FUZZ_CHECK(anySize && solid.NodeCount() == store->NodeCount && solid.ElementCount() == store->ElementCount &&
             solid.MaterialCount() == store->MaterialCount && solid.SupportCount() == store->SupportCount);

  // What was read writes a text that reads back to itself.
  for (int e = 1; e <= store->ElementCount; ++e) store->Stresses[e][qor::Reduced] = (*densities)[e];
  const std::string written = qor::WriteModelText(*store);
  FUZZ_CHECK(qor::ReadModelText(written, *store, *densities).ok);
  for (int e = 1; e <= store->ElementCount; ++e) store->Stresses[e][qor::Reduced] = (*densities)[e];
  FUZZ_CHECK(qor::WriteModelText(*store) == written);
  return 0;
}
