#pragma once

class Clock;
class Dialogs;
class ProfileStore;
class ProfileSummary;
class QWidget;

// "Editar Perfil...": the name, birth date, height and gym start date in one form, filled with
// what is stored, checked as the first run checks them (and the name must not be empty), then
// stored and given to the summary, which every window shows from.
class ProfileFlow {
public:
    ProfileFlow(ProfileStore &profiles, ProfileSummary &summary, Dialogs &dialogs,
                const Clock &clock);

    // True when a profile was stored; false when the user cancelled or the engine refused (the
    // user has been told).
    bool run(QWidget *parent);

private:
    ProfileStore &m_profiles;
    ProfileSummary &m_summary;
    Dialogs &m_dialogs;
    const Clock &m_clock;
};
