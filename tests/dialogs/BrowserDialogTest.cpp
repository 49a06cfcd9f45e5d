// The data browser "Dane obliczeniowe" and the results browser "Wyniki obliczeń"
// driven as a user would: shown through their menu commands, list buttons
// pressed and lines selected.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

#include "BrowserTestModel.h"
#include "Daneobl.h"
#include "Gl3d.h"
#include "Globals.h"
#include "Wynobl.h"
#include "support/ScriptedPrompts.h"
#include "ui_Daneobl.h"
#include "ui_Wynobl.h"

namespace {

QStringList Lines(const QListWidget* list) {
  QStringList lines;
  for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
  return lines;
}

// Texts of labels 2, 4, 11, 6, 7, 8, 9, 13, 16 and 18, in that order.
template <class Ui>
QStringList Values(const Ui* ui) {
  return {ui->Label2->text(), ui->Label4->text(), ui->Label11->text(), ui->Label6->text(),  ui->Label7->text(),
          ui->Label8->text(), ui->Label9->text(), ui->Label13->text(), ui->Label16->text(), ui->Label18->text()};
}

// "b" for a blank label, "-" for a dash, one letter per label of Values().
template <class Ui>
QString Pattern(const Ui* ui) {
  QString pattern;
  for (const QString& text : Values(ui)) pattern += text.trimmed().isEmpty() ? "b" : text == "-" ? "-" : "?";
  return pattern;
}

class BrowserDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateWindows();
    GL->SetPrompts(&prompts);
    qor::test::FillSmallModel(GL->Model);
  }
  void TearDown() override { DestroyWindows(); }

  // Shows the data browser through its menu command, then runs `script` on it.
  template <class Script>
  void BrowseData(Script script) {
    prompts.OnForm([script](qor::ModalForm& form) {
      script(dynamic_cast<TDANEOB&>(form));
      return qor::mrOk;
    });
    GL->Daneobliczneniowe1Click();
  }
  template <class Script>
  void BrowseResults(Script script) {
    prompts.OnForm([script](qor::ModalForm& form) {
      script(dynamic_cast<TWYNOB&>(form));
      return qor::mrOk;
    });
    GL->Wynikioblicze1Click();
  }

  qor::ScriptedPrompts prompts;
};

TEST_F(BrowserDialogTest, FormsHaveTheirCaptionsSizesAndButtons) {
  EXPECT_EQ(DANEOB->windowTitle(), "Dane obliczeniowe");
  EXPECT_EQ(DANEOB->size(), QSize(528, 286));
  EXPECT_EQ(DANEOB->ui->Button6->text(), "Siły");
  EXPECT_EQ(DANEOB->ui->Button3->text(), "Materiały");
  EXPECT_TRUE(DANEOB->ui->Button5->isDefault());
  EXPECT_EQ(DANEOB->ui->Label13->text(), "Moduł Younga, ni :");
  EXPECT_FALSE(DANEOB->windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_EQ(WYNOB->windowTitle(), "Wyniki obliczeń");
  EXPECT_EQ(WYNOB->size(), QSize(574, 327));
  EXPECT_EQ(WYNOB->ui->Label26->text(), "Naprężenie red. :");
  EXPECT_EQ(WYNOB->ui->Label27->text(), "xy");
  EXPECT_TRUE(WYNOB->ui->Button5->isDefault());
  // The OK button closes with the OK result.
  WYNOB->ui->Button5->click();
  EXPECT_EQ(WYNOB->ModalResultCode(), qor::mrOk);
}

TEST_F(BrowserDialogTest, DataBrowserListsEveryTableWithItsHeader) {
  BrowseData([](TDANEOB& d) {
    EXPECT_EQ(d.DataBrowseMode, 1);
    EXPECT_EQ(d.ui->Label14->text(), "Nr elementu : Nr wezła 1 - 2 - 3 - 4 - Nr materiału");
    EXPECT_EQ(Lines(d.ui->Lista).value(1), "2 : 2 - 3 - 4 - 5 - 2");
    d.ui->Button2->click();
    EXPECT_EQ(d.ui->Label14->text(), "Nr węzła : Współrzędna x , y , z");
    EXPECT_EQ(Lines(d.ui->Lista).value(2), "3 : 0 , 0.100000001490116 , 0");
    d.ui->Button3->click();
    EXPECT_EQ(d.ui->Label14->text(), "Nr materiału : moduł Younga , wsp. Poissona");
    EXPECT_EQ(Lines(d.ui->Lista), QStringList({"1 : 200000.00000 , 0.30000", "2 : 70000.00000 , 0.25000"}));
    d.ui->Button4->click();
    EXPECT_EQ(d.ui->Label14->text(), "Nr podpory : Nr węzła, kierunek podpory, przemieszczenie");
    EXPECT_EQ(Lines(d.ui->Lista).value(6), "7 : 5x , 0");
    d.ui->Button6->click();
    EXPECT_EQ(d.DataBrowseMode, 5);
    EXPECT_EQ(d.ui->Label14->text(), "Nr węzła : Siław kierunek x lub y lub z");
    EXPECT_EQ(Lines(d.ui->Lista), QStringList({"3 : 100.00000y", "5 : -2.50000x", "5 : 4.00000z"}));
  });
}

TEST_F(BrowserDialogTest, DataBrowserDetailsOfEachMode) {
  BrowseData([](TDANEOB& d) {
    d.ui->Lista->setCurrentRow(1);  // element 2
    EXPECT_EQ(Values(d.ui),
              QStringList({"2", "2 - 3 - 4 - 5", "2", "2.50000 , 0.00000 , 0.00000", "0.00000 , 0.10000 , 0.00000",
                           "0.00000 , 0.00000 , 1.00000", "1.00000 , 1.00000 , 1.00000", "70000.00000 , 0.25000",
                           "2z , -3 4x , 0 5y , 0 5x , 0 ", "100.00000y -2.50000x 4.00000z "}));
    d.ui->Lista->setCurrentRow(3);  // element 4: no node is held or loaded
    EXPECT_EQ(d.ui->Label16->text(), "");
    EXPECT_EQ(d.ui->Label18->text(), "");

    d.Button2Click();
    d.ui->Lista->setCurrentRow(0);  // node 1, held in z, x, y by rows 1, 2, 3
    EXPECT_EQ(d.ui->Label4->text(), "1");
    EXPECT_EQ(d.ui->Label16->text(), "1z , 0 1x , 0 1y , 0 ");
    EXPECT_EQ(d.ui->Label18->text(), "");
    d.ui->Lista->setCurrentRow(4);  // node 5
    EXPECT_EQ(d.ui->Label6->text(), "1.00000 , 1.00000 , 1.00000");
    EXPECT_EQ(d.ui->Label16->text(), "5y , 0 5x , 0 ");
    EXPECT_EQ(d.ui->Label18->text(), "-2.50000x 4.00000z ");
    EXPECT_EQ(d.ui->Label2->text(), "-");

    d.Button3Click();
    d.ui->Lista->setCurrentRow(1);
    EXPECT_EQ(d.ui->Label11->text(), "70000.00000 , 0.25000");
    EXPECT_EQ(Pattern(d.ui), "--?----b--");  // the material number itself is not shown

    d.Button4Click();
    d.ui->Lista->setCurrentRow(3);
    EXPECT_EQ(d.ui->Label16->text(), "2z , -3");

    d.Button6Click();
    const QStringList before = Values(d.ui);
    d.ui->Lista->setCurrentRow(1);
    EXPECT_EQ(Values(d.ui), before);
  });
}

TEST_F(BrowserDialogTest, DataBrowserUsesTheGivenDecimalSeparator) {
  DANEOB->SetSource(&GL->Model, ',');
  DANEOB->FormShow();
  DANEOB->ui->Lista->setCurrentRow(0);
  EXPECT_EQ(DANEOB->ui->Label7->text(), "2,50000 , 0,00000 , 0,00000");
  EXPECT_EQ(DANEOB->ui->Label13->text(), "200000,00000 , 0,30000");
  DANEOB->Button2Click();
  EXPECT_EQ(DANEOB->ui->Lista->item(2)->text(), "3 : 0 , 0,100000001490116 , 0");
  DANEOB->Button6Click();
  EXPECT_EQ(DANEOB->ui->Lista->item(1)->text(), "5 : -2,50000x");
}

TEST_F(BrowserDialogTest, DataBrowserLabelResetsOfEachButton) {
  BrowseData([](TDANEOB& d) {
    EXPECT_EQ(Pattern(d.ui), "bbbbbbbbbb");
    // Each switch starts from filled labels, so a missed reset shows.
    const struct {
      QPushButton* button;
      const char* pattern;
    } steps[] = {{d.ui->Button2, "-b-b----bb"},
                 {d.ui->Button3, "--b----b--"},
                 {d.ui->Button4, "-b-b----b-"},
                 {d.ui->Button6, "-b-b-----b"},
                 {d.ui->Button1, "bbbbbbbbbb"}};
    for (const auto& step : steps) {
      for (QLabel* label : {d.ui->Label2, d.ui->Label4, d.ui->Label11, d.ui->Label6, d.ui->Label7, d.ui->Label8,
                            d.ui->Label9, d.ui->Label13, d.ui->Label16, d.ui->Label18})
        label->setText("old");
      step.button->click();
      EXPECT_EQ(Pattern(d.ui), step.pattern) << step.button->text().toStdString();
    }
  });
}

TEST_F(BrowserDialogTest, CurrentModeButtonChangesNothing) {
  BrowseData([](TDANEOB& d) {
    d.Button2Click();
    d.ui->Lista->setCurrentRow(4);
    const QStringList values = Values(d.ui);
    d.ui->Lista->item(0)->setText("marker");  // a rebuilt list would lose it
    d.ui->Button2->click();
    EXPECT_EQ(d.ui->Lista->item(0)->text(), "marker");
    EXPECT_EQ(d.ui->Lista->currentRow(), 4);
    EXPECT_EQ(Values(d.ui), values);
  });
  BrowseResults([](TWYNOB& w) {
    w.ui->Lista->setCurrentRow(1);
    const QString sigma = w.ui->Label20->text();
    w.ui->Lista->item(0)->setText("marker");
    w.ui->Button1->click();
    EXPECT_EQ(w.ui->Lista->item(0)->text(), "marker");
    EXPECT_EQ(w.ui->Label20->text(), sigma);
  });
}

TEST_F(BrowserDialogTest, SelectionOutsideTheTableOrNoneLeavesLabels) {
  BrowseData([](TDANEOB& d) {
    d.ui->Lista->setCurrentRow(0);
    const QStringList values = Values(d.ui);
    GL->Model.ElementCount = 2;  // the list still has four lines
    d.ui->Lista->setCurrentRow(3);
    EXPECT_EQ(Values(d.ui), values);
    d.ui->Lista->clearSelection();
    d.ListaClick();
    EXPECT_EQ(Values(d.ui), values);
  });
}

TEST_F(BrowserDialogTest, ReopeningReturnsToElementsWithBlankLabels) {
  BrowseData([](TDANEOB& d) {
    d.Button4Click();
    d.ui->Lista->setCurrentRow(6);
  });
  BrowseData([](TDANEOB& d) {
    EXPECT_EQ(d.DataBrowseMode, 1);
    EXPECT_EQ(d.ui->Lista->count(), 4);
    EXPECT_EQ(Pattern(d.ui), "bbbbbbbbbb");
    d.ui->Lista->setCurrentRow(0);
    EXPECT_EQ(d.ui->Label4->text(), "1 - 2 - 3 - 4");
  });
  // The dialog reads the store when shown: a later model shows up.
  GL->Model.ElementCount = 1;
  BrowseData([](TDANEOB& d) { EXPECT_EQ(d.ui->Lista->count(), 1); });
}

TEST_F(BrowserDialogTest, ResultsBrowserShowsStressesAndDisplacements) {
  qor::test::FillSmallResults(GL->Model);
  BrowseResults([](TWYNOB& w) {
    EXPECT_EQ(w.ResultBrowseMode, 1);
    w.ui->Lista->setCurrentRow(1);  // element 2
    EXPECT_EQ(w.ui->Label7->text(), "0 , 0.1 , 0");
    EXPECT_EQ(w.ui->Label13->text(), "70000 , 0.25");
    EXPECT_EQ(w.ui->Label18->text(), "100y -2.5x 4z ");
    EXPECT_EQ(w.ui->Label16->text(), "2z , -3 4x , 0 5y , 0 5x , 0 ");
    // Rows: σx with τxy, σy with τxz, σz with τyz.
    EXPECT_EQ(w.ui->Label20->text(), "1.5");
    EXPECT_EQ(w.ui->Label30->text(), "6");
    EXPECT_EQ(w.ui->Label21->text(), "-2");
    EXPECT_EQ(w.ui->Label31->text(), "5");
    EXPECT_EQ(w.ui->Label22->text(), "1.23E-5");
    EXPECT_EQ(w.ui->Label32->text(), "4");
    EXPECT_EQ(w.ui->Label23->text(), "1.234568E8");

    w.ui->Button2->click();
    EXPECT_EQ(w.ui->Label14->text(), "Nr węzła : Współrzędna x , y , z");
    EXPECT_EQ(w.ui->Label7->text(), "Przemieszczenia węzła :");
    EXPECT_EQ(w.ui->Label20->text().trimmed(), "");
    EXPECT_EQ(w.ui->Lista->item(2)->text(), "3 : 0 , 0.1 , 0");
    w.ui->Lista->setCurrentRow(2);  // node 3
    EXPECT_EQ(w.ui->Label8->text(), "1.23E-5 , 0.000123 , -1");
    EXPECT_EQ(w.ui->Label18->text(), "100y ");
    w.ui->Lista->setCurrentRow(0);
    EXPECT_EQ(w.ui->Label16->text(), "1z , 0 1x , 0 1y , 0 ");

    w.ui->Button4->click();
    EXPECT_EQ(w.ui->Label14->text(), "Nr podpory : Nr węzła, kierunek podpory, przemieszczenie");
    EXPECT_EQ(w.ui->Lista->item(6)->text(), "7 : 5x , 0");
    EXPECT_EQ(w.ui->Label7->text(), "-");
    w.ui->Lista->setCurrentRow(6);
    EXPECT_EQ(w.ui->Label16->text(), "5x , 0");
  });
}

TEST_F(BrowserDialogTest, ResultsBrowserLabelResetsOfEachButton) {
  BrowseResults([](TWYNOB& w) {
    const QList<QLabel*> stressBlock = {w.ui->Label20, w.ui->Label21, w.ui->Label22, w.ui->Label23,
                                        w.ui->Label30, w.ui->Label31, w.ui->Label32};
    const struct {
      QPushButton* button;
      const char* pattern;
    } steps[] = {{w.ui->Button2, "-b-b?---bb"}, {w.ui->Button4, "-b-b----b-"}, {w.ui->Button1, "bbbbbbbbbb"}};
    for (const auto& step : steps) {
      for (QLabel* label : w.findChildren<QLabel*>()) label->setText("old");
      step.button->click();
      EXPECT_EQ(Pattern(w.ui), step.pattern) << step.button->text().toStdString();
      for (QLabel* label : stressBlock) EXPECT_EQ(label->text().trimmed(), "") << label->objectName().toStdString();
    }
  });
}

TEST_F(BrowserDialogTest, OutOfDateResultsAreNotShownAndSaidToBeSo) {
  const QList<QLabel*> stressLabels = {WYNOB->ui->Label20, WYNOB->ui->Label21, WYNOB->ui->Label22, WYNOB->ui->Label23,
                                       WYNOB->ui->Label30, WYNOB->ui->Label31, WYNOB->ui->Label32};
  // Computed results: shown, no notice.
  qor::test::FillSmallResults(GL->Model);
  BrowseResults([&](TWYNOB& w) {
    EXPECT_TRUE(w.ui->Label33->isHidden());
    EXPECT_FALSE(w.ui->Label19->isHidden());
    w.ui->Lista->setCurrentRow(1);
    EXPECT_EQ(w.ui->Label23->text(), "1.234568E8");
  });
  // A model never computed, and one changed after computing (a deleted
  // element renumbers the rest): the lists and the model's own details
  // stay, the stress block gives way to the notice and no result shows.
  for (const bool computedBefore : {false, true}) {
    qor::test::FillSmallModel(GL->Model);
    if (computedBefore) {
      qor::test::FillSmallResults(GL->Model);
      prompts.AnswerInput("1");
      GL->Element1Click();
      ASSERT_EQ(GL->Model.ElementCount, 3);
    }
    ASSERT_EQ(GL->Model.ResultsValid, 0);
    BrowseResults([&](TWYNOB& w) {
      EXPECT_FALSE(w.ui->Label33->isHidden());
      EXPECT_TRUE(w.ui->Label33->text().contains(QStringLiteral("nieaktualne")));
      for (QLabel* label : stressLabels) EXPECT_TRUE(label->isHidden()) << label->objectName().toStdString();
      EXPECT_TRUE(w.ui->Label19->isHidden());
      w.ui->Lista->setCurrentRow(0);
      EXPECT_EQ(w.ui->Label2->text(), "1");
      for (QLabel* label : stressLabels) EXPECT_EQ(label->text().trimmed(), "") << label->objectName().toStdString();
      w.Button2Click();
      w.ui->Lista->setCurrentRow(2);  // node 3
      EXPECT_EQ(w.ui->Label6->text(), "0 , 0.1 , 0");
      EXPECT_EQ(w.ui->Label8->text(), "-");
    });
  }
}

TEST_F(BrowserDialogTest, ResultsBrowserUsesTheGivenDecimalSeparator) {
  qor::test::FillSmallResults(GL->Model);
  WYNOB->SetSource(&GL->Model, ',');
  WYNOB->FormShow();
  WYNOB->ui->Lista->setCurrentRow(1);
  EXPECT_EQ(WYNOB->ui->Label20->text(), "1,5");
  EXPECT_EQ(WYNOB->ui->Label22->text(), "1,23E-5");
  WYNOB->Button2Click();
  WYNOB->ui->Lista->setCurrentRow(2);
  EXPECT_EQ(WYNOB->ui->Label8->text(), "1,23E-5 , 0,000123 , -1");
}

}  // namespace

namespace {

// A press and release of the left mouse button in the middle of a list line.
void ClickLine(QListWidget* list, int row) {
  const QPoint centre = list->visualItemRect(list->item(row)).center();
  QWidget* viewport = list->viewport();
  const QPointF global = viewport->mapToGlobal(QPointF(centre));
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(centre), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(centre), global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(viewport, &press);
  QApplication::sendEvent(viewport, &release);
}

TEST_F(BrowserDialogTest, ClickingALineWithTheMouseShowsItsDetails) {
  GL->Daneobliczneniowe1Click();
  DANEOB->show();
  ClickLine(DANEOB->ui->Lista, 1);
  EXPECT_EQ(DANEOB->ui->Label2->text(), QStringLiteral("2"));
  DANEOB->ui->Button2->click();  // nodes
  const QStringList reset = Values(DANEOB->ui);
  ClickLine(DANEOB->ui->Lista, 2);
  const QStringList clicked = Values(DANEOB->ui);
  EXPECT_NE(clicked, reset);
  // The same details as a line selected by the program.
  DANEOB->ui->Button1->click();
  DANEOB->ui->Button2->click();
  DANEOB->ui->Lista->setCurrentRow(2);
  EXPECT_EQ(Values(DANEOB->ui), clicked);
  DANEOB->hide();

  GL->Wynikioblicze1Click();
  WYNOB->show();
  ClickLine(WYNOB->ui->Lista, 0);
  EXPECT_EQ(WYNOB->ui->Label2->text(), QStringLiteral("1"));
  WYNOB->hide();
}

}  // namespace
