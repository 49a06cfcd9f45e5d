#include <gtest/gtest.h>

#include <algorithm>
#include <set>

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
}

TEST_F(PaintTest, HiddenLinesPaintWhiteFacesDeepestFirstAndNoElementNumbers) {
  OneTetrahedron(store);
  DisplaySwitches switches;
  switches.HiddenLines = true;
  switches.ElementNumbers = true;
  Paint(switches);
  // Depth is z here: faces 2, 3 and 4 touch node 4 (depth 1/3 each), face 1 lies at 0.
  const Calls tail(canvas.calls.end() - 5, canvas.calls.end());
  EXPECT_EQ(tail,
            (Calls{"fill 255,255,255", "polygon 10,460 409,460 10,61 10,460", "polygon 10,460 10,460 10,61 10,460",
                   "polygon 10,460 409,460 10,460 10,460", "polygon 10,460 409,460 10,61 10,460"}));
  EXPECT_TRUE(canvas.Only("text 109").empty());
  EXPECT_TRUE(canvas.Only("line 409").empty());
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
