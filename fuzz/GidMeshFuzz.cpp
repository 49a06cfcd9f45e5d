// Feeds arbitrary bytes to the GiD mesh import. Properties checked: no memory
// or undefined-behaviour fault; a refused mesh leaves the store byte for byte
// as it was and says why; an accepted mesh fits the store, has at least one
// element, only elements on its own nodes, zero forces, one default material,
// no supports and results out of date.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "FuzzCheck.h"
#include "io/GidMesh.h"
#include "io/ModelFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static auto store = std::make_unique<qor::ModelStore>();
  static auto before = std::make_unique<qor::ModelStore>();
  *store = qor::ModelStore{};
  store->NodeCount = 4;
  store->ElementCount = 1;
  store->SupportCount = 2;
  store->ResultsValid = 1;
  store->Elements[1] = {{0, 1, 2, 3, 4}, 1};
  store->Forces.fill(7.0f);
  *before = *store;

  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const qor::IoResult result = qor::ImportGidMesh(text, *store);
  if (!result.ok) {
    FUZZ_CHECK(!result.message.text.empty());
    FUZZ_CHECK(std::memcmp(store.get(), before.get(), sizeof(qor::ModelStore)) == 0);
    return 0;
  }
  const qor::ModelStore& s = *store;
  FUZZ_CHECK(s.NodeCount >= 1 && s.NodeCount <= qor::MaxFileNodes);
  FUZZ_CHECK(s.ElementCount >= 1 && s.ElementCount <= qor::MaxFileElements);
  FUZZ_CHECK(s.MaterialCount == 1 && s.Materials[1].E == 200000.0f && s.Materials[1].nu == 0.3f);
  FUZZ_CHECK(s.SupportCount == 0 && s.ResultsValid == 0);
  for (int e = 1; e <= s.ElementCount; ++e) {
    for (int k = 1; k <= 4; ++k) FUZZ_CHECK(s.Elements[e].node[k] >= 1 && s.Elements[e].node[k] <= s.NodeCount);
    FUZZ_CHECK(s.Elements[e].material == 1);
  }
  for (int d = 1; d <= 3 * s.NodeCount; ++d) FUZZ_CHECK(s.Forces[d] == 0.0f);
  return 0;
}
