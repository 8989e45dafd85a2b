#include "gui/qt/layout_bars.h"

#include <QPainter>

namespace kesp {
namespace {

constexpr int kLabelWidth = 110;
constexpr int kMarkWidth = 190;
constexpr int kRowHeight = 22;
constexpr int kLegendHeight = 26;
constexpr int kMargin = 6;
constexpr int kLeastBarWidth = 200;
constexpr int kSwatch = 16; // the colour square and its gap
constexpr int kLegendGap = 14;
constexpr qreal kFaded = 0.35;

int legendWidth(const QFontMetrics& fm) {
    int width = kMargin;
    for (const std::string& name : plan::barPartNames())
        width += kSwatch + fm.horizontalAdvance(QString::fromStdString(name)) + kLegendGap;
    return width;
}

} // namespace

LayoutBars::LayoutBars(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("layoutBars"));
}

QSize LayoutBars::minimumSizeHint() const {
    const int rows = kMargin + kLabelWidth + kLeastBarWidth + kMarkWidth + kMargin;
    return {std::max(rows, legendWidth(fontMetrics())), sizeHint().height()};
}

void LayoutBars::setBars(std::vector<plan::LayoutBar> bars) {
    bars_ = std::move(bars);
    updateGeometry();
    update();
}

QColor LayoutBars::partColour(std::size_t part) {
    static const QColor colours[plan::kBarParts] = {
        QColor(0x3b, 0x6f, 0xb6), QColor(0xe8, 0x83, 0x3a), QColor(0x6a, 0xa8, 0x4f),
        QColor(0x80, 0x80, 0x80), QColor(0xe4, 0xe4, 0xe4)};
    return colours[part];
}

int LayoutBars::barAreaWidth() const {
    return std::max(0, width() - kLabelWidth - kMarkWidth - 2 * kMargin);
}

std::array<int, plan::kBarParts> LayoutBars::partWidths(std::size_t row) const {
    return plan::barWidths(bars_.at(row), barAreaWidth());
}

QSize LayoutBars::sizeHint() const {
    return {640, kLegendHeight + kMargin + static_cast<int>(bars_.size()) * kRowHeight};
}

void LayoutBars::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    if (!isEnabled()) p.setOpacity(kFaded);
    const QFontMetrics fm(font());

    // Legend: a swatch and a name per part.
    int x = kMargin;
    for (std::size_t part = 0; part < plan::kBarParts; ++part) {
        p.fillRect(QRect(x, kMargin + 4, 12, 12), partColour(part));
        p.setPen(palette().text().color());
        const QString name = QString::fromStdString(plan::barPartNames()[part]);
        p.drawText(QPoint(x + kSwatch, kMargin + 4 + fm.ascent()), name);
        x += kSwatch + fm.horizontalAdvance(name) + kLegendGap;
    }

    const int barX = kMargin + kLabelWidth;
    for (std::size_t row = 0; row < bars_.size(); ++row) {
        const plan::LayoutBar& bar = bars_[row];
        const int y = kLegendHeight + kMargin + static_cast<int>(row) * kRowHeight;
        QFont labelFont = font();
        labelFont.setBold(bar.recommended);
        p.setFont(labelFont);
        p.setPen(palette().text().color());
        p.drawText(QRect(kMargin, y, kLabelWidth - 6, kRowHeight - 4),
                   Qt::AlignVCenter | Qt::AlignLeft, QString::fromStdString(bar.label));

        int partX = barX;
        const auto widths = partWidths(row);
        for (std::size_t part = 0; part < plan::kBarParts; ++part) {
            p.fillRect(QRect(partX, y + 2, widths[part], kRowHeight - 8), partColour(part));
            partX += widths[part];
        }
        if (bar.recommended) {
            p.setPen(QPen(Qt::black, 2));
            p.drawRect(QRect(barX - 1, y + 1, barAreaWidth() + 1, kRowHeight - 6));
        }
        QStringList marks;
        if (bar.recommended) marks << QStringLiteral("★ recommandé");
        if (bar.formatterDefault) marks << QStringLiteral("◆ par défaut");
        p.setPen(palette().text().color());
        p.drawText(QRect(barX + barAreaWidth() + 6, y, kMarkWidth, kRowHeight - 4),
                   Qt::AlignVCenter | Qt::AlignLeft, marks.join(QStringLiteral(" ")));
        p.setFont(font());
    }
}

} // namespace kesp
