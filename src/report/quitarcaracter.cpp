#include "report/quitarcaracter.h"

namespace {

// Length in code units of the character starting at index i: 2 for a surrogate pair, else 1.
qsizetype characterLength(const QString &text, qsizetype i) {
    if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return 2;
    return 1;
}

bool setContains(const QString &set, QStringView character) {
    for (qsizetype i = 0; i < set.size();) {
        const qsizetype length = characterLength(set, i);
        if (QStringView(set).mid(i, length) == character)
            return true;
        i += length;
    }
    return false;
}

} // namespace

QString QuitarCaracter(const QString &sValor, const std::optional<QString> &sCaracter) {
    static const QString defaultSet = QStringLiteral(".,:/ ");
    const QString &set = sCaracter ? *sCaracter : defaultSet;
    if (set.isEmpty())
        return sValor;

    QString result;
    result.reserve(sValor.size());
    for (qsizetype i = 0; i < sValor.size();) {
        const qsizetype length = characterLength(sValor, i);
        const QStringView character = QStringView(sValor).mid(i, length);
        if (!setContains(set, character))
            result.append(character);
        i += length;
    }
    return result;
}
