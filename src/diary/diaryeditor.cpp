// The diary window's editor: "&Añadir", "&Grabar" and "&Borrar", the day pending between them,
// and the moves of the navigation bar and the sort menu, which settle that day first.

#include "data/clock.h"
#include "data/dates.h"
#include "data/daystore.h"
#include "diary/diarytexts.h"
#include "diary/diarywindow.h"
#include "ui/dialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace diarytexts;

namespace {

QString textOf(const QWidget *box) {
    if (const auto *line = qobject_cast<const QLineEdit *>(box))
        return line->text();
    if (const auto *multi = qobject_cast<const QPlainTextEdit *>(box))
        return multi->toPlainText();
    return {};
}

void setLocked(QWidget *box, bool locked) {
    if (auto *line = qobject_cast<QLineEdit *>(box))
        line->setReadOnly(locked);
    else if (auto *multi = qobject_cast<QPlainTextEdit *>(box))
        multi->setReadOnly(locked);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The editor

void DiaryWindow::updateControls() {
    m_state.adding = m_days->isPending();
    const diarystate::Buttons buttons = diarystate::buttonsFor(m_state);
    Command4->setEnabled(buttons.add);
    Command3->setEnabled(buttons.save);
    Command2->setEnabled(buttons.remove);
    Command5->setEnabled(buttons.exportSingle);
    Command6->setEnabled(buttons.exportPerDay);
    for (QWidget *box : m_boxes)
        setLocked(box, !m_state.adding);
}

dayfields::DayTexts DiaryWindow::shownTexts() const {
    dayfields::DayTexts texts;
    for (std::size_t box = 0; box < texts.size(); ++box)
        texts[box] = textOf(m_boxes[box]);
    return texts;
}

void DiaryWindow::tellRefusal(const QString &what) {
    QString text = what;
    const QString engine = m_days->lastError().trimmed();
    if (!engine.isEmpty())
        text += QStringLiteral("\n\n") + engine;
    m_dialogs.messageBox(this, text, noticeTitle);
}

void DiaryWindow::Command4_Click() {
    if (m_days->isPending() || m_state.exporting)
        return;
    if (!m_days->beginDay())
        return;
    updateControls();
    fh->setText(dates::shortDate(m_clock.now().date()));
    m_textsAsBegun = shownTexts();
    // The date comes first: what is typed next belongs in it.
    fh->setFocus();
    fh->selectAll();
}

void DiaryWindow::Command3_Click() {
    saveDay();
}

bool DiaryWindow::saveDay() {
    bool saved = true;
    if (m_days->isPending()) {
        if (fh->text().isEmpty()) {
            m_days->dropPending();
        } else if (const dayfields::DayTexts typed = shownTexts(); m_days->storePending(typed)) {
            emit dayStored(typed);
        } else {
            saved = !m_days->isPending();
            // A day still pending stays in the boxes as typed, ready to be saved again.
            updateControls();
            tellRefusal(saveRefused);
            if (!saved)
                return false;
        }
    }
    updateControls();
    showDayCount();
    return saved;
}

void DiaryWindow::dropPendingDay() {
    m_days->dropPending();
    updateControls();
}

bool DiaryWindow::settlePendingDay() {
    if (!m_days->isPending())
        return true;
    switch (diarystate::beforeMoving(shownTexts(), m_textsAsBegun)) {
    case diarystate::Step::Store:
        return saveDay();
    case diarystate::Step::Drop:
        dropPendingDay();
        return true;
    case diarystate::Step::Keep:
        break;
    }
    m_dialogs.messageBox(this, undatedDay, noticeTitle);
    return false;
}

void DiaryWindow::Command2_Click() {
    if (m_days->isPending() || m_state.exporting)
        return;
    const bool yes = m_dialogs.askYesNo(this, deleteQuestion, applicationTitle);
    const int count = m_days->storedCount();
    if (!yes || count <= 0)
        return;
    if (!m_days->deleteCurrent()) {
        tellRefusal(deleteRefused);
        return;
    }
    Label33->setText(QString::number(m_days->storedCount()) + QStringLiteral(" Días"));
}

// ---------------------------------------------------------------------------------------------
// Moving and sorting

void DiaryWindow::moveFirst() {
    if (settlePendingDay())
        m_days->toFirst();
}

void DiaryWindow::movePrevious() {
    if (settlePendingDay())
        m_days->toPrevious();
}

void DiaryWindow::moveNext() {
    if (settlePendingDay())
        m_days->toNext();
}

void DiaryWindow::moveLast() {
    if (settlePendingDay())
        m_days->toLast();
}

bool DiaryWindow::showDay(qint64 id) {
    if (m_state.exporting || !settlePendingDay())
        return false;
    const int row = m_days->rowOf(id);
    if (row >= 0)
        m_days->toRow(row);
    return row >= 0;
}

void DiaryWindow::sortBy(dayfields::Order order) {
    if (m_state.exporting || !settlePendingDay())
        return;
    if (!m_days->setOrder(order))
        tellRefusal(sortRefused);
}

// Each entry orders by what its caption names.
void DiaryWindow::porhoras_Click() {
    sortBy(dayfields::ByHours);
}
void DiaryWindow::porfecha_Click() {
    sortBy(dayfields::ByDate);
}
void DiaryWindow::ordenarporagua_Click() {
    sortBy(dayfields::ByWater);
}
void DiaryWindow::porpeso_Click() {
    sortBy(dayfields::ByWeight);
}
void DiaryWindow::pordiaculo_Click() {
    sortBy(dayfields::ByBottom);
}
void DiaryWindow::porpecho_Click() {
    sortBy(dayfields::ByChest);
}
void DiaryWindow::porbiceps_Click() {
    sortBy(dayfields::ByBiceps);
}
void DiaryWindow::porante_Click() {
    sortBy(dayfields::ByForearm);
}
void DiaryWindow::porpie_Click() {
    sortBy(dayfields::ByLeg);
}
void DiaryWindow::porgeme_Click() {
    sortBy(dayfields::ByCalf);
}
void DiaryWindow::porhorario_Click() {
    sortBy(dayfields::ByTimetable);
}
