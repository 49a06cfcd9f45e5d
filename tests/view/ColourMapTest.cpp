#include <gtest/gtest.h>

#include "view/BlockModel.h"
#include "view/ColourMap.h"
#include "view/RecordingCanvas.h"

namespace qor {
namespace {

BandColourTable Colours() {
  BandColourTable colours;
  FillBandColours(colours);
  return colours;
}

TEST(BandColours, RunFromLightBlueThroughGreenAndOrangeToDarkRed) {
  const BandColourTable c = Colours();
  EXPECT_EQ(c[0], (Rgb{0, 150, 242}));
  EXPECT_EQ(c[1], (Rgb{0, 149, 240}));
  EXPECT_EQ(c[50], (Rgb{0, 100, 142}));
  EXPECT_EQ(c[51], (Rgb{0, 205, 0}));
  EXPECT_EQ(c[100], (Rgb{0, 107, 0}));
  EXPECT_EQ(c[101], (Rgb{200, 155, 0}));
  EXPECT_EQ(c[150], (Rgb{200, 106, 0}));
  EXPECT_EQ(c[151], (Rgb{253, 0, 0}));
  EXPECT_EQ(c[200], (Rgb{155, 0, 0}));
  for (int k = 0; k <= 200; ++k) {
    Rgb expected;
    if (k <= 50)
      expected = {0, static_cast<std::uint8_t>(150 - k), static_cast<std::uint8_t>(242 - 2 * k)};
    else if (k <= 100)
      expected = {0, static_cast<std::uint8_t>(307 - 2 * k), 0};
    else if (k <= 150)
      expected = {200, static_cast<std::uint8_t>(256 - k), 0};
    else
      expected = {static_cast<std::uint8_t>(555 - 2 * k), 0, 0};
    EXPECT_EQ(c[k], expected) << "band " << k;
  }
}

ModelStore ThreeElements(float a, float b, float c) {
  ModelStore store;
  for (int e = 0; e < 3; ++e) AddCornerTetrahedron(store, 2.0f * e);
  store.Stresses[1][SigmaX] = a;
  store.Stresses[2][SigmaX] = b;
  store.Stresses[3][SigmaX] = c;
  store.ResultsValid = 1;
  return store;
}

TEST(StressRange, SpansTheChosenComponentInTwoHundredBands) {
  ModelStore store = ThreeElements(100, 0, 200);
  store.Stresses[2][TauYZ] = -7;
  StressScale scale = StressRange(store, SigmaX);
  EXPECT_EQ(scale.StressMin, 0);
  EXPECT_EQ(scale.StressMax, 200);
  EXPECT_EQ(scale.BandStep, 1.0f);
  scale = StressRange(store, TauYZ);
  EXPECT_EQ(scale.StressMin, -7);
  EXPECT_EQ(scale.StressMax, 0);
}

TEST(BandColour, LowestBandSharesColourOneAndTheMaximumTakesTwoHundred) {
  const BandColourTable c = Colours();
  StressScale scale{0, 200, 1.0f};
  EXPECT_EQ(BandColour(c, scale, 100), (Rgb{0, 107, 0}));
  EXPECT_EQ(BandColour(c, scale, 0), (Rgb{0, 149, 240}));
  EXPECT_EQ(BandColour(c, scale, 1), c[1]);
  EXPECT_EQ(BandColour(c, scale, 1.99f), c[1]);
  EXPECT_EQ(BandColour(c, scale, 2), c[2]);
  EXPECT_EQ(BandColour(c, scale, 200), (Rgb{155, 0, 0}));
  EXPECT_EQ(BandColour(c, scale, 250), c[200]);  // clamped
  EXPECT_EQ(BandColour(c, scale, -3), c[1]);
}

TEST(BandColour, EqualValuesGetBandWidthOneAndColourOne) {
  const BandColourTable c = Colours();
  const ModelStore store = ThreeElements(5, 5, 5);
  StressScale scale = StressRange(store, SigmaX);
  EXPECT_EQ(scale.BandStep, 0);
  EXPECT_EQ(BandColour(c, scale, 5), c[1]);
  EXPECT_EQ(scale.BandStep, 1.0f);

  RecordingCanvas canvas;
  DrawLegend(canvas, c, scale, '.');
  const auto labels = canvas.Only("text");
  ASSERT_EQ(labels.size(), 11u);
  EXPECT_EQ(labels[1], "text 565,78 25.00");
  EXPECT_EQ(labels[10], "text 565,463 205.00");
}

TEST(DrawLegend, ElevenLabelsFromMinimumToMaximumWithTheRegionalSeparator) {
  const BandColourTable c = Colours();
  const StressScale scale{0, 200, 1.0f};
  for (const char separator : {',', '.'}) {
    RecordingCanvas canvas;
    DrawLegend(canvas, c, scale, separator);
    const auto labels = canvas.Only("text");
    ASSERT_EQ(labels.size(), 11u);
    for (int i = 0; i <= 10; ++i) {
      const int k = 20 * i;
      const int y = static_cast<int>(430 * k * (1.0 / 201) + 36);
      const std::string value = std::to_string(k) + separator + "00";
      EXPECT_EQ(labels[i], "text 565," + std::to_string(y) + " " + value);
    }
    EXPECT_EQ(canvas.Only("polygon").size(), 201u);
  }
}

TEST(DrawLegend, SmallStressesKeepThreeSignificantDigits) {
  // First, middle and last label; two decimals wherever they already give
  // three digits, more below 1, the E form below 1e-4.
  const struct {
    float min, max;
    const char *first, *middle, *last;
  } rows[] = {
      {1.5f, 2.5f, "1.50", "2.00", "2.50"},
      {0, 0.5f, "0.000", "0.250", "0.500"},
      {1e-4f, 3e-4f, "0.000100", "0.000200", "0.000300"},
      {-1.2e-4f, 8e-5f, "-0.000120", "-0.000020", "0.000080"},
      {0, 5e-6f, "0", "2.5E-6", "5E-6"},
  };
  for (const auto& row : rows) {
    RecordingCanvas canvas;
    DrawLegend(canvas, Colours(), {row.min, row.max, (row.max - row.min) * 0.005f}, '.');
    const auto labels = canvas.Only("text");
    ASSERT_EQ(labels.size(), 11u);
    auto text = [&](size_t i) { return labels[i].substr(labels[i].rfind(' ') + 1); };
    EXPECT_EQ(text(0), row.first) << row.max;
    EXPECT_EQ(text(5), row.middle) << row.max;
    EXPECT_EQ(text(10), row.last) << row.max;
  }
}

TEST(DrawLegend, LabelsTooLongForTheirPlaceEndBeforeTheBar) {
  // The recording canvas counts 6 pixels a character; the bar starts at 615.
  const StressScale scale{-99999, 0, 499.995f};
  RecordingCanvas canvas;
  DrawLegend(canvas, Colours(), scale, '.');
  const auto labels = canvas.Only("text");
  ASSERT_EQ(labels.size(), 11u);
  EXPECT_EQ(labels[0], "text 559,36 -99999.00");  // 54 pixels: 615 - 2 - 54
  EXPECT_EQ(labels[1], "text 559,78 -89999.00");
  EXPECT_EQ(labels[10].substr(0, 13), "text 565,463 ");  // a short one stays where it belongs
}

TEST(DrawLegend, SegmentsStackDownTheRightEdgeInBandColours) {
  const BandColourTable c = Colours();
  const StressScale scale{-1.5f, 1.5f, 0.015f};
  RecordingCanvas canvas(800, 600, 31);
  DrawLegend(canvas, c, scale, '.');
  // Segment 0: its colour as pen and fill, then the bar piece, then the label.
  const std::vector<std::string> first(canvas.calls.begin(), canvas.calls.begin() + 7);
  EXPECT_EQ(first, (std::vector<std::string>{"pen 0,150,242", "fill 0,150,242", "polygon 775,36 775,38 785,38 785,36",
                                             "fill 255,255,255", "font 0,0,0", "text 725,36 -1.50", "pen 0,149,240"}));
  EXPECT_EQ(canvas.calls.back(), "text 725,583 1.50");
  EXPECT_EQ(canvas.Only("polygon").back(), "polygon 775,583 775,586 785,586 785,583");
}

}  // namespace
}  // namespace qor
