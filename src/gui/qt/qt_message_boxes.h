#pragma once
// Message boxes on QMessageBox, the beep on QApplication::beep().
#include "os/message_box.h"

class QWidget;

namespace kesp {

class QtMessageBoxes : public MessageBoxes {
public:
    // `parent` centres the boxes on it; null gives application-modal boxes without owner.
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void show(const std::string& text, const std::string& title, MessageIcon icon) override;
    void beep() override;

private:
    QWidget* parent_;
};

} // namespace kesp
