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

// What the program prints before it ends without opening a window.
struct Answer {
    QString text;
    int exitCode = 0;
    bool isError = false; // printed on standard error
};

// The answer when the arguments (the program's name first) ask for the version or the help, or
// hold an option the program does not know; nothing otherwise, and the program starts as always.
// The options of Qt itself ("-platform offscreen", "-style fusion", "-session ..."), which the
// desktop and its session manager may give, are left to Qt.
std::optional<Answer> answer(const QStringList &arguments);

// Whether the arguments ask for the training texts of standard input to be read
// ("--leer-entrenamiento"): one JSON line each on standard output, with no window and no diary.
bool readsTraining(const QStringList &arguments);

} // namespace commandline
