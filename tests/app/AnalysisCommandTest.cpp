#include <gtest/gtest.h>

#include <QLineEdit>

#include "Gl3d.h"
#include "Globals.h"
#include "Stat.h"
#include "analysis/BlockMesh.h"
#include "platform/NumberText.h"
#include "support/ScriptedPrompts.h"
#include "ui_Gl3d.h"
#include "ui_Stat.h"

namespace {

using qor::MessageStyle;
using qor::UserMessage;

class AnalysisCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateWindows();
    GL->SetPrompts(&prompts);
  }
  void TearDown() override { DestroyWindows(); }

  // Shows the statistics dialog and returns its seven fields, Edit1..Edit7.
  std::vector<std::string> Statistics() {
    std::vector<std::string> fields;
    prompts.OnForm([&fields](qor::ModalForm& form) {
      auto& dialog = dynamic_cast<TSt&>(form);
      for (QLineEdit* edit : {dialog.ui->Edit1, dialog.ui->Edit2, dialog.ui->Edit3, dialog.ui->Edit4, dialog.ui->Edit5,
                              dialog.ui->Edit6, dialog.ui->Edit7})
        fields.push_back(edit->text().toStdString());
      dialog.ui->OK->click();
      return dialog.ModalResultCode();
    });
    GL->Statystyka1Click();
    return fields;
  }
  qor::ScriptedPrompts prompts;
};

TEST_F(AnalysisCommandTest, RefusalsKeepTheResultsState) {
  GL->Model.ResultsValid = 1;
  GL->Oblicz2Click();
  qortest::BuildCantilever(GL->Model, 3, 1, 1, 1.0f, 1.0f);
  GL->Model.ResultsValid = 1;
  GL->Model.MaterialCount = 0;
  GL->Model.SupportCount = 0;
  GL->Oblicz2Click();
  GL->Model.NodeCount = 666;
  GL->Oblicz2Click();
  const std::vector<UserMessage> expected = {
      {"Brak zdefiniowanych elementów", "Obliczenia", MessageStyle::Stop},
      {"Brak zdefiniowanych materiałów", "Obliczenia", MessageStyle::Stop},
      {"Model ma 666 węzłów, a obliczenia w oknie obejmują najwyżej 665 węzłów (1995 stopni swobody).",
       "Kontrola liczby węzłów", MessageStyle::Plain,
       "Większe modele oblicza polecenie qor3d-batch, np.: qor3d-batch model.q3d --vtk wyniki.vtu"}};
  EXPECT_EQ(prompts.messages, expected);
  EXPECT_EQ(GL->Model.ResultsValid, 1);
}

TEST_F(AnalysisCommandTest, ComputesAndFailsThroughTheMenu) {
  qortest::BuildCantilever(GL->Model, 50, 1, 1, 1.0f, 1.0f);
  GL->ui->Oblicz2->trigger();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0], (UserMessage{"Obliczono.", "Obliczenia", MessageStyle::Exclamation}));
  EXPECT_EQ(GL->Model.ResultsValid, 1);
  EXPECT_EQ(GL->Model.DofCount, 3 * GL->Model.NodeCount);
  EXPECT_LT(GL->Model.Displacements[3 * GL->Model.NodeCount], -1.0f);

  // Held at one node only: a mechanism.
  GL->Model.SupportCount = 3;
  GL->Oblicz2Click();
  ASSERT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(prompts.messages[1], (UserMessage{"Błąd podczas obliczeń", "Obliczenia", MessageStyle::Stop,
                                              "Węzeł 2 może się swobodnie przemieszczać w kierunku y."}));
  EXPECT_EQ(GL->Model.ResultsValid, 0);
}

TEST_F(AnalysisCommandTest, DensitiesMenuItemTogglesItsCheckMark) {
  EXPECT_FALSE(GL->ui->Gsto1->isChecked());
  GL->ui->Gsto1->trigger();
  EXPECT_TRUE(GL->ui->Gsto1->isChecked());
  GL->Gsto1Click();
  EXPECT_FALSE(GL->ui->Gsto1->isChecked());
}

TEST_F(AnalysisCommandTest, StatisticsOfEmptyComputedAndChangedModels) {
  EXPECT_EQ(Statistics(), (std::vector<std::string>{"0", "0", "0", "0", "0", "0", "NIE"}));

  qor::ModelStore& m = GL->Model;
  qortest::BuildCantilever(m, 4, 1, 1, 1.0f, 1.0f);  // 20 nodes, 4 tip forces in z
  m.Forces[qor::DofOf(20, 2)] = 0.25f;
  m.Forces[qor::DofOf(19, 1)] = 1.0f;
  m.Forces[qor::DofOf(19, 1)] = 0.0f;  // set back to zero: not counted
  GL->Oblicz2Click();
  ASSERT_EQ(m.ResultsValid, 1);
  float largest = 0, stress = 0;
  for (int d = 1; d <= 3 * m.NodeCount; ++d) largest = std::max(largest, std::fabs(m.Displacements[d]));
  for (int e = 1; e <= m.ElementCount; ++e) stress = std::max(stress, m.Stresses[e][qor::Reduced]);
  ASSERT_LT(*std::min_element(m.Displacements.begin() + 1, m.Displacements.begin() + 61), -largest * 0.999f);
  const std::vector<std::string> computed = Statistics();
  EXPECT_EQ(computed[0], "20");
  EXPECT_EQ(computed[1], "24");
  EXPECT_EQ(computed[2], "5");
  EXPECT_EQ(computed[3], "12");
  EXPECT_EQ(computed[6], "TAK");
  EXPECT_EQ(computed[4], qor::FormatFixed(largest, 0, 7, TGL::DecimalSeparator()));
  EXPECT_EQ(computed[5], qor::FormatFixed(stress, 0, 7, TGL::DecimalSeparator()));
  EXPECT_EQ(computed[4].size() - computed[4].find(TGL::DecimalSeparator()), 8u);

  m.ResultsValid = 0;  // what a model change does
  EXPECT_EQ(Statistics(), (std::vector<std::string>{"20", "24", "5", "12", "0", "0", "NIE"}));
  ASSERT_EQ(prompts.shownForms.size(), 3u);
  EXPECT_EQ(prompts.shownForms[0], static_cast<qor::ModalForm*>(St));
}

TEST_F(AnalysisCommandTest, StatisticsDialogLooksAsDesigned) {
  EXPECT_EQ(St->windowTitle(), QStringLiteral("Statystyka"));
  EXPECT_EQ(St->size(), QSize(481, 202));
  EXPECT_TRUE(St->ui->OK->isDefault());
  EXPECT_TRUE(St->ui->Edit5->isReadOnly());
  St->Store = &GL->Model;
  St->Separator = ',';
  GL->Model.NodeCount = 1;
  GL->Model.ResultsValid = 1;
  GL->Model.Displacements[2] = -0.5f;
  St->FormShow();
  EXPECT_EQ(St->ui->Edit5->text(), QStringLiteral("0,5000000"));
}

}  // namespace
