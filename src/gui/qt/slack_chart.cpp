#include "gui/qt/slack_chart.h"

#include <QPainter>
#include <algorithm>

#include "gui/qt/layout_bars.h"

namespace kesp {
namespace {

constexpr int kRowHeight = 18;
constexpr int kTitleHeight = 24;
constexpr int kLabelWidth = 70;
constexpr int kLeastBarWidth = 100;
constexpr int kGap = 6;
constexpr int kMargin = 6;
constexpr qreal kFaded = 0.35;

} // namespace

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

QString SlackChart::title() const {
    return QStringLiteral("Espace perdu par taille de fichier (clusters de %1 octets)")
        .arg(QString::fromStdString(figures_(cluster_)));
}

QString SlackChart::figureText(std::size_t row) const {
    const plan::SlackRow& r = rows_.at(row);
    return QStringLiteral("%1 fichier%2, %3 octets")
        .arg(QString::fromStdString(figures_(r.files)),
             r.files > 1 ? QStringLiteral("s") : QString(),
             QString::fromStdString(figures_(r.lostBytes)));
}

int SlackChart::figureWidth() const {
    int width = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        width = std::max(width, fontMetrics().horizontalAdvance(figureText(i)));
    return width;
}

QSize SlackChart::sizeHint() const {
    return {std::max(480, minimumSizeHint().width()),
            kTitleHeight + kMargin + static_cast<int>(rows_.size()) * kRowHeight};
}

QSize SlackChart::minimumSizeHint() const {
    const int rows = kMargin + kLabelWidth + kLeastBarWidth + kGap + figureWidth() + kMargin;
    const int title = 2 * kMargin + fontMetrics().horizontalAdvance(this->title());
    return {std::max(rows, title),
            kTitleHeight + kMargin + static_cast<int>(rows_.size()) * kRowHeight};
}

void SlackChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    if (!isEnabled()) p.setOpacity(kFaded);
    p.setPen(palette().text().color());
    p.drawText(QRect(kMargin, kMargin, width() - 2 * kMargin, kTitleHeight - kMargin),
               Qt::AlignLeft | Qt::AlignVCenter, title());
    std::uint64_t most = 1;
    for (const plan::SlackRow& row : rows_)
        most = std::max(most, row.lostBytes);
    const int figures = figureWidth();
    const int barWidth = std::max(0, width() - kLabelWidth - kGap - figures - 2 * kMargin);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const plan::SlackRow& row = rows_[i];
        const int y = kTitleHeight + kMargin + static_cast<int>(i) * kRowHeight;
        p.drawText(QRect(kMargin, y, kLabelWidth - 4, kRowHeight),
                   Qt::AlignVCenter | Qt::AlignRight, QString::fromStdString(row.label));
        const int w = static_cast<int>(row.lostBytes * static_cast<std::uint64_t>(barWidth) / most);
        p.fillRect(QRect(kMargin + kLabelWidth, y + 3, w, kRowHeight - 6),
                   LayoutBars::partColour(plan::Slack));
        p.drawText(QRect(kMargin + kLabelWidth + barWidth + kGap, y, figures, kRowHeight),
                   Qt::AlignVCenter | Qt::AlignLeft, figureText(i));
    }
}

} // namespace kesp
