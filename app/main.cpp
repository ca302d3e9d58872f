#include "clock.h"
#include "dialogs.h"
#include "diarydatabase.h"
#include "profilestore.h"
#include "profilewindow.h"
#include "windowicon.h"
#include "windowlook.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);

    // The standard buttons read "Aceptar", "Cancelar", "Sí" and "No".
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_es"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    windowlook::useProgramFonts();
    QApplication::setWindowIcon(windowicon::gimnasioIcon());

    QtDialogs dialogs;
    DiaryDatabase database;
    const DiaryDatabase::Status status = database.open(
        QDir(DiaryDatabase::defaultFolder()).filePath(DiaryDatabase::defaultFileName()));
    if (status != DiaryDatabase::Status::Ready) {
        dialogs.messageBox(nullptr, database.errorMessage(status), noticeTitle);
        return 1;
    }

    QObject::connect(&database, &DiaryDatabase::writeFailed, [&dialogs](const QString &text) {
        dialogs.messageBox(QApplication::activeWindow(), text, noticeTitle);
    });

    SystemClock clock;
    ProfileStore profiles(database);
    ProfileWindow window(database, profiles, dialogs, clock);
    if (!window.runStartup())
        return 2;
    window.show();
    const int code = QApplication::exec();
    // Changes that no save could write are not given up without the user's word.
    while (!database.isWritten() && dialogs.askYesNo(nullptr, unwrittenQuestion, noticeTitle))
        database.save();
    return code;
}
