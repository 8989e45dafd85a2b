#include "gui/qt/status_bar.h"

#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QTime>
#include <QTimer>

#include "window/form1_layout.h"

namespace kesp {

using form1::kPanels;

StatusBar1::StatusBar1(QWidget* parent) : QStatusBar(parent), clock_(new QTimer(this)) {
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(false);
    for (int i = 0; i < 7; ++i) {
        const form1::PanelLayout& layout = kPanels[i];
        auto* label = new QLabel(QString::fromUtf8(layout.designText), this);
        label->setObjectName(QString::fromUtf8(layout.key).isEmpty()
                                 ? QStringLiteral("panel%1").arg(i + 1)
                                 : QString::fromUtf8(layout.key));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(
            (layout.align == form1::Align::Right ? Qt::AlignRight : Qt::AlignHCenter) |
            Qt::AlignVCenter);
        label->setMargin(1);
        if (layout.fixedWidth)
            label->setFixedWidth(layout.width);
        else
            label->setMinimumWidth(layout.width);
        addWidget(label, layout.sharesRest ? 1 : 0);
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
