#include "dates.h"
#include "diaryfixture.h"
#include "quitarcaracter.h"
#include "reportformat.h"
#include "statsexport.h"
#include "windows1252.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using dayfields::DayTexts;
using Days = std::vector<DayTexts>;

namespace {

// Expected text written by hand; every character of it lies in Latin-1, which Windows-1252
// shares, so Qt's own Latin-1 conversion gives the expected bytes.
QByteArray ansi(const char *utf8) {
    const QString text = QString::fromUtf8(utf8);
    for (QChar c : text) {
        if (c.unicode() > 0xFF)
            qFatal("expected text outside Latin-1: %s", utf8);
    }
    return text.toLatin1();
}

// Lines, each closed by CR LF.
QByteArray lines(std::initializer_list<QByteArray> list) {
    QByteArray bytes;
    for (const auto &line : list)
        bytes += line + "\r\n";
    return bytes;
}

QByteArray dashes(int count) {
    return QByteArray(count, '-');
}

QByteArray stars() {
    return QByteArray(100, '*');
}

ReportProfile profile(const QString &dayCount = QStringLiteral("1 Días"),
                      const QString &gymStart = QStringLiteral("01/01/2025")) {
    ReportProfile p;
    p.name = QStringLiteral("Ana Pérez");
    p.birthLong = QStringLiteral("lunes, 3 de marzo de 1980");
    p.gymStartLong = QStringLiteral("miércoles, 1 de enero de 2025");
    p.height = QStringLiteral("178");
    p.age = QStringLiteral("45 Años");
    p.dayCount = dayCount;
    p.gymStartTyped = gymStart;
    return p;
}

// The profile block of profile() for a diary ending on 05/12/2026.
QByteArray expectedProfileBlock(const char *dayCount = "1 Días") {
    return lines({stars(), ansi("ANA PÉREZ"), ansi("Fecha De Nacimiento lunes, 3 de marzo de 1980"),
                  ansi("Fecha Primer Día En Gimnasio miércoles, 1 de enero de 2025"),
                  ansi("Altura En Cm.       178"), ansi("Edad De Usuario     45 Años"),
                  ansi("Días Metidos En B.D ") + ansi(dayCount),
                  ansi("Estadísticas En Formato Txt Desde 01/01/2025 Hasta: 05/12/2026"),
                  ansi("Tiempo En Gimnasio  1 Años, 11 Meses Y 4 Días"), stars(), ""});
}

// A day with every box filled, and its block as the format gives it.
DayTexts fullDay() {
    using namespace dayfields;
    return fixture::day({
        {Fh, QStringLiteral("05/12/2026")},
        {Hgim, QStringLiteral("1.5")},
        {Desa, QStringLiteral("Tostadas con aceite")},
        {Comi, QString()},
        {Cena, QString(78, u'c')},
        {Qhash, QString(78, u'q') + u'Q'},
        {Haspi, QStringLiteral("Una manzana\r\ny un té 中")},
        {Dcue, QStringLiteral("38")},
        {Dp, QStringLiteral("100")},
        {Dad, QStringLiteral("30")},
        {Dai, QStringLiteral("29,5")},
        {Dbd, QStringLiteral("35")},
        {Dbi, QStringLiteral("34")},
        {Dc, QStringLiteral("80")},
        {Dpd, QStringLiteral("55")},
        {Dpi, QStringLiteral("54")},
        {Dgd, QStringLiteral("38")},
        {Dgi, QStringLiteral("37")},
        {Dculo, QStringLiteral("95")},
        {Peski, QStringLiteral("78,4")},
        {Horahoy, QStringLiteral("18:00 – 19:30")},
        {Lagua, QStringLiteral("2")},
        {Eldiario, QString(77, u'd') + QStringLiteral("😀fin")},
    });
}

QByteArray expectedFullDayBlock() {
    return lines({
        "Fecha",
        dashes(5),
        ansi("05/12/2026 --> sábado, 5 de diciembre de 2026"),
        "",
        "Horas En El Gimnasio",
        dashes(20),
        "1.5 Horas",
        "",
        "Desayuno",
        dashes(8),
        "Tostadas con aceite",
        "",
        "Comida",
        dashes(6),
        "",
        "Cena",
        dashes(4),
        QByteArray(78, 'c'),
        "",
        ansi("¿ Qúe Has Hecho ?"),
        dashes(17),
        QByteArray(78, 'q'),
        "Q",
        "",
        ansi("¿ Has Picado Algo ?"),
        dashes(19),
        ansi("Una manzana\r\ny un té ?"),
        "",
        "Diametro En Cm De Cuello",
        dashes(24),
        "38 Cm",
        "",
        "Diametro En Cm De Pecho",
        dashes(23),
        "100 Cm",
        "",
        "Diametro En Cm De Antebrazo Derecho",
        dashes(35),
        "30 Cm",
        "",
        "Diametro En Cm De Antebrazo Izquierdo",
        dashes(37),
        "29,5 Cm",
        "",
        "Diametro En Cm De Biceps Derecho",
        dashes(32),
        "35 Cm",
        "",
        "Diametro En Cm De Biceps Izquierdo",
        dashes(34),
        "34 Cm",
        "",
        "Diametro En Cm De Cintura",
        dashes(25),
        "80 Cm",
        "",
        "Diametro En Cm De Pierna Derecha",
        dashes(32),
        "55 Cm",
        "",
        "Diametro En Cm De Pierna Izquierda",
        dashes(34),
        "54 Cm",
        "",
        "Diametro En Cm De Gemelo Derecho",
        dashes(32),
        "38 Cm",
        "",
        "Diametro En Cm De Gemelo Izquierdo",
        dashes(34),
        "37 Cm",
        "",
        "Diametro En Cm De Culo",
        dashes(22),
        "95 Cm",
        "",
        "Peso En Kilogramos",
        dashes(18),
        "78,4 Kilos",
        "",
        ansi("Horario De Este Día"),
        dashes(19),
        "18:00 \x96 19:30",
        "",
        ansi("Litros De Agua Bebidos Este Día"),
        dashes(31),
        "2 Litros",
        "",
        ansi("Diario De sábado, 5 de diciembre de 2026"),
        dashes(55),
        QByteArray(77, 'd') + '?',
        "fin",
        "",
    });
}

// A day with only its date, hours, litres and diary text filled.
DayTexts simpleDay(const QString &date, const QString &hours, const QString &litres,
                   const QString &diary = QString()) {
    using namespace dayfields;
    return fixture::day({{Fh, date}, {Hgim, hours}, {Lagua, litres}, {Eldiario, diary}});
}

// The block of a simpleDay() without diary text; longDate is its date's long form, or empty.
QByteArray expectedSimpleDayBlock(const QByteArray &date, const QByteArray &longDate,
                                  const QByteArray &hours, const QByteArray &litres) {
    QByteArray bytes = lines({"Fecha", dashes(5), date + " --> " + longDate, "",
                              "Horas En El Gimnasio", dashes(20), hours + " Horas", ""});
    for (const char *heading :
         {"Desayuno", "Comida", "Cena", "¿ Qúe Has Hecho ?", "¿ Has Picado Algo ?"})
        bytes += lines({ansi(heading), dashes(int(QString::fromUtf8(heading).size())), ""});
    const std::pair<const char *, int> girths[] = {{"Cuello", 24},
                                                   {"Pecho", 23},
                                                   {"Antebrazo Derecho", 35},
                                                   {"Antebrazo Izquierdo", 37},
                                                   {"Biceps Derecho", 32},
                                                   {"Biceps Izquierdo", 34},
                                                   {"Cintura", 25},
                                                   {"Pierna Derecha", 32},
                                                   {"Pierna Izquierda", 34},
                                                   {"Gemelo Derecho", 32},
                                                   {"Gemelo Izquierdo", 34},
                                                   {"Culo", 22}};
    for (const auto &[part, length] : girths)
        bytes += lines({QByteArray("Diametro En Cm De ") + part, dashes(length), " Cm", ""});
    bytes += lines({"Peso En Kilogramos", dashes(18), " Kilos", ""});
    bytes += lines({ansi("Horario De Este Día"), dashes(19), "", ""});
    bytes += lines({ansi("Litros De Agua Bebidos Este Día"), dashes(31), litres + " Litros", ""});
    bytes += lines({"Diario De " + longDate, dashes(55), ""});
    return bytes;
}

QByteArray totalsLines(const char *litres, const char *litresAverage, const char *hours,
                       const char *hoursAverage) {
    return lines(
        {QByteArray("Litros De Agua Totales Bebidos En Lo Que Llevas Yendo Al Gimnasio : ") +
             litres + " Media: " + litresAverage,
         ansi("Número De Horas Metidas En El Gimnasio Desde Que Te Apuntaste     : ") + hours +
             " Media : " + hoursAverage});
}

QList<QByteArray> splitLines(const QByteArray &bytes) {
    QList<QByteArray> list = bytes.split('\n');
    for (auto &line : list)
        line.chop(line.endsWith('\r') ? 1 : 0);
    return list;
}

QStringList filesIn(const QString &folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// Lets no file written from here on grow beyond a number of bytes, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_ok = getrlimit(RLIMIT_FSIZE, &m_previous) == 0;
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        m_ok = m_ok && setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
    bool m_ok = false;
};

// A device that takes a number of bytes and then fails.
class FailingDevice : public QIODevice {
public:
    explicit FailingDevice(qint64 capacity)
        : m_capacity(capacity) {
        open(WriteOnly);
    }
    QByteArray taken;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override {
        const qint64 room = m_capacity - taken.size();
        if (room <= 0) {
            setErrorString(QStringLiteral("device full"));
            return -1;
        }
        const qint64 count = std::min(room, length);
        taken.append(data, count);
        return count;
    }

private:
    qint64 m_capacity;
};

const QString expectedMessageStart = QStringLiteral("No Se Ha Podido Guardar El Archivo ");
const QString expectedMessageEnd = QStringLiteral(
    ". Comprueba Que La Carpeta Existe, Que Se Puede Escribir En Ella Y Que Hay Sitio En El "
    "Disco.");

} // namespace

class TestReport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void quitarCaracter_data();
    void quitarCaracter();
    void quitarCaracterKeepsTheCallersText();

    void windows1252Bytes_data();
    void windows1252Bytes();

    void longDatesAgreeWithTheDiary();
    void oneDayReportIsExact();
    void runningTotalsAndAverages();
    void averagesWithoutACount_data();
    void averagesWithoutACount();
    void piecesOf78_data();
    void piecesOf78();
    void underlinesMatchTheirHeadings_data();
    void underlinesMatchTheirHeadings();
    void dayWhoseDateIsNoDate();
    void startThatIsNoDate();
    void emptyDiaryWritesNothing();
    void secondRunReplacesTheFirst();
    void largeReportMatchesTheDevice();

    void perDayFilesHoldProfileAndTheirOwnDay();
    void perDayFileNames_data();
    void perDayFileNames();
    void sameDateLaterDayWins();

    void missingFolderIsReported();
    void readOnlyFolderKeepsTheOldReport();
    void readOnlyFolderKeepsTheOldDayFile();
    void leftoverPartIsTakenOver();
    void fullDiskKeepsTheOldReport();
    void fullDiskStopsThePerDayExport();
    void failingDevice_data();
    void failingDevice();
};

void TestReport::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
}

void TestReport::quitarCaracter_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("defaultSet");
    QTest::addColumn<QString>("set");
    QTest::addColumn<QString>("expected");
    QTest::newRow("long date") << "viernes, 5 de diciembre de 2026" << true << ""
                               << "viernes5dediciembrede2026";
    QTest::newRow("time") << "12:30 h." << true << ""
                          << "1230h";
    QTest::newRow("slash date") << "05/12/2026" << true << ""
                                << "05122026";
    QTest::newRow("empty text") << "" << true << ""
                                << "";
    QTest::newRow("only set characters") << " .,:/ ,." << true << ""
                                         << "";
    QTest::newRow("empty set") << "a, b. c" << false << ""
                               << "a, b. c";
    QTest::newRow("one letter") << "Alta" << false << "a"
                                << "Alt";
    QTest::newRow("accent differs") << "ánade a" << false << "a"
                                    << "ánde ";
    QTest::newRow("set order") << "1.2,3" << false << ",."
                               << "123";
    QTest::newRow("no trimming") << "  x  " << false << "y"
                                 << "  x  ";
    QTest::newRow("emoji in set") << "a😀b😁c" << false << "😀"
                                  << "ab😁c";
    QTest::newRow("emoji in text") << "😀 día" << true << ""
                                   << "😀día";
}

void TestReport::quitarCaracter() {
    QFETCH(QString, value);
    QFETCH(bool, defaultSet);
    QFETCH(QString, set);
    QFETCH(QString, expected);
    QCOMPARE(defaultSet ? QuitarCaracter(value) : QuitarCaracter(value, set), expected);
}

void TestReport::quitarCaracterKeepsTheCallersText() {
    const QString text = QStringLiteral("1, 2");
    const QString result = QuitarCaracter(text);
    QCOMPARE(result, QStringLiteral("12"));
    QCOMPARE(text, QStringLiteral("1, 2"));
}

void TestReport::windows1252Bytes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("ascii") << "Ab 1\r\n" << QByteArray("Ab 1\r\n");
    QTest::newRow("spanish") << "¿Añó?ÁÉÍÓÚÜ"
                             << QByteArray("\xbf"
                                           "A\xf1\xf3?\xc1\xc9\xcd\xd3\xda\xdc");
    QTest::newRow("euro and quotes")
        << "€“”‘’…–—" << QByteArray("\x80\x93\x94\x91\x92\x85\x96\x97");
    QTest::newRow("upper range letters") << "ŠšŒœŽžŸƒˆ˜™•†‡‰‹›‚„"
                                         << QByteArray("\x8a\x9a\x8c\x9c\x8e\x9e\x9f\x83\x88\x98"
                                                       "\x99\x95\x86\x87\x89\x8b\x9b\x82\x84");
    QTest::newRow("chinese") << "中文" << QByteArray("??");
    QTest::newRow("emoji is one character") << "a😀b" << QByteArray("a?b");
    QTest::newRow("lone surrogates")
        << QString(QChar(0xD800)) + u'x' + QChar(0xDC00) << QByteArray("?x?");
    QTest::newRow("c1 controls") << QString(QChar(0x81)) + QChar(0x9D) << QByteArray("??");
    QTest::newRow("near misses") << QString(QChar(0x2052)) + QChar(0x20AD) + QChar(0x0122)
                                 << QByteArray("???");
    QTest::newRow("nul") << QString(QChar(0)) + u'x' << QByteArray("?x");
    QTest::newRow("other controls kept") << "a\tb\x1b" << QByteArray("a\tb\x1b");
    QTest::newRow("every line break as CR LF")
        << "a\nb\rc\r\nd\n\re\r\r\nf" << QByteArray("a\r\nb\r\nc\r\nd\r\n\r\ne\r\n\r\nf");
}

void TestReport::windows1252Bytes() {
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(windows1252::encode(text), expected);
    QByteArray appended("x");
    windows1252::append(appended, text);
    QCOMPARE(appended, "x" + expected);
}

void TestReport::longDatesAgreeWithTheDiary() {
    // Every day of two centuries, and the ends of the calendar that dates are read in.
    std::vector<QDate> days = {QDate(1, 1, 1), QDate(999, 12, 31), QDate(9999, 12, 31), QDate()};
    for (QDate day(1930, 1, 1); day.year() < 2130; day = day.addDays(1))
        days.push_back(day);
    for (const QDate &day : days) {
        QByteArray bytes("x");
        reportformat::appendLongDate(bytes, day);
        QCOMPARE(bytes, "x" + windows1252::encode(dates::longDate(day)));
    }
    QByteArray saturday;
    reportformat::appendLongDate(saturday, QDate(2026, 12, 5));
    QCOMPARE(saturday, ansi("sábado, 5 de diciembre de 2026"));
}

void TestReport::oneDayReportIsExact() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const ExportOutcome outcome = statsexport::writeSingleFile(dir.path(), profile(), {fullDay()});
    QVERIFY(outcome.written);
    QVERIFY(outcome.failedFile.isEmpty());
    QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("Estadísticas.TxT")});
    const QByteArray expected =
        expectedProfileBlock() + expectedFullDayBlock() + totalsLines("2", "2", "1,5", "1,5");
    QCOMPARE(fixture::fileBytes(dir.filePath(QStringLiteral("Estadísticas.TxT"))), expected);
}

void TestReport::runningTotalsAndAverages() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const Days days = {
        simpleDay(QStringLiteral("04/12/2026"), QStringLiteral("1.5"), QStringLiteral("2")),
        simpleDay(QStringLiteral("05/12/2026"), QStringLiteral("2,5"), QStringLiteral("4"))};
    QVERIFY(
        statsexport::writeSingleFile(dir.path(), profile(QStringLiteral("2 Días")), days).written);
    const QByteArray expected =
        expectedProfileBlock("2 Días") +
        expectedSimpleDayBlock("04/12/2026", ansi("viernes, 4 de diciembre de 2026"), "1.5", "2") +
        totalsLines("2", "1", "1,5", "0,75") +
        expectedSimpleDayBlock("05/12/2026", ansi("sábado, 5 de diciembre de 2026"), "2,5", "4") +
        totalsLines("6", "3", "4", "2");
    QCOMPARE(fixture::fileBytes(dir.filePath(statsexport::singleFileName)), expected);
}

void TestReport::averagesWithoutACount_data() {
    QTest::addColumn<QString>("dayCount");
    QTest::addColumn<QByteArray>("litresLine");
    QTest::addColumn<QByteArray>("hoursLine");
    const QByteArray litres("Litros De Agua Totales Bebidos En Lo Que Llevas Yendo Al Gimnasio : ");
    const QByteArray hours =
        ansi("Número De Horas Metidas En El Gimnasio Desde Que Te Apuntaste     : ");
    QTest::newRow("zero") << "0 Días" << litres + "3 Media: 0" << hours + "1 Media : 0";
    QTest::newRow("no number") << "Días" << litres + "3 Media: 0" << hours + "1 Media : 0";
    QTest::newRow("empty") << "" << litres + "3 Media: 0" << hours + "1 Media : 0";
    QTest::newRow("three") << "3 Días" << litres + "3 Media: 1"
                           << hours + "1 Media : 0,333333333333333";
    QTest::newRow("leading blank")
        << " 2 Días" << litres + "3 Media: 1,5" << hours + "1 Media : 0,5";
}

void TestReport::averagesWithoutACount() {
    QFETCH(QString, dayCount);
    QFETCH(QByteArray, litresLine);
    QFETCH(QByteArray, hoursLine);
    // Boxes that are no number add nothing and do not stop the export.
    const Days days = {
        simpleDay(QStringLiteral("04/12/2026"), QStringLiteral("1"), QStringLiteral("3")),
        simpleDay(QStringLiteral("05/12/2026"), QStringLiteral("una"), QStringLiteral("")),
        simpleDay(QStringLiteral("06/12/2026"), QString(), QStringLiteral("1.5.2"))};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(statsexport::writeSingleReport(buffer, profile(dayCount), days));
    const QList<QByteArray> all = splitLines(buffer.data());
    QCOMPARE(all.size(), 11 + 3 * (86 + 2) + 1); // the last CR LF leaves an empty tail
    QCOMPARE(all.at(all.size() - 3), litresLine);
    QCOMPARE(all.at(all.size() - 2), hoursLine);
    QCOMPARE(all.last(), QByteArray());
}

void TestReport::piecesOf78_data() {
    QTest::addColumn<QString>("diary");
    QTest::addColumn<QList<QByteArray>>("expected");
    QTest::newRow("0") << QString() << QList<QByteArray>{};
    QTest::newRow("1") << QStringLiteral("x") << QList<QByteArray>{"x"};
    QTest::newRow("78") << QString(78, u'a') << QList<QByteArray>{QByteArray(78, 'a')};
    QTest::newRow("79") << QString(78, u'a') + u'b' << QList<QByteArray>{QByteArray(78, 'a'), "b"};
    QTest::newRow("156") << QString(78, u'a') + QString(78, u'b')
                         << QList<QByteArray>{QByteArray(78, 'a'), QByteArray(78, 'b')};
    QTest::newRow("accents count once")
        << QString(78, u'ñ') + u'é' << QList<QByteArray>{QByteArray(78, '\xf1'), "\xe9"};
    // A line break is an ordinary character of its slice that counts as the two of CR LF; the
    // slice after it starts mid-line.
    QTest::newRow("line break inside") << QString(76, u'a') + QStringLiteral("\r\nbc")
                                       << QList<QByteArray>{QByteArray(76, 'a') + "\r\n", "bc"};
    QTest::newRow("lone line feed inside") << QString(76, u'a') + QStringLiteral("\nbc")
                                           << QList<QByteArray>{QByteArray(76, 'a') + "\r\n", "bc"};
    // A break that would be cut stays whole in its slice, which then ends with an empty line.
    QTest::newRow("line break across") << QString(77, u'a') + QStringLiteral("\r\nb")
                                       << QList<QByteArray>{QByteArray(77, 'a') + "\r\n", "b"};
    QTest::newRow("lone carriage return across")
        << QString(77, u'a') + QStringLiteral("\rb")
        << QList<QByteArray>{QByteArray(77, 'a') + "\r\n", "b"};
    QTest::newRow("emoji not cut") << QString(77, u'a') + QStringLiteral("😀b")
                                   << QList<QByteArray>{QByteArray(77, 'a') + '?', "b"};
}

void TestReport::piecesOf78() {
    QFETCH(QString, diary);
    QFETCH(QList<QByteArray>, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const DayTexts day =
        simpleDay(QStringLiteral("05/12/2026"), QStringLiteral("1"), QStringLiteral("1"), diary);
    QVERIFY(statsexport::writePerDayFiles(dir.path(), profile(), {day}).written);
    const QByteArray bytes =
        fixture::fileBytes(dir.filePath(QStringLiteral("sábado5dediciembrede2026.TxT")));
    QByteArray pieces;
    for (const auto &piece : expected)
        pieces += piece + "\r\n";
    const QByteArray tail = dashes(55) + "\r\n" + pieces + "\r\n";
    QVERIFY2(bytes.endsWith(tail), bytes.right(tail.size() + 20).constData());
    QCOMPARE(bytes.indexOf(dashes(55)), bytes.size() - tail.size());
}

void TestReport::underlinesMatchTheirHeadings_data() {
    QTest::addColumn<QByteArray>("heading");
    QTest::addColumn<int>("length");
    const std::pair<const char *, int> table[] = {
        {"Fecha", 5},
        {"Horas En El Gimnasio", 20},
        {"Desayuno", 8},
        {"Comida", 6},
        {"Cena", 4},
        {"¿ Qúe Has Hecho ?", 17},
        {"¿ Has Picado Algo ?", 19},
        {"Diametro En Cm De Cuello", 24},
        {"Diametro En Cm De Pecho", 23},
        {"Diametro En Cm De Antebrazo Derecho", 35},
        {"Diametro En Cm De Antebrazo Izquierdo", 37},
        {"Diametro En Cm De Biceps Derecho", 32},
        {"Diametro En Cm De Biceps Izquierdo", 34},
        {"Diametro En Cm De Cintura", 25},
        {"Diametro En Cm De Pierna Derecha", 32},
        {"Diametro En Cm De Pierna Izquierda", 34},
        {"Diametro En Cm De Gemelo Derecho", 32},
        {"Diametro En Cm De Gemelo Izquierdo", 34},
        {"Diametro En Cm De Culo", 22},
        {"Peso En Kilogramos", 18},
        {"Horario De Este Día", 19},
        {"Litros De Agua Bebidos Este Día", 31},
    };
    for (const auto &[heading, length] : table)
        QTest::newRow(heading) << ansi(heading) << length;
}

void TestReport::underlinesMatchTheirHeadings() {
    QFETCH(QByteArray, heading);
    QFETCH(int, length);
    QCOMPARE(heading.size(), length); // the table's lengths are the headings' lengths
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(statsexport::writeSingleReport(buffer, profile(), {fullDay()}));
    const QList<QByteArray> all = splitLines(buffer.data());
    QCOMPARE(all.count(heading), 1);
    const auto at = all.indexOf(heading);
    QCOMPARE(all.at(at + 1), dashes(length));
}

void TestReport::dayWhoseDateIsNoDate() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // Days that are no date come after the dated ones; the span ends at the last dated day.
    const Days days = {
        simpleDay(QStringLiteral("05/12/2026"), QStringLiteral("1"), QStringLiteral("1")),
        simpleDay(QStringLiteral("sin fecha"), QStringLiteral("2"), QStringLiteral("3"))};
    QVERIFY(
        statsexport::writeSingleFile(dir.path(), profile(QStringLiteral("2 Días")), days).written);
    const QByteArray expected =
        expectedProfileBlock("2 Días") +
        expectedSimpleDayBlock("05/12/2026", ansi("sábado, 5 de diciembre de 2026"), "1", "1") +
        totalsLines("1", "0,5", "1", "0,5") + expectedSimpleDayBlock("sin fecha", "", "2", "3") +
        totalsLines("4", "2", "3", "1,5");
    QCOMPARE(fixture::fileBytes(dir.filePath(statsexport::singleFileName)), expected);

    QVERIFY(
        statsexport::writePerDayFiles(dir.path(), profile(QStringLiteral("2 Días")), days).written);
    QCOMPARE(fixture::fileBytes(dir.filePath(QStringLiteral("sinfecha.TxT"))),
             expectedProfileBlock("2 Días") + expectedSimpleDayBlock("sin fecha", "", "2", "3"));
}

void TestReport::startThatIsNoDate() {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const Days noDates = {
        simpleDay(QStringLiteral("mañana"), QStringLiteral("1"), QStringLiteral("1"))};
    QVERIFY(statsexport::writeSingleReport(
        buffer, profile(QStringLiteral("1 Días"), QStringLiteral("31/02/2025")), noDates));
    const QList<QByteArray> all = splitLines(buffer.data());
    QCOMPARE(all.at(7), ansi("Estadísticas En Formato Txt Desde  Hasta: "));
    QCOMPARE(all.at(8), ansi("Tiempo En Gimnasio   Años,  Meses Y  Días"));

    // A start that is a date is still written when the days have none.
    const QByteArray block = statsexport::profileBlock(profile(), noDates);
    QCOMPARE(splitLines(block).at(7), ansi("Estadísticas En Formato Txt Desde 01/01/2025 Hasta: "));
    QCOMPARE(splitLines(block).at(8), ansi("Tiempo En Gimnasio   Años,  Meses Y  Días"));
}

void TestReport::emptyDiaryWritesNothing() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const ExportOutcome single = statsexport::writeSingleFile(dir.path(), profile(), {});
    const ExportOutcome perDay = statsexport::writePerDayFiles(dir.path(), profile(), {});
    QVERIFY(!single.written);
    QVERIFY(!perDay.written);
    QVERIFY(single.failedFile.isEmpty());
    QVERIFY(perDay.failedFile.isEmpty());
    QVERIFY(statsexport::cannotSaveMessage(single).isEmpty());
    QVERIFY(filesIn(dir.path()).isEmpty());
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(statsexport::writeSingleReport(buffer, profile(), {}));
    QVERIFY(buffer.data().isEmpty());
}

void TestReport::secondRunReplacesTheFirst() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(statsexport::writeSingleFile(dir.path(), profile(), {fullDay()}).written);
    const Days second = {
        simpleDay(QStringLiteral("05/12/2026"), QStringLiteral("3"), QStringLiteral("1"))};
    QVERIFY(statsexport::writeSingleFile(dir.path(), profile(), second).written);
    QCOMPARE(
        fixture::fileBytes(dir.filePath(statsexport::singleFileName)),
        expectedProfileBlock() +
            expectedSimpleDayBlock("05/12/2026", ansi("sábado, 5 de diciembre de 2026"), "3", "1") +
            totalsLines("1", "1", "3", "3"));
    QCOMPARE(filesIn(dir.path()), QStringList{statsexport::singleFileName});
}

void TestReport::largeReportMatchesTheDevice() {
    // Enough days to be written in several chunks.
    Days days;
    QDate date(2020, 1, 1);
    for (int i = 0; i < 700; ++i, date = date.addDays(1)) {
        DayTexts day = fullDay();
        day[dayfields::Fh] = date.toString(QStringLiteral("dd/MM/yyyy"));
        day[dayfields::Eldiario] = QString(1500, u'x');
        days.push_back(day);
    }
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const ReportProfile p = profile(QStringLiteral("700 Días"));
    QVERIFY(statsexport::writeSingleFile(dir.path(), p, days).written);
    const QByteArray bytes = fixture::fileBytes(dir.filePath(statsexport::singleFileName));
    QVERIFY(bytes.size() > 2 * 1024 * 1024);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(statsexport::writeSingleReport(buffer, p, days));
    QCOMPARE(buffer.data(), bytes);
    QVERIFY(bytes.endsWith(totalsLines("1400", "2", "1050", "1,5")));
    QCOMPARE(bytes.count(ansi("Diario De ")), 700);
}

void TestReport::perDayFilesHoldProfileAndTheirOwnDay() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const Days days = {
        simpleDay(QStringLiteral("03/12/2026"), QStringLiteral("1"), QStringLiteral("1")),
        simpleDay(QStringLiteral("4/12/2026"), QStringLiteral("2"), QStringLiteral("2")),
        fullDay()};
    const ExportOutcome outcome =
        statsexport::writePerDayFiles(dir.path(), profile(QStringLiteral("3 Días")), days);
    QVERIFY(outcome.written);
    QStringList expectedNames = {QStringLiteral("jueves3dediciembrede2026.TxT"),
                                 QStringLiteral("viernes4dediciembrede2026.TxT"),
                                 QStringLiteral("sábado5dediciembrede2026.TxT")};
    QStringList names = filesIn(dir.path());
    names.sort();
    expectedNames.sort();
    QCOMPARE(names, expectedNames);

    const QByteArray head = expectedProfileBlock("3 Días");
    QCOMPARE(fixture::fileBytes(dir.filePath(QStringLiteral("jueves3dediciembrede2026.TxT"))),
             head + expectedSimpleDayBlock("03/12/2026", ansi("jueves, 3 de diciembre de 2026"),
                                           "1", "1"));
    QCOMPARE(fixture::fileBytes(dir.filePath(QStringLiteral("viernes4dediciembrede2026.TxT"))),
             head + expectedSimpleDayBlock("4/12/2026", ansi("viernes, 4 de diciembre de 2026"),
                                           "2", "2"));
    // No totals lines: the file ends with the empty line after the diary text.
    const QByteArray last =
        fixture::fileBytes(dir.filePath(QStringLiteral("sábado5dediciembrede2026.TxT")));
    QCOMPARE(last, head + expectedFullDayBlock());
    QVERIFY(last.endsWith("fin\r\n\r\n"));

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(statsexport::writeDayReport(
        buffer, statsexport::profileBlock(profile(QStringLiteral("3 Días")), days), fullDay()));
    QCOMPARE(buffer.data(), last);
}

void TestReport::perDayFileNames_data() {
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("expected");
    QTest::newRow("saturday") << "05/12/2026"
                              << "sábado5dediciembrede2026.TxT";
    QTest::newRow("wednesday") << "1-1-2025"
                               << "miércoles1deenerode2025.TxT";
    QTest::newRow("two-digit day") << "28.02.2024"
                                   << "miércoles28defebrerode2024.TxT";
    QTest::newRow("blanks around") << " 10/08/2023 "
                                   << "jueves10deagostode2023.TxT";
    QTest::newRow("not a date") << "ayer, a las 10:00"
                                << "ayeralas1000.TxT";
    QTest::newRow("empty") << ""
                           << "SinFecha.TxT";
    QTest::newRow("only dots") << ".."
                               << "SinFecha.TxT";
    QTest::newRow("climbing out") << "../../etc/x"
                                  << "etcx.TxT";
    QTest::newRow("controls dropped")
        << QStringLiteral("a\tb") + QChar(1) + u'c' + QChar(0) << "abc.TxT";
    // A file name holds 255 bytes; the part file written first adds six.
    QTest::newRow("too long for a file name")
        << QString(300, u'x') << QString(245, u'x') + QStringLiteral(".TxT");
    QTest::newRow("too long, cut at a character's end")
        << QString(122, u'ñ') + QStringLiteral("😀😀") << QString(122, u'ñ') + QStringLiteral(".TxT");
}

void TestReport::perDayFileNames() {
    QFETCH(QString, date);
    QFETCH(QString, expected);
    const DayTexts day = simpleDay(date, QStringLiteral("1"), QStringLiteral("1"));
    const QString name = statsexport::dayFileName(day);
    QCOMPARE(name, expected);
    const QString base = name.chopped(4);
    for (QChar c : {u' ', u',', u'.', u':', u'/'})
        QVERIFY2(!base.contains(c), qPrintable(name));

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(statsexport::writePerDayFiles(dir.path(), profile(), {day}).written);
    QCOMPARE(filesIn(dir.path()), QStringList{expected});
}

void TestReport::sameDateLaterDayWins() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const Days days = {simpleDay(QStringLiteral("05/12/2026"), QStringLiteral("1"),
                                 QStringLiteral("1"), QStringLiteral("primero")),
                       simpleDay(QStringLiteral("5/12/2026"), QStringLiteral("2"),
                                 QStringLiteral("2"), QStringLiteral("segundo"))};
    QVERIFY(statsexport::writePerDayFiles(dir.path(), profile(), days).written);
    QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("sábado5dediciembrede2026.TxT")});
    const QByteArray bytes =
        fixture::fileBytes(dir.filePath(QStringLiteral("sábado5dediciembrede2026.TxT")));
    QVERIFY(bytes.endsWith(dashes(55) + "\r\nsegundo\r\n\r\n"));
    QVERIFY(!bytes.contains("primero"));
    QVERIFY(bytes.contains("\r\n5/12/2026 --> "));
}

void TestReport::missingFolderIsReported() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("no existe"));
    const ExportOutcome single = statsexport::writeSingleFile(folder, profile(), {fullDay()});
    QVERIFY(!single.written);
    QCOMPARE(single.failedFile, folder + QStringLiteral("/Estadísticas.TxT"));
    QVERIFY(!single.reason.isEmpty());
    QCOMPARE(statsexport::cannotSaveMessage(single), expectedMessageStart + folder +
                                                         QStringLiteral("/Estadísticas.TxT") +
                                                         expectedMessageEnd);

    const ExportOutcome perDay = statsexport::writePerDayFiles(folder, profile(), {fullDay()});
    QVERIFY(!perDay.written);
    QCOMPARE(perDay.failedFile, folder + QStringLiteral("/sábado5dediciembrede2026.TxT"));
    QVERIFY(!QFileInfo::exists(folder)); // the folder is never created
}

void TestReport::readOnlyFolderKeepsTheOldReport() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(statsexport::writeSingleFile(dir.path(), profile(), {fullDay()}).written);
    const QString report = dir.filePath(statsexport::singleFileName);
    const QByteArray old = fixture::fileBytes(report);
    if (!fixture::setWritable(dir.path(), false))
        QSKIP("this machine cannot make a folder unwritable");
    const auto restore = qScopeGuard([&] { fixture::setWritable(dir.path(), true); });

    const Days other = {
        simpleDay(QStringLiteral("06/12/2026"), QStringLiteral("1"), QStringLiteral("1"))};
    const ExportOutcome outcome = statsexport::writeSingleFile(dir.path(), profile(), other);
    QVERIFY(!outcome.written);
    QCOMPARE(outcome.failedFile, report);
    QCOMPARE(statsexport::cannotSaveMessage(outcome),
             expectedMessageStart + report + expectedMessageEnd);
    QCOMPARE(fixture::fileBytes(report), old);
    QCOMPARE(filesIn(dir.path()), QStringList{statsexport::singleFileName});
}

void TestReport::readOnlyFolderKeepsTheOldDayFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const Days before = {simpleDay(QStringLiteral("05/12/2026"), QStringLiteral("1"),
                                   QStringLiteral("1"), QStringLiteral("antes"))};
    QVERIFY(statsexport::writePerDayFiles(dir.path(), profile(), before).written);
    const QString dayFile = dir.filePath(QStringLiteral("sábado5dediciembrede2026.TxT"));
    const QByteArray old = fixture::fileBytes(dayFile);
    if (!fixture::setWritable(dir.path(), false))
        QSKIP("this machine cannot make a folder unwritable");
    const auto restore = qScopeGuard([&] { fixture::setWritable(dir.path(), true); });

    const Days after = {simpleDay(QStringLiteral("05/12/2026"), QStringLiteral("1"),
                                  QStringLiteral("1"), QStringLiteral("después"))};
    const ExportOutcome outcome = statsexport::writePerDayFiles(dir.path(), profile(), after);
    QVERIFY(!outcome.written);
    QCOMPARE(outcome.failedFile, dayFile);
    QCOMPARE(statsexport::cannotSaveMessage(outcome),
             expectedMessageStart + dayFile + expectedMessageEnd);
    QCOMPARE(fixture::fileBytes(dayFile), old);
    QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("sábado5dediciembrede2026.TxT")});
}

void TestReport::leftoverPartIsTakenOver() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // What an export cut off in the middle of a file would have left.
    QFile leftover(dir.filePath(QStringLiteral(".sábado5dediciembrede2026.TxT.part")));
    QVERIFY(leftover.open(QIODevice::WriteOnly));
    QVERIFY(leftover.write("a half-written file that is much longer than the new one") > 0);
    leftover.close();

    const Days days = {
        simpleDay(QStringLiteral("05/12/2026"), QStringLiteral("1"), QStringLiteral("1"))};
    QVERIFY(statsexport::writePerDayFiles(dir.path(), profile(), days).written);
    QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("sábado5dediciembrede2026.TxT")});
    QCOMPARE(fixture::fileBytes(dir.filePath(QStringLiteral("sábado5dediciembrede2026.TxT"))),
             expectedProfileBlock() + expectedSimpleDayBlock("05/12/2026",
                                                             ansi("sábado, 5 de diciembre de 2026"),
                                                             "1", "1"));
}

void TestReport::fullDiskKeepsTheOldReport() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(statsexport::writeSingleFile(dir.path(), profile(), {fullDay()}).written);
    const QString report = dir.filePath(statsexport::singleFileName);
    const QByteArray old = fixture::fileBytes(report);
    QVERIFY(old.size() > 2000);

    Days longer = {fullDay(), fullDay()};
    longer[1][dayfields::Fh] = QStringLiteral("06/12/2026");
    ExportOutcome outcome;
    {
        FileSizeLimit limit(1000);
        QVERIFY(limit.ok());
        outcome = statsexport::writeSingleFile(dir.path(), profile(), longer);
    }
    QVERIFY(!outcome.written);
    QCOMPARE(outcome.failedFile, report);
    QVERIFY2(outcome.reason.contains(QStringLiteral("large")), qPrintable(outcome.reason));
    QCOMPARE(fixture::fileBytes(report), old);
    // Nothing half-written is left behind.
    QCOMPARE(filesIn(dir.path()), QStringList{statsexport::singleFileName});
}

void TestReport::fullDiskStopsThePerDayExport() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const Days days = {
        simpleDay(QStringLiteral("03/12/2026"), QStringLiteral("1"), QStringLiteral("1")),
        simpleDay(QStringLiteral("04/12/2026"), QStringLiteral("1"), QStringLiteral("1"),
                  QString(5000, u'z')),
        simpleDay(QStringLiteral("05/12/2026"), QStringLiteral("1"), QStringLiteral("1"))};
    ExportOutcome outcome;
    {
        FileSizeLimit limit(4000);
        QVERIFY(limit.ok());
        outcome =
            statsexport::writePerDayFiles(dir.path(), profile(QStringLiteral("3 Días")), days);
    }
    QVERIFY(!outcome.written);
    QCOMPARE(outcome.failedFile, dir.filePath(QStringLiteral("viernes4dediciembrede2026.TxT")));
    QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("jueves3dediciembrede2026.TxT")});
    QCOMPARE(
        fixture::fileBytes(dir.filePath(QStringLiteral("jueves3dediciembrede2026.TxT"))),
        expectedProfileBlock("3 Días") +
            expectedSimpleDayBlock("03/12/2026", ansi("jueves, 3 de diciembre de 2026"), "1", "1"));
}

void TestReport::failingDevice_data() {
    QTest::addColumn<qint64>("capacity");
    QTest::newRow("nothing") << qint64(0);
    QTest::newRow("ten bytes") << qint64(10);
    QTest::newRow("inside the profile block") << qint64(500);
    QTest::newRow("one byte short") << qint64(-1);
}

void TestReport::failingDevice() {
    QFETCH(qint64, capacity);
    const Days days = {fullDay(), fullDay()};
    QBuffer whole;
    whole.open(QIODevice::WriteOnly);
    QVERIFY(statsexport::writeSingleReport(whole, profile(), days));
    if (capacity < 0)
        capacity += whole.data().size();

    FailingDevice device(capacity);
    QVERIFY(!statsexport::writeSingleReport(device, profile(), days));
    QVERIFY(whole.data().startsWith(device.taken));
    QCOMPARE(device.taken.size(), capacity);

    const QByteArray profileBytes = statsexport::profileBlock(profile(), days);
    QBuffer wholeDay;
    wholeDay.open(QIODevice::WriteOnly);
    QVERIFY(statsexport::writeDayReport(wholeDay, profileBytes, fullDay()));
    FailingDevice dayDevice(std::min(capacity, wholeDay.data().size() - 1));
    QVERIFY(!statsexport::writeDayReport(dayDevice, profileBytes, fullDay()));
    QVERIFY(wholeDay.data().startsWith(dayDevice.taken));

    FailingDevice roomy(whole.data().size());
    QVERIFY(statsexport::writeSingleReport(roomy, profile(), days));
    QCOMPARE(roomy.taken, whole.data());
}

QTEST_GUILESS_MAIN(TestReport)
#include "test_report.moc"
