#include "planwindow/plan_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "plan/plan_charts.h"
#include "planwindow/chart_painter.h"
#include "planwindow/layout_bars.h"
#include "planwindow/slack_chart.h"

namespace kesp {

QColor PlanWindow::recommendedColour() {
    return rgbColour(plan::recommendedRowColour());
}

PlanWindow::PlanWindow(plan::PlanWindowModel model, PrintLines print, QWidget* parent)
    : QWidget(parent), model_(std::move(model)), print_(std::move(print)) {
    setObjectName(QStringLiteral("planFormatage"));
    setWindowTitle(QStringLiteral("Plan de formatage"));

    auto* fieldRow = new QHBoxLayout;
    fieldRow->addWidget(new QLabel(QStringLiteral("Taille du volume (octets) :")));
    volume_ = new QLineEdit(QString::fromStdString(model_.volumeText()));
    volume_->setObjectName(QStringLiteral("volumeSize"));
    fieldRow->addWidget(volume_, 1);
    printButton_ = new QPushButton(QStringLiteral("&Imprimer"));
    printButton_->setObjectName(QStringLiteral("imprimerPlan"));
    fieldRow->addWidget(printButton_);

    recommendation_ = new QLabel;
    recommendation_->setObjectName(QStringLiteral("recommendation"));
    recommendation_->setWordWrap(true);
    recommendation_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    const auto& heads = plan::planColumnHeads();
    table_ = new QTableWidget(0, static_cast<int>(heads.size()));
    table_->setObjectName(QStringLiteral("planTable"));
    QStringList labels;
    for (const std::string& head : heads)
        labels << QString::fromStdString(head);
    table_->setHorizontalHeaderLabels(labels);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);

    bars_ = new LayoutBars;
    slack_ = new SlackChart;
    auto* barsScroll = new QScrollArea;
    barsScroll->setWidget(bars_);
    barsScroll->setWidgetResizable(true);
    auto* slackScroll = new QScrollArea;
    slackScroll->setWidget(slack_);
    slackScroll->setWidgetResizable(true);

    auto* charts = new QSplitter(Qt::Horizontal);
    charts->addWidget(barsScroll);
    charts->addWidget(slackScroll);
    charts->setStretchFactor(0, 3);
    charts->setStretchFactor(1, 2);
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(table_);
    split->addWidget(charts);
    split->setSizes({330, 470});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fieldRow);
    layout->addWidget(recommendation_);
    layout->addWidget(split, 1);
    resize(1180, 820);

    connect(volume_, &QLineEdit::textEdited, this, [this](const QString& text) {
        // An unreadable size leaves the last plan shown, the field marked.
        const bool read = model_.setVolumeText(text.toStdString());
        volume_->setStyleSheet(
            read ? QString()
                 : QStringLiteral("color: %1").arg(rgbColour(plan::unreadableSizeColour()).name()));
        if (read) refresh();
    });
    connect(printButton_, &QPushButton::clicked, this, [this] {
        if (print_) print_(model_.printLines());
    });
    refresh();
}

void PlanWindow::refresh() {
    const auto rows = model_.tableRows();
    const plan::FormatPlan& plan = model_.plan();
    table_->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const bool recommended = plan.recommended == r;
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(rows[r][c]));
            if (plan::figureColumn(c)) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (recommended) {
                item->setBackground(recommendedColour());
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            table_->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    }
    table_->resizeColumnsToContents();

    QStringList text;
    for (const std::string& line : model_.recommendationLines())
        text << QString::fromStdString(line);
    recommendation_->setText(text.join(QLatin1Char('\n')));
    bars_->setBars(model_.bars());
    slack_->setRows(model_.slackRows(), model_.scannedCluster());
}

} // namespace kesp
