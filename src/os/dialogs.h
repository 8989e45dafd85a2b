#pragma once
// The common save and print dialogs. Qt backend in platform/qt; tests use a fake with queued
// answers.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kesp {

struct SaveDialogRequest {
    std::string title;
    std::string fileName; // initial full path
    std::string initialFolder;
    std::string defaultExtension;                             // added to a name typed without one
    std::vector<std::pair<std::string, std::string>> filters; // (label, pattern)
};

struct OpenDialogRequest {
    std::string title;
    std::string initialFolder;
    std::vector<std::pair<std::string, std::string>> filters; // (label, pattern)
};

// What the print dialog was told: a printer and a number of copies, or a PDF file to write
// instead ("Print to File (PDF)").
struct PrintChoice {
    std::string printer; // empty: the default one
    int copies = 1;
    std::string pdfFile; // not empty: write this PDF, print nothing
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen full path; nullopt when the user cancelled. The dialog itself asks before an
    // existing file is replaced.
    virtual std::optional<std::string> saveFile(const SaveDialogRequest& request) = 0;
    // The existing file chosen; nullopt when the user cancelled.
    virtual std::optional<std::string> openFile(const OpenDialogRequest& request) = 0;
    // The choice the user confirmed; nullopt when the dialog was cancelled.
    virtual std::optional<PrintChoice> printDialog(const std::string& title) = 0;
};

} // namespace kesp
