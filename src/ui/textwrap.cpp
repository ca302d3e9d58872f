#include "ui/textwrap.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace textwrap {
namespace {

// Below these sizes the word-boundary line breaking stays quick whatever the text.
constexpr int smallInsertion = 4096;
constexpr qsizetype longWord = 2048;

void chooseWrapMode(QPlainTextEdit *box) {
    const auto mode = longestWord(box->document()->toPlainText()) > longWord
                          ? QTextOption::WrapAnywhere
                          : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (box->wordWrapMode() != mode)
        box->setWordWrapMode(mode);
}

} // namespace

qsizetype longestWord(QStringView text) {
    qsizetype longest = 0;
    qsizetype run = 0;
    for (const QChar c : text) {
        // Paragraph and line separators are what the document keeps for line breaks.
        if (c.isSpace()) {
            longest = std::max(longest, run);
            run = 0;
        } else {
            ++run;
        }
    }
    return std::max(longest, run);
}

void keepLinear(QPlainTextEdit *box) {
    QObject::connect(box->document(), &QTextDocument::contentsChange, box,
                     [box](int, int charsRemoved, int charsAdded) {
                         if (charsAdded >= smallInsertion) {
                             // Before the document lays out the new text.
                             chooseWrapMode(box);
                         } else if (charsRemoved >= smallInsertion) {
                             // Once the edit is over: a change of mode in the middle of a text
                             // being replaced would have the new text laid out in the old mode.
                             QMetaObject::invokeMethod(
                                 box, [box] { chooseWrapMode(box); }, Qt::QueuedConnection);
                         }
                     });
}

} // namespace textwrap
