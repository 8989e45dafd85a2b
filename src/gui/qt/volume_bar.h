#pragma once
// The whole volume as one horizontal bar, a segment per row of its balance sheet, drawn with
// QPainter, with a legend of the parts below it.
#include <QWidget>
#include <vector>

#include "plan/balance_window_model.h"

namespace kesp {

class VolumeBar : public QWidget {
    Q_OBJECT
public:
    explicit VolumeBar(const plan::BalanceWindowModel& model, QWidget* parent = nullptr);

    // The segments' drawn widths at the widget's current size, in the sheet's order.
    std::vector<int> segmentWidths() const;
    int barWidth() const;
    QSize sizeHint() const override;
    int heightForWidth(int width) const override;
    bool hasHeightForWidth() const override { return true; }

    // The plan window's colour where a part means the same (data, slack, folders, the system's
    // areas, free), a colour of its own for the damage.
    static QColor partColour(plan::BalancePart part);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Where each legend entry starts, row by row, at `width`.
    std::vector<QPoint> legendPlaces(int width) const;

    const plan::BalanceWindowModel& model_;
};

} // namespace kesp
