#include "designtable.h"

#include "twips.h"
#include "windowlook.h"

#include <QFontMetricsF>
#include <QFrame>
#include <QLabel>
#include <QProxyStyle>
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

// The buttons of the design are as tall as one line of their font and leave a pixel or two
// beside their caption; the style's wider margins would cut the caption on both sides.
class NarrowButtonStyle final : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override {
        if (metric == PM_ButtonMargin)
            return 2;
        if (metric == PM_DefaultFrameWidth && qobject_cast<const QPushButton *>(widget))
            return 1;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

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

QStyle *narrowButtonStyle() {
    static NarrowButtonStyle *style = new NarrowButtonStyle;
    return style;
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
    button->setStyle(narrowButtonStyle());
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
