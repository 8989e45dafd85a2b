#include "gui/qt/slack_chart.h"

#include <QPainter>
#include <algorithm>

#include "gui/qt/chart_painter.h"

namespace kesp {

SlackChart::SlackChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("slackChart"));
}

void SlackChart::setRows(std::vector<plan::SlackRow> rows, std::uint32_t cluster,
                         const plan::Figures& figures) {
    rows_ = std::move(rows);
    cluster_ = cluster;
    figures_ = figures;
    updateGeometry();
    update();
}

plan::ChartPicture SlackChart::picture() const {
    return plan::slackPicture(rows_, cluster_, figures_, width(), chartTextWidth(*this));
}

QString SlackChart::title() const {
    return QString::fromStdString(plan::slackChartTitle(cluster_, figures_));
}

QString SlackChart::figureText(std::size_t row) const {
    return QString::fromStdString(plan::slackFigureText(rows_.at(row), figures_));
}

QSize SlackChart::sizeHint() const {
    const QSize least = minimumSizeHint();
    return {std::max(480, least.width()), least.height()};
}

QSize SlackChart::minimumSizeHint() const {
    const plan::ChartPicture shapes = picture();
    return {shapes.minimumWidth, shapes.height};
}

void SlackChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintChart(p, *this, picture());
}

} // namespace kesp
