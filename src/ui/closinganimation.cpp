#include "ui/closinganimation.h"

#include "ui/twips.h"

#include <QCoreApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <limits>

namespace closinganimation {
namespace {

// Marks a window whose animation is running, so that a second close during it does not start
// another one.
constexpr char runningProperty[] = "closingAnimationRunning";

// The height as the animation's 16-bit counter takes it: to the nearest whole twip, a tie to the
// even neighbour, held within the counter's range.
int counterStart(double heightTwips) {
    if (std::isnan(heightTwips))
        return 0;
    constexpr double low = std::numeric_limits<qint16>::min();
    constexpr double high = std::numeric_limits<qint16>::max();
    return int(std::clamp(std::nearbyint(heightTwips), low, high));
}

} // namespace

QList<int> stepHeights(double heightTwips) {
    QList<int> heights;
    int h = counterStart(heightTwips);
    do {
        h -= stepTwips;
        heights.append(h);
    } while (h > stepTwips);
    return heights;
}

void play(QWidget *window) {
    if (!window || !window->isWindow() || !window->isVisible())
        return;
    if (window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    if (window->property(runningProperty).toBool())
        return;
    window->setProperty(runningProperty, true);

    QPointer<QWidget> guard(window);
    const int frameExtra = window->frameGeometry().height() - window->height();
    const QList<int> heights =
        stepHeights(double(twips::fromPixels(window->frameGeometry().height())));
    for (const int heightTwips : heights) {
        QCoreApplication::processEvents();
        if (!guard || !guard->isVisible())
            break;
        const int clientPixels =
            std::max(0, twips::toPixels(std::max(0, heightTwips)) - frameExtra);
        guard->setFixedHeight(clientPixels);
        const int readBack = guard->frameGeometry().height();
        const QScreen *screen = guard->screen();
        if (!screen)
            continue;
        const QRect available = screen->availableGeometry();
        const double top = available.top() + (available.height() - readBack) / 2.0;
        guard->move(guard->frameGeometry().left(), int(std::lround(top)));
    }
    if (guard)
        guard->setProperty(runningProperty, false);
}

} // namespace closinganimation
