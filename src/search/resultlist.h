#pragma once

#include "search/query.h"

#include <QAbstractListModel>
#include <QHash>
#include <QStyledItemDelegate>
#include <vector>

namespace search {
class SearchIndex;
}

// The days a search found, in its order: each its date in words and the field and piece of text
// where the words are, the words marked. A day's text is read from the index only when the list
// shows it, so that thousands found cost no more than the few on screen.
class ResultList : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { HtmlRole = Qt::UserRole, IdRole };

    explicit ResultList(search::SearchIndex &index, QObject *parent = nullptr);

    void show(const search::Query &query, std::vector<qint64> ids);
    int rowOf(qint64 id) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    struct Shown {
        QString date;  // in words, or as typed when it is no date
        QString field; // the field's name
        QString text;  // the piece of text, the words between the index's marks
    };
    const Shown &shownAt(int row) const;

    search::SearchIndex &m_index;
    search::Query m_query;
    std::vector<qint64> m_ids;
    mutable QHash<int, Shown> m_shown;
};

// Draws a found day: its date on the first line, then the piece of text with the words marked.
class ResultDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
