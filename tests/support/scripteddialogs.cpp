#include "scripteddialogs.h"

#include <QTest>

QString ScriptedDialogs::inputBox(QWidget *, const QString &prompt, const QString &title,
                                  const QString &defaultText) {
    m_shown.append({Shown::Input, prompt, title, defaultText});
    if (m_inputs.isEmpty()) {
        // An unscripted question is a test fault; Cancel keeps the program from looping for ever.
        qWarning("ScriptedDialogs: unscripted input box \"%s\"", qPrintable(title));
        return {};
    }
    return m_inputs.takeFirst();
}

void ScriptedDialogs::messageBox(QWidget *, const QString &text, const QString &title) {
    m_shown.append({Shown::Message, text, title, {}});
}

bool ScriptedDialogs::askYesNo(QWidget *, const QString &text, const QString &title) {
    m_shown.append({Shown::Question, text, title, {}});
    if (m_answers.isEmpty()) {
        qWarning("ScriptedDialogs: unscripted question \"%s\"", qPrintable(text));
        return false;
    }
    return m_answers.takeFirst();
}

QList<ScriptedDialogs::Shown> ScriptedDialogs::messages() const {
    QList<Shown> result;
    for (const Shown &s : m_shown)
        if (s.kind == Shown::Message)
            result.append(s);
    return result;
}
