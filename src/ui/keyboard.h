#pragma once

#include <QObject>

// Return and Enter press the focused button as Space does, in every window of the program. In a
// dialog they keep their own meaning: they press its default button.
class ReturnPressesButtons final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
