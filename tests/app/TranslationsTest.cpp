#include "Translations.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>

TEST(Translations, StandardDialogButtonsSpeakPolish) {
  QTranslator translator;
  ASSERT_TRUE(InstallPolishTranslations(translator));
  // The button texts of QMessageBox, QInputDialog and QFileDialog.
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Anuluj"));
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:"), QStringLiteral("Nazwa &pliku:"));
  QCoreApplication::removeTranslator(&translator);
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}
