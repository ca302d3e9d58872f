#include "ui/dialogs.h"

#include "data/password.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFormLayout>
#include <QIdentityProxyModel>
#include <QInputDialog>
#include <QLabel>
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

namespace {

// The list of Qt's own file dialog (where the desktop offers none of its own) writes the dates of
// its files in the system's language ("7 Dec"), and the types as Qt's Spanish translation leaves
// them ("Folder"): it shows them in the program's words instead.
class SpanishFileList final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex &index, int role) const override {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || !files || index.column() < 2 || index.column() > 3)
            return QIdentityProxyModel::data(index, role);
        const QFileInfo info = files->fileInfo(mapToSource(index));
        if (index.column() == 3)
            return info.lastModified().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
        if (info.isDir())
            return QStringLiteral("Carpeta");
        return (QStringLiteral("Archivo ") + info.suffix().toUpper()).trimmed();
    }
};

QString chosenFile(QWidget *parent, const QString &title, const QString &start,
                   const QString &filter, QString *chosenFilter, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, title, start, filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setProxyModel(new SpanishFileList(&dialog));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (chosenFilter)
        *chosenFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString QtDialogs::saveFileName(QWidget *parent, const QString &title, const QString &suggested,
                                const QString &filter, QString *chosenFilter) {
    return chosenFile(parent, title, suggested, filter, chosenFilter, QFileDialog::AcceptSave);
}

QString QtDialogs::openFileName(QWidget *parent, const QString &title, const QString &filter) {
    return chosenFile(parent, title, {}, filter, nullptr, QFileDialog::AcceptOpen);
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
