#pragma once
// Qt's own dialogs (file, print, the standard buttons) in French, as the rest of the program,
// whatever the user's locale.
class QTranslator;

namespace kesp {

// Loads Qt's French catalogue into `translator` and installs it in the application. False when
// the catalogue is missing (Debian's qt6-translations-l10n not installed): Qt's dialogs then
// stay in English.
bool installQtFrench(QTranslator& translator);

} // namespace kesp
