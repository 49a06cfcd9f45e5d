#include "view/Paint.h"

#include <algorithm>
#include <string>

#include "view/DeformedShape.h"

namespace qor {
namespace {

// A force entry of the table, 0 for a degree of freedom beyond it.
float ForceAt(const ModelStore& store, int dof) { return dof >= 1 && dof <= DofCapacity ? store.Forces[dof] : 0.0f; }

struct Painter {
  Canvas& canvas;
  const ModelStore& store;
  // Where the nodes are drawn: the store's Nodes or the displaced ones.
  const NodeTable& nodes;
  ViewState& view;
  const ScreenFit& fit;

  ScreenPoint Screen(float x, float y, float z) const { return ToScreen(view, fit, x, y, z); }
  ScreenPoint NodeScreen(std::int32_t node) const {
    const NodeRow& row = nodes[SafeNodeRow(node)];
    return Screen(row.x, row.y, row.z);
  }
  void MoveTo(ScreenPoint p) const { canvas.MoveTo(Pixel(p.x), Pixel(p.y)); }
  void LineTo(ScreenPoint p) const { canvas.LineTo(Pixel(p.x), Pixel(p.y)); }
  void Circle(ScreenPoint p, float from, float to) const {
    canvas.Ellipse(Pixel(p.x + from), Pixel(p.y + from), Pixel(p.x + to), Pixel(p.y + to));
  }

  void Axes() const {
    struct Axis {
      Rgb colour;
      float x, y, z;
      const char* label;
      int labelShift;
    };
    static constexpr Axis axes[3] = {
        {AxisXColour, 20, 0, 0, "x", 0}, {AxisYColour, 0, 20, 0, "y", 2}, {AxisZColour, 0, 0, 20, "z", 0}};
    const ProjectedPoint origin = ProjectPoint(fit.rotation, 0, 0, 0);
    canvas.SetPenWidth(2);
    for (const Axis& axis : axes) {
      const ProjectedPoint end = ProjectPoint(fit.rotation, axis.x, axis.y, axis.z);
      const float endX = 500 + end.X;
      const float endY = 60 - end.Y;
      canvas.SetPenColour(axis.colour);
      canvas.SetFontColour(axis.colour);
      canvas.TextOut(Pixel(endX + static_cast<float>(axis.labelShift)), Pixel(endY), axis.label);
      canvas.MoveTo(Pixel(500 + origin.X), Pixel(60 - origin.Y));
      canvas.LineTo(Pixel(endX), Pixel(endY));
    }
  }

  void SupportSymbol(int n, ScreenPoint p) const {
    bool fixedX = false, fixedY = false, fixedZ = false;
    for (int j = 1; j <= std::min(store.SupportCount, SupportCapacity); ++j) {
      const std::int32_t dof = store.Supports[j].dof;
      if (dof == 3 * n) fixedZ = true;
      if (dof == 3 * n - 1) fixedY = true;
      if (dof == 3 * n - 2) fixedX = true;
    }
    if (!fixedX && !fixedY && !fixedZ) return;
    canvas.SetPenColour(Black);
    canvas.SetPenWidth(1);
    canvas.SetFillColour(fixedZ ? Yellow : White);
    Circle(p, 0, 6);
    canvas.SetFillColour(fixedY ? Yellow : White);
    Circle(p, 4, 10);
    canvas.SetFillColour(fixedX ? Yellow : White);
    Circle(p, 8, 14);
  }

  // Shaft from the node to the tip, then the two head strokes.
  void Arrow(ScreenPoint node, const float tip[3], const float head1[3], const float head2[3]) const {
    const ScreenPoint t = Screen(tip[0], tip[1], tip[2]);
    MoveTo(node);
    LineTo(t);
    LineTo(Screen(head1[0], head1[1], head1[2]));
    MoveTo(t);
    LineTo(Screen(head2[0], head2[1], head2[2]));
  }

  void ForceArrows(int n, ScreenPoint p, float length) const {
    const NodeRow& node = nodes[n];
    const float x = node.x, y = node.y, z = node.z, l = length;
    const float far = 0.75f * l, side = 0.125f * l;
    const float fx = ForceAt(store, 3 * n - 2), fy = ForceAt(store, 3 * n - 1), fz = ForceAt(store, 3 * n);
    if (fx > 0) {
      const float tip[3] = {x + l, y, z}, h1[3] = {x + far, y + side, z}, h2[3] = {x + far, y - side, z};
      Arrow(p, tip, h1, h2);
    }
    if (fx < 0) {
      const float tip[3] = {x - l, y, z}, h1[3] = {x - far, y - side, z}, h2[3] = {x - far, y + side, z};
      Arrow(p, tip, h1, h2);
    }
    if (fy > 0) {
      const float tip[3] = {x, y + l, z}, h1[3] = {x + side, y + far, z}, h2[3] = {x - side, y + far, z};
      Arrow(p, tip, h1, h2);
    }
    if (fy < 0) {
      const float tip[3] = {x, y - l, z}, h1[3] = {x + side, y - far, z}, h2[3] = {x - side, y - far, z};
      Arrow(p, tip, h1, h2);
    }
    if (fz > 0) {
      const float tip[3] = {x, y, z + l}, h1[3] = {x + side, y, z + far}, h2[3] = {x - side, y, z + far};
      Arrow(p, tip, h1, h2);
    }
    if (fz < 0) {
      const float tip[3] = {x, y, z - l}, h1[3] = {x + side, y, z - far}, h2[3] = {x - side, y, z - far};
      Arrow(p, tip, h1, h2);
    }
  }

  void Nodes(const DisplaySwitches& switches, float arrowLength) const {
    const int count = std::min(store.NodeCount, NodeCapacity);
    for (int n = 1; n <= count; ++n) {
      const ScreenPoint p = NodeScreen(n);
      canvas.SetPenColour(Black);
      canvas.SetPenWidth(1);
      canvas.SetFillColour(Red);
      Circle(p, -2, 2);
      SupportSymbol(n, p);
      if (switches.NodeNumbers) {
        canvas.SetPenColour(Black);
        canvas.SetFillColour(White);
        canvas.TextOut(Pixel(p.x), Pixel(p.y), std::to_string(n));
      }
      canvas.SetPenColour(Red);
      canvas.SetPenWidth(2);
      canvas.SetFillColour(Red);
      ForceArrows(n, p, arrowLength);
    }
  }

  // Edges 1-2, 2-3, 3-4, 4-1, 1-3 and 2-4 of every element; its number and
  // its material number at the mean of the corners after the element's edges.
  // With both on, the material number stands one line lower and in its own
  // colour, so the two can be told apart.
  void Wireframe(bool elementNumbers, bool materialNumbers) const {
    const int count = std::min(store.ElementCount, ElementCapacity);
    for (int e = 1; e <= count; ++e) {
      const ElementRow& element = store.Elements[e];
      const ScreenPoint p1 = NodeScreen(element.node[1]), p2 = NodeScreen(element.node[2]);
      const ScreenPoint p3 = NodeScreen(element.node[3]), p4 = NodeScreen(element.node[4]);
      MoveTo(p1);
      LineTo(p2);
      LineTo(p3);
      LineTo(p4);
      LineTo(p1);
      LineTo(p3);
      MoveTo(p2);
      LineTo(p4);
      const float x = (p1.x + p2.x + p3.x + p4.x) / 4, y = (p1.y + p2.y + p3.y + p4.y) / 4;
      if (elementNumbers) canvas.TextOut(Pixel(x), Pixel(y), std::to_string(e));
      if (materialNumbers) {
        canvas.SetFontColour(MaterialNumberColour);
        canvas.TextOut(Pixel(x), Pixel(y + (elementNumbers ? 12.0f : 0.0f)), std::to_string(element.material));
        canvas.SetFontColour(AxisZColour);
      }
    }
  }
};

// The largest side of the axis-aligned box around all nodes.
float ModelExtent(const ModelStore& store) {
  const NodeRow& first = store.Nodes[1];
  float minX = first.x, maxX = first.x, minY = first.y, maxY = first.y, minZ = first.z, maxZ = first.z;
  for (int n = 2; n <= std::min(store.NodeCount, NodeCapacity); ++n) {
    const NodeRow& node = store.Nodes[n];
    minX = std::min(minX, node.x), maxX = std::max(maxX, node.x);
    minY = std::min(minY, node.y), maxY = std::max(maxY, node.y);
    minZ = std::min(minZ, node.z), maxZ = std::max(maxZ, node.z);
  }
  return std::max({maxX - minX, maxY - minY, maxZ - minZ});
}

// Triangle corners of each face in drawing order, as node positions.
constexpr int DrawnCorners[5][3] = {{0, 0, 0}, {1, 2, 3}, {4, 2, 3}, {1, 4, 3}, {1, 2, 4}};

}  // namespace

ExactOrderResult DrawFaces(Canvas& canvas, const ModelStore& store, const NodeTable& nodes, ViewState& view,
                           const ScreenFit& fit, bool exactFaces, StressScale* scale, Prompts* cursor) {
  canvas.SetFillColour(White);
  ExactOrderResult result = ExactOrderResult::Exact;
  if (exactFaces)
    result = ExactFaceOrder(store, view, view.Faces, cursor, &nodes);
  else
    DepthFaceOrder(store, view, view.Faces, &nodes);

  const Painter painter{canvas, store, nodes, view, fit};
  const int slots = 4 * std::min(store.ElementCount, FaceCapacity / 4);
  for (int f = 1; f <= slots; ++f) {
    const FaceEntry entry = view.Faces.Entries[f];
    if (entry.face < 1 || entry.face > 4) continue;
    const int e = entry.element;
    if (e < 1 || e > ElementCapacity) continue;
    if (scale) {
      const int kind = view.StressComponent >= 1 && view.StressComponent <= 7 ? view.StressComponent : 0;
      canvas.SetFillColour(BandColour(view.BandColours, *scale, kind ? store.Stresses[e][kind] : 0.0f));
    }
    CanvasPoint corner[5];
    for (int c = 1; c <= 4; ++c) {
      const ScreenPoint p = painter.NodeScreen(store.Elements[e].node[c]);
      corner[c] = {Pixel(p.x), Pixel(p.y)};
    }
    const int* drawn = DrawnCorners[entry.face];
    const CanvasPoint triangle[4] = {corner[drawn[0]], corner[drawn[1]], corner[drawn[2]], corner[drawn[0]]};
    canvas.Polygon(triangle, 4);
  }
  return result;
}

PaintOutcome PaintModel(Canvas& canvas, const ModelStore& store, ViewState& view, const DisplaySwitches& switches,
                        char separator, Prompts* cursor) {
  PaintOutcome outcome;
  canvas.SetPenColour(White);
  canvas.SetPenWidth(1);
  canvas.SetFillColour(White);
  canvas.Rectangle(0, 0, canvas.ClientWidth(), canvas.ClientHeight() - canvas.ToolBarHeight());
  if (store.NodeCount < 1) return outcome;

  const float extent = ModelExtent(store);
  const float arrowLength = extent * view.ArrowFraction;
  StressScale scale;
  if (store.ResultsValid == 1 && store.ElementCount > 0) scale = StressRange(store, view.StressComponent);
  const bool deformed = switches.Displacements && store.ResultsValid == 1;
  const float deformation = deformed ? DeformationScale(store, extent) : 0.0f;
  if (deformed) DisplaceNodes(store, deformation, view.DisplacedNodes);
  const NodeTable& nodes = deformed ? view.DisplacedNodes : store.Nodes;
  const ScreenFit fit = FitToWindow(view, store, canvas.ClientWidth(), canvas.ClientHeight(), canvas.ToolBarHeight(),
                                    deformed ? &nodes : nullptr);
  const Painter painter{canvas, store, nodes, view, fit};
  painter.Axes();
  if (deformed && store.ElementCount > 0) {
    canvas.SetPenColour(UndeformedColour);
    canvas.SetPenWidth(1);
    const Painter undeformed{canvas, store, store.Nodes, view, fit};
    undeformed.Wireframe(false, false);
  }
  painter.Nodes(switches, arrowLength);

  canvas.SetPenColour(Black);
  canvas.SetPenWidth(1);
  canvas.SetFillColour(White);
  const bool mapOn = switches.StressMap && store.ResultsValid == 1;
  if (store.ElementCount > 0) {
    if (switches.HiddenLines || mapOn) {
      const ExactOrderResult order =
          DrawFaces(canvas, store, nodes, view, fit, switches.ExactFaces, mapOn ? &scale : nullptr, cursor);
      outcome.ExactFacesTurnedOff = order == ExactOrderResult::ModelTooLarge;
    } else {
      painter.Wireframe(switches.ElementNumbers, switches.MaterialNumbers);
    }
  }
  if (mapOn) DrawLegend(canvas, view.BandColours, scale, separator);
  if (deformed) {
    canvas.SetFillColour(White);
    canvas.SetFontColour(Black);
    canvas.TextOut(10, canvas.ToolBarHeight() + 15, DeformationCaption(deformation, separator));
  }
  return outcome;
}

}  // namespace qor
