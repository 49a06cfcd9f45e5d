// The commands of the menus "&Dodaj" and "&Usuń" driven through their handlers,
// with the dialogs' edits typed as text.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>
#include <utility>
#include <vector>

#include "BuildDialog.h"
#include "Dp1.h"
#include "Ds1.h"
#include "FormScripts.h"
#include "Gl3d.h"
#include "Globals.h"
#include "Mater.h"
#include "Prostop1.h"
#include "Prostop2.h"
#include "Prostop3.h"
#include "support/ScriptedPrompts.h"
#include "ui_Dp1.h"
#include "ui_Ds1.h"
#include "ui_Mater.h"
#include "ui_Prostop1.h"

namespace qor {
inline void PrintTo(const UserMessage& m, std::ostream* os) { *os << '"' << m.text << "\" / \"" << m.caption << '"'; }
}  // namespace qor

namespace {

using qor::MessageStyle;
using qor::UserMessage;
using qor::test::Checks;
using qor::test::Fields;

class BuildCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateWindows();
    GL->SetPrompts(&prompts);
  }
  void TearDown() override {
    DestroyWindows();
    qor::SetDialogDecimalSeparator('\0');
  }

  static qor::ScriptedPrompts::FormScript Type(Fields fields, Checks checks = {}) {
    return qor::test::TypeAndPressOk(std::move(fields), std::move(checks));
  }
  // What the dialog shows on opening, read before anything is typed.
  static qor::ScriptedPrompts::FormScript Peek(QString name, QString* text) {
    return [name, text](qor::ModalForm& form) {
      *text = dynamic_cast<QDialog&>(form).findChild<QLineEdit*>(name)->text();
      return int(qor::mrCancel);
    };
  }

  qor::ScriptedPrompts prompts;
};

Fields UnitCubeCorners(const QString& one) {
  const char* x = "00110011";
  const char* y = "00001111";
  const char* z = "01010101";
  Fields f;
  for (int k = 1; k <= 8; ++k) {
    f.push_back({QString("Edit%1").arg(k), x[k - 1] == '1' ? one : "0"});
    f.push_back({QString("Edit%1").arg(k + 8), y[k - 1] == '1' ? one : "0"});
    f.push_back({QString("Edit%1").arg(k + 16), z[k - 1] == '1' ? one : "0"});
  }
  return f;
}

double AbsVolume(const qor::ModelStore& s, int e) {
  const auto& r = s.Elements[e];
  const auto& a = s.Nodes[r.node[1]];
  double m[3][3];
  for (int k = 0; k < 3; ++k) {
    const auto& b = s.Nodes[r.node[k + 2]];
    m[k][0] = b.x - a.x, m[k][1] = b.y - a.y, m[k][2] = b.z - a.z;
  }
  return std::fabs(m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                   m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                   m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0])) /
         6.0;
}

TEST_F(BuildCommandsTest, HexahedronFromTypedCornersWithEitherSeparator) {
  for (char sep : {',', '.'}) {
    qor::SetDialogDecimalSeparator(sep);
    GL->Model = qor::ModelStore{};
    GL->Model.ResultsValid = 1;
    const QString one = sep == ',' ? "1,0" : "1.0";
    prompts.OnForm(Type(UnitCubeCorners(one), {{"ScalBox", false}}));
    GL->d_szescClick();
    const qor::ModelStore& m = GL->Model;
    ASSERT_EQ(m.NodeCount, 8) << sep;
    ASSERT_EQ(m.ElementCount, 6);
    EXPECT_EQ(m.ResultsValid, 0);
    EXPECT_EQ(m.Nodes[4].x, 1.0f);
    EXPECT_EQ(m.Nodes[4].y, 0.0f);
    EXPECT_EQ(m.Nodes[4].z, 1.0f);
    EXPECT_EQ(m.Elements[6].node[2], 8);
    double sum = 0;
    for (int e = 1; e <= 6; ++e) sum += AbsVolume(m, e);
    EXPECT_NEAR(sum, 1.0, 1e-9);
    EXPECT_TRUE(prompts.messages.empty());  // merge box unchecked: no count
    // The next opening offers the typed values with five decimals.
    QString shown;
    prompts.OnForm(Peek("Edit3", &shown));
    GL->d_szescClick();
    EXPECT_EQ(shown, sep == ',' ? "1,00000" : "1.00000");
    EXPECT_FALSE(Prost1->ui->ScalBox->isChecked());
  }
}

TEST_F(BuildCommandsTest, HexahedronMergeBoxFusesWithTheModel) {
  prompts.OnForm(Type({}));
  GL->d_szescClick();  // all corners at the origin: they fuse among themselves
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0], (UserMessage{"Usunięto 7 węzłów.", "Usuwanie węzłów", MessageStyle::Plain}));
  prompts.OnForm(Type({}));
  GL->d_szescClick();
  EXPECT_EQ(prompts.messages.back().text, "Usunięto 8 węzłów.");
  EXPECT_EQ(GL->Model.NodeCount, 1);
  EXPECT_EQ(GL->Model.ElementCount, 12);
}

TEST_F(BuildCommandsTest, AFieldWithoutANumberKeepsTheDialogOpenAndBuildsNothing) {
  qor::SetDialogDecimalSeparator(',');
  Fields typed = UnitCubeCorners("1");
  typed.push_back({"Edit11", "a"});  // y3
  prompts.OnForm([&](qor::ModalForm& form) {
    const int first = Type(typed)(form);
    EXPECT_NE(first, qor::mrOk);
    EXPECT_EQ(Prost1->ui->Edit11->text(), "a");  // the user's text stays for correction
    EXPECT_EQ(Prost1->CornerX[3], 0.0f);         // nothing half-read is kept
    return first;
  });
  GL->d_szescClick();
  EXPECT_EQ(GL->Model.NodeCount, 0);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0], (UserMessage{"Złe parametry sześciościanu", "Sześciościan", MessageStyle::Plain}));

  // A point is not the separator here; correcting the field and pressing again builds.
  prompts.OnForm([&](qor::ModalForm& form) {
    Fields wrong = UnitCubeCorners("1");
    wrong.push_back({"Edit25", "1.5"});
    EXPECT_NE(Type(wrong)(form), qor::mrOk);
    return Type({{"Edit25", "1"}})(form);
  });
  GL->d_szescClick();
  EXPECT_EQ(GL->Model.NodeCount, 8);
  EXPECT_EQ(Prost1->CornerX[3], 1.0f);
}

TEST_F(BuildCommandsTest, HexahedronAndCuboidRefuseAtTheLimitsBeforeTheDialog) {
  GL->Model.ElementCount = 1992;
  GL->d_szescClick();
  GL->d_prostopClick();
  EXPECT_TRUE(prompts.shownForms.empty());
  ASSERT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(prompts.messages[0],
            (UserMessage{"Osiągnięto maksymalną liczbe elementów", "Kontrola liczby elementów", MessageStyle::Plain}));
  GL->Model.ElementCount = 0;
  GL->Model.NodeCount = 658;
  GL->d_prostopClick();
  EXPECT_TRUE(prompts.shownForms.empty());

  GL->Model.NodeCount = 657;
  GL->Model.ElementCount = 1991;
  prompts.OnForm(Type({}, {{"ScalBox", false}}));
  GL->d_prostopClick();
  EXPECT_EQ(GL->Model.ElementCount, 1997);
  EXPECT_EQ(GL->Model.NodeCount, 665);
}

TEST_F(BuildCommandsTest, CuboidWithTheInitialValues) {
  prompts.OnForm(Type({}));
  GL->d_prostopClick();
  const qor::ModelStore& m = GL->Model;
  ASSERT_EQ(m.NodeCount, 8);
  EXPECT_EQ(m.Nodes[8].x, 10.0f);
  EXPECT_EQ(m.Nodes[6].y, 10.0f);
  EXPECT_EQ(m.Nodes[6].z, 10.0f);
  EXPECT_EQ(m.Elements[3].node[1], 2);
  EXPECT_EQ(m.Elements[3].material, 1);
  EXPECT_EQ(prompts.messages.back().text, "Usunięto 0 węzłów.");
  // Cancel changes nothing.
  GL->d_prostopClick();
  EXPECT_EQ(GL->Model.NodeCount, 8);
}

TEST_F(BuildCommandsTest, DividedCuboidThroughTheDialog) {
  qor::SetDialogDecimalSeparator('.');
  GL->Model.ResultsValid = 1;
  prompts.OnForm(Type({{"Edit1", "0.5"}, {"Edit4", "2"}, {"Edit5", "2.0"}, {"Edit6", "2"}, {"nz", "2"}}));
  GL->d_prostdClick();
  EXPECT_EQ(GL->Model.NodeCount, 27);
  EXPECT_EQ(GL->Model.ElementCount, 48);
  EXPECT_EQ(GL->Model.ResultsValid, 0);
  EXPECT_EQ(GL->Model.Nodes[27].x, 2.5f);
  EXPECT_EQ(prompts.messages.back(), (UserMessage{"Usunięto 0 węzłów.", "Usuwanie węzłów", MessageStyle::Plain}));

  QString origin, nx;
  prompts.OnForm(Peek("Edit1", &origin));
  GL->d_prostdClick();
  prompts.OnForm(Peek("nx", &nx));
  GL->d_prostdClick();
  EXPECT_EQ(origin, "0.50000");
  EXPECT_EQ(nx, "2");

  // A division count of zero is refused; the model stays as it was.
  GL->Model.ResultsValid = 1;
  prompts.OnForm(Type({{"ny", "0"}}));
  GL->d_prostdClick();
  EXPECT_EQ(prompts.messages.back(),
            (UserMessage{"Złe parametry prostopadłościanu", "Prostopadłościan", MessageStyle::Plain}));
  EXPECT_EQ(GL->Model.NodeCount, 27);
  EXPECT_EQ(GL->Model.ResultsValid, 1);

  // Too large: refused after the dialog, results marked out of date.
  prompts.OnForm(Type({{"nx", "10"}, {"ny", "10"}, {"nz", "10"}}));
  GL->d_prostdClick();
  EXPECT_EQ(prompts.messages.back().caption, "Kontrola liczby elementów");
  EXPECT_EQ(GL->Model.NodeCount, 27);
  EXPECT_EQ(GL->Model.ResultsValid, 0);
}

TEST_F(BuildCommandsTest, MaterialCommand) {
  qor::SetDialogDecimalSeparator(',');
  GL->Model.MaterialCount = 6;
  GL->Model.ResultsValid = 1;
  QString number;
  prompts.OnForm([&](qor::ModalForm& form) {
    number = Material->ui->matP->text();
    EXPECT_TRUE(Material->ui->matP->isReadOnly());
    return Type({{"EP", "210000,5"}, {"niP", "0,25"}})(form);
  });
  GL->d_matClick();
  EXPECT_EQ(number, "7");
  EXPECT_EQ(GL->Model.MaterialCount, 7);
  EXPECT_EQ(GL->Model.Materials[7].E, 210000.5f);
  EXPECT_EQ(GL->Model.Materials[7].nu, 0.25f);
  EXPECT_EQ(GL->Model.ResultsValid, 1);

  GL->d_matClick();  // seven exist
  EXPECT_EQ(prompts.shownForms.size(), 1u);
  EXPECT_EQ(prompts.messages.back(), (UserMessage{"Osiągnięto maksymalną liczbe materiałów",
                                                  "Kontrola liczby materiałów", MessageStyle::Plain}));

  GL->Model.MaterialCount = 0;
  prompts.OnForm(Type({{"niP", "0.3"}}));  // a point is no separator here
  GL->d_matClick();
  EXPECT_EQ(prompts.messages.back(), (UserMessage{"Złe parametry materiału", "Materiał", MessageStyle::Plain}));
  EXPECT_EQ(GL->Model.MaterialCount, 0);
  EXPECT_EQ(Material->nu, 0.25f);
}

TEST_F(BuildCommandsTest, ForceCommand) {
  qor::SetDialogDecimalSeparator(',');
  GL->Model.NodeCount = 6;
  prompts.OnForm(
      Type({{"Edit1", "1"}, {"Edit2", "5"}, {"Edit3", "1"}, {"Edit5", "100"}, {"Edit8", "-0,5"}, {"Edit9", "-0,5"}}));
  GL->d_sileClick();
  for (int n = 1; n <= 5; ++n) {
    EXPECT_EQ(GL->Model.Forces[3 * n - 2], 25.0f * (n - 1));
    EXPECT_EQ(GL->Model.Forces[3 * n], -0.5f);
  }
  // Every opening starts from zeros; a node outside the model refuses the command.
  QString shown;
  prompts.OnForm([&](qor::ModalForm& form) {
    shown = S1->ui->Edit5->text();
    return Type({{"Edit1", "7"}, {"Edit4", "3"}})(form);
  });
  GL->d_sileClick();
  EXPECT_EQ(shown, "0");
  EXPECT_EQ(prompts.messages.back(), (UserMessage{"Podałeś błędne dane", "Dodaj siłę", MessageStyle::Stop}));
  EXPECT_EQ(GL->Model.Forces[19], 0.0f);

  GL->Model.ResultsValid = 1;
  prompts.OnForm(Type({{"Edit1", "x"}}));
  GL->d_sileClick();
  EXPECT_EQ(prompts.messages.back(), (UserMessage{"Podałeś błędne dane", "Dodaj siłę", MessageStyle::Stop}));
  EXPECT_EQ(GL->Model.ResultsValid, 1);
}

TEST_F(BuildCommandsTest, SupportCommand) {
  GL->Model.NodeCount = 6;
  prompts.OnForm(Type({{"Edit1", "2"}, {"Edit2", "6"}, {"Edit3", "2"}}, {{"pky", false}}));
  GL->d_podpClick();
  ASSERT_EQ(GL->Model.SupportCount, 6);
  EXPECT_EQ(GL->Model.Supports[6].dof, 18);
  EXPECT_EQ(GL->Model.Supports[3].dof, 10);
  EXPECT_TRUE(P1->ui->pky->isChecked() == false && P1->FixY == false);

  prompts.OnForm(Type({{"Edit1", "3"}, {"Edit9", "1e"}}));
  GL->d_podpClick();
  EXPECT_EQ(prompts.messages.back(), (UserMessage{"Podałeś błędne dane", "Dodaj podpore", MessageStyle::Stop}));
  EXPECT_EQ(GL->Model.SupportCount, 6);

  GL->Model.SupportCount = 495;
  GL->d_podpClick();
  EXPECT_EQ(prompts.shownForms.size(), 2u);
  EXPECT_EQ(prompts.messages.back(),
            (UserMessage{"Osiągnięto maksymalną liczbe podpór", "Kontrola liczby podpór", MessageStyle::Plain}));
}

TEST_F(BuildCommandsTest, DeletionCommandsAskWithTheirCaptionsAndCounts) {
  // Empty tables: no question at all.
  GL->Wze1Click();
  GL->Element1Click();
  GL->Si1Click();
  GL->Podpor1Click();
  EXPECT_TRUE(prompts.queries.empty());

  prompts.OnForm(Type({}, {{"ScalBox", false}}));
  GL->d_prostopClick();  // 8 nodes, 6 elements
  GL->Model.ResultsValid = 1;
  prompts.AnswerInput("abc");
  GL->Element1Click();
  prompts.AnswerInput(std::nullopt);
  GL->Wze1Click();
  prompts.AnswerInput("3");
  GL->Si1Click();
  prompts.AnswerInput("3");
  GL->Podpor1Click();
  ASSERT_EQ(prompts.queries.size(), 4u);
  EXPECT_EQ(prompts.queries[0].caption, "Usuwanie elementu");
  EXPECT_EQ(prompts.queries[0].prompt, "Podaj numeru elementu :");
  EXPECT_EQ(prompts.queries[0].initial, "6");
  EXPECT_EQ(prompts.queries[1].caption, "Usuwanie węzła");
  EXPECT_EQ(prompts.queries[1].initial, "8");
  EXPECT_EQ(prompts.queries[2].caption, "Usuwanie sił");
  EXPECT_EQ(prompts.queries[3].caption, "Usuwanie podpór");
  EXPECT_EQ(prompts.queries[3].prompt, "Podaj numeru węzła :");
  EXPECT_EQ(prompts.plainMessages,
            (std::vector<std::string>{"Podałeś nieprawidłowy numer elementu", "W tym węźle nie podpór"}));
  EXPECT_EQ(GL->Model.ResultsValid, 0);  // the force deletion

  // The offered count deletes the last element; then free nodes go.
  prompts.AnswerInput("6");
  GL->Element1Click();
  EXPECT_EQ(GL->Model.ElementCount, 5);
  GL->Wolnewzy1Click();
  EXPECT_EQ(prompts.plainMessages.back(), "Usnięto 0 węzłów.");
  prompts.AnswerInput("8");
  GL->Wze1Click();
  EXPECT_EQ(prompts.plainMessages.back(),
            "Podałeś nieprawidłowy numer węzła\nlub węzeł podparty\nlub będący składnikiem elementu");
}

TEST_F(BuildCommandsTest, DuplicateNodesCommandReportsInAMessageBox) {
  prompts.OnForm(Type({}, {{"ScalBox", false}}));
  GL->d_szescClick();  // eight nodes at the origin
  GL->Model.ResultsValid = 1;
  GL->Podwjnewzy1Click();
  EXPECT_EQ(prompts.messages.back(), (UserMessage{"Usunięto 7 węzłów.", "Usuwanie węzłów", MessageStyle::Plain}));
  EXPECT_EQ(GL->Model.NodeCount, 1);
  EXPECT_EQ(GL->Model.ResultsValid, 0);
  GL->Model.ResultsValid = 1;
  GL->Podwjnewzy1Click();
  EXPECT_EQ(prompts.messages.back().text, "Usunięto 0 węzłów.");
  EXPECT_EQ(GL->Model.ResultsValid, 1);
}

// A node and an element typed one by one: the node carries no force left by an
// earlier model, the element joins the typed nodes, and either makes the
// results out of date; at the store's limit nothing is asked.
TEST_F(BuildCommandsTest, NodeAndElementTypedOneByOne) {
  qor::SetDialogDecimalSeparator(',');
  qor::ModelStore& m = GL->Model;
  m.Forces[qor::DofOf(4, 3)] = 9.0f;  // left behind by an earlier model
  for (const char* z : {"0", "0", "0", "1,5"}) {
    prompts.OnForm(Type({{"Edit1", "2"}, {"Edit2", "-1"}, {"Edit3", z}}));
    GL->Wzel1Click();
  }
  m.Nodes[2].x = 3;
  m.Nodes[3].y = 0;
  qor::AddMaterial(m, 1000, 0.3f);
  m.ResultsValid = 1;
  prompts.OnForm(Type({{"Edit1", "4"}, {"Edit2", "1"}, {"Edit3", "3"}, {"Edit4", "2"}, {"Edit5", "1"}}));
  GL->Element2Click();
  ASSERT_EQ(m.NodeCount, 4);
  EXPECT_EQ(m.Nodes[4].x, 2.0f);
  EXPECT_EQ(m.Nodes[4].y, -1.0f);
  EXPECT_EQ(m.Nodes[4].z, 1.5f);
  EXPECT_EQ(m.Forces[qor::DofOf(4, 3)], 0.0f);
  ASSERT_EQ(m.ElementCount, 1);
  EXPECT_EQ(m.Elements[1].node[1], 4);
  EXPECT_EQ(m.Elements[1].node[4], 2);
  EXPECT_EQ(m.ResultsValid, 0);
  EXPECT_TRUE(prompts.messages.empty());

  m.NodeCount = 997;
  m.ElementCount = 1997;
  GL->Wzel1Click();
  GL->Element2Click();
  EXPECT_EQ(prompts.shownForms.size(), 5u);
  const UserMessage full{"Osiągnięto maksymalną liczbe elementów", "Kontrola liczby elementów", MessageStyle::Plain};
  EXPECT_EQ(prompts.messages, (std::vector<UserMessage>{full, full}));
}

}  // namespace
