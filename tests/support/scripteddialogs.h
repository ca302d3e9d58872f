#pragma once

#include "dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

// Dialogs whose answers a test sets beforehand; every box shown is recorded in order.
class ScriptedDialogs final : public Dialogs {
public:
    struct Shown {
        enum Kind { Input, Message, Question } kind;
        QString text;
        QString title;
        QString defaultText;
    };

    // The next input boxes return these texts, one each, in order.
    void queueInputs(const QStringList &answers) { m_inputs += answers; }
    // The next questions get these answers (true for "Sí").
    void queueAnswers(const QList<bool> &answers) { m_answers += answers; }

    QString inputBox(QWidget *parent, const QString &prompt, const QString &title,
                     const QString &defaultText = {}) override;
    void messageBox(QWidget *parent, const QString &text, const QString &title) override;
    bool askYesNo(QWidget *parent, const QString &text, const QString &title) override;

    const QList<Shown> &shown() const { return m_shown; }
    QList<Shown> messages() const; // message boxes only
    int pendingInputs() const { return int(m_inputs.size()); }
    void clear() { m_shown.clear(); }

private:
    QStringList m_inputs;
    QList<bool> m_answers;
    QList<Shown> m_shown;
};
