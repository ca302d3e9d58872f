#include "calendar/yearmodel.h"

#include "calendar/streaks.h"
#include "ui/datewords.h"

#include <QBrush>
#include <QFont>
#include <algorithm>

using namespace calendar;

YearModel::YearModel(QObject *parent)
    : QAbstractTableModel(parent) {}

void YearModel::show(const DiaryDays *days, int year, Shading shading,
                     const QSet<QDate> &pausedMondays, QDate today) {
    // The rows stay where they are and only what they show changes, so that the current day and
    // what a screen reader holds of the cells go on being valid from one year to another.
    const int before = m_weeks.weeks;
    const YearWeeks weeks = yearWeeks(year);
    if (weeks.weeks > before)
        beginInsertRows({}, before, weeks.weeks - 1);
    else if (weeks.weeks < before)
        beginRemoveRows({}, weeks.weeks, before - 1);
    m_weeks = weeks;
    m_paused = pausedMondays;
    m_today = today;
    m_cells.assign(std::size_t(m_weeks.weeks) * 7, Cell{});
    for (int week = 0; week < m_weeks.weeks; ++week) {
        for (int day = 0; day < 7; ++day) {
            Cell &cell = m_cells[std::size_t(week * 7 + day)];
            cell.date = m_weeks.dateAt(week, day);
            if (cell.date.year() != year)
                continue;
            const DayTotals *totals = days ? days->at(cell.date) : nullptr;
            cell.shade = shadeOf(totals, shading);
            cell.id = totals ? totals->firstId : 0;
            cell.paused = pausedMondays.contains(mondayOf(cell.date));
        }
    }
    if (weeks.weeks > before)
        endInsertRows();
    else if (weeks.weeks < before)
        endRemoveRows();
    emit dataChanged(index(0, 0), index(m_weeks.weeks - 1, 6));
    emit headerDataChanged(Qt::Vertical, 0, m_weeks.weeks - 1);
}

QModelIndex YearModel::indexOf(QDate date) const {
    const int week = m_weeks.weekOf(date);
    return week < 0 ? QModelIndex() : index(week, date.dayOfWeek() - 1);
}

QColor YearModel::levelColour(int level) {
    // From the page's own colour, through greens that darken with the level.
    static const QColor colours[] = {QColor(0xe4, 0xe7, 0xeb), QColor(0xc6, 0xe4, 0x8b),
                                     QColor(0x7b, 0xc9, 0x6f), QColor(0x23, 0x9a, 0x3b),
                                     QColor(0x19, 0x61, 0x27)};
    return colours[std::clamp(level, 0, topLevel)];
}

int YearModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_weeks.weeks;
}

int YearModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : 7;
}

const YearModel::Cell *YearModel::cellAt(const QModelIndex &index) const {
    if (!index.isValid() || index.row() >= m_weeks.weeks || index.column() >= 7)
        return nullptr;
    const Cell &cell = m_cells[std::size_t(index.row() * 7 + index.column())];
    return cell.date.year() == m_weeks.year ? &cell : nullptr;
}

QVariant YearModel::data(const QModelIndex &index, int role) const {
    const Cell *cell = cellAt(index);
    if (!cell)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return cell->shade.amount.isEmpty()
                   ? QString::number(cell->date.day())
                   : QStringLiteral("%1  %2").arg(cell->date.day()).arg(cell->shade.amount);
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
        return cellName(cell->date, cell->shade, cell->paused, cell->date == m_today);
    case Qt::BackgroundRole:
        if (cell->shade.level < 0 && !cell->paused)
            return {};
        return QBrush(cell->shade.level < 0 ? QColor(Qt::gray) : levelColour(cell->shade.level),
                      cell->paused ? Qt::BDiagPattern : Qt::SolidPattern);
    case Qt::ForegroundRole:
        if (cell->shade.level >= 3 && !cell->paused)
            return QBrush(Qt::white);
        return QBrush(Qt::black);
    case Qt::FontRole:
        if (cell->date == m_today) {
            QFont bold;
            bold.setBold(true);
            bold.setUnderline(true);
            return bold;
        }
        return {};
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case DateRole:
        return cell->date;
    case IdRole:
        return cell->id;
    default:
        return {};
    }
}

QVariant YearModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    if (orientation == Qt::Horizontal)
        return role == Qt::DisplayRole ? datewords::weekdayName(section + 1).left(3)
                                       : datewords::weekdayName(section + 1);
    if (section < 0 || section >= m_weeks.weeks)
        return {};
    QString label = m_weeks.monthsBeginning(section);
    if (m_paused.contains(m_weeks.dateAt(section, 0)))
        label += (label.isEmpty() ? QString() : QStringLiteral(" · ")) + QStringLiteral("Pausa");
    if (role == Qt::AccessibleTextRole)
        return QStringLiteral("Semana Del %1 De %2")
                   .arg(m_weeks.dateAt(section, 0).day())
                   .arg(datewords::monthName(m_weeks.dateAt(section, 0).month())) +
               (label.isEmpty() ? QString() : QStringLiteral(": ") + label);
    return label;
}

Qt::ItemFlags YearModel::flags(const QModelIndex &index) const {
    return cellAt(index) ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
