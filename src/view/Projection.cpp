#include "view/Projection.h"

#include <algorithm>
#include <cmath>

namespace qor {

ViewRotation RotationOf(const ViewState& view) {
  // Degrees × 3.1415, then × 1/180, in single precision as the angles are kept.
  const float toRadians = 1.0f / 180.0f;
  const float a = view.ViewAngleX * ViewPi * toRadians;
  const float b = view.ViewAngleY * ViewPi * toRadians;
  const float c = view.ViewAngleZ * ViewPi * toRadians;
  ViewRotation r;
  r.sinA = std::sin(a);
  r.cosA = std::cos(a);
  r.sinB = std::sin(b);
  r.cosB = std::cos(b);
  r.sinC = std::sin(c);
  r.cosC = std::cos(c);
  r.depthSinA = std::sin(static_cast<double>(a));
  r.depthCosA = std::cos(static_cast<double>(a));
  r.depthSinB = std::sin(static_cast<double>(b));
  r.depthCosB = std::cos(static_cast<double>(b));
  return r;
}

ProjectedPoint ProjectPoint(const ViewRotation& r, float x, float y, float z) {
  const float y1 = r.cosA * y - r.sinA * z;
  const float z1 = r.sinA * y + r.cosA * z;
  const float x2 = r.cosB * x - r.sinB * z1;
  return {r.cosC * x2 - r.sinC * y1, r.sinC * x2 + r.cosC * y1};
}

ProjectedPoint ProjectPoint(const ViewState& view, float x, float y, float z) {
  return ProjectPoint(RotationOf(view), x, y, z);
}

float DepthOf(const ViewRotation& r, float x, float y, float z) {
  // The rotated frame (screen x, screen y, sin b · x + cos b · z1) is
  // right-handed with screen y upwards, so its third axis points out of the
  // screen towards the viewer; the depth runs the other way.
  const double z1 = r.depthSinA * y + r.depthCosA * z;
  return static_cast<float>(-(r.depthSinB * x + r.depthCosB * z1));
}

void SetViewAngles(ViewState& view, int position1, int position2, int position3) {
  view.ViewAngleX = static_cast<float>(position1) * 0.01f;
  view.ViewAngleY = static_cast<float>(position2) * 0.01f;
  view.ViewAngleZ = static_cast<float>(position3) * 0.01f;
}

namespace {
ProjectedPoint ProjectShifted(const ViewState& view, const ViewRotation& r, float x, float y, float z) {
  return ProjectPoint(r, x + view.ViewOffsetX, y + view.ViewOffsetY, z + view.ViewOffsetZ);
}
}  // namespace

ScreenPoint FitCentre(int clientWidth, int clientHeight, int toolBarHeight) {
  const int w = clientWidth - 20;
  const int h = clientHeight - toolBarHeight - 50;
  return {10 + static_cast<float>(w) * 0.5f, static_cast<float>(clientHeight - 20) - static_cast<float>(h) * 0.5f};
}

ScreenFit FitToWindow(ViewState& view, const ModelStore& store, int clientWidth, int clientHeight, int toolBarHeight,
                      const NodeTable* alsoNodes) {
  view.ViewOffsetX = view.ViewOffsetY = view.ViewOffsetZ = 0;

  ScreenFit fit;
  fit.rotation = RotationOf(view);
  fit.ClientHeight = clientHeight;
  bool first = true;
  auto include = [&](const NodeRow& node) {
    const ProjectedPoint p = ProjectShifted(view, fit.rotation, node.x, node.y, node.z);
    if (first) {
      fit.ProjMinX = fit.ProjMaxX = p.X;
      fit.ProjMinY = fit.ProjMaxY = p.Y;
      first = false;
      return;
    }
    if (p.X < fit.ProjMinX) fit.ProjMinX = p.X;
    if (p.X > fit.ProjMaxX) fit.ProjMaxX = p.X;
    if (p.Y < fit.ProjMinY) fit.ProjMinY = p.Y;
    if (p.Y > fit.ProjMaxY) fit.ProjMaxY = p.Y;
  };
  for (int n = 1; n <= store.NodeCount; ++n) include(store.Nodes[n]);
  if (alsoNodes)
    for (int n = 1; n <= std::min(store.NodeCount, NodeCapacity); ++n) include((*alsoNodes)[n]);
  // A model without extent in a direction (one node, or a line seen end-on)
  // gets a box one unit wide there, so the factors below stay finite.
  if (fit.ProjMaxX == fit.ProjMinX) fit.ProjMaxX = fit.ProjMinX + 1;
  if (fit.ProjMaxY == fit.ProjMinY) fit.ProjMaxY = fit.ProjMinY + 1;

  const int w = clientWidth - 20;
  const int h = clientHeight - toolBarHeight - 50;
  view.FitScaleX = static_cast<float>(w) / (fit.ProjMaxX - fit.ProjMinX);
  view.FitScaleY = static_cast<float>(h) / (fit.ProjMaxY - fit.ProjMinY);
  if (view.FitScaleX >= view.FitScaleY)
    view.FitScaleX = view.FitScaleY;
  else
    view.FitScaleY = view.FitScaleX;
  // The zoom scales the fitted picture about the middle of the area it fills.
  const ScreenPoint centre = FitCentre(clientWidth, clientHeight, toolBarHeight);
  fit.CentreX = centre.x;
  fit.CentreY = centre.y;
  return fit;
}

void ZoomAbout(ViewState& view, float factor, float x, float y, int clientWidth, int clientHeight, int toolBarHeight) {
  // A screen point is C + Z·(f − C) + Pan for its fitted point f and the
  // centre C; with Z' = k·Z the point under (x, y) stays there when
  // Pan' = (1 − k)·((x, y) − C) + k·Pan.
  const float zoom = view.ZoomFactor * factor;
  if (!(zoom > 0) || !std::isfinite(zoom)) return;
  const ScreenPoint c = FitCentre(clientWidth, clientHeight, toolBarHeight);
  view.PanX = (1 - factor) * (x - c.x) + factor * view.PanX;
  view.PanY = (1 - factor) * (y - c.y) + factor * view.PanY;
  view.ZoomFactor = zoom;
}

ScreenPoint ToScreen(const ViewState& view, const ScreenFit& fit, float x, float y, float z) {
  const ProjectedPoint p = ProjectShifted(view, fit.rotation, x, y, z);
  const float fittedX = (p.X - fit.ProjMinX) * view.FitScaleX + 10;
  const float fittedY = static_cast<float>(fit.ClientHeight - 20) - (p.Y - fit.ProjMinY) * view.FitScaleY;
  // Written as a step away from the fitted point, so that at ZoomFactor 1 the
  // point is exactly the fitted one.
  const float grow = view.ZoomFactor - 1;
  return {fittedX + grow * (fittedX - fit.CentreX) + view.PanX, fittedY + grow * (fittedY - fit.CentreY) + view.PanY};
}

int Pixel(float value) {
  constexpr float limit = 1.0e9f;
  if (!(value > -limit)) return value < 0 ? -1000000000 : 0;  // also NaN → 0
  if (value > limit) return 1000000000;
  return static_cast<int>(value);
}

}  // namespace qor
