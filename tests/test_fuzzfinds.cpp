// The fuzz targets' properties (fuzz/invariants.h) on every seed input of fuzz/corpus and on the
// inputs that fuzz runs have turned up, so that what a fuzz run once found stays fixed.
#include "../fuzz/invariants.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

namespace {

const char *const targets[] = {"fuzz_date_reader", "fuzz_number_reader", "fuzz_report_formatter"};

QString corpusFolder(const QString &target) {
    const QDir here = QFileInfo(QStringLiteral(__FILE__)).absoluteDir();
    return QDir::cleanPath(here.filePath(QStringLiteral("../fuzz/corpus/") + target));
}

// The check of the fuzz target named target on one raw input.
QString checkFor(const QString &target, const QByteArray &input) {
    if (target == u"fuzz_date_reader")
        return fuzzchecks::checkDateInput(input.constData(), size_t(input.size()));
    if (target == u"fuzz_number_reader")
        return fuzzchecks::checkNumberInput(input.constData(), size_t(input.size()));
    if (target == u"fuzz_report_formatter")
        return fuzzchecks::checkReportInput(input.constData(), size_t(input.size()));
    return QStringLiteral("no fuzz target %1").arg(target);
}

QByteArray reportOf(const fuzzchecks::ReportInput &input) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    statsexport::writeSingleReport(buffer, input.profile, input.days);
    return out;
}

// A report input of two dated days with hours and litres, no line breaks in any box.
QByteArray twoDayInput() {
    QStringList lines = {QStringLiteral("Ana"),
                         QStringLiteral("lunes, 5 de enero de 1990"),
                         QStringLiteral("jueves, 1 de enero de 2026"),
                         QStringLiteral("170"),
                         QStringLiteral("36 Años"),
                         QStringLiteral("2 Días"),
                         QStringLiteral("01/01/2026")};
    for (const char *date : {"05/12/2026", "06/12/2026"}) {
        QStringList day(dayfields::BoxCount, QString());
        day[dayfields::Fh] = QString::fromLatin1(date);
        day[dayfields::Hgim] = QStringLiteral("1,5");
        day[dayfields::Lagua] = QStringLiteral("2");
        day[dayfields::Eldiario] = QString(100, QLatin1Char(date[1])); // 100 fives, 100 sixes
        lines += day;
    }
    return lines.join(u'\n').toUtf8();
}

} // namespace

class TestFuzzFinds : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void seedCorporaAreThere();
    void seedInputsKeepEveryProperty_data();
    void seedInputsKeepEveryProperty();

    void foundInputsKeepEveryProperty_data();
    void foundInputsKeepEveryProperty();

    void reportCheckCatchesBrokenOutput_data();
    void reportCheckCatchesBrokenOutput();
};

void TestFuzzFinds::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
}

void TestFuzzFinds::seedCorporaAreThere() {
    for (const char *target : targets) {
        const QDir folder(corpusFolder(QString::fromLatin1(target)));
        QVERIFY2(folder.exists(), qPrintable(folder.path()));
        QVERIFY2(folder.entryList(QDir::Files).size() >= 5, qPrintable(folder.path()));
    }
}

void TestFuzzFinds::seedInputsKeepEveryProperty_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QByteArray>("input");
    for (const char *target : targets) {
        const QString name = QString::fromLatin1(target);
        QDirIterator files(corpusFolder(name), QDir::Files);
        while (files.hasNext()) {
            QFile file(files.next());
            if (!file.open(QIODevice::ReadOnly))
                qFatal("cannot read %s", qPrintable(file.fileName()));
            QTest::newRow(qPrintable(name + u'/' + QFileInfo(file).fileName()))
                << name << file.readAll();
        }
    }
}

void TestFuzzFinds::seedInputsKeepEveryProperty() {
    QFETCH(QString, target);
    QFETCH(QByteArray, input);
    const QString failure = checkFor(target, input);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

void TestFuzzFinds::foundInputsKeepEveryProperty_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QByteArray>("input");
    const QString date = QStringLiteral("fuzz_date_reader");
    const QString number = QStringLiteral("fuzz_number_reader");
    QTest::newRow("date: year below 1000 keeps four digits in the long date")
        << date << QByteArray("1/1/0015");
    QTest::newRow("number: 309 digits, the largest double")
        << number
        << QByteArray("17976931348623157") + QByteArray(292, '0'); // 1.7976931348623157e308
    QTest::newRow("number: 200 leading zeros") << number << QByteArray(200, '0') + "1,5";
    QTest::newRow("number: 300 decimals")
        << number << "0," + QByteArray(299, '3') + "4"; // about a third
    QTest::newRow("number: beyond the largest double") << number << QByteArray(400, '9');
    QTest::newRow("number: below the smallest double")
        << number << "0," + QByteArray(400, '0') + "1";
}

void TestFuzzFinds::foundInputsKeepEveryProperty() {
    QFETCH(QString, target);
    QFETCH(QByteArray, input);
    const QString failure = checkFor(target, input);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

// The report check is no rubber stamp: each kind of damage to a sound report is caught.
void TestFuzzFinds::reportCheckCatchesBrokenOutput_data() {
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<bool>("atEnd");
    QTest::newRow("sound report") << QByteArray() << QByteArray() << false;
    QTest::newRow("last line end without CR") << QByteArray("\r\n") << QByteArray("\n") << true;
    QTest::newRow("no line end at all") << QByteArray("\r\n") << QByteArray() << true;
    QTest::newRow("lone LF inside") << QByteArray("Cena\r\n") << QByteArray("Cena\n") << false;
    QTest::newRow("lone CR inside") << QByteArray("Cena\r\n") << QByteArray("Cena\r") << false;
    QTest::newRow("unassigned byte") << QByteArray("Cena") << QByteArray("C\x81na") << false;
    QTest::newRow("wrong total") << QByteArray(": 3 Media : 1,5") << QByteArray(": 4 Media : 1,5")
                                 << false;
    QTest::newRow("name not in capitals") << QByteArray("ANA") << QByteArray("Ana") << false;
    QTest::newRow("piece of 79") << QByteArray(78, '5') + "\r\n" << QByteArray(79, '5') << false;
    QTest::newRow("span missing") << QByteArray("Desde 01/01/2026") << QByteArray("Desde ")
                                  << false;
}

void TestFuzzFinds::reportCheckCatchesBrokenOutput() {
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(bool, atEnd);
    const QByteArray raw = twoDayInput();
    const fuzzchecks::ReportInput input = fuzzchecks::reportInputOf(raw.constData(), raw.size());
    QByteArray out = reportOf(input);
    QVERIFY(!out.isEmpty());
    if (from.isEmpty()) {
        QCOMPARE(fuzzchecks::checkReportBytes(input, out), QString());
        return;
    }
    const qsizetype at = atEnd ? out.lastIndexOf(from) : out.indexOf(from);
    QVERIFY2(at >= 0, from.constData());
    out.replace(at, from.size(), to);
    QVERIFY(!fuzzchecks::checkReportBytes(input, out).isEmpty());
}

QTEST_GUILESS_MAIN(TestFuzzFinds)
#include "test_fuzzfinds.moc"
