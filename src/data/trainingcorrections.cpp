#include "data/trainingcorrections.h"

#include "data/diarychange.h"
#include "data/diarydatabase.h"
#include "data/sqlfunctions.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

const QString table = QStringLiteral("Correcciones De Entrenamiento");
const QString keyColumn = QStringLiteral("Texto");
const QString kindColumn = QStringLiteral("Tipo");
const QString exerciseColumn = QStringLiteral("Ejercicio");
// How each kind is written in the table.
const QString exerciseKind = QStringLiteral("ejercicio");
const QString noTrainingKind = QStringLiteral("no_entrenamiento");

} // namespace

TrainingCorrections::TrainingCorrections(DiaryDatabase &database)
    : m_database(database) {}

QStringList TrainingCorrections::tableStatements() {
    return {QStringLiteral("CREATE TABLE %1 (%2 TEXT PRIMARY KEY, %3 TEXT NOT NULL, %4 TEXT)")
                .arg(quotedIdentifier(table), quotedIdentifier(keyColumn),
                     quotedIdentifier(kindColumn), quotedIdentifier(exerciseColumn))};
}

QList<TrainingCorrections::Entry> TrainingCorrections::entries() const {
    QSqlQuery query(m_database.connection());
    QList<Entry> found;
    if (!query.exec(QStringLiteral("SELECT %1, %2, %3 FROM %4 ORDER BY %1")
                        .arg(quotedIdentifier(keyColumn), quotedIdentifier(kindColumn),
                             quotedIdentifier(exerciseColumn), quotedIdentifier(table)))) {
        m_lastError = query.lastError().text();
        return found;
    }
    while (query.next()) {
        const QString kind = query.value(1).toString();
        const QString exercise = query.value(2).toString();
        // A row of no known kind, or an exercise without a name, is left out.
        if (kind == noTrainingKind)
            found += Entry{Kind::NoTraining, query.value(0).toString(), {}};
        else if (kind == exerciseKind && !exercise.isEmpty())
            found += Entry{Kind::Exercise, query.value(0).toString(), exercise};
    }
    return found;
}

bool TrainingCorrections::set(const Entry &entry) {
    const bool exercise = entry.kind == Kind::Exercise;
    return change(QStringLiteral("INSERT OR REPLACE INTO %1 (%2, %3, %4) VALUES (?, ?, ?)")
                      .arg(quotedIdentifier(table), quotedIdentifier(keyColumn),
                           quotedIdentifier(kindColumn), quotedIdentifier(exerciseColumn)),
                  {entry.key, exercise ? exerciseKind : noTrainingKind,
                   exercise ? QVariant(entry.exercise) : QVariant()});
}

bool TrainingCorrections::remove(const QString &key) {
    return change(QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                      .arg(quotedIdentifier(table), quotedIdentifier(keyColumn)),
                  {key});
}

bool TrainingCorrections::change(const QString &statement, const QVariantList &values) {
    return diarychange::runThenSave(m_database, statement, values, &m_lastError);
}
