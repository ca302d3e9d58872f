#pragma once

#include <QColor>
#include <QFont>
#include <QGuiApplication>

// The colours and the font family that both windows are drawn in.
namespace windowlook {

inline const QColor black(0x00, 0x00, 0x00);
inline const QColor white(0xFF, 0xFF, 0xFF);
inline const QColor yellow(0xFF, 0xFF, 0x00);
inline const QColor orange(0xFF, 0x80, 0x00);
inline const QColor red(0xFF, 0x00, 0x00);
inline const QColor green(0x00, 0xFF, 0x00);
inline const QColor navy(0x00, 0x00, 0x80);

// Arial (a metric-compatible substitute where it is missing) at the given size.
inline QFont arial(double points, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The windows' default font, for the controls whose design names no font of their own.
inline QFont defaultFont() {
    return arial(8.25, false);
}

// Makes the whole program draw in Arial, or its metric twin Liberation Sans where Arial is
// missing, at the default size.
inline void useProgramFonts() {
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QGuiApplication::setFont(defaultFont());
}

} // namespace windowlook
