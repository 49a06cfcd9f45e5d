#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/Canvas.h"

namespace qor {

// A canvas that writes every call down as one line of text, e.g. "pen 0,128,0",
// "ellipse 8,458,12,462", "polygon 10,460 409,460 10,61 10,460", "text 10,460 1".
class RecordingCanvas final : public Canvas {
 public:
  explicit RecordingCanvas(int width = 640, int height = 480, int toolBar = 31)
      : width_(width), height_(height), toolBar_(toolBar) {}

  std::vector<std::string> calls;

  void SetPenColour(Rgb c) override { Record("pen", Colour(c)); }
  void SetPenWidth(int w) override { Record("width", std::to_string(w)); }
  void SetFillColour(Rgb c) override { Record("fill", Colour(c)); }
  void SetFontColour(Rgb c) override { Record("font", Colour(c)); }
  void Rectangle(int x1, int y1, int x2, int y2) override { Record("rect", Box(x1, y1, x2, y2)); }
  void Ellipse(int x1, int y1, int x2, int y2) override { Record("ellipse", Box(x1, y1, x2, y2)); }
  void Polygon(const CanvasPoint* points, int count) override {
    std::string corners;
    for (int i = 0; i < count; ++i) {
      if (i > 0) corners += ' ';
      corners += Point(points[i].x, points[i].y);
    }
    Record("polygon", corners);
  }
  void MoveTo(int x, int y) override { Record("move", Point(x, y)); }
  void LineTo(int x, int y) override { Record("line", Point(x, y)); }
  void TextOut(int x, int y, const std::string& text) override {
    std::string where = Point(x, y);
    where += ' ';
    where += text;
    Record("text", where);
  }
  // Every byte counts 6 pixels, about a digit of the 8-point font (the view
  // writes ASCII only).
  int TextWidth(const std::string& text) const override { return 6 * static_cast<int>(text.size()); }
  int ClientWidth() const override { return width_; }
  int ClientHeight() const override { return height_; }
  int ToolBarHeight() const override { return toolBar_; }

  // The calls that start with `prefix`, in order.
  std::vector<std::string> Only(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& call : calls)
      if (call.compare(0, prefix.size(), prefix) == 0) out.push_back(call);
    return out;
  }

 private:
  void Record(const char* what, const std::string& details) {
    std::string line(what);
    line += ' ';
    line += details;
    calls.push_back(std::move(line));
  }
  static std::string Numbers(std::initializer_list<int> values) {
    std::string text;
    for (int v : values) {
      if (!text.empty()) text += ',';
      text += std::to_string(v);
    }
    return text;
  }
  static std::string Colour(Rgb c) { return Numbers({c.r, c.g, c.b}); }
  static std::string Point(int x, int y) { return Numbers({x, y}); }
  static std::string Box(int x1, int y1, int x2, int y2) { return Numbers({x1, y1, x2, y2}); }

  int width_, height_, toolBar_;
};

}  // namespace qor
