#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTransform>

#include "platform/qt/QtCanvas.h"

namespace qor {
namespace {

int CountPixels(const QImage& image, QRgb colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == colour;
  return count;
}

QImage WhiteImage() {
  QImage image(40, 30, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

TEST(QtCanvasLines, ThinLinesCoverEveryPixelFromEndToEnd) {
  QImage image = WhiteImage();
  {
    QPainter painter(&image);
    QtCanvas canvas(painter, 40, 30, 0);
    canvas.SetPenColour({255, 0, 0});
    canvas.SetPenWidth(1);
    canvas.MoveTo(2, 3);
    canvas.LineTo(12, 3);   // 11 pixels across
    canvas.LineTo(12, 13);  // 10 more down
    canvas.MoveTo(20, 20);
    canvas.LineTo(25, 25);  // a diagonal of 6
  }
  const QRgb red = qRgb(255, 0, 0);
  EXPECT_EQ(CountPixels(image, red), 11 + 10 + 6);
  EXPECT_EQ(image.pixel(2, 3), red);
  EXPECT_EQ(image.pixel(12, 13), red);
  EXPECT_EQ(image.pixel(23, 23), red);
  EXPECT_EQ(image.pixel(23, 22), qRgb(255, 255, 255));
}

TEST(QtCanvasLines, LinesInterleaveWithShapesInDrawingOrder) {
  QImage image = WhiteImage();
  {
    QPainter painter(&image);
    QtCanvas canvas(painter, 40, 30, 0);
    canvas.SetPenColour({0, 0, 0});
    canvas.SetPenWidth(1);
    canvas.MoveTo(0, 10);
    canvas.LineTo(39, 10);
    canvas.SetPenColour({0, 0, 255});
    canvas.SetFillColour({0, 0, 255});
    canvas.Rectangle(5, 5, 15, 15);  // covers part of the line
    canvas.SetPenColour({0, 0, 0});
    canvas.MoveTo(10, 0);
    canvas.LineTo(10, 29);  // drawn over the rectangle
  }
  EXPECT_EQ(image.pixel(20, 10), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(8, 10), qRgb(0, 0, 255));
  EXPECT_EQ(image.pixel(10, 8), qRgb(0, 0, 0));
}

TEST(QtCanvasLines, WidePensEndsOutsideAndTransformsUseThePainter) {
  QImage image = WhiteImage();
  {
    QPainter painter(&image);
    QtCanvas canvas(painter, 40, 30, 0);
    canvas.SetPenColour({0, 128, 0});
    canvas.SetPenWidth(2);
    canvas.MoveTo(5, 5);
    canvas.LineTo(30, 5);
    canvas.SetPenWidth(1);
    canvas.MoveTo(-100, 20);  // one end far outside: clipped by the painter
    canvas.LineTo(20, 20);
  }
  const QRgb green = qRgb(0, 128, 0);
  EXPECT_GE(CountPixels(image, green), 2 * 25 + 20);
  EXPECT_EQ(image.pixel(0, 20), green);
  EXPECT_EQ(image.pixel(19, 20), green);

  QImage scaled = WhiteImage();
  {
    QPainter painter(&scaled);
    painter.setTransform(QTransform::fromScale(2, 2));
    QtCanvas canvas(painter, 20, 15, 0);
    canvas.SetPenColour({255, 0, 0});
    canvas.SetPenWidth(1);
    canvas.MoveTo(1, 1);
    canvas.LineTo(10, 1);
  }
  EXPECT_EQ(scaled.pixel(18, 2), qRgb(255, 0, 0));  // drawn in the scaled frame
}

}  // namespace
}  // namespace qor
