#pragma once
// The window Opti: the optimisation table of the last scan in a grid, the current cluster size
// selected. Built once, when constructed; its owner deletes it to discard the snapshot.
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
