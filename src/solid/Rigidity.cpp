#include "solid/Rigidity.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <utility>

#include "analysis/RigidMotion.h"

namespace qor {

// Why the check is exact. A tetrahedron of non-zero volume and valid constants
// is rigid: its stiffness is zero only for the six rigid-body motions. Two
// such elements that share a face share three non-collinear points, so they
// move as one body; by induction every set of elements joined face to face (a
// "part", found by union-find over the sorted node triples of all faces, in
// O(E log E)) moves only as a rigid body, and the model's motions without
// strain are exactly the rigid motions of its parts that agree wherever parts
// share a node and vanish at every supported degree of freedom. Parts that
// share three non-collinear nodes move as one and merge. A node held in x, y
// and z is fixed; so is every node of a part whose motions are all stopped.
// A part whose own supports together with its nodes that are already fixed
// stop all six motions (the rank test of RigidMotionRestrained, in double on
// coordinates about the part's centre divided by its size) is fixed in turn,
// until nothing changes. Every part so fixed truly cannot move, so a model
// the check accepts has no mechanism: it never lets one through. A part left
// over has a free motion with respect to everything fixed, and that motion is
// a true mechanism of the model whenever the parts left over are held
// one after the other rather than only together: the check is exact for
// every mesh in which each part is held by its own supports, by fixed nodes
// and by parts held before it, which covers meshes of one part, parts joined
// at a node, along an edge or along a line of nodes, free parts and nodes in
// no element. It refuses, although they could be rigid, only assemblies that
// stand by a closed loop of parts each joined to the next at fewer than three
// non-collinear nodes, which a solid meshed with tetrahedra does not contain.

namespace {

class UnionFind {
 public:
  explicit UnionFind(std::size_t n) : parent_(n) { std::iota(parent_.begin(), parent_.end(), 0); }
  std::int32_t Root(std::int32_t i) {
    while (parent_[i] != i) {
      parent_[i] = parent_[parent_[i]];
      i = parent_[i];
    }
    return i;
  }
  bool Join(std::int32_t a, std::int32_t b) {
    a = Root(a);
    b = Root(b);
    if (a == b) return false;
    parent_[std::max(a, b)] = std::min(a, b);
    return true;
  }

 private:
  std::vector<std::int32_t> parent_;
};

// A face of an element: its nodes b < c after the smallest, kept in the bucket of the smallest.
struct Face {
  std::int32_t b, c, element;
  bool operator<(const Face& o) const { return b != o.b ? b < o.b : c < o.c; }
};

// Offsets of a bucket list: bucket i holds entries begin[i] .. begin[i + 1] - 1.
std::vector<std::size_t> BucketOffsets(const std::vector<std::size_t>& counts) {
  std::vector<std::size_t> begin(counts.size() + 1, 0);
  for (std::size_t i = 0; i < counts.size(); ++i) begin[i + 1] = begin[i] + counts[i];
  return begin;
}

// The face-connected parts of the stiff elements: part[e] in 0..count-1, -1 for an element without stiffness.
// Faces are bucketed by their smallest node, so only the few faces around one node are ever sorted.
std::int32_t FindParts(const SolidModel& model, const std::vector<bool>& stiff, std::vector<std::int32_t>& part) {
  const std::int32_t elements = model.ElementCount();
  const auto isStiff = [&](std::int32_t e) { return stiff.empty() || stiff[e]; };
  const auto sortedNodes = [&](std::int32_t e) {
    std::array<std::int32_t, 4> n{model.Elements[e].node[1], model.Elements[e].node[2], model.Elements[e].node[3],
                                  model.Elements[e].node[4]};
    std::sort(n.begin(), n.end());
    return n;
  };
  std::vector<std::size_t> counts(static_cast<std::size_t>(model.NodeCount()) + 1, 0);
  for (std::int32_t e = 1; e <= elements; ++e) {
    if (!isStiff(e)) continue;
    const auto n = sortedNodes(e);
    counts[n[0]] += 3;
    counts[n[1]] += 1;
  }
  const std::vector<std::size_t> begin = BucketOffsets(counts);
  std::vector<std::size_t> fill(begin.begin(), begin.end() - 1);
  std::vector<Face> faces(begin.back());
  for (std::int32_t e = 1; e <= elements; ++e) {
    if (!isStiff(e)) continue;
    const auto n = sortedNodes(e);
    faces[fill[n[0]]++] = {n[1], n[2], e};
    faces[fill[n[0]]++] = {n[1], n[3], e};
    faces[fill[n[0]]++] = {n[2], n[3], e};
    faces[fill[n[1]]++] = {n[2], n[3], e};
  }
  UnionFind joined(static_cast<std::size_t>(elements) + 1);
  for (std::size_t a = 0; a + 1 < begin.size(); ++a) {
    std::sort(faces.begin() + begin[a], faces.begin() + begin[a + 1]);
    for (std::size_t i = begin[a] + 1; i < begin[a + 1]; ++i)
      if (faces[i].b == faces[i - 1].b && faces[i].c == faces[i - 1].c)
        joined.Join(faces[i].element, faces[i - 1].element);
  }
  part.assign(static_cast<std::size_t>(elements) + 1, -1);
  std::vector<std::int32_t> number(static_cast<std::size_t>(elements) + 1, -1);
  std::int32_t count = 0;
  for (std::int32_t e = 1; e <= elements; ++e) {
    if (!isStiff(e)) continue;
    const std::int32_t root = joined.Root(e);
    if (number[root] < 0) number[root] = count++;
    part[e] = number[root];
  }
  return count;
}

// The nodes of every part (a node shared by several parts is listed in each, once), as offsets into one list.
struct PartNodes {
  std::vector<std::size_t> begin;  // [part], begin[count] = end of the last
  std::vector<std::int32_t> nodes;
  const std::int32_t* First(std::int32_t p) const { return nodes.data() + begin[p]; }
  const std::int32_t* Last(std::int32_t p) const { return nodes.data() + begin[p + 1]; }
};

PartNodes ListPartNodes(const SolidModel& model, const std::vector<std::int32_t>& part, std::int32_t parts) {
  // The elements of each part, then each part's nodes once (a node's stamp is the last part that listed it).
  std::vector<std::size_t> counts(static_cast<std::size_t>(parts), 0);
  for (std::int32_t e = 1; e <= model.ElementCount(); ++e)
    if (part[e] >= 0) ++counts[part[e]];
  const std::vector<std::size_t> begin = BucketOffsets(counts);
  std::vector<std::size_t> fill(begin.begin(), begin.end() - 1);
  std::vector<std::int32_t> byPart(begin.back());
  for (std::int32_t e = 1; e <= model.ElementCount(); ++e)
    if (part[e] >= 0) byPart[fill[part[e]]++] = e;
  PartNodes list;
  list.begin.assign(static_cast<std::size_t>(parts) + 1, 0);
  std::vector<std::int32_t> stamp(static_cast<std::size_t>(model.NodeCount()) + 1, -1);
  for (std::int32_t p = 0; p < parts; ++p) {
    const std::size_t first = list.nodes.size();
    for (std::size_t i = begin[p]; i < begin[p + 1]; ++i)
      for (int k = 1; k <= 4; ++k) {
        const std::int32_t n = model.Elements[byPart[i]].node[k];
        if (stamp[n] == p) continue;
        stamp[n] = p;
        list.nodes.push_back(n);
      }
    // Ascending, so that the node named for a free motion does not depend on the element order.
    std::sort(list.nodes.begin() + first, list.nodes.end());
    list.begin[p + 1] = list.nodes.size();
  }
  return list;
}

// The six rigid-body motions of a body, evaluated at its nodes about its centre and scaled by its size.
class BodyFrame {
 public:
  template <class Nodes>
  BodyFrame(const SolidModel& model, const Nodes& nodes) : model_(model) {
    double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
    nodes([&](std::int32_t n) {
      const double p[3] = {model.Nodes[n].x, model.Nodes[n].y, model.Nodes[n].z};
      for (int c = 0; c < 3; ++c) {
        lo[c] = std::min(lo[c], p[c]);
        hi[c] = std::max(hi[c], p[c]);
      }
    });
    for (int c = 0; c < 3; ++c) centre_[c] = 0.5 * (lo[c] + hi[c]);
    size_ = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2], 1e-30});
  }

  // motions[direction][motion] at `node`: three translations, then the rotations about x, y and z.
  void MotionsAt(std::int32_t node, double motions[3][6]) const {
    const double x = (model_.Nodes[node].x - centre_[0]) / size_;
    const double y = (model_.Nodes[node].y - centre_[1]) / size_;
    const double z = (model_.Nodes[node].z - centre_[2]) / size_;
    const double rotation[3][3] = {{0, -z, y}, {z, 0, -x}, {-y, x, 0}};
    for (int direction = 0; direction < 3; ++direction) {
      for (int t = 0; t < 3; ++t) motions[direction][t] = t == direction ? 1 : 0;
      for (int r = 0; r < 3; ++r) motions[direction][3 + r] = rotation[r][direction];
    }
  }

  // Three points not on one straight line, judged at the scale of the body.
  bool NotCollinear(std::int32_t a, std::int32_t b, std::int32_t c) const {
    const NodeRow &p = model_.Nodes[a], &q = model_.Nodes[b], &r = model_.Nodes[c];
    const double u[3] = {double(q.x) - p.x, double(q.y) - p.y, double(q.z) - p.z};
    const double v[3] = {double(r.x) - p.x, double(r.y) - p.y, double(r.z) - p.z};
    const double w[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    return std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]) > 1e-5 * size_ * size_;
  }

 private:
  const SolidModel& model_;
  double centre_[3] = {};
  double size_ = 1;
};

class RigidityCheck {
 public:
  RigidityCheck(const SolidModel& model, const std::vector<bool>& stiff) : model_(model), held_(model.NodeCount() + 1) {
    parts_ = FindParts(model, stiff, part_);
    nodes_ = ListPartNodes(model, part_, parts_);
    for (std::int32_t j = 1; j <= model.SupportCount(); ++j) {
      const std::int32_t dof = model.Supports[j].dof;
      held_[(dof + 2) / 3] |= static_cast<std::uint8_t>(1u << ((dof - 1) % 3));
    }
    fixed_.assign(static_cast<std::size_t>(model.NodeCount()) + 1, false);
    for (std::int32_t n = 1; n <= model.NodeCount(); ++n) fixed_[n] = held_[n] == 7;
    grounded_.assign(static_cast<std::size_t>(parts_), false);
  }

  FreeMotion Run() {
    UnionFind merged(static_cast<std::size_t>(parts_));
    members_.assign(static_cast<std::size_t>(parts_), {});
    for (std::int32_t p = 0; p < parts_; ++p) members_[p] = {p};
    std::vector<std::int32_t> pending(static_cast<std::size_t>(parts_));
    std::iota(pending.begin(), pending.end(), 0);
    do {
      GroundAll(pending, merged);
    } while (parts_ > 1 && AnyFree(merged) && MergeJoinedParts(merged, pending));
    for (std::int32_t p = 0; p < parts_; ++p)
      if (merged.Root(p) == p && !grounded_[p]) return {MostMovingDof(p)};
    return NodeInNoPart();
  }

 private:
  bool AnyFree(UnionFind& merged) {
    for (std::int32_t p = 0; p < parts_; ++p)
      if (merged.Root(p) == p && !grounded_[p]) return true;
    return false;
  }

  template <class F>
  void ForEachNode(std::int32_t root, F&& f) const {
    for (std::int32_t member : members_[root])
      for (const std::int32_t* n = nodes_.First(member); n != nodes_.Last(member); ++n) f(*n);
  }

  // G = AᵀA of the motions at the part's held and fixed degrees of freedom.
  void Constraints(std::int32_t root, const BodyFrame& frame, double G[6][6]) const {
    for (int a = 0; a < 6; ++a) std::fill(G[a], G[a] + 6, 0.0);
    ForEachNode(root, [&](std::int32_t n) {
      const std::uint8_t directions = fixed_[n] ? 7 : held_[n];
      if (!directions) return;
      double motions[3][6];
      frame.MotionsAt(n, motions);
      for (int d = 0; d < 3; ++d) {
        if (!(directions & (1u << d))) continue;
        for (int a = 0; a < 6; ++a)
          for (int b = 0; b < 6; ++b) G[a][b] += motions[d][a] * motions[d][b];
      }
    });
  }

  BodyFrame FrameOf(std::int32_t root) const {
    return BodyFrame(model_, [&](auto&& f) { ForEachNode(root, f); });
  }

  // Grounds every pending part whose motions are stopped, and again the parts touching one just grounded.
  void GroundAll(std::vector<std::int32_t>& pending, UnionFind& merged) {
    NodeParts partsAtNode;  // built on the first grounding only
    while (!pending.empty()) {
      const std::int32_t root = merged.Root(pending.back());
      pending.pop_back();
      if (grounded_[root]) continue;
      const BodyFrame frame = FrameOf(root);
      double G[6][6], motion[6];
      Constraints(root, frame, G);
      if (!FullRank6(G, 1e-10, motion)) continue;
      grounded_[root] = true;
      // With one part there is nobody to tell.
      if (parts_ > 1 && partsAtNode.Empty()) partsAtNode = PartsAtNodes();
      ForEachNode(root, [&](std::int32_t n) {
        if (fixed_[n]) return;
        fixed_[n] = true;
        if (partsAtNode.Empty()) return;
        for (const std::int32_t* other = partsAtNode.First(n); other != partsAtNode.Last(n); ++other)
          if (!grounded_[merged.Root(*other)]) pending.push_back(*other);
      });
    }
  }

  // The parts each node belongs to: parts begin[n] .. begin[n + 1] - 1 of `parts`.
  struct NodeParts {
    std::vector<std::size_t> begin;
    std::vector<std::int32_t> parts;
    bool Empty() const { return begin.empty(); }
    const std::int32_t* First(std::int32_t n) const { return parts.data() + begin[n]; }
    const std::int32_t* Last(std::int32_t n) const { return parts.data() + begin[n + 1]; }
  };

  NodeParts PartsAtNodes() const {
    std::vector<std::size_t> counts(static_cast<std::size_t>(model_.NodeCount()) + 1, 0);
    for (const std::int32_t n : nodes_.nodes) ++counts[n];
    NodeParts at;
    at.begin = BucketOffsets(counts);
    std::vector<std::size_t> fill(at.begin.begin(), at.begin.end() - 1);
    at.parts.resize(nodes_.nodes.size());
    for (std::int32_t p = 0; p < parts_; ++p)
      for (const std::int32_t* n = nodes_.First(p); n != nodes_.Last(p); ++n) at.parts[fill[*n]++] = p;
    return at;
  }

  // Merges free parts that share three non-collinear nodes; true when any merged (they are then pending).
  bool MergeJoinedParts(UnionFind& merged, std::vector<std::int32_t>& pending) {
    // (first part, second part, node) for every node two free parts share.
    std::vector<std::array<std::int32_t, 3>> shared;
    const NodeParts at = PartsAtNodes();
    std::vector<std::int32_t> roots;
    for (std::int32_t n = 1; n <= model_.NodeCount(); ++n) {
      if (at.Last(n) - at.First(n) < 2) continue;
      roots.clear();
      for (const std::int32_t* p = at.First(n); p != at.Last(n); ++p)
        if (!grounded_[merged.Root(*p)]) roots.push_back(merged.Root(*p));
      std::sort(roots.begin(), roots.end());
      roots.erase(std::unique(roots.begin(), roots.end()), roots.end());
      for (std::size_t i = 0; i < roots.size(); ++i)
        for (std::size_t k = i + 1; k < roots.size(); ++k) shared.push_back({roots[i], roots[k], n});
    }
    std::sort(shared.begin(), shared.end());
    bool any = false;
    for (std::size_t i = 0; i < shared.size();) {
      std::size_t end = i;
      while (end < shared.size() && shared[end][0] == shared[i][0] && shared[end][1] == shared[i][1]) ++end;
      const std::int32_t a = shared[i][0], b = shared[i][1];
      if (end - i >= 3 && merged.Root(a) != merged.Root(b) && SpanAPlane(shared, i, end, a)) {
        const std::int32_t keep = std::min(merged.Root(a), merged.Root(b));
        const std::int32_t gone = std::max(merged.Root(a), merged.Root(b));
        merged.Join(a, b);
        members_[keep].insert(members_[keep].end(), members_[gone].begin(), members_[gone].end());
        members_[gone].clear();
        pending.push_back(keep);
        any = true;
      }
      i = end;
    }
    return any;
  }

  // True when the shared nodes shared[from..to)[2] do not all lie on one straight line: the line
  // through the first node and the node farthest from it is tested against every other node.
  bool SpanAPlane(const std::vector<std::array<std::int32_t, 3>>& shared, std::size_t from, std::size_t to,
                  std::int32_t root) const {
    const BodyFrame frame = FrameOf(root);
    const NodeRow& p = model_.Nodes[shared[from][2]];
    std::size_t far = from;
    double farthest = -1;
    for (std::size_t k = from + 1; k < to; ++k) {
      const NodeRow& q = model_.Nodes[shared[k][2]];
      const double d = std::hypot(double(q.x) - p.x, double(q.y) - p.y, double(q.z) - p.z);
      if (d > farthest) farthest = d, far = k;
    }
    for (std::size_t k = from + 1; k < to; ++k)
      if (k != far && frame.NotCollinear(shared[from][2], shared[far][2], shared[k][2])) return true;
    return false;
  }

  // The degree of freedom of a free part that moves most in its free motion.
  std::int32_t MostMovingDof(std::int32_t root) const {
    const BodyFrame frame = FrameOf(root);
    double G[6][6], motion[6];
    Constraints(root, frame, G);
    FullRank6(G, 1e-10, motion);
    double most = -1;
    std::int32_t dof = 0;
    ForEachNode(root, [&](std::int32_t n) {
      double motions[3][6];
      frame.MotionsAt(n, motions);
      for (int d = 0; d < 3; ++d) {
        double moved = 0;
        for (int a = 0; a < 6; ++a) moved += motions[d][a] * motion[a];
        if (std::fabs(moved) > most || (std::fabs(moved) == most && DofOf(n, d + 1) < dof)) {
          most = std::fabs(moved);
          dof = DofOf(n, d + 1);
        }
      }
    });
    return dof;
  }

  // The first free direction of a node that no stiff element holds.
  FreeMotion NodeInNoPart() const {
    std::vector<bool> inPart(static_cast<std::size_t>(model_.NodeCount()) + 1, false);
    for (const std::int32_t n : nodes_.nodes) inPart[n] = true;
    for (std::int32_t n = 1; n <= model_.NodeCount(); ++n) {
      if (inPart[n]) continue;
      for (int d = 0; d < 3; ++d)
        if (!(held_[n] & (1u << d))) return {DofOf(n, d + 1)};
    }
    return {};
  }

  const SolidModel& model_;
  std::vector<std::uint8_t> held_;  // per node: bit d set when direction d + 1 is supported
  std::vector<std::int32_t> part_;
  std::int32_t parts_ = 0;
  PartNodes nodes_;
  std::vector<bool> fixed_, grounded_;
  std::vector<std::vector<std::int32_t>> members_;  // [root] the parts merged into it
};

}  // namespace

FreeMotion FindFreeMotion(const SolidModel& model, const std::vector<bool>& stiff) {
  return RigidityCheck(model, stiff).Run();
}

}  // namespace qor
