#include "flows/syncflow.h"

#include "data/backups.h"
#include "data/clock.h"
#include "data/conflictcopies.h"
#include "data/conflictlist.h"
#include "data/diarydatabase.h"
#include "ui/dialogs.h"
#include "ui/messages.h"

#include <QDir>
#include <QFileInfo>
#include <functional>

namespace {

const QString copiesTitle = QStringLiteral("Copias En Conflicto");
const QString combineTitle = QStringLiteral("Combinar Con Otro Diario");
const QString conflictsTitle = QStringLiteral("Conflictos");

QString shown(const QVariant &value) {
    if (!value.isValid())
        return QStringLiteral("(Día Borrado)");
    if (value.typeId() == QMetaType::QByteArray)
        return QStringLiteral("(Foto)");
    const QString text = value.toString().simplified();
    return text.isEmpty() ? QStringLiteral("(Vacío)") : text.left(60);
}

} // namespace

SyncFlow::SyncFlow(DiaryDatabase &database, Dialogs &dialogs, const Clock &clock)
    : m_database(database)
    , m_dialogs(dialogs)
    , m_clock(clock) {}

QString SyncFlow::askOtherPassword(QWidget *parent) {
    return m_dialogs.passwordBox(parent,
                                 QStringLiteral("El Diario Se Guardó En Otro Ordenador Con Otra "
                                                "Clave. Escríbela Para Combinarlo Con El Tuyo:"),
                                 QStringLiteral("Clave Del Otro Ordenador"));
}

void SyncFlow::tellMerge(QWidget *parent, const diarysync::Report &report) {
    QStringList lines;
    if (report.conflicts > 0)
        lines +=
            QStringLiteral("%1 Valores Cambiados En Los Dos Ordenadores: Se Queda El Más "
                           "Reciente, Y Los Otros Están En \"Diario\" → \"Ver Conflictos...\".")
                .arg(report.conflicts);
    if (report.sameDate > 0)
        lines += QStringLiteral("%1 Días Nuevos Tienen La Fecha De Otro Día Tuyo: Se Guardan Los "
                                "Dos.")
                     .arg(report.sameDate);
    if (report.password == diarysync::Report::Password::Theirs)
        lines += QStringLiteral("La Clave Se Cambió En El Otro Ordenador Después: El Diario Se "
                                "Queda Con La Clave Del Otro Ordenador.");
    else if (report.password == diarysync::Report::Password::Ours)
        lines += QStringLiteral("La Clave Se Cambió Aquí Después: El Diario Se Queda Con Tu Clave "
                                "De Este Ordenador.");
    if (!lines.isEmpty())
        m_dialogs.messageBox(parent,
                             QStringLiteral("Se Han Combinado Los Cambios De Otro Ordenador.\n") +
                                 lines.join(u'\n'),
                             noticeTitle);
}

QString SyncFlow::refusal(const QString &path, int status) const {
    const QString name = QFileInfo(path).fileName();
    switch (DiaryStatus(status)) {
    case DiaryStatus::OtherDiary:
        return QStringLiteral("La Copia \"%1\" Es De Otro Diario: No Se Combina.").arg(name);
    case DiaryStatus::WrongPassword:
        return QStringLiteral("La Copia \"%1\" Tiene Otra Clave: No Se Combina.").arg(name);
    case DiaryStatus::NewerVersion:
        return QStringLiteral("La Copia \"%1\" Es De Una Versión Más Nueva Del Programa: No Se "
                              "Combina.")
            .arg(name);
    default:
        return QStringLiteral("La Copia \"%1\" Está Dañada: No Se Combina.").arg(name);
    }
}

bool SyncFlow::offerCopies(QWidget *parent, QSet<QString> *refused) {
    QStringList copies;
    for (const QString &copy : conflictcopies::find(m_database.filePath()))
        if (!refused->contains(copy))
            copies += copy;
    if (copies.isEmpty())
        return false;
    QStringList names;
    for (const QString &copy : std::as_const(copies))
        names += QFileInfo(copy).fileName();
    if (!m_dialogs.askYesNo(parent,
                            QStringLiteral("La Carpeta Del Diario Tiene %1 Copias En Conflicto "
                                           "Hechas Por La Sincronización:\n%2\n¿Combinarlas Todas "
                                           "Con Tu Diario? Cada Una Se Guarda Luego En Copias.")
                                .arg(copies.size())
                                .arg(names.join(u'\n')),
                            copiesTitle)) {
        *refused += QSet<QString>(copies.begin(), copies.end());
        return false;
    }
    // Another password is asked once for all the copies: when none is given, the next copy of
    // another password is refused without asking again.
    const std::function<QString()> asker = m_database.passwordAsker();
    bool declined = false;
    m_database.setPasswordAsker([&] {
        const QString given = declined || !asker ? QString() : asker();
        declined = given.isEmpty();
        return given;
    });
    const conflictcopies::Merged merged = conflictcopies::mergeAll(m_database, copies);
    m_database.setPasswordAsker(asker);
    for (const conflictcopies::Refused &copy : merged.refused) {
        refused->insert(copy.path);
        m_dialogs.messageBox(parent, refusal(copy.path, int(copy.status)), copiesTitle);
    }
    if (!merged.merged.isEmpty())
        m_dialogs.messageBox(parent,
                             merged.written
                                 ? QStringLiteral("%1 Copias Combinadas Con Tu Diario Y Guardadas "
                                                  "En Copias.")
                                       .arg(merged.merged.size())
                                 : messages::saveFailure(m_database),
                             copiesTitle);
    tellMerge(parent, merged.report);
    return merged.written;
}

bool SyncFlow::combine(QWidget *parent) {
    const QString path =
        m_dialogs.openFileName(parent, combineTitle, QStringLiteral("Diario De Gimnasio (*.db)"));
    if (path.isEmpty())
        return false;
    Failure failure;
    if (!backups::makeBackup(m_database, m_clock.now(), backups::Kind::ByHand, &failure)) {
        m_dialogs.messageBox(parent,
                             QStringLiteral("ERROR. No Se Ha Podido Hacer La Copia De Seguridad:"
                                            "\n%1\nNo Se Ha Combinado Nada.")
                                 .arg(messages::reason(failure)),
                             combineTitle);
        return false;
    }
    diarysync::Report report;
    const DiaryStatus status = m_database.mergeFile(path, true, &report);
    if (status != DiaryStatus::Ready) {
        m_dialogs.messageBox(parent, refusal(path, int(status)), combineTitle);
        return false;
    }
    const bool written = m_database.saveVerified();
    m_dialogs.messageBox(parent,
                         written ? QStringLiteral("Diario Combinado: %1 Días Nuevos, %2 Días "
                                                  "Cambiados, %3 Días Borrados.")
                                       .arg(report.added)
                                       .arg(report.changed)
                                       .arg(report.removed)
                                 : messages::saveFailure(m_database),
                         combineTitle);
    tellMerge(parent, report);
    return true;
}

bool SyncFlow::showConflicts(QWidget *parent) {
    const std::vector<conflictlist::Entry> entries = conflictlist::list(m_database);
    if (entries.empty()) {
        m_dialogs.messageBox(parent, QStringLiteral("No Hay Conflictos."), conflictsTitle);
        return false;
    }
    QStringList items;
    for (const conflictlist::Entry &entry : entries)
        items += QStringLiteral("%1 · %2: %3 (Ahora: %4)")
                     .arg(entry.date.isEmpty() ? QStringLiteral("Perfil") : entry.date,
                          entry.column, shown(entry.lost), shown(entry.kept));
    const int chosen = m_dialogs.chooseItem(
        parent, conflictsTitle,
        QStringLiteral("Valores Que Perdieron Al Combinar. Elige Uno Para Recuperarlo:"), items);
    if (chosen < 0)
        return false;
    const bool taken = conflictlist::takeBack(m_database, entries[std::size_t(chosen)].id);
    if (!taken)
        m_dialogs.messageBox(parent,
                             QStringLiteral("No Se Ha Podido Recuperar El Valor: El Día Ya No "
                                            "Está."),
                             conflictsTitle);
    return taken;
}
