#pragma once

class QTranslator;

// Loads Qt's Polish translation of its base library and installs it, so the
// standard dialogs (file dialogs, input boxes, message-box buttons) speak
// Polish like the rest of the program, whatever the user's language.
// Returns false when the translation is not installed on this machine.
bool InstallPolishTranslations(QTranslator& translator);
