#pragma once

#include "data/profilestore.h"
#include "ui/clocktexts.h"

#include <QDateTime>
#include <QImage>
#include <QObject>

// What the program shows of the user: the stored profile, the texts of the last clock tick
// (time, age, time at the gym, long dates) and the photo. The profile window shows it and keeps
// it ticking; the diary window and its reports read it. Every change is signalled.
class ProfileSummary : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    const StoredProfile &profile() const { return m_profile; }
    // The texts of the last tick; empty before the first.
    const ClockTexts &clock() const { return m_clock; }
    const QImage &photo() const { return m_photo; }

    // "Diario De Gimnasio De [[[ <name> ]]]".
    QString windowTitle() const;
    // The age as "30 Años 5 Meses Y 12 Días".
    QString ageText() const;

    void setProfile(const StoredProfile &profile);
    // Works the clock texts out for this moment from the stored dates.
    void tick(const QDateTime &now);
    void setPhoto(const QImage &photo);

signals:
    void changed();
    void photoChanged();

private:
    StoredProfile m_profile;
    ClockTexts m_clock;
    QImage m_photo;
};
