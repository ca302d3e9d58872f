#include "dates.h"

#include <QTest>
#include <cfloat>

using namespace dates;

namespace {

QDate day(const char *text) {
    const auto date = readDate(QString::fromLatin1(text));
    if (!date)
        qFatal("not a date: %s", text);
    return *date;
}

} // namespace

class TestDates : public QObject {
    Q_OBJECT
private slots:
    void perendatCountsLikeAnAge_data();
    void perendatCountsLikeAnAge();
    void perendatIgnoresTimeOfDayAndUnknownUnits();
    void perendatBorrowIntoShortMonthIsNeverNegative();

    void readDateAcceptsOnlyRealDays_data();
    void readDateAcceptsOnlyRealDays();
    void readDateUtf8AgreesWithReadDate();

    void readNumber_data();
    void readNumber();

    void generalNumber_data();
    void generalNumber();

    void fixedSpanishForms();
};

void TestDates::perendatCountsLikeAnAge_data() {
    QTest::addColumn<QString>("lo");
    QTest::addColumn<QString>("hi");
    QTest::addColumn<int>("years");
    QTest::addColumn<int>("months");
    QTest::addColumn<int>("days");
    QTest::newRow("anniversary") << "20/05/2000"
                                 << "20/05/2003" << 3 << 0 << 0;
    QTest::newRow("ten days short") << "20/05/2000"
                                    << "10/05/2003" << 2 << 11 << 20;
    QTest::newRow("month after") << "20/05/2000"
                                 << "10/06/2003" << 3 << 0 << 21;
    QTest::newRow("new year") << "31/12/2000"
                              << "01/01/2001" << 0 << 0 << 1;
    QTest::newRow("across december") << "20/12/2002"
                                     << "05/01/2003" << 0 << 0 << 16;
    QTest::newRow("leap day, day before") << "29/02/2000"
                                          << "28/02/2003" << 2 << 11 << 30;
    QTest::newRow("leap day, march") << "29/02/2000"
                                     << "01/03/2003" << 3 << 0 << 0;
    QTest::newRow("same day") << "05/12/2026"
                              << "05/12/2026" << 0 << 0 << 0;
    QTest::newRow("year 1900 to 9999") << "01/01/1900"
                                       << "31/12/9999" << 8099 << 11 << 30;
}

void TestDates::perendatCountsLikeAnAge() {
    QFETCH(QString, lo);
    QFETCH(QString, hi);
    QFETCH(int, years);
    QFETCH(int, months);
    QFETCH(int, days);
    for (const bool swapped : {false, true}) {
        const QDate a = day(qPrintable(swapped ? hi : lo));
        const QDate b = day(qPrintable(swapped ? lo : hi));
        QCOMPARE(perendat(a, b, u"a"), std::optional<int>(years));
        QCOMPARE(perendat(a, b, u"m"), std::optional<int>(months));
        QCOMPARE(perendat(a, b, u"d"), std::optional<int>(days));
    }
}

void TestDates::perendatIgnoresTimeOfDayAndUnknownUnits() {
    const QDateTime birth(QDate(2000, 5, 20), QTime(0, 0));
    const QDateTime now(QDate(2003, 5, 10), QTime(23, 59, 59));
    QCOMPARE(perendat(birth, now, u"a"), std::optional<int>(2));
    QCOMPARE(perendat(birth, now, u"d"), std::optional<int>(20));
    // Two moments of one day are no time apart, whichever comes first.
    const QDateTime morning(QDate(2026, 12, 5), QTime(8, 0));
    const QDateTime evening(QDate(2026, 12, 5), QTime(20, 0));
    for (const char16_t *unit : {u"a", u"m", u"d"}) {
        QCOMPARE(perendat(morning, evening, unit), std::optional<int>(0));
        QCOMPARE(perendat(evening, morning, unit), std::optional<int>(0));
    }
    for (const char16_t *unit : {u"A", u"D", u"", u"dd"})
        QCOMPARE(perendat(birth, now, unit), std::nullopt);
    QCOMPARE(perendat(QDate(), QDate(2000, 1, 1), u"a"), std::nullopt);
}

void TestDates::perendatBorrowIntoShortMonthIsNeverNegative() {
    // The 31st has no match in February: it runs on to 3 March, past hi, and no days are left.
    const QDate lo(2000, 1, 31);
    QCOMPARE(perendat(lo, QDate(2003, 3, 1), u"a"), std::optional<int>(3));
    QCOMPARE(perendat(lo, QDate(2003, 3, 1), u"m"), std::optional<int>(1));
    QCOMPARE(perendat(lo, QDate(2003, 3, 1), u"d"), std::optional<int>(0));
    QCOMPARE(perendat(lo, QDate(2003, 3, 4), u"m"), std::optional<int>(1));
    QCOMPARE(perendat(lo, QDate(2003, 3, 4), u"d"), std::optional<int>(1));
    for (QDate from(2000, 1, 1); from < QDate(2001, 1, 1); from = from.addDays(1)) {
        for (QDate to = from; to < QDate(2002, 3, 1); to = to.addDays(7)) {
            const int months = *perendat(from, to, u"m");
            const int days = *perendat(from, to, u"d");
            QVERIFY2(months >= 0 && months < 12 && days >= 0 && days < 31,
                     qPrintable(from.toString() + u' ' + to.toString()));
        }
    }
}

void TestDates::readDateAcceptsOnlyRealDays_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("two digits") << "05/12/2026" << QDate(2026, 12, 5);
    QTest::newRow("one digit") << "5/12/2026" << QDate(2026, 12, 5);
    QTest::newRow("blanks around") << "  5/1/2026 " << QDate(2026, 1, 5);
    QTest::newRow("dashes") << "5-12-2026" << QDate(2026, 12, 5);
    QTest::newRow("two-digit year") << "5/12/26" << QDate(2026, 12, 5);
    QTest::newRow("two-digit year, last century") << "5/12/75" << QDate(1975, 12, 5);
    QTest::newRow("leap day") << "29/02/2000" << QDate(2000, 2, 29);
    QTest::newRow("year 9999") << "31/12/9999" << QDate(9999, 12, 31);
    QTest::newRow("year 1900") << "01/01/1900" << QDate(1900, 1, 1);
    QTest::newRow("31 February") << "31/02/2003" << QDate();
    QTest::newRow("29 February of a common year") << "29/02/2003" << QDate();
    QTest::newRow("month 13") << "01/13/2003" << QDate();
    QTest::newRow("mixed separators") << "01/12-2003" << QDate();
    QTest::newRow("empty") << "" << QDate();
    QTest::newRow("blanks") << "   " << QDate();
    QTest::newRow("words") << "hoy" << QDate();
    QTest::newRow("trailing text") << "05/12/2026 x" << QDate();
    QTest::newRow("year 0") << "01/01/0000" << QDate();
    QTest::newRow("five-digit year") << "01/01/20260" << QDate();
    QTest::newRow("three-digit day") << "005/12/2026" << QDate();
}

void TestDates::readDateAcceptsOnlyRealDays() {
    QFETCH(QString, text);
    QFETCH(QDate, expected);
    const auto date = readDate(text);
    QCOMPARE(date.value_or(QDate()), expected);
}

void TestDates::readDateUtf8AgreesWithReadDate() {
    for (const char *text : {"05/12/2026", "5/1/26", "31/02/2003", "día", "", "1/1/1"}) {
        const QByteArray bytes(text);
        QCOMPARE(readDateUtf8(bytes.constData(), bytes.size()), readDate(QString::fromUtf8(bytes)));
    }
}

void TestDates::readNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");
    QTest::newRow("whole") << "80" << true << 80.0;
    QTest::newRow("decimal comma") << "1,5" << true << 1.5;
    QTest::newRow("decimal point") << "1.5" << true << 1.5;
    QTest::newRow("blanks around") << " 2 " << true << 2.0;
    QTest::newRow("negative") << "-3,25" << true << -3.25;
    QTest::newRow("leading separator") << ",5" << true << 0.5;
    QTest::newRow("trailing separator") << "5," << true << 5.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("separator alone") << "," << false << 0.0;
    QTest::newRow("two separators") << "1.500,2" << false << 0.0;
    QTest::newRow("unit after") << "80 kg" << false << 0.0;
    QTest::newRow("word") << "mucho" << false << 0.0;
    QTest::newRow("exponent") << "1e5" << false << 0.0;
    QTest::newRow("huge") << QString(400, u'9') << false << 0.0;
    // Found by fuzzing: long texts of an ordinary number were once taken for no number.
    QTest::newRow("leading zeros past 128 characters")
        << QString(200, u'0') + QStringLiteral("1,5") << true << 1.5;
    QTest::newRow("trailing decimal zeros past 128 characters")
        << QStringLiteral("2,") + QString(200, u'0') << true << 2.0;
    QTest::newRow("largest double written out")
        << QStringLiteral("17976931348623157") + QString(292, u'0') << true << DBL_MAX;
}

void TestDates::readNumber() {
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(double, value);
    const auto number = dates::readNumber(text);
    QCOMPARE(number.has_value(), isNumber);
    if (isNumber)
        QCOMPARE(*number, value);
    const QByteArray bytes = text.toUtf8();
    QCOMPARE(readNumberUtf8(bytes.constData(), bytes.size()), number);
}

void TestDates::generalNumber_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one and a half") << 1.5 << "1,5";
    QTest::newRow("whole") << 3.0 << "3";
    QTest::newRow("a third") << 1.0 / 3.0 << "0,333333333333333";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("no grouping") << 1234567.0 << "1234567";
    QTest::newRow("sum of tenths") << 0.1 + 0.2 << "0,3";
    QTest::newRow("negative") << -2.25 << "-2,25";
}

void TestDates::generalNumber() {
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(dates::generalNumber(value), expected);
}

void TestDates::fixedSpanishForms() {
    QCOMPARE(shortDate(QDate(2026, 12, 5)), QStringLiteral("05/12/2026"));
    QCOMPARE(longDate(QDate(2026, 12, 5)), QStringLiteral("sábado, 5 de diciembre de 2026"));
    QCOMPARE(longDateOf(u"4/12/2026"), QStringLiteral("viernes, 4 de diciembre de 2026"));
    QCOMPARE(longDateOf(u"no"), QString());
    QCOMPARE(timeOfDay(QTime(14, 5, 9)), QStringLiteral("14:05:09"));
    // The machine's own locale changes nothing.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(shortDate(QDate(2026, 1, 2)), QStringLiteral("02/01/2026"));
    QCOMPARE(longDate(QDate(2026, 1, 2)), QStringLiteral("viernes, 2 de enero de 2026"));
    QCOMPARE(dates::generalNumber(2.5), QStringLiteral("2,5"));
}

QTEST_GUILESS_MAIN(TestDates)
#include "test_dates.moc"
