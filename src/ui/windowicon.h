#pragma once

#include <QIcon>

class QPainter;

// The program's window icon: a dumbbell in 16 colours, at 16×16 and 32×32 pixels. Set on the
// application, it is the icon of both windows.
namespace windowicon {

QIcon gimnasioIcon();

// The dumbbell drawn on a square of that side, for the icons of the desktop at any size.
void paint(QPainter &painter, int side);

} // namespace windowicon
