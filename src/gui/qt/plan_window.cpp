#include "gui/qt/plan_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/qt/chart_painter.h"
#include "gui/qt/layout_bars.h"
#include "gui/qt/slack_chart.h"
#include "plan/plan_charts.h"
#include "plan/volume_size.h"

namespace kesp {

namespace {

// Room for a whole table of FAT16 and FAT32 rows beside both charts; a smaller screen gets a
// smaller window whose parts scroll.
constexpr QSize kPreferredSize(1180, 700);
// What a desktop takes around a window: its frame, and a panel or task bar.
constexpr QSize kDesktopAllowance(16, 64);

QScrollArea* scrolling(QWidget* widget) {
    auto* area = new QScrollArea;
    area->setWidget(widget);
    area->setWidgetResizable(true);
    return area;
}

QString warningStyle() {
    return QStringLiteral("color: %1").arg(rgbColour(plan::warningColour()).name());
}

} // namespace

QColor PlanWindow::recommendedColour() {
    return rgbColour(plan::recommendedRowColour());
}

QColor PlanWindow::recommendedExfatColour() {
    return rgbColour(plan::recommendedExfatRowColour());
}

PlanWindow::PlanWindow(plan::PlanWindowModel model, PrintLines print, QWidget* parent)
    : QWidget(parent), model_(std::move(model)), print_(std::move(print)) {
    setObjectName(QStringLiteral("planFormatage"));
    setWindowTitle(QStringLiteral("Plan de formatage"));

    auto* fieldRow = new QHBoxLayout;
    fieldRow->addWidget(new QLabel(QStringLiteral("Taille du volume :")));
    volume_ = new QLineEdit(QString::fromStdString(model_.volumeText()));
    volume_->setObjectName(QStringLiteral("volumeSize"));
    volume_->setToolTip(QString::fromStdString(plan::volumeSizeHelp()));
    volume_->setMinimumWidth(volume_->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 24);
    fieldRow->addWidget(volume_);
    volumeError_ = new QLabel;
    volumeError_->setObjectName(QStringLiteral("volumeError"));
    volumeError_->setStyleSheet(warningStyle());
    volumeError_->setWordWrap(true);
    fieldRow->addWidget(volumeError_, 1);
    printButton_ = new QPushButton(QStringLiteral("&Imprimer"));
    printButton_->setObjectName(QStringLiteral("imprimerPlan"));
    fieldRow->addWidget(printButton_);
    auto* closeButton = new QPushButton(QStringLiteral("&Fermer"));
    closeButton->setObjectName(QStringLiteral("fermerPlan"));
    fieldRow->addWidget(closeButton);

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
    auto* note = new QLabel(QString::fromStdString(plan::lostSpaceNote()));
    note->setObjectName(QStringLiteral("lostSpaceNote"));
    note->setWordWrap(true);
    auto* tablePart = new QWidget;
    auto* tableLayout = new QVBoxLayout(tablePart);
    tableLayout->setContentsMargins(0, 0, 0, 0);
    if (const std::string partial = model_.partialNote(); !partial.empty()) {
        auto* warning = new QLabel(QString::fromStdString(partial));
        warning->setObjectName(QStringLiteral("partialNote"));
        warning->setStyleSheet(warningStyle());
        tableLayout->addWidget(warning);
    }
    tableLayout->addWidget(table_, 1);
    tableLayout->addWidget(note);

    bars_ = new LayoutBars;
    slack_ = new SlackChart;
    auto* charts = new QSplitter(Qt::Horizontal);
    charts->addWidget(scrolling(bars_));
    charts->addWidget(scrolling(slack_));
    charts->setStretchFactor(0, 3);
    charts->setStretchFactor(1, 2);
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(tablePart);
    split->addWidget(charts);
    split->setSizes({330, 330});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fieldRow);
    layout->addWidget(recommendation_);
    layout->addWidget(split, 1);
    QSize size = kPreferredSize;
    if (const QScreen* shown = screen())
        size = size.boundedTo(shown->availableGeometry().size() - kDesktopAllowance);
    resize(size);

    connect(volume_, &QLineEdit::textEdited, this, [this](const QString& text) {
        model_.setVolumeText(text.toStdString());
        refresh();
    });
    connect(printButton_, &QPushButton::clicked, this, [this] {
        if (print_) print_(model_.printLines());
    });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    refresh();
}

void PlanWindow::refresh() {
    // A refused size leaves the last plan in grey, the reason beside the field.
    const bool current = model_.volumeError().empty();
    volumeError_->setText(QString::fromStdString(model_.volumeError()));
    for (QWidget* part : std::initializer_list<QWidget*>{table_, recommendation_, bars_, slack_})
        part->setEnabled(current);
    printButton_->setEnabled(current);

    const auto rows = model_.tableRows();
    const plan::FormatPlan& plan = model_.plan();
    table_->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const bool recommended = plan.recommended == r;
        const bool recommendedExfat = plan.recommendedExfat == r;
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(rows[r][c]));
            if (plan::figureColumn(c)) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (recommended || recommendedExfat) {
                item->setBackground(recommended ? recommendedColour() : recommendedExfatColour());
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
    slack_->setRows(model_.slackRows(), model_.scannedCluster(), model_.figures());
}

} // namespace kesp
