#include "training/reader.h"

// What the user said about texts the reader could not read alone (reader.h).
namespace training {

void Corrections::setExercise(QStringView typedName, const QString &exercise) {
    names.insert(nameKey(typedName), exercise);
}
void Corrections::setTextExercise(QStringView text, const QString &exercise) {
    texts.insert(fold(text), exercise);
}
void Corrections::setNoTraining(QStringView text) {
    notTraining.insert(fold(text));
}
std::optional<QString> Corrections::exerciseFor(QStringView key) const {
    if (names.isEmpty())
        return std::nullopt;
    const auto it = names.constFind(key.toString());
    return it == names.cend() ? std::nullopt : std::optional(*it);
}
std::optional<QString> Corrections::textExercise(QStringView text) const {
    const auto it = texts.constFind(fold(text));
    return it == texts.cend() ? std::nullopt : std::optional(*it);
}
bool Corrections::isNoTraining(QStringView text) const {
    return !notTraining.isEmpty() && notTraining.contains(fold(text));
}

} // namespace training
