#pragma once

class Dialogs;
class ProfileStore;
class QWidget;

// "Cambiar Clave...": the current password, the new one until it is long enough, the new one
// again, and the diary sealed with it. Every password typed is wiped however the change ends.
class PasswordFlow {
public:
    PasswordFlow(ProfileStore &profiles, Dialogs &dialogs);

    void run(QWidget *parent);

private:
    ProfileStore &m_profiles;
    Dialogs &m_dialogs;
};
