#include "flows/diaryrescue.h"

#include "data/backups.h"
#include "data/clock.h"
#include "data/diarydatabase.h"
#include "flows/restorechoice.h"
#include "ui/dialogs.h"
#include "ui/messages.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString title = QStringLiteral("Restaurar Copia");

} // namespace

DiaryRescue::DiaryRescue(DiaryDatabase &database, Dialogs &dialogs, const Clock &clock,
                         QWidget *dialogParent)
    : m_database(database)
    , m_dialogs(dialogs)
    , m_clock(clock)
    , m_parent(dialogParent) {}

bool DiaryRescue::open(const QString &path) {
    using Status = DiaryDatabase::Status;
    const Status status = m_database.open(path);
    if (status == Status::Damaged || status == Status::NotADatabase)
        return offerCopies(messages::openFailure(m_database, status));
    if (status != Status::Ready) {
        m_dialogs.messageBox(m_parent, messages::openFailure(m_database, status), noticeTitle);
        return false;
    }
    const QString folder = backups::folderOf(m_database.filePath());
    if (m_database.source() != DiaryDatabase::Source::New || backups::list(folder).empty())
        return true;
    const int choice = m_dialogs.chooseItem(
        m_parent, applicationTitle,
        QStringLiteral("No Está El Diario De Gimnasio:\n%1\nPero Hay Copias De Seguridad En:\n%2\n"
                       "¿Qué Quieres Hacer?")
            .arg(QDir::toNativeSeparators(m_database.filePath()), QDir::toNativeSeparators(folder)),
        {QStringLiteral("Restaurar Una Copia De Seguridad"),
         QStringLiteral("Empezar Un Diario Nuevo")});
    return choice == 1 || (choice == 0 && restoreOne());
}

bool DiaryRescue::offerCopies(const QString &message) {
    m_dialogs.messageBox(m_parent, message, noticeTitle);
    return !backups::list(backups::folderOf(m_database.filePath())).empty() && restoreOne();
}

bool DiaryRescue::restoreOne() {
    const QString diary = m_database.filePath();
    const std::vector<backups::Backup> found = backups::list(backups::folderOf(diary));
    for (;;) {
        const std::optional<restorechoice::Listed> chosen = restorechoice::choose(
            m_database, m_dialogs, m_parent, found, title, QStringLiteral("Pide Su Clave"));
        if (!chosen)
            return false;
        std::optional<DiaryDatabase::CopyImage> copy = restorechoice::open(
            m_database, m_dialogs, m_parent, title, chosen->backup.path, chosen->info.status,
            QStringLiteral("Introduce La Clave Con La Que Se Hizo Esta Copia:"));
        if (!copy)
            return false;
        if (copy->status != DiaryDatabase::Status::Ready)
            continue;
        if (!m_dialogs.askYesNo(m_parent,
                                QStringLiteral("¿Restaurar La Copia Del %1, Con %2 Días? Desde "
                                               "Ahora El Diario Se Abrirá Con La Clave De Esa "
                                               "Copia.")
                                    .arg(backups::madeText(chosen->backup.made))
                                    .arg(copy->days),
                                title))
            return false;
        const bool present = QFileInfo::exists(diary) || QFileInfo(diary).isSymLink();
        const QString aside = present ? backups::setAsidePath(diary, m_clock.now()) : QString();
        const DiaryDatabase::Status status = m_database.replaceWithCopy(std::move(*copy), aside);
        if (status != DiaryDatabase::Status::Ready) {
            m_dialogs.messageBox(m_parent,
                                 QStringLiteral("ERROR. No Se Ha Podido Restaurar La Copia.\n%1")
                                     .arg(messages::openFailure(m_database, status)),
                                 title);
            return false;
        }
        m_dialogs.messageBox(
            m_parent,
            present ? QStringLiteral("Copia Restaurada. El Archivo Que No Se Podía Abrir Está "
                                     "Apartado, Sin Borrar, En:\n%1\nEntra Con La Clave De La "
                                     "Copia.")
                          .arg(QDir::toNativeSeparators(aside))
                    : QStringLiteral("Copia Restaurada. Entra Con La Clave De La Copia."),
            title);
        return true;
    }
}
