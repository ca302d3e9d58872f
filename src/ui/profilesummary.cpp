#include "ui/profilesummary.h"

QString ProfileSummary::windowTitle() const {
    return QStringLiteral("Diario De Gimnasio De [[[ ") + m_profile.name + QStringLiteral(" ]]]");
}

QString ProfileSummary::ageText() const {
    return m_clock.ageYears + u' ' + m_clock.ageMonths + QStringLiteral(" Y ") + m_clock.ageDays;
}

void ProfileSummary::setProfile(const StoredProfile &profile) {
    m_profile = profile;
    emit changed();
}

void ProfileSummary::tick(const QDateTime &now) {
    m_clock = clockTexts(now, m_profile.gymStart, m_profile.birthDate);
    emit changed();
}

void ProfileSummary::setPhoto(const QImage &photo) {
    m_photo = photo;
    emit photoChanged();
}
