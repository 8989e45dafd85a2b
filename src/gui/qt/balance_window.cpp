#include "gui/qt/balance_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/qt/volume_bar.h"

namespace kesp {

BalanceWindow::BalanceWindow(plan::BalanceWindowModel model, PrintLines print, QWidget* parent)
    : QWidget(parent), model_(std::move(model)), print_(std::move(print)) {
    setObjectName(QStringLiteral("bilanVolume"));
    setWindowTitle(QStringLiteral("Bilan du volume — ") + QString::fromStdString(model_.volume()));
    const plan::BalanceSheet& sheet = model_.sheet();

    auto* head = new QHBoxLayout;
    auto* volume = new QLabel(
        QString::fromStdString(model_.volume() + " — " + sheet.fileSystem + ", clusters de " +
                               std::to_string(sheet.clusterBytes) + " octets"));
    volume->setTextInteractionFlags(Qt::TextSelectableByMouse);
    head->addWidget(volume, 1);
    printButton_ = new QPushButton(QStringLiteral("&Imprimer"));
    printButton_->setObjectName(QStringLiteral("imprimerBilan"));
    head->addWidget(printButton_);
    auto* closeButton = new QPushButton(QStringLiteral("&Fermer"));
    closeButton->setObjectName(QStringLiteral("fermerBilan"));
    head->addWidget(closeButton);

    const auto rows = model_.tableRows();
    table_ = new QTableWidget(static_cast<int>(rows.size()), 3);
    table_->setObjectName(QStringLiteral("bilanTable"));
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Poste"), QStringLiteral("Clusters"), QStringLiteral("Octets")});
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const bool total = r + 1 == rows.size();
        for (std::size_t c = 0; c < 3; ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(rows[r][c]));
            if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (c == 0 && !total) {
                // The row's colour in the bar, as a swatch.
                QPixmap swatch(12, 12);
                swatch.fill(VolumeBar::partColour(sheet.rows[r].part));
                item->setIcon(QIcon(swatch));
            }
            if (total) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            table_->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    }
    table_->resizeColumnsToContents();
    // As wide and as high as its figures: the figures stay beside their labels.
    for (int c = 1; c < 3; ++c)
        table_->setColumnWidth(c, table_->columnWidth(c) + 24);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    table_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    bar_ = new VolumeBar(model_);

    notes_ = new QPlainTextEdit;
    notes_->setObjectName(QStringLiteral("constats"));
    notes_->setReadOnly(true);
    const auto notes = model_.notes();
    QStringList text;
    for (const std::string& line : notes)
        text << QString::fromStdString(line);
    notes_->setPlainText(notes.empty() ? QStringLiteral("Aucun constat : chaque cluster est à sa "
                                                        "place.")
                                       : text.join(QLatin1Char('\n')));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(table_, 0, Qt::AlignLeft);
    layout->addWidget(bar_);
    layout->addWidget(new QLabel(QStringLiteral("Constats :")));
    layout->addWidget(notes_, 1);
    resize(820, 620);

    connect(printButton_, &QPushButton::clicked, this, [this] {
        if (print_) print_(model_.printLines());
    });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

} // namespace kesp
