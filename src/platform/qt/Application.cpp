#include "platform/qt/Application.h"

#include <QApplication>

namespace qor {

QFont ProgramFont() {
  // "Sans Serif" is the font configuration's own name for the system's
  // preferred sans-serif family; the style hint covers systems without it.
  QFont font(QStringLiteral("Sans Serif"), 8);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

void ConfigureApplication() {
  QApplication::setApplicationName(QStringLiteral("QOR 3D"));
  QApplication::setFont(ProgramFont());
}

}  // namespace qor
