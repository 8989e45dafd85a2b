#pragma once
// The slack by file size: per power-of-two bucket, the lost bytes as a bar and the file count;
// the shapes of plan_charts, painted with QPainter; faded while disabled (the plan shown is not
// the size field's).
#include <QWidget>
#include <vector>

#include "plan/plan_charts.h"
#include "plan/plan_window_model.h"

namespace kesp {

class SlackChart : public QWidget {
    Q_OBJECT
public:
    explicit SlackChart(QWidget* parent = nullptr);
    void setRows(std::vector<plan::SlackRow> rows, std::uint32_t cluster,
                 const plan::Figures& figures = {});
    QSize sizeHint() const override;
    // The title, every label and every figure whole: below it, the scroll area around it
    // scrolls.
    QSize minimumSizeHint() const override;

    QString title() const;
    // "12 fichiers, 34 567 octets" for row `row`.
    QString figureText(std::size_t row) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    plan::ChartPicture picture() const;

    std::vector<plan::SlackRow> rows_;
    std::uint32_t cluster_ = 0;
    plan::Figures figures_;
};

} // namespace kesp
