#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Windows of a fixed design on screens smaller than the design, as a scaled screen is (a
// 1280×1024 screen at twice the scale has 640×512 to give): a window is placed inside the
// screen's available area, and a design larger than that area scrolls inside a window that fits.
namespace windowfit {

// Where a window frame goes: centred on the available area, then moved inside it, its top left
// corner first, where the frame is larger.
QPoint placeInside(const QRect &frame, const QRect &available);

// The room a window's client area has on the screen of `window`: its available area less an
// allowance for the title bar and the border.
QSize roomFor(const QWidget *window);

// The design itself when it fits the room, or a frameless scroll area holding it, no larger
// than the room, in the design's own background.
QWidget *scrollableWhenLarger(QWidget *design, const QSize &room);

} // namespace windowfit
