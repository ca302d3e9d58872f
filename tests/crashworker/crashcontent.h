#pragma once

// What the crash worker writes, computed again by the test that kills it: every day and every
// report follows from a number alone, so that whatever is found on disk after a kill can be told
// to be one complete thing the worker could have written, or not.

#include "dayfields.h"
#include "statsexport.h"

#include <QDate>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <vector>

namespace crashcontent {

// The box that carries a day's id; every other box follows from the id.
inline constexpr dayfields::Box idBox = dayfields::Horahoy;

// The boxes that take many lines of text.
inline bool isMultiLine(dayfields::Box box) {
    return box == dayfields::Desa || box == dayfields::Comi || box == dayfields::Cena ||
           box == dayfields::Qhash || box == dayfields::Haspi || box == dayfields::Eldiario;
}

// Words of a diary: accents, eñes, a sign that needs two UTF-16 units, quotes and SQL-looking
// text. Nothing that a text box would change on the way in and out (no carriage returns, no
// non-breaking or paragraph separators).
inline const QStringList &words() {
    static const QStringList list = {
        QStringLiteral("sentadillas"), QStringLiteral("press"),    QStringLiteral("banca"),
        QStringLiteral("día"),         QStringLiteral("músculo"),  QStringLiteral("cigüeña"),
        QStringLiteral("año"),         QStringLiteral("café"),     QStringLiteral("con"),
        QStringLiteral("leche"),       QStringLiteral("💪"),        QStringLiteral("'); --"),
        QStringLiteral("\"hoy\""),     QStringLiteral("12,5"),     QStringLiteral("kg"),
        QStringLiteral("Ñandú"),       QStringLiteral("pechuga"),  QStringLiteral("á é í ó ú"),
        QStringLiteral("dominadas"),   QStringLiteral("tortilla"), QStringLiteral("\t"),
        QStringLiteral("€"),           QStringLiteral("[El Día]"), QStringLiteral("%1"),
    };
    return list;
}

// Text of about length characters drawn from random, with a line break now and then.
inline QString textOf(QRandomGenerator &random, qsizetype length) {
    QString text;
    text.reserve(length + 16);
    while (text.size() < length) {
        text += words()[qsizetype(random.bounded(quint32(words().size())))];
        text += random.bounded(12) == 0 ? u'\n' : u' ';
    }
    return text;
}

inline QString numberOf(QRandomGenerator &random, int whole) {
    return QString::number(random.bounded(whole)) + u',' + QString::number(random.bounded(10));
}

// The day with this id, as the worker types it into the boxes. Some days carry a diary text of
// tens of kilobytes, so that storing one spans many pages of the file.
inline dayfields::DayTexts dayFor(qint64 id) {
    QRandomGenerator random(quint32(id * 2654435761LL));
    dayfields::DayTexts day;
    day[dayfields::Fh] =
        QDate(2020, 1, 1).addDays(random.bounded(3000)).toString(QStringLiteral("dd/MM/yyyy"));
    day[dayfields::Hgim] = numberOf(random, 4);
    day[dayfields::Lagua] = numberOf(random, 5);
    day[dayfields::Peski] = numberOf(random, 120);
    for (const dayfields::Box box :
         {dayfields::Dcue, dayfields::Dad, dayfields::Dbd, dayfields::Dc, dayfields::Dpi,
          dayfields::Dgi, dayfields::Dp, dayfields::Dai, dayfields::Dbi, dayfields::Dpd,
          dayfields::Dgd, dayfields::Dculo})
        day[box] = random.bounded(8) == 0 ? QString(QLatin1String("")) : numberOf(random, 110);
    for (const dayfields::Box box :
         {dayfields::Desa, dayfields::Comi, dayfields::Cena, dayfields::Qhash, dayfields::Haspi})
        day[box] = textOf(random, random.bounded(4000));
    const bool large = random.bounded(2) == 0;
    day[dayfields::Eldiario] =
        QStringLiteral("Día %1.\n").arg(id) +
        textOf(random, large ? 20000 + random.bounded(60000) : random.bounded(3000));
    day[idBox] = QString::number(id);
    return day;
}

// The id a day carries, -1 when its box holds none.
inline qint64 idOf(const dayfields::DayTexts &day) {
    bool ok = false;
    const qint64 id = day[idBox].toLongLong(&ok);
    return ok ? id : -1;
}

// The profile of the exported reports.
inline ReportProfile reportProfile() {
    ReportProfile profile;
    profile.name = QStringLiteral("Íñigo Pérez");
    profile.birthLong = QStringLiteral("martes, 3 de marzo de 1987");
    profile.gymStartLong = QStringLiteral("lunes, 4 de enero de 2021");
    profile.height = QStringLiteral("181");
    profile.age = QStringLiteral("37 Años 2 Meses Y 5 Días");
    profile.gymStartTyped = QStringLiteral("04/01/2021");
    return profile;
}

// How many different day lists the export worker cycles through.
inline constexpr int reportVersions = 3;

inline int reportDayCount(int version) {
    return 30 + 45 * version;
}

// Day list number version, in date order: each list is longer than the one before it, and the
// same date carries other texts in each list, so that an old file and a new one differ in size
// and in content.
inline std::vector<dayfields::DayTexts> reportDays(int version) {
    std::vector<dayfields::DayTexts> days;
    const int count = reportDayCount(version);
    QRandomGenerator random(quint32(7919 + version));
    for (int i = 0; i < count; ++i) {
        dayfields::DayTexts day;
        day[dayfields::Fh] = QDate(2024, 3, 1).addDays(i).toString(QStringLiteral("dd/MM/yyyy"));
        day[dayfields::Hgim] = numberOf(random, 4);
        day[dayfields::Lagua] = numberOf(random, 5);
        day[dayfields::Peski] = numberOf(random, 120);
        day[dayfields::Horahoy] = QStringLiteral("versión %1").arg(version);
        day[dayfields::Desa] = textOf(random, random.bounded(400));
        day[dayfields::Eldiario] = textOf(random, 500 + random.bounded(6000 * (version + 1)));
        days.push_back(day);
    }
    return days;
}

inline ReportProfile reportProfileFor(int version) {
    ReportProfile profile = reportProfile();
    profile.dayCount = QStringLiteral("%1 Días").arg(reportDayCount(version));
    return profile;
}

} // namespace crashcontent
