// The icon files: the Windows icon reads back with every size and colour it was given, and the
// build made the theme icons and the .ico that get installed.

#include "IconFiles.h"

#include <QBuffer>
#include <QImageReader>
#include <QTest>

namespace {

QList<int> sizesFrom(const char *list)
{
    QList<int> sizes;
    for (const QByteArray &size : QByteArray(list).split(','))
        sizes.append(size.toInt());
    return sizes;
}

// Reads every image of a Windows icon file.
QList<QImage> readIco(QIODevice &device)
{
    QImageReader reader(&device, "ico");
    QList<QImage> images;
    for (int i = 0; i < reader.imageCount(); ++i) {
        if (!reader.jumpToImage(i))
            break;
        images.append(reader.read().convertToFormat(QImage::Format_ARGB32));
    }
    return images;
}

} // namespace

class TestIcons : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void icoHoldsEveryImage();
    void icoRefusesWhatWindowsCannotShow_data();
    void icoRefusesWhatWindowsCannotShow();
    void scaledKeepsColourAndGetsItsSize();
    void buildMadeTheInstalledIcons();
};

void TestIcons::icoHoldsEveryImage()
{
    // 256 is written as 0 in the directory, the other sizes as themselves.
    const QList<int> sizes{16, 48, 256};
    const QList<QColor> colours{QColor(200, 30, 40), QColor(20, 160, 60, 128), QColor(10, 20, 230)};
    QList<QImage> images;
    for (int i = 0; i < sizes.size(); ++i) {
        QImage image(sizes[i], sizes[i], QImage::Format_ARGB32);
        image.fill(colours[i]);
        image.setPixelColor(0, 0, Qt::transparent);
        images.append(image);
    }

    QByteArray ico = icons::IcoFile(images);
    QBuffer buffer(&ico);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const QList<QImage> read = readIco(buffer);
    QCOMPARE(read.size(), sizes.size());
    for (int i = 0; i < sizes.size(); ++i) {
        QCOMPARE(read[i].size(), QSize(sizes[i], sizes[i]));
        QCOMPARE(read[i].pixelColor(sizes[i] - 1, sizes[i] - 1), colours[i]);
        QCOMPARE(read[i].pixelColor(0, 0).alpha(), 0);
    }
}

void TestIcons::icoRefusesWhatWindowsCannotShow_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("not square") << QSize(32, 16);
    QTest::newRow("larger than 256") << QSize(512, 512);
    QTest::newRow("empty") << QSize(0, 0);
}

void TestIcons::icoRefusesWhatWindowsCannotShow()
{
    QFETCH(QSize, size);
    QImage good(16, 16, QImage::Format_ARGB32);
    good.fill(Qt::red);
    QImage bad(size, QImage::Format_ARGB32);
    bad.fill(Qt::red);
    QVERIFY(icons::IcoFile({good, bad}).isEmpty());
}

void TestIcons::scaledKeepsColourAndGetsItsSize()
{
    // The drawing is stored with 16 bits per channel; the icons have 8.
    QImage drawing(64, 64, QImage::Format_RGBA64);
    drawing.fill(QColor(120, 20, 30));
    for (const int size : {16, 22, 64, 256}) {
        const QImage icon = icons::Scaled(drawing, size);
        QCOMPARE(icon.size(), QSize(size, size));
        QCOMPARE(icon.format(), QImage::Format_ARGB32);
        QCOMPARE(icon.pixelColor(size / 2, size / 2), QColor(120, 20, 30));
    }
}

void TestIcons::buildMadeTheInstalledIcons()
{
    const QString dir = QStringLiteral(ZIMBRANA_ICON_DIR);
    const QImage drawing(QStringLiteral(ZIMBRANA_ICON_DRAWING));
    QVERIFY(!drawing.isNull());
    for (const int size : sizesFrom(ZIMBRANA_ICON_SIZES)) {
        const QString file = QStringLiteral("%1/hicolor/%2x%2/apps/%3.png").arg(dir).arg(size).arg(ZIMBRANA_APP_ID);
        const QImage icon(file);
        QVERIFY2(!icon.isNull(), qPrintable(file));
        QCOMPARE(icon.size(), QSize(size, size));
    }
    // The theme's 64 px icon is the drawing itself.
    const QImage full(QStringLiteral("%1/hicolor/64x64/apps/%2.png").arg(dir, ZIMBRANA_APP_ID));
    QCOMPARE(full.convertToFormat(QImage::Format_ARGB32), drawing.convertToFormat(QImage::Format_ARGB32));

    QFile ico(dir + QStringLiteral("/Zimbrana.ico"));
    QVERIFY(ico.open(QIODevice::ReadOnly));
    QList<int> sizes;
    for (const QImage &image : readIco(ico))
        sizes.append(image.width());
    QCOMPARE(sizes, sizesFrom(ZIMBRANA_ICO_SIZES));
}

QTEST_MAIN(TestIcons)
#include "test_icons.moc"
