#pragma once

#include "data/dayfields.h"
#include "diary/diarystate.h"

#include <QMainWindow>
#include <QString>
#include <array>
#include <initializer_list>

class Clock;
class DayStore;
class DiaryDatabase;
class Dialogs;
class NavigationBar;
class PhotoBox;
class ProfileStore;
class ProfileSummary;
class QAction;
class QDataWidgetMapper;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
struct ReportProfile;

// The diary window (Form2): the profile summary and one day record at a time.
class DiaryWindow : public QMainWindow {
    Q_OBJECT
public:
    // summary is what the profile window shows of the user; it must outlive this window.
    DiaryWindow(DiaryDatabase &database, ProfileStore &profiles, ProfileSummary &summary,
                Dialogs &dialogs, const Clock &clock, QWidget *parent = nullptr);
    ~DiaryWindow() override;

    // True between "&Añadir" and the moment the new day is stored or dropped.
    bool isAddingDay() const;
    DayStore &days() const { return *m_days; }

    // What the user asked for from the menus "Diario" and "Gráficas", which the application
    // runs: conversations of their own and windows of their own.
    enum class Request {
        EditProfile,
        ChangePassword,
        BackUpNow,
        SaveCopy,
        Restore,
        ExportCsv,
        ImportCsv,
        ImportWorkouts,
        UndoImport,
        ExportPlainCopy,
        ShowProgress,
        Search,
        ShowCalendar,
        ShowTraining,
        Combine,
        ShowConflicts,
    };
    Q_ENUM(Request)

public slots:
    void Form_Load();
    void Form_Initialize();
    void Form_Activate();
    // The profile window became active: the next activation of this window refreshes the summary.
    void noteProfileActivated() { m_profileWasActivated = true; }

    void Command4_Click(); // &Añadir
    void Command3_Click(); // &Grabar
    void Command2_Click(); // &Borrar
    void Command5_Click(); // statistics in one file
    void Command6_Click(); // statistics in one file per day
    void Command1_Click(); // &Salir
    void saliendo_Click(); // menu "Salir"
    // The menu "Diario" is about to open: its first line says when the last backup was made.
    void setBackupState(const QString &line);
    // A line in a status bar below the design, read without being dismissed; empty takes it away.
    void tellNotice(const QString &line);
    // The profile summary's values in the labels and the title, after the profile changed.
    void showProfile();
    // The days were changed behind the window (an import, which reads the record set again):
    // the buttons and the summary follow.
    void showChangedDays();

    void porhoras_Click();
    void porfecha_Click();
    void ordenarporagua_Click();
    void porpeso_Click();
    void pordiaculo_Click();
    void porpecho_Click();
    void porbiceps_Click();
    void porante_Click();
    void porpie_Click();
    void porgeme_Click();
    void porhorario_Click();

    // Shows the stored day with this key, in the order on display, after a day being added was
    // settled as a move settles it; false when the day is not there or the move was not made.
    bool showDay(qint64 id);

    // The navigation bar of Data1.
    void moveFirst();
    void movePrevious();
    void moveNext();
    void moveLast();

signals:
    void requested(DiaryWindow::Request request);
    // A new day was stored with these texts.
    void dayStored(const dayfields::DayTexts &texts);
    // The menu "Diario" is about to open.
    void backupStateWanted();
    // The window is leaving (after a day being added was stored or dropped).
    void leaving();

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // diarylayout.cpp: the controls of the design and the boxes' bindings; diarymenus.cpp: the
    // menus.
    void buildLayout();
    void buildMenu();
    void buildDiaryMenus();
    struct MenuEntry;
    void addEntries(QMenu *menu, std::initializer_list<MenuEntry> entries);
    void buildLabels(QWidget *client);
    void buildBoxes(QWidget *client);
    void buildButtons(QWidget *client);
    void bindBoxes();
    void showRow(int row);

    // Shared by Form_Initialize and Form_Activate: the day count, the first day, the photo and
    // Label34.
    void refreshSummary();
    void showDayCount();
    // After another computer's days were merged in: the count of days as it now is, the day on
    // display left where it is.
    void countMergedDays();
    void loadPhoto();

    // Buttons and boxes follow the state; called after every change of it.
    void updateControls();
    dayfields::DayTexts shownTexts() const;

    // The steps of "&Grabar"; false when the engine refused the day, which then stays pending.
    bool saveDay();
    // Settles a pending day before the days move; false when the move must not be made.
    bool settlePendingDay();
    void dropPendingDay();
    void sortBy(dayfields::Order order);
    void exportDays(bool perDay);
    void Form_Unload();

    ReportProfile reportProfile() const;
    void tellRefusal(const QString &what);

    DiaryDatabase &m_database;
    ProfileStore &m_profiles;
    ProfileSummary &m_summary;
    Dialogs &m_dialogs;
    const Clock &m_clock;

    // Data1's record set with the day on display; the boxes show it through the mapper.
    DayStore *m_days = nullptr;
    QDataWidgetMapper *m_mapper = nullptr;
    NavigationBar *m_navigationBar = nullptr;
    diarystate::State m_state;

    QMenu *opciones = nullptr;
    QMenu *diario = nullptr;              // the diary file: its backups and its password
    QAction *backupStateAction = nullptr; // disabled: "Última copia: ..." or "Sin copias todavía"
    QMenu *graficas = nullptr;            // the progress charts
    QAction *porhoras = nullptr;
    QAction *porfecha = nullptr;
    QAction *ordenarporagua = nullptr;
    QAction *porpeso = nullptr;
    QAction *pordiaculo = nullptr;
    QAction *porpecho = nullptr;
    QAction *porbiceps = nullptr;
    QAction *porante = nullptr;
    QAction *porpie = nullptr;
    QAction *porgeme = nullptr;
    QAction *porhorario = nullptr;
    QAction *saliendo = nullptr;

    PhotoBox *Image1 = nullptr; // the user's photo

    // The day boxes.
    QLineEdit *fh = nullptr;
    QLineEdit *hgim = nullptr;
    QPlainTextEdit *desa = nullptr;
    QPlainTextEdit *comi = nullptr;
    QPlainTextEdit *cena = nullptr;
    QPlainTextEdit *qhash = nullptr;
    QPlainTextEdit *haspi = nullptr;
    QPlainTextEdit *eldiario = nullptr;
    QLineEdit *horahoy = nullptr;
    QLineEdit *lagua = nullptr;
    QLineEdit *dcue = nullptr;
    QLineEdit *dp = nullptr;
    QLineEdit *dad = nullptr;
    QLineEdit *dai = nullptr;
    QLineEdit *dbd = nullptr;
    QLineEdit *dbi = nullptr;
    QLineEdit *dc = nullptr;
    QLineEdit *dpd = nullptr;
    QLineEdit *dpi = nullptr;
    QLineEdit *dgd = nullptr;
    QLineEdit *dgi = nullptr;
    QLineEdit *dculo = nullptr;
    QLineEdit *peski = nullptr;
    // The same boxes in walk order.
    std::array<QWidget *, dayfields::BoxCount> m_boxes{};

    QPushButton *Command1 = nullptr; // &Salir
    QPushButton *Command2 = nullptr; // &Borrar
    QPushButton *Command3 = nullptr; // &Grabar
    QPushButton *Command4 = nullptr; // &Añadir
    QPushButton *Command5 = nullptr; // statistics in one file
    QPushButton *Command6 = nullptr; // statistics in one file per day

    // Profile summary values.
    QLabel *n = nullptr;       // user name
    QLabel *fn = nullptr;      // birth date, long form
    QLabel *ac = nullptr;      // height, "180 Cm."
    QLabel *Label6 = nullptr;  // time spent going to the gym
    QLabel *Label8 = nullptr;  // age, "30 Años 5 Meses Y 12 Días"
    QLabel *Label33 = nullptr; // number of recorded days, "12 Días"
    QLabel *fco = nullptr;     // gym start date, long form
    QLabel *Label34 = nullptr; // "Diario De <name>", above the diary box

    // The texts the boxes held right after "&Añadir", to tell whether the user changed the day.
    dayfields::DayTexts m_textsAsBegun{};
    bool m_firstActivationDone = false;
    bool m_profileWasActivated = false;
    bool m_centred = false;
};
