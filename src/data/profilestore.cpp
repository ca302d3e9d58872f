#include "data/profilestore.h"

#include "data/dayfields.h"
#include "data/diarychange.h"
#include "data/diarydatabase.h"
#include "data/password.h"
#include "data/sqlfunctions.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

// The statement that reads columns of the first profile record.
QString selectFirst(const QString &columns) {
    return QStringLiteral("SELECT %1 FROM %2 ORDER BY %3 LIMIT 1")
        .arg(columns, quotedIdentifier(profilefields::tableName),
             quotedIdentifier(dayfields::keyColumn));
}

} // namespace

ProfileStore::ProfileStore(DiaryDatabase &database)
    : m_database(database) {}

std::optional<bool> ProfileStore::exists() const {
    QSqlQuery query(m_database.connection());
    if (!query.exec(selectFirst(quotedIdentifier(dayfields::keyColumn)))) {
        m_lastFailure = Failure::said(query.lastError().text());
        return std::nullopt;
    }
    return query.next();
}

std::optional<StoredProfile> ProfileStore::load() const {
    using namespace profilefields;
    QSqlQuery query(m_database.connection());
    const QString columns = QStringList{quotedIdentifier(name), quotedIdentifier(birth),
                                        quotedIdentifier(height), quotedIdentifier(gymStart)}
                                .join(u", ");
    if (!query.exec(selectFirst(columns))) {
        m_lastFailure = Failure::said(query.lastError().text());
        return std::nullopt;
    }
    if (!query.next())
        return std::nullopt;
    return StoredProfile{query.value(0).toString(), query.value(1).toString(),
                         query.value(2).toString(), query.value(3).toString()};
}

bool ProfileStore::create(const NewProfile &profile) {
    if (profile.passwordHash.isEmpty())
        return false;
    QStringList columns;
    for (const QString &column : profilefields::textColumns)
        columns += quotedIdentifier(column);
    return change([&] {
        QSqlQuery query(m_database.connection());
        if (!query.prepare(
                QStringLiteral("INSERT INTO %1 (%2) VALUES (?, ?, ?, ?, ?)")
                    .arg(quotedIdentifier(profilefields::tableName), columns.join(u", ")))) {
            m_lastFailure = Failure::said(query.lastError().text());
            return false;
        }
        const StoredProfile &stored = profile.profile;
        for (const QString &value :
             {stored.name, stored.birthDate, stored.height, stored.gymStart, profile.passwordHash})
            query.addBindValue(value);
        if (!query.exec()) {
            m_lastFailure = Failure::said(query.lastError().text());
            return false;
        }
        return true;
    });
}

bool ProfileStore::update(const StoredProfile &profile) {
    using namespace profilefields;
    const QString update =
        QStringLiteral("UPDATE %1 SET %2 = ?, %3 = ?, %4 = ?, %5 = ? WHERE %6 = (%7)")
            .arg(quotedIdentifier(tableName), quotedIdentifier(name), quotedIdentifier(birth),
                 quotedIdentifier(height), quotedIdentifier(gymStart),
                 quotedIdentifier(dayfields::keyColumn),
                 selectFirst(quotedIdentifier(dayfields::keyColumn)));
    return change([&] {
        QSqlQuery query(m_database.connection());
        if (!query.prepare(update)) {
            m_lastFailure = Failure::said(query.lastError().text());
            return false;
        }
        for (const QString &value :
             {profile.name, profile.birthDate, profile.height, profile.gymStart})
            query.addBindValue(value);
        if (!query.exec() || query.numRowsAffected() != 1) {
            m_lastFailure = Failure::said(query.lastError().text());
            return false;
        }
        return true;
    });
}

bool ProfileStore::checkPassword(const QString &answer) const {
    const std::optional<QVariant> stored = firstRowValue(profilefields::password);
    return stored && stored->isValid() && password::verify(stored->toString(), answer);
}

std::optional<QByteArray> ProfileStore::photo() const {
    const std::optional<QVariant> stored = firstRowValue(profilefields::photo);
    return stored ? std::optional(stored->toByteArray()) : std::nullopt;
}

std::optional<QString> ProfileStore::goalWeight() const {
    const std::optional<QVariant> stored = firstRowValue(profilefields::goalWeight);
    return stored ? std::optional(stored->toString()) : std::nullopt;
}

bool ProfileStore::setGoalWeight(const QString &typed) {
    return change([&] { return updateFirstRow(profilefields::goalWeight, typed); });
}

bool ProfileStore::setPhoto(const QByteArray &stored) {
    return change([&] { return updateFirstRow(profilefields::photo, stored); });
}

bool ProfileStore::opensDiary(const QString &answer) const {
    return m_database.unlock(answer) == DiaryDatabase::Status::Ready;
}

ProfileStore::PasswordChange ProfileStore::changePassword(const QString &current,
                                                          const QString &next) {
    if (!opensDiary(current))
        return PasswordChange::WrongCurrent;
    const std::optional<QVariant> old = firstRowValue(profilefields::password);
    const QString hash = password::hash(next);
    if (!old || !old->isValid() || hash.isEmpty() || !updateFirstRow(profilefields::password, hash))
        return PasswordChange::NotWritten;
    if (m_database.seal(next) == DiaryDatabase::Status::Ready)
        return PasswordChange::Changed;
    // The file still opens with the old password only; so does the diary in memory.
    m_lastFailure = m_database.lastFailure();
    updateFirstRow(profilefields::password, old->toString());
    return PasswordChange::NotWritten;
}

bool ProfileStore::updateFirstRow(const QString &column, const QVariant &value) {
    QSqlQuery query(m_database.connection());
    const QString update =
        QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = (%4)")
            .arg(quotedIdentifier(profilefields::tableName), quotedIdentifier(column),
                 quotedIdentifier(dayfields::keyColumn),
                 selectFirst(quotedIdentifier(dayfields::keyColumn)));
    if (!query.prepare(update)) {
        m_lastFailure = Failure::said(query.lastError().text());
        return false;
    }
    query.addBindValue(value);
    if (!query.exec() || query.numRowsAffected() != 1) {
        m_lastFailure = Failure::said(query.lastError().text());
        return false;
    }
    return true;
}

bool ProfileStore::change(const std::function<bool()> &work) {
    QString words;
    if (diarychange::commitThenSave(
            m_database, [&work](QString *) { return work(); }, &words))
        return true;
    // The work keeps its own refusal; a transaction that could not begin or end says why here.
    if (!words.isEmpty())
        m_lastFailure = Failure::said(words);
    return false;
}

std::optional<QVariant> ProfileStore::firstRowValue(const QString &column) const {
    QSqlQuery query(m_database.connection());
    if (!query.exec(selectFirst(quotedIdentifier(column)))) {
        m_lastFailure = Failure::said(query.lastError().text());
        return std::nullopt;
    }
    return query.next() ? query.value(0) : QVariant();
}
