#include "flows/passwordflow.h"

#include "data/password.h"
#include "data/profilestore.h"
#include "ui/dialogs.h"
#include "ui/messages.h"

#include <QScopeGuard>

PasswordFlow::PasswordFlow(ProfileStore &profiles, Dialogs &dialogs)
    : m_profiles(profiles)
    , m_dialogs(dialogs) {}

void PasswordFlow::run(QWidget *parent) {
    const QString title = QStringLiteral("Cambiar Clave");
    // An empty answer is a cancelled box: no password is that short.
    QString current =
        m_dialogs.passwordBox(parent, QStringLiteral("Introduce Tu Clave Actual..."), title);
    QString next;
    QString again;
    const auto forget = qScopeGuard([&] {
        for (QString *typed : {&current, &next, &again})
            password::wipe(*typed);
    });
    if (current.isEmpty())
        return;
    const QString wrongCurrent =
        QStringLiteral("ERROR. Tu Clave Actual No Es Esa. Tu Clave No Ha Cambiado.");
    if (!m_profiles.opensDiary(current)) {
        m_dialogs.messageBox(parent, wrongCurrent, title);
        return;
    }
    for (;;) {
        next = m_dialogs.passwordBox(
            parent, QStringLiteral("Introduce Tu Nueva Clave, De Al Menos Seis Caracteres..."),
            title);
        if (next.isEmpty())
            return;
        if (password::isAcceptable(next))
            break;
        password::wipe(next);
        m_dialogs.messageBox(
            parent, QStringLiteral("ERROR. Introduce Una Clave De Al Menos Seis Caracteres."),
            title);
    }
    again = m_dialogs.passwordBox(parent, QStringLiteral("Vuelve A Introducir Tu Nueva Clave..."),
                                  title);
    if (again != next) {
        m_dialogs.messageBox(
            parent,
            QStringLiteral("ERROR. Las Dos Claves No Son Iguales. Tu Clave No Ha Cambiado."),
            title);
        return;
    }
    QString outcome;
    switch (m_profiles.changePassword(current, next)) {
    case ProfileStore::PasswordChange::Changed:
        outcome = QStringLiteral("Tu Clave Ha Cambiado. Desde Ahora El Diario De Gimnasio Solo Se "
                                 "Abre Con La Nueva Clave.");
        break;
    case ProfileStore::PasswordChange::WrongCurrent:
        outcome = wrongCurrent;
        break;
    case ProfileStore::PasswordChange::NotWritten:
        outcome = QStringLiteral("ERROR. No Se Ha Podido Guardar El Diario De Gimnasio Con La "
                                 "Nueva Clave. Sigue Abriéndose Con La Anterior.\n") +
                  messages::reason(m_profiles.lastFailure());
        break;
    }
    m_dialogs.messageBox(parent, outcome, title);
}
