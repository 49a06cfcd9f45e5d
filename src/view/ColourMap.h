#pragma once

#include <array>

#include "model/ModelStore.h"
#include "platform/Canvas.h"

namespace qor {

using BandColourTable = std::array<Rgb, 201>;

/// The 201 band colours: light blue (low values) through green and orange to
/// dark red (high values).
void FillBandColours(BandColourTable& colours);

// The value range of the shown stress kind over all elements, worked out per paint.
struct StressScale {
  float StressMin = 0;
  float StressMax = 0;
  float BandStep = 0;  // one of 200 equal bands
};

/// Smallest and largest Stresses[e][component] over the elements and the band width.
StressScale StressRange(const ModelStore& store, int component);

/// Colour of the band holding `value`, bands 1..200. A zero band width (all
/// values equal) becomes 1.0 in `scale`, and the legend of the same paint uses it.
Rgb BandColour(const BandColourTable& colours, StressScale& scale, float value);

/// The colour bar with eleven value labels along the right edge of the client area.
void DrawLegend(Canvas& canvas, const BandColourTable& colours, const StressScale& scale, char separator);

}  // namespace qor
