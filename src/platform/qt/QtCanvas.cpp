#include "platform/qt/QtCanvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QPolygon>
#include <cstdlib>

namespace qor {
namespace {
QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }
}  // namespace

QtCanvas::QtCanvas(QPainter& painter, int width, int height, int toolBarHeight)
    : painter_(painter), width_(width), height_(height), toolBarHeight_(toolBarHeight) {
  // Thin lines go straight into a plain 32-bit image painted without transform,
  // clip or blending; anything else is left to the painter.
  QPaintDevice* device = painter.device();
  if (device && device->devType() == QInternal::Image) {
    auto* image = static_cast<QImage*>(device);
    const QImage::Format format = image->format();
    if ((format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
         format == QImage::Format_ARGB32_Premultiplied) &&
        image->devicePixelRatio() == 1.0 && painter.transform().isIdentity() && !painter.hasClipping() &&
        painter.opacity() == 1.0 && painter.compositionMode() == QPainter::CompositionMode_SourceOver)
      image_ = image;
  }
}

void QtCanvas::SetPenColour(Rgb colour) {
  pen_ = ToQColor(colour);
  linePenSet_ = false;
}
void QtCanvas::SetPenWidth(int width) {
  penWidth_ = width;
  linePenSet_ = false;
}
void QtCanvas::SetFillColour(Rgb colour) { fill_ = ToQColor(colour); }
void QtCanvas::SetFontColour(Rgb colour) { font_ = ToQColor(colour); }

void QtCanvas::ApplyShapeStyle() {
  QPen pen(pen_);
  pen.setWidth(penWidth_);
  pen.setJoinStyle(Qt::MiterJoin);
  painter_.setPen(pen);
  painter_.setBrush(fill_);
  linePenSet_ = false;
}

// The outline of a filled figure lies inside (x1, y1)..(x2 - 1, y2 - 1).
void QtCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  ApplyShapeStyle();
  painter_.drawRect(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)));
}

void QtCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  ApplyShapeStyle();
  painter_.drawEllipse(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)));
}

void QtCanvas::Polygon(const CanvasPoint* points, int count) {
  ApplyShapeStyle();
  QPolygon polygon(count);
  for (int i = 0; i < count; ++i) polygon.setPoint(i, points[i].x, points[i].y);
  painter_.drawPolygon(polygon);
}

void QtCanvas::MoveTo(int x, int y) { current_ = QPoint(x, y); }

// A wireframe is thousands of lines in one pen; the pen is handed to the
// painter again only after it or the painter's pen has changed.
void QtCanvas::LineTo(int x, int y) {
  if (DrawThinLine(current_, QPoint(x, y))) {
    current_ = QPoint(x, y);
    return;
  }
  if (!linePenSet_) {
    QPen pen(pen_);
    pen.setWidth(penWidth_);
    painter_.setPen(pen);
    linePenSet_ = true;
  }
  painter_.drawLine(current_, QPoint(x, y));
  current_ = QPoint(x, y);
}

// A wireframe of a large model is over half a million pixels of one-pixel
// lines, which the painter's general line drawing takes several times longer
// to set than a plain Bresenham walk over the image's rows. Lines with an end
// outside the image, wide pens and other devices take the painter's way.
bool QtCanvas::DrawThinLine(QPoint from, QPoint to) {
  if (!image_ || penWidth_ > 1) return false;
  const int w = image_->width(), h = image_->height();
  auto inside = [w, h](QPoint p) { return p.x() >= 0 && p.y() >= 0 && p.x() < w && p.y() < h; };
  if (!inside(from) || !inside(to)) return false;
  const QRgb colour = pen_.rgb() | 0xff000000u;
  uchar* bits = image_->bits();
  const qsizetype stride = image_->bytesPerLine();
  int x = from.x(), y = from.y();
  const int dx = std::abs(to.x() - x), dy = -std::abs(to.y() - y);
  const int sx = x < to.x() ? 1 : -1, sy = y < to.y() ? 1 : -1;
  int error = dx + dy;
  for (;;) {
    reinterpret_cast<QRgb*>(bits + y * stride)[x] = colour;
    if (x == to.x() && y == to.y()) break;
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += sx;
    }
    if (twice <= dx) {
      error += dx;
      y += sy;
    }
  }
  return true;
}

int QtCanvas::TextWidth(const std::string& text) const {
  return painter_.fontMetrics().horizontalAdvance(QString::fromStdString(text));
}

void QtCanvas::TextOut(int x, int y, const std::string& text) {
  const QString s = QString::fromStdString(text);
  const QFontMetrics metrics = painter_.fontMetrics();
  const QRect box(x, y, metrics.horizontalAdvance(s), metrics.height());
  painter_.fillRect(box, fill_);
  painter_.setPen(font_);
  linePenSet_ = false;
  painter_.drawText(box, Qt::AlignLeft | Qt::AlignTop, s);
}

}  // namespace qor
