#include "Gl3d.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>
#include <QStyle>
#include <QWheelEvent>

#include "BuildDialog.h"
#include "Element.h"
#include "Pomoc.h"
#include "Wezel.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtPrompts.h"
#include "ui_Gl3d.h"
#include "view/ColourMap.h"

using namespace qor;

TGL::TGL(QWidget* parent)
    : QMainWindow(parent), ui(new Ui::TGL), qtPrompts_(std::make_unique<QtPrompts>(this)), prompts_(qtPrompts_.get()) {
  ui->setupUi(this);
  setAttribute(Qt::WA_QuitOnClose, true);

  ImportGiD = {"Siatka GiD|*.*", "Siatka z GiD (GiD mesh)", ""};
  ImportGmsh = {"Siatka Gmsh|*.msh|Wszystkie pliki|*.*", "Siatka z Gmsh (Gmsh mesh)", ""};
  ZapiszD = {"QOR 3D |*.q3d|Wszystki pliki|*.*", "Zapis danych QOR 3D", "*.q3d"};
  EksportVtkD = {"VTK|*.vtu", "Eksport wyników do VTK", "vtu"};
  EksportCsvD = {"CSV|*.csv", "Eksport wyników do CSV", "csv"};
  ObrazD = {"PNG|*.png", "Zapisz obraz", "png"};
  Wezel = new TWezel(this);
  Elem = new TElement(this);
  Pomoc = new TPomoc(this);

  // The client area is the drawing surface; the tool bar and the scroll bars
  // lie on top of it.
  QPalette palette = ui->ClientArea->palette();
  palette.setColor(QPalette::Window, Qt::white);
  ui->ClientArea->setPalette(palette);
  // The window's own background is white; the paint procedure draws over it.
  ui->ClientArea->setAutoFillBackground(true);
  ui->ClientArea->installEventFilter(this);
  ui->ClientArea->setMouseTracking(true);
  ui->CB->setBackgroundRole(QPalette::Button);

  for (QToolButton* button : {ui->SpeedButton4, ui->SpeedButton5, ui->Bdol, ui->Bgora, ui->SpeedButton10, ui->Bprawo}) {
    button->setEnabled(false);
    button->setVisible(false);
  }
  ui->UKRB->setCheckable(true);
  ViewButtons = new QButtonGroup(this);
  ViewButtons->setExclusive(true);
  for (QToolButton* button : {ui->Bzprzodu, ui->Bzlewa, ui->Bzgory, ui->BIzometria}) {
    button->setCheckable(true);
    ViewButtons->addButton(button);
  }
  DrawToolButtonGlyphs();

  // Window construction: the isometric view, set before any handler is bound.
  ui->ScrollBar1->setValue(4500);
  ui->ScrollBar2->setValue(31500);
  ui->ScrollBar3->setValue(0);
  ui->BIzometria->setChecked(true);

  ConnectCommands();
  FormCreate();
  unchangedModel_ = std::make_unique<ModelStore>();
  MarkModelUnchanged();
}

TGL::~TGL() { delete ui; }

void TGL::FormCreate() {
  FillBandColours(View.BandColours);
  Model.ResultsValid = 0;
  Model.NodeCount = 0;
  Model.ElementCount = 0;
  Model.DofCount = 0;
  Model.SupportCount = 0;
  Model.MaterialCount = 0;
  View.ViewOffsetX = 0;
  View.ViewOffsetY = 0;
  View.ViewOffsetZ = 0;
  View.ZoomFactor = 1.0f;
  View.PanX = 0;
  View.PanY = 0;
  resize(width(), 480);
  resize(640, height());
}

void TGL::ConnectCommands() {
  // A checkable menu item toggles itself before it reports the click; the
  // handlers invert their own check marks, so the automatic toggle is undone.
  auto bind = [this](QAction* action, void (TGL::*handler)()) {
    if (action->isCheckable()) {
      connect(action, &QAction::triggered, this, [this, action, handler](bool checked) {
        const QSignalBlocker blocker(action);
        action->setChecked(!checked);
        (this->*handler)();
      });
    } else {
      connect(action, &QAction::triggered, this, handler);
    }
  };
  bind(ui->Nowy1, &TGL::Nowy1Click);
  bind(ui->Otwrz1, &TGL::Otwrz1Click);
  bind(ui->Zapisz1, &TGL::Zapisz1Click);
  bind(ui->Zamknij1, &TGL::Zamknij1Click);
  bind(ui->Import1, &TGL::Import1Click);
  bind(ui->ImportGmsh1, &TGL::ImportGmsh1Click);
  bind(ui->EksportVtk1, &TGL::EksportVtk1Click);
  bind(ui->EksportCsv1, &TGL::EksportCsv1Click);
  bind(ui->ZapiszObraz1, &TGL::ZapiszObraz1Click);
  bind(ui->Koniec1, &TGL::Koniec1Click);
  bind(ui->Wzel1, &TGL::Wzel1Click);
  bind(ui->Element2, &TGL::Element2Click);
  bind(ui->d_mat, &TGL::d_matClick);
  bind(ui->d_sile, &TGL::d_sileClick);
  bind(ui->d_podp, &TGL::d_podpClick);
  bind(ui->d_prostop, &TGL::d_prostopClick);
  bind(ui->d_szesc, &TGL::d_szescClick);
  bind(ui->d_prostd, &TGL::d_prostdClick);
  bind(ui->Wze1, &TGL::Wze1Click);
  bind(ui->Element1, &TGL::Element1Click);
  bind(ui->Si1, &TGL::Si1Click);
  bind(ui->Podpor1, &TGL::Podpor1Click);
  bind(ui->Podwjnewzy1, &TGL::Podwjnewzy1Click);
  bind(ui->Wolnewzy1, &TGL::Wolnewzy1Click);
  bind(ui->Oblicz2, &TGL::Oblicz2Click);
  bind(ui->Statystyka1, &TGL::Statystyka1Click);
  bind(ui->Daneobliczneniowe1, &TGL::Daneobliczneniowe1Click);
  bind(ui->Wynikioblicze1, &TGL::Wynikioblicze1Click);
  bind(ui->Gsto1, &TGL::Gsto1Click);
  bind(ui->Powiksz1, &TGL::Powiksz1Click);
  bind(ui->Pomniejsz1, &TGL::Pomniejsz1Click);
  bind(ui->Zadeklarukskale1, &TGL::Zadeklarukskale1Click);
  bind(ui->Hide1, &TGL::Hide1Click);
  bind(ui->ADOK, &TGL::ADOKClick);
  bind(ui->NH, &TGL::NHClick);
  bind(ui->NX, &TGL::NXClick);
  bind(ui->NY, &TGL::NYClick);
  bind(ui->NZ, &TGL::NZClick);
  bind(ui->NXY, &TGL::NXYClick);
  bind(ui->NYZ, &TGL::NYZClick);
  bind(ui->NXZ, &TGL::NXZClick);
  bind(ui->Przem, &TGL::PrzemClick);
  bind(ui->Nr_ELE, &TGL::Nr_ELEClick);
  bind(ui->Nr_wez, &TGL::Nr_wezClick);
  bind(ui->Zprzodu1, &TGL::Zprzodu1Click);
  bind(ui->Zgry1, &TGL::BzgoryClick);
  bind(ui->Zboku1, &TGL::BzlewaClick);
  bind(ui->Izometria1, &TGL::BIzometriaClick);
  bind(ui->Pomoc2, &TGL::Pomoc2Click);
  bind(ui->Oprogramie1, &TGL::Oprogramie1Click);
  bind(ui->Numerymateriaw1, &TGL::Numerymateriaw1Click);

  connect(ui->SpeedButton3, &QToolButton::clicked, this, &TGL::Nowy1Click);
  connect(ui->SpeedButton6, &QToolButton::clicked, this, &TGL::Otwrz1Click);
  connect(ui->SpeedButton7, &QToolButton::clicked, this, &TGL::Zapisz1Click);
  connect(ui->UKRB, &QToolButton::clicked, this, &TGL::UKRBClick);
  connect(ui->SpeedButton4, &QToolButton::clicked, this, &TGL::Powiksz1Click);
  connect(ui->SpeedButton5, &QToolButton::clicked, this, &TGL::Pomniejsz1Click);
  connect(ui->Bdol, &QToolButton::clicked, this, &TGL::BdolClick);
  connect(ui->Bgora, &QToolButton::clicked, this, &TGL::BgoraClick);
  connect(ui->SpeedButton10, &QToolButton::clicked, this, &TGL::BlewoClick);
  connect(ui->Bprawo, &QToolButton::clicked, this, &TGL::BprawoClick);
  connect(ui->Bzprzodu, &QToolButton::clicked, this, &TGL::Zprzodu1Click);
  connect(ui->Bzlewa, &QToolButton::clicked, this, &TGL::BzlewaClick);
  connect(ui->Bzgory, &QToolButton::clicked, this, &TGL::BzgoryClick);
  connect(ui->BIzometria, &QToolButton::clicked, this, &TGL::BIzometriaClick);

  connect(ui->ScrollBar1, &QScrollBar::valueChanged, this, &TGL::ScrollBar1Change);
  connect(ui->ScrollBar2, &QScrollBar::valueChanged, this, &TGL::ScrollBar2Change);
  connect(ui->ScrollBar3, &QScrollBar::valueChanged, this, &TGL::ScrollBar3Change);
}

void TGL::SetPrompts(Prompts* prompts) { prompts_ = prompts ? prompts : qtPrompts_.get(); }

void TGL::Repaint() { ui->ClientArea->update(); }

int TGL::ToolBarHeight() const { return ui->CB->height(); }

// One source for the whole program, which tests can set to either separator.
char TGL::DecimalSeparator() { return DialogDecimalSeparator(); }

bool TGL::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui->ClientArea) {
    if (event->type() == QEvent::Paint) {
      // The picture is drawn into an image on the window's white background
      // and then shown at once: no flicker, and thin lines are set directly.
      const qreal ratio = ui->ClientArea->devicePixelRatioF();
      QImage picture(ui->ClientArea->size() * ratio, QImage::Format_RGB32);
      picture.setDevicePixelRatio(ratio);
      DrawPicture(picture);
      QPainter(ui->ClientArea).drawImage(0, 0, picture);
      return true;
    }
    if (event->type() == QEvent::MouseMove) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const QPoint p = mouse->position().toPoint();
      FormMouseMove(p.x(), p.y(), mouse->modifiers().testFlag(Qt::ShiftModifier),
                    mouse->buttons().testFlag(Qt::LeftButton), mouse->buttons().testFlag(Qt::MiddleButton));
      return false;
    }
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const QPoint p = mouse->position().toPoint();
      if (event->type() == QEvent::MouseButtonDblClick && mouse->button() == Qt::MiddleButton)
        FitAll();
      else
        FormMouseDown(p.x(), p.y(), mouse->button() == Qt::LeftButton, mouse->button() == Qt::MiddleButton);
      return false;
    }
    if (event->type() == QEvent::Wheel) {
      auto* wheel = static_cast<QWheelEvent*>(event);
      const QPoint p = wheel->position().toPoint();
      FormMouseWheel(p.x(), p.y(), wheel->angleDelta().y());
      return true;
    }
    if (event->type() == QEvent::Resize) {
      ui->CB->setGeometry(0, 0, ui->ClientArea->width(), ui->CB->height());
      return false;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TGL::DrawPicture(QImage& picture) {
  picture.fill(Qt::white);
  QPainter painter(&picture);
  // The view writes its numbers and letters in the window's font.
  painter.setFont(ui->ClientArea->font());
  const QSize size = picture.deviceIndependentSize().toSize();
  QtCanvas canvas(painter, size.width(), size.height(), ToolBarHeight());
  FormPaint(canvas);
}

void TGL::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  Repaint();
}

void TGL::Nowy1Click() {
  if (!MayDiscardModel()) return;
  ClearModel(Model);
  MarkModelUnchanged();
  View.FitScaleX = 1.0f;
  View.FitScaleY = 1.0f;
  View.PanX = 0;
  View.PanY = 0;
  View.ZoomFactor = 1.0f;
  Repaint();
}

void TGL::Zamknij1Click() {
  if (!MayDiscardModel()) return;
  ClearModel(Model);
  MarkModelUnchanged();
  Repaint();
}

void TGL::Koniec1Click() {
  if (!MayDiscardModel()) return;
  leaving_ = true;
  QApplication::quit();
}

void TGL::closeEvent(QCloseEvent* event) {
  if (leaving_ || MayDiscardModel()) {
    leaving_ = true;
    event->accept();
  } else {
    event->ignore();
  }
}

void TGL::Pomoc2Click() { prompts().ShowModal(*Pomoc); }

void TGL::Oprogramie1Click() {
  prompts().MessageBox(
      {"QOR 3D - statyczna analiza liniowo-sprężysta brył metodą elementów skończonych, 2000\n"
       "Dokładny algorytm ukrywania ścian czworościanów, 2000\n",
       "O programie...", MessageStyle::Plain});
}

// Simple pictograms for the tool buttons, drawn once at start-up.
void TGL::DrawToolButtonGlyphs() {
  QStyle* s = style();
  ui->SpeedButton3->setIcon(s->standardIcon(QStyle::SP_FileIcon));
  ui->SpeedButton6->setIcon(s->standardIcon(QStyle::SP_DialogOpenButton));
  ui->SpeedButton7->setIcon(s->standardIcon(QStyle::SP_DialogSaveButton));

  auto glyph = [](const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(18, 18);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.2));
    draw(p);
    return QIcon(pixmap);
  };
  // Front: the x-z face; side: the y-z face; top: the x-y face; isometric: a cube.
  ui->Bzprzodu->setIcon(glyph([](QPainter& p) {
    p.setBrush(QColor(120, 160, 230));
    p.drawRect(3, 3, 12, 12);
  }));
  ui->Bzlewa->setIcon(glyph([](QPainter& p) {
    p.setBrush(QColor(230, 160, 120));
    p.drawRect(6, 2, 7, 14);
  }));
  ui->Bzgory->setIcon(glyph([](QPainter& p) {
    p.setBrush(QColor(140, 210, 140));
    p.drawRect(2, 6, 14, 7);
  }));
  ui->BIzometria->setIcon(glyph([](QPainter& p) {
    QPainterPath top;
    top.moveTo(9, 2);
    top.lineTo(16, 5);
    top.lineTo(9, 8);
    top.lineTo(2, 5);
    top.closeSubpath();
    p.setBrush(QColor(140, 210, 140));
    p.drawPath(top);
    p.setBrush(QColor(120, 160, 230));
    p.drawPolygon(QPolygonF({QPointF(2, 5), QPointF(9, 8), QPointF(9, 16), QPointF(2, 13)}));
    p.setBrush(QColor(230, 160, 120));
    p.drawPolygon(QPolygonF({QPointF(9, 8), QPointF(16, 5), QPointF(16, 13), QPointF(9, 16)}));
  }));
}
