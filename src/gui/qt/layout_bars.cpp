#include "gui/qt/layout_bars.h"

#include <QPainter>

#include "gui/qt/chart_painter.h"
#include "plan/plan_charts.h"

namespace kesp {

LayoutBars::LayoutBars(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("layoutBars"));
}

plan::ChartPicture LayoutBars::picture() const {
    return plan::layoutBarsPicture(bars_, width(), chartTextWidth(*this));
}

QSize LayoutBars::minimumSizeHint() const {
    const plan::ChartPicture shapes = picture();
    return {shapes.minimumWidth, shapes.height};
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
    return {640, picture().height};
}

void LayoutBars::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintChart(p, *this, picture());
}

} // namespace kesp
