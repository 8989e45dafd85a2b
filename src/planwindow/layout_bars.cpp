#include "planwindow/layout_bars.h"

#include <QPainter>

#include "plan/plan_charts.h"
#include "planwindow/chart_painter.h"

namespace kesp {

LayoutBars::LayoutBars(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("layoutBars"));
    setMinimumWidth(plan::layoutBarsWidth(200));
}

void LayoutBars::setBars(std::vector<plan::LayoutBar> bars) {
    bars_ = std::move(bars);
    updateGeometry();
    update();
}

QColor LayoutBars::partColour(std::size_t part) {
    return rgbColour(plan::barPartColour(part));
}

int LayoutBars::barAreaWidth() const {
    return plan::barAreaWidth(width());
}

std::array<int, plan::kBarParts> LayoutBars::partWidths(std::size_t row) const {
    return plan::barWidths(bars_.at(row), barAreaWidth());
}

QSize LayoutBars::sizeHint() const {
    return {640, plan::layoutBarsPicture(bars_, 640, [](std::string_view) { return 0; }).height};
}

void LayoutBars::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QFontMetrics fm(font());
    paintChart(p, *this, plan::layoutBarsPicture(bars_, width(), [&fm](std::string_view text) {
                   return fm.horizontalAdvance(
                       QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
               }));
}

} // namespace kesp
