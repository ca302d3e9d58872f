#pragma once

#include "data/profilestore.h"

#include <QString>
#include <QStringView>
#include <functional>
#include <optional>

class Clock;
class Dialogs;
class DiaryDatabase;
class QWidget;

// The notice when the stored profile cannot be read.
inline const QString profileUnreadable =
    QStringLiteral("ERROR. No Se Ha Podido Leer Tu Perfil Del Diario De Gimnasio.");

// The height answer as whole centimetres, read in the Spanish number form: a point groups
// thousands ("1.80" is 180) and a comma is the decimal mark ("180,5" rounds to the even 180).
// No value when it is no number or outside 1..999.
std::optional<int> readHeight(QStringView answer);

// The notice after the first-run questions: the new diary is sealed with the password chosen.
inline const QString sealedNotice = QStringLiteral(
    "Tu Diario De Gimnasio Queda Cifrado Con Esta Clave: Sin Ella Nadie, Ni Tú, Podrá Abrirlo "
    "Ni Leerlo. Si La Olvidas, No Hay Forma De Recuperar El Diario. ¡¡ No La Olvides !!");

// The start-up of the profile: with no profile stored, the five first-run questions, the new
// profile record and the diary sealed with the password chosen; then the login, which opens the
// sealed diary with the password. A plain diary of an earlier version is checked against its
// stored password and sealed with it. Every box goes through the dialogs given, parented to
// dialogParent.
class ProfileStartup {
public:
    enum class Outcome {
        Ready,       // a profile exists and the login passed
        LoginFailed, // wrong or cancelled password; the intruder notice has been shown
        NotStored,   // the profile could not be stored or read; the user has been told
        NotOpened,   // the diary could not be opened or sealed; the user has been told
    };

    ProfileStartup(DiaryDatabase &database, ProfileStore &profiles, Dialogs &dialogs,
                   const Clock &clock, QWidget *dialogParent = nullptr);

    Outcome run();

private:
    // The five questions, each asked again after its error notice until the answer is usable;
    // the password chosen goes to *chosen.
    NewProfile askNewProfile(QString *chosen);
    // Stores the new profile and seals the diary with the password; false when either fails.
    bool storeNew();
    // One login question, answered by opening the diary with it.
    Outcome login();
    // Asks until check() finds no problem in the answer, showing each problem under errorTitle.
    QString askUntilUsable(const QString &prompt, const QString &title, const QString &errorTitle,
                           const std::function<std::optional<QString>(const QString &)> &check);
    QString askPassword();

    DiaryDatabase &m_database;
    ProfileStore &m_profiles;
    Dialogs &m_dialogs;
    const Clock &m_clock;
    QWidget *m_parent;
};
