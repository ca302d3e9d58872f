#pragma once

#include "data/diarysync.h"
#include "diary/diarywindow.h"
#include "flows/copiesflow.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class CalendarWindow;
class Clock;
class Dialogs;
class DiaryDatabase;
class ProfileStore;
class ProfileWindow;
class ProgressWindow;
class QFileSystemWatcher;
class QTimer;
class SearchWindow;
class TrainingWindow;

// The program's one owner of its windows: it opens the diary (offering the backups when it
// cannot), runs the first-run questions or the login, shows the profile window, opens the diary
// window and the charts when asked, runs what the menus ask for through the flows, puts a backup
// in the diary's place (the windows closed around it and opened again), tells write failures,
// and at the end asks about unwritten changes and makes the backup of a run that changed the
// diary. The windows only tell it, through signals, what the user asked for.
class ApplicationController : public QObject {
    Q_OBJECT
public:
    ApplicationController(DiaryDatabase &database, ProfileStore &profiles, Dialogs &dialogs,
                          const Clock &clock, QObject *parent = nullptr);
    ~ApplicationController() override;

    // Opens the diary at path and runs the start-up; true when the profile window is shown,
    // false when the program must end (the user has been told).
    bool start(const QString &diaryPath);
    // After the last window: unwritten changes are not given up without the user's word, and a
    // run that changed the diary leaves a backup (a failure is told at the next start).
    void finish();

    ProfileWindow *profileWindow() const { return m_profile.get(); }
    DiaryWindow *diaryWindow() const { return m_diary; }
    ProgressWindow *progressWindow() const;
    SearchWindow *searchWindow() const;
    CalendarWindow *calendarWindow() const;
    TrainingWindow *trainingWindow() const;

public slots:
    // "&Entrar": the diary window, made when it is not open.
    void showDiary();
    // The profile window's "&Salir": the diary window goes too, then the program ends.
    void leave();
    void run(DiaryWindow::Request request);
    // The checked copy takes the diary's place: the diary window (and the charts) close first
    // and open again on the diary restored.
    void restore(CopiesFlow::Restore copy);

private:
    void restoreLater(CopiesFlow::Restore copy);
    void showProgress();
    // The search and the calendar: one of each, beside the diary window, whose days they show.
    void showSearch();
    void showCalendar();
    // "Entrenamiento", beside the diary window, whose days it reads.
    void showTraining();
    // A day just stored that beats a record is told in the diary window's status bar.
    void tellRecords(const dayfields::DayTexts &texts);
    void editProfile();
    // The diary's file and folder watched (sync tools replace the file by a rename), and looked
    // at again when a window of the program is activated.
    void watchDiary();
    // What another computer wrote is merged in and shown, and its conflict copies offered.
    void lookAtDisk();
    // The windows follow the days after a merge that was not the diary's own catching up.
    void followMerge();

    DiaryDatabase &m_database;
    ProfileStore &m_profiles;
    Dialogs &m_dialogs;
    const Clock &m_clock;
    std::unique_ptr<ProfileWindow> m_profile;
    QPointer<DiaryWindow> m_diary;
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer *m_look = nullptr;
    QSet<QString> m_refusedCopies;
    diarysync::FileMark m_refusedFile; // a file whose other password was not given
    bool m_looking = false;
};
