#include "data/hybridclock.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QStandardPaths>
#include <QSysInfo>
#include <algorithm>

HybridClock::HybridClock()
    : m_wall([] { return QDateTime::currentMSecsSinceEpoch(); })
    , m_node(thisComputer()) {}

qint64 HybridClock::tick() {
    m_last = std::max(m_wall() * 65536, m_last + 1);
    return m_last;
}

void HybridClock::observe(qint64 stamp) {
    m_last = std::max(m_last, stamp);
}

qint64 HybridClock::thisComputer() {
    QByteArray machine = QSysInfo::machineUniqueId();
    if (machine.isEmpty())
        machine = QSysInfo::machineHostName().toUtf8();
    // Two users of one machine, or one user with two data folders, are two computers: their
    // changes made in the same millisecond must not carry the same stamp.
    const QByteArray folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toUtf8();
    const QByteArray digest = QCryptographicHash::hash(
        "gimnasio-computer:" + machine + '\n' + folder, QCryptographicHash::Sha256);
    qint64 node = 0;
    for (int byte = 0; byte < 6; ++byte)
        node = node * 256 + quint8(digest[byte]);
    return node + 1; // 0 is no computer: the stamps of days older than the stamps themselves
}
