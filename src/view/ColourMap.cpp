#include "view/ColourMap.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/NumberText.h"

namespace qor {
namespace {
Rgb Colour(int r, int g, int b) {
  return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
}
}  // namespace

void FillBandColours(BandColourTable& colours) {
  // Written from the top down; each range overwrites the shared end entry of
  // the one before it.
  for (int i = 0; i <= 50; ++i) colours[200 - i] = Colour(155 + 2 * i, 0, 0);
  for (int i = 50; i <= 100; ++i) colours[200 - i] = Colour(200, i + 56, 0);
  for (int i = 100; i <= 150; ++i) colours[200 - i] = Colour(0, 2 * i - 93, 0);
  for (int i = 150; i <= 200; ++i) colours[200 - i] = Colour(0, i - 50, 2 * i - 158);
}

StressScale StressRange(const ModelStore& store, int component) {
  StressScale scale;
  if (store.ElementCount < 1 || component < 1 || component > 7) return scale;
  scale.StressMin = scale.StressMax = store.Stresses[1][component];
  for (int e = 2; e <= store.ElementCount; ++e) {
    const float value = store.Stresses[e][component];
    if (value > scale.StressMax) scale.StressMax = value;
    if (value < scale.StressMin) scale.StressMin = value;
  }
  scale.BandStep = (scale.StressMax - scale.StressMin) * 0.005f;
  return scale;
}

Rgb BandColour(const BandColourTable& colours, StressScale& scale, float value) {
  if (scale.BandStep == 0) scale.BandStep = 1.0f;
  const float band = (value - scale.StressMin) / scale.BandStep;
  // The lowest band shares colour 1 with the second; the clamp also catches
  // rounding at the ends (and a non-finite quotient).
  int b = 1;
  if (band >= 200) {
    b = 200;
  } else if (band >= 1) {
    b = static_cast<int>(band);
  }
  return colours[b];
}

namespace {
// Labels with two decimals from 1 upwards; below that as many decimals as give
// the largest label three significant digits, so that small stresses do not
// all read 0,00. Below 1e-4 the E form with three digits keeps them short.
struct LabelFormat {
  int decimals = 2;
  bool general = false;
};

LabelFormat LegendFormat(const StressScale& scale) {
  const double top = static_cast<double>(scale.StressMin) + 200.0 * static_cast<double>(scale.BandStep);
  const double largest = std::max(std::fabs(static_cast<double>(scale.StressMin)), std::fabs(top));
  LabelFormat format;
  if (!(largest > 0) || largest >= 1 || !std::isfinite(largest)) return format;
  format.decimals = 2 - static_cast<int>(std::floor(std::log10(largest)));
  format.general = format.decimals > 6;
  return format;
}
}  // namespace

void DrawLegend(Canvas& canvas, const BandColourTable& colours, const StressScale& scale, char separator) {
  const LabelFormat format = LegendFormat(scale);
  const int width = canvas.ClientWidth();
  const int barHeight = canvas.ClientHeight() - 50;
  const int top = canvas.ToolBarHeight() + 5;
  auto segmentTop = [&](int k) { return static_cast<int>(barHeight * k * (1.0 / 201) + top); };
  for (int k = 0; k <= 200; ++k) {
    canvas.SetPenColour(colours[k]);
    canvas.SetFillColour(colours[k]);
    const int y0 = segmentTop(k);
    const int y1 = segmentTop(k + 1);
    const CanvasPoint segment[4] = {{width - 25, y0}, {width - 25, y1}, {width - 15, y1}, {width - 15, y0}};
    canvas.Polygon(segment, 4);
    if (k % 20 == 0) {
      canvas.SetFillColour({255, 255, 255});
      canvas.SetFontColour({0, 0, 0});
      const float value = scale.StressMin + static_cast<float>(k) * scale.BandStep;
      const std::string label =
          format.general ? FormatGeneral(value, 3, separator) : FormatFixed(value, 5, format.decimals, separator);
      // A label too long for the 50 pixels before the bar moves left, so that
      // it ends 2 pixels short of the bar instead of covering it.
      canvas.TextOut(std::min(width - 75, width - 27 - canvas.TextWidth(label)), y0, label);
    }
  }
}

}  // namespace qor
