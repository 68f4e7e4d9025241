#include "aboutbox.h"
#include "kestrionversion.h"
#include "programversion.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

// Stands in for the browser: records what the About box asks to open.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }
};

// True when some row of the label, as drawn, is dark across most of its text's width.
static bool hasUnderline(QLabel *label)
{
    const QImage image = label->grab().toImage();
    const int textWidth = std::min(label->sizeHint().width(), image.width());
    for (int y = 0; y < image.height(); ++y) {
        int dark = 0;
        for (int x = 0; x < textWidth; ++x)
            dark += qGray(image.pixel(x, y)) < 160;
        if (dark >= textWidth * 8 / 10)
            return true;
    }
    return false;
}

class AboutTest : public QObject
{
    Q_OBJECT

private slots:
    void versionLine_data();
    void versionLine();
    void buildVersion();
    void window();
    void controls_data();
    void controls();
    void texts();
    void link();
    void closes_data();
    void closes();
    void centredOverOwner();
};

void AboutTest::versionLine_data()
{
    QTest::addColumn<int>("majorNumber");
    QTest::addColumn<int>("minorNumber");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("line");
    const QString name = QStringLiteral("Kestrion's Data Transfer System ");
    QTest::newRow("1.0.32") << 1 << 0 << 32 << name + QStringLiteral("V1.0 (1.00.0032)");
    QTest::newRow("2.1.100") << 2 << 1 << 100 << name + QStringLiteral("V2.1 (2.01.0100)");
    QTest::newRow("2.12.5") << 2 << 12 << 5 << name + QStringLiteral("V2.12 (2.12.0005)");
    QTest::newRow("wider than the patterns") << 10 << 123 << 45678 << name + QStringLiteral("V10.123 (10.123.45678)");
}

void AboutTest::versionLine()
{
    QFETCH(int, majorNumber);
    QFETCH(int, minorNumber);
    QFETCH(int, revision);
    QFETCH(QString, line);
    QCOMPARE(::versionLine({majorNumber, minorNumber, revision}), line);
}

void AboutTest::buildVersion()
{
    // The version the build was given, whose third field is always 0, read back whole.
    QCOMPARE(fileVersionString(programVersion()), QStringLiteral(KESTRION_VERSION));
    QCOMPARE(fileVersionString({2, 12, 5}), QStringLiteral("2.12.0.5"));
}

void AboutTest::window()
{
    AboutBox box;
    QCOMPARE(box.objectName(), QStringLiteral("frmAbout"));
    QCOMPARE(box.windowTitle(), QStringLiteral("About Kestrion's Data Transfer System"));
    QCOMPARE(box.size(), QSize(460, 266));
    QCOMPARE(box.minimumSize(), QSize(460, 266));
    QCOMPARE(box.maximumSize(), QSize(460, 266));
    const Qt::WindowFlags flags = box.windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(box.isModal());
}

void AboutTest::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("Image1") << "Image1" << QRect(0, 0, 460, 72);
    QTest::newRow("lblKestrion") << "lblKestrion" << QRect(48, 88, 360, 24);
    QTest::newRow("Label1") << "Label1" << QRect(48, 128, 361, 65);
    QTest::newRow("Label2") << "Label2" << QRect(48, 208, 209, 12);
    QTest::newRow("lblLink") << "lblLink" << QRect(48, 232, 110, 12);
    QTest::newRow("cmdOK") << "cmdOK" << QRect(320, 224, 91, 21);
}

// Every control stands where the layout puts it. A label may be larger than its place
// where our fonts need it, never smaller, and its whole text shows; nothing overlaps.
void AboutTest::controls()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    AboutBox box;
    box.show();
    auto *control = box.findChild<QWidget *>(name);
    QVERIFY(control);
    QVERIFY(control->isVisible());
    QCOMPARE(control->pos(), geometry.topLeft());
    if (auto *label = qobject_cast<QLabel *>(control); label && !label->text().isEmpty()) {
        QCOMPARE(label->size().expandedTo(geometry.size()), label->size());
        const int textHeight = label->wordWrap() ? label->heightForWidth(label->width())
                                                 : label->sizeHint().height();
        QVERIFY(label->height() >= textHeight);
        if (!label->wordWrap())
            QVERIFY(label->width() >= label->sizeHint().width());
    } else {
        QCOMPARE(control->size(), geometry.size());
    }

    QVERIFY(box.rect().contains(control->geometry()));
    const char *names[] = {"Image1", "lblKestrion", "Label1", "Label2", "lblLink", "cmdOK"};
    for (const char *other : names) {
        if (name == QLatin1String(other))
            continue;
        const QRect otherGeometry = box.findChild<QWidget *>(QLatin1String(other))->geometry();
        QVERIFY2(!control->geometry().intersects(otherGeometry), other);
    }
}

void AboutTest::texts()
{
    AboutBox box;
    auto label = [&](const char *name) {
        auto *l = box.findChild<QLabel *>(QLatin1String(name));
        Q_ASSERT(l);
        return l;
    };

    QCOMPARE(label("Image1")->pixmap().size(), QSize(460, 72));

    const QStringList version = label("lblKestrion")->text().split(QLatin1Char('\n'));
    QCOMPARE(version.size(), 2);
    QCOMPARE(version[0], QStringLiteral("Kestrion's Data Transfer System V1.0 (1.00.0032)"));
    QVERIFY(version[1].startsWith(QStringLiteral("Copyright © 2026 Valtrona")));

    QLabel *label1 = label("Label1");
    QCOMPARE(label1->text(),
             QStringLiteral("VXT-8052 Kestrion is an educational training system (for 8051 "
                            "serier single chip microcomputer).\n"
                            "VXT-8088 Kestrion is an educational training system (for 8088 "
                            "serier single chip microcomputer)."));
    QCOMPARE(label1->font().family(), QStringLiteral("Times New Roman"));
    QCOMPARE(label1->font().pointSize(), 9);

    QVERIFY(label("Label2")->text().startsWith(QStringLiteral("Valtrona")));

    auto *ok = box.findChild<QPushButton *>(QStringLiteral("cmdOK"));
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral("&OK"));
    QVERIFY(ok->isDefault());
    QCOMPARE(ok->font().family(), QStringLiteral("Times New Roman"));
    QCOMPARE(ok->font().pointSize(), 9);

    QLabel *link = label("lblLink");
    QCOMPARE(link->text(), QStringLiteral("www.valtrona.example"));
    QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QVERIFY(link->font().underline());
    QVERIFY(hasUnderline(link));
    QCOMPARE(link->font().family(), QStringLiteral("新細明體"));
    QCOMPARE(link->font().pointSize(), 9);
    QCOMPARE(link->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(link->cursor().hotSpot(), QPoint(12, 5));
    QCOMPARE(link->cursor().pixmap().size(), QSize(32, 32));
}

void AboutTest::link()
{
    UrlRecorder browser;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &browser, "open");
    AboutBox box;
    box.show();
    auto *link = box.findChild<QLabel *>(QStringLiteral("lblLink"));

    QTest::mouseClick(link, Qt::RightButton, {}, QPoint(5, 5));
    QVERIFY(browser.opened.isEmpty());
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(browser.opened, QList<QUrl>{QUrl(QStringLiteral("http://www.valtrona.example"))});
    QVERIFY(box.isVisible()); // the box stays open
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
}

void AboutTest::closes_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("OK clicked") << "click";
    QTest::newRow("Enter") << "enter";
    QTest::newRow("Esc") << "escape";
    QTest::newRow("close box") << "close";
}

void AboutTest::closes()
{
    QFETCH(QString, how);
    AboutBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QSignalSpy finished(&box, &QDialog::finished);
    auto *ok = box.findChild<QPushButton *>(QStringLiteral("cmdOK"));

    if (how == QLatin1String("click"))
        QTest::mouseClick(ok, Qt::LeftButton);
    else if (how == QLatin1String("enter"))
        QTest::keyClick(&box, Qt::Key_Return);
    else if (how == QLatin1String("escape"))
        QTest::keyClick(&box, Qt::Key_Escape);
    else
        QVERIFY(box.close());

    QVERIFY(!box.isVisible());
    QCOMPARE(finished.count(), 1);
}

void AboutTest::centredOverOwner()
{
    QWidget owner;
    owner.setGeometry(120, 90, 700, 500);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    AboutBox box(&owner);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QPoint offset = box.frameGeometry().center() - owner.frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 2, qPrintable(QStringLiteral("off by %1,%2")
                                                          .arg(offset.x())
                                                          .arg(offset.y())));
}

QTEST_MAIN(AboutTest)
#include "tst_about.moc"
