#pragma once
// The window Opti: the optimisation table of the last scan in a grid, the current cluster size
// selected, and a "Fermer" button; Escape closes it too. Built once, from the table it is given.
// Closing it deletes it (keep it in a QPointer), so the next opening builds the table afresh; its
// owner deletes it too when a new scan starts.
#include <QWidget>

#include <string>

#include "volume/opti_table.h"

class QTableWidget;

class Opti : public QWidget {
    Q_OBJECT
public:
    Opti(const kesp::TableOpti& table, const std::string& title, QWidget* parent = nullptr);
    // The table of `etat`'s last scan, under TitreOpti.
    Opti(const kesp::EtatScan& etat, const std::string& titreApplication,
         QWidget* parent = nullptr);

    QTableWidget* Grille() const { return grille_; }

private:
    QTableWidget* grille_;
};
