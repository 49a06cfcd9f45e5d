#include "platform/qt/QtCanvas.h"

#include <QFontMetrics>
#include <QPolygon>

namespace qor {
namespace {
QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }
}  // namespace

QtCanvas::QtCanvas(QPainter& painter, int width, int height, int toolBarHeight)
    : painter_(painter), width_(width), height_(height), toolBarHeight_(toolBarHeight) {}

void QtCanvas::SetPenColour(Rgb colour) { pen_ = ToQColor(colour); }
void QtCanvas::SetPenWidth(int width) { penWidth_ = width; }
void QtCanvas::SetFillColour(Rgb colour) { fill_ = ToQColor(colour); }
void QtCanvas::SetFontColour(Rgb colour) { font_ = ToQColor(colour); }

void QtCanvas::ApplyShapeStyle() {
  QPen pen(pen_);
  pen.setWidth(penWidth_);
  pen.setJoinStyle(Qt::MiterJoin);
  painter_.setPen(pen);
  painter_.setBrush(fill_);
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

void QtCanvas::LineTo(int x, int y) {
  QPen pen(pen_);
  pen.setWidth(penWidth_);
  painter_.setPen(pen);
  painter_.drawLine(current_, QPoint(x, y));
  current_ = QPoint(x, y);
}

void QtCanvas::TextOut(int x, int y, const std::string& text) {
  const QString s = QString::fromStdString(text);
  const QFontMetrics metrics = painter_.fontMetrics();
  const QRect box(x, y, metrics.horizontalAdvance(s), metrics.height());
  painter_.fillRect(box, fill_);
  painter_.setPen(font_);
  painter_.drawText(box, Qt::AlignLeft | Qt::AlignTop, s);
}

}  // namespace qor
