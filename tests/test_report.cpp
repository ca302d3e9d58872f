// The statistics reports: the exact bytes of both exports, the totals, the per-day file names and
// what a failed export leaves behind.
#include "data/dates.h"
#include "data/daystore.h"
#include "report/csvexport.h"
#include "report/csvimport.h"
#include "report/reportformat.h"
#include "report/statsexport.h"
#include "support/diaryfixture.h"
#include "support/tablerows.h"

#include <QBuffer>
#include <QDir>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using namespace dayfields;
using Days = std::vector<DayTexts>;

namespace {

const QDate today(2026, 12, 6);

struct Trickle : QBuffer {
    qint64 writeData(const char *data, qint64 size) override {
        return QBuffer::writeData(data, size > 1 ? size - 1 : size); // always a byte short
    }
};

// Expected text written in Latin-1 characters, which Windows-1252 shares, with \n for CR LF.
QByteArray crlf(const QString &text) {
    if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0xFF; }))
        qFatal("expected text outside Latin-1");
    return text.toLatin1().replace("\n", "\r\n");
}

ReportProfile profile(const QString &name = QStringLiteral("Ana Pérez")) {
    const QStringList f = QStringLiteral("lunes, 3 de marzo de 1980|miércoles, 1 de enero de 2025|"
                                         "178|45 Años|4 Días|01/01/2025")
                              .split(u'|');
    return {name, f[0], f[1], f[2], f[3], f[4], f[5]};
}

// A day from its 23 boxes in walk order, joined by '|'.
DayTexts day(const QString &boxes) {
    DayTexts texts;
    const QStringList list = boxes.split(u'|');
    std::copy(list.begin(), list.end(), texts.begin());
    return texts;
}

const QString c78(78, u'c'), q78(78, u'q'), d76(76, u'd');
// A dated day with every box filled (accents, a line break, texts of more than 78 characters),
// and an undated one whose litres are no number.
const DayTexts full =
    day(QStringLiteral("05/12/2026|1.5|Tostadas con aceite||%1|%2Q|Una manzana\r\ny "
                       "un té 中|38|30|35|80|54|37|100|29,5|34|55|38|95|78,4|"
                       "18:00 - 19:30|2|%3\nsegunda línea 😀")
            .arg(c78, q78, d76));
const DayTexts undated = day("sin fecha|2,5" + QString(20, u'|') + "no sé|Día ñ");

// The day block, each '@' replaced by the next of texts; a text box's '@' takes its lines.
QByteArray dayBlock(const QStringList &texts) {
    QString block = QStringLiteral(
        "Fecha\n-----\n@ --> @\n\nHoras En El Gimnasio\n--------------------\n@ Horas\n\n"
        "Desayuno\n--------\n@\nComida\n------\n@\nCena\n----\n@\n"
        "¿ Qúe Has Hecho ?\n-----------------\n@\n¿ Has Picado Algo ?\n-------------------\n@\n"
        "Diametro En Cm De Cuello\n------------------------\n@ Cm\n\n"
        "Diametro En Cm De Pecho\n-----------------------\n@ Cm\n\n"
        "Diametro En Cm De Antebrazo Derecho\n-----------------------------------\n@ Cm\n\n"
        "Diametro En Cm De Antebrazo Izquierdo\n-------------------------------------\n@ Cm\n\n"
        "Diametro En Cm De Biceps Derecho\n--------------------------------\n@ Cm\n\n"
        "Diametro En Cm De Biceps Izquierdo\n----------------------------------\n@ Cm\n\n"
        "Diametro En Cm De Cintura\n-------------------------\n@ Cm\n\n"
        "Diametro En Cm De Pierna Derecha\n--------------------------------\n@ Cm\n\n"
        "Diametro En Cm De Pierna Izquierda\n----------------------------------\n@ Cm\n\n"
        "Diametro En Cm De Gemelo Derecho\n--------------------------------\n@ Cm\n\n"
        "Diametro En Cm De Gemelo Izquierdo\n----------------------------------\n@ Cm\n\n"
        "Diametro En Cm De Culo\n----------------------\n@ Cm\n\n"
        "Peso En Kilogramos\n------------------\n@ Kilos\n\n"
        "Horario De Este Día\n-------------------\n@\n\n"
        "Litros De Agua Bebidos Este Día\n-------------------------------\n@ Litros\n\n"
        "Diario De @\n-------------------------------------------------------\n@\n");
    for (const QString &text : texts)
        block.replace(block.indexOf(u'@'), 1, text);
    return crlf(block);
}

QByteArray fullBlock() {
    return dayBlock(
        QStringLiteral("05/12/2026|%1|1.5|Tostadas con aceite\n||%2\n|%3\nQ\n|Una "
                       "manzana\ny un té ?\n|38|100|30|29,5|35|34|80|55|54|38|37|95|78,4|"
                       "18:00 - 19:30|2|%1|%4\n\nsegunda línea ?\n")
            .arg(QStringLiteral("sábado, 5 de diciembre de 2026"), c78, q78, d76)
            .split(u'|'));
}

QByteArray undatedBlock() {
    return dayBlock(("sin fecha||2,5" + QString(20, u'|') + "no sé||Día ñ\n").split(u'|'));
}

const QString wholeSpan = QStringLiteral(
    "Desde 01/01/2025 Hasta: 05/12/2026\nTiempo En Gimnasio  1 Años, 11 Meses Y 4 Días");

// The profile block of profile() for days ending on 05/12/2026.
QByteArray head(const QString &dayCount = QStringLiteral("4 Días"),
                const QString &span = wholeSpan) {
    return crlf(QString(100, u'*') +
                "\nANA PÉREZ\nFecha De Nacimiento lunes, 3 de marzo de 1980\n"
                "Fecha Primer Día En Gimnasio miércoles, 1 de enero de 2025\nAltura En Cm.       "
                "178\nEdad De Usuario     45 Años\nDías Metidos En B.D " +
                dayCount + "\nEstadísticas En Formato Txt " + span + u'\n' + QString(100, u'*') +
                "\n\n");
}

QByteArray totals(const char *litres, const char *hours) {
    return crlf(QStringLiteral("Litros De Agua Totales Bebidos En Lo Que Llevas Yendo Al Gimnasio "
                               ": %1\nNúmero De Horas Metidas En El Gimnasio Desde Que Te "
                               "Apuntaste     : %2\n")
                    .arg(QLatin1StringView(litres), QLatin1StringView(hours)));
}

QMap<QString, QByteArray> contents(const QString &folder) {
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        files[name] = fixture::fileBytes(folder + u'/' + name);
    return files;
}

} // namespace

class TestReport : public QObject {
    Q_OBJECT
private slots:
    // The CSV file: every text exactly, quoted only where the separator, a quote or a line break
    // asks for it, in both forms.
    void csvKeepsEveryText_data() {
        columns<int, QByteArray>("preset", "expected");
        const QByteArray header = "fecha;horas_gimnasio;desayuno;comida;cena;que_has_hecho;"
                                  "has_picado;cuello;antebrazo_derecho;biceps_derecho;cintura;"
                                  "pierna_izquierda;gemelo_izquierdo;pecho;antebrazo_izquierdo;"
                                  "biceps_izquierdo;pierna_derecha;gemelo_derecho;culo;peso;"
                                  "horario;agua;diario\r\n";
        row("spreadsheet", int(csvexport::Preset::Spreadsheet),
            "\xEF\xBB\xBF" + header +
                "05/12/2026;1,5;\"Tostadas; caf\xC3\xA9 \"\"solo\"\"\";;;;;;;;;;;;;;;;;080;;;"
                "\"L\xC3\xADnea 1\nL\xC3\xADnea 2 \xF0\x9F\x92\xAA\"\r\n" +
                QByteArray(22, ';') + "\r\n");
        row("standard", int(csvexport::Preset::Standard),
            QByteArray(header).replace(';', ',') +
                "05/12/2026,\"1,5\",\"Tostadas; caf\xC3\xA9 \"\"solo\"\"\",,,,,,,,,,,,,,,,,080,,,"
                "\"L\xC3\xADnea 1\nL\xC3\xADnea 2 \xF0\x9F\x92\xAA\"\r\n" +
                QByteArray(22, ',') + "\r\n");
    }
    void csvKeepsEveryText() {
        const auto [preset, expected] = fetch<int, QByteArray>("preset", "expected");
        const std::vector<dayfields::DayTexts> days{
            fixture::day({{dayfields::Fh, QStringLiteral("05/12/2026")},
                          {dayfields::Hgim, QStringLiteral("1,5")},
                          {dayfields::Desa, QStringLiteral("Tostadas; café \"solo\"")},
                          {dayfields::Peski, QStringLiteral("080")},
                          {dayfields::Eldiario, QStringLiteral("Línea 1\nLínea 2 💪")}}),
            fixture::day({})};
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("diario.csv"));
        QVERIFY(csvexport::writeFile(path, csvexport::Preset(preset), DayList(days)).written);
        QCOMPARE(fixture::fileBytes(path), expected);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                 QStringList(QStringLiteral("diario.csv")));
        // Days that cannot be read are told, and leave no file behind.
        fixture::TempDiary diary;
        const QString unread = dir.filePath(QStringLiteral("sin.csv"));
        const csvexport::Written failed =
            csvexport::writeFile(unread, csvexport::Preset(preset),
                                 StoredDays(diary.db(), QStringLiteral("SELECT * FROM nowhere")));
        QVERIFY(!failed.written && !QFileInfo::exists(unread));
        QCOMPARE(failed.failure.kind, Failure::Kind::DaysUnreadable);
    }

    // Every stored text goes out and comes back the same, in both forms.
    void csvRoundTripKeepsEveryText() {
        using namespace dayfields;
        std::vector<DayTexts> days;
        const QStringList hostile = {"💪 emoji",   "línea 1\nlínea 2\r\ntres",
                                     "a;b,c\td",  "\"comillas\" y ''",
                                     "007",       "1,5",
                                     "1.5",       " espacios ",
                                     "=SUMA(A1)", "",
                                     "ñ€"};
        for (int d = 0; d < 30; ++d) {
            DayTexts day;
            for (int box = 0; box < BoxCount; ++box)
                day[box] = hostile[(d + box) % hostile.size()];
            day[Fh] = QDate(2026, 1, 1).addDays(d).toString(d % 2 ? u"d/M/yyyy" : u"dd/MM/yyyy");
            days.push_back(day);
        }
        for (const auto preset : {csvexport::Preset::Spreadsheet, csvexport::Preset::Standard}) {
            fixture::TempDiary diary;
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("d.csv"));
            QVERIFY(csvexport::writeFile(path, preset, DayList(days)).written);
            const csvimport::Read read = csvimport::read(fixture::fileBytes(path), today);
            QVERIFY(read.error.isEmpty() && read.rejected.empty());
            QVERIFY(DayStore(diary.database()).importDays(read, dayimport::Existing::Skip).done);
            std::vector<DayTexts> back;
            StoredDays(diary.db(), orderStatement(ByDate)).forEach([&](const DayTexts &day) {
                back.push_back(day);
                return true;
            });
            QVERIFY(back == days);
        }
    }

    // What a spreadsheet writes back: Windows-1252, its own order of columns, the diary's own
    // column names, ISO dates; rows that cannot be days are told by their first line.
    void csvFromASpreadsheet() {
        const QByteArray bytes = "Diario;peso;Fecha Del D\xED"
                                 "a;otra\r\n"
                                 "\"Pierna\r\ny espalda\";80,5;2026-12-05;x\r\n"
                                 "Caf\xE9;81;no s\xE9;x\r\n"
                                 "\r\n"
                                 ";82;6/12/26;x;sobra\r\n"
                                 "\x80 ahorro;;07/12/2026;\r\n";
        const csvimport::Read read = csvimport::read(bytes, today);
        QVERIFY(read.error.isEmpty());
        QCOMPARE(read.dayCount(), std::size_t(2));
        QCOMPARE(read.day(0)[dayfields::Fh], QStringLiteral("05/12/2026"));
        QCOMPARE(read.day(0)[dayfields::Eldiario], QStringLiteral("Pierna\r\ny espalda"));
        QCOMPARE(read.day(0)[dayfields::Peski], QStringLiteral("80,5"));
        QCOMPARE(read.day(1)[dayfields::Eldiario], QStringLiteral("€ ahorro"));
        QCOMPARE(
            csvimport::rejectedText(read, 5),
            QStringLiteral("Línea 4, fecha: \"no sé\": No Es Una Fecha.\n"
                           "Línea 6: \" 82 6/12/26 x sobra\": Tiene 5 Campos Y La Cabecera 4."));
        QCOMPARE(csvimport::read("peso;diario\r\n1;2\r\n", today).error,
                 QStringLiteral("El Archivo No Tiene La Columna \"fecha\" En Su Primera Línea."));
    }

    // Rows as they come: a quote left open is a rejected row and the lines after it are read
    // again; two-digit years are the nearest to today's.
    void csvReadsRowsAsDays_data() {
        columns<QByteArray, QStringList, QString>("csv", "days", "rejected"); // days: date|diario
        const QString open = QStringLiteral(": Abre Unas Comillas Que No Se Cierran.");
        row("quote left open before rows",
            QByteArray("fecha;peso;diario\n12/12/2026;\"80;90;2\n13/12/2026;81;bien\n"
                       "14/12/2026;82;\"dos\nl\xC3\xADneas\"\n"),
            QStringList{"13/12/2026|bien", "14/12/2026|dos\nlíneas"},
            "Línea 2: \"12/12/2026 80;90;2\"" + open);
        row("quote left open before a quoted row",
            QByteArray("fecha;peso;diario\n12/12/2026;\"80\n13/12/2026;81;\"bien\"\n"),
            QStringList{"13/12/2026|bien"}, "Línea 2: \"12/12/2026 80\"" + open);
        row("quote left open at the end of the file",
            QByteArray("fecha;diario\n01/12/2026;\"sin cerrar\ntexto suelto"), QStringList(),
            "Línea 2: \"01/12/2026 sin cerrar\"" + open +
                "\nLínea 3, fecha: \"texto suelto\": No Es Una Fecha.");
        row("lines taken in read again one line each",
            QByteArray("fecha;diario\n01/12/2026;\"a\nx\";\"b\n02/12/2026;\"c\nd\"\n"),
            QStringList{"02/12/2026|c\nd"},
            "Línea 2: \"01/12/2026 a\"" + open + "\nLínea 3: \"x\" b\"" + open);
        row("two-digit years",
            QByteArray("fecha\n05/12/75\n05/12/76\n29/02/00\n2026-12-05\n 5/1/2026\n"),
            QStringList{"05/12/2075|", "05/12/1976|", "29/02/2000|", "05/12/2026|", " 5/1/2026|"},
            QString());
    }
    void csvReadsRowsAsDays() {
        const auto [csv, days, rejected] =
            fetch<QByteArray, QStringList, QString>("csv", "days", "rejected");
        const csvimport::Read read = csvimport::read(csv, today);
        QStringList found;
        for (std::size_t d = 0; d < read.dayCount(); ++d)
            found += read.day(d)[dayfields::Fh] + u'|' + read.day(d)[dayfields::Eldiario];
        QCOMPARE(found, days);
        QCOMPARE(csvimport::rejectedText(read, 10), rejected);
    }

    // A file is read a megabyte at a time: a character cut by the end of a chunk stays whole,
    // a Windows-1252 byte late in the file makes every text Windows-1252, a file without its
    // header is refused after the first chunk, and a cancel stops the reading.
    void csvReadsAChunkAtATime_data() {
        columns<QByteArray, QByteArray, QString, int, int>("head", "last", "text", "cancelAt",
                                                           "chunks");
        row("character across chunks", QByteArray(), QByteArray("\xC3\xB1"), QStringLiteral("ñ"), 0,
            3);
        row("windows-1252 late", QByteArray(), QByteArray("\xE9"), QStringLiteral("é"), 0, 3);
        row("cancelled", QByteArray(), QByteArray("x"), QString(), 2, 2);
        row("no header", QByteArray("peso\n"), QByteArray("x"), QString(), 0, 1);
    }
    void csvReadsAChunkAtATime() {
        const auto [head, last, text, cancelAt, chunks] =
            fetch<QByteArray, QByteArray, QString, int, int>("head", "last", "text", "cancelAt",
                                                             "chunks");
        QByteArray csv = head + "fecha;diario\n";
        while (csv.size() < (1 << 20) - 200)
            csv += "01/12/2026;" + QByteArray(80, 'a') + '\n';
        csv += "01/12/2026;" + QByteArray((1 << 20) - 1 - csv.size() - 11, 'b') + last + '\n';
        csv += "02/12/2026;" + QByteArray(1 << 20, 'c') + '\n';
        QBuffer device(&csv);
        QVERIFY(device.open(QIODevice::ReadOnly));
        int calls = 0;
        qint64 done = 0; // the progress told last: it reaches the size of the file
        const csvimport::Read read = csvimport::read(device, today, [&](qint64 at, qint64 of) {
            done = at == of ? at : -at;
            return ++calls != cancelAt;
        });
        QCOMPARE(calls, chunks); // a file without its header is refused on its first megabyte
        QCOMPARE(done, cancelAt || !head.isEmpty() ? -(qint64(chunks) << 20) : csv.size());
        QCOMPARE(read.cancelled, cancelAt > 0);
        QCOMPARE(read.error.isEmpty(), head.isEmpty());
        if (!text.isEmpty())
            QVERIFY(read.day(read.dayCount() - 2)[dayfields::Eldiario].endsWith(text));
    }

    // A diary exported as "Hoja de cálculo", opened and saved as CSV by LibreOffice Calc in a
    // Spanish locale (tests/fixtures/libreoffice-es.csv, written by it): two-digit years, LF inside
    // quoted texts, no BOM, times with seconds. It comes back as the same days. Made with
    //   LC_ALL=es_ES.UTF-8 soffice --headless --infilter='CSV:59,34,76,1,,3082'
    //     --convert-to 'csv:Text - txt - csv (StarCalc):59,34,76,1,,3082' diario.csv
    void csvSavedByLibreOffice() {
        using namespace dayfields;
        const csvimport::Read read =
            csvimport::read(fixture::fileBytes(QStringLiteral(QT_TESTCASE_SOURCEDIR
                                                              "/fixtures/libreoffice-es.csv")),
                            today);
        QVERIFY(read.error.isEmpty() && read.rejected.empty());
        QCOMPARE(read.dates, (std::vector<QDate>{QDate(2026, 12, 5), QDate(2026, 12, 6)}));
        const DayTexts first = read.day(0);
        QCOMPARE(first[Desa], QStringLiteral("Tostadas; café \"solo\""));
        QCOMPARE(first[Eldiario], QStringLiteral("Línea 1\nLínea 2 💪"));
        QCOMPARE(read.day(1)[Eldiario], QStringLiteral("Hoy ñandú"));
        QCOMPARE((QList<std::optional<double>>{dates::readNumber(first[Peski]),
                                               dates::readNumber(first[Dbd]),
                                               dates::readNumber(read.day(1)[Lagua])}),
                 (QList<std::optional<double>>{80.5, 36.5, 2.5}));
        QVERIFY(first[Horahoy].startsWith(QStringLiteral("18:00")));
    }

    // A day whose date is stored: skipped, replaced, or its empty boxes filled, keeping its date
    // as it was typed; every day read is counted once, as what became of it.
    void csvImportTreatsStoredDates_data() {
        columns<int, QByteArray, QStringList, QString>(
            "existing", "csv", "expected", // date, weight, lunch of each day
            "counts");                     // added, replaced, filled, skipped, unchanged
        const QByteArray two = "fecha;peso;comida\r\n05/12/2026;81;pasta\r\n06/12/2026;70;sopa\r\n";
        row("skip", int(dayimport::Existing::Skip), two,
            QStringList{"5/12/2026|80|", "06/12/2026|70|sopa"}, QString("1 0 0 1 0"));
        row("replace", int(dayimport::Existing::Replace), two,
            QStringList{"5/12/2026|81|pasta", "06/12/2026|70|sopa"}, QString("1 1 0 0 0"));
        row("fill empty boxes", int(dayimport::Existing::FillEmpty), two,
            QStringList{"5/12/2026|80|pasta", "06/12/2026|70|sopa"}, QString("1 0 1 0 0"));
        row("replace by the same texts", int(dayimport::Existing::Replace),
            QByteArray("fecha;peso\n5/12/2026;80\n"), QStringList{"5/12/2026|80|"},
            QString("0 0 0 0 1"));
        row("fill with nothing to fill", int(dayimport::Existing::FillEmpty),
            QByteArray("fecha;peso\n05/12/2026;99\n"), QStringList{"5/12/2026|80|"},
            QString("0 0 0 0 1"));
        row("two-digit years from a spreadsheet", int(dayimport::Existing::Replace),
            QByteArray("fecha;peso\n05/12/26;81\n7/12/26;82\n"),
            QStringList{"5/12/2026|81|", "07/12/2026|82|"}, QString("1 1 0 0 0"));
    }
    void csvImportTreatsStoredDates() {
        const auto [existing, csv, expected, counts] =
            fetch<int, QByteArray, QStringList, QString>("existing", "csv", "expected", "counts");
        using namespace dayfields;
        fixture::TempDiary diary;
        QVERIFY(diary.addDays({fixture::day({{Fh, "5/12/2026"}, {Peski, "80"}})}));
        const csvimport::Read read = csvimport::read(csv, today);
        const csvimport::Plan plan =
            csvimport::plan(read, QSet<qint64>{QDate(2026, 12, 5).toJulianDay()});
        const dayimport::Applied applied =
            DayStore(diary.database()).importDays(read, dayimport::Existing(existing));
        QVERIFY(applied.done);
        QCOMPARE(QString::asprintf("%d %d %d %d %d", applied.added, applied.replaced,
                                   applied.filled, applied.skipped, applied.unchanged),
                 counts);
        QCOMPARE(applied.added, plan.newDays); // as the preview announced
        QStringList found;
        StoredDays(diary.db(), orderStatement(ByDate)).forEach([&](const DayTexts &day) {
            found += QStringList{day[Fh], day[Peski], day[Comi]}.join(u'|');
            return true;
        });
        QCOMPARE(found, expected);
    }

    // The single report, whose averages divide by the day count caption.
    void singleFile_data() {
        columns<QString, QString, QString, QByteArray, QByteArray>(
            "dayCount", "gymStart", "span", "first", "second"); // totals after each day
        const QByteArray zero = totals("2 Media: 0", "1,5 Media : 0");
        const QByteArray zeroToo = totals("2 Media: 0", "4 Media : 0");
        row("count of four", "4 Días", "01/01/2025", wholeSpan,
            totals("2 Media: 0,5", "1,5 Media : 0,375"), totals("2 Media: 0,5", "4 Media : 1"));
        row("no count", "0 Días", "1/1/2025", wholeSpan, zero, zeroToo);
        row("count is no number", "Días", "1-1-2025", wholeSpan, zero, zeroToo);
        row("blank before twelve", " 12 Días", "01/01/2025", wholeSpan,
            totals("2 Media: 0,166666666666667", "1,5 Media : 0,125"),
            totals("2 Media: 0,166666666666667", "4 Media : 0,333333333333333"));
        row("start is no date", "4 Días", "31/02/2025",
            "Desde  Hasta: 05/12/2026\nTiempo En Gimnasio   Años,  Meses Y  Días",
            totals("2 Media: 0,5", "1,5 Media : 0,375"), totals("2 Media: 0,5", "4 Media : 1"));
    }

    void singleFile() {
        const auto [dayCount, gymStart, span, first, second] =
            fetch<QString, QString, QString, QByteArray, QByteArray>("dayCount", "gymStart", "span",
                                                                     "first", "second");
        ReportProfile p = profile();
        p.dayCount = dayCount;
        p.gymStartTyped = gymStart;
        QTemporaryDir dir;
        // An older report is replaced whole.
        QVERIFY(statsexport::writeSingleFile(dir.path(), p, {full, full, full}).written);
        const ExportOutcome outcome = statsexport::writeSingleFile(dir.path(), p, {full, undated});
        QVERIFY(outcome.written && outcome.failedFile.isEmpty());
        const QByteArray expected =
            head(dayCount, span) + fullBlock() + first + undatedBlock() + second;
        QCOMPARE(contents(dir.path()), (QMap<QString, QByteArray>{{"Estadísticas.TxT", expected}}));
        // A device that takes fewer bytes than it is given, as a pipe may, still gets every byte.
        Trickle device;
        QVERIFY(device.open(QIODevice::WriteOnly) &&
                statsexport::writeSingleReport(device, p, {full, undated}));
        QCOMPARE(device.data(), expected);
    }

    void perDayFiles() {
        QTemporaryDir dir;
        // What an export cut off in the middle of a file left is taken over.
        QFile part(dir.filePath(QStringLiteral(".sábado5dediciembrede2026.TxT.part")));
        QVERIFY(part.open(QIODevice::WriteOnly) && part.write(QByteArray(9000, 'x')) == 9000);
        QVERIFY(statsexport::writePerDayFiles(dir.path(), profile(), {full, undated}).written);
        QCOMPARE(contents(dir.path()),
                 (QMap<QString, QByteArray>{{"sábado5dediciembrede2026.TxT", head() + fullBlock()},
                                            {"sinfecha.TxT", head() + undatedBlock()}}));
    }

    void dayFileNames_data() {
        columns<QString, QString>("dates", "expected"); // dates joined by '|'
        row("long date cleaned", "05/12/2026", "sábado5dediciembrede2026.TxT");
        row("no date, cleaned", "ayer, a las 10:00", "ayeralas1000.TxT");
        row("undated", "", "SinFecha.TxT");
        row("control characters", QStringLiteral("a\tb\x01") + u'c' + QChar(0), "abc.TxT");
        // A file name holds 255 bytes; the part file written first adds six.
        row("too long", QString(300, u'x'), QString(245, u'x') + ".TxT");
        row("too long, cut at a character's end", QString(122, u'ñ') + "😀😀",
            QString(122, u'ñ') + ".TxT");
        row("too long after an emoji", "😀" + QString(300, u'x'), "😀" + QString(241, u'x') + ".TxT");
        row("same name twice, the later wins", "05/12/2026|5/12/2026",
            "sábado5dediciembrede2026.TxT");
    }

    void dayFileNames() {
        const auto [dates, expected] = fetch<QString, QString>("dates", "expected");
        Days days;
        for (const QString &date : dates.split(u'|'))
            days.push_back(
                fixture::day({{Fh, date}, {Eldiario, QStringLiteral("día %1").arg(days.size())}}));
        QTemporaryDir dir;
        QVERIFY(statsexport::writePerDayFiles(dir.path(), profile(), days).written);
        const QMap<QString, QByteArray> files = contents(dir.path());
        QCOMPARE(files.keys(), QStringList{expected});
        QVERIFY(files.first().endsWith(crlf(QStringLiteral("\ndía %1\n\n").arg(days.size() - 1))));
    }

    // A failed export names the file it could not save and leaves every earlier file as it was.
    void refusal_data() {
        columns<QString, bool, QString, QStringList>("fault", "perDay", "failed",
                                                     "renewed"); // failed: empty for none
        const QStringList none, first{"sinfecha.TxT"};
        row("single, folder missing", "missing", false, "no existe/Estadísticas.TxT", none);
        row("per day, folder missing", "missing", true, "no existe/sinfecha.TxT", none);
        row("single, folder unwritable", "unwritable", false, "Estadísticas.TxT", none);
        row("per day, folder unwritable", "unwritable", true, "sinfecha.TxT", none);
        row("single, disk full", "full", false, "Estadísticas.TxT", none);
        row("per day, disk full at the second file", "full", true, "sábado5dediciembrede2026.TxT",
            first);
        row("single, no days", "no days", false, "", none);
    }

    void refusal() {
        const auto [fault, perDay, failed, renewed] =
            fetch<QString, bool, QString, QStringList>("fault", "perDay", "failed", "renewed");
        QTemporaryDir dir;
        const auto save = [perDay](const QString &folder, const ReportProfile &p,
                                   const Days &days) {
            return perDay ? statsexport::writePerDayFiles(folder, p, days)
                          : statsexport::writeSingleFile(folder, p, days);
        };
        const Days days = {undated, full, fixture::day({{Fh, "otro día"}})};
        QVERIFY(save(dir.path(), profile(QStringLiteral("Antes")), days).written);
        const QMap<QString, QByteArray> before = contents(dir.path());
        const QString folder =
            fault == u"missing" ? dir.filePath(QStringLiteral("no existe")) : dir.path();
        if (fault == u"unwritable" && !fixture::setWritable(folder, false))
            QSKIP("this machine cannot make a folder unwritable");
        const auto restore = qScopeGuard([&] { fixture::setWritable(dir.path(), true); });
        rlimit unlimited{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &unlimited) == 0);
        const rlimit limit{fault == u"full" ? 2000 : unlimited.rlim_cur, unlimited.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0); // as a full disk would
        const ExportOutcome outcome = save(folder, profile(), fault == u"no days" ? Days() : days);
        setrlimit(RLIMIT_FSIZE, &unlimited);
        QVERIFY(!outcome.written);
        const QString failedPath = failed.isEmpty() ? QString() : dir.path() + u'/' + failed;
        QCOMPARE(outcome.failedFile, failedPath);
        QCOMPARE(outcome.failure.kind == Failure::Kind::None, failed.isEmpty());
        QCOMPARE(statsexport::cannotSaveMessage(outcome),
                 failed.isEmpty() ? QString()
                                  : "No Se Ha Podido Guardar El Archivo " + failedPath +
                                        ". Comprueba Que La Carpeta Existe, Que Se Puede Escribir "
                                        "En Ella Y Que Hay Sitio En El Disco.");
        QCOMPARE(QFileInfo::exists(folder), fault != u"missing");
        const QMap<QString, QByteArray> after = contents(dir.path());
        QCOMPARE(after.keys(), before.keys()); // nothing half-written is left
        for (const QString &name : before.keys())
            QCOMPARE(after[name], renewed.contains(name) ? head() + undatedBlock() : before[name]);
    }
};

QTEST_GUILESS_MAIN(TestReport)
#include "test_report.moc"
