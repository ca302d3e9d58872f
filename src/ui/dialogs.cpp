#include "dialogs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>

QString QtDialogs::inputBox(QWidget *parent, const QString &prompt, const QString &title,
                            const QString &defaultText) {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setInputMode(QInputDialog::TextInput);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue();
}

QString QtDialogs::passwordBox(QWidget *parent, const QString &prompt, const QString &title) {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextEchoMode(QLineEdit::Password);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    const QString answer = accepted ? dialog.textValue() : QString();
    dialog.setTextValue(QString());
    return answer;
}

void QtDialogs::messageBox(QWidget *parent, const QString &text, const QString &title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtDialogs::askYesNo(QWidget *parent, const QString &text, const QString &title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::saveFileName(QWidget *parent, const QString &title, const QString &suggested,
                                const QString &filter, QString *chosenFilter) {
    return QFileDialog::getSaveFileName(parent, title, suggested, filter, chosenFilter);
}

QString QtDialogs::openFileName(QWidget *parent, const QString &title, const QString &filter) {
    return QFileDialog::getOpenFileName(parent, title, {}, filter);
}

int QtDialogs::chooseItem(QWidget *parent, const QString &title, const QString &prompt,
                          const QStringList &items) {
    bool chosen = false;
    const QString item = QInputDialog::getItem(parent, title, prompt, items, 0, false, &chosen);
    return chosen ? int(items.indexOf(item)) : -1;
}

namespace {

class SilentProgress final : public ProgressBox {
public:
    bool advance(qint64) override { return true; }
};

// QProgressDialog, shown once the work has taken half a second; it blocks the other windows and
// keeps them drawn. Its bar counts thousandths, as a total may not fit its int.
class ProgressDialogBox final : public ProgressBox {
public:
    ProgressDialogBox(QWidget *parent, const QString &text, const QString &title, qint64 total)
        : m_dialog(text, QStringLiteral("Cancelar"), 0, 1000, parent)
        , m_total(total) {
        m_dialog.setWindowTitle(title);
        m_dialog.setWindowModality(Qt::ApplicationModal);
        m_dialog.setMinimumDuration(500);
        m_dialog.setAutoReset(false);
        m_dialog.setAutoClose(false);
        m_dialog.setValue(0);
        m_sinceEvents.start();
    }
    bool advance(qint64 done) override {
        const int permille =
            m_total > 0 ? int(std::min<qint64>(done, m_total) * 1000 / m_total) : 0;
        if (permille != m_dialog.value())
            m_dialog.setValue(permille);
        if (m_sinceEvents.elapsed() >= 50) {
            QCoreApplication::processEvents();
            m_sinceEvents.restart();
        }
        return !m_dialog.wasCanceled();
    }

private:
    QProgressDialog m_dialog;
    qint64 m_total;
    QElapsedTimer m_sinceEvents;
};

} // namespace

std::unique_ptr<ProgressBox> Dialogs::progressBox(QWidget *, const QString &, const QString &,
                                                  qint64) {
    return std::make_unique<SilentProgress>();
}

std::unique_ptr<ProgressBox> QtDialogs::progressBox(QWidget *parent, const QString &text,
                                                    const QString &title, qint64 total) {
    return std::make_unique<ProgressDialogBox>(parent, text, title, total);
}
