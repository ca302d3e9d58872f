#include "diary/diarywindow.h"

#include "data/clock.h"
#include "data/dates.h"
#include "data/daystore.h"
#include "data/diarydatabase.h"
#include "data/profilestore.h"
#include "report/statsexport.h"
#include "ui/closinganimation.h"
#include "ui/dialogs.h"
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

namespace {

const QString saveRefused = QStringLiteral(
    "No Se Ha Podido Grabar El Día En El Diario De Gimnasio. Comprueba Que Hay Sitio En El Disco "
    "Y Que El Archivo Se Puede Escribir.");
const QString deleteRefused = QStringLiteral(
    "No Se Ha Podido Borrar El Día Del Diario De Gimnasio. Comprueba Que Hay Sitio En El Disco Y "
    "Que El Archivo Se Puede Escribir.");
const QString sortRefused =
    QStringLiteral("No Se Ha Podido Ordenar El Diario De Gimnasio. Los Días Siguen Como Estaban.");
const QString readRefused =
    QStringLiteral("No Se Han Podido Leer Los Días Del Diario De Gimnasio.");
const QString undatedDay = QStringLiteral(
    "El Día Que Estás Metiendo No Tiene Fecha. Escribe La Fecha En \"Fecha A Meter Datos\" Y Pulsa "
    "Grabar, O Borra Lo Escrito Para Dejarlo.");
const QString deleteQuestion = QStringLiteral("¿ Seguro Que Quieres Borrar Este Día De Gimnasio ?");

QString textOf(const QWidget *box) {
    if (const auto *line = qobject_cast<const QLineEdit *>(box))
        return line->text();
    if (const auto *multi = qobject_cast<const QPlainTextEdit *>(box))
        return multi->toPlainText();
    return {};
}

void setLocked(QWidget *box, bool locked) {
    if (auto *line = qobject_cast<QLineEdit *>(box))
        line->setReadOnly(locked);
    else if (auto *multi = qobject_cast<QPlainTextEdit *>(box))
        multi->setReadOnly(locked);
}

} // namespace

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
// The editor

void DiaryWindow::updateControls() {
    m_state.adding = m_days->isPending();
    const diarystate::Buttons buttons = diarystate::buttonsFor(m_state);
    Command4->setEnabled(buttons.add);
    Command3->setEnabled(buttons.save);
    Command2->setEnabled(buttons.remove);
    Command5->setEnabled(buttons.exportSingle);
    Command6->setEnabled(buttons.exportPerDay);
    for (QWidget *box : m_boxes)
        setLocked(box, !m_state.adding);
}

dayfields::DayTexts DiaryWindow::shownTexts() const {
    dayfields::DayTexts texts;
    for (std::size_t box = 0; box < texts.size(); ++box)
        texts[box] = textOf(m_boxes[box]);
    return texts;
}

void DiaryWindow::tellRefusal(const QString &what) {
    QString text = what;
    const QString engine = m_days->lastError().trimmed();
    if (!engine.isEmpty())
        text += QStringLiteral("\n\n") + engine;
    m_dialogs.messageBox(this, text, noticeTitle);
}

void DiaryWindow::Command4_Click() {
    if (m_days->isPending() || m_state.exporting)
        return;
    if (!m_days->beginDay())
        return;
    updateControls();
    fh->setText(dates::shortDate(m_clock.now().date()));
    m_textsAsBegun = shownTexts();
    // The date comes first: what is typed next belongs in it.
    fh->setFocus();
    fh->selectAll();
}

void DiaryWindow::Command3_Click() {
    saveDay();
}

bool DiaryWindow::saveDay() {
    bool saved = true;
    if (m_days->isPending()) {
        if (fh->text().isEmpty()) {
            m_days->dropPending();
        } else if (!m_days->storePending(shownTexts())) {
            saved = !m_days->isPending();
            // A day still pending stays in the boxes as typed, ready to be saved again.
            updateControls();
            tellRefusal(saveRefused);
            if (!saved)
                return false;
        }
    }
    updateControls();
    showDayCount();
    return saved;
}

void DiaryWindow::dropPendingDay() {
    m_days->dropPending();
    updateControls();
}

bool DiaryWindow::settlePendingDay() {
    if (!m_days->isPending())
        return true;
    switch (diarystate::beforeMoving(shownTexts(), m_textsAsBegun)) {
    case diarystate::Step::Store:
        return saveDay();
    case diarystate::Step::Drop:
        dropPendingDay();
        return true;
    case diarystate::Step::Keep:
        break;
    }
    m_dialogs.messageBox(this, undatedDay, noticeTitle);
    return false;
}

void DiaryWindow::Command2_Click() {
    if (m_days->isPending() || m_state.exporting)
        return;
    const bool yes = m_dialogs.askYesNo(this, deleteQuestion, applicationTitle);
    const int count = m_days->storedCount();
    if (!yes || count <= 0)
        return;
    if (!m_days->deleteCurrent()) {
        tellRefusal(deleteRefused);
        return;
    }
    Label33->setText(QString::number(m_days->storedCount()) + QStringLiteral(" Días"));
}

// ---------------------------------------------------------------------------------------------
// Moving and sorting

void DiaryWindow::moveFirst() {
    if (settlePendingDay())
        m_days->toFirst();
}

void DiaryWindow::movePrevious() {
    if (settlePendingDay())
        m_days->toPrevious();
}

void DiaryWindow::moveNext() {
    if (settlePendingDay())
        m_days->toNext();
}

void DiaryWindow::moveLast() {
    if (settlePendingDay())
        m_days->toLast();
}

void DiaryWindow::sortBy(dayfields::Order order) {
    if (m_state.exporting || !settlePendingDay())
        return;
    if (!m_days->setOrder(order))
        tellRefusal(sortRefused);
}

// Each entry orders by what its caption names.
void DiaryWindow::porhoras_Click() {
    sortBy(dayfields::ByHours);
}
void DiaryWindow::porfecha_Click() {
    sortBy(dayfields::ByDate);
}
void DiaryWindow::ordenarporagua_Click() {
    sortBy(dayfields::ByWater);
}
void DiaryWindow::porpeso_Click() {
    sortBy(dayfields::ByWeight);
}
void DiaryWindow::pordiaculo_Click() {
    sortBy(dayfields::ByBottom);
}
void DiaryWindow::porpecho_Click() {
    sortBy(dayfields::ByChest);
}
void DiaryWindow::porbiceps_Click() {
    sortBy(dayfields::ByBiceps);
}
void DiaryWindow::porante_Click() {
    sortBy(dayfields::ByForearm);
}
void DiaryWindow::porpie_Click() {
    sortBy(dayfields::ByLeg);
}
void DiaryWindow::porgeme_Click() {
    sortBy(dayfields::ByCalf);
}
void DiaryWindow::porhorario_Click() {
    sortBy(dayfields::ByTimetable);
}

// ---------------------------------------------------------------------------------------------
// Statistics

void DiaryWindow::Command5_Click() {
    exportDays(false);
}

void DiaryWindow::Command6_Click() {
    exportDays(true);
}

ReportProfile DiaryWindow::reportProfile() const {
    ReportProfile profile;
    profile.name = m_summary.profile().name;
    profile.birthLong = m_summary.clock().birthLong;
    profile.height = m_summary.profile().height;
    profile.gymStartTyped = m_summary.profile().gymStart;
    profile.gymStartLong = fco->text();
    profile.age = Label8->text();
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

void DiaryWindow::showChangedDays() {
    m_days->reload();
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
