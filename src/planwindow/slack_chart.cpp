#include "planwindow/slack_chart.h"

#include <QPainter>

#include "plan/plan_charts.h"
#include "planwindow/chart_painter.h"

namespace kesp {

SlackChart::SlackChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("slackChart"));
}

void SlackChart::setRows(std::vector<plan::SlackRow> rows, std::uint32_t cluster) {
    rows_ = std::move(rows);
    cluster_ = cluster;
    updateGeometry();
    update();
}

QSize SlackChart::sizeHint() const {
    return {480, plan::slackPicture(rows_, cluster_, 480).height};
}

void SlackChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintChart(p, *this, plan::slackPicture(rows_, cluster_, width()));
}

} // namespace kesp
