#include "gui/qt/opti_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "volume/opti_table.h"

Opti::Opti(const kesp::EtatScan& etat, const std::string& titreApplication, QWidget* parent)
    : Opti(kesp::ConstruireTableOpti(etat), kesp::TitreOpti(titreApplication, etat), parent) {}

Opti::Opti(const kesp::TableOpti& table, const std::string& title, QWidget* parent)
    : QWidget(parent, Qt::Window), grille_(new QTableWidget(this)) {
    setObjectName("Opti");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromStdString(title));

    const int lignes = static_cast<int>(table.cellules.size());
    const int largeur = kesp::kOptiLargeurColonneTwips / kesp::kTwipsParPixel;
    // Room on both sides of the widest range or title of the first column, which would
    // otherwise touch the window's edge.
    constexpr int kMarge = 6;

    // The title row and the range column play the grid's fixed row and column.
    grille_->setObjectName("Grille");
    grille_->setRowCount(lignes);
    grille_->setColumnCount(kesp::kOptiColonnes);
    grille_->horizontalHeader()->hide();
    grille_->verticalHeader()->hide();
    grille_->setFrameShape(QFrame::NoFrame);
    grille_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grille_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grille_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grille_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    // A small, narrow font, so that twelve digits and the longest title fit a 100-pixel column;
    // the stretch applies when the family has no condensed face of its own.
    QFont police = grille_->font();
    police.setPointSizeF(8.25);
    police.setStretch(QFont::SemiCondensed);
    grille_->setFont(police);
    grille_->setWordWrap(false);
    grille_->setTextElideMode(Qt::ElideNone);
    grille_->verticalHeader()->setMinimumSectionSize(1);
    grille_->verticalHeader()->setDefaultSectionSize(QFontMetrics(police).height() + 6);
    const QBrush fixe = palette().button();
    for (int ligne = 0; ligne < lignes; ++ligne) {
        for (int colonne = 0; colonne < kesp::kOptiColonnes; ++colonne) {
            auto* cellule =
                new QTableWidgetItem(QString::fromStdString(table.cellules[ligne][colonne]));
            cellule->setTextAlignment(Qt::AlignCenter);
            if (ligne == 0 || colonne == 0) cellule->setBackground(fixe);
            grille_->setItem(ligne, colonne, cellule);
        }
    }
    int premiere = largeur;
    for (int ligne = 0; ligne < lignes; ++ligne)
        premiere = std::max(
            premiere,
            QFontMetrics(police).horizontalAdvance(grille_->item(ligne, 0)->text()) + 2 * kMarge);
    grille_->setColumnWidth(0, premiere);
    for (int colonne = 1; colonne < kesp::kOptiColonnes; ++colonne)
        grille_->setColumnWidth(colonne, largeur);

    // The grid is exactly as high as its rows and as wide as its columns; "Fermer" below it.
    int hauteur = 0;
    for (int ligne = 0; ligne < lignes; ++ligne)
        hauteur += grille_->rowHeight(ligne);
    const int largeurGrille = premiere + largeur * (kesp::kOptiColonnes - 1);
    grille_->setFixedSize(largeurGrille, hauteur);
    auto* fermer = new QPushButton(QStringLiteral("&Fermer"), this);
    fermer->setObjectName("Fermer");
    connect(fermer, &QPushButton::clicked, this, &QWidget::close);
    auto* boutons = new QHBoxLayout;
    boutons->setContentsMargins(kMarge, kMarge, kMarge, kMarge);
    boutons->addStretch(1);
    boutons->addWidget(fermer);
    auto* disposition = new QVBoxLayout(this);
    disposition->setContentsMargins(0, 0, 0, 0);
    disposition->setSpacing(0);
    disposition->addWidget(grille_);
    disposition->addLayout(boutons);
    disposition->setSizeConstraint(QLayout::SetFixedSize);
    auto* echap = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(echap, &QShortcut::activated, this, &QWidget::close);

    grille_->setCurrentCell(table.ligneCourante, 0, QItemSelectionModel::NoUpdate);
    grille_->setRangeSelected(QTableWidgetSelectionRange(table.premiereLigneSelectionnee(), 0,
                                                         table.derniereLigneSelectionnee(),
                                                         kesp::kOptiColonnes - 1),
                              true);
}
