#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;
class QWidget;

// Builds the controls of the windows' design tables: positions and sizes in twips, every label
// on a black background.
namespace designtable {

struct LabelRow {
    const char *name;
    const char16_t *caption; // empty for a label whose text is filled at run time
    int left, top, width, height;
};

struct LabelLook {
    QFont font;
    QColor text;
    Qt::Alignment alignment;
    QString toolTip; // none when empty
};

QLabel *addLabel(QWidget *parent, const LabelRow &row, const LabelLook &look);

// A push button in the windows' default font, in which its caption fits the button.
QPushButton *addButton(QWidget *parent, const char *name, const QString &caption,
                       const LabelRow &place, const QString &toolTip);

// A ruling line one pixel wide from one point to another, both given in twips.
QFrame *addRule(QWidget *parent, const char *name, const QColor &colour, QPoint from, QPoint to);

} // namespace designtable
