#pragma once

#include <cstdint>
#include <string>

namespace qor {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

struct CanvasPoint {
  int x = 0, y = 0;
  bool operator==(const CanvasPoint&) const = default;
};

// The two-dimensional drawing surface of the main window's client area.
// Coordinates are client pixels, y downwards; callers truncate toward zero.
class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual void SetPenColour(Rgb colour) = 0;
  virtual void SetPenWidth(int width) = 0;
  virtual void SetFillColour(Rgb colour) = 0;
  virtual void SetFontColour(Rgb colour) = 0;

  // Filled with the fill colour and outlined with the pen; the right and bottom
  // edges (x2, y2) lie just outside the figure.
  virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
  virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
  // A closed polygon, filled and outlined.
  virtual void Polygon(const CanvasPoint* points, int count) = 0;
  virtual void MoveTo(int x, int y) = 0;
  // Draws from the current point with the pen; the end point becomes current.
  virtual void LineTo(int x, int y) = 0;
  // Text with its top-left corner at (x, y), on an opaque background of the fill colour.
  virtual void TextOut(int x, int y, const std::string& text) = 0;
  // Width in pixels that TextOut gives `text` in the canvas's font.
  virtual int TextWidth(const std::string& text) const = 0;

  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;
  // Height of the tool bar across the top of the client area.
  virtual int ToolBarHeight() const = 0;
};

}  // namespace qor
