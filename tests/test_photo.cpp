// The photo's limits and stored form, and the closing animation.
#include "support/tablerows.h"
#include "support/testfonts.h"
#include "ui/closinganimation.h"
#include "ui/photo.h"
#include "ui/twips.h"

#include <QBuffer>
#include <QFile>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QtEndian>
#include <sys/stat.h>

namespace {

QByteArray encoded(QSize size, const char *format) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(200, 40, 40));
    QByteArray bytes;
    QBuffer buffer(&bytes); // the writer opens it
    image.save(&buffer, format);
    return bytes;
}

// A 1×1 BMP whose header claims another size.
QByteArray bmpClaiming(qint32 width, qint32 height) {
    QByteArray bmp = encoded(QSize(1, 1), "bmp");
    qToLittleEndian(width, bmp.data() + 18);
    qToLittleEndian(height, bmp.data() + 22);
    return bmp;
}

} // namespace

class TestPhoto : public QObject {
    Q_OBJECT
public:
    static void initMain() { testfonts::pin(); }

private slots:
    void loadAndDecode_data() {
        // A size of 0 keeps the file as written; an invalid expected size means refused.
        columns<QByteArray, qint64, QSize>("content", "size", "expected");
        const qint64 own = 0, limit = photo::maxFileBytes;
        QByteArray damaged = encoded(QSize(16, 16), "png");
        damaged[16] = char(damaged[16] ^ 0x7F); // the header's checksum no longer matches
        row("png", encoded(QSize(40, 30), "png"), own, QSize(40, 30));
        row("bmp, scaled to fit", encoded(QSize(300, 900), "bmp"), own, QSize(170, 512));
        row("widest line", encoded(QSize(8000, 1), "png"), own, QSize(512, 1));
        row("file at the size limit", encoded(QSize(9, 9), "png"), limit, QSize(9, 9));
        row("file past the size limit", encoded(QSize(9, 9), "png"), limit + 1, QSize());
        row("too wide", encoded(QSize(8001, 1), "png"), own, QSize());
        row("text", QByteArray("Esto no es una foto.\n"), own, QSize());
        row("claims 30000x30000", bmpClaiming(30000, 30000), own, QSize());
        row("claims too many pixels", bmpClaiming(7000, 7000), own, QSize());
        row("claims a negative width", bmpClaiming(-1, 1), own, QSize());
        row("damaged header", damaged, own, QSize());
    }

    void loadAndDecode() {
        const auto [content, size, expected] =
            fetch<QByteArray, qint64, QSize>("content", "size", "expected");
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("foto.png")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        QVERIFY(file.resize(size ? size : content.size())); // sparse: no disk taken
        file.close();
        const std::optional<QImage> loaded = photo::loadFile(file.fileName());
        QCOMPARE(loaded ? loaded->size() : QSize(), expected);
        const QImage decoded = photo::decode(content);
        QCOMPARE(decoded.isNull() ? QSize() : decoded.size(), size ? QSize(9, 9) : expected);
    }

    void limitsAndStoredForm() {
        for (const QSize size : {QSize(1, 1), QSize(8000, 5000), QSize(1, 8000)})
            QVERIFY(photo::withinLimits(size));
        for (const QSize size : {QSize(0, 10), QSize(-1, 10), QSize(8000, 5001), QSize(7000, 7000)})
            QVERIFY(!photo::withinLimits(size));
        // Reading a FIFO that no one writes would wait for ever.
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("f.png")), link = fifo + u'l';
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0 &&
                QFile::link(fifo, link));
        for (const QString &path :
             {dir.path(), link + u'x', QString(), fifo, link, QStringLiteral("/dev/zero")})
            QVERIFY2(!photo::loadFile(path), qPrintable(path));
        QImage picture(2, 1, QImage::Format_RGB32);
        picture.setPixel(0, 0, qRgb(1, 2, 3));
        picture.setPixel(1, 0, qRgb(250, 251, 252));
        const QByteArray stored = photo::encode(picture);
        QVERIFY(stored.startsWith("\x89PNG"));
        QCOMPARE(photo::decode(stored).convertToFormat(QImage::Format_RGB32), picture);
        QVERIFY(photo::encode(QImage()).isEmpty() && photo::decode(QByteArray()).isNull());
    }

    void stepHeights_data() {
        columns<double, int, int, int>("height", "steps", "first", "last");
        row("3750", 3750.0, 24, 3600, 150);
        row("301", 301.0, 2, 151, 1);
        row("150, at least one step", 150.0, 1, 0, 0);
        row("tie rounds to even, up", 3751.5, 25, 3602, 2);
        row("beyond 16 bits", 1e9, 218, 32617, 67);
        row("not a number", qQNaN(), 1, -150, -150);
    }

    void stepHeights() {
        const auto [height, steps, first, last] =
            fetch<double, int, int, int>("height", "steps", "first", "last");
        const QList<int> heights = closinganimation::stepHeights(height);
        QCOMPARE(heights.size(), steps);
        QCOMPARE(heights.first(), first);
        QCOMPARE(heights.last(), last);
        for (qsizetype i = 1; i < heights.size(); ++i)
            QCOMPARE(heights[i - 1] - heights[i], closinganimation::stepTwips);
    }

    void closingAnimation() {
        QPointer<QWidget> window = new QWidget;
        window->setFixedSize(300, 250);
        closinganimation::play(window); // hidden, then minimised: left alone
        window->showMinimized();
        closinganimation::play(window);
        QCOMPARE(window->height(), 250);
        window->showNormal();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->setFixedHeight(window->height() + 250 - window->frameGeometry().height());
        // A second close while it runs changes nothing.
        int ticks = 0, before = 0, after = -1;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] {
            if (++ticks == 3) {
                before = window->height();
                closinganimation::play(window);
                after = window->height();
            }
        });
        ticker.start(0);
        closinganimation::play(window);
        QCOMPARE(after, before);
        QCOMPARE(window->frameGeometry().height(), twips::toPixels(150));
        const QRect screen = window->screen()->availableGeometry();
        QCOMPARE(window->frameGeometry().top(),
                 screen.top() + qRound((screen.height() - 10) / 2.0));
        QCOMPARE(window->width(), 300);
        // Once over it runs again (600 twips: three steps); a window deleted during it ends it.
        window->setFixedHeight(40 - window->frameGeometry().height() + window->height());
        ticks = 0;
        ticker.disconnect();
        connect(&ticker, &QTimer::timeout, this, [&] {
            if (++ticks == 3)
                delete window.data();
        });
        closinganimation::play(window);
        QVERIFY(window.isNull());
        QCOMPARE(ticks, 3);
    }
};

QTEST_MAIN(TestPhoto)
#include "test_photo.moc"
