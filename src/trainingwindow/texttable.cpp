#include "trainingwindow/texttable.h"

#include <QHeaderView>
#include <QTableView>

TextTable::TextTable(const QStringList &headings, QObject *parent)
    : QAbstractTableModel(parent)
    , m_headings(headings) {}

void TextTable::setRows(int count, Cell cell, QList<QVariant> keys) {
    beginResetModel();
    m_count = count;
    m_cell = std::move(cell);
    m_keys = std::move(keys);
    endResetModel();
}

int TextTable::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_count;
}

int TextTable::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_headings.size());
}

QVariant TextTable::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= m_count)
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_cell(index.row(), index.column());
    return {};
}

QVariant TextTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_headings.value(section);
    return {};
}

QTableView *newTableView(QWidget *parent, const char *name, TextTable *model) {
    auto *view = new QTableView(parent);
    view->setObjectName(QLatin1String(name));
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    // Every row one line high: the view never measures rows it does not show.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}
