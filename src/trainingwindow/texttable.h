#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>
#include <QVariant>
#include <functional>

class QTableView;
class QWidget;

// Rows of texts for the long lists of the window "Entrenamiento" (a history of years, every text
// unread): each cell's text is made when a view draws it, a screenful at a time.
class TextTable final : public QAbstractTableModel {
    Q_OBJECT
public:
    TextTable(const QStringList &headings, QObject *parent);

    // The text of a cell, made when the view draws it.
    using Cell = std::function<QString(int row, int column)>;
    // `count` rows, their cells from `cell`, each with its key (key()).
    void setRows(int count, Cell cell, QList<QVariant> keys = {});
    QVariant key(int row) const { return m_keys.value(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList m_headings;
    int m_count = 0;
    Cell m_cell;
    QList<QVariant> m_keys;
};

// A view of one line a row, a row chosen at a time, named for the tests and screen readers.
QTableView *newTableView(QWidget *parent, const char *name, TextTable *model);
