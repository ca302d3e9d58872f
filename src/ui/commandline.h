#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The command line's own answers, given before any window or display is needed.
namespace commandline {

// "gimnasio 0.1" and what the program is.
QString versionText();
// How the program is started and where it keeps the diary.
QString helpText();

// The text to print and end with when the arguments (the program's name first) ask for the
// version or the help; nothing otherwise, and the program starts as always.
std::optional<QString> answer(const QStringList &arguments);

} // namespace commandline
