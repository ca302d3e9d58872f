#include "ui/windowfit.h"

#include <QApplication>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace windowfit {

QPoint placeInside(const QRect &frame, const QRect &available) {
    QRect placed = frame;
    placed.moveCenter(available.center());
    const int left =
        std::max(available.left(), std::min(placed.left(), available.right() + 1 - placed.width()));
    const int top =
        std::max(available.top(), std::min(placed.top(), available.bottom() + 1 - placed.height()));
    return {left, top};
}

QSize roomFor(const QWidget *window) {
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    const QStyle *style = window->style();
    const int border = 2 * style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    return screen->availableGeometry().size() -
           QSize(border, border + style->pixelMetric(QStyle::PM_TitleBarHeight));
}

QWidget *scrollableWhenLarger(QWidget *design, const QSize &room) {
    const QSize wanted = design->size();
    if (wanted.width() <= room.width() && wanted.height() <= room.height())
        return design;
    auto *scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("designScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setPalette(design->palette());
    scroll->setBackgroundRole(QPalette::Window);
    scroll->setWidget(design);
    // A scroll bar in one direction takes room from the other: made room for, where it fits.
    const int bar = scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QSize shown = wanted;
    if (wanted.height() > room.height())
        shown.rwidth() += bar;
    if (wanted.width() > room.width())
        shown.rheight() += bar;
    scroll->setFixedSize(shown.boundedTo(room));
    return scroll;
}

} // namespace windowfit
