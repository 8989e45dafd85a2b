#pragma once
// The slack by file size: per power-of-two bucket, the lost bytes as a bar and the file count;
// the shapes of plan_charts, painted with QPainter.
#include <QWidget>
#include <vector>

#include "plan/plan_window_model.h"

namespace kesp {

class SlackChart : public QWidget {
    Q_OBJECT
public:
    explicit SlackChart(QWidget* parent = nullptr);
    void setRows(std::vector<plan::SlackRow> rows, std::uint32_t cluster);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<plan::SlackRow> rows_;
    std::uint32_t cluster_ = 0;
};

} // namespace kesp
