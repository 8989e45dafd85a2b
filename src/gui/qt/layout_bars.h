#pragma once
// One stacked horizontal bar per layout (file data | slack | folders | FAT and reserved | free),
// the recommended and the formatters' default layouts marked: the shapes of plan_charts, painted
// with QPainter; faded while disabled (the plan shown is not the size field's).
#include <QWidget>
#include <vector>

#include "plan/plan_charts.h"
#include "plan/plan_window_model.h"

namespace kesp {

class LayoutBars : public QWidget {
    Q_OBJECT
public:
    explicit LayoutBars(QWidget* parent = nullptr);
    void setBars(std::vector<plan::LayoutBar> bars);

    // The drawn widths of row `row`'s parts at the widget's current size.
    std::array<int, plan::kBarParts> partWidths(std::size_t row) const;
    int barAreaWidth() const;
    QSize sizeHint() const override;
    // The legend whole and every row: below it, the scroll area around it scrolls.
    QSize minimumSizeHint() const override;

    static QColor partColour(std::size_t part);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    plan::ChartPicture picture() const;

    std::vector<plan::LayoutBar> bars_;
};

} // namespace kesp
