#include "ui/keyboard.h"

#include <QAbstractButton>
#include <QDialog>
#include <QKeyEvent>

bool ReturnPressesButtons::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
        (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    auto *button = qobject_cast<QAbstractButton *>(watched);
    if (!button || !button->isEnabled() || qobject_cast<QDialog *>(button->window()))
        return false;
    button->animateClick();
    return true;
}
