#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QMouseEvent>
#include <QToolButton>
#include <QWheelEvent>
#include <cstdio>

#include "Gl3d.h"
#include "Globals.h"
#include "support/ScriptedPrompts.h"
#include "ui_Gl3d.h"
#include "view/BlockModel.h"
#include "view/RecordingCanvas.h"

namespace {

using qor::RecordingCanvas;

class ViewCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateWindows();
    GL->SetPrompts(&prompts);
  }
  void TearDown() override { DestroyWindows(); }
  std::vector<std::string> Paint() {
    RecordingCanvas canvas;
    GL->FormPaint(canvas);
    return canvas.calls;
  }
  qor::ScriptedPrompts prompts;
};

TEST_F(ViewCommandsTest, ShiftMouseTurnsOneDegreePerPixelAndWrapsToTheOtherEnd) {
  Ui::TGL& ui = *GL->ui;
  GL->FormMouseMove(100, 100, true);  // first move only records the position
  EXPECT_EQ(ui.ScrollBar1->value(), 4500);
  GL->FormMouseMove(110, 97, true);
  EXPECT_EQ(ui.ScrollBar1->value(), 5500);
  EXPECT_EQ(ui.ScrollBar2->value(), 31200);
  EXPECT_EQ(ui.ScrollBar3->value(), 0);

  ui.ScrollBar1->setValue(35900);
  ui.ScrollBar2->setValue(200);
  GL->FormMouseMove(113, 92, true);          // 3 right, 5 up
  EXPECT_EQ(ui.ScrollBar1->value(), 0);      // 36200 jumps to 0, not 200
  EXPECT_EQ(ui.ScrollBar2->value(), 36000);  // -300 jumps to 36000

  GL->FormMouseMove(200, 200, false);  // Shift released: the next Shift move starts afresh
  EXPECT_FALSE(GL->View.DragActive);
  GL->FormMouseMove(300, 300, true);
  EXPECT_EQ(ui.ScrollBar1->value(), 0);
  EXPECT_EQ(GL->View.LastMouseX, 300);
}

TEST_F(ViewCommandsTest, MouseTurnsWithTheLeftButtonPansWithTheMiddleAndZoomsAboutThePointer) {
  QWidget* area = GL->ui->ClientArea;
  qor::AddNode(GL->Model, 0, 0, 0);
  qor::AddNode(GL->Model, 10, 5, 0);
  GL->BzgoryClick();             // angles 0
  auto centre = [&](int node) {  // of a node's marker, painted at the drawing surface's size
    RecordingCanvas canvas(area->width(), area->height(), GL->ToolBarHeight());
    GL->FormPaint(canvas);
    int x1, y1, x2, y2;
    std::sscanf(canvas.Only("ellipse").at(node - 1).c_str(), "ellipse %d,%d,%d,%d", &x1, &y1, &x2, &y2);
    return std::pair{(x1 + x2) / 2, (y1 + y2) / 2};
  };
  auto mouse = [&](QEvent::Type type, int x, int y, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(x, y), area->mapToGlobal(QPointF(x, y)), button, held, Qt::NoModifier);
    QApplication::sendEvent(area, &event);
  };
  const auto [x1, y1] = centre(1);
  const auto [x2, y2] = centre(2);
  // Two notches forward about (200, 150): a point p goes to (200, 150) + 1.25² × (p − (200, 150)).
  QWheelEvent wheel(QPointF(200, 150), QPointF(), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(area, &wheel);
  EXPECT_FLOAT_EQ(GL->View.ZoomFactor, 1.5625f);
  EXPECT_NEAR(centre(1).first, 200 + 1.5625 * (x1 - 200), 1.5);
  EXPECT_NEAR(centre(2).second, 150 + 1.5625 * (y2 - 150), 1.5);
  // A middle double click fits the whole model again; a middle drag moves it with the pointer.
  mouse(QEvent::MouseButtonDblClick, 50, 50, Qt::MiddleButton, Qt::MiddleButton);
  EXPECT_EQ(centre(2), std::pair(x2, y2));
  mouse(QEvent::MouseButtonPress, 300, 300, Qt::MiddleButton, Qt::MiddleButton);
  mouse(QEvent::MouseMove, 330, 290, Qt::NoButton, Qt::MiddleButton);
  EXPECT_EQ(centre(1), std::pair(x1 + 30, y1 - 10));
  // A left-button drag turns by the Shift rule from the first move on, and ends with the button.
  mouse(QEvent::MouseButtonPress, 100, 100, Qt::LeftButton, Qt::LeftButton);
  mouse(QEvent::MouseMove, 110, 103, Qt::NoButton, Qt::LeftButton);
  mouse(QEvent::MouseMove, 150, 150, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(GL->ui->ScrollBar1->value(), 1000);
  EXPECT_EQ(GL->ui->ScrollBar2->value(), 300);
  EXPECT_FALSE(GL->View.DragActive);
}

TEST_F(ViewCommandsTest, StandardViewsSetTheBarsAndPressTheirButton) {
  Ui::TGL& ui = *GL->ui;
  struct View {
    void (TGL::*command)();
    QToolButton* button;
    int p1, p2, p3;
  };
  const View views[] = {{&TGL::Zprzodu1Click, ui.Bzprzodu, 27000, 0, 0},
                        {&TGL::BzgoryClick, ui.Bzgory, 0, 0, 0},
                        {&TGL::BzlewaClick, ui.Bzlewa, 0, 0, 27000},
                        {&TGL::BIzometriaClick, ui.BIzometria, 4500, 31500, 0}};
  for (const View& v : views) {
    (GL->*v.command)();
    EXPECT_EQ(ui.ScrollBar1->value(), v.p1);
    EXPECT_EQ(ui.ScrollBar2->value(), v.p2);
    EXPECT_EQ(ui.ScrollBar3->value(), v.p3);
    EXPECT_EQ(GL->ViewButtons->checkedButton(), v.button);
  }
  // The menu items run the same commands.
  ui.Zboku1->trigger();
  EXPECT_EQ(GL->ViewButtons->checkedButton(), ui.Bzlewa);
  // Any change of a bar gives the isometric button back.
  ui.ScrollBar2->setValue(100);
  EXPECT_EQ(GL->ViewButtons->checkedButton(), ui.BIzometria);
}

TEST_F(ViewCommandsTest, PaintTakesTheAnglesFromTheBars) {
  GL->BzlewaClick();
  Paint();
  EXPECT_FLOAT_EQ(GL->View.ViewAngleX, 0);
  EXPECT_FLOAT_EQ(GL->View.ViewAngleY, 0);
  EXPECT_FLOAT_EQ(GL->View.ViewAngleZ, 270);
  // Seen from the side the model's x axis points down the screen: node 1 at
  // the top (y = 31 + 30), node 2 at the bottom (y = 480 − 20).
  qor::AddNode(GL->Model, 0, 0, 0);
  qor::AddNode(GL->Model, 10, 0, 0);
  const auto calls = Paint();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "ellipse 8,59,12,63"), calls.end());
  EXPECT_NE(std::find(calls.begin(), calls.end(), "ellipse 8,458,12,462"), calls.end());
}

TEST_F(ViewCommandsTest, StressItemsExcludeOneAnother) {
  Ui::TGL& ui = *GL->ui;
  GL->NHClick();
  EXPECT_TRUE(ui.NH->isChecked());
  EXPECT_EQ(GL->View.StressComponent, 7);
  GL->NXClick();
  EXPECT_FALSE(ui.NH->isChecked());
  EXPECT_TRUE(ui.NX->isChecked());
  EXPECT_EQ(GL->View.StressComponent, 1);
  GL->NXClick();  // again: the map is off, the kind stays
  for (QAction* item : {ui.NH, ui.NX, ui.NY, ui.NZ, ui.NXY, ui.NYZ, ui.NXZ}) EXPECT_FALSE(item->isChecked());
  EXPECT_EQ(GL->View.StressComponent, 1);
  const std::pair<void (TGL::*)(), int> codes[] = {
      {&TGL::NYClick, 2}, {&TGL::NZClick, 3}, {&TGL::NXYClick, 6}, {&TGL::NYZClick, 4}, {&TGL::NXZClick, 5}};
  for (const auto& [command, code] : codes) {
    (GL->*command)();
    EXPECT_EQ(GL->View.StressComponent, code);
  }
  ui.NH->trigger();  // through the menu
  EXPECT_TRUE(ui.NH->isChecked());
  EXPECT_FALSE(ui.NXZ->isChecked());
}

TEST_F(ViewCommandsTest, HiddenLinesItemAndButtonAlwaysAgree) {
  Ui::TGL& ui = *GL->ui;
  GL->Hide1Click();
  EXPECT_TRUE(ui.Hide1->isChecked());
  EXPECT_TRUE(ui.UKRB->isChecked());
  ui.UKRB->click();
  EXPECT_FALSE(ui.UKRB->isChecked());
  EXPECT_FALSE(ui.Hide1->isChecked());
  ui.Hide1->trigger();
  EXPECT_TRUE(ui.Hide1->isChecked());
  EXPECT_TRUE(ui.UKRB->isChecked());
}

TEST_F(ViewCommandsTest, TogglesFlipTheirCheckMarks) {
  Ui::TGL& ui = *GL->ui;
  for (auto [command, item] : {std::pair{&TGL::ADOKClick, ui.ADOK}, std::pair{&TGL::Nr_ELEClick, ui.Nr_ELE},
                               std::pair{&TGL::Nr_wezClick, ui.Nr_wez}, std::pair{&TGL::PrzemClick, ui.Przem}}) {
    (GL->*command)();
    EXPECT_TRUE(item->isChecked()) << item->text().toStdString();
    (GL->*command)();
    EXPECT_FALSE(item->isChecked()) << item->text().toStdString();
  }
}

TEST_F(ViewCommandsTest, ZoomScalesThePictureAboutTheMiddleAndOutlivesRotation) {
  qor::AddNode(GL->Model, 0, 0, 0);
  qor::AddNode(GL->Model, 10, 5, 0);
  GL->BzgoryClick();  // angles 0: the nodes at (10, 460) and (630, 150)
  auto markers = [this] {
    std::vector<std::string> ellipses;
    for (const std::string& call : Paint())
      if (call.rfind("ellipse", 0) == 0) ellipses.push_back(call);
    return ellipses;
  };
  EXPECT_EQ(markers(), (std::vector<std::string>{"ellipse 8,458,12,462", "ellipse 628,148,632,152"}));
  // Twice 2 about (320, 260.5), the middle of the area the fit fills.
  GL->ui->Powiksz1->trigger();
  GL->Powiksz1Click();
  EXPECT_EQ(GL->View.ZoomFactor, 4);
  EXPECT_EQ(markers(), (std::vector<std::string>{"ellipse -922,1056,-918,1060", "ellipse 1558,-183,1562,-179"}));
  GL->ui->ScrollBar3->setValue(100);  // rotation keeps the zoom
  markers();
  EXPECT_EQ(GL->View.ZoomFactor, 4);
  GL->BzgoryClick();
  GL->Pomniejsz1Click();
  GL->ui->Pomniejsz1->trigger();
  EXPECT_EQ(markers(), (std::vector<std::string>{"ellipse 8,458,12,462", "ellipse 628,148,632,152"}));
  GL->View.ZoomFactor = 1e-45f;  // the smallest float: halving gives 0
  GL->Pomniejsz1Click();
  EXPECT_EQ(GL->View.ZoomFactor, 1.0f);
  // The pan moves the fitted picture.
  GL->BlewoClick();
  GL->BdolClick();
  EXPECT_EQ(GL->View.PanX, -10);
  EXPECT_EQ(GL->View.PanY, 10);
  EXPECT_EQ(markers(), (std::vector<std::string>{"ellipse -2,468,2,472", "ellipse 618,158,622,162"}));

  // The declared scale offers the current factor and takes a new one.
  const char sep = TGL::DecimalSeparator();
  GL->Powiksz1Click();
  prompts.AnswerInput(std::string("0") + sep + "5");
  GL->ui->Zadeklarukskale1->trigger();
  ASSERT_EQ(prompts.queries.size(), 1u);
  EXPECT_EQ(prompts.queries[0].caption, "Deklaracja skali");
  EXPECT_EQ(prompts.queries[0].prompt, "Podaj skalę : ");
  EXPECT_EQ(prompts.queries[0].initial, "2");
  EXPECT_EQ(GL->View.ZoomFactor, 0.5f);
  EXPECT_EQ(markers(), (std::vector<std::string>{"ellipse 163,358,167,362", "ellipse 473,203,477,207"}));

  // Not a number, zero or below: kept, silently; the box offers the shortest text.
  for (const std::string bad : {"dwa", "0", "-2"}) {
    prompts.AnswerInput(bad);
    GL->Zadeklarukskale1Click();
    EXPECT_EQ(prompts.queries.back().initial, std::string("0") + sep + "5");
    EXPECT_EQ(GL->View.ZoomFactor, 0.5f) << bad;
  }
  prompts.AnswerInput(std::string("0") + sep + "1");
  GL->Zadeklarukskale1Click();
  GL->Zadeklarukskale1Click();  // cancelled
  EXPECT_EQ(prompts.queries.back().initial, std::string("0") + sep + "1");
  EXPECT_EQ(GL->View.ZoomFactor, 0.1f);
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_TRUE(prompts.plainMessages.empty());
}

TEST_F(ViewCommandsTest, TheDisplacementItemPaintsAgainLikeEveryOtherSwitch) {
  GL->show();
  QApplication::processEvents();
  struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) ++paints;
      return false;
    }
  } counter;
  GL->ui->ClientArea->installEventFilter(&counter);
  GL->PrzemClick();
  QApplication::processEvents();
  EXPECT_GT(counter.paints, 0);
  counter.paints = 0;
  GL->Nr_wezClick();  // any other switch paints again
  QApplication::processEvents();
  EXPECT_GT(counter.paints, 0);
  GL->hide();
}

TEST_F(ViewCommandsTest, PaintReadsTheSwitchesOfTheMenu) {
  qor::AddDividedBox(GL->Model, 0, 0, 0, 3, 2, 1, 1, 1, 1);
  auto count = [](const std::vector<std::string>& calls, const std::string& prefix) {
    return std::count_if(calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
  };
  auto calls = Paint();
  EXPECT_EQ(count(calls, "text"), 3);  // axes labels
  EXPECT_EQ(count(calls, "polygon"), 0);
  GL->Nr_wezClick();
  GL->Nr_ELEClick();
  calls = Paint();
  EXPECT_EQ(count(calls, "text"), 3 + 8 + 6);
  GL->ui->Numerymateriaw1->trigger();
  EXPECT_TRUE(GL->ui->Numerymateriaw1->isChecked());
  calls = Paint();
  EXPECT_EQ(count(calls, "text"), 3 + 8 + 6 + 6);
  EXPECT_EQ(count(calls, "font 128,64,0"), 6);  // one material number per element
  GL->ui->Numerymateriaw1->trigger();
  GL->Hide1Click();
  calls = Paint();
  EXPECT_EQ(count(calls, "text"), 3 + 8);  // no element numbers on faces
  EXPECT_EQ(count(calls, "polygon"), 12);

  GL->Hide1Click();
  GL->NHClick();
  GL->Model.ResultsValid = 1;
  for (int e = 1; e <= 6; ++e) GL->Model.Stresses[e][qor::Reduced] = static_cast<float>(e);
  calls = Paint();
  EXPECT_EQ(count(calls, "polygon"), 12 + 201);
  EXPECT_EQ(calls.back(), std::string("text 565,463 6") + TGL::DecimalSeparator() + "00");
}

TEST_F(ViewCommandsTest, ExactOrderSwitchesItselfOffForALargeModel) {
  qor::AddDividedBox(GL->Model, 0, 0, 0, 1, 1, 1, 7, 6, 1);  // 252 elements
  GL->Hide1Click();
  GL->ADOKClick();
  Paint();
  EXPECT_FALSE(GL->ui->ADOK->isChecked());
  EXPECT_EQ(prompts.busyCursor, (std::vector<bool>{true, false}));
  Paint();
  EXPECT_EQ(prompts.busyCursor.size(), 2u);  // the depth order directly

  qor::ClearModel(GL->Model);  // small again: the exact order runs while checked
  qor::AddDividedBox(GL->Model, 0, 0, 0, 1, 1, 1, 1, 1, 1);
  GL->ADOKClick();
  Paint();
  EXPECT_TRUE(GL->ui->ADOK->isChecked());
  EXPECT_EQ(prompts.busyCursor.size(), 4u);
}

}  // namespace
