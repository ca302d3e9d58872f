// Writes the desktop's icons of the program into a folder: the dumbbell of the window icon as
// a scalable SVG and as PNG files of 48, 128 and 256 pixels, all named after the program's id.
//
//   gimnasio-icons <folder> <id>
#include "ui/windowicon.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3 || !QDir().mkpath(arguments[1])) {
        std::fputs("uso: gimnasio-icons <carpeta> <id>\n", stderr);
        return 2;
    }
    const QDir folder(arguments[1]);
    const QString &id = arguments[2];
    for (const int side : {48, 128, 256}) {
        QImage image(side, side, QImage::Format_RGB32);
        QPainter painter(&image);
        windowicon::paint(painter, side);
        painter.end();
        if (!image.save(folder.filePath(QStringLiteral("%1-%2.png").arg(id).arg(side))))
            return 1;
    }
    QSvgGenerator svg;
    svg.setFileName(folder.filePath(id + QStringLiteral(".svg")));
    svg.setSize({16, 16});
    svg.setViewBox(QRect(0, 0, 16, 16));
    svg.setTitle(QStringLiteral("Gimnasio"));
    QPainter painter;
    if (!painter.begin(&svg))
        return 1;
    windowicon::paint(painter, 16);
    return painter.end() ? 0 : 1;
}
