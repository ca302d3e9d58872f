// The progress charts: what they work out, on series worked by hand, and what the window draws
// from a real diary file.

#include "charts/progress.h"
#include "charts/progresswindow.h"
#include "data/dates.h"
#include "data/daystore.h"
#include "support/diaryfixture.h"
#include "support/scripteddialogs.h"
#include "support/tablerows.h"
#include "support/testfonts.h"
#include "ui/windowlook.h"

#include <QAccessible>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QImage>
#include <QLabel>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QXYSeries>
#include <cmath>
#include <functional>

using namespace progress;

namespace {

const QDate day0(2026, 1, 1);

// Points on the days given (counted from day0) with the values given.
Points series(std::initializer_list<std::pair<int, double>> days) {
    Points points;
    for (const auto &[day, value] : days)
        points.push_back({day0.addDays(day), value});
    return points;
}

// A series of `count` points, one every `step` days, on the line start + slope * day.
Points line(int count, int step, double start, double slopePerDay) {
    Points points;
    for (int i = 0; i < count; ++i)
        points.push_back({day0.addDays(i * step), start + slopePerDay * i * step});
    return points;
}

QList<double> rounded(const std::vector<double> &values) {
    QList<double> out;
    for (double value : values)
        out += std::isnan(value) ? -1 : std::round(value * 1000) / 1000;
    return out;
}

} // namespace

class TestProgress : public QObject {
    Q_OBJECT
public:
    static void initMain() { testfonts::pin(); }

private slots:
    void initTestCase() { windowlook::useProgramFonts(); }
    void trendAndAverageAsWorkedByHand();
    void outliersLeaveTheTrendAlone_data();
    void outliersLeaveTheTrendAlone();
    void gapsBreakTheLine();
    void goalOnALine_data();
    void goalOnALine();
    void diaryNumbersSkipWhatIsNoNumber();
    void weeklyAndMonthlyBars();
    void daysOnTheDateAxis();
    void textsOfTheFigures();
    void axisTicksAreRound_data();
    void axisTicksAreRound();
    void windowOpensBesideTheDiary_data();
    void windowOpensBesideTheDiary();
    void thinnedLinesKeepTheirShape();
    void windowDrawsTheDiary();
};

void TestProgress::trendAndAverageAsWorkedByHand() {
    // Trend: 10, 10 + (20 - 10) / 10 = 11, 11 + (10 - 11) / 10 = 10.9, 10.9 + 19.1 / 10 = 12.81.
    // Mean of the last three calendar days: {10}, {10, 20}, {20, 10} (day 1 and day 3), {30}.
    const Points points = series({{0, 10}, {1, 20}, {3, 10}, {9, 30}});
    const Smoothed smoothed = smooth(points, outliers(points, 0), 3);
    QCOMPARE(rounded(smoothed.trend), (QList<double>{10, 11, 10.9, 12.81}));
    QCOMPARE(rounded(smoothed.average), (QList<double>{10, 15, 15, 30}));
}

void TestProgress::outliersLeaveTheTrendAlone_data() {
    columns<Measure, QList<double>, QList<bool>>("measure", "values", "expected");
    row("a typo among daily weights", Weight,
        QList<double>{80, 80.2, 79.9, 80.1, 80, 800, 80.1, 79.8, 80},
        QList<bool>{0, 0, 0, 0, 0, 1, 0, 0, 0});
    row("a low one", Weight, QList<double>{70, 70.4, 70.1, 69.8, 7, 70.2, 70, 70.3},
        QList<bool>{0, 0, 0, 0, 1, 0, 0, 0});
    row("no median spread: the mean one judges", Weight, QList<double>{80, 80, 80, 80, 80, 85, 80},
        QList<bool>{0, 0, 0, 0, 0, 1, 0});
    row("all alike", Weight, QList<double>{80, 80, 80, 80, 80, 80}, QList<bool>{0, 0, 0, 0, 0, 0});
    row("a steady fall is no outlier", Weight, QList<double>{90, 89, 88, 87, 86, 85, 84, 83},
        QList<bool>{0, 0, 0, 0, 0, 0, 0, 0});
    row("too few to judge", Weight, QList<double>{80, 800, 80, 80}, QList<bool>{0, 0, 0, 0});
    row("a typed 790 among 78 to 86", Weight,
        QList<double>{78, 80, 82, 84, 86, 85, 790, 83, 81, 79, 78},
        QList<bool>{0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0});
    // Three tenths from a series that hardly moves: within the tape's ordinary spread.
    row("a slowly moving weekly biceps", BicepsRight,
        QList<double>{37, 37, 37, 37, 37, 37.3, 37, 37.1, 37.1, 37.1, 37.1},
        QList<bool>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    row("a girth typed twice", BicepsRight, QList<double>{37, 37.1, 37, 37.2, 73.1, 37.1, 37},
        QList<bool>{0, 0, 0, 0, 1, 0, 0});
}

void TestProgress::outliersLeaveTheTrendAlone() {
    const auto [measure, values, expected] =
        fetch<Measure, QList<double>, QList<bool>>("measure", "values", "expected");
    Points points;
    for (qsizetype i = 0; i < values.size(); ++i)
        points.push_back({day0.addDays(i), values[i]});
    const std::vector<bool> outlier = outliers(points, ordinarySpread(measure, 180.0));
    QCOMPARE(QList<bool>(outlier.begin(), outlier.end()), expected);
    const Smoothed smoothed = smooth(points, outlier, 7);
    for (qsizetype i = 1; i < values.size(); ++i)
        if (expected[i])
            QCOMPARE(smoothed.trend[std::size_t(i)], smoothed.trend[std::size_t(i - 1)]);
    // Left out of the slope too: the series without the outlier gives the same line.
    Points kept;
    for (qsizetype i = 0; i < values.size(); ++i)
        if (!expected[i])
            kept.push_back(points[std::size_t(i)]);
    const auto all = fitLine(points, outlier, {0, qsizetype(points.size())});
    const auto clean =
        fitLine(kept, std::vector<bool>(kept.size(), false), {0, qsizetype(kept.size())});
    QVERIFY(all && clean);
    QCOMPARE(all->slopePerDay, clean->slopePerDay);
}

void TestProgress::gapsBreakTheLine() {
    // Fourteen days apart still join; fifteen break the line.
    const Points points = series({{0, 1}, {1, 1}, {15, 1}, {30, 1}, {31, 1}});
    const auto found = runs(points);
    QCOMPARE(found.size(), std::size_t(2));
    QCOMPARE(found[0], (std::pair<qsizetype, qsizetype>(0, 3)));
    QCOMPARE(found[1], (std::pair<qsizetype, qsizetype>(3, 5)));
    QCOMPARE(within(points, day0.addDays(1), day0.addDays(30)),
             (std::pair<qsizetype, qsizetype>(1, 4)));
    QCOMPARE(within(points, day0.addDays(40), day0.addDays(50)).first, qsizetype(5));
}

void TestProgress::goalOnALine_data() {
    columns<double, double, QString>("slopePerDay", "goal", "expected");
    // 100, 99, ... 91 on days 0 to 9: the line reaches 90 on day 10, exactly.
    row("reaches the goal", -1.0, 90.0, QStringLiteral("Al ritmo actual: 11/01/2026"));
    row("reaches it a part of a day later", -1.0, 89.5,
        QStringLiteral("Al ritmo actual: 12/01/2026"));
    row("crossed it in the range", -1.0, 95.0, QStringLiteral("Objetivo Alcanzado"));
    row("on it today", -1.0, 91.0, QStringLiteral("Objetivo Alcanzado"));
    row("moving away", -1.0, 110.0, QStringLiteral("Al Ritmo Actual No Se Alcanza El Objetivo"));
    row("standing still", 0.0, 90.0, QStringLiteral("Al Ritmo Actual No Se Alcanza El Objetivo"));
    row("gaining towards it", 0.5, 110.0, QStringLiteral("Al ritmo actual: 21/01/2026"));
}

void TestProgress::goalOnALine() {
    const auto [slope, goal, expected] =
        fetch<double, double, QString>("slopePerDay", "goal", "expected");
    const Points points = line(10, 1, 100, slope);
    const auto fitted = fitLine(points, outliers(points, 0), {0, 10});
    QVERIFY(fitted);
    QCOMPARE(std::round(fitted->slopePerWeek() * 1e9) / 1e9, slope * 7);
    QCOMPARE(std::round(fitted->atEnd * 1e9) / 1e9, 100 + 9 * slope);
    QCOMPARE(goalText(goalOutlook(*fitted, goal)), expected);
}

void TestProgress::diaryNumbersSkipWhatIsNoNumber() {
    using namespace dayfields;
    DayTexts a, b, c, d;
    a.fill({});
    b = c = d = a;
    a[Fh] = "07/12/2026", a[Peski] = "82.0", a[Dc] = "91";
    b[Fh] = "05/12/2026", b[Peski] = " 80,5 ", b[Dc] = "90", b[Lagua] = "2";
    c[Fh] = "sin fecha", c[Peski] = "81";
    d[Fh] = "06/12/2026", d[Peski] = "", d[Dc] = "x";
    const std::vector<DayTexts> days{a, b, c, d};
    const DiaryNumbers numbers = readNumbers(DayList(days), 180.0);
    const auto values = [&](Measure measure) {
        QStringList out;
        for (const Point &point : numbers.points[measure])
            out += point.date.toString(u"dd/MM") + u'=' + number(point.value);
        return out;
    };
    QCOMPARE(values(Weight), (QStringList{"05/12=80,5", "07/12=82"}));
    QCOMPARE(values(Bmi), (QStringList{"05/12=24,85", "07/12=25,31"}));
    QCOMPARE(values(WaistToHeight), (QStringList{"05/12=0,5", "07/12=0,51"}));
    QCOMPARE(values(Water), QStringList{"05/12=2"});
    // Left out: a typed value without a date, a value that is no number; an empty box is neither.
    QCOMPARE((QList<int>{numbers.leftOut[Weight], numbers.leftOut[Waist], numbers.leftOut[Water]}),
             (QList<int>{1, 1, 0}));
    // Without a height, no day gives a BMI.
    const DiaryNumbers noHeight = readNumbers(DayList(days), std::nullopt);
    QVERIFY(noHeight.points[Bmi].empty());
    QCOMPARE(noHeight.leftOut[Bmi], 3);
}

void TestProgress::weeklyAndMonthlyBars() {
    // Monday 30 November, Tuesday 1 December, Sunday 6 December, Monday 7 December 2026.
    Points points;
    for (const auto &[date, value] : {std::pair{QDate(2026, 11, 30), 2.0},
                                      {QDate(2026, 12, 1), 3.0},
                                      {QDate(2026, 12, 6), 1.0},
                                      {QDate(2026, 12, 7), 4.0}})
        points.push_back({date, value});
    const auto text = [&](Period period) {
        QStringList out;
        for (const Bar &bar : bars(points, {0, 4}, period))
            out +=
                bar.start.toString(u"dd/MM") + u' ' + number(bar.sum) + u' ' + number(bar.mean());
        return out;
    };
    QCOMPARE(text(Period::Week), (QStringList{"30/11 6 2", "07/12 4 4"}));
    QCOMPARE(text(Period::Month), (QStringList{"01/11 2 2", "01/12 8 2,67"}));
    // Outlined from zero, a tenth of the week's slot (from midnight to midnight) free each side.
    const DayAxis utc;
    const qreal monday = utc.at(QDate(2026, 11, 30)) - DayAxis::dayMsecs / 2;
    const qreal gap = 0.7 * DayAxis::dayMsecs;
    const qreal nextMonday = monday + 7 * DayAxis::dayMsecs;
    const QList<QPointF> outlines =
        barOutlines(bars(points, {0, 4}, Period::Week), Period::Week, true, utc);
    QCOMPARE(outlines.size(), 8);
    QCOMPARE(
        outlines.mid(0, 4),
        (QList<QPointF>{
            {monday + gap, 0}, {monday + gap, 6}, {nextMonday - gap, 6}, {nextMonday - gap, 0}}));
    QCOMPARE(barOutlines(bars(points, {0, 4}, Period::Month), Period::Month, false, utc)[5].y(),
             8.0 / 3);
    const auto found = figures(points, {1, 4});
    QVERIFY(found && !figures(points, {2, 2}));
    QCOMPARE(
        (QList<double>{found->first, found->last, found->lowest, found->highest, found->change()}),
        (QList<double>{3, 4, 1, 4, 1}));
}

void TestProgress::daysOnTheDateAxis() {
    // Each day at its noon in local time: two hours ahead of UTC, 1 January 1970 at 10:00 UTC.
    const DayAxis axis{2 * 3600 * 1000};
    QCOMPARE(axis.at(QDate(1970, 1, 1)), 10 * 3600 * 1000.0);
    QCOMPARE(axis.at(QDate(2026, 12, 7)) - axis.at(QDate(2026, 12, 6)), qreal(DayAxis::dayMsecs));
    // Its slot runs from its local midnight to the next.
    const qreal half = DayAxis::dayMsecs / 2;
    for (const QDate date : {QDate(1969, 12, 31), QDate(2026, 3, 29)})
        QCOMPARE(
            (QList<QDate>{axis.dayAt(axis.at(date) - half), axis.dayAt(axis.at(date)),
                          axis.dayAt(axis.at(date) + half - 1), axis.dayAt(axis.at(date) + half)}),
            (QList<QDate>{date, date, date, date.addDays(1)}));
}

void TestProgress::textsOfTheFigures() {
    QCOMPARE(leftOutText(12), QStringLiteral("12 días sin fecha o valor válido"));
    QCOMPARE(leftOutText(1), QStringLiteral("1 día sin fecha o valor válido"));
    QCOMPARE(leftOutText(0), QString());
    // The outliers are named, the first three with their dates.
    const Points points = series({{0, 80}, {1, 800}, {2, 8}, {3, 900}, {4, 80}, {5, 90}, {6, 1}});
    QVERIFY(figuresLine(Weight, points, {0, 1, 1, 1, 0, 1, 1}, {0, 7}, std::nullopt, 2)
                .endsWith(QStringLiteral(" · Fuera De Lo Normal, Sin Contar: 800 Kg (02/01/2026), "
                                         "8 Kg (03/01/2026), 900 Kg (04/01/2026) Y 2 Más · 2 días "
                                         "sin fecha o valor válido")));
    QCOMPARE(
        (QStringList{number(80.5), number(1234.567), number(80), number(-0.001), number(-2.5)}),
        (QStringList{"80,5", "1234,57", "80", "0", "-2,5"}));
}

void TestProgress::axisTicksAreRound_data() {
    columns<double, double, bool, QList<double>>("low", "high", "fromZero", "expected");
    row("daily weights", 79.16, 86.7, false, QList<double>{78, 88, 2});
    row("a slowly moving girth", 37.0, 37.6, false, QList<double>{36.8, 37.8, 0.2});
    row("from zero", 79.16, 86.7, true, QList<double>{0, 100, 20});
    row("water, never below zero", 0.1, 3.0, false, QList<double>{0, 3.5, 0.5});
}

void TestProgress::axisTicksAreRound() {
    const auto [low, high, fromZero, expected] =
        fetch<double, double, bool, QList<double>>("low", "high", "fromZero", "expected");
    const Scale scale = niceScale(low, high, fromZero);
    QCOMPARE((QList<double>{std::round(scale.low * 1e6) / 1e6, std::round(scale.high * 1e6) / 1e6,
                            scale.step}),
             expected);
}

void TestProgress::windowOpensBesideTheDiary_data() {
    columns<QRect, QRect, QRect>("available", "diary", "expected");
    const QRect screen(0, 0, 1280, 992);
    // Wanting 1000 x 720, at least 540 x 400.
    row("room on the right", screen, QRect(0, 0, 500, 600), QRect(508, 0, 772, 720));
    row("just the minimum on the right", screen, QRect(0, 0, 732, 600), QRect(740, 0, 540, 720));
    row("room on the left", screen, QRect(700, 100, 580, 600), QRect(0, 100, 692, 720));
    row("no room beside: centred", screen, QRect(300, 0, 700, 600), QRect(140, 136, 1000, 720));
    row("a scaled screen", QRect(0, 0, 640, 480), QRect(), QRect(0, 0, 640, 480));
}

void TestProgress::windowOpensBesideTheDiary() {
    const auto [available, diary, expected] =
        fetch<QRect, QRect, QRect>("available", "diary", "expected");
    QCOMPARE(placeBeside(available, diary, QSize(1000, 720), QSize(540, 400)), expected);
}

void TestProgress::thinnedLinesKeepTheirShape() {
    // Ten thousand points of a wave with one spike: thinned to fifty stretches, at most three
    // points each and the last, in order, with the spike, the lowest point and both ends kept.
    QList<QPointF> line;
    for (int x = 0; x < 10000; ++x)
        line.append({double(x), std::sin(x / 300.0) + (x == 4321 ? 5 : 0)});
    const QList<QPointF> kept = thinned(line, 50);
    QVERIFY(kept.size() > 100 && kept.size() <= 151);
    QVERIFY(std::is_sorted(kept.begin(), kept.end(),
                           [](QPointF a, QPointF b) { return a.x() < b.x(); }));
    const auto byY = [](QPointF a, QPointF b) { return a.y() < b.y(); };
    for (const QPointF &point :
         {line.first(), line.last(), line[4321], *std::min_element(line.begin(), line.end(), byY)})
        QVERIFY(kept.contains(point));
    QCOMPARE(thinned(line.mid(0, 150), 50), line.mid(0, 150));
}

namespace {

// The texts that the chart writes: the labels of its axes and legend.
QStringList written(QChart *chart) {
    QCoreApplication::sendPostedEvents();
    QStringList found;
    for (QGraphicsItem *item : chart->scene()->items())
        if (const auto *text = dynamic_cast<QGraphicsTextItem *>(item); text && text->isVisible())
            found += text->toPlainText();
    return found;
}

// The dates and the values that the chart writes on its axes, in order.
std::pair<QList<QDate>, QList<double>> axisLabels(QChart *chart) {
    std::pair<QList<QDate>, QList<double>> found;
    for (const QString &text : written(chart))
        if (const QDate date = QDate::fromString(text, u"dd/MM/yyyy"); date.isValid())
            found.first += date;
        else if (const auto value = dates::readNumber(text))
            found.second += *value;
    std::sort(found.first.begin(), found.first.end());
    std::sort(found.second.begin(), found.second.end());
    return found;
}

} // namespace

void TestProgress::windowDrawsTheDiary() {
    using namespace dayfields;
    fixture::TempDiary diary;
    QVERIFY(diary.addProfile());
    // Forty daily weights falling 0,1 kg a day, with a gap of twenty days after the thirtieth, a
    // typo of 900 on 11/10, two litres of water a day, and a day with no date.
    QList<DayTexts> days;
    for (int i = 0; i < 40; ++i) {
        const int offset = i < 30 ? i : i + 20;
        days += fixture::day({{Fh, QDate(2026, 10, 1).addDays(offset).toString(u"dd/MM/yyyy")},
                              {Peski, number(90 - 0.1 * offset)},
                              {Lagua, QStringLiteral("2")}});
    }
    days[10][Peski] = QStringLiteral("900");
    days += fixture::day({{Fh, QStringLiteral("sin fecha")}, {Peski, QStringLiteral("80")}});
    QVERIFY(diary.addDays(days));
    QCOMPARE(diary.reopen(), DiaryDatabase::Status::Ready);
    const QByteArray stored = fixture::fileBytes(diary.path());

    ScriptedDialogs dialogs;
    DayStore store(diary.database());
    QVERIFY(store.open());
    // Opened from a diary window in a corner of the screen: beside it, within the screen.
    QWidget diaryWindow;
    diaryWindow.setGeometry(10, 40, 120, 300);
    diaryWindow.show();
    ProgressWindow window(store, diary.profiles(), dialogs, &diaryWindow);
    window.showRange(ProgressWindow::Everything);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.screen()->availableGeometry().contains(window.frameGeometry()));
    QVERIFY(!window.frameGeometry().intersects(diaryWindow.frameGeometry()));
    const auto named = [&](const QString &start) {
        QList<QXYSeries *> found;
        for (QAbstractSeries *series : window.chart()->series())
            if (series->name().startsWith(start))
                found += static_cast<QXYSeries *>(series);
        return found;
    };
    const auto count = [&](const QString &start) {
        qsizetype points = 0;
        for (QXYSeries *series : named(start))
            points += series->count();
        return points;
    };
    QCOMPARE(count(QStringLiteral("Peso")), 39);
    QCOMPARE(count(QStringLiteral("Fuera De Lo Normal")), 1);
    QCOMPARE(named(QStringLiteral("Tendencia")).size(), 2); // broken across the gap
    QCOMPARE(named(QStringLiteral("Tendencia")).first()->name(), QStringLiteral("Tendencia"));
    QCOMPARE(count(QStringLiteral("Tendencia")), 40);
    QCOMPARE(named(QStringLiteral("Media De 7 Días")).size(), 2);
    QVERIFY(window.figuresText().contains(QStringLiteral("-0,7 Kg/Semana")));
    QVERIFY(window.figuresText().contains(QStringLiteral("1 día sin fecha o valor válido")));
    QCOMPARE(fixture::fileBytes(diary.path()), stored); // looking changes nothing
    // Round values; the range's first and last days. The typo, far above, is at the axis's edge
    // with its value, and named in the figures.
    auto [dates, values] = axisLabels(window.chart());
    QCOMPARE(values, (QList<double>{82, 84, 86, 88, 90, 92}));
    QCOMPARE((QList<QDate>{dates.first(), dates.last()}),
             (QList<QDate>{QDate(2026, 10, 1), QDate(2026, 11, 29)}));
    QXYSeries *typo = named(QStringLiteral("Fuera De Lo Normal")).last();
    QCOMPARE((std::tuple{typo->pointLabelsVisible(), typo->pointLabelsFormat(), typo->at(0).y()}),
             (std::tuple{true, QStringLiteral("900 Kg"), 92.0}));
    QVERIFY(window.figuresText().contains(
        QStringLiteral("Fuera De Lo Normal, Sin Contar: 900 Kg (11/10/2026)")));

    // A drag from 05/10 to 15/10 zooms in on those days, and the figures and the boxes of dates
    // follow; "Ver Todo" goes back. Between the points of 04/10 and 05/10, and of 15/10 and 16/10
    // (the typo's left out):
    auto *view = window.findChild<QChartView *>(QStringLiteral("grafica"));
    QXYSeries *weights = named(QStringLiteral("Peso")).first();
    const auto midnightAfter = [&](int point) {
        const QPointF between((weights->at(point).x() + weights->at(point + 1).x()) / 2, 86);
        return view->mapFromScene(
            window.chart()->mapToScene(window.chart()->mapToPosition(between, weights)));
    };
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, midnightAfter(3));
    QTest::mouseMove(view->viewport(), midnightAfter(13));
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, midnightAfter(13));
    std::tie(dates, values) = axisLabels(window.chart());
    const auto boxes = [&] {
        return QList<QDate>{window.findChild<QDateEdit *>(QStringLiteral("desde"))->date(),
                            window.findChild<QDateEdit *>(QStringLiteral("hasta"))->date()};
    };
    QCOMPARE((QList<QDate>{dates.first(), dates.last()}),
             (QList<QDate>{QDate(2026, 10, 5), QDate(2026, 10, 15)}));
    QCOMPARE(boxes(), (QList<QDate>{QDate(2026, 10, 5), QDate(2026, 10, 15)}));
    QVERIFY(window.figuresText().startsWith(
        QStringLiteral("Peso: Primero 89,6 Kg · Último 88,6 Kg · Mínimo 88,6 Kg · Máximo 900 Kg")));
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("verTodo")), Qt::LeftButton);
    QVERIFY(
        window.figuresText().startsWith(QStringLiteral("Peso: Primero 90 Kg · Último 84,1 Kg")));
    QCOMPARE(boxes(), (QList<QDate>{QDate(2026, 10, 1), QDate(2026, 11, 29)}));

    // The goal: kept in the diary, drawn, and reached at this pace 41 days after 29/11/2026. Near
    // the weights it widens the axis a little; far off it is drawn at the edge with its value.
    auto *goalBox = window.findChild<QLineEdit *>(QStringLiteral("pesoObjetivo"));
    const auto goalDrawn = [&](const QString &goal) {
        goalBox->setText(goal);
        window.storeGoal();
        const QXYSeries *line = named(QStringLiteral("Objetivo")).first();
        return std::tuple{window.chart()->axes(Qt::Vertical).first()->property("min").toDouble(),
                          line->at(1).y(), line->pointLabelsVisible()};
    };
    QCOMPARE(goalDrawn(QStringLiteral("60")), (std::tuple{82.0, 82.0, true}));
    QCOMPARE(named(QStringLiteral("Objetivo")).first()->pointLabelsFormat(),
             QStringLiteral("Objetivo 60 Kg"));
    QCOMPARE(goalDrawn(QStringLiteral("80")), (std::tuple{78.0, 80.0, false}));
    QVERIFY(window.figuresText().contains(QStringLiteral("Al ritmo actual: 09/01/2027")));
    QCOMPARE(diary.profiles().goalWeight(), std::optional<QString>(QStringLiteral("80")));

    // Each entry of the legend drawn as its series is, and no two alike.
    QCoreApplication::processEvents();
    QCOMPARE(window.chart()->legend()->markerShape(), QLegend::MarkerShapeFromSeries);
    QSet<QString> looks;
    for (QLegendMarker *marker : window.chart()->legend()->markers())
        if (const auto *series = static_cast<QXYSeries *>(marker->series()); marker->isVisible())
            looks += QStringLiteral("%1 %2 %3 %4 %5")
                         .arg(series->type())
                         .arg(series->pen().style())
                         .arg(series->pen().widthF())
                         .arg(series->brush().style())
                         .arg(series->pen().color().name());
    QCOMPARE(looks.size(), 5);
    // At the window's smallest, each entry is written whole.
    window.resize(window.minimumSizeHint());
    QCoreApplication::processEvents();
    for (QLegendMarker *marker : window.chart()->legend()->markers())
        QVERIFY(!marker->isVisible() || written(window.chart()).contains(marker->label()));

    // A screen reader names every control by its purpose, the combo boxes by their labels; every
    // caption has a letter of its own for Alt.
    QStringList unnamed;
    const std::function<void(QAccessibleInterface *)> walk = [&](QAccessibleInterface *node) {
        if (node->state().focusable && !node->state().invisible &&
            node->text(QAccessible::Name).trimmed().isEmpty())
            unnamed += node->object() ? node->object()->metaObject()->className() : "?";
        for (int i = 0; i < node->childCount(); ++i)
            if (QAccessibleInterface *child = node->child(i))
                walk(child);
    };
    walk(QAccessible::queryAccessibleInterface(&window));
    QCOMPARE(unnamed, QStringList());
    QStringList spoken;
    for (const char *name : {"medida", "segundaMedida", "barras", "periodo"})
        spoken += QAccessible::queryAccessibleInterface(window.findChild<QComboBox *>(name))
                      ->text(QAccessible::Name);
    QCOMPARE(spoken, (QStringList{"Medida", "Segunda Medida", "Barras", "Periodo"}));
    QString letters;
    for (const QWidget *shown : window.findChildren<QWidget *>())
        if (const auto *label = qobject_cast<const QLabel *>(shown); label && label->buddy())
            letters += label->text().section(u'&', 1).left(1);
        else if (const auto *button = qobject_cast<const QAbstractButton *>(shown))
            letters += button->text().section(u'&', 1).left(1);
    QCOMPARE(QSet<QChar>(letters.begin(), letters.end()).size(), 11);

    // Water by the week: 30 days from Thursday 1 October fill five weeks, ten days two more. The
    // sums have an axis of their own; the day without a date has no water, which is no fault. Two
    // lines of figures still leave the window whole on a screen of 1280 x 1024 at twice the
    // scale: 640 x 512, a panel of 32 taken.
    window.showMeasure(Water, Weight);
    window.showBars(ProgressWindow::WeeklySums);
    const QList<QXYSeries *> bars = named(QStringLiteral("Suma Semanal"));
    QCOMPARE(bars.size(), 1);
    QCOMPARE(bars.first()->count(), 4 * 7); // the corners of each bar
    QCOMPARE(bars.first()->at(1).y(), 8.0); // Thursday to Sunday
    QCOMPARE(bars.first()->attachedAxes().last()->titleText(),
             QStringLiteral("Suma Semanal (Litros)"));
    // The second measure is read against the axis on the right.
    QCOMPARE(named(QStringLiteral("Peso")).first()->attachedAxes().last()->alignment(),
             Qt::AlignRight);
    QVERIFY(!window.figuresText().section(u'\n', 0, 0).contains(QStringLiteral("sin fecha")));
    const QSize frame = window.frameGeometry().size() - window.size();
    QVERIFY(QRect(0, 0, 640, 480).contains(QRect(QPoint(), window.minimumSizeHint() + frame)));

    // A day saved while the window is open is drawn at once.
    window.showMeasure(Weight);
    QVERIFY(store.beginDay() && store.storePending(fixture::day({{Fh, QStringLiteral("30/11/2026")},
                                                                 {Peski, QStringLiteral("84")}})));
    QCOMPARE(count(QStringLiteral("Peso")), 40);

    // The chart as pictures, for the owner's eyes alone; a link planted at the name is replaced.
    QTemporaryDir pictures;
    QTemporaryDir outside;
    QVERIFY(QFile::link(outside.filePath(QStringLiteral("ajeno")),
                        pictures.filePath(QStringLiteral("progreso.png"))));
    QVERIFY(window.saveImageTo(pictures.filePath(QStringLiteral("progreso.svg"))));
    const QByteArray svg = fixture::fileBytes(pictures.filePath(QStringLiteral("progreso.svg")));
    QVERIFY(svg.startsWith("<?xml") && svg.contains("<svg") && svg.contains("Peso"));
    dialogs.queueInputs({pictures.filePath(QStringLiteral("progreso"))});
    window.saveImage();
    QCOMPARE(QImage(pictures.filePath(QStringLiteral("progreso.png"))).size(),
             view->size() * view->devicePixelRatio());
    QVERIFY(QDir(outside.path()).isEmpty());
    for (const char *name : {"progreso.png", "progreso.svg"})
        QCOMPARE(QFile::permissions(pictures.filePath(QLatin1String(name))),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    QVERIFY(dialogs.messages.isEmpty());
}

QTEST_MAIN(TestProgress)
#include "test_progress.moc"
