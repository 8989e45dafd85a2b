#pragma once
// StatusBar1: seven inset panels addressed by position, 1 to 7. Panels 6 and 7 show the time
// (hours:minutes) and the short date and keep them current themselves.
#include <QStatusBar>
#include <array>

class QLabel;
class QTimer;

namespace kesp {

class StatusBar1 : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar1(QWidget* parent = nullptr);

    void setPanelText(int position, const QString& text);
    QString panelText(int position) const;
    QLabel* panel(int position) const;
    // The panels' keys: "pnlRép" ... "pnlFat" for 1 to 5, empty for the clock and the date.
    static QString panelKey(int position);

private:
    void updateClock();

    std::array<QLabel*, 7> panels_{};
    QTimer* clock_;
};

} // namespace kesp
