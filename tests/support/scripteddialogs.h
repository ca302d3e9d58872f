#pragma once

#include "ui/dialogs.h"

#include <QList>
#include <QStringList>
#include <functional>
#include <utility>

// Dialogs whose answers a test sets beforehand and that record what they showed.
class ScriptedDialogs final : public Dialogs {
public:
    // The next input boxes return these texts, the next questions these answers (true for "Sí").
    void queueInputs(const QStringList &answers) { m_inputs += answers; }
    void queueAnswers(const QList<bool> &answers) { m_answers += answers; }
    int pendingInputs() const { return int(m_inputs.size()); }

    QString inputBox(QWidget *, const QString &, const QString &title,
                     const QString & = {}) override {
        // An unscripted box is a test fault; Cancel keeps the program from asking for ever.
        if (m_inputs.isEmpty())
            qWarning("unscripted input box \"%s\"", qPrintable(title));
        return m_inputs.isEmpty() ? QString() : m_inputs.takeFirst();
    }
    // Answered from the same queue; the title is kept to show that the box hid what was typed.
    QString passwordBox(QWidget *parent, const QString &, const QString &title) override {
        passwordTitles += title;
        return inputBox(parent, {}, title);
    }
    QStringList passwordTitles; // the titles of the password boxes shown, in order
    // A form takes one answer per box from the input queue; a form the queue cannot fill is
    // cancelled.
    std::optional<QStringList> formBox(QWidget *parent, const QString &title, const QStringList &,
                                       const QStringList &values) override {
        formValues += values;
        if (m_inputs.size() < values.size())
            return std::nullopt;
        QStringList answers;
        while (answers.size() < values.size())
            answers += inputBox(parent, {}, title);
        return answers;
    }
    QList<QStringList> formValues; // the values each form was filled with, in order
    void messageBox(QWidget *, const QString &text, const QString &) override { messages += text; }
    // A list is answered from the input queue too: "#<index>" chooses that item.
    int chooseItem(QWidget *parent, const QString &title, const QString &prompt,
                   const QStringList &items) override {
        shownItems = items;
        shownPrompt = prompt;
        const QString answer = inputBox(parent, {}, title);
        return answer.startsWith(u'#') ? answer.mid(1).toInt() : -1;
    }
    QStringList shownItems; // the items of the last list shown
    QString shownPrompt;    // and its prompt
    // Both file dialogs are answered from the same queue as the input boxes.
    QString openFileName(QWidget *parent, const QString &title, const QString &) override {
        return inputBox(parent, {}, title);
    }
    QString saveFileName(QWidget *parent, const QString &title, const QString &,
                         const QString &filter, QString *chosenFilter = nullptr) override {
        if (chosenFilter)
            *chosenFilter =
                saveFilter.isEmpty() ? filter.section(QStringLiteral(";;"), 0, 0) : saveFilter;
        return inputBox(parent, {}, title);
    }
    QString saveFilter; // the filter the save dialogs choose; the first one when empty
    bool askYesNo(QWidget *, const QString &, const QString &title) override {
        questionTitles += title;
        if (whileAsking)
            std::exchange(whileAsking, nullptr)();
        return !m_answers.isEmpty() && m_answers.takeFirst();
    }

    // A progress box cancels at its step given here (by the order of the boxes shown), or
    // never.
    QList<int> progressCancels;
    QStringList progressTitles; // the titles of the progress boxes shown, in order
    std::unique_ptr<ProgressBox> progressBox(QWidget *, const QString &, const QString &title,
                                             qint64) override {
        struct Box final : ProgressBox {
            int stepsLeft;
            explicit Box(int cancelAt)
                : stepsLeft(cancelAt) {}
            bool advance(qint64) override { return stepsLeft < 0 || stepsLeft-- > 1; }
        };
        progressTitles += title;
        return std::make_unique<Box>(progressCancels.isEmpty() ? -1 : progressCancels.takeFirst());
    }

    QStringList messages;              // the texts of the message boxes shown, in order
    QStringList questionTitles;        // the titles of the questions asked, in order
    std::function<void()> whileAsking; // run once while the next question is open

private:
    QStringList m_inputs;
    QList<bool> m_answers;
};
