#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QFontInfo>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Daneobl.h"
#include "Dp1.h"
#include "Ds1.h"
#include "Element.h"
#include "Gl3d.h"
#include "Globals.h"
#include "Mater.h"
#include "Pomoc.h"
#include "Prostop1.h"
#include "Prostop2.h"
#include "Prostop3.h"
#include "Stat.h"
#include "Wezel.h"
#include "Wynobl.h"
#include "build/Generators.h"
#include "build/Loads.h"
#include "platform/qt/Application.h"
#include "platform/qt/QtPrompts.h"
#include "support/ScriptedPrompts.h"
#include "ui_Gl3d.h"
#include "view/BlockModel.h"

namespace {

using qor::MessageStyle;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateWindows();
    GL->SetPrompts(&prompts);
  }
  void TearDown() override { DestroyWindows(); }
  qor::ScriptedPrompts prompts;
};

// One line per menu entry: "caption" or "caption\tshortcut", "-" for a
// separator, submenus indented by two blanks.
void Describe(const QMenu* menu, const QString& indent, QStringList& lines) {
  for (QAction* action : menu->actions()) {
    if (action->isSeparator()) {
      lines << indent + "-";
      continue;
    }
    QString line = indent + action->text();
    if (!action->shortcut().isEmpty()) line += "\t" + action->shortcut().toString();
    lines << line;
    if (action->menu()) Describe(action->menu(), indent + "  ", lines);
  }
}

TEST_F(MainWindowTest, MenuTreeMatchesTheTable) {
  QStringList lines;
  for (QAction* top : GL->menuBar()->actions()) {
    lines << top->text();
    Describe(top->menu(), "  ", lines);
  }
  const QStringList expected = {"&Plik",
                                "  &Nowy",
                                "  &Otwórz\tCtrl+O",
                                "  &Zapisz\tCtrl+S",
                                "  Zam&knij",
                                "  -",
                                "  Import siatki z &GiD",
                                "  Import siatki z G&msh",
                                "  -",
                                "  Eksport wyników do &VTK...",
                                "  Eksport wyników do &CSV...",
                                "  Zapisz o&braz...",
                                "  -",
                                "  &Koniec\tCtrl+X",
                                "&Dodaj",
                                "  &Węzeł",
                                "  &Element",
                                "  &Materiał",
                                "  &Siłę",
                                "  Po&dporę",
                                "  -",
                                "  &Prostopadłościan",
                                "  &Sześciościan",
                                "  Prostopadłościan &dzielony",
                                "&Usuń",
                                "  &Węzeł",
                                "  &Element",
                                "  &Siłę",
                                "  &Podporę",
                                "  -",
                                "  &Podwójne węzły",
                                "  W&olne węzły",
                                "&Obliczenia",
                                "  &Oblicz",
                                "  -",
                                "  &Statystyka",
                                "  -",
                                "  &Dane obliczneniowe",
                                "  &Wyniki obliczeń",
                                "&Widok",
                                "  &Powiększ",
                                "  P&omniejsz",
                                "  Zadeklaruj &skale",
                                "  -",
                                "  &Ukrywanie linii niewidocznych\tCtrl+H",
                                "  &Algorytm dokładny ukrywania ścian",
                                "  -",
                                "  &Naprężenia",
                                "    hip. &Hubera",
                                "    sigma x",
                                "    sigma y",
                                "    sigma z",
                                "    tau xy",
                                "    tau yz",
                                "    tau xz",
                                "  &Przemieszczenia",
                                "  -",
                                "  Numery &elementów",
                                "  Numery &węzłów",
                                "  Numery &materiałów",
                                "  -",
                                "  Z &przodu",
                                "  Z &góry",
                                "  Z &boku",
                                "  &Izometria",
                                "  -",
                                "  &Gęstości z pliku",
                                "&Pomoc",
                                "  &Pomoc",
                                "  -",
                                "  &O programie..."};
  EXPECT_EQ(lines, expected);
}

TEST_F(MainWindowTest, CheckableItemsStartUnchecked) {
  for (QAction* action : {GL->ui->Hide1, GL->ui->ADOK, GL->ui->NH, GL->ui->NX, GL->ui->NY, GL->ui->NZ, GL->ui->NXY,
                          GL->ui->NYZ, GL->ui->NXZ, GL->ui->Przem, GL->ui->Nr_ELE, GL->ui->Nr_wez, GL->ui->Gsto1}) {
    EXPECT_TRUE(action->isCheckable()) << action->text().toStdString();
    EXPECT_FALSE(action->isChecked()) << action->text().toStdString();
  }
}

TEST_F(MainWindowTest, StartsAsAnEmptyIsometricWindow) {
  EXPECT_EQ(GL->windowTitle(), QStringLiteral("QOR 3D"));
  EXPECT_EQ(GL->width(), 640);
  EXPECT_EQ(GL->height(), 480);
  EXPECT_EQ(GL->Model.NodeCount, 0);
  EXPECT_EQ(GL->Model.ElementCount, 0);
  EXPECT_EQ(GL->ui->ScrollBar1->value(), 4500);
  EXPECT_EQ(GL->ui->ScrollBar2->value(), 31500);
  EXPECT_EQ(GL->ui->ScrollBar3->value(), 0);
  for (QScrollBar* bar : {GL->ui->ScrollBar1, GL->ui->ScrollBar2, GL->ui->ScrollBar3}) {
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 36000);
    EXPECT_EQ(bar->singleStep(), 5000);
    EXPECT_EQ(bar->pageStep(), 1250);
    EXPECT_EQ(bar->y(), 32);
  }
  EXPECT_EQ(GL->ui->ScrollBar1->x(), 0);
  EXPECT_EQ(GL->ui->ScrollBar3->x(), 144);
  EXPECT_EQ(GL->ui->ScrollBar2->x(), 288);
  EXPECT_EQ(GL->ImportGiD.filter, "Siatka GiD|*.*");
  EXPECT_EQ(GL->ImportGiD.title, "Siatka z GiD (GiD mesh)");
  EXPECT_EQ(GL->ZapiszD.filter, "QOR 3D |*.q3d|Wszystki pliki|*.*");
  EXPECT_EQ(GL->ZapiszD.title, "Zapis danych QOR 3D");
  EXPECT_EQ(GL->ZapiszD.defaultExtension, "*.q3d");
}

TEST_F(MainWindowTest, ToolButtonsStandWhereAndAsTheFormSays) {
  struct Expected {
    QToolButton* button;
    int x;
    bool shown;
  };
  const Ui::TGL& ui = *GL->ui;
  const Expected buttons[] = {{ui.SpeedButton3, 8, true},    {ui.SpeedButton6, 32, true},
                              {ui.SpeedButton7, 56, true},   {ui.UKRB, 88, true},
                              {ui.SpeedButton2, 112, true},  {ui.SpeedButton4, 144, false},
                              {ui.SpeedButton5, 168, false}, {ui.Bdol, 200, false},
                              {ui.Bgora, 224, false},        {ui.SpeedButton10, 248, false},
                              {ui.Bprawo, 272, false},       {ui.Bzprzodu, 304, true},
                              {ui.Bzlewa, 328, true},        {ui.Bzgory, 352, true},
                              {ui.BIzometria, 376, true}};
  for (const Expected& e : buttons) {
    EXPECT_EQ(e.button->x(), e.x) << e.button->objectName().toStdString();
    EXPECT_EQ(e.button->size(), QSize(25, 25)) << e.button->objectName().toStdString();
    EXPECT_EQ(e.button->isEnabled(), e.shown) << e.button->objectName().toStdString();
    EXPECT_EQ(e.button->isVisibleTo(GL), e.shown) << e.button->objectName().toStdString();
  }
  EXPECT_EQ(ui.UKRB->text(), QStringLiteral("H"));
  EXPECT_TRUE(ui.UKRB->isCheckable());
  EXPECT_FALSE(ui.UKRB->isChecked());
  EXPECT_TRUE(ui.BIzometria->isChecked());
  EXPECT_TRUE(GL->ViewButtons->exclusive());
  EXPECT_EQ(GL->ViewButtons->buttons().size(), 4);
  EXPECT_EQ(GL->ViewButtons->checkedButton(), ui.BIzometria);
  EXPECT_EQ(ui.CB->height(), 31);
}

TEST_F(MainWindowTest, NewResetsZoomPanAndFitWhileCloseLeavesThem) {
  auto spoilView = [] {
    GL->View.ZoomFactor = 4.0f;
    GL->View.PanX = 30;
    GL->View.PanY = -20;
    GL->View.FitScaleX = 62;
    GL->View.FitScaleY = 62;
    GL->Model.NodeCount = 3;
    GL->Model.ElementCount = 1;
    GL->Model.MaterialCount = 1;
    GL->Model.SupportCount = 2;
    GL->Model.ResultsValid = 1;
    GL->Model.DofCount = 9;
  };
  spoilView();
  GL->Zamknij1Click();
  EXPECT_EQ(GL->Model.NodeCount, 0);
  EXPECT_EQ(GL->Model.ElementCount, 0);
  EXPECT_EQ(GL->Model.MaterialCount, 0);
  EXPECT_EQ(GL->Model.SupportCount, 0);
  EXPECT_EQ(GL->Model.ResultsValid, 0);
  EXPECT_EQ(GL->Model.DofCount, 9);
  EXPECT_EQ(GL->View.ZoomFactor, 4.0f);
  EXPECT_EQ(GL->View.PanX, 30.0f);
  EXPECT_EQ(GL->View.FitScaleX, 62.0f);

  spoilView();
  GL->ui->Nowy1->trigger();
  EXPECT_EQ(GL->Model.NodeCount, 0);
  EXPECT_EQ(GL->Model.ResultsValid, 0);
  EXPECT_EQ(GL->Model.DofCount, 9);
  EXPECT_EQ(GL->View.ZoomFactor, 1.0f);
  EXPECT_EQ(GL->View.PanX, 0.0f);
  EXPECT_EQ(GL->View.PanY, 0.0f);
  EXPECT_EQ(GL->View.FitScaleX, 1.0f);
  EXPECT_EQ(GL->View.FitScaleY, 1.0f);
}

TEST_F(MainWindowTest, AboutShowsTwoLinesWithoutIcon) {
  GL->ui->Oprogramie1->trigger();
  ASSERT_EQ(prompts.messages.size(), 1u);
  const qor::UserMessage& about = prompts.messages[0];
  EXPECT_EQ(about.caption, "O programie...");
  EXPECT_EQ(about.style, MessageStyle::Plain);
  EXPECT_EQ(std::count(about.text.begin(), about.text.end(), '\n'), 2);
  EXPECT_EQ(about.text.back(), '\n');
  EXPECT_NE(about.text.find("2000"), std::string::npos);
}

// Every tool button tells in Polish what it is for.
TEST_F(MainWindowTest, EveryToolButtonHasATip) {
  for (QToolButton* button : GL->ui->CB->findChildren<QToolButton*>())
    EXPECT_FALSE(button->toolTip().isEmpty()) << button->objectName().toStdString();
}

TEST_F(MainWindowTest, BrowsersAreShownThroughTheirGlobalPointers) {
  GL->ui->Daneobliczneniowe1->trigger();
  GL->ui->Wynikioblicze1->trigger();
  ASSERT_EQ(prompts.shownForms.size(), 2u);
  EXPECT_EQ(prompts.shownForms[0], static_cast<qor::ModalForm*>(DANEOB));
  EXPECT_EQ(prompts.shownForms[1], static_cast<qor::ModalForm*>(WYNOB));
}

// Every menu item and tool button, triggered through Qt, reaches its own
// handler: each leaves a mark that no other command leaves.
TEST_F(MainWindowTest, EveryMenuItemAndToolButtonReachesItsHandler) {
  using Check = std::function<bool(qor::ScriptedPrompts&)>;
  const auto form = [](auto* const* dialog) {
    return [dialog](qor::ScriptedPrompts& p) {
      return p.shownForms == std::vector<qor::ModalForm*>{static_cast<qor::ModalForm*>(*dialog)};
    };
  };
  const auto query = [](const char* caption) {
    return [caption](qor::ScriptedPrompts& p) { return p.queries.size() == 1 && p.queries[0].caption == caption; };
  };
  const auto angles = [](int a, int b, int c, QToolButton* Ui::TGL::*down) {
    return [=](qor::ScriptedPrompts&) {
      return GL->ui->ScrollBar1->value() == a && GL->ui->ScrollBar2->value() == b && GL->ui->ScrollBar3->value() == c &&
             (GL->ui->*down)->isChecked();
    };
  };
  const auto checked = [](QAction* Ui::TGL::*item) {
    return [item](qor::ScriptedPrompts&) { return (GL->ui->*item)->isChecked(); };
  };
  const auto stress = [](QAction* Ui::TGL::*item, int kind) {
    return [=](qor::ScriptedPrompts&) { return (GL->ui->*item)->isChecked() && GL->View.StressComponent == kind; };
  };
  const auto zoomPan = [](float zoom, float panX, float panY) {
    return [=](qor::ScriptedPrompts&) {
      return GL->View.ZoomFactor == zoom && GL->View.PanX == panX && GL->View.PanY == panY;
    };
  };
  const auto fileDialog = [](bool save, const char* title) {
    return [=](qor::ScriptedPrompts& p) {
      const auto& shown = save ? p.saveDialogs : p.openDialogs;
      return shown.size() == 1 && shown[0].title == title && (save ? p.openDialogs : p.saveDialogs).empty();
    };
  };
  const auto caption = [](const char* text) {
    return [text](qor::ScriptedPrompts& p) { return p.messages.size() == 1 && p.messages[0].caption == text; };
  };
  const auto own = [](auto TGL::*dialog) {
    return [dialog](qor::ScriptedPrompts& p) {
      return p.shownForms == std::vector<qor::ModalForm*>{static_cast<qor::ModalForm*>(GL->*dialog)};
    };
  };
  const Check cleared = [](qor::ScriptedPrompts&) { return GL->Model.NodeCount == 0 && GL->View.ZoomFactor == 1; };
  bool quitEndedTheLoop = false;
  const std::vector<std::pair<const char*, Check>> marks = {
      {"Nowy1 SpeedButton3", cleared},
      {"Zamknij1", [](qor::ScriptedPrompts&) { return GL->Model.NodeCount == 0 && GL->View.ZoomFactor == 3; }},
      {"Otwrz1 SpeedButton6", fileDialog(false, "Zapis danych QOR 3D")},
      {"Zapisz1 SpeedButton7", fileDialog(true, "Zapis danych QOR 3D")},
      {"Import1", fileDialog(false, "Siatka z GiD (GiD mesh)")},
      {"ImportGmsh1", fileDialog(false, "Siatka z Gmsh (Gmsh mesh)")},
      {"EksportVtk1", caption("Eksport wyników do VTK")},
      {"EksportCsv1", caption("Eksport wyników do CSV")},
      {"ZapiszObraz1", fileDialog(true, "Zapisz obraz")},
      {"Wzel1", own(&TGL::Wezel)},
      {"Element2", own(&TGL::Elem)},
      {"Pomoc2", own(&TGL::Pomoc)},
      {"Koniec1", [&](qor::ScriptedPrompts&) { return quitEndedTheLoop; }},
      {"d_mat", form(&Material)},
      {"d_sile", form(&S1)},
      {"d_podp", form(&P1)},
      {"d_prostop", form(&Prost2)},
      {"d_szesc", form(&Prost1)},
      {"d_prostd", form(&Prost3)},
      {"Wze1", query("Usuwanie węzła")},
      {"Element1", query("Usuwanie elementu")},
      {"Si1", query("Usuwanie sił")},
      {"Podpor1", query("Usuwanie podpór")},
      {"Podwjnewzy1",
       [](qor::ScriptedPrompts& p) { return p.messages.size() == 1 && p.messages[0].caption == "Usuwanie węzłów"; }},
      {"Wolnewzy1",
       [](qor::ScriptedPrompts& p) { return p.plainMessages == std::vector<std::string>{"Usnięto 0 węzłów."}; }},
      {"Oblicz2", [](qor::ScriptedPrompts& p) { return p.messages.size() == 1 && p.messages[0].text == "Obliczono."; }},
      {"Statystyka1", form(&St)},
      {"Daneobliczneniowe1", form(&DANEOB)},
      {"Wynikioblicze1", form(&WYNOB)},
      {"Gsto1", checked(&Ui::TGL::Gsto1)},
      {"Powiksz1 SpeedButton4", zoomPan(6, 0, 0)},
      {"Pomniejsz1 SpeedButton5", zoomPan(1.5f, 0, 0)},
      {"Zadeklarukskale1", query("Deklaracja skali")},
      {"Bdol", zoomPan(3, 0, 10)},
      {"Bgora", zoomPan(3, 0, -10)},
      {"SpeedButton10", zoomPan(3, -10, 0)},
      {"Bprawo", zoomPan(3, 10, 0)},
      {"Hide1 UKRB", [](qor::ScriptedPrompts&) { return GL->ui->Hide1->isChecked() && GL->ui->UKRB->isChecked(); }},
      {"ADOK", checked(&Ui::TGL::ADOK)},
      {"NH", stress(&Ui::TGL::NH, qor::Reduced)},
      {"NX", stress(&Ui::TGL::NX, qor::SigmaX)},
      {"NY", stress(&Ui::TGL::NY, qor::SigmaY)},
      {"NZ", stress(&Ui::TGL::NZ, qor::SigmaZ)},
      {"NXY", stress(&Ui::TGL::NXY, qor::TauXY)},
      {"NYZ", stress(&Ui::TGL::NYZ, qor::TauYZ)},
      {"NXZ", stress(&Ui::TGL::NXZ, qor::TauXZ)},
      {"Przem", checked(&Ui::TGL::Przem)},
      {"Nr_ELE", checked(&Ui::TGL::Nr_ELE)},
      {"Nr_wez", checked(&Ui::TGL::Nr_wez)},
      {"Zprzodu1 Bzprzodu", angles(27000, 0, 0, &Ui::TGL::Bzprzodu)},
      {"Zgry1 Bzgory", angles(0, 0, 0, &Ui::TGL::Bzgory)},
      {"Zboku1 Bzlewa", angles(0, 0, 27000, &Ui::TGL::Bzlewa)},
      {"Izometria1 BIzometria", angles(4500, 31500, 0, &Ui::TGL::BIzometria)},
      {"Oprogramie1",
       [](qor::ScriptedPrompts& p) { return p.messages.size() == 1 && p.messages[0].caption == "O programie..."; }},
  };
  int reached = 0;
  for (const auto& [names, mark] : marks) {
    for (const QString& name : QString::fromUtf8(names).split(' ')) {
      DestroyWindows();
      CreateWindows();
      prompts = qor::ScriptedPrompts();
      GL->SetPrompts(&prompts);
      // A block of eight nodes held at its face x = 0, a zoom of 3 and a turned view.
      qor::AppendCuboid(GL->Model, {});
      qor::AddMaterial(GL->Model, 1000, 0.3f);
      for (int n : {1, 2, 5, 6})
        for (int c = 1; c <= 3; ++c) GL->Model.Supports[++GL->Model.SupportCount] = {qor::DofOf(n, c), 0};
      GL->View.ZoomFactor = 3;
      GL->ui->ScrollBar1->setValue(100);
      GL->ui->ScrollBar2->setValue(200);
      GL->ui->ScrollBar3->setValue(300);
      if (name == "Koniec1") {
        // Quitting needs a running event loop: the item is chosen inside one,
        // which ends with code 0 only through the quit.
        QTimer::singleShot(0, GL, [] { GL->ui->Koniec1->trigger(); });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        guard.start(5000);
        quitEndedTheLoop = QCoreApplication::exec() == 0;
      } else if (auto* action = GL->findChild<QAction*>(name)) {
        action->trigger();
      } else if (auto* button = GL->findChild<QToolButton*>(name)) {
        // Hidden, disabled buttons cannot be clicked; their signal still runs the connection.
        if (button->isEnabled())
          button->click();
        else
          emit button->clicked(false);
      } else {
        ADD_FAILURE() << "no item or button " << name.toStdString();
        continue;
      }
      EXPECT_TRUE(mark(prompts)) << name.toStdString();
      ++reached;
    }
  }
  EXPECT_EQ(reached, 64);
}

TEST_F(MainWindowTest, DialogsExistWithTheirCaptionsAndStayHidden) {
  const std::pair<QDialog*, const char*> dialogs[] = {{Prost3, "Prostopadłościan dzielony"},
                                                      {Material, "Materiał"},
                                                      {St, "Statystyka"},
                                                      {P1, "Dodaj podporę"},
                                                      {WYNOB, "Wyniki obliczeń"},
                                                      {S1, "Dodaj siłę"},
                                                      {DANEOB, "Dane obliczeniowe"},
                                                      {Prost2, "Prostopadłościan"},
                                                      {Prost1, "Sześciościan"}};
  for (const auto& [dialog, caption] : dialogs) {
    ASSERT_NE(dialog, nullptr) << caption;
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8(caption));
    EXPECT_FALSE(dialog->isVisible()) << caption;
    EXPECT_EQ(dialog->parent(), GL) << caption;
  }
}

// What a real modal window showed while it was open: its caption as the
// widget and as the window system have it, its icon and its font.
struct ShownWindow {
  QString title, systemTitle;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QFont font;
};

// Runs `show`, which opens one modal window, and reads that window once it is
// up; then closes it as Cancel or OK would.
template <class Show>
ShownWindow WhileOpen(Show show) {
  ShownWindow seen;
  QTimer::singleShot(0, [&seen] {
    QWidget* window = QApplication::activeModalWidget();
    if (!window) return;
    seen.title = window->windowTitle();
    if (window->windowHandle()) seen.systemTitle = window->windowHandle()->title();
    seen.font = window->font();
    if (auto* box = qobject_cast<QMessageBox*>(window)) seen.icon = box->icon();
    if (auto* dialog = qobject_cast<QDialog*>(window)) dialog->done(QDialog::Accepted);
  });
  show();
  return seen;
}

TEST_F(MainWindowTest, RealMessageBoxesAndDialogsShowTheirCaptionsAsWritten) {
  // The window system appends a display name to every caption that does not
  // end with it; the program sets none, so the display name follows the name.
  const QString name = QCoreApplication::applicationName();
  QCoreApplication::setApplicationName(QStringLiteral("probe"));
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("probe"));
  QCoreApplication::setApplicationName(name);

  qor::QtPrompts real(GL);
  const QFontInfo programFont(qor::ProgramFont());
  const struct {
    MessageStyle style;
    QMessageBox::Icon icon;
  } styles[] = {{MessageStyle::Plain, QMessageBox::NoIcon},
                {MessageStyle::Stop, QMessageBox::Critical},
                {MessageStyle::Exclamation, QMessageBox::Warning}};
  for (const auto& s : styles) {
    const ShownWindow box = WhileOpen([&] { real.MessageBox({"Obliczono.", "Obliczenia", s.style}); });
    EXPECT_EQ(box.title, QStringLiteral("Obliczenia"));
    EXPECT_EQ(box.systemTitle, QStringLiteral("Obliczenia"));
    EXPECT_EQ(box.icon, s.icon);
    EXPECT_EQ(box.font.pointSize(), 8);
    EXPECT_EQ(QFontInfo(box.font).family(), programFont.family());
  }
  const ShownWindow plain = WhileOpen([&] { real.ShowMessage("Usunięto 3 węzłów."); });
  EXPECT_EQ(plain.systemTitle, QStringLiteral("QOR 3D"));
  EXPECT_EQ(plain.icon, QMessageBox::NoIcon);
  const ShownWindow input = WhileOpen([&] { real.InputQuery("Deklaracja skali", "Podaj skalę : ", "1"); });
  EXPECT_EQ(input.systemTitle, QStringLiteral("Deklaracja skali"));
  WYNOB->SetSource(&GL->Model, '.');
  const ShownWindow results = WhileOpen([&] { real.ShowModal(*WYNOB); });
  EXPECT_EQ(results.systemTitle, QStringLiteral("Wyniki obliczeń"));
  EXPECT_EQ(results.font.pointSize(), 8);
}

TEST_F(MainWindowTest, ViewAndDialogsWriteInTheEightPointFontAndShowTheirTextsWhole) {
  const QFontInfo programFont(qor::ProgramFont());
  EXPECT_EQ(programFont.styleHint(), QFont::SansSerif);
  for (QWidget* window : std::initializer_list<QWidget*>{GL->ui->ClientArea, Prost3, Material, St, P1, WYNOB, S1,
                                                         DANEOB, Prost2, Prost1}) {
    EXPECT_EQ(window->font().pointSize(), 8) << window->objectName().toStdString();
    EXPECT_EQ(QFontInfo(window->font()).family(), programFont.family()) << window->objectName().toStdString();
  }

  // The legend of a map running from -99999 to 99999 at 640 × 480: the ten
  // columns of the colour bar hold band colours only, no text.
  qor::AddDividedBox(GL->Model, 0, 0, 0, 3, 2, 1, 1, 1, 1);
  for (int e = 1; e <= GL->Model.ElementCount; ++e)
    GL->Model.Stresses[e][qor::Reduced] = -99999.0f + 39999.6f * (e - 1);
  GL->Model.ResultsValid = 1;
  GL->NHClick();
  QImage picture(640, 480, QImage::Format_RGB32);
  GL->DrawPicture(picture);
  std::set<QRgb> bands;
  for (const qor::Rgb& c : GL->View.BandColours) bands.insert(qRgb(c.r, c.g, c.b));
  int foreign = 0;
  for (int y = 36; y < 36 + 430; ++y)
    for (int x = 615; x < 625; ++x) foreign += bands.count(picture.pixel(x, y) | 0xff000000u) == 0;
  EXPECT_EQ(foreign, 0);
  // Some label does stand left of the bar.
  int dark = 0;
  for (int y = 36; y < 50; ++y)
    for (int x = 560; x < 613; ++x) dark += qGray(picture.pixel(x, y)) < 128;
  EXPECT_GT(dark, 10);

  // The statistics of a computed model: every field shows its text whole.
  GL->Model.MaterialCount = 1;
  GL->Model.Displacements[1] = -0.0123456f;
  GL->ui->Statystyka1->trigger();
  for (QLineEdit* edit : St->findChildren<QLineEdit*>()) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
    const QRect text = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    EXPECT_LE(edit->fontMetrics().horizontalAdvance(edit->text()), text.width() - 4)
        << edit->objectName().toStdString() << " " << edit->text().toStdString();
  }
}

}  // namespace
