#include "gui/qt/form1.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <initializer_list>

#include "gui/qt/append_list_model.h"
#include "gui/qt/display_text.h"
#include "gui/qt/drive_list.h"
#include "gui/qt/folder_tree.h"
#include "gui/qt/opti_window.h"
#include "gui/qt/status_bar.h"

namespace kesp {

Form1::Form1(Form1Services services, QWidget* parent)
    : QMainWindow(parent), boxes_(services.boxes), environment_(services.environment),
      launcher_(services.launcher), controller_(std::move(services), *this, &pdfWriter_) {
    createControls();
    connect(ok_, &QPushButton::clicked, this, &Form1::OK_Click);
    connect(sldFreq_, &QSlider::valueChanged, this,
            [this](int seconds) { controller_.sldFreq_Change(seconds); });
    connect(dir1_, &FolderTree::rightButtonPressed, this,
            [this] { controller_.Dir1_RightButton(); });
    connect(drive1_, &QComboBox::currentIndexChanged, this,
            [this] { controller_.Drive1_Change(); });
    connect(drive1_, &DriveList::aboutToShowPopup, this, [this] { controller_.refreshDrives(); });
    controller_.Form_Load();
}

Form1::~Form1() {
    // The controller goes before the widgets: nothing they report on their way out may reach it.
    for (QObject* widget : std::initializer_list<QObject*>{drive1_, dir1_, sldFreq_, ok_})
        widget->blockSignals(true);
    delete opti_;
}

Opti* Form1::optiWindow() const {
    return opti_.data();
}

// --- WindowView ---

std::string Form1::okCaption() {
    return ok_->text().toStdString();
}
void Form1::setOkCaption(const std::string& caption) {
    ok_->setText(QString::fromStdString(caption));
}
void Form1::setOkEnabled(bool enabled) {
    ok_->setEnabled(enabled);
}
void Form1::setDriveEnabled(bool enabled) {
    drive1_->setEnabled(enabled);
}
void Form1::setFolderEnabled(bool enabled) {
    dir1_->setEnabled(enabled);
}

void Form1::setToolButtonEnabled(int position, bool enabled) {
    if (position < 1 || position > static_cast<int>(toolButtons_.size())) return;
    toolButtons_[static_cast<std::size_t>(position - 1)]->setEnabled(enabled);
}

void Form1::setMenuEnabled(MenuItem item, bool enabled) {
    switch (item) {
    case MenuItem::Enregistrer:
        menuItem(form1::Command::Enregistrer)->setEnabled(enabled);
        break;
    case MenuItem::Imprimer:
        menuItem(form1::Command::Imprimer)->setEnabled(enabled);
        break;
    case MenuItem::optimiser:
        menuItem(form1::Command::Optimiser)->setEnabled(enabled);
        break;
    }
}

void Form1::setBusy(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void Form1::clearList1() {
    list1Model_->clear();
}
void Form1::clearList3() {
    list3Model_->clear();
}
void Form1::appendList1(const std::string& line) {
    list1Model_->append(line);
}
void Form1::appendList3(const std::string& line) {
    list3Model_->append(line);
}

void Form1::setStatusPanel(int position, const std::string& text) {
    statusBar1_->setPanelText(position, displayText(text));
}

void Form1::setTitle(const std::string& title) {
    setWindowTitle(displayText(title));
}

std::string Form1::driveText() {
    const int index = drive1_->currentIndex();
    if (index < 0 || index >= static_cast<int>(drives_.size())) return {};
    return drives_[static_cast<std::size_t>(index)];
}

std::string Form1::folderPath() {
    return dir1_->path();
}

CheckState Form1::subFolders() {
    switch (sousRep_->checkState()) {
    case Qt::Checked:
        return CheckState::Ticked;
    case Qt::PartiallyChecked:
        return CheckState::Grey;
    case Qt::Unchecked:
        break;
    }
    return CheckState::Clear;
}

void Form1::closeOpti() {
    if (!opti_) return;
    opti_->close();
    // Rebuilt at its next opening from the scan that follows.
    opti_->deleteLater();
    opti_ = nullptr;
}

void Form1::pump() {
    list1Model_->flush();
    list3Model_->flush();
    // A view resets, lays out and repaints in separate passes of the event loop (zero timers,
    // then a posted update request); one pass would leave the rest to the next pump, a whole
    // refresh period later.
    for (int pass = 0; pass < 3; ++pass)
        QCoreApplication::processEvents();
}

void Form1::showError(const std::string& text, const std::string& title) {
    boxes_.show(text, title, MessageIcon::Critical);
}

void Form1::setDriveEntries(const std::vector<std::string>& entries, int selected) {
    const QSignalBlocker blocker(drive1_);
    drives_ = entries;
    drive1_->clear();
    for (const std::string& entry : drives_)
        drive1_->addItem(displayText(entry));
    drive1_->setCurrentIndex(selected);
}

void Form1::setDriveText(const std::string& entry) {
    for (std::size_t i = 0; i < drives_.size(); ++i) {
        // Drive1 reports the change, which runs the drive-change handling before this returns.
        if (drives_[i] == entry) drive1_->setCurrentIndex(static_cast<int>(i));
    }
}

void Form1::showFolders(const std::string& root, const std::string& folder,
                        FolderEnumerator* folders) {
    dir1_->showDrive(root, folder, folders);
}

int Form1::refreshSeconds() {
    return sldFreq_->value();
}

void Form1::setRefreshLabel(const std::string& text) {
    label1_->setText(QString::fromStdString(text));
}

void Form1::beep() {
    boxes_.beep();
}

void Form1::messageBox(const std::string& text, const std::string& title, MessageIcon icon) {
    boxes_.show(text, title, icon);
}

} // namespace kesp
