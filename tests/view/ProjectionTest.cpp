#include <gtest/gtest.h>

#include <cmath>

#include "view/BlockModel.h"
#include "view/Projection.h"

namespace qor {
namespace {

ViewState FlatView() {
  ViewState view;
  SetViewAngles(view, 0, 0, 0);
  return view;
}

TEST(ProjectPoint, ShowsXRightAndYUpAtZeroAnglesAndTurnsAboutX) {
  ViewState view = FlatView();
  ProjectedPoint p = ProjectPoint(view, 1, 2, 3);
  EXPECT_EQ(p.X, 1);
  EXPECT_EQ(p.Y, 2);

  view.ViewAngleX = 270;  // y into the screen, z up
  p = ProjectPoint(view, 1, 2, 3);
  EXPECT_NEAR(p.X, 1, 1e-6);
  EXPECT_NEAR(p.Y, 3, 1e-3);
  // pi is taken as 3.1415: 270 degrees is not quite a right angle, so the y
  // coordinate still leaks in a little.
  EXPECT_NE(p.Y, 3.0f);

  view.ViewAngleX = 0;
  view.ViewAngleZ = 90;  // the screen turns: x upwards, y to the left
  p = ProjectPoint(view, 1, 0, 0);
  EXPECT_NEAR(p.X, 0, 1e-4);
  EXPECT_NEAR(p.Y, 1, 1e-6);
}

TEST(ProjectPoint, TurnsAboutYAfterX) {
  const struct {
    float a, b;
    float X, Y;
  } cases[] = {
      {0, 90, -3, 2},    // x goes into the screen, z to the left
      {0, 180, -1, 2},   // seen from behind
      {90, 90, -2, -3},  // about x first: y becomes the depth axis, then turned to the left
  };
  for (const auto& c : cases) {
    ViewState view = FlatView();
    view.ViewAngleX = c.a;
    view.ViewAngleY = c.b;
    const ProjectedPoint p = ProjectPoint(view, 1, 2, 3);
    EXPECT_NEAR(p.X, c.X, 1e-3) << c.a << ", " << c.b;
    EXPECT_NEAR(p.Y, c.Y, 1e-3) << c.a << ", " << c.b;
  }
}

TEST(ProjectPoint, DepthGrowsIntoTheScreenAndIgnoresTheThirdAngle) {
  // At zero angles the viewer looks down the z axis from above: z = 3 lies
  // 3 units nearer than z = 0.
  ViewState view = FlatView();
  EXPECT_EQ(DepthOf(RotationOf(view), 1, 2, 3), -3.0f);
  view.ViewAngleZ = 123;
  EXPECT_EQ(DepthOf(RotationOf(view), 1, 2, 3), -3.0f);
  view.ViewAngleY = 90;  // x points at the viewer
  EXPECT_NEAR(DepthOf(RotationOf(view), 1, 2, 3), -1, 1e-3);
}

TEST(SetViewAngles, TakesHundredthsOfADegree) {
  ViewState view;
  SetViewAngles(view, 4500, 31500, 27000);
  EXPECT_FLOAT_EQ(view.ViewAngleX, 45);
  EXPECT_FLOAT_EQ(view.ViewAngleY, 315);
  EXPECT_FLOAT_EQ(view.ViewAngleZ, 270);
}

TEST(FitToWindow, TwoNodesFillTheWidthAndKeepProportions) {
  ModelStore store;
  AddNode(store, 0, 0, 0);
  AddNode(store, 10, 5, 0);
  ViewState view = FlatView();
  // Left-overs of earlier commands are reset by the fit; zoom and pan are kept.
  view.ZoomFactor = 4;
  view.PanX = 30;
  view.PanY = -20;
  view.ViewOffsetX = 7;
  const ScreenFit fit = FitToWindow(view, store, 640, 480, 31);
  EXPECT_EQ(view.FitScaleX, 62);  // 620 / 10, smaller than 399 / 5 = 79.8
  EXPECT_EQ(view.FitScaleY, 62);
  EXPECT_EQ(view.ZoomFactor, 4);
  EXPECT_EQ(view.PanX, 30);
  EXPECT_EQ(view.PanY, -20);
  EXPECT_EQ(view.ViewOffsetX, 0);
  EXPECT_EQ(fit.ProjMinX, 0);
  EXPECT_EQ(fit.ProjMaxX, 10);
  EXPECT_EQ(fit.ProjMaxY, 5);

  // The zoom scales the fitted picture about the middle of the area it fills,
  // (320, 260.5): 4 × (10 − 320) + 320, 4 × (460 − 260.5) + 260.5; the pan
  // of 30, −20 moves the result.
  const struct {
    float zoom;
    float x1, y1, x2, y2;
  } zooms[] = {{1, 40, 440, 660, 130}, {4, -890, 1038.5f, 1590, -201.5f}, {0.5f, 195, 340.25f, 505, 185.25f}};
  for (const auto& z : zooms) {
    view.ZoomFactor = z.zoom;
    const ScreenPoint p1 = ToScreen(view, fit, 0, 0, 0);
    const ScreenPoint p2 = ToScreen(view, fit, 10, 5, 0);
    EXPECT_EQ(p1.x, z.x1) << z.zoom;
    EXPECT_EQ(p1.y, z.y1) << z.zoom;
    EXPECT_EQ(p2.x, z.x2) << z.zoom;
    EXPECT_EQ(p2.y, z.y2) << z.zoom;
  }
}

TEST(FitToWindow, TallModelFillsTheHeightFromBelowTheBars) {
  ModelStore store;
  AddNode(store, 0, 0, 0);
  AddNode(store, 1, 10, 0);
  ViewState view = FlatView();
  const ScreenFit fit = FitToWindow(view, store, 640, 480, 31);
  EXPECT_FLOAT_EQ(view.FitScaleX, 39.9f);
  const ScreenPoint top = ToScreen(view, fit, 1, 10, 0);
  EXPECT_NEAR(top.y, 31 + 30, 1e-3);  // height of the tool bar + 30
  EXPECT_NEAR(top.x, 10 + 39.9, 1e-3);
}

TEST(FitToWindow, SingleNodeGetsAUnitBoxAtTheBottomLeft) {
  ModelStore store;
  AddNode(store, 3, -4, 5);
  ViewState view;  // isometric
  SetViewAngles(view, 4500, 31500, 0);
  const ScreenFit fit = FitToWindow(view, store, 640, 480, 31);
  EXPECT_EQ(fit.ProjMaxX - fit.ProjMinX, 1);
  EXPECT_EQ(fit.ProjMaxY - fit.ProjMinY, 1);
  EXPECT_EQ(view.FitScaleX, 399);
  const ScreenPoint p = ToScreen(view, fit, 3, -4, 5);
  EXPECT_EQ(p.x, 10);
  EXPECT_EQ(p.y, 460);
}

TEST(Pixel, TruncatesTowardZeroAndClampsWhatNoScreenHolds) {
  EXPECT_EQ(Pixel(2.9f), 2);
  EXPECT_EQ(Pixel(-2.9f), -2);
  EXPECT_EQ(Pixel(1e20f), 1000000000);
  EXPECT_EQ(Pixel(-1e20f), -1000000000);
  EXPECT_EQ(Pixel(std::nanf("")), 0);
}

}  // namespace
}  // namespace qor
