#include "photo.h"
#include "photobox.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <sys/types.h>

namespace {

quint32 crc32(const QByteArray &bytes) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void appendBigEndian(QByteArray &bytes, quint32 value) {
    bytes.append(char((value >> 24) & 0xFF));
    bytes.append(char((value >> 16) & 0xFF));
    bytes.append(char((value >> 8) & 0xFF));
    bytes.append(char(value & 0xFF));
}

void appendChunk(QByteArray &png, const char *type, const QByteArray &data) {
    appendBigEndian(png, quint32(data.size()));
    QByteArray typed(type);
    typed += data;
    png += typed;
    appendBigEndian(png, crc32(typed));
}

// A PNG whose header claims the given size, with a correct checksum and a tiny, far too short
// image body.
QByteArray pngClaiming(quint32 width, quint32 height) {
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    appendBigEndian(header, width);
    appendBigEndian(header, height);
    header.append(char(8)); // bit depth
    header.append(char(2)); // truecolour
    header.append(char(0));
    header.append(char(0));
    header.append(char(0));
    appendChunk(png, "IHDR", header);
    // zlib stream of a few zero bytes.
    appendChunk(png, "IDAT", QByteArray::fromHex("789c636000000000010001"));
    appendChunk(png, "IEND", {});
    return png;
}

QImage solid(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray encoded(const QImage &image, const char *format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

// A picture with noise, so that its JPEG form has a real body to cut short.
QImage noisy(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    quint32 state = 12345;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            image.setPixel(x, y, qRgb(int(state >> 24), int((state >> 16) & 0xFF), x % 256));
        }
    return image;
}

} // namespace

class TestPhoto : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void limits_data();
    void limits();
    void loadsPictures_data();
    void loadsPictures();
    void refusesWhatIsNoPicture_data();
    void refusesWhatIsNoPicture();
    void refusesSpecialFiles();
    void refusesOversizedFile();
    void truncatedJpegIsBounded();
    void encodeDecodeRoundTrip();
    void decodeRefusesDamagedBytes_data();
    void decodeRefusesDamagedBytes();
    void photoBoxReportsDroppedFiles();
    void photoBoxIgnoresDropsWithoutFiles();
    void photoBoxStoredPicture();
};

void TestPhoto::limits_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("1x1") << QSize(1, 1) << true;
    QTest::newRow("empty") << QSize(0, 0) << false;
    QTest::newRow("no width") << QSize(0, 10) << false;
    QTest::newRow("negative") << QSize(-1, 10) << false;
    QTest::newRow("widest") << QSize(8000, 1) << true;
    QTest::newRow("too wide") << QSize(8001, 1) << false;
    QTest::newRow("too high") << QSize(1, 8001) << false;
    QTest::newRow("40 Mpx") << QSize(8000, 5000) << true;
    QTest::newRow("40 Mpx + 1 row") << QSize(8000, 5001) << false;
    QTest::newRow("7000x7000") << QSize(7000, 7000) << false;
    QTest::newRow("30000x30000") << QSize(30000, 30000) << false;
}

void TestPhoto::limits() {
    QFETCH(QSize, size);
    QFETCH(bool, accepted);
    QCOMPARE(photo::withinLimits(size), accepted);
}

void TestPhoto::loadsPictures_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("small png") << QSize(40, 30) << QByteArray("png") << QSize(40, 30);
    QTest::newRow("jpeg") << QSize(64, 48) << QByteArray("jpg") << QSize(64, 48);
    QTest::newRow("bmp") << QSize(20, 20) << QByteArray("bmp") << QSize(20, 20);
    QTest::newRow("exactly 512") << QSize(512, 512) << QByteArray("png") << QSize(512, 512);
    QTest::newRow("wide, scaled") << QSize(1024, 256) << QByteArray("png") << QSize(512, 128);
    QTest::newRow("tall, scaled") << QSize(300, 900) << QByteArray("png") << QSize(170, 512);
    QTest::newRow("thin line") << QSize(8000, 1) << QByteArray("png") << QSize(512, 1);
}

void TestPhoto::loadsPictures() {
    QFETCH(QSize, size);
    QFETCH(QByteArray, format);
    QFETCH(QSize, expected);
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("foto.") + QString::fromLatin1(format),
                                   encoded(solid(size, QColor(200, 40, 40)), format.constData()));
    QVERIFY(!path.isEmpty());
    const std::optional<QImage> loaded = photo::loadFile(path);
    QVERIFY(loaded.has_value());
    QCOMPARE(loaded->size(), expected);
    const QColor centre = loaded->pixelColor(expected.width() / 2, expected.height() / 2);
    QVERIFY(qAbs(centre.red() - 200) < 12 && centre.green() < 60 && centre.blue() < 60);
}

void TestPhoto::refusesWhatIsNoPicture_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("text") << QByteArray("Esto no es una foto.\n");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("png claiming 30000x30000") << pngClaiming(30000, 30000);
    QTest::newRow("png claiming 7000x7000") << pngClaiming(7000, 7000);
    QTest::newRow("png claiming 8001x1") << pngClaiming(8001, 1);
    QTest::newRow("png claiming 0x0") << pngClaiming(0, 0);
    QTest::newRow("png claiming 4294967295 wide") << pngClaiming(0xFFFFFFFFu, 1);
    QTest::newRow("png signature only") << QByteArray("\x89PNG\r\n\x1a\n", 8);
    QTest::newRow("jpeg start only") << QByteArray("\xFF\xD8", 2);
    // Real, decodable pictures beyond the size limit.
    QTest::newRow("real 8001x1") << encoded(solid(QSize(8001, 1), Qt::red), "png");
    QTest::newRow("real 1x8001") << encoded(solid(QSize(1, 8001), Qt::red), "png");
}

void TestPhoto::refusesWhatIsNoPicture() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("foto.png"), content);
    QVERIFY(!path.isEmpty());
    QVERIFY(!photo::loadFile(path).has_value());
    QVERIFY(photo::decode(content).isNull());
}

void TestPhoto::refusesSpecialFiles() {
    QTemporaryDir dir;
    QVERIFY(!photo::loadFile(dir.path()).has_value());
    QVERIFY(!photo::loadFile(dir.filePath(QStringLiteral("no-existe.png"))).has_value());
    QVERIFY(!photo::loadFile(QString()).has_value());

    // Reading a FIFO that no one writes would wait for ever.
    const QString fifo = dir.filePath(QStringLiteral("tuberia.png"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QVERIFY(!photo::loadFile(fifo).has_value());
    const QString link = dir.filePath(QStringLiteral("enlace.png"));
    QVERIFY(QFile::link(fifo, link));
    QVERIFY(!photo::loadFile(link).has_value());

    QVERIFY(!photo::loadFile(QStringLiteral("/dev/zero")).has_value());
}

void TestPhoto::refusesOversizedFile() {
    QTemporaryDir dir;
    // A real picture followed by padding beyond the file size limit (sparse, so it costs no disk).
    const QString path = writeFile(dir, QStringLiteral("grande.png"),
                                   encoded(solid(QSize(10, 10), Qt::blue), "png"));
    QVERIFY(!path.isEmpty());
    QVERIFY(photo::loadFile(path).has_value());
    QFile file(path);
    QVERIFY(file.resize(photo::maxFileBytes + 1));
    QVERIFY(!photo::loadFile(path).has_value());
    QVERIFY(file.resize(photo::maxFileBytes));
    QVERIFY(photo::loadFile(path).has_value());
}

void TestPhoto::truncatedJpegIsBounded() {
    QTemporaryDir dir;
    const QByteArray whole = encoded(noisy(QSize(300, 200)), "jpg");
    QVERIFY(whole.size() > 1000);
    const QString half = writeFile(dir, QStringLiteral("mitad.jpg"), whole.left(whole.size() / 2));
    // The decoder may give back what it could read; anything it gives back is within bounds.
    if (const std::optional<QImage> loaded = photo::loadFile(half)) {
        QVERIFY(loaded->width() <= photo::storedSide && loaded->height() <= photo::storedSide);
        QCOMPARE(loaded->size(), QSize(300, 200));
    }
    // Cut inside the header, nothing is left to show.
    const QString header = writeFile(dir, QStringLiteral("cabecera.jpg"), whole.left(20));
    QVERIFY(!photo::loadFile(header).has_value());
}

void TestPhoto::encodeDecodeRoundTrip() {
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    picture.setPixel(1, 0, qRgb(0, 255, 0));
    picture.setPixel(2, 0, qRgb(0, 0, 255));
    picture.setPixel(0, 1, qRgb(1, 2, 3));
    picture.setPixel(1, 1, qRgb(250, 251, 252));
    picture.setPixel(2, 1, qRgb(128, 128, 128));
    const QByteArray bytes = photo::encode(picture);
    QVERIFY(bytes.startsWith("\x89PNG"));
    const QImage back = photo::decode(bytes);
    QCOMPARE(back.size(), picture.size());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            QCOMPARE(QColor(back.pixel(x, y)), QColor(picture.pixel(x, y)));

    QVERIFY(photo::encode(QImage()).isEmpty());
    QVERIFY(photo::decode(QByteArray()).isNull());
}

void TestPhoto::decodeRefusesDamagedBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = photo::encode(solid(QSize(16, 16), Qt::green));
    QTest::newRow("garbage") << QByteArray("\x00\x01\x02garbage", 10);
    QTest::newRow("cut png") << good.left(20);
    QTest::newRow("hostile header") << pngClaiming(30000, 30000);
    QByteArray flipped = good;
    flipped[16] = char(flipped[16] ^ 0x7F); // inside IHDR: the checksum no longer matches
    QTest::newRow("damaged header") << flipped;
}

void TestPhoto::decodeRefusesDamagedBytes() {
    QFETCH(QByteArray, bytes);
    QVERIFY(photo::decode(bytes).isNull());
}

void TestPhoto::photoBoxReportsDroppedFiles() {
    PhotoBox box;
    box.setAcceptsFiles(true);
    box.resize(73, 89);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QSignalSpy dropped(&box, &PhotoBox::filesDropped);

    QMimeData data;
    const QList<QUrl> urls{QUrl::fromLocalFile(QStringLiteral("/tmp/a.png")),
                           QUrl::fromLocalFile(QStringLiteral("/tmp/b.png")),
                           QUrl::fromLocalFile(QStringLiteral("/tmp/c.png"))};
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&box, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&box, &drop);
    QCOMPARE(dropped.size(), 1);
    QCOMPARE(dropped.first().first().value<QList<QUrl>>(), urls);
}

void TestPhoto::photoBoxIgnoresDropsWithoutFiles() {
    PhotoBox box;
    box.setAcceptsFiles(true);
    QSignalSpy dropped(&box, &PhotoBox::filesDropped);
    QMimeData data;
    data.setText(QStringLiteral("texto arrastrado"));
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QApplication::sendEvent(&box, &enter);
    QVERIFY(!enter.isAccepted());
    QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&box, &drop);
    QCOMPARE(dropped.size(), 0);
}

void TestPhoto::photoBoxStoredPicture() {
    PhotoBox box;
    QVERIFY(box.picture().isNull());
    QVERIFY(box.property("storedPicture").toByteArray().isEmpty());
    const QImage red = solid(QSize(5, 7), Qt::red);
    box.setProperty("storedPicture", photo::encode(red));
    QCOMPARE(box.picture().size(), QSize(5, 7));
    QCOMPARE(QColor(box.picture().pixel(2, 3)), QColor(Qt::red));
    QCOMPARE(photo::decode(box.storedPicture()).size(), QSize(5, 7));
    // Damaged stored bytes leave the box empty instead of showing the old picture.
    box.setProperty("storedPicture", QByteArray("rubbish"));
    QVERIFY(box.picture().isNull());

    // The picture is drawn stretched over the whole inside of the border.
    box.resize(40, 30);
    box.setPicture(solid(QSize(2, 2), Qt::blue));
    const QImage shown = box.grab().toImage();
    QCOMPARE(QColor(shown.pixel(0, 0)), QColor(box.palette().color(QPalette::WindowText)));
    QCOMPARE(QColor(shown.pixel(1, 1)), QColor(Qt::blue));
    QCOMPARE(QColor(shown.pixel(38, 28)), QColor(Qt::blue));
    QCOMPARE(QColor(shown.pixel(39, 29)), QColor(box.palette().color(QPalette::WindowText)));
}

QTEST_MAIN(TestPhoto)
#include "test_photo.moc"
