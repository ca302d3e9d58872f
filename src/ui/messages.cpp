#include "ui/messages.h"

#include "data/dates.h"

#include <QDir>
#include <QLocale>
#include <QStringList>
#include <cerrno>
#include <cstring>

namespace messages {
namespace {

QString systemReason(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("No Queda Sitio En El Disco.");
    case EROFS:
        return QStringLiteral("El Disco Es De Solo Lectura.");
    case EACCES:
    case EPERM:
        return QStringLiteral("La Carpeta Es De Solo Lectura: No Tienes Permiso Para Escribir En "
                              "Ella.");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("La Carpeta No Existe.");
    default:
        return QStringLiteral("Error Del Sistema: ") + QString::fromLocal8Bit(std::strerror(error));
    }
}

} // namespace

QString reason(const Failure &failure) {
    using Kind = Failure::Kind;
    switch (failure.kind) {
    case Kind::None:
        return {};
    case Kind::System:
        return systemReason(failure.errorNumber);
    case Kind::Said:
        return failure.words;
    case Kind::NoKeyMemory:
        return QStringLiteral("No Hay Memoria Para La Clave.");
    case Kind::NotOpen:
        return QStringLiteral("El Diario No Está Abierto.");
    case Kind::NotSealable:
        return QStringLiteral("No Se Ha Podido Cifrar El Diario.");
    case Kind::NotSealedYet:
        return QStringLiteral("El Diario No Está Cifrado Todavía.");
    case Kind::NotReadBack:
        return QStringLiteral("El Archivo Escrito No Se Ha Podido Leer De Nuevo.");
    case Kind::NoFolder:
        return QStringLiteral("No Se Puede Crear La Carpeta:\n") +
               QDir::toNativeSeparators(failure.path);
    case Kind::DaysUnreadable:
        return QStringLiteral("No Se Han Podido Leer Los Días Del Diario.");
    case Kind::NotMerged:
        return QStringLiteral("Otro Ordenador Ha Cambiado El Diario Y No Se Ha Podido Combinar "
                              "Con El Tuyo: Se Deja Como Está.");
    }
    return {};
}

QString openFailure(const DiaryDatabase &database, DiaryDatabase::Status status) {
    using Status = DiaryDatabase::Status;
    const QString file = QDir::toNativeSeparators(database.filePath());
    const QString why = reason(database.lastFailure());
    switch (status) {
    case Status::Ready:
        return {};
    case Status::AlreadyRunning:
        return QStringLiteral("El Diario De Gimnasio Ya Está Abierto En Otra Ventana. Usa Esa "
                              "Ventana O Ciérrala Antes De Volver A Abrirlo.");
    case Status::CannotCreate:
        return QStringLiteral("No Se Ha Podido Crear El Diario De Gimnasio En:\n%1\nComprueba "
                              "Que Se Puede Escribir En Esa Carpeta.")
            .arg(file);
    case Status::CannotOpen:
        return QStringLiteral("No Se Ha Podido Abrir El Diario De Gimnasio:\n%1").arg(file);
    case Status::ReadOnly:
        return QStringLiteral("El Diario De Gimnasio No Se Puede Escribir:\n%1\n%2")
            .arg(file, why.isEmpty()
                           ? QStringLiteral("Comprueba Los Permisos Del Archivo Y De Su Carpeta.")
                           : why);
    case Status::NotADatabase:
        return QStringLiteral("El Archivo Del Diario De Gimnasio No Es Una Base De Datos Válida:"
                              "\n%1\nNo Se Ha Tocado. Restáuralo Desde Una Copia De Seguridad.")
            .arg(file);
    case Status::Damaged:
        return QStringLiteral("El Archivo Del Diario De Gimnasio Está Dañado:\n%1\nNo Se Ha "
                              "Tocado. Restáuralo Desde Una Copia De Seguridad.")
            .arg(file);
    case Status::WrongSchema:
        return QStringLiteral("El Archivo Del Diario De Gimnasio No Tiene Las Tablas Del Diario:"
                              "\n%1\nNo Se Ha Tocado.")
            .arg(file);
    case Status::NewerVersion:
        return QStringLiteral("El Diario De Gimnasio Fue Guardado Por Una Versión Más Nueva Del "
                              "Programa:\n%1\nActualiza El Programa Para Abrirlo. No Se Ha Tocado.")
            .arg(file);
    case Status::MigrationFailed:
        return QStringLiteral("No Se Ha Podido Poner Al Día El Diario De Gimnasio:\n%1\nEl "
                              "Archivo Sigue Como Estaba.")
            .arg(file);
    case Status::WrongPassword:
        return QStringLiteral("¡¡ Fuera De Mi Vista Intrus@ !!");
    case Status::OtherDiary:
        return QStringLiteral("El Archivo Es De Otro Diario De Gimnasio:\n%1\nNo Se Ha Tocado.")
            .arg(file);
    case Status::CannotWrite:
        return QStringLiteral("No Se Ha Podido Escribir El Diario De Gimnasio Cifrado En:\n%1\n"
                              "%2\nEl Archivo Sigue Como Estaba.")
            .arg(file, why);
    }
    return {};
}

QString saveFailure(const DiaryDatabase &database) {
    return QStringLiteral("No Se Ha Podido Guardar El Diario De Gimnasio En:\n%1\n%2\nTus "
                          "Cambios Siguen En El Programa Y Se Volverán A Guardar Con El Próximo "
                          "Cambio O Al Salir.")
        .arg(QDir::toNativeSeparators(database.filePath()), reason(database.lastFailure()));
}

QString mergeFailure(const DiaryDatabase &database, DiaryDatabase::Status status) {
    using Status = DiaryDatabase::Status;
    const QString file = QDir::toNativeSeparators(database.filePath());
    if (status == Status::WrongPassword)
        return QStringLiteral("El Diario Se Ha Cambiado En Otro Ordenador Con Otra Clave Y No Se "
                              "Ha Podido Combinar:\n%1\nNo Se Ha Tocado; Se Volverá A Pedir La "
                              "Clave Con El Próximo Cambio.")
            .arg(file);
    return QStringLiteral("El Diario Se Ha Cambiado En Otro Ordenador Y No Se Ha Podido "
                          "Combinar:\n%1\n%2")
        .arg(file, openFailure(database, status));
}

QString unwrittenQuestion() {
    return QStringLiteral("No Se Han Podido Guardar Tus Últimos Cambios En El Diario De Gimnasio. "
                          "¿Quieres Volver A Intentarlo?");
}

QString backupState(const std::optional<QDateTime> &last, const QDateTime &now) {
    if (!last)
        return QStringLiteral("Sin copias todavía");
    const qint64 days = last->date().daysTo(now.date());
    const QString ago = days <= 0   ? QStringLiteral("hoy")
                        : days == 1 ? QStringLiteral("hace 1 día")
                                    : QStringLiteral("hace %1 días").arg(days);
    return QStringLiteral("Última copia: %1 %2 (%3)")
        .arg(dates::shortDate(last->date()), last->time().toString(QStringLiteral("HH:mm")), ago);
}

QString backupKind(backups::Kind kind) {
    switch (kind) {
    case backups::Kind::AtExit:
        return QStringLiteral("Al Salir");
    case backups::Kind::ByHand:
        return QStringLiteral("A Mano");
    case backups::Kind::BeforeImport:
        return QStringLiteral("Antes De Importar");
    case backups::Kind::BeforeRestore:
        return QStringLiteral("Antes De Restaurar");
    }
    return {};
}

QString backupLine(const backups::Backup &backup, const QString &contents) {
    QStringList parts{backups::madeText(backup.made),
                      QLocale(QLocale::Spanish).formattedDataSize(backup.size)};
    if (!contents.isEmpty())
        parts += contents;
    return (parts << backupKind(backup.kind)).join(QStringLiteral(" · "));
}

} // namespace messages
