#pragma once
// Drive1's widget: a drop-down list that tells its owner before it opens, so the list of mounted
// volumes can be read afresh (a volume mounted after start-up shows up).
#include <QComboBox>

namespace kesp {

class DriveList : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override {
        emit aboutToShowPopup();
        QComboBox::showPopup();
    }

signals:
    void aboutToShowPopup();
};

} // namespace kesp
