#include "diary/diarywindow.h"

#include "charts/progresswindow.h"
#include "data/backups.h"
#include "data/clock.h"
#include "data/dates.h"
#include "data/daystore.h"
#include "data/diarydatabase.h"
#include "data/password.h"
#include "data/profilestore.h"
#include "profile/profileeditor.h"
#include "profile/profilesummary.h"
#include "report/csvexport.h"
#include "report/csvimport.h"
#include "report/statsexport.h"
#include "ui/closinganimation.h"
#include "ui/dialogs.h"
#include "ui/messages.h"
#include "ui/photo.h"
#include "ui/photobox.h"
#include "ui/restorechoice.h"
#include "ui/windowfit.h"
#include "ui/windowlook.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSet>
#include <QStandardPaths>

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

void DiaryWindow::editProfile() {
    if (!ProfileEditor(m_profiles, m_summary, m_dialogs, m_clock).run(this))
        return;
    showProfile();
    if (m_progress)
        m_progress->reload();
}

void DiaryWindow::changePassword() {
    const QString title = QStringLiteral("Cambiar Clave");
    // An empty answer is a cancelled box: no password is that short.
    QString current =
        m_dialogs.passwordBox(this, QStringLiteral("Introduce Tu Clave Actual..."), title);
    QString next;
    QString again;
    // Every password typed here is wiped however the change ends.
    const auto forget = qScopeGuard([&] {
        for (QString *typed : {&current, &next, &again})
            password::wipe(*typed);
    });
    if (current.isEmpty())
        return;
    const QString wrongCurrent =
        QStringLiteral("ERROR. Tu Clave Actual No Es Esa. Tu Clave No Ha Cambiado.");
    if (!m_profiles.opensDiary(current)) {
        m_dialogs.messageBox(this, wrongCurrent, title);
        return;
    }
    for (;;) {
        next = m_dialogs.passwordBox(
            this, QStringLiteral("Introduce Tu Nueva Clave, De Al Menos Seis Caracteres..."),
            title);
        if (next.isEmpty())
            return;
        if (password::isAcceptable(next))
            break;
        password::wipe(next);
        m_dialogs.messageBox(
            this, QStringLiteral("ERROR. Introduce Una Clave De Al Menos Seis Caracteres."), title);
    }
    again =
        m_dialogs.passwordBox(this, QStringLiteral("Vuelve A Introducir Tu Nueva Clave..."), title);
    if (again != next) {
        m_dialogs.messageBox(
            this, QStringLiteral("ERROR. Las Dos Claves No Son Iguales. Tu Clave No Ha Cambiado."),
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
    m_dialogs.messageBox(this, outcome, title);
}

void DiaryWindow::showBackupState() {
    const std::vector<backups::Backup> found =
        backups::list(backups::folderOf(m_database.filePath()));
    backupStateAction->setText(messages::backupState(
        found.empty() ? std::nullopt : std::optional(found.front().made), m_clock.now()));
}

void DiaryWindow::backUpNow() {
    const QString title = QStringLiteral("Copia De Seguridad");
    Failure error;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool made = backups::makeBackup(m_database, m_clock.now(), backups::Kind::ByHand, &error);
    QGuiApplication::restoreOverrideCursor();
    m_dialogs.messageBox(
        this,
        made ? QStringLiteral("Copia De Seguridad Hecha En:\n%1")
                   .arg(QDir::toNativeSeparators(backups::folderOf(m_database.filePath())))
             : QStringLiteral("ERROR. No Se Ha Podido Hacer La Copia De Seguridad:\n%1")
                   .arg(messages::reason(error)),
        title);
    showBackupState();
}

namespace {

// What the user is told after a copy of the diary was written to a file of their choice.
QString copyOutcome(bool written, const QString &done, const QString &path, const QString &reason) {
    const QString shown = QDir::toNativeSeparators(path);
    return written ? done.arg(shown)
                   : QStringLiteral("ERROR. No Se Ha Podido Guardar La Copia En:\n%1\n%2")
                         .arg(shown, reason);
}

} // namespace

void DiaryWindow::saveCopyTo() {
    const QString title = QStringLiteral("Guardar Copia Del Diario");
    const QString suggested =
        QDir(QStandardPaths::writableLocation(QStandardPaths::HomeLocation))
            .filePath(QStringLiteral("Copia Gimnasio %1.db")
                          .arg(m_clock.now().toString(QStringLiteral("yyyy-MM-dd"))));
    const QString chosen = m_dialogs.saveFileName(
        this, title, suggested, QStringLiteral("Diario De Gimnasio Cifrado (*.db)"));
    if (chosen.isEmpty())
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written = m_database.writeCopy(chosen);
    QGuiApplication::restoreOverrideCursor();
    m_dialogs.messageBox(
        this,
        copyOutcome(written,
                    QStringLiteral("Copia Del Diario Guardada En:\n%1\nEstá Cifrada Con "
                                   "Tu Clave."),
                    chosen, messages::reason(m_database.lastFailure())),
        title);
}

void DiaryWindow::restoreBackup() {
    const QString title = QStringLiteral("Restaurar Copia");
    const std::vector<backups::Backup> found =
        backups::list(backups::folderOf(m_database.filePath()));
    if (found.empty()) {
        m_dialogs.messageBox(this, QStringLiteral("Todavía No Hay Copias De Seguridad."), title);
        return;
    }
    const std::optional<restorechoice::Listed> chosen = restorechoice::choose(
        m_database, m_dialogs, this, found, title, QStringLiteral("Con Otra Clave"));
    if (!chosen)
        return;
    std::optional<DiaryDatabase::CopyImage> copy = restorechoice::open(
        m_database, m_dialogs, this, title, chosen->backup.path, chosen->info.status,
        QStringLiteral("Esta Copia Se Hizo Con Otra Clave. Introduce Esa Clave:"));
    if (!copy || copy->status != DiaryDatabase::Status::Ready)
        return;
    if (!m_dialogs.askYesNo(this,
                            QStringLiteral("¿Restaurar La Copia Del %1, Con %2 Días? Antes Se "
                                           "Hará Una Copia De Seguridad Del Diario De Ahora.")
                                .arg(backups::madeText(chosen->backup.made))
                                .arg(copy->days),
                            title))
        return;
    Failure error;
    if (!backups::makeBackup(m_database, m_clock.now(), backups::Kind::BeforeRestore, &error,
                             chosen->backup.path)) {
        m_dialogs.messageBox(this,
                             QStringLiteral("ERROR. No Se Ha Podido Hacer La Copia Del Diario De "
                                            "Ahora, Así Que No Se Ha Restaurado Nada:\n%1")
                                 .arg(messages::reason(error)),
                             title);
        return;
    }
    emit restoreRequested(std::make_shared<DiaryDatabase::CopyImage>(std::move(*copy)));
}

void DiaryWindow::exportCsv() {
    const QString title = QStringLiteral("Exportar CSV");
    if (!m_dialogs.askYesNo(
            this,
            QStringLiteral("El Archivo CSV No Está Cifrado: Cualquiera Que Lo Tenga "
                           "Puede Leer Todo Tu Diario. ¿Quieres Exportarlo?"),
            title))
        return;
    const QString spreadsheet = QStringLiteral("Hoja de cálculo (*.csv)");
    const QString standard = QStringLiteral("Estándar (*.csv)");
    QString chosenFilter;
    QString chosen = m_dialogs.saveFileName(
        this, title,
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .filePath(QStringLiteral("Diario De Gimnasio.csv")),
        spreadsheet + QStringLiteral(";;") + standard, &chosenFilter);
    if (chosen.isEmpty())
        return;
    if (!chosen.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        chosen += QLatin1String(".csv");
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const csvexport::Written written = csvexport::writeFile(
        chosen,
        chosenFilter == standard ? csvexport::Preset::Standard : csvexport::Preset::Spreadsheet,
        m_days->storedDaysByDate());
    QGuiApplication::restoreOverrideCursor();
    m_dialogs.messageBox(
        this,
        written.written
            ? QStringLiteral("Diario Exportado En:\n%1").arg(QDir::toNativeSeparators(chosen))
            : QStringLiteral("ERROR. No Se Ha Podido Exportar El Diario En:\n%1\n%2")
                  .arg(QDir::toNativeSeparators(chosen), messages::reason(written.failure)),
        title);
}

namespace {

// What the user is told once the days of a CSV file are stored.
QString importOutcome(const dayimport::Applied &applied, qint64 rejected) {
    return QStringLiteral("Importación Hecha: %1 Días Nuevos, %2 Reemplazados, %3 Rellenados, %4 "
                          "Saltados, %5 Sin Cambios Y %6 Filas Rechazadas. \"Deshacer "
                          "Última Importación\" Vuelve Al Diario De Antes.")
        .arg(applied.added)
        .arg(applied.replaced)
        .arg(applied.filled)
        .arg(applied.skipped)
        .arg(applied.unchanged)
        .arg(rejected);
}

const QString importCancelled = QStringLiteral("Importación Cancelada. No Se Ha Importado Nada.");

} // namespace

void DiaryWindow::importCsv() {
    const QString title = QStringLiteral("Importar CSV");
    if (m_days->isPending()) {
        m_dialogs.messageBox(
            this, QStringLiteral("Graba O Deja El Día Que Estás Añadiendo Antes De Importar."),
            title);
        return;
    }
    const QString chosen = m_dialogs.openFileName(
        this, title, QStringLiteral("Archivos CSV (*.csv *.txt);;Todos Los Archivos (*)"));
    if (chosen.isEmpty())
        return;
    QFile file(chosen);
    // A CSV of a lifetime of days is a few megabytes; anything far larger is no diary.
    constexpr qint64 largest = 512LL * 1024 * 1024;
    if (!file.open(QIODevice::ReadOnly) || file.size() > largest) {
        m_dialogs.messageBox(this,
                             QStringLiteral("ERROR. No Se Ha Podido Leer El Archivo:\n%1")
                                 .arg(QDir::toNativeSeparators(chosen)),
                             title);
        return;
    }
    csvimport::Read read;
    {
        const std::unique_ptr<ProgressBox> progress = m_dialogs.progressBox(
            this, QStringLiteral("Leyendo El Archivo..."), title, file.size());
        read = csvimport::read(file, m_clock.now().date(),
                               [&](qint64 done, qint64) { return progress->advance(done); });
    }
    file.close();
    if (read.cancelled) {
        m_dialogs.messageBox(this, importCancelled, title);
        return;
    }
    if (!read.error.isEmpty()) {
        m_dialogs.messageBox(this, QStringLiteral("ERROR. ") + read.error, title);
        return;
    }
    QSet<qint64> stored;
    m_days->storedDaysByDate().forEach([&](const dayfields::DayTexts &day) {
        if (const std::optional<QDate> date = dates::readDate(day[dayfields::Fh]))
            stored.insert(date->toJulianDay());
        return true;
    });
    const csvimport::Plan plan = csvimport::plan(read, stored);
    QString preview = QStringLiteral("Días Nuevos: %1\nDías Con Una Fecha Que Ya Está En El "
                                     "Diario: %2\nFilas Rechazadas: %3")
                          .arg(plan.newDays)
                          .arg(plan.existingDays)
                          .arg(read.rejectedCount);
    if (read.rejectedCount > 0)
        preview += u'\n' + csvimport::rejectedText(read, 30);
    const int choice = m_dialogs.chooseItem(
        this, title, preview + QStringLiteral("\n\n¿Qué Hago Con Los Días Que Ya Están?"),
        {QStringLiteral("Saltarlos"), QStringLiteral("Reemplazarlos"),
         QStringLiteral("Rellenar Solo Sus Casillas Vacías")});
    if (choice < 0)
        return;
    Failure error;
    QString backup;
    if (!backups::makeBackup(m_database, m_clock.now(), backups::Kind::BeforeImport, &error, {},
                             &backup)) {
        m_dialogs.messageBox(this,
                             QStringLiteral("ERROR. No Se Ha Podido Hacer La Copia De Seguridad, "
                                            "Así Que No Se Ha Importado Nada:\n%1")
                                 .arg(messages::reason(error)),
                             title);
        return;
    }
    dayimport::Applied applied;
    {
        const std::unique_ptr<ProgressBox> progress = m_dialogs.progressBox(
            this, QStringLiteral("Importando Los Días..."), title, qint64(read.dayCount()));
        applied = m_days->importDays(read, dayimport::Existing(choice), backup,
                                     [&](qint64 done, qint64) { return progress->advance(done); });
    }
    if (applied.done) {
        updateControls();
        refreshSummary();
    }
    m_dialogs.messageBox(this,
                         applied.done        ? importOutcome(applied, read.rejectedCount)
                         : applied.cancelled ? importCancelled
                                             : QStringLiteral("ERROR. No Se Ha Importado "
                                                              "Nada:\n%1")
                                                   .arg(applied.error),
                         title);
}

void DiaryWindow::undoLastImport() {
    const QString title = QStringLiteral("Deshacer Última Importación");
    const std::optional<QString> backup = backups::beforeLastImport(m_database.filePath());
    if (!backup) {
        m_dialogs.messageBox(this, QStringLiteral("No Hay Ninguna Importación Que Deshacer."),
                             title);
        return;
    }
    // Made before a change of the password, it asks for the one it was made with.
    std::optional<DiaryDatabase::CopyImage> copy = restorechoice::open(
        m_database, m_dialogs, this, title, *backup, DiaryDatabase::Status::Ready,
        QStringLiteral("Esta Copia Se Hizo Con Otra Clave. Introduce Esa Clave:"));
    if (!copy || copy->status != DiaryDatabase::Status::Ready)
        return;
    if (!m_dialogs.askYesNo(this,
                            QStringLiteral("¿Volver Al Diario De Antes De La Última Importación? "
                                           "Antes Se Hará Una Copia De Seguridad Del De Ahora."),
                            title))
        return;
    Failure error;
    if (!backups::makeBackup(m_database, m_clock.now(), backups::Kind::BeforeRestore, &error,
                             *backup)) {
        m_dialogs.messageBox(
            this, QStringLiteral("ERROR. No Se Ha Deshecho Nada:\n%1").arg(messages::reason(error)),
            title);
        return;
    }
    emit restoreRequested(std::make_shared<DiaryDatabase::CopyImage>(std::move(*copy)));
}

void DiaryWindow::exportPlainCopy() {
    const QString title = QStringLiteral("Exportar Copia Sin Cifrar");
    if (!m_dialogs.askYesNo(this,
                            QStringLiteral("La Copia Sin Cifrar Se Puede Leer Sin Tu Clave Con "
                                           "Cualquier Programa De SQLite. ¿Quieres Hacerla?"),
                            title))
        return;
    const QString chosen = m_dialogs.saveFileName(
        this, title,
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .filePath(QStringLiteral("Diario De Gimnasio Sin Cifrar.sqlite")),
        QStringLiteral("Base De Datos SQLite (*.sqlite *.db)"));
    if (chosen.isEmpty())
        return;
    const bool written = m_database.writePlainCopy(chosen);
    m_dialogs.messageBox(this,
                         copyOutcome(written, QStringLiteral("Copia Sin Cifrar Guardada En:\n%1"),
                                     chosen, messages::reason(m_database.lastFailure())),
                         title);
}

void DiaryWindow::showProgress() {
    if (!m_progress)
        m_progress = new ProgressWindow(*m_days, m_profiles, m_dialogs, this);
    m_progress->show();
    m_progress->raise();
    m_progress->activateWindow();
}

bool DiaryWindow::showsProgress() const {
    return m_progress && m_progress->isVisible();
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
    if (m_progress)
        m_progress->close();
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
