#pragma once

#include <QColor>
#include <QPainter>

#include "platform/Canvas.h"

namespace qor {

// The Canvas port drawn with a QPainter on a widget or an image (thin lines on
// a plain image are set directly). Pen, fill and
// font colours are kept as the canvas state and applied per operation.
class QtCanvas final : public Canvas {
 public:
  QtCanvas(QPainter& painter, int width, int height, int toolBarHeight);

  void SetPenColour(Rgb colour) override;
  void SetPenWidth(int width) override;
  void SetFillColour(Rgb colour) override;
  void SetFontColour(Rgb colour) override;
  void Rectangle(int x1, int y1, int x2, int y2) override;
  void Ellipse(int x1, int y1, int x2, int y2) override;
  void Polygon(const CanvasPoint* points, int count) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void TextOut(int x, int y, const std::string& text) override;
  int TextWidth(const std::string& text) const override;
  int ClientWidth() const override { return width_; }
  int ClientHeight() const override { return height_; }
  int ToolBarHeight() const override { return toolBarHeight_; }

 private:
  void ApplyShapeStyle();
  bool DrawThinLine(QPoint from, QPoint to);

  QPainter& painter_;
  int width_, height_, toolBarHeight_;
  QColor pen_{Qt::black};
  int penWidth_ = 1;
  QColor fill_{Qt::white};
  QColor font_{Qt::black};
  QPoint current_;
  bool linePenSet_ = false;  // the painter holds the pen of LineTo
  QImage* image_ = nullptr;  // the image painted on, when lines may be set directly
};

}  // namespace qor
