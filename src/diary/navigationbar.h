#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QToolButton;

// The strip that steps through the day records: first, previous, its caption, next and last.
// It only asks for moves; the window decides what each move does.
class NavigationBar : public QWidget {
    Q_OBJECT
public:
    explicit NavigationBar(const QString &caption, QWidget *parent = nullptr);

    QString caption() const;
    QToolButton *firstButton() const { return m_first; }
    QToolButton *previousButton() const { return m_previous; }
    QToolButton *nextButton() const { return m_next; }
    QToolButton *lastButton() const { return m_last; }

signals:
    void firstRequested();
    void previousRequested();
    void nextRequested();
    void lastRequested();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolButton *m_first;
    QToolButton *m_previous;
    QToolButton *m_next;
    QToolButton *m_last;
    QLabel *m_caption;
};
