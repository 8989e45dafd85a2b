#pragma once
// Modal message boxes and the system beep. The interface is Qt-free; the Qt backend lives in
// platform/qt, tests use a recorder with queued answers.
#include <string>

namespace kesp {

enum class MessageIcon { None, Critical, Exclamation, Information };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows a modal box with a single OK button; returns when it is closed.
    virtual void show(const std::string& text, const std::string& title, MessageIcon icon) = 0;
    virtual void beep() = 0;
};

} // namespace kesp
