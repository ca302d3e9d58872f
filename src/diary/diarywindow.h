#pragma once

#include "dayfields.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>

class Clock;
class DayEditor;
class DayRecordSet;
class Dialogs;
class DiaryDatabase;
class NavigationBar;
class PhotoBox;
class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSqlTableModel;
struct ReportProfile;

// The diary window (Form2): the profile summary and one day record at a time.
class DiaryWindow : public QMainWindow {
    Q_OBJECT
public:
    // profileWindow is the profile window whose labels (`nombre`, `Label14`, ...) and photo
    // (`Image1`) this window reads and writes by their object names.
    DiaryWindow(DiaryDatabase &database, QWidget *profileWindow, Dialogs &dialogs,
                const Clock &clock, QWidget *parent = nullptr);
    ~DiaryWindow() override;

    // True between "&Añadir" and the moment the new day is stored or dropped.
    bool isAddingDay() const;
    DayRecordSet *dayRecords() const { return Data1; }

public slots:
    void Form_Load();
    void Form_Initialize();
    void Form_Activate();

    void Command4_Click(); // &Añadir
    void Command3_Click(); // &Grabar
    void Command2_Click(); // &Borrar
    void Command5_Click(); // statistics in one file
    void Command6_Click(); // statistics in one file per day
    void Command1_Click(); // &Salir
    void saliendo_Click(); // menu "Salir"

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

    // The navigation bar of Data1.
    void moveFirst();
    void movePrevious();
    void moveNext();
    void moveLast();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    void buildMenu();
    void bindBoxes();

    // Shared by Form_Initialize and Form_Activate: the day count, the first day, the photo and
    // Label34.
    void refreshSummary();
    void showDayCount();
    void loadPhoto();

    void setBoxesLocked(bool locked);
    dayfields::DayTexts shownTexts() const;
    void setViewModeButtons();
    void setAddModeButtons();

    // The steps of "&Grabar"; false when the engine refused the day, which then stays pending.
    bool saveDay();
    // Settles a pending day before the record set moves; false when the move must not be made.
    bool settlePendingDay();
    void dropPendingDay();
    void sortBy(dayfields::Order order);
    void exportDays(bool perDay);
    void Form_Unload();

    // A label of the profile window, never one of this window's own.
    QLabel *profileLabel(const char *name) const;
    QString profileText(const char *name) const;
    ReportProfile reportProfile() const;
    void tellRefusal(const QString &what);

    DiaryDatabase &m_database;
    QPointer<QWidget> m_profileWindow;
    Dialogs &m_dialogs;
    const Clock &m_clock;

    // Data controls: Data1 holds the day records, Data2 the profile record (for the photo only).
    DayRecordSet *Data1 = nullptr;
    QSqlTableModel *Data2 = nullptr;
    DayEditor *m_editor = nullptr;
    NavigationBar *m_navigationBar = nullptr;

    QMenu *opciones = nullptr;
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

    QFrame *Line1 = nullptr; // under the profile summary
    QFrame *Line2 = nullptr; // left edge of the girth block
    QFrame *Line3 = nullptr; // bottom edge of the girth block

    // The texts the boxes held right after "&Añadir", to tell whether the user changed the day.
    dayfields::DayTexts m_textsAsBegun{};
    // The profile values copied at load, used when the profile window is gone.
    QString m_loadedHeight;
    QString m_loadedGymStart;
    bool m_firstActivationDone = false;
    bool m_profileWasActivated = false;
    bool m_exporting = false;
    bool m_closing = false;
    bool m_centred = false;
};
