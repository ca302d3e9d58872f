#include "data/backups.h"
#include "data/clock.h"
#include "data/diarydatabase.h"
#include "data/processguard.h"
#include "data/profilestore.h"
#include "profile/diaryrescue.h"
#include "profile/profilewindow.h"
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

int main(int argc, char *argv[]) {
    // Before anything of the diary is in memory: no core file, no other process, reads it.
    processguard::protect();

    // --version and --help answer without a window, and without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments += QString::fromLocal8Bit(argv[i]);
    if (const std::optional<commandline::Answer> answer = commandline::answer(arguments)) {
        std::fputs(answer->text.toUtf8().constData(), answer->isError ? stderr : stdout);
        return answer->exitCode;
    }
    // Training texts read from standard input, without a window or the diary.
    if (commandline::readsTraining(arguments)) {
        QFile in, out;
        if (!in.open(stdin, QIODevice::ReadOnly) || !out.open(stdout, QIODevice::WriteOnly))
            return 1;
        training::readLines(in, out);
        return out.flush() ? 0 : 1;
    }

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
    // A diary that cannot be opened, or none while backups are kept, offers the backups.
    if (!DiaryRescue(database, dialogs, clock)
             .open(QDir(DiaryDatabase::defaultFolder()).filePath(DiaryDatabase::defaultFileName())))
        return 1;

    QObject::connect(&database, &DiaryDatabase::writeFailed, [&dialogs, &database] {
        dialogs.messageBox(QApplication::activeWindow(), messages::saveFailure(database),
                           noticeTitle);
    });

    ProfileStore profiles(database);
    ProfileWindow window(database, profiles, dialogs, clock);
    if (!window.runStartup())
        return 2;
    window.show();
    if (const std::optional<QString> failed = backups::takeFailure(database.filePath()))
        dialogs.messageBox(&window,
                           QStringLiteral("La Última Copia De Seguridad Automática No Se Pudo "
                                          "Hacer:\n%1\nHaz Una Desde El Menú \"Diario\".")
                               .arg(*failed),
                           noticeTitle);
    const int code = QApplication::exec();
    // Changes that no save could write are not given up without the user's word.
    while (!database.isWritten() &&
           dialogs.askYesNo(nullptr, messages::unwrittenQuestion(), noticeTitle))
        database.save();
    // A backup after every run that changed the diary; a failure is told at the next start.
    Failure failure;
    if (database.wasChanged() && database.isWritten() &&
        !backups::makeBackup(database, clock.now(), backups::Kind::AtExit, &failure))
        backups::noteFailure(database.filePath(), messages::reason(failure));
    return code;
}
