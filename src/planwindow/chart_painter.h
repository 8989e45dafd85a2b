#pragma once
// Paints a chart of plan_charts with QPainter, in the widget's own base and text colours.
#include <QColor>
#include <QPainter>
#include <QWidget>

#include "plan/plan_charts.h"

namespace kesp {

QColor rgbColour(plan::Rgb colour);
void paintChart(QPainter& painter, const QWidget& widget, const plan::ChartPicture& picture);

} // namespace kesp
