#include "gui/qt/status_bar.h"

#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QTime>
#include <QTimer>

namespace kesp {

namespace {

struct PanelLayout {
    const char* key;
    const char* designText;
    Qt::Alignment alignment;
    int width;
    bool fixed; // else a minimum, and the panel grows with its text or shares the rest
    int stretch;
};

// Pixel widths of the layout table's twips at 15 to the pixel. The counters grow past theirs with
// their text ("2 420 répertoires" is wider than 100 px); the clock and the date, which share the
// rest of the bar, give up that room first.
const PanelLayout kPanels[7] = {
    {"pnlRép", "1 252 Répertoires", Qt::AlignRight, 100, false, 0},
    {"pnlFic", "999 999 Fichiers", Qt::AlignRight, 100, false, 0},
    {"pnlPerdu", "999,9 Mo perdus", Qt::AlignRight, 100, false, 0},
    {"pnlCluster", "1 cluster = 32 768 octets", Qt::AlignHCenter, 133, false, 0},
    {"pnlFat", "Fat", Qt::AlignHCenter, 60, true, 0},
    {"", "", Qt::AlignHCenter, 47, false, 1},
    {"", "", Qt::AlignHCenter, 67, false, 1},
};

} // namespace

StatusBar1::StatusBar1(QWidget* parent) : QStatusBar(parent), clock_(new QTimer(this)) {
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(false);
    for (int i = 0; i < 7; ++i) {
        const PanelLayout& layout = kPanels[i];
        auto* label = new QLabel(QString::fromUtf8(layout.designText), this);
        label->setObjectName(QString::fromUtf8(layout.key).isEmpty()
                                 ? QStringLiteral("panel%1").arg(i + 1)
                                 : QString::fromUtf8(layout.key));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(layout.alignment | Qt::AlignVCenter);
        label->setMargin(1);
        if (layout.fixed)
            label->setFixedWidth(layout.width);
        else
            label->setMinimumWidth(layout.width);
        addWidget(label, layout.stretch);
        panels_[static_cast<std::size_t>(i)] = label;
    }
    connect(clock_, &QTimer::timeout, this, &StatusBar1::updateClock);
    // A one-second tick keeps the minute exact without aligning the timer.
    clock_->start(1000);
    updateClock();
}

QLabel* StatusBar1::panel(int position) const {
    if (position < 1 || position > 7) return nullptr;
    return panels_[static_cast<std::size_t>(position - 1)];
}

void StatusBar1::setPanelText(int position, const QString& text) {
    if (QLabel* label = panel(position)) label->setText(text);
}

QString StatusBar1::panelText(int position) const {
    const QLabel* label = panel(position);
    return label ? label->text() : QString();
}

QString StatusBar1::panelKey(int position) {
    if (position < 1 || position > 7) return {};
    return QString::fromUtf8(kPanels[position - 1].key);
}

void StatusBar1::updateClock() {
    panels_[5]->setText(QTime::currentTime().toString(QStringLiteral("hh:mm")));
    panels_[6]->setText(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
}

} // namespace kesp
