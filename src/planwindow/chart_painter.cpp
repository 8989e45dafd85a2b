#include "planwindow/chart_painter.h"

namespace kesp {

QColor rgbColour(plan::Rgb colour) {
    return QColor(colour.r, colour.g, colour.b);
}

void paintChart(QPainter& p, const QWidget& widget, const plan::ChartPicture& picture) {
    p.fillRect(widget.rect(), widget.palette().base());
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
