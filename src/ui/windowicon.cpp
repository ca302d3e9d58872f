#include "ui/windowicon.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace windowicon {
namespace {

// The sixteen colours of the classic palette.
QList<QRgb> sixteenColours() {
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

QPixmap dumbbell(int side) {
    QImage image(side, side, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        paint(painter, side);
    }
    return QPixmap::fromImage(image.convertToFormat(QImage::Format_Indexed8, sixteenColours(),
                                                    Qt::ThresholdDither | Qt::AvoidDither));
}

} // namespace

void paint(QPainter &painter, int side) {
    const double unit = side / 16.0;
    auto box = [&](double x, double y, double w, double h, QColor colour) {
        painter.fillRect(QRectF(x * unit, y * unit, w * unit, h * unit), colour);
    };
    box(0, 0, 16, 16, Qt::black);
    box(5, 7, 6, 2, QColor(192, 192, 192)); // bar
    box(1, 4, 2, 8, QColor(255, 0, 0));     // outer plates
    box(13, 4, 2, 8, QColor(255, 0, 0));
    box(3, 5, 2, 6, QColor(255, 255, 0)); // inner plates
    box(11, 5, 2, 6, QColor(255, 255, 0));
}

QIcon gimnasioIcon() {
    QIcon icon;
    icon.addPixmap(dumbbell(16));
    icon.addPixmap(dumbbell(32));
    return icon;
}

} // namespace windowicon
