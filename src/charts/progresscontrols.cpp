#include "charts/progresscontrols.h"

#include "charts/progress.h"
#include "charts/progresswindow.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <utility>

using namespace progress;

namespace {

// A combo box announced by the name given to it, the item chosen as its value. On Linux, Qt's
// own announces the item chosen as its name, which says nothing of what the box is for.
class NamedComboBox final : public QAccessibleWidget {
public:
    explicit NamedComboBox(QComboBox *box)
        : QAccessibleWidget(box, QAccessible::ComboBox) {}
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? static_cast<QComboBox *>(widget())->currentText()
                                          : QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override {
        return QStringList(showMenuAction()) + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override {
        if (action == showMenuAction())
            static_cast<QComboBox *>(widget())->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }
};

// For the combo boxes of the window "Progreso". Their interfaces are made as soon as they get
// their items, before their names.
QAccessibleInterface *namedComboBoxes(const QString &className, QObject *object) {
    auto *box = qobject_cast<QComboBox *>(object);
    return className == QLatin1String("QComboBox") && box &&
                   qobject_cast<ProgressWindow *>(box->window())
               ? new NamedComboBox(box)
               : nullptr;
}

// The chart's view: a drag across it zooms in on those dates; then `zoomed` is told.
class ZoomingView final : public QChartView {
public:
    ZoomingView(QChart *chart, QWidget *parent, std::function<void()> zoomed)
        : QChartView(chart, parent)
        , m_zoomed(std::move(zoomed)) {}

protected:
    void mouseReleaseEvent(QMouseEvent *event) override {
        QChartView::mouseReleaseEvent(event);
        m_zoomed();
    }

private:
    std::function<void()> m_zoomed;
};

// A widget of the window, with its object name.
template <typename Widget, typename... Arguments>
Widget *named(QWidget *window, const char *name, Arguments &&...arguments) {
    auto *widget = new Widget(std::forward<Arguments>(arguments)..., window);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QComboBox *comboBox(QWidget *window, const char *name, const QStringList &entries) {
    auto *box = named<QComboBox>(window, name);
    box->addItems(entries);
    return box;
}

QDateEdit *dateEdit(QWidget *window, const char *name, const QString &spoken) {
    auto *edit = named<QDateEdit>(window, name);
    edit->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    edit->setCalendarPopup(true);
    edit->setAccessibleName(spoken);
    return edit;
}

void makeMeasureChoice(QWidget *window, ProgressControls &made) {
    QStringList names;
    for (const MeasureInfo &info : measures)
        names += info.name;
    made.measure = comboBox(window, "medida", names);
    made.second = comboBox(window, "segundaMedida", QStringList(QStringLiteral("Ninguna")) + names);
    made.bothSides = named<QCheckBox>(window, "ambosLados", QStringLiteral("&Ambos Lados"));
    made.bars = comboBox(window, "barras",
                         {QStringLiteral("Sin Barras"), QStringLiteral("Suma Semanal"),
                          QStringLiteral("Media Semanal"), QStringLiteral("Suma Mensual"),
                          QStringLiteral("Media Mensual")});
}

void makeRange(QWidget *window, ProgressControls &made) {
    made.range = comboBox(window, "periodo",
                          {QStringLiteral("Últimos 30 Días"), QStringLiteral("Últimos 90 Días"),
                           QStringLiteral("Último Año"), QStringLiteral("Todo"),
                           QStringLiteral("Entre Fechas")});
    made.range->setCurrentIndex(ProgressWindow::Last90);
    made.from = dateEdit(window, "desde", QStringLiteral("Desde"));
    made.to = dateEdit(window, "hasta", QStringLiteral("Hasta"));
}

void makeLineOptions(QWidget *window, ProgressControls &made) {
    made.averageDays = named<QSpinBox>(window, "mediaDias");
    made.averageDays->setRange(1, 365);
    made.averageDays->setValue(7);
    made.averageDays->setSuffix(QStringLiteral(" Días"));
    made.fromZero = named<QCheckBox>(window, "desdeCero", QStringLiteral("&Eje Desde Cero"));
}

void makeGoalAndPicture(QWidget *window, ProgressControls &made) {
    made.goal = named<QLineEdit>(window, "pesoObjetivo");
    made.goal->setMaximumWidth(70);
    made.storeGoal =
        named<QPushButton>(window, "guardarObjetivo", QStringLiteral("&Guardar Objetivo"));
    made.resetZoom = named<QPushButton>(window, "verTodo", QStringLiteral("&Ver Todo"));
    made.saveImage =
        named<QPushButton>(window, "guardarImagen", QStringLiteral("Guardar &Imagen..."));
}

void makeView(QWidget *window, QChart *chart, std::function<void()> zoomed,
              ProgressControls &made) {
    made.view = new ZoomingView(chart, window, std::move(zoomed));
    made.view->setObjectName(QStringLiteral("grafica"));
    made.view->setAccessibleName(QStringLiteral("Gráfica De Progreso"));
    made.view->setAccessibleDescription(
        QStringLiteral("Arrastra Sobre La Gráfica Para Ver De Cerca Esas Fechas."));
    made.view->viewport()->setAccessibleName(QStringLiteral("Área De La Gráfica"));
    made.view->viewport()->setAccessibleDescription(made.view->accessibleDescription());
    made.view->setRenderHint(QPainter::Antialiasing);
    // Dragging across the chart zooms in on those dates; "Ver Todo" goes back.
    made.view->setRubberBand(QChartView::HorizontalRubberBand);
    // Wide enough for the legend's entries written whole, narrow enough for a scaled screen.
    made.view->setMinimumSize(560, 220);
    made.figures = named<QLabel>(window, "cifras");
    made.figures->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Long figures wrap instead of widening the window.
    made.figures->setWordWrap(true);
}

// The grid of labelled controls.
class ControlGrid {
public:
    explicit ControlGrid(QWidget *window)
        : m_window(window) {}
    QGridLayout *grid() const { return m_grid; }
    // A label for a field, which the field is announced by, whatever it holds.
    void label(int row, int column, const QString &caption, QWidget *field) {
        auto *label = new QLabel(caption, m_window);
        label->setBuddy(field);
        field->setAccessibleName(QString(caption).remove(u'&').remove(u':'));
        m_grid->addWidget(label, row, column);
    }
    // Widgets side by side in a cell, from its left.
    void put(int row, int column, std::initializer_list<QWidget *> widgets) {
        auto *line = new QHBoxLayout;
        for (QWidget *widget : widgets)
            line->addWidget(widget);
        line->addStretch();
        m_grid->addLayout(line, row, column);
    }
    // A field after its label.
    void labelled(int row, int column, const QString &caption, QWidget *field) {
        label(row, column, caption, field);
        put(row, column + 1, {field});
    }

private:
    QWidget *m_window;
    QGridLayout *m_grid = new QGridLayout;
};

void layOut(QWidget *window, const ProgressControls &made) {
    ControlGrid controls(window);
    controls.labelled(0, 0, QStringLiteral("&Medida:"), made.measure);
    controls.labelled(0, 2, QStringLiteral("&Segunda Medida:"), made.second);
    controls.put(1, 1, {made.bothSides});
    controls.labelled(1, 2, QStringLiteral("&Barras:"), made.bars);
    controls.labelled(2, 0, QStringLiteral("&Periodo:"), made.range);
    controls.put(2, 3, {made.from, made.to});
    controls.labelled(3, 0, QStringLiteral("Media &De:"), made.averageDays);
    controls.put(3, 3, {made.fromZero});
    controls.label(4, 0, QStringLiteral("Peso &Objetivo:"), made.goal);
    controls.put(4, 1, {made.goal, made.storeGoal});
    controls.put(4, 3, {made.resetZoom, made.saveImage});
    controls.grid()->setColumnStretch(4, 1);

    auto *layout = new QVBoxLayout(window);
    layout->addLayout(controls.grid());
    layout->addWidget(made.view, 1);
    layout->addWidget(made.figures);
}

} // namespace

ProgressControls makeControls(QWidget *window, QChart *chart, std::function<void()> zoomed) {
    static const bool namedCombos = (QAccessible::installFactory(namedComboBoxes), true);
    Q_UNUSED(namedCombos);
    ProgressControls made;
    makeMeasureChoice(window, made);
    makeRange(window, made);
    makeLineOptions(window, made);
    makeGoalAndPicture(window, made);
    makeView(window, chart, std::move(zoomed), made);
    layOut(window, made);
    return made;
}
