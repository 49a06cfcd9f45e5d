#include <QApplication>
#include <QMessageBox>
#include <QTranslator>
#include <exception>

#include "Gl3d.h"
#include "Globals.h"
#include "Translations.h"
#include "platform/qt/Application.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  qor::ConfigureApplication();

  QTranslator qtbase;
  InstallPolishTranslations(qtbase);

  int code = 0;
  try {
    CreateWindows();
    GL->show();
    code = QApplication::exec();
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, QStringLiteral("QOR 3D"), QString::fromUtf8(e.what()));
    code = 0;
  }
  DestroyWindows();
  return code;
}
