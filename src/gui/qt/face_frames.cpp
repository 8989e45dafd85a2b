#include "gui/qt/face_frames.h"

#include <QPainter>
#include <QPainterPath>

namespace kesp {

QPixmap ImageVisage(int index) {
    QPixmap image(32, 32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    // Hard edges, as an icon of 16 colours has.
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor jaune(255, 255, 0), noir(0, 0, 0), rouge(255, 0, 0), blanc(255, 255, 255);

    p.setPen(QPen(noir, 1));
    p.setBrush(jaune);
    p.drawEllipse(1, 1, 29, 29);

    // Eyes: open dots, squeezed shut while laughing hard.
    p.setBrush(noir);
    if (index == 4) {
        p.drawLine(9, 11, 13, 11);
        p.drawLine(18, 11, 22, 11);
    } else {
        p.drawRect(10, 9, 2, 3);
        p.drawRect(19, 9, 2, 3);
    }

    p.setBrush(Qt::NoBrush);
    switch (index) {
    case 1:
        p.drawLine(10, 21, 21, 21);
        break;
    case 2:
        p.drawArc(8, 12, 16, 11, 200 * 16, 140 * 16);
        break;
    default: {
        // Open laughing mouth: a red half-moon under a white row of teeth.
        const int haut = index == 3 ? 17 : 16;
        const int profondeur = index == 3 ? 9 : 11;
        QPainterPath bouche;
        bouche.moveTo(8, haut);
        bouche.lineTo(24, haut);
        bouche.arcTo(QRectF(8, haut - profondeur, 16, 2 * profondeur), 0, -180);
        bouche.closeSubpath();
        p.setBrush(rouge);
        p.drawPath(bouche);
        p.setPen(Qt::NoPen);
        p.setBrush(blanc);
        p.drawRect(10, haut + 1, 12, 2);
        break;
    }
    }
    return image;
}

} // namespace kesp
