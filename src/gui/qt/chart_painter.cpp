#include "gui/qt/chart_painter.h"

namespace kesp {
namespace {

constexpr qreal kFaded = 0.35;

} // namespace

QColor rgbColour(plan::Rgb colour) {
    return QColor(colour.r, colour.g, colour.b);
}

plan::TextWidth chartTextWidth(const QWidget& widget) {
    return [metrics = widget.fontMetrics()](std::string_view text) {
        return metrics.horizontalAdvance(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    };
}

void paintChart(QPainter& p, const QWidget& widget, const plan::ChartPicture& picture) {
    p.fillRect(widget.rect(), widget.palette().base());
    if (!widget.isEnabled()) p.setOpacity(kFaded);
    for (const plan::ChartBox& box : picture.boxes)
        p.fillRect(QRect(box.x, box.y, box.width, box.height), rgbColour(box.fill));
    p.setBrush(Qt::NoBrush);
    for (const plan::ChartFrame& frame : picture.frames) {
        p.setPen(QPen(rgbColour(frame.colour), frame.pen));
        p.drawRect(QRect(frame.x, frame.y, frame.width, frame.height));
    }
    p.setPen(widget.palette().text().color());
    QFont bold = widget.font();
    bold.setBold(true);
    for (const plan::ChartText& text : picture.texts) {
        p.setFont(text.bold ? bold : widget.font());
        p.drawText(QRect(text.x, text.y, text.width, text.height),
                   Qt::AlignVCenter | (text.alignRight ? Qt::AlignRight : Qt::AlignLeft),
                   QString::fromStdString(text.text));
    }
}

} // namespace kesp
