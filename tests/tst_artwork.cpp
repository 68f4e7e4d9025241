#include <QFile>
#include <QImage>
#include <QSet>
#include <QtTest>

// The pictures compiled into the program: sizes and the properties the windows rely on.
class ArtworkTest : public QObject
{
    Q_OBJECT

private slots:
    void sizes_data();
    void sizes();
    void splashIsProgressive();
    void iconHasSixteenColourLook();
    void handPointsAtItsHotSpot();
};

void ArtworkTest::sizes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::newRow("splash") << ":/assets/splash.jpg" << QSize(640, 470);
    QTest::newRow("banner") << ":/assets/banner.jpg" << QSize(460, 72);
    QTest::newRow("icon") << ":/assets/icon.png" << QSize(32, 32);
    QTest::newRow("hand") << ":/assets/hand.png" << QSize(32, 32);
}

void ArtworkTest::sizes()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), size);
}

void ArtworkTest::splashIsProgressive()
{
    QFile file(QStringLiteral(":/assets/splash.jpg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    QVERIFY(data.startsWith("\xFF\xD8"));
    QVERIFY(data.contains("\xFF\xC2")); // start of a progressive frame
}

void ArtworkTest::iconHasSixteenColourLook()
{
    const QImage icon = QImage(QStringLiteral(":/assets/icon.png")).convertToFormat(QImage::Format_ARGB32);
    QSet<QRgb> colours;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            if (qAlpha(icon.pixel(x, y)) != 0) {
                QCOMPARE(qAlpha(icon.pixel(x, y)), 255); // no soft edges
                colours.insert(icon.pixel(x, y));
            }
    QVERIFY(colours.size() <= 16);
}

void ArtworkTest::handPointsAtItsHotSpot()
{
    const QImage hand = QImage(QStringLiteral(":/assets/hand.png")).convertToFormat(QImage::Format_ARGB32);
    QVERIFY(hand.hasAlphaChannel());
    QCOMPARE(qAlpha(hand.pixel(0, 0)), 0);
    // (12, 5) is the top of the index finger: drawn, with nothing drawn above it.
    QCOMPARE(qAlpha(hand.pixel(12, 5)), 255);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 32; ++x)
            QCOMPARE(qAlpha(hand.pixel(x, y)), 0);
}

QTEST_MAIN(ArtworkTest)
#include "tst_artwork.moc"
