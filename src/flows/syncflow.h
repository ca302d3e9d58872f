#pragma once

#include "data/diarysync.h"

#include <QSet>
#include <QString>

class Clock;
class Dialogs;
class DiaryDatabase;
class QWidget;

// The conversations of one diary kept on two computers: another computer's password asked once,
// what a merge did told, the sync tools' conflict copies offered to merge in one step, "Combinar
// Con Otro Diario..." and "Ver Conflictos...".
class SyncFlow {
public:
    SyncFlow(DiaryDatabase &database, Dialogs &dialogs, const Clock &clock);

    // The password of a file sealed with another one; empty when the user gives none.
    QString askOtherPassword(QWidget *parent);
    // Tells what a merge did when the user must know: values that lost, two days of one date,
    // which password the diary keeps. Nothing for a merge that only brought changes in.
    void tellMerge(QWidget *parent, const diarysync::Report &report);
    // The conflict copies beside the diary that were not refused before (*refused keeps them):
    // told, and merged all in one step when the user says so; those that cannot be are told one
    // by one and stay. True when the diary changed.
    bool offerCopies(QWidget *parent, QSet<QString> *refused);
    // "Combinar Con Otro Diario...": a diary file chosen, merged after a backup. True when the
    // diary changed.
    bool combine(QWidget *parent);
    // "Ver Conflictos...": the values that lost, one of which may be taken back. True when one was.
    bool showConflicts(QWidget *parent);

private:
    QString refusal(const QString &path, int status) const;

    DiaryDatabase &m_database;
    Dialogs &m_dialogs;
    const Clock &m_clock;
};
