#include "gui/qt/volume_bar.h"

#include <QPainter>

#include "gui/qt/layout_bars.h"

namespace kesp {
namespace {

constexpr int kMargin = 6;
constexpr int kBarHeight = 28;
constexpr int kLegendRow = 20;
constexpr int kSwatch = 12;

} // namespace

VolumeBar::VolumeBar(const plan::BalanceWindowModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    setObjectName(QStringLiteral("volumeBar"));
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QColor VolumeBar::partColour(plan::BalancePart part) {
    using plan::BalancePart;
    // The system's areas share the plan's grey, in shades so that each segment shows.
    const QColor system = LayoutBars::partColour(plan::System);
    switch (part) {
    case BalancePart::Reserved:
        return system.darker(130);
    case BalancePart::Fats:
        return system;
    case BalancePart::FixedRoot:
    case BalancePart::ExfatTables:
        return system.lighter(125);
    case BalancePart::Folders:
        return LayoutBars::partColour(plan::Folders);
    case BalancePart::FileData:
        return LayoutBars::partColour(plan::FileData);
    case BalancePart::Slack:
        return LayoutBars::partColour(plan::Slack);
    case BalancePart::Free:
        return LayoutBars::partColour(plan::Free);
    case BalancePart::Bad:
        return QColor(0xb0, 0x1e, 0x1e);
    case BalancePart::Lost:
        return QColor(0x8e, 0x44, 0xad);
    case BalancePart::Shared:
        return QColor(0xe6, 0xc2, 0x29);
    case BalancePart::BeyondClusters:
        return system.darker(170);
    }
    return system;
}

int VolumeBar::barWidth() const {
    return std::max(0, width() - 2 * kMargin);
}

std::vector<int> VolumeBar::segmentWidths() const {
    return model_.segmentWidths(barWidth());
}

std::vector<QPoint> VolumeBar::legendPlaces(int width) const {
    const QFontMetrics fm(font());
    std::vector<QPoint> places;
    int x = kMargin;
    int y = kMargin + kBarHeight + kMargin;
    for (const plan::BalanceRow& row : model_.sheet().rows) {
        const int entry =
            kSwatch + 4 + fm.horizontalAdvance(QString::fromStdString(row.label)) + 14;
        if (x > kMargin && x + entry > width - kMargin) {
            x = kMargin;
            y += kLegendRow;
        }
        places.emplace_back(x, y);
        x += entry;
    }
    return places;
}

int VolumeBar::heightForWidth(int width) const {
    const std::vector<QPoint> places = legendPlaces(width);
    return (places.empty() ? kMargin + kBarHeight : places.back().y()) + kLegendRow + kMargin;
}

QSize VolumeBar::sizeHint() const {
    return {760, heightForWidth(760)};
}

void VolumeBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const auto& rows = model_.sheet().rows;
    const std::vector<int> widths = segmentWidths();
    int x = kMargin;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        p.fillRect(QRect(x, kMargin, widths[i], kBarHeight), partColour(rows[i].part));
        x += widths[i];
    }
    p.setPen(palette().text().color());
    p.drawRect(QRect(kMargin, kMargin, barWidth() - 1, kBarHeight - 1));

    const QFontMetrics fm(font());
    const std::vector<QPoint> places = legendPlaces(width());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QPoint at = places[i];
        p.fillRect(QRect(at.x(), at.y() + 3, kSwatch, kSwatch), partColour(rows[i].part));
        p.drawText(QPoint(at.x() + kSwatch + 4, at.y() + 3 + fm.ascent()),
                   QString::fromStdString(rows[i].label));
    }
}

} // namespace kesp
