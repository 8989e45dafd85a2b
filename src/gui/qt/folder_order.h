#pragma once
// Dir1's folders in the order the user's locale sorts names: letter case and accents as its
// collation weighs them, numbers by their value ("Photos 9" before "Photos 10"). The scan keeps
// the volume's own order; this is for the eye only.
#include <QCollator>
#include <QLocale>
#include <QString>

namespace kesp {

class FolderOrder {
public:
    explicit FolderOrder(const QLocale& locale = QLocale());
    bool operator()(const QString& a, const QString& b) const;

private:
    QCollator collator_;
};

} // namespace kesp
