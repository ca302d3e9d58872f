#pragma once

#include "ui/profilesummary.h"

#include <QList>
#include <QUrl>
#include <QWidget>

class Clock;
class Dialogs;
class PhotoBox;
class ProfileStore;
class QLabel;
class QPushButton;
class QTimer;

// The profile window (Form1): the stored profile, a running clock, the user's age and time in the
// gym, the photo, and the way into the diary. Closing it with its close box only hides it.
class ProfileWindow : public QWidget {
    Q_OBJECT
public:
    ProfileWindow(DiaryDatabase &database, ProfileStore &profiles, Dialogs &dialogs,
                  const Clock &clock, QWidget *parent = nullptr);
    ~ProfileWindow() override;

    // The start-up before the window is first shown: first-run questions when no profile is
    // stored, then the login. False when the program must end (wrong or cancelled password, or a
    // profile that could not be stored or read); the user has been told.
    bool runStartup();

    // 1 once the start-up has finished, 0 before; the clock ticks do nothing until then.
    int startupComplete() const { return m_startupComplete; }

    // What the window shows of the user, which the diary window and its reports read too.
    ProfileSummary &summary() { return m_summary; }
    // Reads the stored profile and photo again and shows them, title included; false (and the
    // user told) when no profile could be read.
    bool reloadProfile();

public slots:
    void Timer1_Timer();
    void Command1_Click();
    void Command2_Click();
    // The first of the dropped files becomes the stored photo when it is a readable picture;
    // anything else is ignored without a word.
    void Image1_OLEDragDrop(const QList<QUrl> &urls);
    // Ctrl+F: a picture chosen in a file dialog, taken as a dropped one.
    void choosePhoto();

signals:
    // The window became the active one.
    void activated();
    // "&Entrar": the diary window is wanted.
    void diaryRequested();
    // "&Salir": the program is to end, the diary window with it.
    void leaveRequested();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    // The hidden password label, the photo and the buttons.
    void buildControls();
    // Shows the summary's texts in the labels.
    void showSummary();
    // Reads the stored profile and photo into the summary; false when no profile could be read.
    bool loadProfile();

    DiaryDatabase &m_database;
    ProfileStore &m_profiles;
    Dialogs &m_dialogs;
    const Clock &m_clock;
    ProfileSummary m_summary;

    QTimer *Timer1 = nullptr;

    QLabel *nombre = nullptr;
    QLabel *fechanaci = nullptr; // hidden: the birth date as typed
    QLabel *alturacm = nullptr;
    QLabel *fechacom = nullptr; // hidden: the gym start date as typed
    QLabel *sclave = nullptr;   // hidden and always empty: the password never reaches a widget
    PhotoBox *Image1 = nullptr;

    QLabel *Label14 = nullptr; // time in the gym, "1 Años, 2 Meses Y 3 Días"
    QLabel *Label15 = nullptr; // age, years
    QLabel *Label16 = nullptr; // current time
    QLabel *Label17 = nullptr; // today's date
    QLabel *Label18 = nullptr; // age, months
    QLabel *Label19 = nullptr; // age, days
    QLabel *Label20 = nullptr; // birth date, long form
    QLabel *Label21 = nullptr; // gym start date, long form

    QPushButton *Command1 = nullptr; // "&Entrar"
    QPushButton *Command2 = nullptr; // "&Salir"

    qint16 m_startupComplete = 0;
};
