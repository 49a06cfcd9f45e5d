#include "build/Loads.h"

#include <algorithm>
#include <cmath>

namespace qor {
namespace {

bool RangeForm(const NodeRangeParams& p) { return p.FirstNode < p.LastNode && p.NodeStep > 0; }

// A node the command may write: an existing node whose force entries fit in
// the Forces table.
bool WritableNode(const ModelStore& store, std::int32_t n) {
  return n >= 1 && n <= store.NodeCount && DofOf(n, 3) <= DofCapacity;
}

// The last node the command touches: in the range form the last step that
// stays within LastNode (with 6 nodes, 1..7 step 10 reaches node 1 only), in
// the single-node form FirstNode itself.
std::int64_t LastReachedNode(const NodeRangeParams& p) {
  if (!RangeForm(p)) return p.FirstNode;
  const std::int64_t span = std::int64_t{p.LastNode} - p.FirstNode;
  return p.FirstNode + span / p.NodeStep * p.NodeStep;
}

// Checks every node the command would touch: the first and the last reached
// node bound all stepped nodes.
bool NodesValid(const ModelStore& store, const NodeRangeParams& p) {
  const std::int64_t last = LastReachedNode(p);
  return WritableNode(store, p.FirstNode) && last <= store.NodeCount &&
         WritableNode(store, static_cast<std::int32_t>(last));
}

// Calls visit(node, offset from FirstNode) for every node the command touches.
template <typename Visit>
void ForEachNode(const NodeRangeParams& p, Visit visit) {
  if (!RangeForm(p)) {
    visit(p.FirstNode, std::int64_t{0});
    return;
  }
  const std::int64_t span = std::int64_t{p.LastNode} - p.FirstNode;
  for (std::int64_t b = 0; b <= span; b += p.NodeStep) visit(static_cast<std::int32_t>(p.FirstNode + b), b);
}

// Fx = Start + ((End − Start) / L) × b, in extended precision, stored as float.
float Interpolate(float start, float end, std::int64_t span, std::int64_t b) {
  const long double s = start;
  return static_cast<float>(s + ((static_cast<long double>(end) - s) / static_cast<long double>(span)) *
                                    static_cast<long double>(b));
}

}  // namespace

void AddMaterial(ModelStore& store, float E, float nu) {
  const std::int32_t m = ++store.MaterialCount;
  store.Materials[m] = {E, nu};
}

CommandOutcome ApplyForces(ModelStore& store, const NodeRangeParams& params) {
  CommandOutcome outcome;
  const UserMessage refusal{"Podałeś błędne dane", "Dodaj siłę", MessageStyle::Stop};
  if (!NodesValid(store, params)) {
    outcome.message = refusal;
    return outcome;
  }
  const bool range = RangeForm(params);
  const std::int64_t span = std::int64_t{params.LastNode} - params.FirstNode;
  const auto force = [&](std::int64_t b, int c) {
    const float start[4] = {0, params.StartX, params.StartY, params.StartZ};
    const float end[4] = {0, params.EndX, params.EndY, params.EndZ};
    return range ? Interpolate(start[c], end[c], span, b) : start[c];
  };
  // Every vector is formed once before anything is written, so a value beyond
  // the float range refuses the whole command.
  bool finite = true;
  ForEachNode(params, [&](std::int32_t, std::int64_t b) {
    for (int c = 1; c <= 3; ++c) finite = finite && std::isfinite(force(b, c));
  });
  if (!finite) {
    outcome.message = refusal;
    return outcome;
  }
  ForEachNode(params, [&](std::int32_t n, std::int64_t b) {
    for (int c = 1; c <= 3; ++c) store.Forces[DofOf(n, c)] = force(b, c);
  });
  store.ResultsValid = 0;
  outcome.repaint = true;
  return outcome;
}

CommandOutcome AddSupports(ModelStore& store, const NodeRangeParams& params) {
  CommandOutcome outcome;
  if (!NodesValid(store, params)) {
    outcome.message = UserMessage{"Podałeś błędne dane", "Dodaj podpore", MessageStyle::Stop};
    return outcome;
  }
  const bool fix[4] = {false, params.FixX, params.FixY, params.FixZ};
  const std::int64_t perNode = std::count(fix + 1, fix + 4, true);
  std::int64_t nodes = 0;
  ForEachNode(params, [&](std::int32_t, std::int64_t) { ++nodes; });
  // The whole range is refused when its rows would reach the limit, before any
  // row is written.
  const std::int64_t rows = nodes * perNode;
  if (rows > 0 && LimitReached(LimitSupports, static_cast<std::int32_t>(
                                                  std::min<std::int64_t>(store.SupportCount + rows, INT32_MAX)))) {
    outcome.message = LimitMessage(LimitSupports);
    return outcome;
  }
  ForEachNode(params, [&](std::int32_t n, std::int64_t) {
    for (int c = 1; c <= 3; ++c)
      if (fix[c]) store.Supports[++store.SupportCount] = {DofOf(n, c), 0};
  });
  store.ResultsValid = 0;
  outcome.repaint = true;
  return outcome;
}

}  // namespace qor
