#include "ui/designtable.h"

#include "ui/twips.h"
#include "ui/windowlook.h"

#include <QFontMetricsF>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <cmath>

namespace designtable {
namespace {

void setColours(QWidget *widget, const QColor &back, const QColor &text) {
    QPalette colours = widget->palette();
    colours.setColor(QPalette::Window, back);
    colours.setColor(QPalette::WindowText, text);
    widget->setPalette(colours);
}

// The font, its letters set a little closer where the caption would be wider than its room, so
// that the whole caption shows in the family and size that the design gives.
QFont fitting(const QFont &font, const QString &caption, int room) {
    const qreal width = QFontMetricsF(font).horizontalAdvance(caption);
    if (width <= room)
        return font;
    QFont closer = font;
    closer.setLetterSpacing(QFont::PercentageSpacing,
                            std::max(85.0, std::floor(100.0 * room / width)));
    return closer;
}

} // namespace

QLabel *addLabel(QWidget *parent, const LabelRow &row, const LabelLook &look) {
    auto *label = new QLabel(QString::fromUtf16(row.caption), parent);
    label->setObjectName(QLatin1String(row.name));
    label->setGeometry(twips::rect(row.left, row.top, row.width, row.height));
    label->setFont(fitting(look.font, label->text(), label->width()));
    label->setAlignment(look.alignment);
    label->setToolTip(look.toolTip);
    label->setAutoFillBackground(true);
    setColours(label, windowlook::black, look.text);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

QPushButton *addButton(QWidget *parent, const char *name, const QString &caption,
                       const LabelRow &place, const QString &toolTip) {
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(twips::rect(place.left, place.top, place.width, place.height));
    button->setFont(windowlook::defaultFont());
    button->setToolTip(toolTip);
    button->setAutoDefault(false);
    return button;
}

QFrame *addRule(QWidget *parent, const char *name, const QColor &colour, QPoint from, QPoint to) {
    const QPoint a(twips::toPixels(from.x()), twips::toPixels(from.y()));
    const QPoint b(twips::toPixels(to.x()), twips::toPixels(to.y()));
    auto *rule = new QFrame(parent);
    rule->setObjectName(QLatin1String(name));
    rule->setFrameShape(QFrame::NoFrame);
    rule->setAutoFillBackground(true);
    setColours(rule, colour, colour);
    rule->setGeometry(QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                            QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y()))));
    rule->setAttribute(Qt::WA_TransparentForMouseEvents);
    return rule;
}

} // namespace designtable
