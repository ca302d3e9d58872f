#pragma once

#include <QString>
#include <QVariantList>
#include <functional>

class DiaryDatabase;

// A change of the diary as every store makes it: one transaction of the diary's connection,
// committed when the change is whole and rolled back otherwise, and then written sealed by save()
// at once. What is committed is the diary's from then on: a file that cannot be written is told by
// the database (writeFailed), and the change is written with the next save.
namespace diarychange {

// `change` does its work on the connection and answers whether it is whole, with the engine's
// words in *error when it is not. False, with nothing changed and the reason in *error, when the
// transaction cannot begin, the change is not whole or the commit fails. `committed`, when given,
// is told once the change is committed, before the diary is written.
bool commitThenSave(DiaryDatabase &database, const std::function<bool(QString *error)> &change,
                    QString *error, const std::function<void()> &committed = {});

// One statement with its values bound in order, as a change of its own.
bool runThenSave(DiaryDatabase &database, const QString &statement, const QVariantList &values,
                 QString *error);

} // namespace diarychange
