// The diary window's menus, from one table: the sort orders and "Salir" are the window's own;
// every entry of "Diario" and "Gráficas" names the request that the application runs.

#include "diary/diarywindow.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

// An entry of a menu: its object name and caption, and either the window's own handler (and the
// member that holds its action) or the request that the application runs. An empty entry is a
// separator.
struct DiaryWindow::MenuEntry {
    const char *name = nullptr;
    const char16_t *caption = nullptr;
    void (DiaryWindow::*handler)() = nullptr;
    QAction **action = nullptr;
    Request request = Request::EditProfile;
    QKeySequence keys = {};
};

void DiaryWindow::addEntries(QMenu *menu, std::initializer_list<MenuEntry> entries) {
    for (const MenuEntry &entry : entries) {
        if (!entry.name) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(QString::fromUtf16(entry.caption));
        action->setObjectName(QLatin1String(entry.name));
        action->setShortcut(entry.keys);
        if (entry.action)
            *entry.action = action;
        if (entry.handler)
            connect(action, &QAction::triggered, this, entry.handler);
        else
            connect(action, &QAction::triggered, this,
                    [this, request = entry.request] { emit requested(request); });
    }
}

void DiaryWindow::buildMenu() {
    using W = DiaryWindow;
    opciones = menuBar()->addMenu(QStringLiteral("&Opciones"));
    opciones->setObjectName(QStringLiteral("opciones"));
    addEntries(
        opciones,
        {{"porhoras", u"Ordenar Por Horas En El Gimnasio Al Día", &W::porhoras_Click, &porhoras},
         {"porfecha", u"Ordenar Por Fecha", &W::porfecha_Click, &porfecha},
         {"ordenarporagua", u"Ordenar Por Litros De Agua Bebidos", &W::ordenarporagua_Click,
          &ordenarporagua},
         {"porpeso", u"Ordenar Por Peso En Kg De Tu Body", &W::porpeso_Click, &porpeso},
         {"pordiaculo", u"Ordenar Por Diametro En Cm Del Culo", &W::pordiaculo_Click, &pordiaculo},
         {"porpecho", u"Ordenar Por Diametro De Pecho", &W::porpecho_Click, &porpecho},
         {"porbiceps", u"Ordenar Por Diametro De Biceps", &W::porbiceps_Click, &porbiceps},
         {"porante", u"Ordenar Por Diametro De Antebrazo", &W::porante_Click, &porante},
         {"porpie", u"Ordenar Por Diametro De Pierna", &W::porpie_Click, &porpie},
         {"porgeme", u"Ordenar Por Diametro De Gemelo", &W::porgeme_Click, &porgeme},
         {"porhorario", u"Ordenar Por Horario", &W::porhorario_Click, &porhorario},
         {"saliendo", u"Salir", &W::saliendo_Click, &saliendo}});

    buildDiaryMenus();
}

// "Diario" and "Gráficas": every entry a request that the application runs.
void DiaryWindow::buildDiaryMenus() {
    using R = Request;
    diario = menuBar()->addMenu(QStringLiteral("&Diario"));
    diario->setObjectName(QStringLiteral("diario"));
    // First, always, when the last backup was made: a line to read, not to choose.
    backupStateAction = diario->addAction(QString());
    backupStateAction->setObjectName(QStringLiteral("backupStateAction"));
    backupStateAction->setEnabled(false);
    connect(diario, &QMenu::aboutToShow, this, &DiaryWindow::backupStateWanted);
    addEntries(
        diario,
        {{"editProfileAction", u"Editar Perfil...", {}, {}, R::EditProfile},
         {"changePasswordAction", u"Cambiar Clave...", {}, {}, R::ChangePassword},
         {},
         {"backupNowAction", u"Copia De Seguridad Ahora", {}, {}, R::BackUpNow},
         {"saveCopyAction", u"Guardar Copia En...", {}, {}, R::SaveCopy},
         {"restoreAction", u"Restaurar Copia...", {}, {}, R::Restore},
         {},
         {"exportCsvAction", u"Exportar CSV...", {}, {}, R::ExportCsv},
         {"importCsvAction", u"Importar CSV...", {}, {}, R::ImportCsv},
         {"importWorkoutsAction", u"Importar Entrenamientos...", {}, {}, R::ImportWorkouts},
         {"undoImportAction", u"Deshacer Última Importación", {}, {}, R::UndoImport},
         {"exportPlainAction", u"Exportar Copia Sin Cifrar...", {}, {}, R::ExportPlainCopy},
         {},
         {"combineAction", u"Combinar Con Otro Diario...", {}, {}, R::Combine},
         {"conflictsAction", u"Ver Conflictos...", {}, {}, R::ShowConflicts},
         {},
         {"searchAction", u"&Buscar...", {}, {}, R::Search, QKeySequence(Qt::CTRL | Qt::Key_F)}});

    graficas = menuBar()->addMenu(QStringLiteral("&Gráficas"));
    graficas->setObjectName(QStringLiteral("graficas"));
    addEntries(graficas, {{"showProgressAction",
                           u"Ver Progreso...",
                           {},
                           {},
                           R::ShowProgress,
                           QKeySequence(Qt::CTRL | Qt::Key_G)},
                          {"showCalendarAction", u"Ver &Calendario...", {}, {}, R::ShowCalendar},
                          {"showTrainingAction",
                           u"Ver &Entrenamiento...",
                           {},
                           {},
                           R::ShowTraining,
                           QKeySequence(Qt::CTRL | Qt::Key_E)}});
}
