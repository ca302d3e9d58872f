#include "app/applicationcontroller.h"

#include "calendar/calendarwindow.h"
#include "charts/progresswindow.h"
#include "data/backups.h"
#include "data/clock.h"
#include "data/dates.h"
#include "data/daystore.h"
#include "data/diarydatabase.h"
#include "flows/csvflow.h"
#include "flows/diaryrescue.h"
#include "flows/passwordflow.h"
#include "flows/profileflow.h"
#include "flows/syncflow.h"
#include "profile/profilewindow.h"
#include "search/searchwindow.h"
#include "trainingwindow/traininglog.h"
#include "trainingwindow/trainingwindow.h"
#include "ui/dialogs.h"
#include "ui/messages.h"

#include <QApplication>
#include <QFileSystemWatcher>
#include <QTimer>

ApplicationController::ApplicationController(DiaryDatabase &database, ProfileStore &profiles,
                                             Dialogs &dialogs, const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_database(database)
    , m_profiles(profiles)
    , m_dialogs(dialogs)
    , m_clock(clock) {
    connect(&m_database, &DiaryDatabase::writeFailed, this, [this] {
        m_dialogs.messageBox(QApplication::activeWindow(), messages::saveFailure(m_database),
                             noticeTitle);
    });
    m_database.setPasswordAsker([this] {
        return SyncFlow(m_database, m_dialogs, m_clock)
            .askOtherPassword(QApplication::activeWindow());
    });
    // Told once the save or the look that merged is done.
    connect(
        &m_database, &DiaryDatabase::mergedFromDisk, this,
        [this] {
            SyncFlow(m_database, m_dialogs, m_clock)
                .tellMerge(QApplication::activeWindow(), m_database.lastMerge());
        },
        Qt::QueuedConnection);
}

ApplicationController::~ApplicationController() {
    // The diary window reads the profile window's summary: it goes first.
    delete m_diary.data();
}

ProgressWindow *ApplicationController::progressWindow() const {
    return m_diary ? m_diary->findChild<ProgressWindow *>() : nullptr;
}

SearchWindow *ApplicationController::searchWindow() const {
    return m_diary ? m_diary->findChild<SearchWindow *>() : nullptr;
}

CalendarWindow *ApplicationController::calendarWindow() const {
    return m_diary ? m_diary->findChild<CalendarWindow *>() : nullptr;
}

TrainingWindow *ApplicationController::trainingWindow() const {
    return m_diary ? m_diary->findChild<TrainingWindow *>() : nullptr;
}

bool ApplicationController::start(const QString &diaryPath) {
    // A diary that cannot be opened, or none while backups are kept, offers the backups.
    if (!DiaryRescue(m_database, m_dialogs, m_clock).open(diaryPath))
        return false;
    m_profile = std::make_unique<ProfileWindow>(m_database, m_profiles, m_dialogs, m_clock);
    connect(m_profile.get(), &ProfileWindow::diaryRequested, this,
            &ApplicationController::showDiary);
    connect(m_profile.get(), &ProfileWindow::leaveRequested, this, &ApplicationController::leave);
    if (!m_profile->runStartup())
        return false;
    m_profile->show();
    watchDiary();
    if (const std::optional<QString> failed = backups::takeFailure(m_database.filePath()))
        m_dialogs.messageBox(m_profile.get(),
                             QStringLiteral("La Última Copia De Seguridad Automática No Se Pudo "
                                            "Hacer:\n%1\nHaz Una Desde El Menú \"Diario\".")
                                 .arg(*failed),
                             noticeTitle);
    return true;
}

void ApplicationController::finish() {
    while (!m_database.isWritten() &&
           m_dialogs.askYesNo(nullptr, messages::unwrittenQuestion(), noticeTitle))
        m_database.save();
    Failure failure;
    if (m_database.wasChanged() && m_database.isWritten() &&
        !backups::makeBackup(m_database, m_clock.now(), backups::Kind::AtExit, &failure))
        backups::noteFailure(m_database.filePath(), messages::reason(failure));
}

void ApplicationController::showDiary() {
    if (!m_diary) {
        m_diary = new DiaryWindow(m_database, m_profiles, m_profile->summary(), m_dialogs, m_clock);
        connect(m_profile.get(), &ProfileWindow::activated, m_diary.data(),
                &DiaryWindow::noteProfileActivated);
        connect(m_diary.data(), &DiaryWindow::requested, this, &ApplicationController::run);
        connect(m_diary.data(), &DiaryWindow::backupStateWanted, this, [this] {
            m_diary->setBackupState(CopiesFlow(m_database, m_dialogs, m_clock).stateLine());
        });
        connect(m_diary.data(), &DiaryWindow::leaving, this, [this] {
            if (ProgressWindow *charts = progressWindow())
                charts->close();
            if (SearchWindow *search = searchWindow())
                search->close();
            if (CalendarWindow *calendar = calendarWindow())
                calendar->close();
            if (TrainingWindow *training = trainingWindow())
                training->close();
        });
        connect(m_diary.data(), &DiaryWindow::dayStored, this, &ApplicationController::tellRecords);
    }
    m_diary->show();
    m_diary->raise();
    m_diary->activateWindow();
}

void ApplicationController::leave() {
    if (m_diary)
        m_diary->close();
    QCoreApplication::quit();
}

void ApplicationController::run(DiaryWindow::Request request) {
    using R = DiaryWindow::Request;
    DiaryWindow *parent = m_diary;
    CopiesFlow copies(m_database, m_dialogs, m_clock);
    switch (request) {
    case R::EditProfile:
        return editProfile();
    case R::ChangePassword:
        return PasswordFlow(m_profiles, m_dialogs).run(parent);
    case R::BackUpNow:
        return copies.backUpNow(parent);
    case R::SaveCopy:
        return copies.saveCopyTo(parent);
    case R::Restore:
        return restoreLater(copies.chooseRestore(parent));
    case R::UndoImport:
        return restoreLater(copies.chooseUndoImport(parent));
    case R::ExportPlainCopy:
        return copies.exportPlainCopy(parent);
    case R::ExportCsv:
        return CsvFlow(m_database, parent->days(), m_dialogs, m_clock).exportCsv(parent);
    case R::ImportCsv:
        if (CsvFlow(m_database, parent->days(), m_dialogs, m_clock).importCsv(parent))
            parent->showChangedDays();
        return;
    case R::ImportWorkouts:
        if (CsvFlow(m_database, parent->days(), m_dialogs, m_clock).importWorkouts(parent))
            parent->showChangedDays();
        return;
    case R::ShowProgress:
        return showProgress();
    case R::Search:
        return showSearch();
    case R::ShowCalendar:
        return showCalendar();
    case R::ShowTraining:
        return showTraining();
    case R::Combine:
        if (SyncFlow(m_database, m_dialogs, m_clock).combine(parent))
            followMerge();
        return;
    case R::ShowConflicts:
        if (SyncFlow(m_database, m_dialogs, m_clock).showConflicts(parent))
            followMerge();
        return;
    }
}

void ApplicationController::watchDiary() {
    if (m_watcher)
        return;
    m_watcher = new QFileSystemWatcher(this);
    m_look = new QTimer(this);
    // A sync tool writes in bursts: one look once it is done.
    m_look->setSingleShot(true);
    m_look->setInterval(400);
    connect(m_look, &QTimer::timeout, this, &ApplicationController::lookAtDisk);
    const auto look = [this] { m_look->start(); };
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, look);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, look);
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [look](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive)
                    look();
            });
    m_watcher->addPath(m_database.folder());
    lookAtDisk();
}

void ApplicationController::lookAtDisk() {
    // Never inside a box that is open, nor twice at once: once it closes.
    if (m_looking || QApplication::activeModalWidget()) {
        m_look->start();
        return;
    }
    m_looking = true;
    if (!m_watcher->files().contains(m_database.filePath()))
        m_watcher->addPath(m_database.filePath()); // replaced by a rename: watched anew
    QWidget *parent = m_diary ? static_cast<QWidget *>(m_diary) : m_profile.get();
    const diarysync::FileMark now = diarysync::FileMark::of(m_database.filePath());
    if (now != m_refusedFile) {
        const DiaryDatabase::Status status = m_database.refresh();
        m_refusedFile = status == DiaryDatabase::Status::Ready ? diarysync::FileMark() : now;
        if (status != DiaryDatabase::Status::Ready)
            m_dialogs.messageBox(parent, messages::mergeFailure(m_database, status), noticeTitle);
    }
    if (SyncFlow(m_database, m_dialogs, m_clock).offerCopies(parent, &m_refusedCopies))
        followMerge();
    m_looking = false;
}

void ApplicationController::followMerge() {
    if (m_diary)
        m_diary->days().followDisk();
}

void ApplicationController::showSearch() {
    SearchWindow *search = searchWindow();
    if (!search) {
        search = new SearchWindow(m_database.connection(), m_diary->days(), m_diary);
        connect(search, &SearchWindow::dayChosen, m_diary.data(), &DiaryWindow::showDay);
    }
    search->show();
    search->raise();
    search->activateWindow();
}

void ApplicationController::showCalendar() {
    CalendarWindow *calendar = calendarWindow();
    if (!calendar) {
        calendar = new CalendarWindow(m_database, m_diary->days(), m_dialogs, m_clock, m_diary);
        connect(calendar, &CalendarWindow::dayChosen, m_diary.data(), &DiaryWindow::showDay);
    }
    calendar->show();
    calendar->raise();
    calendar->activateWindow();
}

void ApplicationController::showTraining() {
    TrainingWindow *training = trainingWindow();
    if (!training)
        training = new TrainingWindow(m_database, m_diary->days(), m_dialogs, m_diary);
    training->show();
    training->raise();
    training->activateWindow();
}

void ApplicationController::tellRecords(const dayfields::DayTexts &texts) {
    const std::optional<QDate> date = dates::readDate(texts[dayfields::Fh]);
    const QString &text = texts[dayfields::Qhash];
    const std::optional<QList<traininglog::DiaryEntry>> entries =
        date && !text.trimmed().isEmpty() ? traininglog::readEntries(m_database.connection())
                                          : std::nullopt;
    const QStringList records =
        entries
            ? traininglog::newRecordsOfStored(
                  *entries, traininglog::correctionsFrom(TrainingCorrections(m_database).entries()),
                  *date, text)
            : QStringList();
    m_diary->tellNotice(records.join(QStringLiteral(" · ")));
}

void ApplicationController::showProgress() {
    ProgressWindow *charts = progressWindow();
    if (!charts)
        charts = new ProgressWindow(m_diary->days(), m_profiles, m_dialogs, m_diary);
    charts->show();
    charts->raise();
    charts->activateWindow();
}

void ApplicationController::editProfile() {
    if (!ProfileFlow(m_profiles, m_profile->summary(), m_dialogs, m_clock).run(m_diary))
        return;
    m_diary->showProfile();
    if (ProgressWindow *charts = progressWindow())
        charts->reload();
}

void ApplicationController::restoreLater(CopiesFlow::Restore copy) {
    // Once the menu's own slot has returned: the diary window that asked goes first.
    if (copy)
        QMetaObject::invokeMethod(
            this, [this, copy] { restore(copy); }, Qt::QueuedConnection);
}

void ApplicationController::restore(CopiesFlow::Restore copy) {
    if (!copy)
        return;
    // The diary window goes first, as when it is left: a day being added is stored or dropped.
    // Charts that were open come back on the diary restored.
    const bool charts = progressWindow() && progressWindow()->isVisible();
    if (m_diary) {
        m_diary->close();
        if (m_diary && m_diary->isVisible())
            return;
        delete m_diary.data();
    }
    const DiaryDatabase::Status status = m_database.restoreFrom(std::move(*copy));
    if (!m_profile->reloadProfile())
        return;
    m_dialogs.messageBox(
        m_profile.get(),
        status == DiaryDatabase::Status::Ready
            ? QStringLiteral("Copia Restaurada. El Diario Es Ahora El De La Copia.")
            : QStringLiteral("ERROR. No Se Ha Podido Restaurar La Copia; El Diario Sigue Como "
                             "Estaba.\n%1")
                  .arg(messages::openFailure(m_database, status)),
        QStringLiteral("Restaurar Copia"));
    showDiary();
    if (charts)
        showProgress();
}
