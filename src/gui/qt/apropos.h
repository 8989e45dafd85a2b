#pragma once
// The About window: title, program file date, version, a scrolling credit line, the animated
// face and the two links. One instance lives as long as the main window; each opening loads it
// afresh except the scroll position, which goes on from where the last opening left it.
#include <QDialog>
#include <cstdint>
#include <string>

#include "os/environment.h"
#include "os/launcher.h"
#include "os/message_box.h"

class QLabel;
class QPushButton;
class QTimer;

class apropos : public QDialog {
    Q_OBJECT
public:
    apropos(kesp::ProgramEnvironment& environment, kesp::ProgramLauncher& launcher,
            kesp::MessageBoxes& boxes, QWidget* parent = nullptr);

    // Closes the window.
    void fin();
    // One step of the scroll and of the animation; the 120 ms timer calls it.
    void Timer1_Timer();
    void Label3_Click(); // the web site
    void Label4_Click(); // a new e-mail message

    std::int16_t PosDefile() const { return posDefile_; }
    int NumImage() const { return numImage_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void Form_Load();
    void montrerImage(int index);
    // Opens a link; when no application takes it, says so with the address and the reason.
    void ouvrirLien(const std::string& adresse);

    kesp::ProgramEnvironment& environment_;
    kesp::ProgramLauncher& launcher_;
    kesp::MessageBoxes& boxes_;

    QLabel* Label1_;
    QLabel* Picture1_;
    QLabel* Label6_;
    QLabel* Label5_;
    QLabel* Label2_;
    QLabel* Label4_;
    QLabel* Label3_;
    QPushButton* Command1_;
    QTimer* Timer1_;

    std::u32string texteDefile_;
    std::int16_t posDefile_ = 0;
    int numImage_ = 1;
};
