#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <set>
#include <sstream>

#include "support/ScriptedPrompts.h"
#include "view/BlockModel.h"
#include "view/Paint.h"
#include "view/RecordingCanvas.h"

namespace qor {
namespace {

using Calls = std::vector<std::string>;

const Calls Background = {"pen 255,255,255", "width 1", "fill 255,255,255", "rect 0,0,640,449"};

// The axes symbol at zero angles: x to the right, y up, z seen end-on.
const Calls FlatAxes = {"width 2",       "pen 0,128,0",   "font 0,128,0",  "text 520,60 x",
                        "move 500,60",   "line 520,60",   "pen 128,0,128", "font 128,0,128",
                        "text 502,40 y", "move 500,60",   "line 500,40",   "pen 0,0,255",
                        "font 0,0,255",  "text 500,60 z", "move 500,60",   "line 500,60"};

class PaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FillBandColours(view.BandColours);
    SetViewAngles(view, 0, 0, 0);
  }
  Calls Paint(const DisplaySwitches& switches = {}, char separator = '.') {
    canvas.calls.clear();
    outcome = PaintModel(canvas, store, view, switches, separator, &prompts);
    return canvas.calls;
  }
  // The calls after the first one equal to `marker`.
  Calls After(const std::string& marker) const {
    auto at = std::find(canvas.calls.begin(), canvas.calls.end(), marker);
    return at == canvas.calls.end() ? Calls{} : Calls(at + 1, canvas.calls.end());
  }
  ModelStore store;
  ViewState view;
  RecordingCanvas canvas;
  ScriptedPrompts prompts;
  PaintOutcome outcome;
};

TEST_F(PaintTest, EmptyModelIsJustTheWhiteBackground) {
  EXPECT_EQ(Paint(), Background);
  view.ZoomFactor = 8;
  Paint();
  EXPECT_EQ(view.ZoomFactor, 8);  // no fit without nodes
}

TEST_F(PaintTest, SupportedLoadedNodeIsDrawnInOrderWithItsCirclesNumberAndArrow) {
  const int n1 = AddNode(store, 0, 0, 0);
  AddNode(store, 10, 5, 0);
  AddSupport(store, n1, 3);  // z and x fixed, y free
  AddSupport(store, n1, 1);
  store.Forces[DofOf(n1, 1)] = -5;  // ArrowLength = 10 × 0.1 = 1, whatever the value
  DisplaySwitches switches;
  switches.NodeNumbers = true;

  Calls expected = Background;
  expected.insert(expected.end(), FlatAxes.begin(), FlatAxes.end());
  // clang-format off
  const Calls rest = {
      // node 1 at (10, 460): marker, circles z (yellow), y (white), x (yellow), number, arrow
      "pen 0,0,0", "width 1", "fill 255,0,0", "ellipse 8,458,12,462",
      "pen 0,0,0", "width 1", "fill 255,255,0", "ellipse 10,460,16,466", "fill 255,255,255", "ellipse 14,464,20,470",
      "fill 255,255,0", "ellipse 18,468,24,474",
      "pen 0,0,0", "fill 255,255,255", "text 10,460 1",
      "pen 255,0,0", "width 2", "fill 255,0,0",
      "move 10,460", "line -52,460", "line -36,467", "move -52,460", "line -36,452",
      // node 2 at (630, 150): no supports, no forces
      "pen 0,0,0", "width 1", "fill 255,0,0", "ellipse 628,148,632,152",
      "pen 0,0,0", "fill 255,255,255", "text 630,150 2",
      "pen 255,0,0", "width 2", "fill 255,0,0",
      // ready for the elements (there are none)
      "pen 0,0,0", "width 1", "fill 255,255,255"};
  // clang-format on
  expected.insert(expected.end(), rest.begin(), rest.end());
  EXPECT_EQ(Paint(switches), expected);
}

TEST_F(PaintTest, ArrowsFollowTheSignOfEachComponent) {
  const int n = AddNode(store, 0, 0, 0);
  AddNode(store, 10, 5, 0);
  store.Forces[DofOf(n, 1)] = 3;
  store.Forces[DofOf(n, 2)] = -1e-3f;
  Paint();
  // +x: tip (1, 0, 0) → (72, 460); −y: tip (0, −1, 0) → (10, 522)
  const Calls arrows = canvas.Only("move");
  EXPECT_EQ(arrows, (Calls{"move 500,60", "move 500,60", "move 500,60", "move 10,460", "move 72,460", "move 10,460",
                           "move 10,522"}));
  const Calls lines = canvas.Only("line");
  EXPECT_EQ(Calls(lines.begin() + 3, lines.end()),
            (Calls{"line 72,460", "line 56,452", "line 56,467", "line 10,522", "line 17,506", "line 2,506"}));
}

TEST_F(PaintTest, ArrowsAlongYAndZSeenWithZAcrossTheScreen) {
  // Turned 90 degrees about y: screen x is -z, screen y is y. With every node
  // at x = 0 the picture is (10, 460) + 62 × (-z, -y) and ArrowLength is 1.
  SetViewAngles(view, 0, 9000, 0);
  AddNode(store, 0, 0, 0);
  AddNode(store, 0, 5, -10);
  const int loaded = AddNode(store, 0, 2, -5.25f);  // at (335.5, 336)
  const int pulled = AddNode(store, 0, 4, -2.25f);  // at (149.5, 212)
  store.Forces[DofOf(loaded, 2)] = 7;
  store.Forces[DofOf(loaded, 3)] = 7;
  store.Forces[DofOf(pulled, 3)] = -7;
  Paint();
  Calls strokes;
  for (const std::string& call : canvas.calls)
    if (call.rfind("move", 0) == 0 || call.rfind("line", 0) == 0) strokes.push_back(call);
  // After the axes: +y up the screen, +z to the left, -z to the right; the head
  // points of the y and z arrows lie off the node by x, that is by a hair here.
  EXPECT_EQ(Calls(strokes.begin() + 6, strokes.end()),
            (Calls{"move 335,336", "line 335,274", "line 335,289", "move 335,274", "line 335,289",     // +y
                   "move 335,336", "line 273,336", "line 289,336", "move 273,336", "line 288,336",     // +z
                   "move 149,212", "line 211,212", "line 196,212", "move 211,212", "line 195,212"}));  // -z
}

TEST_F(PaintTest, SupportSymbolShowsOnlyTheFixedDirectionsInYellow) {
  const int n = AddNode(store, 0, 0, 0);
  AddSupport(store, n, 1);
  Paint();
  EXPECT_EQ(canvas.Only("fill 255,255,"),
            (Calls{"fill 255,255,255", "fill 255,255,255", "fill 255,255,255", "fill 255,255,0", "fill 255,255,255"}));
  for (int c = 2; c <= 3; ++c) AddSupport(store, n, c);
  Paint();
  EXPECT_EQ(canvas.Only("fill 255,255,0").size(), 3u);
  store.SupportCount = 0;
  Paint();
  EXPECT_EQ(canvas.Only("ellipse").size(), 1u);  // the marker only
}

// One tetrahedron seen along z: nodes 1 and 4 fall on the same pixel.
void OneTetrahedron(ModelStore& store) { AddCornerTetrahedron(store); }

TEST_F(PaintTest, WireframeDrawsSixEdgesThenTheElementNumber) {
  OneTetrahedron(store);
  DisplaySwitches switches;
  switches.ElementNumbers = true;
  Paint(switches);
  const Calls tail(canvas.calls.end() - 12, canvas.calls.end());
  EXPECT_EQ(tail, (Calls{"pen 0,0,0", "width 1", "fill 255,255,255", "move 10,460", "line 409,460", "line 10,61",
                         "line 10,460", "line 10,460", "line 10,61", "move 409,460", "line 10,460", "text 109,360 1"}));
  // The material number in brown, one line lower when the element number is on.
  store.Elements[1].material = 3;
  switches.MaterialNumbers = true;
  Paint(switches);
  EXPECT_EQ(Calls(canvas.calls.end() - 3, canvas.calls.end()),
            (Calls{"font 128,64,0", "text 109,372 3", "font 0,0,255"}));
  switches.ElementNumbers = false;
  Paint(switches);
  EXPECT_EQ(canvas.calls.end()[-2], "text 109,360 3");
}

// The numbers of a recorded call, e.g. {8, 458, 12, 462} of "ellipse 8,458,12,462".
std::vector<int> NumbersOf(const std::string& call) {
  std::string text = call.substr(call.find(' ') + 1);
  std::replace(text.begin(), text.end(), ',', ' ');
  std::istringstream in(text);
  std::vector<int> out;
  for (int v; in >> v;) out.push_back(v);
  return out;
}

TEST_F(PaintTest, DeformedShapeDrawsEveryNodeAtPositionPlusScaleTimesDisplacement) {
  // The corner tetrahedron (extent 1) seen along z with one node moved by u:
  // s = 0.1 / max |u|, and the fit spans both shapes.
  const struct {
    int node;
    float u[3];
    double s;
    const char* caption;
    char separator;
  } rows[] = {{2, {0, -0.004f, 0}, 25, "25", '.'},
              {3, {2e-5f, 0, -1e-5f}, 5000, "5000", ','},
              {2, {0.003f, 7e-4f, 0}, 0.1 / 0.003, "33,3", ','},
              {4, {-7e-5f, 0, 0}, 0.1 / 7e-5, "1430", '.'},
              {1, {-0.25f, 0.1f, 0}, 0.4, "0,4", ','}};
  for (const auto& row : rows) {
    store = ModelStore{};
    OneTetrahedron(store);
    store.ResultsValid = 1;
    for (int c = 1; c <= 3; ++c) store.Displacements[DofOf(row.node, c)] = row.u[c - 1];
    double x[5], y[5], minX = 0, maxX = 1, minY = 0, maxY = 1;
    for (int n = 1; n <= 4; ++n) {
      x[n] = store.Nodes[n].x + (n == row.node ? row.s * row.u[0] : 0);
      y[n] = store.Nodes[n].y + (n == row.node ? row.s * row.u[1] : 0);
      minX = std::min(minX, x[n]), maxX = std::max(maxX, x[n]), minY = std::min(minY, y[n]),
      maxY = std::max(maxY, y[n]);
    }
    const double f = std::min(620 / (maxX - minX), 399 / (maxY - minY));
    auto at = [&](int px, int py, double mx, double my) {
      return std::abs(px - (10 + (mx - minX) * f)) <= 1 && std::abs(py - (460 - (my - minY) * f)) <= 1;
    };
    for (const int mode : {0, 1, 2, 3}) {  // wireframe, hidden lines by depth and exactly, stress map
      DisplaySwitches switches;
      switches.Displacements = true;
      switches.HiddenLines = mode == 1 || mode == 2;
      switches.ExactFaces = mode == 2;
      switches.StressMap = mode == 3;
      Paint(switches, row.separator);
      EXPECT_EQ(canvas.calls.back(), std::string("text 10,46 Przemieszczenia \u00d7 ") + row.caption);
      const std::vector<int> grey = NumbersOf(After("pen 192,192,192").at(1));  // node 1 where it was
      EXPECT_TRUE(at(grey[0], grey[1], 0, 0)) << row.caption;
      const Calls markers = canvas.Only("ellipse");
      ASSERT_EQ(markers.size(), 4u);
      for (int n = 1; n <= 4; ++n) {
        const std::vector<int> box = NumbersOf(markers[n - 1]);
        EXPECT_TRUE(at(box[0] + 2, box[1] + 2, x[n], y[n])) << row.caption << " node " << n;
      }
      // The black edges (after the paint's last white fill) or the faces join displaced corners only.
      const auto edges = std::find(canvas.calls.rbegin() + 3, canvas.calls.rend(), "fill 255,255,255").base();
      size_t corners = 0;
      for (const std::string& call : mode == 0 ? Calls(edges, canvas.calls.end() - 3) : canvas.Only("polygon")) {
        const std::vector<int> v = NumbersOf(call);
        for (size_t i = 0; i + 1 < v.size() && v[i] < 615; i += 2, ++corners) {  // the legend's bar left out
          bool corner = false;
          for (int n = 1; n <= 4; ++n) corner = corner || at(v[i], v[i + 1], x[n], y[n]);
          EXPECT_TRUE(corner) << row.caption << " mode " << mode << ": " << call;
        }
      }
      EXPECT_EQ(corners, mode == 0 ? 8u : 16u) << mode;  // six edges, or four triangles
    }
    store.ResultsValid = 0;  // without valid results the switch changes nothing
    DisplaySwitches plain, deformed;
    deformed.Displacements = true;
    EXPECT_EQ(Paint(deformed), Paint(plain));
  }
}

TEST_F(PaintTest, HiddenLinesPaintWhiteFacesFarthestFirstAndNoElementNumbers) {
  // Seen along z from above: face 1 (nodes 1, 2, 3) lies at z = 0, behind the
  // three faces that meet at node 4 (z = 1), and is painted first. Node 4
  // projects to (0.25, 0.5), so every corner of every face can be told apart:
  // the fit gives 399 pixels per unit from (10, 460).
  AddNode(store, 0, 0, 0);
  AddNode(store, 1, 0, 0);
  AddNode(store, 0, 1, 0);
  AddNode(store, 0.25f, 0.5f, 1);
  AddTetrahedron(store, 1, 2, 3, 4);
  DisplaySwitches switches;
  switches.HiddenLines = true;
  switches.ElementNumbers = true;
  Paint(switches);
  const Calls tail(canvas.calls.end() - 5, canvas.calls.end());
  EXPECT_EQ(tail,
            (Calls{"fill 255,255,255", "polygon 10,460 409,460 10,61 10,460", "polygon 109,260 409,460 10,61 109,260",
                   "polygon 10,460 109,260 10,61 10,460", "polygon 10,460 409,460 109,260 10,460"}));
  EXPECT_TRUE(canvas.Only("text").size() == 3u);  // the axis labels only
  EXPECT_TRUE(canvas.Only("line 409").empty());
}

// Which face each pixel of a painted picture shows, against the face nearest
// the viewer there. Pixels within 1.5 pixels of any drawn edge (outlines,
// truncation) are left out. `wrong` counts pixels that show a face farther
// than the nearest one, `wrongBody` those where the two faces belong to
// different bodies (elements of one body share `body[element]`).
struct PixelCheck {
  int checked = 0, overlapped = 0, wrong = 0, wrongBody = 0;
};

PixelCheck CheckNearestFacesOnTop(const ModelStore& store, const ViewState& view, const Calls& calls, int width,
                                  int height, const std::vector<int>& body) {
  // The direction towards the viewer, in model coordinates: screen x × screen y.
  const ProjectedPoint ex = ProjectPoint(view, 1, 0, 0), ey = ProjectPoint(view, 0, 1, 0),
                       ez = ProjectPoint(view, 0, 0, 1);
  const double right[3] = {ex.X, ey.X, ez.X}, up[3] = {ex.Y, ey.Y, ez.Y};
  const double towards[3] = {right[1] * up[2] - right[2] * up[1], right[2] * up[0] - right[0] * up[2],
                             right[0] * up[1] - right[1] * up[0]};
  auto nearness = [&](int node) {
    const NodeRow& p = store.Nodes[node];
    return towards[0] * p.x + towards[1] * p.y + towards[2] * p.z;
  };
  // Corners of each face as the face pass draws them.
  static constexpr int corners[5][3] = {{0, 0, 0}, {1, 2, 3}, {4, 2, 3}, {1, 4, 3}, {1, 2, 4}};
  struct Drawn {
    double x[3], y[3], near[3];
    int body;
  };
  std::vector<Drawn> drawn;
  size_t polygon = 0;
  const Calls polygons = [&] {
    Calls out;
    for (const std::string& c : calls)
      if (c.rfind("polygon ", 0) == 0) out.push_back(c);
    return out;
  }();
  for (int f = 1; f <= 4 * store.ElementCount; ++f) {
    const FaceEntry entry = view.Faces.Entries[f];
    if (entry.face == 0) continue;
    Drawn d;
    d.body = body.at(entry.element);
    std::istringstream in(polygons.at(polygon++).substr(8));
    for (int c = 0; c < 3; ++c) {
      char comma;
      in >> d.x[c] >> comma >> d.y[c];
      d.near[c] = nearness(store.Elements[entry.element].node[corners[entry.face][c]]);
    }
    drawn.push_back(d);
  }
  EXPECT_EQ(polygon, polygons.size());

  const int pixels = width * height;
  std::vector<int> last(pixels, -1), count(pixels, 0), nearestFace(pixels, -1);
  std::vector<double> nearest(pixels, -1e300), shown(pixels, 0);
  std::vector<bool> unsure(pixels, false);
  for (size_t k = 0; k < drawn.size(); ++k) {
    const Drawn& d = drawn[k];
    const double area = (d.x[1] - d.x[0]) * (d.y[2] - d.y[0]) - (d.y[1] - d.y[0]) * (d.x[2] - d.x[0]);
    const int x0 = std::max(0, static_cast<int>(std::min({d.x[0], d.x[1], d.x[2]})) - 2);
    const int x1 = std::min(width - 1, static_cast<int>(std::max({d.x[0], d.x[1], d.x[2]})) + 2);
    const int y0 = std::max(0, static_cast<int>(std::min({d.y[0], d.y[1], d.y[2]})) - 2);
    const int y1 = std::min(height - 1, static_cast<int>(std::max({d.y[0], d.y[1], d.y[2]})) + 2);
    for (int py = y0; py <= y1; ++py) {
      for (int px = x0; px <= x1; ++px) {
        const double cx = px + 0.5, cy = py + 0.5;
        bool inside = area != 0, nearEdge = false;
        double weight[3];
        for (int e = 0; e < 3; ++e) {
          const int a = e, b = (e + 1) % 3;
          const double dx = d.x[b] - d.x[a], dy = d.y[b] - d.y[a];
          const double length2 = dx * dx + dy * dy;
          const double t = length2 > 0 ? std::clamp(((cx - d.x[a]) * dx + (cy - d.y[a]) * dy) / length2, 0.0, 1.0) : 0;
          nearEdge = nearEdge || std::hypot(cx - d.x[a] - t * dx, cy - d.y[a] - t * dy) < 1.5;
          // Barycentric weight of the corner opposite this edge.
          weight[(e + 2) % 3] = area != 0 ? (dx * (cy - d.y[a]) - dy * (cx - d.x[a])) / area : 0;
          inside = inside && weight[(e + 2) % 3] > 0;
        }
        const int i = py * width + px;
        if (nearEdge) unsure[i] = true;
        if (!inside) continue;
        const double n = weight[0] * d.near[0] + weight[1] * d.near[1] + weight[2] * d.near[2];
        ++count[i];
        last[i] = static_cast<int>(k);
        shown[i] = n;
        if (n > nearest[i]) {
          nearest[i] = n;
          nearestFace[i] = static_cast<int>(k);
        }
      }
    }
  }
  PixelCheck check;
  for (int i = 0; i < pixels; ++i) {
    if (unsure[i] || last[i] < 0) continue;
    ++check.checked;
    if (count[i] > 1) ++check.overlapped;
    if (shown[i] < nearest[i] - 0.05) {
      ++check.wrong;
      if (drawn[last[i]].body != drawn[nearestFace[i]].body) ++check.wrongBody;
    }
  }
  return check;
}

TEST_F(PaintTest, EveryPixelShowsTheFaceNearestTheViewerUnderBothOrders) {
  // The four standard views, then turns at random.
  std::vector<std::array<int, 3>> angles = {{27000, 0, 0}, {0, 0, 0}, {0, 0, 27000}, {4500, 31500, 0}};
  std::mt19937 random(2000);
  std::uniform_int_distribution<int> position(0, 36000);
  for (int i = 0; i < 8; ++i) angles.push_back({position(random), position(random), position(random)});

  for (const auto& a : angles) {
    // A large box with a small box in front of it and another behind it, as
    // seen in this view: 6 units from its centre towards and away from the
    // viewer, so the three overlap on the screen.
    SetViewAngles(view, a[0], a[1], a[2]);
    const ProjectedPoint ex = ProjectPoint(view, 1, 0, 0), ey = ProjectPoint(view, 0, 1, 0),
                         ez = ProjectPoint(view, 0, 0, 1);
    const float towards[3] = {ey.X * ez.Y - ez.X * ey.Y, ez.X * ex.Y - ex.X * ez.Y, ex.X * ey.Y - ey.X * ex.Y};
    store = ModelStore{};
    std::vector<int> body = {0};
    AddDividedBox(store, -2, -2, -2, 4, 4, 4, 2, 2, 2);
    body.resize(store.ElementCount + 1, 0);
    for (const float side : {6.0f, -6.0f}) {
      AddDividedBox(store, side * towards[0] - 0.75f, side * towards[1] - 0.75f, side * towards[2] - 0.75f, 1.5f, 1.5f,
                    1.5f, 1, 1, 1);
      body.resize(store.ElementCount + 1, side > 0 ? 1 : 2);
    }
    for (const bool exact : {false, true}) {
      DisplaySwitches switches;
      switches.HiddenLines = true;
      switches.ExactFaces = exact;
      Paint(switches);
      ASSERT_FALSE(outcome.ExactFacesTurnedOff);
      const PixelCheck check = CheckNearestFacesOnTop(store, view, canvas.calls, 640, 480, body);
      // The depth order sorts whole faces by their mean depth: two faces of one
      // tetrahedron can overlap against that order, so it is held to bodies
      // in front of one another only; the exact order to every pixel.
      EXPECT_EQ(exact ? check.wrong : check.wrongBody, 0)
          << (exact ? "exact" : "depth") << " order at " << a[0] << ", " << a[1] << ", " << a[2];
      EXPECT_GT(check.checked, 20000);
      EXPECT_GT(check.overlapped, 10000);
    }
  }
}

TEST_F(PaintTest, StressItemWithoutResultsKeepsTheWireframeAndDrawsNoLegend) {
  OneTetrahedron(store);
  DisplaySwitches switches;
  switches.StressMap = true;
  Paint(switches);
  EXPECT_TRUE(canvas.Only("polygon").empty());
  EXPECT_EQ(canvas.Only("line").size(), 3u + 6u);

  switches.HiddenLines = true;  // faces, but white
  Paint(switches);
  EXPECT_EQ(canvas.Only("polygon").size(), 4u);
  for (const std::string& fill : canvas.Only("fill"))
    EXPECT_TRUE(fill == "fill 255,255,255" || fill == "fill 255,0,0") << fill;
}

TEST_F(PaintTest, ColourMapPaintsEachElementInItsBandAndAddsTheLegend) {
  for (int e = 0; e < 3; ++e) AddCornerTetrahedron(store, 2.0f * e);
  store.Stresses[1][SigmaX] = 0;
  store.Stresses[2][SigmaX] = 100;
  store.Stresses[3][SigmaX] = 200;
  store.Stresses[2][Reduced] = 1e6;  // another component, not shown
  store.ResultsValid = 1;
  view.StressComponent = SigmaX;
  DisplaySwitches switches;
  switches.StressMap = true;  // faces even without hidden lines
  Paint(switches, ',');

  // The faces come before the legend's 201 segments and 11 labels; each is
  // filled with the band colour of its element.
  const size_t legendCalls = 201 * 3 + 11 * 3;
  std::multiset<std::string> faceFills;
  std::string fill;
  for (size_t i = 0; i + legendCalls < canvas.calls.size(); ++i) {
    const std::string& call = canvas.calls[i];
    if (call.rfind("fill", 0) == 0) fill = call;
    if (call.rfind("polygon", 0) == 0) faceFills.insert(fill);
  }
  EXPECT_EQ(faceFills.size(), 12u);
  EXPECT_EQ(faceFills.count("fill 0,149,240"), 4u);
  EXPECT_EQ(faceFills.count("fill 0,107,0"), 4u);
  EXPECT_EQ(faceFills.count("fill 155,0,0"), 4u);
  EXPECT_EQ(canvas.calls[canvas.calls.size() - legendCalls], "pen 0,150,242");

  const Calls labels = canvas.Only("text 565");
  ASSERT_EQ(labels.size(), 11u);
  EXPECT_EQ(labels.front(), "text 565,36 0,00");
  EXPECT_EQ(labels[5], "text 565,249 100,00");
  EXPECT_EQ(labels.back(), "text 565,463 200,00");
}

TEST_F(PaintTest, ResultsWithoutAStressItemDrawNoMap) {
  OneTetrahedron(store);
  store.ResultsValid = 1;
  DisplaySwitches switches;
  switches.HiddenLines = true;
  Paint(switches);
  EXPECT_EQ(canvas.Only("polygon").size(), 4u);
  EXPECT_TRUE(canvas.Only("text").size() == 3u);  // the axis labels only
}

TEST_F(PaintTest, ExactFacesOnALargeModelSwitchThemselvesOffAndShowTheBusyCursor) {
  AddDividedBox(store, 0, 0, 0, 1, 1, 1, 7, 6, 1);  // 252 elements
  DisplaySwitches switches;
  switches.HiddenLines = true;
  switches.ExactFaces = true;
  Paint(switches);
  EXPECT_TRUE(outcome.ExactFacesTurnedOff);
  EXPECT_EQ(prompts.busyCursor, (std::vector<bool>{true, false}));
  EXPECT_FALSE(canvas.Only("polygon").empty());

  store.ElementCount = 0;
  store.NodeCount = 0;
  AddDividedBox(store, 0, 0, 0, 1, 1, 1, 1, 1, 1);
  Paint(switches);
  EXPECT_FALSE(outcome.ExactFacesTurnedOff);
  EXPECT_EQ(canvas.Only("polygon").size(), 12u);  // the cube's twelve outer triangles
}

TEST_F(PaintTest, ModelWithNodesOnlyShowsAxesAndNodes) {
  AddNode(store, 0, 0, 0);
  AddNode(store, 1, 1, 1);
  DisplaySwitches switches;
  switches.HiddenLines = true;
  switches.StressMap = true;
  store.ResultsValid = 1;
  Paint(switches);
  EXPECT_EQ(canvas.Only("polygon").size(), 201u);  // the legend's segments, no faces
  EXPECT_EQ(canvas.Only("ellipse").size(), 2u);
  EXPECT_EQ(canvas.Only("text").size(), 3u + 11u);  // axes and a legend of zeros
  EXPECT_EQ(canvas.calls.back(), "text 565,463 0.00");
}

}  // namespace
}  // namespace qor
