#include "openinganimation.h"
#include "splashwindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

class SplashTest : public QObject
{
    Q_OBJECT

private slots:
    void startRectangle_data();
    void startRectangle();
    void windowAndPicture();
    void opensWithGrowingFrame();
    void leavesOnceAfterTimer();
    void leavesOnceOnClick();

private:
    static QTimer *shortenWait(SplashWindow &splash, int ms);
    static int visibleFrameEdges();
};

void SplashTest::startRectangle_data()
{
    QTest::addColumn<QRect>("desktop");
    QTest::addColumn<QRect>("start");
    // QRect(x, y, w, h); the start is always one pixel.
    QTest::newRow("1366x768") << QRect(0, 0, 1366, 768) << QRect(683, 384, 1, 1);
    QTest::newRow("682.5 rounds down to even") << QRect(0, 0, 1365, 768) << QRect(682, 384, 1, 1);
    QTest::newRow("683.5 and 384.5 to even") << QRect(0, 0, 1367, 769) << QRect(684, 384, 1, 1);
    QTest::newRow("1x1") << QRect(0, 0, 1, 1) << QRect(0, 0, 1, 1);
    QTest::newRow("screen right of another") << QRect(1920, 0, 1366, 768) << QRect(2603, 384, 1, 1);
}

void SplashTest::startRectangle()
{
    QFETCH(QRect, desktop);
    QFETCH(QRect, start);
    const ScreenRect result = animationStartRect(ScreenRect::fromQRect(desktop));
    QCOMPARE(result.toQRect(), start);
    QCOMPARE(result.right, result.left + 1);
    QCOMPARE(result.bottom, result.top + 1);
}

QTimer *SplashTest::shortenWait(SplashWindow &splash, int ms)
{
    auto *timer = splash.findChild<QTimer *>(QStringLiteral("tmrLogo"));
    Q_ASSERT(timer);
    timer->setInterval(ms);
    return timer;
}

int SplashTest::visibleFrameEdges()
{
    int count = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        count += w->objectName() == QLatin1String("openingFrameEdge") && w->isVisible();
    return count;
}

void SplashTest::windowAndPicture()
{
    SplashWindow splash;
    QCOMPARE(splash.objectName(), QStringLiteral("frmLogo"));
    QCOMPARE(splash.windowTitle(), QStringLiteral("Valtrona"));
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(splash.windowType(), Qt::SplashScreen);
    QCOMPARE(splash.size(), QSize(640, 468));

    auto *timer = splash.findChild<QTimer *>(QStringLiteral("tmrLogo"));
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 5000);
    QVERIFY(!timer->isActive());

    // The picture is drawn unscaled from the top-left corner.
    const QImage picture(QStringLiteral(":/assets/splash.jpg"));
    QCOMPARE(picture.size(), QSize(640, 470));
    const QImage shown = splash.grab().toImage();
    for (const QPoint p : {QPoint(0, 0), QPoint(72, 410), QPoint(200, 250), QPoint(639, 467)})
        QCOMPARE(QColor(shown.pixel(p)), QColor(picture.pixel(p)));
}

void SplashTest::opensWithGrowingFrame()
{
    SplashWindow splash;
    QTimer *timer = shortenWait(splash, 60000);
    const QRect desktop = QGuiApplication::primaryScreen()->geometry();

    splash.start();
    QVERIFY(timer->isActive()); // the wait starts with the loading, not the showing
    QVERIFY(!splash.isVisible());
    QPointer<OpeningAnimation> opening = splash.findChild<OpeningAnimation *>();
    QVERIFY(opening);
    QCOMPARE(opening->frameRect(),
             animationStartRect(ScreenRect::fromQRect(desktop)).toQRect());
    QCOMPARE(visibleFrameEdges(), 4);
    QRect lastFrame;
    connect(opening, &OpeningAnimation::finished, this,
            [&] { lastFrame = opening->frameRect(); });

    QTRY_VERIFY_WITH_TIMEOUT(splash.isVisible(), 3000);
    QCOMPARE(lastFrame, splash.geometry()); // it ended on the splash
    QCOMPARE(splash.geometry().center(), desktop.center());
    QCOMPARE(visibleFrameEdges(), 0);
    QTRY_VERIFY(!opening);
    QVERIFY(timer->isActive());

    splash.start(); // a second start changes nothing
    QVERIFY(!splash.findChild<OpeningAnimation *>());
}

void SplashTest::leavesOnceAfterTimer()
{
    SplashWindow splash;
    QTimer *timer = shortenWait(splash, 400);
    QSignalSpy leaving(&splash, &SplashWindow::leaving);

    splash.start();
    QTRY_VERIFY_WITH_TIMEOUT(splash.isVisible(), 3000);
    QCOMPARE(leaving.count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(leaving.count(), 1, 3000);
    QVERIFY(!splash.isVisible());
    QVERIFY(!timer->isActive());

    // Nothing comes after the timer: not a click, not the timer again.
    QTest::mouseClick(&splash, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::qWait(600);
    QCOMPARE(leaving.count(), 1);
}

void SplashTest::leavesOnceOnClick()
{
    SplashWindow splash;
    QTimer *timer = shortenWait(splash, 500);
    QSignalSpy leaving(&splash, &SplashWindow::leaving);
    bool visibleWhenLeaving = false;
    connect(&splash, &SplashWindow::leaving, this,
            [&] { visibleWhenLeaving = splash.isVisible(); });

    splash.start();
    QTRY_VERIFY_WITH_TIMEOUT(splash.isVisible(), 3000);
    QTest::mouseClick(&splash, Qt::LeftButton, {}, QPoint(600, 20));
    QCOMPARE(leaving.count(), 1);   // at once
    QVERIFY(visibleWhenLeaving);    // the next window comes up before the splash goes
    QVERIFY(!splash.isVisible());
    QVERIFY(!timer->isActive());

    QTest::mouseClick(&splash, Qt::RightButton, {}, QPoint(10, 10));
    QTest::qWait(800); // past the timer's interval
    QCOMPARE(leaving.count(), 1);
}

QTEST_MAIN(SplashTest)
#include "tst_splash.moc"
