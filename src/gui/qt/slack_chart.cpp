#include "gui/qt/slack_chart.h"

#include <QPainter>
#include <algorithm>

#include "gui/qt/layout_bars.h"

namespace kesp {
namespace {

constexpr int kRowHeight = 18;
constexpr int kTitleHeight = 24;
constexpr int kLabelWidth = 70;
constexpr int kFigureWidth = 210;
constexpr int kMargin = 6;

} // namespace

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
    return {480, kTitleHeight + kMargin + static_cast<int>(rows_.size()) * kRowHeight};
}

void SlackChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    p.setPen(palette().text().color());
    p.drawText(
        QRect(kMargin, kMargin, width() - 2 * kMargin, kTitleHeight - kMargin),
        Qt::AlignLeft | Qt::AlignVCenter,
        QStringLiteral("Espace perdu par taille de fichier (clusters de %1 octets)").arg(cluster_));
    std::uint64_t most = 1;
    for (const plan::SlackRow& row : rows_)
        most = std::max(most, row.lostBytes);
    const int barWidth = std::max(0, width() - kLabelWidth - kFigureWidth - 2 * kMargin);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const plan::SlackRow& row = rows_[i];
        const int y = kTitleHeight + kMargin + static_cast<int>(i) * kRowHeight;
        p.drawText(QRect(kMargin, y, kLabelWidth - 4, kRowHeight),
                   Qt::AlignVCenter | Qt::AlignRight, QString::fromStdString(row.label));
        const int w = static_cast<int>(row.lostBytes * static_cast<std::uint64_t>(barWidth) / most);
        p.fillRect(QRect(kMargin + kLabelWidth, y + 3, w, kRowHeight - 6),
                   LayoutBars::partColour(plan::Slack));
        p.drawText(QRect(kMargin + kLabelWidth + barWidth + 6, y, kFigureWidth, kRowHeight),
                   Qt::AlignVCenter | Qt::AlignLeft,
                   QStringLiteral("%1 fichier%2, %3 octets")
                       .arg(row.files)
                       .arg(row.files > 1 ? QStringLiteral("s") : QString())
                       .arg(row.lostBytes));
    }
}

} // namespace kesp
