#include "app/applicationcontroller.h"
#include "data/clock.h"
#include "data/diarydatabase.h"
#include "data/processguard.h"
#include "data/profilestore.h"
#include "training/readinglines.h"
#include "ui/commandline.h"
#include "ui/dialogs.h"
#include "ui/keyboard.h"
#include "ui/messages.h"
#include "ui/windowicon.h"
#include "ui/windowlook.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>

namespace {

// What is answered without a window, a display or the diary: the version, the help, an option
// refused, and the training texts of standard input read. None when the program is to start.
std::optional<int> answerCommandLine(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments += QString::fromLocal8Bit(argv[i]);
    if (const std::optional<commandline::Answer> answer = commandline::answer(arguments)) {
        std::fputs(answer->text.toUtf8().constData(), answer->isError ? stderr : stdout);
        return answer->exitCode;
    }
    if (!commandline::readsTraining(arguments))
        return std::nullopt;
    QFile in, out;
    if (!in.open(stdin, QIODevice::ReadOnly) || !out.open(stdout, QIODevice::WriteOnly))
        return 1;
    training::readLines(in, out);
    return out.flush() ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[]) {
    // Before anything of the diary is in memory: no core file, no other process, reads it.
    processguard::protect();
    if (const std::optional<int> answered = answerCommandLine(argc, argv))
        return *answered;

    QApplication app(argc, argv);
    // The windows belong to the menu entry of this id, and show its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.zorvend.gimnasio"));
    // The standard buttons read "Aceptar", "Cancelar", "Sí" and "No".
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_es"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);
    ReturnPressesButtons returnPressesButtons;
    app.installEventFilter(&returnPressesButtons);
    windowlook::useProgramFonts();
    QApplication::setWindowIcon(windowicon::gimnasioIcon());

    QtDialogs dialogs;
    SystemClock clock;
    DiaryDatabase database;
    ProfileStore profiles(database);
    ApplicationController controller(database, profiles, dialogs, clock);
    if (!controller.start(
            QDir(DiaryDatabase::defaultFolder()).filePath(DiaryDatabase::defaultFileName())))
        return database.isOpen() ? 2 : 1;
    const int code = QApplication::exec();
    controller.finish();
    return code;
}
