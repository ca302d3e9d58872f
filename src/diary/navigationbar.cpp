#include "diary/navigationbar.h"

#include <QLabel>
#include <QPalette>
#include <QToolButton>

namespace {

QToolButton *makeButton(const QString &text, const QString &name, const QString &spoken,
                        QWidget *parent) {
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setAccessibleName(spoken);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(false);
    return button;
}

} // namespace

NavigationBar::NavigationBar(const QString &caption, QWidget *parent)
    : QWidget(parent)
    , m_first(makeButton(QStringLiteral("|<"), QStringLiteral("firstButton"),
                         QStringLiteral("Primer día"), this))
    , m_previous(makeButton(QStringLiteral("<"), QStringLiteral("previousButton"),
                            QStringLiteral("Día anterior"), this))
    , m_next(makeButton(QStringLiteral(">"), QStringLiteral("nextButton"),
                        QStringLiteral("Día siguiente"), this))
    , m_last(makeButton(QStringLiteral(">|"), QStringLiteral("lastButton"),
                        QStringLiteral("Último día"), this))
    , m_caption(new QLabel(caption, this)) {
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::black);
    colours.setColor(QPalette::WindowText, QColor(0xFF, 0xFF, 0x00));
    setPalette(colours);

    m_caption->setObjectName(QStringLiteral("caption"));
    m_caption->setAutoFillBackground(true);
    m_caption->setPalette(colours);
    m_caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    connect(m_first, &QToolButton::clicked, this, &NavigationBar::firstRequested);
    connect(m_previous, &QToolButton::clicked, this, &NavigationBar::previousRequested);
    connect(m_next, &QToolButton::clicked, this, &NavigationBar::nextRequested);
    connect(m_last, &QToolButton::clicked, this, &NavigationBar::lastRequested);
}

QString NavigationBar::caption() const {
    return m_caption->text();
}

void NavigationBar::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    // Square buttons, two at each end, the caption between them.
    const int side = height();
    m_first->setGeometry(0, 0, side, side);
    m_previous->setGeometry(side, 0, side, side);
    m_caption->setGeometry(2 * side, 0, qMax(0, width() - 4 * side), side);
    m_next->setGeometry(width() - 2 * side, 0, side, side);
    m_last->setGeometry(width() - side, 0, side, side);
}
