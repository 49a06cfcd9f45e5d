#pragma once

#include <cstdint>

#include "model/ModelStore.h"
#include "view/ViewState.h"

namespace qor {

// The view rotation turns degrees into radians with pi taken as 3.1415.
inline constexpr float ViewPi = 3.1415f;

// Sines and cosines of the three view angles, worked out once per paint.
// The single-precision ones serve the projection, the double ones the depth.
struct ViewRotation {
  float sinA = 0, cosA = 1, sinB = 0, cosB = 1, sinC = 0, cosC = 1;
  double depthSinA = 0, depthCosA = 1, depthSinB = 0, depthCosB = 1;
};

ViewRotation RotationOf(const ViewState& view);

// Projected coordinates in model units, X to the right and Y upwards.
struct ProjectedPoint {
  float X = 0, Y = 0;
};

/// Parallel projection: rotate about x by ViewAngleX, about y by ViewAngleY,
/// about z by ViewAngleZ and drop the depth.
ProjectedPoint ProjectPoint(const ViewRotation& rotation, float x, float y, float z);
ProjectedPoint ProjectPoint(const ViewState& view, float x, float y, float z);

/// depth = −(sin b · x + cos b · (sin a · y + cos a · z)), in double, kept as float:
/// the distance into the screen. Larger values lie farther from the viewer and
/// are drawn earlier, so the nearest faces are painted last.
float DepthOf(const ViewRotation& rotation, float x, float y, float z);

// An element's node number as a row of Nodes that exists: a number outside
// the table reads the unused row 0 instead of memory beyond it.
inline int SafeNodeRow(std::int32_t node) { return node >= 1 && node <= NodeCapacity ? node : 0; }

// The three angles from the scroll-bar positions (hundredths of a degree).
void SetViewAngles(ViewState& view, int position1, int position2, int position3);

// A client pixel position before truncation, y downwards.
struct ScreenPoint {
  float x = 0, y = 0;
};

// What FitToWindow works out for the rest of one paint.
struct ScreenFit {
  float ProjMinX = 0, ProjMaxX = 1, ProjMinY = 0, ProjMaxY = 1;
  int ClientHeight = 0;
  // Middle of the area that the fitted picture fills, the fixed point of the zoom.
  float CentreX = 0, CentreY = 0;
  ViewRotation rotation;
};

/// Resets the offsets and scales the projected box of all nodes (and of the
/// rows 1..NodeCount of `alsoNodes`, the deformed shape, when given) into the
/// client area below the tool bar, the same factor on both axes. ZoomFactor
/// and the pan are kept: they move the fitted picture in ToScreen.
ScreenFit FitToWindow(ViewState& view, const ModelStore& store, int clientWidth, int clientHeight, int toolBarHeight,
                      const NodeTable* alsoNodes = nullptr);

/// Multiplies ZoomFactor by `factor` so that the client point (x, y) keeps its
/// place in the picture: the pan absorbs the shift of that point.
void ZoomAbout(ViewState& view, float factor, float x, float y, int clientWidth, int clientHeight, int toolBarHeight);

/// The middle of the area that the fitted picture fills, the fixed point of
/// ZoomFactor in ToScreen.
ScreenPoint FitCentre(int clientWidth, int clientHeight, int toolBarHeight);

/// The client point of a model point. At ZoomFactor 1 the left edge of the
/// projected box lies at x = 10 and its bottom edge at y = client height − 20;
/// another factor scales that picture about the middle of the area it fills.
ScreenPoint ToScreen(const ViewState& view, const ScreenFit& fit, float x, float y, float z);

// A coordinate for the canvas, truncated toward zero. Values beyond any screen
// (a model with enormous or non-finite coordinates) are clamped instead of
// overflowing the integer.
int Pixel(float value);

}  // namespace qor
