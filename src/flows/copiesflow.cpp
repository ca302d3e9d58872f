#include "flows/copiesflow.h"

#include "data/backups.h"
#include "data/clock.h"
#include "flows/restorechoice.h"
#include "ui/dialogs.h"
#include "ui/messages.h"

#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QStandardPaths>

namespace {

const QString otherPassword =
    QStringLiteral("Esta Copia Se Hizo Con Otra Clave. Introduce Esa Clave:");

// What the user is told after a copy of the diary was written to a file of their choice.
QString copyOutcome(bool written, const QString &done, const QString &path, const QString &reason) {
    const QString shown = QDir::toNativeSeparators(path);
    return written ? done.arg(shown)
                   : QStringLiteral("ERROR. No Se Ha Podido Guardar La Copia En:\n%1\n%2")
                         .arg(shown, reason);
}

// A wait cursor while the work of a copy runs.
template <typename Work> auto waiting(Work work) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto result = work();
    QGuiApplication::restoreOverrideCursor();
    return result;
}

} // namespace

CopiesFlow::CopiesFlow(DiaryDatabase &database, Dialogs &dialogs, const Clock &clock)
    : m_database(database)
    , m_dialogs(dialogs)
    , m_clock(clock) {}

QString CopiesFlow::stateLine() const {
    const std::vector<backups::Backup> found =
        backups::list(backups::folderOf(m_database.filePath()));
    return messages::backupState(found.empty() ? std::nullopt : std::optional(found.front().made),
                                 m_clock.now());
}

void CopiesFlow::backUpNow(QWidget *parent) {
    Failure error;
    const bool made = waiting([&] {
        return backups::makeBackup(m_database, m_clock.now(), backups::Kind::ByHand, &error);
    });
    m_dialogs.messageBox(
        parent,
        made ? QStringLiteral("Copia De Seguridad Hecha En:\n%1")
                   .arg(QDir::toNativeSeparators(backups::folderOf(m_database.filePath())))
             : QStringLiteral("ERROR. No Se Ha Podido Hacer La Copia De Seguridad:\n%1")
                   .arg(messages::reason(error)),
        QStringLiteral("Copia De Seguridad"));
}

void CopiesFlow::saveCopyTo(QWidget *parent) {
    const QString title = QStringLiteral("Guardar Copia Del Diario");
    const QString suggested =
        QDir(QStandardPaths::writableLocation(QStandardPaths::HomeLocation))
            .filePath(QStringLiteral("Copia Gimnasio %1.db")
                          .arg(m_clock.now().toString(QStringLiteral("yyyy-MM-dd"))));
    const QString chosen = m_dialogs.saveFileName(
        parent, title, suggested, QStringLiteral("Diario De Gimnasio Cifrado (*.db)"));
    if (chosen.isEmpty())
        return;
    const bool written = waiting([&] { return m_database.writeCopy(chosen); });
    m_dialogs.messageBox(
        parent,
        copyOutcome(written,
                    QStringLiteral("Copia Del Diario Guardada En:\n%1\nEstá Cifrada Con "
                                   "Tu Clave."),
                    chosen, messages::reason(m_database.lastFailure())),
        title);
}

CopiesFlow::Restore CopiesFlow::chooseRestore(QWidget *parent) {
    const QString title = QStringLiteral("Restaurar Copia");
    const std::vector<backups::Backup> found =
        backups::list(backups::folderOf(m_database.filePath()));
    if (found.empty()) {
        m_dialogs.messageBox(parent, QStringLiteral("Todavía No Hay Copias De Seguridad."), title);
        return nullptr;
    }
    const std::optional<restorechoice::Listed> chosen = restorechoice::choose(
        m_database, m_dialogs, parent, found, title, QStringLiteral("Con Otra Clave"));
    if (!chosen)
        return nullptr;
    std::optional<DiaryDatabase::CopyImage> copy =
        restorechoice::open(m_database, m_dialogs, parent, title, chosen->backup.path,
                            chosen->info.status, otherPassword);
    if (!copy || copy->status != DiaryDatabase::Status::Ready)
        return nullptr;
    const QString question = QStringLiteral("¿Restaurar La Copia Del %1, Con %2 Días? Antes Se "
                                            "Hará Una Copia De Seguridad Del Diario De Ahora.")
                                 .arg(backups::madeText(chosen->backup.made))
                                 .arg(copy->days);
    return confirmed(parent, std::move(*copy), title, question, chosen->backup.path,
                     QStringLiteral("ERROR. No Se Ha Podido Hacer La Copia Del Diario De "
                                    "Ahora, Así Que No Se Ha Restaurado Nada:\n%1"));
}

CopiesFlow::Restore CopiesFlow::chooseUndoImport(QWidget *parent) {
    const QString title = QStringLiteral("Deshacer Última Importación");
    const std::optional<QString> backup = backups::beforeLastImport(m_database.filePath());
    if (!backup) {
        m_dialogs.messageBox(parent, QStringLiteral("No Hay Ninguna Importación Que Deshacer."),
                             title);
        return nullptr;
    }
    // Made before a change of the password, it asks for the one it was made with.
    std::optional<DiaryDatabase::CopyImage> copy = restorechoice::open(
        m_database, m_dialogs, parent, title, *backup, DiaryDatabase::Status::Ready, otherPassword);
    if (!copy || copy->status != DiaryDatabase::Status::Ready)
        return nullptr;
    return confirmed(parent, std::move(*copy), title,
                     QStringLiteral("¿Volver Al Diario De Antes De La Última Importación? "
                                    "Antes Se Hará Una Copia De Seguridad Del De Ahora."),
                     *backup, QStringLiteral("ERROR. No Se Ha Deshecho Nada:\n%1"));
}

CopiesFlow::Restore CopiesFlow::confirmed(QWidget *parent, DiaryDatabase::CopyImage copy,
                                          const QString &title, const QString &question,
                                          const QString &spared, const QString &refused) {
    if (!m_dialogs.askYesNo(parent, question, title))
        return nullptr;
    Failure error;
    if (!backups::makeBackup(m_database, m_clock.now(), backups::Kind::BeforeRestore, &error,
                             spared)) {
        m_dialogs.messageBox(parent, refused.arg(messages::reason(error)), title);
        return nullptr;
    }
    return std::make_shared<DiaryDatabase::CopyImage>(std::move(copy));
}

void CopiesFlow::exportPlainCopy(QWidget *parent) {
    const QString title = QStringLiteral("Exportar Copia Sin Cifrar");
    if (!m_dialogs.askYesNo(parent,
                            QStringLiteral("La Copia Sin Cifrar Se Puede Leer Sin Tu Clave Con "
                                           "Cualquier Programa De SQLite. ¿Quieres Hacerla?"),
                            title))
        return;
    const QString chosen = m_dialogs.saveFileName(
        parent, title,
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .filePath(QStringLiteral("Diario De Gimnasio Sin Cifrar.sqlite")),
        QStringLiteral("Base De Datos SQLite (*.sqlite *.db)"));
    if (chosen.isEmpty())
        return;
    const bool written = m_database.writePlainCopy(chosen);
    m_dialogs.messageBox(parent,
                         copyOutcome(written, QStringLiteral("Copia Sin Cifrar Guardada En:\n%1"),
                                     chosen, messages::reason(m_database.lastFailure())),
                         title);
}
