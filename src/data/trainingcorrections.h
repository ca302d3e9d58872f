#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

class DiaryDatabase;

// What the user has said about training texts the reader could not read alone, kept in the diary
// since schema version 7: which exercise a text's unknown or doubtful name is, or that a text
// holds no training. A correction is keyed by the text folded as the reader folds it, so that it
// applies to every day with the same text; the texts typed are never changed. Each change is one
// committed transaction, then written sealed as every change is.
class TrainingCorrections {
public:
    enum class Kind { Exercise, NoTraining };
    struct Entry {
        Kind kind = Kind::Exercise;
        QString key;      // the text, folded
        QString exercise; // for Kind::Exercise: a catalogue name or one of the user's own
        bool operator==(const Entry &) const = default;
    };

    explicit TrainingCorrections(DiaryDatabase &database);

    // Every correction stored, by key; empty when the engine refuses (lastError() says why).
    QList<Entry> entries() const;
    // Stores the correction of a text, in place of any it had.
    bool set(const Entry &entry);
    // Forgets the correction of a text.
    bool remove(const QString &key);

    // The engine's words for the last refusal.
    QString lastError() const { return m_lastError; }

    // The statement that makes its table.
    static QStringList tableStatements();

private:
    bool change(const QString &statement, const QVariantList &values);

    DiaryDatabase &m_database;
    mutable QString m_lastError;
};
