#pragma once

#include "search/query.h"
#include "search/searchindex.h"

#include <QSqlDatabase>
#include <QWidget>

class DayStore;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QTimer;
class ResultList;

// The window "Buscar En El Diario": one box, searched as the user types (after a short pause),
// the days found listed newest first with the words marked. Return or a double click on a day,
// or "&Ver Día", asks the diary window to show it; the list stays open to go on. It follows every
// save and delete of the store. Given the diary window as parent, it opens beside it.
class SearchWindow : public QWidget {
    Q_OBJECT
public:
    SearchWindow(const QSqlDatabase &db, DayStore &days, QWidget *parent = nullptr);

    // The pause after a key press before the search runs.
    static constexpr int pauseMs = 250;

public slots:
    // Runs the search for the text in the box now.
    void search();

signals:
    void dayChosen(qint64 id);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setUpControls();
    void layOut();
    void connectControls(DayStore &days);
    void chooseCurrent();
    void showCount(const search::Query &query, const search::SearchIndex::Found &found);

    search::SearchIndex m_index;
    ResultList *m_results;
    QLineEdit *m_box;
    QLabel *m_count;
    QListView *m_list;
    QPushButton *m_show;
    QTimer *m_pause;
};
