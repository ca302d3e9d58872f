#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QWidget;

// A long piece of work shown as it goes, with "Cancelar".
class ProgressBox {
public:
    virtual ~ProgressBox() = default;
    // Shows that `done` of the total is done and lets the windows answer meanwhile; false once
    // the user has cancelled.
    virtual bool advance(qint64 done) = 0;
};

// The modal boxes that the windows open. Tests give the windows a scripted implementation that
// answers beforehand; the program uses QtDialogs.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Input box: the edited text on "Aceptar", an empty text on "Cancelar" or when closed.
    virtual QString inputBox(QWidget *parent, const QString &prompt, const QString &title,
                             const QString &defaultText = {}) = 0;
    // Input box for a password: what is typed is hidden, and the box is announced as a password
    // field. The answer as inputBox() gives it; the box keeps nothing of it once closed.
    virtual QString passwordBox(QWidget *parent, const QString &prompt, const QString &title) = 0;
    // A form of text boxes, one per label, filled with the values: the texts as edited on
    // "Aceptar", no value on "Cancelar" or when closed.
    virtual std::optional<QStringList> formBox(QWidget *parent, const QString &title,
                                               const QStringList &labels,
                                               const QStringList &values) = 0;
    // Message box with "Aceptar" alone and no icon.
    virtual void messageBox(QWidget *parent, const QString &text, const QString &title) = 0;
    // "Sí"/"No" question with no icon, "Sí" the default; true for "Sí".
    virtual bool askYesNo(QWidget *parent, const QString &text, const QString &title) = 0;
    // A list to choose one item from: its index, or -1 when the box is cancelled.
    virtual int chooseItem(QWidget *parent, const QString &title, const QString &prompt,
                           const QStringList &items) = 0;
    // The file dialog that chooses a file to open: the path chosen, or an empty text.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &filter) = 0;
    // The file dialog that chooses where to save: the path chosen, or an empty text; the filter
    // the user chose among those of `filter` goes to *chosenFilter when asked for.
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &suggested,
                                 const QString &filter, QString *chosenFilter = nullptr) = 0;
    // A box that shows the progress of a work of `total` steps, closed when it is destroyed. By
    // default one that shows nothing and is never cancelled.
    virtual std::unique_ptr<ProgressBox> progressBox(QWidget *parent, const QString &text,
                                                     const QString &title, qint64 total);
};

class QtDialogs final : public Dialogs {
public:
    QString inputBox(QWidget *parent, const QString &prompt, const QString &title,
                     const QString &defaultText = {}) override;
    QString passwordBox(QWidget *parent, const QString &prompt, const QString &title) override;
    std::optional<QStringList> formBox(QWidget *parent, const QString &title,
                                       const QStringList &labels,
                                       const QStringList &values) override;
    void messageBox(QWidget *parent, const QString &text, const QString &title) override;
    bool askYesNo(QWidget *parent, const QString &text, const QString &title) override;
    int chooseItem(QWidget *parent, const QString &title, const QString &prompt,
                   const QStringList &items) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &suggested,
                         const QString &filter, QString *chosenFilter = nullptr) override;
    std::unique_ptr<ProgressBox> progressBox(QWidget *parent, const QString &text,
                                             const QString &title, qint64 total) override;
};

// The application title, carried by the boxes that are given no title of their own.
inline const QString applicationTitle = QStringLiteral("Gimnasio Por ^Zorvend^");
// The title of the program's own notices.
inline const QString noticeTitle = QStringLiteral("^Zorvend^ Diario De Gimnasio");
