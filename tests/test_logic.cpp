// The window-free logic: dates and numbers, clock texts, the height answer, QuitarCaracter,
// Windows-1252 and the report's pieces of 78, and the fuzz targets' properties on their seeds.
#include "../fuzz/invariants.h"
#include "flows/profileanswers.h"
#include "flows/profilestartup.h"
#include "support/diaryfixture.h"
#include "support/tablerows.h"
#include "ui/clocktexts.h"
#include "ui/commandline.h"
#include "ui/textwrap.h"

#include <QDir>
#include <QTest>

namespace {

const char *const fuzzTargets[] = {"fuzz_date_reader", "fuzz_number_reader",
                                   "fuzz_report_formatter", "fuzz_sealed_file",
                                   "fuzz_training_reader"};
QString (*const fuzzChecks[])(const char *, size_t) = {
    fuzzchecks::checkDateInput, fuzzchecks::checkNumberInput, fuzzchecks::checkReportInput,
    fuzzchecks::checkSealedInput, fuzzchecks::checkTrainingInput};

} // namespace

class TestLogic : public QObject {
    Q_OBJECT
private slots:
    // Nothing may depend on the machine's own locale.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void readDate_data() {
        columns<QString, QDate, QString>("text", "expected", "longForm"); // invalid: no date
        row("two digits", "05/12/2026", QDate(2026, 12, 5), "sábado, 5 de diciembre de 2026");
        row("blanks around", " \t5/1/2026 ", QDate(2026, 1, 5), "lunes, 5 de enero de 2026");
        row("points", "31.12.9999", QDate(9999, 12, 31), "viernes, 31 de diciembre de 9999");
        row("two-digit year", "5/12/29", QDate(2029, 12, 5), "miércoles, 5 de diciembre de 2029");
        row("two-digit year, last century", "5/12/30", QDate(1930, 12, 5), "");
        row("leap day", "29/02/2000", QDate(2000, 2, 29), "martes, 29 de febrero de 2000");
        row("year below 1000", "1/1/0015", QDate(15, 1, 1), "jueves, 1 de enero de 0015");
        row("31 February", "31/02/2003", QDate(), "");
        row("mixed separators", "01/12-2003", QDate(), "");
        row("three-digit day", "005/12/2026", QDate(), "");
        row("empty", "", QDate(), "");
        row("trailing text", "05/12/2026 x", QDate(), "");
    }

    void readDate() {
        const auto [text, expected, longForm] =
            fetch<QString, QDate, QString>("text", "expected", "longForm");
        QCOMPARE(dates::readDate(text).value_or(QDate()), expected);
        const QByteArray utf8 = text.toUtf8();
        QCOMPARE(dates::readDateUtf8(utf8.constData(), utf8.size()).value_or(QDate()), expected);
        if (!longForm.isEmpty() || !expected.isValid()) {
            QCOMPARE(dates::longDateOf(text), longForm);
            QByteArray bytes;
            reportformat::appendLongDate(bytes, expected);
            QCOMPARE(bytes, longForm.toLatin1());
        }
    }

    void perendat_data() {
        columns<QDate, QDate, int, int, int>("lo", "hi", "years", "months", "days"); // -1: no value
        const QDate may20(2000, 5, 20);
        row("anniversary", may20, QDate(2003, 5, 20), 3, 0, 0);
        row("ten days short", may20, QDate(2003, 5, 10), 2, 11, 20);
        row("29 February, day before", QDate(2000, 2, 29), QDate(2003, 2, 28), 2, 11, 30);
        row("29 February, 1 March", QDate(2000, 2, 29), QDate(2003, 3, 1), 3, 0, 0);
        row("31st into February, 1 March", QDate(2000, 1, 31), QDate(2003, 3, 1), 3, 1, 0);
        row("31st into February, 4 March", QDate(2000, 1, 31), QDate(2003, 3, 4), 3, 1, 1);
        row("1900 to 9999", QDate(1900, 1, 1), QDate(9999, 12, 31), 8099, 11, 30);
        row("no date", QDate(), QDate(2000, 1, 1), -1, -1, -1);
    }

    void perendat() {
        const auto [lo, hi, years, months, days] =
            fetch<QDate, QDate, int, int, int>("lo", "hi", "years", "months", "days");
        // Either order, and the time of day never counts: the evening before counts as that day.
        for (const auto &[a, b] : {std::pair(lo, hi), std::pair(hi, lo)}) {
            const QDateTime late(a, QTime(23, 59, 59)), early(b, QTime(0, 0));
            QCOMPARE(dates::perendat(late, early, u"a").value_or(-1), years);
            QCOMPARE(dates::perendat(late, early, u"m").value_or(-1), months);
            QCOMPARE(dates::perendat(a, b, u"d").value_or(-1), days);
            for (const char16_t *unit : {u"A", u"D", u"", u"dd"})
                QCOMPARE(dates::perendat(a, b, unit), std::nullopt);
        }
    }

    void readNumber_data() {
        columns<QString, double>("text", "expected"); // NaN: no number
        row("whole", "80", 80.0);
        row("decimal comma", "1,5", 1.5);
        row("decimal point", "1.5", 1.5);
        row("negative", "-3,25", -3.25);
        row("blanks around", "\t 2 ", 2.0);
        row("empty", "", qQNaN());
        row("two separators", "1.500,2", qQNaN());
        row("unit after", "80 kg", qQNaN());
        row("beyond the largest double", QString(400, u'9'), qQNaN());
        row("leading zeros past 128 characters", QString(200, u'0') + QStringLiteral("1,5"), 1.5);
        row("largest double written out", QStringLiteral("17976931348623157") + QString(292, u'0'),
            std::numeric_limits<double>::max());
    }

    void readNumber() {
        const auto [text, expected] = fetch<QString, double>("text", "expected");
        const auto number = dates::readNumber(text);
        QCOMPARE(number.value_or(NAN), expected); // two NaNs compare equal here
        const QByteArray utf8 = text.toUtf8();
        QCOMPARE(dates::readNumberUtf8(utf8.constData(), utf8.size()), number);
    }

    void generalNumber_data() {
        columns<double, QString>("value", "expected");
        row("one and a half", 1.5, "1,5");
        row("15 significant digits", 1.0 / 3.0, "0,333333333333333");
        row("negative zero", -0.0, "0");
        row("no grouping", 1234567.0, "1234567");
        row("large", 1e20, "1E+20");
        row("infinity", qInf(), "");
    }

    void generalNumber() {
        const auto [value, expected] = fetch<double, QString>("value", "expected");
        QCOMPARE(dates::generalNumber(value), expected);
    }

    void clockTexts_data() {
        columns<QDateTime, QString, QString, QString>("now", "gymStart", "birth",
                                                      "expected"); // joined by '|'
        row("both dates", QDateTime(QDate(2026, 12, 5), QTime(14, 5, 9)), "01/01/2025",
            " 29/2/2000",
            "14:05:09|05/12/2026|1 Años, 11 Meses Y 4 Días|26 Años|9 Meses|6 Días|"
            "martes, 29 de febrero de 2000|miércoles, 1 de enero de 2025");
        row("no dates", QDateTime(QDate(2026, 1, 2), QTime(23, 59, 59)), "hoy", "31/02/2000",
            "23:59:59|02/01/2026||||||");
    }

    void clockTexts() {
        const auto [now, gymStart, birth, expected] =
            fetch<QDateTime, QString, QString, QString>("now", "gymStart", "birth", "expected");
        const ClockTexts t = ::clockTexts(now, gymStart, birth);
        QCOMPARE((QStringList{t.time, t.date, t.timeInGym, t.ageYears, t.ageMonths, t.ageDays,
                              t.birthLong, t.gymStartLong}),
                 expected.split(u'|'));
    }
    void readHeight_data() {
        columns<QString, int>("answer", "centimetres"); // 0: no value
        row("whole", "180", 180);
        row("blanks around", " 1.80 ", 180);
        row("highest", "999", 999);
        row("point groups thousands", "1.80", 180);
        row("grouped past the highest", "1.800", 0);
        row("one digit after the point", "1.5", 15);
        row("point after three digits", "180.5", 0);
        row("tie to even, down", "180,5", 180);
        row("tie to even, up", "181,5", 182);
        row("metres with a comma", "1,80", 2);
        row("point after the comma", "1,8.0", 0);
        row("rounds to zero", "0,5", 0);
        row("empty", "", 0);
        row("beyond 32 bits", "99999999999999999999", 0);
    }

    void readHeight() {
        const auto [answer, centimetres] = fetch<QString, int>("answer", "centimetres");
        QCOMPARE(::readHeight(answer).value_or(0), centimetres);
    }

    // Each profile answer that reads but cannot be meant, with the word of its reason.
    void profileProblem_data() {
        columns<QString, QString, QString, QString, QString>("name", "birth", "height", "start",
                                                             "reason"); // empty: none
        row("usable", "Ana", "20/05/1990", "180", "01/01/2000", "");
        row("lowest and highest limits", "Ana", "06/12/2026", "50", "06/12/2026", "");
        row("tallest", "Ana", "20/05/1990", "272", "20/05/1990", "");
        row("empty name", " ", "20/05/1990", "180", "01/01/2000", "Tu Nombre");
        row("born tomorrow", "Ana", "07/12/2026", "180", "01/01/2030", "No Ha Llegado");
        row("no birth date", "Ana", "31/02/1990", "180", "01/01/2000", "Fecha Válida");
        row("metres", "Ana", "20/05/1990", "1,80", "01/01/2000", "Entre 50 Y 272");
        row("too short", "Ana", "20/05/1990", "49", "01/01/2000", "Entre 50 Y 272");
        row("too tall", "Ana", "20/05/1990", "273", "01/01/2000", "Entre 50 Y 272");
        row("no height", "Ana", "20/05/1990", "alto", "01/01/2000", "Solo Números");
        row("gym before birth", "Ana", "20/05/1990", "180", "19/05/1990", "Anterior");
        row("no gym date", "Ana", "20/05/1990", "180", "", "Fecha Válida");
    }

    void profileProblem() {
        const auto [name, birth, height, start, reason] =
            fetch<QString, QString, QString, QString, QString>("name", "birth", "height", "start",
                                                               "reason");
        const std::optional<QString> problem =
            profileanswers::profileProblem({name, birth, height, start}, QDate(2026, 12, 6));
        QCOMPARE(problem.has_value(), !reason.isEmpty());
        QVERIFY(!problem || problem->contains(reason));
    }

    void quitarCaracter_data() {
        columns<QString, bool, QString, QString>("text", "defaultSet", "set", "expected");
        row("long date", "viernes, 5 de diciembre de 2026", true, "", "viernes5dediciembrede2026");
        row("emoji in text", "😀 día", true, "", "😀día");
        row("empty set", "a, b. c", false, "", "a, b. c");
        row("accent counts", "ánade a", false, "a", "ánde ");
        row("emoji in set", "a😀b😁c", false, "😀", "ab😁c");
    }

    void quitarCaracter() {
        const auto [text, defaultSet, set, expected] =
            fetch<QString, bool, QString, QString>("text", "defaultSet", "set", "expected");
        const QString before = text;
        QCOMPARE(defaultSet ? QuitarCaracter(text) : QuitarCaracter(text, set), expected);
        QCOMPARE(text, before);
    }

    // The Windows-1252 bytes of a text, or its pieces of 78 characters for the report.
    void windows1252_data() {
        columns<bool, QString, QByteArray>("pieces", "text", "expected");
        row("spanish", false, "¿ñó?ÁÉÍÓÚÜ", QByteArray("\xbf\xf1\xf3?\xc1\xc9\xcd\xd3\xda\xdc"));
        // The edges of Latin-1: no-break space, ÿ, and the first character past them.
        row("latin-1 edges", false, QStringLiteral("\u00a0\u00ff\u0100"), QByteArray("\xa0\xff?"));
        row("euro and quotes", false, "€“”‘’…–—", QByteArray("\x80\x93\x94\x91\x92\x85\x96\x97"));
        row("upper range letters", false, "ŠšŒœŽžŸƒˆ˜™•†‡‰‹›‚„",
            QByteArray("\x8a\x9a\x8c\x9c\x8e\x9e\x9f\x83\x88\x98"
                       "\x99\x95\x86\x87\x89\x8b\x9b\x82\x84"));
        row("outside the code page", false, "中文", QByteArray("??"));
        row("surrogate pair is one character", false, "a😀b", QByteArray("a?b"));
        row("lone surrogates", false, QString(QChar(0xD800)) + u'x' + QChar(0xDC00),
            QByteArray("?x?"));
        row("c1 controls", false, QString(QChar(0x81)) + QChar(0x9D), QByteArray("??"));
        row("nul", false, QString(QChar(0)) + u'x', QByteArray("?x"));
        row("every line break as CR LF", false, "a\nb\rc\r\nd\n\re\r\r\nf",
            QByteArray("a\r\nb\r\nc\r\nd\r\n\r\ne\r\n\r\nf"));
        const QByteArray a76(76, 'a'), a77(77, 'a'), a78(78, 'a');
        row("pieces, 79", true, QString(78, u'a') + u'b', a78 + "\r\nb\r\n");
        row("pieces, accents count once", true, QString(78, u'ñ') + u'é',
            QByteArray(78, '\xf1') + "\r\n\xe9\r\n");
        // A line break counts as the two characters of CR LF; the slice after it starts mid-line.
        row("pieces, LF inside", true, QString(76, u'a') + QStringLiteral("\nbc"),
            a76 + "\r\n\r\nbc\r\n");
        // A break that would be cut stays whole in its slice.
        row("pieces, CR LF across", true, QString(77, u'a') + QStringLiteral("\r\nb"),
            a77 + "\r\n\r\nb\r\n");
        row("pieces, CR across", true, QString(77, u'a') + QStringLiteral("\rb"),
            a77 + "\r\n\r\nb\r\n");
        row("pieces, emoji not cut", true, QString(77, u'a') + QStringLiteral("😀b"),
            a77 + "?\r\nb\r\n");
    }

    void windows1252() {
        const auto [pieces, text, expected] =
            fetch<bool, QString, QByteArray>("pieces", "text", "expected");
        QByteArray appended("x");
        pieces ? reportformat::appendPieces(appended, text) : windows1252::append(appended, text);
        QCOMPARE(appended, "x" + expected);
    }

    // The longest run of characters between blanks, which chooses how a long text wraps.
    void longestWord() {
        QCOMPARE(textwrap::longestWord(u"ab cde  f"), 3);
        QCOMPARE(textwrap::longestWord(QStringLiteral("abcd\u2029ab ")), 4);
        QCOMPARE(textwrap::longestWord(u""), 0);
    }

    // What each command line prints and its exit code; "" and 0: the program starts.
    void commandLine_data() {
        columns<QStringList, QString, int>("arguments", "startOfText", "exitCode");
        row("nothing", QStringList{}, "", 0);
        row("version", QStringList{"--version"}, "gimnasio ", 0);
        row("short version", QStringList{"-v"}, "gimnasio ", 0);
        row("help after Qt's option", QStringList{"-platform", "offscreen", "--help"}, "Uso:", 0);
        row("short help", QStringList{"-h"}, "Uso:", 0);
        row("reading training texts", QStringList{"--leer-entrenamiento"}, "", 0);
        row("Qt's options alone", QStringList{"--style=fusion", "-reverse", "-session", "x"}, "",
            0);
        row("unknown", QStringList{"--bogus"}, "gimnasio: Opción Desconocida: --bogus", 2);
        row("a file", QStringList{"diario.db"}, "gimnasio: Opción Desconocida: diario.db", 2);
        row("Qt's option without its value", QStringList{"-platform"}, "gimnasio: Opción", 2);
        row("a lone dash", QStringList{"-"}, "gimnasio: Opción", 2);
    }

    void commandLine() {
        const auto [arguments, startOfText, exitCode] =
            fetch<QStringList, QString, int>("arguments", "startOfText", "exitCode");
        const std::optional<commandline::Answer> answer =
            commandline::answer(QStringList{"gimnasio"} + arguments);
        QCOMPARE(answer ? answer->text.left(startOfText.size()) : QString(), startOfText);
        QCOMPARE(answer ? answer->exitCode : 0, exitCode);
        QCOMPARE(answer && answer->isError, exitCode != 0);
    }

    void fuzzSeeds_data() {
        columns<int, QByteArray>("target", "input");
        const QString corpus = QStringLiteral(QT_TESTCASE_SOURCEDIR "/../fuzz/corpus/");
        for (int target = 0; target < int(std::size(fuzzTargets)); ++target) {
            const QFileInfoList files =
                QDir(corpus + fuzzTargets[target]).entryInfoList(QDir::Files);
            QVERIFY(files.size() >= 5); // a corpus gone missing fails instead of passing unseen
            for (const QFileInfo &info : files)
                QTest::addRow("%s/%s", fuzzTargets[target], qPrintable(info.fileName()))
                    << target << fixture::fileBytes(info.filePath());
        }
    }

    void fuzzSeeds() {
        const auto [target, input] = fetch<int, QByteArray>("target", "input");
        const QString failure = fuzzChecks[target](input.constData(), size_t(input.size()));
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
};

QTEST_GUILESS_MAIN(TestLogic)
#include "test_logic.moc"
