#pragma once

#include "profilestore.h"

#include <QString>
#include <QStringView>
#include <optional>

class Dialogs;
class QWidget;

// The notice when the stored profile cannot be read.
inline const QString profileUnreadable =
    QStringLiteral("ERROR. No Se Ha Podido Leer Tu Perfil Del Diario De Gimnasio.");

// The height answer as whole centimetres, read in the Spanish number form: a point groups
// thousands ("1.80" is 180) and a comma is the decimal mark ("180,5" rounds to the even 180).
// No value when it is no number or outside 1..999.
std::optional<int> readHeight(QStringView answer);

// The start-up of the profile: with no profile stored, the five first-run questions and the new
// profile record, then the login against the stored password. Every box goes through the dialogs
// given, parented to dialogParent.
class ProfileStartup {
public:
    enum class Outcome {
        Ready,       // a profile exists and the login passed
        LoginFailed, // wrong or cancelled password; the intruder notice has been shown
        NotStored,   // the profile could not be stored or read; the user has been told
    };

    ProfileStartup(ProfileStore &profiles, Dialogs &dialogs, QWidget *dialogParent = nullptr);

    Outcome run();

    // The five questions, each asked again after its error notice until the answer is usable.
    NewProfile askNewProfile();
    // Adds the profile as a new record and stores it; false (and nothing stored) on failure.
    bool store(const NewProfile &profile);
    // One login question, checked against the stored password.
    bool login();

private:
    QString askDate(const QString &prompt, const QString &title, const QString &errorTitle);
    QString askHeight();
    QString askPassword();

    ProfileStore &m_profiles;
    Dialogs &m_dialogs;
    QWidget *m_parent;
};
