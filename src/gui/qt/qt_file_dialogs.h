#pragma once
// The save dialog on QFileDialog, the print dialog on QPrintDialog.
#include "os/dialogs.h"

class QWidget;

namespace kesp {

class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    // Confirms before replacing an existing file; adds the default extension to a bare name.
    std::optional<std::string> saveFile(const SaveDialogRequest& request) override;
    std::optional<std::string> openFile(const OpenDialogRequest& request) override;
    // The printer and the copies chosen, or the PDF file of "Print to File (PDF)".
    std::optional<PrintChoice> printDialog(const std::string& title) override;

private:
    QWidget* parent_;
};

} // namespace kesp
