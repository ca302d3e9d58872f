#include "diary/diarywindow.h"

#include "data/clock.h"
#include "data/dates.h"
#include "data/daystore.h"
#include "data/diarydatabase.h"
#include "data/profilestore.h"
#include "diary/diarytexts.h"
#include "report/statsexport.h"
#include "ui/closinganimation.h"
#include "ui/dialogs.h"
#include "ui/messages.h"
#include "ui/photo.h"
#include "ui/photobox.h"
#include "ui/profilesummary.h"
#include "ui/windowfit.h"
#include "ui/windowlook.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>

using namespace diarytexts;

DiaryWindow::DiaryWindow(DiaryDatabase &database, ProfileStore &profiles, ProfileSummary &summary,
                         Dialogs &dialogs, const Clock &clock, QWidget *parent)
    : QMainWindow(parent)
    , m_database(database)
    , m_profiles(profiles)
    , m_summary(summary)
    , m_dialogs(dialogs)
    , m_clock(clock)
    , m_days(new DayStore(database, this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Form2"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(windowlook::defaultFont());

    buildMenu();
    buildLayout();
    bindBoxes();

    Form_Load();
    Form_Initialize();
}

DiaryWindow::~DiaryWindow() = default;

bool DiaryWindow::isAddingDay() const {
    return m_days->isPending();
}

// ---------------------------------------------------------------------------------------------
// Loading and the summary

void DiaryWindow::Form_Load() {
    if (!m_days->open())
        tellRefusal(readRefused);
    loadPhoto();
    showProfile();
    updateControls();
}

void DiaryWindow::showProfile() {
    setWindowTitle(m_summary.windowTitle());
    n->setText(m_summary.profile().name);
    fn->setText(m_summary.clock().birthLong);
    fco->setText(m_summary.clock().gymStartLong);
    ac->setText(m_summary.profile().height + QStringLiteral(" Cm."));
    Label6->setText(m_summary.clock().timeInGym);
    Label8->setText(m_summary.ageText());
    Label34->setText(QStringLiteral("Diario De ") + m_summary.profile().name);
}

void DiaryWindow::Form_Initialize() {
    refreshSummary();
}

void DiaryWindow::Form_Activate() {
    refreshSummary();
}

void DiaryWindow::refreshSummary() {
    // A day being entered stays on display: only the count, the photo and Label34 change.
    showDayCount();
    loadPhoto();
    m_summary.setPhoto(Image1->picture());
    Label34->setText(QStringLiteral("Diario De ") + m_summary.profile().name);
}

void DiaryWindow::showDayCount() {
    const int count = m_days->storedCount();
    if (count <= 0)
        return;
    Label33->setText(QString::number(count) + QStringLiteral(" Días"));
    m_days->toFirst();
}

void DiaryWindow::countMergedDays() {
    if (const int count = m_days->storedCount(); count > 0)
        Label33->setText(QString::number(count) + QStringLiteral(" Días"));
}

void DiaryWindow::loadPhoto() {
    // The photo is read afresh, so that a photo dropped on the profile window meanwhile is the
    // one shown; a photo that cannot be read leaves the one shown as it is.
    if (const std::optional<QByteArray> stored = m_profiles.photo())
        Image1->setPicture(photo::decode(*stored));
}

// ---------------------------------------------------------------------------------------------
// Activation

bool DiaryWindow::event(QEvent *event) {
    if (event->type() == QEvent::WindowActivate) {
        // Only a return from the profile window (or the first showing) refreshes; coming back
        // from another program or from this window's own message boxes does not.
        const bool refresh = !m_firstActivationDone || m_profileWasActivated;
        m_firstActivationDone = true;
        m_profileWasActivated = false;
        if (refresh && !m_state.closing)
            Form_Activate();
    }
    return QMainWindow::event(event);
}

void DiaryWindow::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    if (const QScreen *screen = this->screen())
        move(windowfit::placeInside(frameGeometry(), screen->availableGeometry()));
    Command1->setFocus();
}

// ---------------------------------------------------------------------------------------------
// Statistics

void DiaryWindow::Command5_Click() {
    exportDays(false);
}

void DiaryWindow::Command6_Click() {
    exportDays(true);
}

// The profile as the summary has it; the day count as the window shows it, which the reports'
// averages divide by.
ReportProfile DiaryWindow::reportProfile() const {
    ReportProfile profile;
    profile.name = m_summary.profile().name;
    profile.birthLong = m_summary.clock().birthLong;
    profile.height = m_summary.profile().height;
    profile.gymStartTyped = m_summary.profile().gymStart;
    profile.gymStartLong = m_summary.clock().gymStartLong;
    profile.age = m_summary.ageText();
    profile.dayCount = Label33->text();
    return profile;
}

void DiaryWindow::exportDays(bool perDay) {
    if (m_state.exporting)
        return;
    // The single-file export is not offered while a day is being entered; the per-day one first
    // settles the pending day.
    if (perDay ? !settlePendingDay() : m_days->isPending())
        return;
    if (m_days->storedCount() <= 0)
        return;

    m_state.exporting = true;
    updateControls();
    const bool ordered = m_days->setOrder(dayfields::ByDate);
    ExportOutcome outcome;
    if (ordered) {
        // Nothing is held back by the set here, so the stored days are what the boxes would show.
        const StoredDays days = m_days->storedDaysByDate();
        const ReportProfile profile = reportProfile();
        outcome = perDay ? statsexport::writePerDayFiles(m_database.folder(), profile, days)
                         : statsexport::writeSingleFile(m_database.folder(), profile, days);
        m_days->toFirst();
    }
    m_state.exporting = false;
    updateControls();

    if (!ordered)
        tellRefusal(sortRefused);
    else if (outcome.written)
        m_dialogs.messageBox(
            this, perDay ? statsexport::perDayFilesDone : statsexport::singleFileDone, noticeTitle);
    else
        m_dialogs.messageBox(this, statsexport::cannotSaveMessage(outcome), noticeTitle);
}

// ---------------------------------------------------------------------------------------------
// Leaving

void DiaryWindow::Command1_Click() {
    close();
}

void DiaryWindow::setBackupState(const QString &line) {
    backupStateAction->setText(line);
}

void DiaryWindow::tellNotice(const QString &line) {
    // The window grows by the bar while it is shown, the design above it untouched.
    QStatusBar *bar = statusBar();
    if (line.isEmpty() != bar->isHidden()) {
        const int barHeight = bar->sizeHint().height();
        bar->setHidden(line.isEmpty());
        setFixedHeight(height() + (line.isEmpty() ? -barHeight : barHeight));
    }
    bar->showMessage(line);
}

void DiaryWindow::showChangedDays() {
    updateControls();
    refreshSummary();
}

void DiaryWindow::saliendo_Click() {
    close();
}

void DiaryWindow::closeEvent(QCloseEvent *event) {
    if (m_state.closing || m_state.exporting) {
        event->ignore();
        return;
    }
    if (m_days->isPending()) {
        if (diarystate::onClosing(shownTexts(), m_textsAsBegun) == diarystate::Step::Store) {
            if (!saveDay()) {
                // Refused: the window stays open with the typed day, so that nothing is lost.
                event->ignore();
                return;
            }
        } else {
            dropPendingDay();
        }
    }
    m_state.closing = true;
    emit leaving();
    Form_Unload();
    event->accept();
}

void DiaryWindow::Form_Unload() {
    // Nothing can be started while the window collapses.
    centralWidget()->setEnabled(false);
    menuBar()->setEnabled(false);
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    closinganimation::play(this);
}
