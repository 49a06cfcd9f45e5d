#pragma once

#include <array>
#include <cstdint>

#include "model/ModelStore.h"
#include "platform/Canvas.h"
#include "view/FaceList.h"

namespace qor {

// Node positions laid out as the store's Nodes table, row 0 unused.
using NodeTable = std::array<NodeRow, NodeCapacity + 1>;

// Everything beside the model that decides what the picture looks like.
// Owned by the main window for the whole run.
struct ViewState {
  float ViewAngleX = 45;   // degrees, from ScrollBar1 at every paint
  float ViewAngleY = 315;  // degrees, from ScrollBar2
  float ViewAngleZ = 0;    // degrees, from ScrollBar3
  float ZoomFactor = 1.0f;
  float ViewOffsetX = 0, ViewOffsetY = 0, ViewOffsetZ = 0;
  float PanX = 0, PanY = 0;
  float ArrowFraction = 0.1f;
  std::int32_t StressComponent = 7;
  float FitScaleX = 1.0f, FitScaleY = 1.0f;
  std::array<Rgb, 201> BandColours{};
  bool DragActive = false;
  std::int32_t LastMouseX = 0, LastMouseY = 0;
  // The face pass's draw list, refilled by every paint that draws faces.
  FaceList Faces;
  // The displaced nodes of the deformed shape, refilled by every paint that
  // draws it; kept here so that a paint allocates nothing.
  NodeTable DisplacedNodes{};
};

// The view settings that New, Open and the mesh import put back.
inline void ResetZoomPanAndFit(ViewState& view) {
  view.ZoomFactor = 1.0f;
  view.PanX = 0;
  view.PanY = 0;
  view.FitScaleX = 1.0f;
  view.FitScaleY = 1.0f;
}

}  // namespace qor
