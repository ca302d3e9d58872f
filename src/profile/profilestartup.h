#pragma once

#include <QString>
#include <QStringView>
#include <optional>

class Dialogs;
class QSqlTableModel;
class QWidget;

// The profile as the first-run questions give it, in the texts that are stored.
struct NewProfile {
    QString name;         // as typed, also empty
    QString birthDate;    // as typed, once it reads as a date
    QString height;       // whole centimetres in decimal digits
    QString gymStart;     // as typed, once it reads as a date
    QString passwordHash; // password::hash() of the chosen password
};

// The height answer as whole centimetres: read with a decimal comma or point, rounded to the
// nearest (a tie to the even neighbour); no value when it is no number or outside 1..999.
std::optional<int> readHeight(QStringView answer);

// The start-up of the profile on the user table: on an empty table the five first-run questions
// and the new profile record, then the login against the first record. Every box goes through
// the dialogs given, parented to dialogParent.
class ProfileStartup {
public:
    enum class Outcome {
        Ready,       // a profile exists and the login passed
        LoginFailed, // wrong or cancelled password; the intruder notice has been shown
        NotStored,   // the new profile could not be stored; the user has been told
    };

    ProfileStartup(QSqlTableModel &usuario, Dialogs &dialogs, QWidget *dialogParent = nullptr);

    Outcome run();

    // The five questions, each asked again after its error notice until the answer is usable.
    NewProfile askNewProfile();
    // Adds the profile as a new record and stores it; false (and nothing stored) on failure.
    bool store(const NewProfile &profile);
    // One login question, checked against the first record's stored password.
    bool login();

private:
    QString askDate(const QString &prompt, const QString &title, const QString &errorTitle);
    QString askHeight();
    QString askPassword();

    QSqlTableModel &m_usuario;
    Dialogs &m_dialogs;
    QWidget *m_parent;
};
