#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <exception>

#include "Gl3d.h"
#include "Globals.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("QOR 3D");
  QApplication::setApplicationDisplayName("QOR 3D");

  // The standard dialogs (file dialogs, input boxes, message-box buttons) speak
  // Polish like the rest of the program, whatever the user's language.
  QTranslator qtbase;
  if (qtbase.load(QStringLiteral("qtbase_pl"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtbase);

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
