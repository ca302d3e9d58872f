#include "flows/profilestartup.h"

#include "data/clock.h"
#include "data/dates.h"
#include "data/diarydatabase.h"
#include "data/password.h"
#include "flows/diaryrescue.h"
#include "flows/profileanswers.h"
#include "ui/dialogs.h"
#include "ui/messages.h"

#include <QScopeGuard>
#include <cmath>

std::optional<int> readHeight(QStringView answer) {
    // Points before the decimal comma group thousands and are dropped; one after it is refused
    // by the number reader as a second separator.
    qsizetype comma = answer.indexOf(u',');
    if (comma < 0)
        comma = answer.size();
    QString plain = answer.left(comma).toString().remove(u'.');
    plain += answer.mid(comma);
    const std::optional<double> number = dates::readNumber(plain);
    if (!number || !std::isfinite(*number))
        return std::nullopt;
    // The default rounding mode sends a tie to the even neighbour.
    const double rounded = std::nearbyint(*number);
    if (rounded < 1.0 || rounded > 999.0)
        return std::nullopt;
    return int(rounded);
}

ProfileStartup::ProfileStartup(DiaryDatabase &database, ProfileStore &profiles, Dialogs &dialogs,
                               const Clock &clock, QWidget *dialogParent)
    : m_database(database)
    , m_profiles(profiles)
    , m_dialogs(dialogs)
    , m_clock(clock)
    , m_parent(dialogParent) {}

ProfileStartup::Outcome ProfileStartup::run() {
    // A sealed diary shows nothing, not even whether a profile is stored, before the login.
    if (m_database.source() == DiaryDatabase::Source::Sealed)
        return login();
    const std::optional<bool> exists = m_profiles.exists();
    if (!exists || (!*exists && !storeNew())) {
        QString text = exists ? QStringLiteral("ERROR. No Se Ha Podido Guardar Tu Perfil En El "
                                               "Diario De Gimnasio.")
                              : profileUnreadable;
        const QString reason = messages::reason(m_profiles.lastFailure()).trimmed();
        if (!reason.isEmpty())
            text += u'\n' + reason;
        m_dialogs.messageBox(m_parent, text, noticeTitle);
        return Outcome::NotStored;
    }
    return login();
}

bool ProfileStartup::storeNew() {
    QString chosen;
    const NewProfile profile = askNewProfile(&chosen);
    const auto forget = qScopeGuard([&chosen] { password::wipe(chosen); });
    if (!m_profiles.create(profile))
        return false;
    if (m_database.seal(chosen) != DiaryDatabase::Status::Ready) {
        m_profiles.setLastFailure(m_database.lastFailure());
        return false;
    }
    m_dialogs.messageBox(m_parent, sealedNotice, noticeTitle);
    return true;
}

NewProfile ProfileStartup::askNewProfile(QString *chosen) {
    NewProfile created;
    StoredProfile &profile = created.profile;
    profile.name = m_dialogs.inputBox(
        m_parent,
        QStringLiteral(
            "Introduce Tu Nombre Para Saber Quien Esta Usando Este Diario De Gimnasio..."),
        QStringLiteral("Introduce Tu Nombre..."), QStringLiteral("ZorvendDiarioGimnasta"));
    // Answers that read but cannot be meant are asked again with the reason: a birth date still
    // to come, a height in metres, a gym start before the birth.
    const QDate today = m_clock.now().date();
    profile.birthDate =
        askUntilUsable(QStringLiteral("Introduce El Día En Que Naciste En Formato DD/MM/AAAA"),
                       QStringLiteral("Introduce La Fecha De Tu Nacimiento"),
                       QStringLiteral("Fecha De Tu Nacimiento"), [today](const QString &answer) {
                           return profileanswers::birthDateProblem(answer, today);
                       });
    const QString heightTitle = QStringLiteral("Introduce Tu Altura En Centimetros...");
    const QString height = askUntilUsable(
        QStringLiteral(
            "Introduce Tu Altura En Cm, Es Decir Si Mides 1.80 Escribe 180 Y Pulsar Aceptar..."),
        heightTitle, heightTitle, &profileanswers::heightProblem);
    profile.height = QString::number(readHeight(height).value_or(0));
    const QString gymTitle = QStringLiteral("Introduce La Fecha De Comienzo De Gimnasio");
    profile.gymStart = askUntilUsable(
        QStringLiteral(
            "Introduce El Día En El Que Empezaste A Ir Al Gimnasio En Formato DD/MM/AAAA"),
        gymTitle, gymTitle, [&profile](const QString &answer) {
            return profileanswers::gymStartProblem(answer, profile.birthDate);
        });
    *chosen = askPassword();
    created.passwordHash = password::hash(*chosen); // the caller wipes the password
    return created;
}

QString ProfileStartup::askUntilUsable(
    const QString &prompt, const QString &title, const QString &errorTitle,
    const std::function<std::optional<QString>(const QString &)> &check) {
    for (;;) {
        const QString answer = m_dialogs.inputBox(m_parent, prompt, title);
        const std::optional<QString> problem = check(answer);
        if (!problem)
            return answer;
        m_dialogs.messageBox(m_parent, *problem, errorTitle);
    }
}

// A password mistyped once would lock the diary for ever: it is asked twice, and a second answer
// that differs starts the question over.
QString ProfileStartup::askPassword() {
    const QString title = QStringLiteral("Introduce Una Clave Personal");
    for (;;) {
        QString answer = m_dialogs.passwordBox(
            m_parent,
            QStringLiteral("Introduce Una Clave Para Que Nadie Pueda Fisgonear En Tu Diario ¡¡ Nó "
                           "La Olvides !! (Valen Números, Letras, Lo Que Quieras...)"),
            title);
        if (!password::isAcceptable(answer)) {
            password::wipe(answer);
            m_dialogs.messageBox(
                m_parent, QStringLiteral("ERROR. Introduce Una Clave De Al Menos Seis Caracteres."),
                title);
            continue;
        }
        QString again = m_dialogs.passwordBox(
            m_parent, QStringLiteral("Vuelve A Introducir Tu Clave..."), title);
        const bool same = again == answer;
        password::wipe(again);
        if (same)
            return answer;
        password::wipe(answer);
        m_dialogs.messageBox(m_parent, QStringLiteral("ERROR. Las Dos Claves No Son Iguales."),
                             title);
    }
}

ProfileStartup::Outcome ProfileStartup::login() {
    QString answer =
        m_dialogs.passwordBox(m_parent,
                              QStringLiteral("Introduce Tu Clave Personal... De Lo Contrario No "
                                             "Podras Usar El Diario De Gimnasio..."),
                              QStringLiteral("Introduce Tu Clave"));
    const auto forget = qScopeGuard([&answer] { password::wipe(answer); });
    DiaryDatabase::Status status = DiaryDatabase::Status::WrongPassword;
    if (m_database.source() == DiaryDatabase::Source::Sealed)
        status = m_database.unlock(answer);
    else if (m_profiles.checkPassword(answer))
        // A plain diary of an earlier version is sealed at its first login.
        status = m_database.seal(answer);
    if (status == DiaryDatabase::Status::Ready)
        return Outcome::Ready;
    // A diary found damaged inside only now offers the backups, as one damaged outside does.
    if (status == DiaryDatabase::Status::Damaged)
        return DiaryRescue(m_database, m_dialogs, m_clock, m_parent)
                       .offerCopies(messages::openFailure(m_database, status))
                   ? login()
                   : Outcome::NotOpened;
    m_dialogs.messageBox(m_parent, messages::openFailure(m_database, status), noticeTitle);
    return status == DiaryDatabase::Status::WrongPassword ? Outcome::LoginFailed
                                                          : Outcome::NotOpened;
}
