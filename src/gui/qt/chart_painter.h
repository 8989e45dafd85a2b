#pragma once
// Paints a chart of plan_charts with QPainter, in the widget's own base and text colours and
// font, faded while the widget is disabled.
#include <QColor>
#include <QPainter>
#include <QWidget>

#include "plan/plan_charts.h"

namespace kesp {

QColor rgbColour(plan::Rgb colour);
// Text widths in `widget`'s font.
plan::TextWidth chartTextWidth(const QWidget& widget);
void paintChart(QPainter& painter, const QWidget& widget, const plan::ChartPicture& picture);

} // namespace kesp
