#pragma once
// The window "Plan de formatage": the volume-size field (with why a size is refused beside it),
// the plan's table with the recommended row highlighted and what its lost space counts, the
// recommendation and minimal sizes, the layout bars and the slack chart. All figures come from
// PlanWindowModel; printing hands its text to the owner. "Fermer" and Escape close it.
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "plan/plan_window_model.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kesp {

class LayoutBars;
class SlackChart;

class PlanWindow : public QWidget {
    Q_OBJECT
public:
    using PrintLines = std::function<void(const std::vector<std::string>& lines)>;
    PlanWindow(plan::PlanWindowModel model, PrintLines print, QWidget* parent = nullptr);

    QLineEdit* volumeField() const { return volume_; }
    QLabel* volumeError() const { return volumeError_; }
    QTableWidget* table() const { return table_; }
    QLabel* recommendation() const { return recommendation_; }
    LayoutBars* bars() const { return bars_; }
    SlackChart* slackChart() const { return slack_; }
    const plan::PlanWindowModel& model() const { return model_; }

    // The highlights of the recommended row and of the exFAT one for devices that read exFAT.
    static QColor recommendedColour();
    static QColor recommendedExfatColour();

private:
    void refresh();

    plan::PlanWindowModel model_;
    PrintLines print_;
    QLineEdit* volume_ = nullptr;
    QLabel* volumeError_ = nullptr;
    QPushButton* printButton_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* recommendation_ = nullptr;
    LayoutBars* bars_ = nullptr;
    SlackChart* slack_ = nullptr;
};

} // namespace kesp
