#include "gui/qt/folder_order.h"

namespace kesp {

namespace {

// QCollator compares code points in the C locale, which names no language: the Unicode root
// order (the one English uses) stands in for it.
QLocale collationLocale(const QLocale& locale) {
    return locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates)
                                           : locale;
}

} // namespace

FolderOrder::FolderOrder(const QLocale& locale) : collator_(collationLocale(locale)) {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
    collator_.setNumericMode(true);
}

bool FolderOrder::operator()(const QString& a, const QString& b) const {
    const int order = collator_.compare(a, b);
    // Names the collation holds equal ("Photos" and "photos") still come in a fixed order.
    return order != 0 ? order < 0 : a < b;
}

} // namespace kesp
