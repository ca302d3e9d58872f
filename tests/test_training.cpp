// The training reader: the corpus of texts people write, corrections, the figures drawn from
// readings, the JSON lines of --leer-entrenamiento, and texts made to break it.
#include "reader.h"
#include "tablerows.h"

#include <QFile>

using namespace training;

namespace {

// "\n" written in a line of the corpus or of standard input stands for a line break.
QString unescaped(QString line) {
    return line.replace(QLatin1String("\\n"), QLatin1String("\n"));
}

QStringList corpusMisses; // lines read doubtful that have one reading
int corpusLines = 0;

} // namespace

class TestTraining : public QObject {
    Q_OBJECT

private slots:
    // Every line of the corpus: read exactly, or at least said to be doubtful, never read wrong.
    void corpus_data() {
        columns<QString, QString>("text", "expected");
        QFile file(QStringLiteral(QT_TESTCASE_SOURCEDIR "/fixtures/training-readings.tsv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        int number = 0;
        for (const QByteArray &line : file.readAll().split('\n')) {
            ++number;
            const QList<QByteArray> fields = line.split('\t');
            if (line.isEmpty() || line.startsWith('#'))
                continue;
            QCOMPARE(fields.size(), 2);
            QTest::addRow("line %d", number)
                << unescaped(QString::fromUtf8(fields[0])) << QString::fromUtf8(fields[1]);
        }
    }

    void corpus() {
        const auto [text, expected] = fetch<QString, QString>("text", "expected");
        const Reading reading = read(text);
        const QString got = summary(reading);
        ++corpusLines;
        if (got != expected)
            corpusMisses += QStringLiteral("%1 => %2 (expected %3)").arg(text, got, expected);
        QVERIFY2(got == expected || reading.doubtful,
                 qPrintable(QStringLiteral("read wrong: %1")
                                .arg(summary({reading.exercises, reading.notes, false}))));
    }

    // At least 97% of the corpus is read exactly.
    void corpusRate() {
        for (const QString &miss : std::as_const(corpusMisses))
            qInfo("not read exactly: %s", qPrintable(miss));
        const double rate =
            100.0 * double(corpusLines - corpusMisses.size()) / std::max(1, corpusLines);
        qInfo("read exactly: %.1f%% of %d lines", rate, corpusLines);
        QVERIFY(corpusLines >= 400);
        QVERIFY(rate >= 97);
    }
};

QTEST_GUILESS_MAIN(TestTraining)
#include "test_training.moc"
