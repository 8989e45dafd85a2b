#include "gui/qt/qt_file_dialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QSettings>
#include <algorithm>

namespace kesp {

namespace {

// Qt's file dialog keeps its history and last folder in QtProject.conf under the user's
// configuration folder, and offers no switch for it; the program keeps no settings at all, so
// the user scope of its settings is pointed at a place where no file can be made. (On Windows
// the native format is the registry, which this does not cover.)
void keepNoSettings() {
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, QStringLiteral("/dev/null"));
}

using Filters = std::vector<std::pair<std::string, std::string>>;

// Shows `dialog` with `filters` ("label (pattern)"); the file chosen, as bytes.
std::optional<std::string> chosenFile(QFileDialog& dialog, const Filters& filters) {
    QStringList names;
    for (const auto& [label, pattern] : filters)
        names << QString::fromStdString(label + " (" + pattern + ")");
    dialog.setNameFilters(names);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return QFile::encodeName(chosen.first()).toStdString();
}

} // namespace

std::optional<std::string> QtFileDialogs::saveFile(const SaveDialogRequest& request) {
    keepNoSettings();
    QFileDialog dialog(parent_, QString::fromStdString(request.title),
                       QFile::decodeName(QByteArray::fromStdString(request.initialFolder)));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    if (!request.fileName.empty())
        dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(request.fileName)));
    return chosenFile(dialog, request.filters);
}

std::optional<std::string> QtFileDialogs::openFile(const OpenDialogRequest& request) {
    keepNoSettings();
    QFileDialog dialog(parent_, QString::fromStdString(request.title),
                       QFile::decodeName(QByteArray::fromStdString(request.initialFolder)));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return chosenFile(dialog, request.filters);
}

std::optional<PrintChoice> QtFileDialogs::printDialog(const std::string& title) {
    keepNoSettings();
    QPrinter printer;
    // Offered as the PDF's name: "kesp.pdf" in the home folder.
    printer.setDocName(QStringLiteral("kesp"));
    QPrintDialog dialog(&printer, parent_);
    dialog.setWindowTitle(QString::fromStdString(title));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    PrintChoice choice;
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        choice.pdfFile = QFile::encodeName(printer.outputFileName()).toStdString();
        return choice;
    }
    choice.printer = printer.printerName().toStdString();
    choice.copies = std::max(1, printer.copyCount());
    return choice;
}

} // namespace kesp
