// A whole piece of work done only through the menu commands and their
// dialogs: a divided cuboid, a material, supports on one face, a force range,
// then the computation and its statistics.
#include <gtest/gtest.h>

#include <cmath>

#include "Dp1.h"
#include "Ds1.h"
#include "FormScripts.h"
#include "Gl3d.h"
#include "Globals.h"
#include "Mater.h"
#include "Prostop3.h"
#include "support/ScriptedPrompts.h"
#include "ui_Gl3d.h"

namespace {

using qor::test::TypeAndPressOk;

TEST(MenuBuiltModel, ACantileverBuiltThroughTheMenusComputes) {
  CreateWindows();
  qor::ScriptedPrompts prompts;
  GL->SetPrompts(&prompts);
  const QString sep = QString(QChar(TGL::DecimalSeparator()));
  auto real = [&](const char* text) { return QString(text).replace('.', sep); };

  // A 40 × 10 × 10 bar in four blocks along x.
  prompts.OnForm(TypeAndPressOk({{"Edit1", real("0")},
                                 {"Edit2", real("0")},
                                 {"Edit3", real("0")},
                                 {"Edit4", real("40")},
                                 {"Edit5", real("10")},
                                 {"Edit6", real("10")},
                                 {"Edit7", "1"},
                                 {"nx", "4"},
                                 {"ny", "1"},
                                 {"nz", "1"}}));
  GL->ui->d_prostd->trigger();
  ASSERT_EQ(GL->Model.NodeCount, 20);
  ASSERT_EQ(GL->Model.ElementCount, 24);

  prompts.OnForm(TypeAndPressOk({{"EP", real("200000")}, {"niP", real("0.3")}, {"matP", "1"}}));
  GL->ui->d_mat->trigger();
  ASSERT_EQ(GL->Model.MaterialCount, 1);

  // Every node on the face x = 0 fixed in x, y and z; every node at x = 40
  // loaded downwards, each through its own run of the command.
  // The node range form of both dialogs: one node, values in z only.
  auto oneNode = [&](const QString& node, const QString& fz) -> qor::test::Fields {
    return {{"Edit1", node}, {"Edit2", node}, {"Edit3", "1"}, {"Edit4", "0"}, {"Edit5", "0"},
            {"Edit6", "0"},  {"Edit7", "0"},  {"Edit8", fz},  {"Edit9", fz}};
  };
  float total = 0;
  for (int n = 1; n <= GL->Model.NodeCount; ++n) {
    const QString node = QString::number(n);
    if (GL->Model.Nodes[n].x == 0.0f) {
      prompts.OnForm(TypeAndPressOk(oneNode(node, "0"), {{"pkx", true}, {"pky", true}, {"pkz", true}}));
      GL->ui->d_podp->trigger();
    } else if (GL->Model.Nodes[n].x == 40.0f) {
      prompts.OnForm(TypeAndPressOk(oneNode(node, real("-2.5"))));
      GL->ui->d_sile->trigger();
      total += 2.5f;
    }
  }
  ASSERT_EQ(GL->Model.SupportCount, 12);
  ASSERT_EQ(total, 10.0f);

  prompts.messages.clear();
  GL->ui->Oblicz2->trigger();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Obliczono.");
  EXPECT_EQ(GL->Model.ResultsValid, 1);

  // The tip goes down by the order of the beam's bending deflection
  // P L³ / (3 E I); four coarse linear tetrahedra blocks are stiffer than the beam.
  const double beam = 10.0 * 40 * 40 * 40 / (3 * 200000.0 * (10.0 * 1000 / 12));
  for (int n = 1; n <= GL->Model.NodeCount; ++n) {
    if (GL->Model.Nodes[n].x != 40.0f) continue;
    const double w = GL->Model.Displacements[qor::DofOf(n, 3)];
    EXPECT_LT(w, -0.2 * beam) << n;
    EXPECT_GT(w, -1.2 * beam) << n;
  }
  DestroyWindows();
}

}  // namespace
