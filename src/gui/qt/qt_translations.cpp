#include "gui/qt/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kesp {

bool installQtFrench(QTranslator& translator) {
    // By name, not by QLocale::system(): the program speaks French in every locale.
    if (!translator.load(QStringLiteral("qtbase_fr"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}

} // namespace kesp
