#pragma once

#include "model/ModelStore.h"
#include "platform/Canvas.h"
#include "platform/Prompts.h"
#include "view/ColourMap.h"
#include "view/FaceOrder.h"
#include "view/Projection.h"
#include "view/ViewState.h"

namespace qor {

// The display switches of the "&Widok" menu as the paint reads them.
struct DisplaySwitches {
  bool HiddenLines = false;      // Hide1 / UKRB
  bool ExactFaces = false;       // ADOK
  bool ElementNumbers = false;   // Nr_ELE
  bool NodeNumbers = false;      // Nr_wez
  bool StressMap = false;        // one of the seven stress items
  bool MaterialNumbers = false;  // Numerymateriaw1
  bool Displacements = false;    // Przem: the deformed shape, with valid results
};

// What a paint reports back to the window.
struct PaintOutcome {
  // The model was too large for the exact face order, which switched itself off.
  bool ExactFacesTurnedOff = false;
};

// Colours of the picture.
inline constexpr Rgb White{255, 255, 255};
inline constexpr Rgb Black{0, 0, 0};
inline constexpr Rgb Red{255, 0, 0};
inline constexpr Rgb Yellow{255, 255, 0};
inline constexpr Rgb AxisXColour{0, 128, 0};
inline constexpr Rgb AxisYColour{128, 0, 128};
inline constexpr Rgb AxisZColour{0, 0, 255};
inline constexpr Rgb UndeformedColour{192, 192, 192};  // the shape before loading, under the deformed one
inline constexpr Rgb MaterialNumberColour{128, 64, 0};

/// Draws the whole picture from the model and the view state: background,
/// axes symbol, nodes with supports, numbers and force arrows, then the
/// wireframe or the faces, then the legend. With the deformed shape on (and
/// valid results) all of that is drawn at the displaced nodes, over the
/// undeformed wireframe in light grey, and the factor is written at the top
/// left. The view angles must already be
/// set (SetViewAngles). `separator` is the legend's decimal separator;
/// `cursor` shows the busy cursor during the exact face order (may be null).
PaintOutcome PaintModel(Canvas& canvas, const ModelStore& store, ViewState& view, const DisplaySwitches& switches,
                        char separator, Prompts* cursor);

/// The face pass: orders the faces and paints them as filled triangles, white
/// or in the band colour of their element when `scale` is given (map on). The
/// corners are the rows of `nodes`.
ExactOrderResult DrawFaces(Canvas& canvas, const ModelStore& store, const NodeTable& nodes, ViewState& view,
                           const ScreenFit& fit, bool exactFaces, StressScale* scale, Prompts* cursor);

}  // namespace qor
