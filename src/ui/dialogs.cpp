#include "dialogs.h"

#include "password.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

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
    const QString typed = dialog.textValue();
    // The answer is a copy of its own, which its reader wipes; what was typed is overwritten in
    // the box, and so in every copy the dialog took from it, before the box goes.
    QString answer = accepted ? QString(typed.constData(), typed.size()) : QString();
    if (const QLineEdit *box = dialog.findChild<QLineEdit *>())
        password::wipeEverywhere(box->text());
    password::wipeEverywhere(typed);
    dialog.setTextValue(QString());
    return answer;
}

std::optional<QStringList> QtDialogs::formBox(QWidget *parent, const QString &title,
                                              const QStringList &labels,
                                              const QStringList &values) {
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto *form = new QFormLayout(&dialog);
    QList<QLineEdit *> boxes;
    for (qsizetype i = 0; i < labels.size(); ++i) {
        auto *box = new QLineEdit(values.value(i), &dialog);
        // The label names the box for screen readers too.
        auto *label = new QLabel(labels[i], &dialog);
        label->setBuddy(box);
        box->setAccessibleName(QString(labels[i]).remove(u'&'));
        form->addRow(label, box);
        boxes += box;
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    QStringList edited;
    for (const QLineEdit *box : boxes)
        edited += box->text();
    return edited;
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
