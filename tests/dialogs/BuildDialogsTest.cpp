// The input dialogs of the model-building commands: captions, controls and
// the conversion of their kept values.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "BuildDialog.h"
#include "Dp1.h"
#include "Ds1.h"
#include "Element.h"
#include "Mater.h"
#include "Prostop1.h"
#include "Prostop2.h"
#include "Prostop3.h"
#include "Wezel.h"
#include "support/ScriptedPrompts.h"
#include "ui_Dp1.h"
#include "ui_Ds1.h"
#include "ui_Element.h"
#include "ui_Mater.h"
#include "ui_Prostop1.h"
#include "ui_Prostop2.h"
#include "ui_Prostop3.h"
#include "ui_Wezel.h"

namespace {

class BuildDialogsTest : public ::testing::Test {
 protected:
  void TearDown() override { qor::SetDialogDecimalSeparator('\0'); }
};

QStringList Texts(const QWidget& w) {
  QStringList texts;
  for (auto* label : w.findChildren<QLabel*>()) texts << label->text();
  for (auto* box : w.findChildren<QGroupBox*>()) texts << box->title();
  for (auto* box : w.findChildren<QCheckBox*>()) texts << box->text();
  for (auto* button : w.findChildren<QPushButton*>()) texts << button->text();
  return texts;
}

void ExpectTexts(const QWidget& w, const QStringList& expected) {
  const QStringList texts = Texts(w);
  for (const QString& t : expected) EXPECT_TRUE(texts.contains(t)) << t.toStdString();
}

TEST_F(BuildDialogsTest, CaptionsLabelsAndButtons) {
  TProst1 hex;
  TProst2 cuboid;
  TProst3 divided;
  TMaterial material;
  TS1 force;
  TP1 support;
  EXPECT_EQ(hex.windowTitle(), "Sześciościan");
  EXPECT_EQ(cuboid.windowTitle(), "Prostopadłościan");
  EXPECT_EQ(divided.windowTitle(), "Prostopadłościan dzielony");
  EXPECT_EQ(material.windowTitle(), "Materiał");
  EXPECT_EQ(force.windowTitle(), "Dodaj siłę");
  EXPECT_EQ(support.windowTitle(), "Dodaj podporę");

  ExpectTexts(hex,
              {"x1", "x8", "y1", "y8", "z1", "z8", "Numer materiału", "Scal z istniejącą geometrią", "OK", "Anuluj"});
  for (int k = 1; k <= 25; ++k) EXPECT_NE(hex.findChild<QLineEdit*>(QString("Edit%1").arg(k)), nullptr) << k;
  ExpectTexts(divided, {"x", "y", "z", "DX", "DY", "DZ", "nx", "ny", "nz", "Numer materiału",
                        "Początek prostopadłościanu w punkcie o wsp.", "Wymiary prostopadłościanu",
                        "Podział na n prostopadłoscianów w osi :", "Scal z istniejącą geometrią"});
  EXPECT_EQ(cuboid.findChild<QLineEdit*>("nx"), nullptr);
  ExpectTexts(material, {"E", "ni", "Numer materiału"});
  ExpectTexts(support, {"Węzeł początkowy", "Węzeł końcowy", "Przyrost węzłów", "Wartość pocz. X", "Wartość końc. X",
                        "Wartość pocz. Z", "Wartość końc. Z", "Podpora w kierunku x", "Podpora w kierunku y",
                        "Podpora w kierunku z", "OK", "Anuluj"});
  EXPECT_EQ(force.ui->Button2->text(), "Anuluj");
  EXPECT_EQ(force.findChild<QCheckBox*>("pkx"), nullptr);
  // OK is the default button; no close button in the title bar.
  EXPECT_TRUE(divided.ui->Button1->isDefault());
  EXPECT_FALSE(divided.windowFlags().testFlag(Qt::WindowCloseButtonHint));
}

TEST_F(BuildDialogsTest, InitialValuesShownWithTheRegionalSeparator) {
  qor::SetDialogDecimalSeparator(',');
  TMaterial material;
  material.FormShow();
  EXPECT_EQ(material.ui->EP->text(), "200000,00000");
  EXPECT_EQ(material.ui->niP->text(), "0,30000");
  EXPECT_EQ(material.ui->matP->text(), "1");

  qor::SetDialogDecimalSeparator('.');
  TProst3 divided;
  divided.FormShow();
  EXPECT_EQ(divided.ui->Edit1->text(), "0.00000");
  EXPECT_EQ(divided.ui->Edit4->text(), "10.00000");
  EXPECT_EQ(divided.ui->Edit7->text(), "1");
  EXPECT_EQ(divided.ui->nz->text(), "2");
  EXPECT_TRUE(divided.ui->ScalBox->isChecked());
}

TEST_F(BuildDialogsTest, OkKeepsTheValuesAndCancelKeepsTheOldOnes) {
  qor::SetDialogDecimalSeparator(',');
  TProst2 cuboid;
  cuboid.FormShow();
  cuboid.ui->Edit2->setText("-1,25");
  cuboid.ui->Edit6->setText("3e2");
  cuboid.ui->Edit7->setText(" 4 ");
  cuboid.ui->ScalBox->setChecked(false);
  cuboid.ui->Button1->click();
  EXPECT_EQ(cuboid.ModalResultCode(), qor::mrOk);
  EXPECT_EQ(cuboid.OriginY, -1.25f);
  EXPECT_EQ(cuboid.SizeZ, 300.0f);
  EXPECT_EQ(cuboid.MaterialNumber, 4);
  EXPECT_FALSE(cuboid.MergeFlag);

  // The next showing starts without a result and offers the kept values.
  cuboid.FormShow();
  EXPECT_NE(cuboid.ModalResultCode(), qor::mrOk);
  EXPECT_EQ(cuboid.ui->Edit2->text(), "-1,25000");
  cuboid.ui->Edit2->setText("7");
  cuboid.ui->Anuluj->click();
  EXPECT_EQ(cuboid.ModalResultCode(), qor::mrCancel);
  EXPECT_EQ(cuboid.OriginY, -1.25f);

  // A bad integer in the last edit keeps every value, the check box included.
  qor::ScriptedPrompts prompts;
  TProst3 divided;
  divided.SetPrompts(&prompts);
  divided.FormShow();
  divided.ui->Edit1->setText("5");
  divided.ui->ScalBox->setChecked(false);
  divided.ui->nz->setText("2,5");
  divided.ui->Button1->click();
  EXPECT_NE(divided.ModalResultCode(), qor::mrOk);
  EXPECT_EQ(divided.OriginX, 0.0f);
  EXPECT_TRUE(divided.MergeFlag);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Złe parametry prostopadłościanu");
}

TEST_F(BuildDialogsTest, ValuesNoSolidOrBlockCanHaveKeepTheDialogOpen) {
  qor::SetDialogDecimalSeparator('.');
  TMaterial material;
  TProst2 cuboid;
  TProst3 divided;
  TWezel node;
  // Nodes 1 to 4 span a tetrahedron, node 5 lies in the plane of 1, 2 and 3.
  TElement element;
  auto model = std::make_unique<qor::ModelStore>();
  model->NodeCount = 5;
  model->Nodes[2] = {1, 0, 0};
  model->Nodes[3] = {0, 1, 0};
  model->Nodes[4] = {0, 0, 1};
  model->Nodes[5] = {0.3f, 0.6f, 0};
  model->MaterialCount = 1;
  element.Store = model.get();
  const std::string badMaterial =
      "Złe parametry materiału:\nE musi być większe od zera, a ni większe od -1 i mniejsze od 0,5.";
  const struct {
    qor::BuildDialog* dialog;
    std::vector<std::pair<QLineEdit*, const char*>> typed;
    std::string message;  // empty: accepted
  } cases[] = {
      {&material, {{material.ui->EP, "0"}}, badMaterial},
      {&material, {{material.ui->EP, "-210000"}}, badMaterial},
      {&material, {{material.ui->niP, "0.5"}}, badMaterial},
      {&material, {{material.ui->niP, "0.6"}}, badMaterial},
      {&material, {{material.ui->niP, "-1"}}, badMaterial},
      {&material, {{material.ui->EP, "0.005"}, {material.ui->niP, "-0.99"}}, ""},
      {&material, {{material.ui->niP, "0.4999"}}, ""},
      {&divided, {{divided.ui->nx, "0"}}, "Złe parametry prostopadłościanu"},
      {&divided, {{divided.ui->nz, "-2"}}, "Złe parametry prostopadłościanu"},
      {&divided, {{divided.ui->Edit1, "3e38"}, {divided.ui->Edit4, "3e38"}}, "Złe parametry prostopadłościanu"},
      {&cuboid, {{cuboid.ui->Edit3, "-3e38"}, {cuboid.ui->Edit6, "-1e38"}}, "Złe parametry prostopadłościanu"},
      {&cuboid, {{cuboid.ui->Edit3, "-3e38"}, {cuboid.ui->Edit6, "3e38"}}, ""},
      {&node, {{node.ui->Edit2, "1e39"}}, "Złe współrzędne węzła"},
      {&node, {{node.ui->Edit3, "-2.5"}}, ""},
      {&element, {{element.ui->Edit4, "6"}}, "Węzeł 6 nie istnieje (liczba węzłów: 5)."},
      {&element, {{element.ui->Edit1, "0"}}, "Węzeł 0 nie istnieje (liczba węzłów: 5)."},
      {&element, {{element.ui->Edit3, "2"}}, "Węzeł 2 podano w elemencie więcej niż raz."},
      {&element, {{element.ui->Edit5, "2"}}, "Materiał 2 nie istnieje (liczba materiałów: 1)."},
      {&element,
       {{element.ui->Edit4, "5"}},
       "Węzły elementu leżą w jednej płaszczyźnie: element nie miałby objętości."},
      {&element, {{element.ui->Edit2, "x"}}, "Złe dane elementu"},
      {&element, {{element.ui->Edit1, "5"}}, ""},
  };
  for (const auto& c : cases) {
    qor::ScriptedPrompts prompts;
    c.dialog->SetPrompts(&prompts);
    c.dialog->FormShow();
    for (auto [edit, text] : c.typed) edit->setText(QString::fromUtf8(text));
    c.dialog->findChild<QPushButton*>("Button1")->click();
    const std::string what = c.typed.front().second;
    if (c.message.empty()) {
      EXPECT_EQ(c.dialog->ModalResultCode(), qor::mrOk) << what;
      EXPECT_TRUE(prompts.messages.empty()) << what;
      continue;
    }
    EXPECT_NE(c.dialog->ModalResultCode(), qor::mrOk) << what;
    ASSERT_EQ(prompts.messages.size(), 1u) << what;
    EXPECT_EQ(prompts.messages[0].text, c.message);
    for (auto [edit, text] : c.typed) EXPECT_EQ(edit->text(), QString::fromUtf8(text)) << what;
  }
  // The refused values were never kept.
  EXPECT_EQ(divided.DivisionsX, 2);
  EXPECT_EQ(material.nu, 0.4999f);
  EXPECT_EQ(node.Z, -2.5f);
  EXPECT_EQ(element.Input.nodes, (std::array<std::int32_t, 4>{5, 2, 3, 4}));
}

TEST_F(BuildDialogsTest, ForceAndSupportDialogsStartFromZerosEveryTime) {
  TP1 support;
  support.FormShow();
  support.ui->Edit1->setText("4");
  support.ui->pkz->setChecked(false);
  support.ui->Button1->click();
  EXPECT_EQ(support.FirstNode, 4);
  EXPECT_TRUE(support.FixX);
  EXPECT_FALSE(support.FixZ);
  support.FormShow();
  EXPECT_EQ(support.ui->Edit1->text(), "0");
  EXPECT_TRUE(support.ui->pkz->isChecked());

  qor::SetDialogDecimalSeparator('.');
  TS1 force;
  force.FormShow();
  force.ui->Edit2->setText("9");
  force.ui->Edit7->setText("2.5");
  force.ui->Button1->click();
  EXPECT_EQ(force.LastNode, 9);
  EXPECT_EQ(force.EndY, 2.5f);
  force.FormShow();
  for (QLineEdit* e : force.findChildren<QLineEdit*>()) EXPECT_EQ(e->text(), "0");
}

}  // namespace

namespace {

TEST_F(BuildDialogsTest, EveryShowingStartsTypingInTheFirstField) {
  TProst3 prost3;
  TMaterial material;
  TS1 force;
  TP1 support;
  const std::pair<QDialog*, QLineEdit*> dialogs[] = {{&prost3, prost3.ui->Edit1},
                                                     {&material, material.ui->EP},
                                                     {&force, force.ui->Edit1},
                                                     {&support, support.ui->Edit1}};
  for (const auto& [dialog, first] : dialogs) {
    // The OK button had the focus when the dialog last closed.
    dialog->findChild<QPushButton*>("Button1")->setFocus();
    dynamic_cast<qor::ModalForm*>(dialog)->FormShow();
    EXPECT_EQ(dialog->focusWidget(), first) << dialog->windowTitle().toStdString();
  }
}

}  // namespace
