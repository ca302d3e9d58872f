#include "flows/restorechoice.h"

#include "data/password.h"
#include "ui/dialogs.h"
#include "ui/messages.h"

#include <QCursor>
#include <QGuiApplication>

namespace restorechoice {

std::optional<Listed> choose(DiaryDatabase &database, Dialogs &dialogs, QWidget *parent,
                             const std::vector<backups::Backup> &found, const QString &title,
                             const QString &needsPassword) {
    std::vector<Listed> listed;
    QStringList lines;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    for (const backups::Backup &backup : found) {
        const DiaryDatabase::CopyInfo info = database.inspectCopy(backup.path);
        listed.push_back({backup, info});
        lines += messages::backupLine(backup, info.status == DiaryDatabase::Status::Ready
                                                  ? QStringLiteral("%1 Días").arg(info.days)
                                              : info.status == DiaryDatabase::Status::WrongPassword
                                                  ? needsPassword
                                                  : QStringLiteral("Dañada"));
    }
    QGuiApplication::restoreOverrideCursor();
    const int chosen = dialogs.chooseItem(
        parent, title, QStringLiteral("Elige La Copia Que Quieres Restaurar:"), lines);
    return chosen >= 0 && std::size_t(chosen) < listed.size()
               ? std::optional(listed[std::size_t(chosen)])
               : std::nullopt;
}

std::optional<DiaryDatabase::CopyImage> open(DiaryDatabase &database, Dialogs &dialogs,
                                             QWidget *parent, const QString &title,
                                             const QString &path, DiaryDatabase::Status known,
                                             const QString &prompt) {
    using Status = DiaryDatabase::Status;
    DiaryDatabase::CopyImage copy;
    copy.status = known;
    if (known == Status::Ready)
        copy = database.openCopy(path);
    if (copy.status == Status::WrongPassword) {
        QString password = dialogs.passwordBox(parent, prompt, title);
        if (password.isEmpty())
            return std::nullopt;
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        copy = database.openCopy(path, password);
        QGuiApplication::restoreOverrideCursor();
        password::wipe(password);
    }
    if (copy.status != Status::Ready)
        dialogs.messageBox(
            parent,
            copy.status == Status::WrongPassword
                ? QStringLiteral("ERROR. Esa No Es La Clave De La Copia. No Se Ha Restaurado Nada.")
                : QStringLiteral("ERROR. La Copia Está Dañada Y No Se Puede Restaurar. No Se Ha "
                                 "Restaurado Nada."),
            title);
    return copy;
}

} // namespace restorechoice
