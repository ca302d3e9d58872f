#include "flows/profileflow.h"

#include "data/clock.h"
#include "flows/profileanswers.h"
#include "flows/profilestartup.h"
#include "ui/dialogs.h"
#include "ui/messages.h"
#include "ui/profilesummary.h"

namespace {

const QString title = QStringLiteral("Editar Perfil");

} // namespace

ProfileFlow::ProfileFlow(ProfileStore &profiles, ProfileSummary &summary, Dialogs &dialogs,
                         const Clock &clock)
    : m_profiles(profiles)
    , m_summary(summary)
    , m_dialogs(dialogs)
    , m_clock(clock) {}

bool ProfileFlow::run(QWidget *parent) {
    const QStringList labels{QStringLiteral("&Nombre"),
                             QStringLiteral("Fecha De &Nacimiento (DD/MM/AAAA)"),
                             QStringLiteral("&Altura En Cm"),
                             QStringLiteral("Fecha De &Comienzo En El Gimnasio (DD/MM/AAAA)")};
    const StoredProfile &shown = m_summary.profile();
    QStringList values{shown.name, shown.birthDate, shown.height, shown.gymStart};
    for (;;) {
        // What was typed stays in the form when it is shown again after a problem.
        const std::optional<QStringList> answers = m_dialogs.formBox(parent, title, labels, values);
        if (!answers)
            return false;
        values = *answers;
        StoredProfile edited{values[0], values[1], values[2], values[3]};
        const QDateTime now = m_clock.now();
        if (const std::optional<QString> problem =
                profileanswers::profileProblem(edited, now.date())) {
            m_dialogs.messageBox(parent, *problem, title);
            continue;
        }
        edited.height = QString::number(readHeight(edited.height).value_or(0));
        if (!m_profiles.update(edited)) {
            m_dialogs.messageBox(parent,
                                 QStringLiteral("ERROR. No Se Ha Podido Guardar Tu Perfil En El "
                                                "Diario De Gimnasio.\n") +
                                     messages::reason(m_profiles.lastFailure()),
                                 title);
            return false;
        }
        m_summary.setProfile(edited);
        m_summary.tick(now);
        return true;
    }
}
