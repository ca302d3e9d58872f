#include "closinganimation.h"
#include "twips.h"

#include <QPointer>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <limits>

namespace {

// Shows a window whose outer height, frame included, is the given number of pixels.
bool showWithOuterHeight(QWidget &window, int outerPixels) {
    window.setFixedSize(300, outerPixels);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    const int frame = window.frameGeometry().height() - window.height();
    window.setFixedSize(300, outerPixels - frame);
    return window.frameGeometry().height() == outerPixels;
}

} // namespace

class TestClosingAnimation : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void stepHeights_data();
    void stepHeights();
    void shrinksAndCentres();
    void leavesMinimisedWindowAlone();
    void leavesHiddenWindowAlone();
    void secondCloseDuringAnimationDoesNotRestart();
    void windowDeletedDuringAnimation();
};

void TestClosingAnimation::stepHeights_data() {
    QTest::addColumn<double>("height");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::newRow("3750") << 3750.0 << 24 << 3600 << 150;
    QTest::newRow("8100") << 8100.0 << 53 << 7950 << 150;
    QTest::newRow("300") << 300.0 << 1 << 150 << 150;
    QTest::newRow("301") << 301.0 << 2 << 151 << 1;
    QTest::newRow("150, at least one pass") << 150.0 << 1 << 0 << 0;
    QTest::newRow("0") << 0.0 << 1 << -150 << -150;
    QTest::newRow("tie rounds to even, down") << 3750.5 << 24 << 3600 << 150;
    QTest::newRow("tie rounds to even, up") << 3751.5 << 25 << 3602 << 2;
    QTest::newRow("beyond 16 bits") << 1e9 << 218 << 32617 << 67;
    QTest::newRow("below 16 bits") << -1e9 << 1 << -32918 << -32918;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 1 << -150 << -150;
}

void TestClosingAnimation::stepHeights() {
    QFETCH(double, height);
    QFETCH(int, steps);
    QFETCH(int, first);
    QFETCH(int, last);
    const QList<int> heights = closinganimation::stepHeights(height);
    QCOMPARE(heights.size(), steps);
    QCOMPARE(heights.first(), first);
    QCOMPARE(heights.last(), last);
    for (qsizetype i = 1; i < heights.size(); ++i)
        QCOMPARE(heights[i - 1] - heights[i], closinganimation::stepTwips);
}

void TestClosingAnimation::shrinksAndCentres() {
    QWidget window;
    QVERIFY(showWithOuterHeight(window, 250)); // 3750 twips
    closinganimation::play(&window);
    QCOMPARE(window.frameGeometry().height(), twips::toPixels(150));
    const QRect available = window.screen()->availableGeometry();
    const int centredTop =
        available.top() +
        int(std::lround((available.height() - window.frameGeometry().height()) / 2.0));
    QCOMPARE(window.frameGeometry().top(), centredTop);
    QCOMPARE(window.width(), 300);
}

void TestClosingAnimation::leavesMinimisedWindowAlone() {
    QWidget window;
    window.resize(300, 250);
    window.showMinimized();
    QVERIFY(window.windowState() & Qt::WindowMinimized);
    closinganimation::play(&window);
    QCOMPARE(window.height(), 250);
}

void TestClosingAnimation::leavesHiddenWindowAlone() {
    QWidget window;
    window.resize(300, 250);
    closinganimation::play(&window);
    QCOMPARE(window.height(), 250);
}

void TestClosingAnimation::secondCloseDuringAnimationDoesNotRestart() {
    QWidget window;
    QVERIFY(showWithOuterHeight(window, 250));

    // A tick between the steps notes the height and, once, asks for the animation again.
    QList<int> seen;
    bool asked = false;
    QTimer ticker;
    ticker.setInterval(0);
    connect(&ticker, &QTimer::timeout, this, [&] {
        seen.append(window.height());
        if (!asked) {
            asked = true;
            closinganimation::play(&window);
            seen.append(window.height());
        }
    });
    ticker.start();
    closinganimation::play(&window);
    ticker.stop();
    QVERIFY(asked);
    QVERIFY(seen.size() >= 2);
    for (qsizetype i = 1; i < seen.size(); ++i)
        QVERIFY2(seen[i] <= seen[i - 1], "the window grew again during the animation");
    QCOMPARE(window.frameGeometry().height(), twips::toPixels(150));

    // Once finished, the animation can run again.
    QVERIFY(showWithOuterHeight(window, 40)); // 600 twips: 450, 300, 150
    closinganimation::play(&window);
    QCOMPARE(window.frameGeometry().height(), twips::toPixels(150));
}

void TestClosingAnimation::windowDeletedDuringAnimation() {
    QPointer<QWidget> window = new QWidget;
    window->setFixedSize(300, 250);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    int steps = 0;
    QTimer ticker;
    ticker.setInterval(0);
    connect(&ticker, &QTimer::timeout, this, [&] {
        if (++steps == 3)
            delete window.data();
    });
    ticker.start();
    closinganimation::play(window);
    ticker.stop();
    QVERIFY(window.isNull());
    QCOMPARE(steps, 3);
}

QTEST_MAIN(TestClosingAnimation)
#include "test_closinganimation.moc"
