#pragma once
// The window Opti: the optimisation table of the last scan in a grid, the current cluster size
// selected. Built once, when constructed. Closing it deletes it (keep it in a QPointer), so the
// next opening builds the table afresh; its owner deletes it too when a new scan starts.
#include <QWidget>

#include "scan/scan_state.h"

class QTableWidget;

class Opti : public QWidget {
    Q_OBJECT
public:
    explicit Opti(const kesp::EtatScan& etat, QWidget* parent = nullptr);

    QTableWidget* Grille() const { return grille_; }

private:
    QTableWidget* grille_;
};
