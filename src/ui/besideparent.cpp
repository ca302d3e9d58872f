#include "ui/besideparent.h"

#include "charts/progress.h"

#include <QScreen>
#include <QWidget>

namespace besideparent {

void place(QWidget *window, QSize preferred) {
    const QWidget *owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    const bool beside = owner && owner->isVisible();
    const QScreen *shownOn = beside ? owner->screen() : window->screen();
    if (!shownOn)
        return;
    // The window's frame is not known before it is shown: the owner's stands for it.
    const QSize frame = beside ? owner->frameGeometry().size() - owner->size() : QSize(0, 0);
    const QRect place = progress::placeBeside(shownOn->availableGeometry(),
                                              beside ? owner->frameGeometry() : QRect(),
                                              preferred + frame, window->minimumSizeHint() + frame);
    window->resize(place.size() - frame);
    window->move(place.topLeft());
}

} // namespace besideparent
