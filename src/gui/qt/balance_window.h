#pragma once
// The window "Bilan du volume": the sheet as a table, the volume as one bar, the findings below,
// and "Imprimer", which hands the sheet's text to the owner as the plan window does. All figures
// come from BalanceWindowModel.
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "plan/balance_window_model.h"

class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace kesp {

class VolumeBar;

class BalanceWindow : public QWidget {
    Q_OBJECT
public:
    using PrintLines = std::function<void(const std::vector<std::string>& lines)>;
    BalanceWindow(plan::BalanceWindowModel model, PrintLines print, QWidget* parent = nullptr);

    QTableWidget* table() const { return table_; }
    VolumeBar* bar() const { return bar_; }
    QPlainTextEdit* notes() const { return notes_; }
    const plan::BalanceWindowModel& model() const { return model_; }

private:
    plan::BalanceWindowModel model_;
    PrintLines print_;
    QPushButton* printButton_ = nullptr;
    QTableWidget* table_ = nullptr;
    VolumeBar* bar_ = nullptr;
    QPlainTextEdit* notes_ = nullptr;
};

} // namespace kesp
