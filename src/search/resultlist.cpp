#include "search/resultlist.h"

#include "data/dates.h"
#include "search/searchindex.h"
#include "ui/datewords.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPainter>
#include <QTextDocument>

using search::SearchIndex;

namespace {

// The shown cache is dropped when it grows past this many days; days are read this many at a time.
constexpr int shownAtMost = 1000;
constexpr int page = 32;

QString oneLine(QString text) {
    for (QChar &c : text)
        if (c.unicode() < 0x20 && c != QChar(SearchIndex::markStart) &&
            c != QChar(SearchIndex::markEnd))
            c = u' ';
    return text.simplified();
}

QString withoutMarks(QString text) {
    return text.remove(QChar(SearchIndex::markStart)).remove(QChar(SearchIndex::markEnd));
}

} // namespace

ResultList::ResultList(SearchIndex &index, QObject *parent)
    : QAbstractListModel(parent)
    , m_index(index) {}

void ResultList::show(const search::Query &query, std::vector<qint64> ids) {
    beginResetModel();
    m_query = query;
    m_ids = std::move(ids);
    m_shown.clear();
    endResetModel();
}

int ResultList::rowOf(qint64 id) const {
    const auto found = std::find(m_ids.begin(), m_ids.end(), id);
    return found == m_ids.end() ? -1 : int(found - m_ids.begin());
}

int ResultList::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_ids.size());
}

const ResultList::Shown &ResultList::shownAt(int row) const {
    if (const auto cached = m_shown.constFind(row); cached != m_shown.cend())
        return *cached;
    if (m_shown.size() > shownAtMost)
        m_shown.clear();
    // The rows around it are read with it: one reading of the index for a screenful.
    const int first = row - row % page;
    const int last = std::min(rowCount(), first + page);
    std::vector<qint64> ids;
    for (int at = first; at < last; ++at)
        if (!m_shown.contains(at))
            ids.push_back(m_ids[std::size_t(at)]);
    for (int at = first; at < last; ++at)
        m_shown.insert(at, Shown{});
    for (const SearchIndex::Fragment &fragment : m_index.fragments(m_query, ids)) {
        Shown shown;
        const std::optional<QDate> date = dates::readDate(fragment.date);
        shown.date = date ? datewords::spokenDate(*date)
                          : QStringLiteral("Sin Fecha Válida: ") + oneLine(fragment.date.left(40));
        if (fragment.box < dayfields::BoxCount)
            shown.field = dayfields::fields[fragment.box].column;
        shown.text = oneLine(fragment.text);
        for (int at = first; at < last; ++at)
            if (m_ids[std::size_t(at)] == fragment.id)
                m_shown[at] = shown;
    }
    return m_shown[row];
}

QVariant ResultList::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == IdRole)
        return m_ids[std::size_t(index.row())];
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole && role != HtmlRole &&
        role != Qt::ToolTipRole)
        return {};
    const Shown &shown = shownAt(index.row());
    if (role != HtmlRole)
        return shown.date + QStringLiteral(". ") + shown.field + QStringLiteral(": ") +
               withoutMarks(shown.text);
    QString text = shown.text.toHtmlEscaped();
    text.replace(QChar(SearchIndex::markStart),
                 QStringLiteral("<span style=\"background-color:#ffe066; color:#000000\"><b>"));
    text.replace(QChar(SearchIndex::markEnd), QStringLiteral("</b></span>"));
    return QStringLiteral("<b>%1</b><br><i>%2:</i> %3")
        .arg(shown.date.toHtmlEscaped(), shown.field.toHtmlEscaped(), text);
}

void ResultDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                           const QModelIndex &index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    item.text.clear();
    const QWidget *view = option.widget;
    QStyle *style = view ? view->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, view);

    QTextDocument document;
    document.setDefaultFont(option.font);
    document.setDocumentMargin(2);
    document.setHtml(index.data(ResultList::HtmlRole).toString());
    document.setTextWidth(option.rect.width());
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = option.palette;
    const bool selected = option.state & QStyle::State_Selected;
    context.palette.setColor(
        QPalette::Text,
        option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->save();
    painter->translate(option.rect.topLeft());
    painter->setClipRect(QRect(QPoint(), option.rect.size()));
    document.documentLayout()->draw(painter, context);
    painter->restore();
}

QSize ResultDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const {
    // The date and two lines of text.
    return {1, 3 * option.fontMetrics.lineSpacing() + 6};
}
