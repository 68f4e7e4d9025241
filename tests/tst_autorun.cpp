// Tests of the disc start menu `autorun`.
// Mouse input goes through the window (QTEST_QPA_MOUSE_HANDLING), so the platform's own
// routing decides which control gets it, as it does for a user.
#define QTEST_QPA_MOUSE_HANDLING
#include "autorun_window.h"
#include "launcher_logic.h"
#include "twips.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace autorun;

namespace {

const QString kThreeIdeographicSpaces = QString(3, QChar(0x3000));

// Writes a 600 x 400 JPEG of one colour.
bool writePicture(const QString &path, const QColor &color)
{
    QImage image(600, 400, QImage::Format_RGB32);
    image.fill(color);
    return image.save(path, "JPEG", 95);
}

bool sameLine(const LineShape *line, const FrameLine &expected)
{
    return line->x1() == expected.x1 && line->y1() == expected.y1 && line->x2() == expected.x2
           && line->y2() == expected.y2 && line->borderColor() == expected.color
           && line->isVisibleTo(line->parentWidget());
}

// The centre of a widget in its top-level window's coordinates.
QPoint centreIn(QWidget *window, QWidget *child)
{
    return child->mapTo(window, child->rect().center());
}

} // namespace

class AutorunTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // Pure helpers.
    void twipScale();
    void colours();
    void layoutForTabRow_data();
    void layoutForTabRow();
    void frameOfDesignedLabels_data();
    void frameOfDesignedLabels();
    void frameIn16BitArithmetic();
    void pagePictureFiles();
    void installerPath_data();
    void installerPath();
    void languageOfLocale_data();
    void languageOfLocale();
    void pictureErrorTexts_data();
    void pictureErrorTexts();

    // The window.
    void designedWindow();
    void startupLayout();
    void startupLayoutAtOtherResolution();
    void startupLayoutWithTallerTabRow();
    void missingPictureAtStartup();
    void invalidPictureAtStartup();
    void pageSwitchLeavesStateAlone();
    void hoverPressAndIdle();
    void pointerOverLinesAndExplanation();
    void jumpFromLinkToLink();
    void everyEventRepeatsTheWork();
    void linksStartTheirTargets();
    void installerReallyStartsDetached();
    void missingInstallerIsIgnored();
    void pictureErrorOnTabChange();
    // Last: it ends the event loop the way the program does.
    void pictureErrorOnTabChangeEndsTheProgram();

private:
    void enterPictureFolder(bool software = true, bool contact = true);
    std::unique_ptr<AutorunWindow> loadedWindow();

    QTemporaryDir m_folder;
    QString m_savedCwd;
};

void AutorunTest::initTestCase()
{
    QApplication::setApplicationName(LauncherTexts::programTitle());
    // The picture error follows the locale's language: English here, whatever the machine's.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY(m_folder.isValid());
    m_savedCwd = QDir::currentPath();
}

void AutorunTest::init()
{
    QDir(m_folder.path()).removeRecursively();
    QDir().mkpath(m_folder.path());
}

void AutorunTest::cleanup()
{
    QDir::setCurrent(m_savedCwd);
}

void AutorunTest::enterPictureFolder(bool software, bool contact)
{
    if (software)
        QVERIFY(writePicture(m_folder.filePath(QStringLiteral("Software.jpg")), QColor(0, 0, 200)));
    if (contact)
        QVERIFY(writePicture(m_folder.filePath(QStringLiteral("e-contact.jpg")), QColor(200, 0, 0)));
    QVERIFY(QDir::setCurrent(m_folder.path()));
}

std::unique_ptr<AutorunWindow> AutorunTest::loadedWindow()
{
    auto window = std::make_unique<AutorunWindow>(TwipScale(96));
    window->setStartProgramAction([](const QString &) { return false; });
    window->setOpenUrlAction([](const QString &) { return false; });
    const auto error = window->Form_Load();
    if (error)
        qWarning() << error->message(Language::English);
    return error ? nullptr : std::move(window);
}

// ---- Pure helpers ----

void AutorunTest::twipScale()
{
    const TwipScale at96(96);
    QCOMPARE(at96.twipsPerPixel(), 15.0);
    QCOMPARE(at96.toPixels(9120), 608);
    QCOMPARE(at96.toPixels(6390), 426);
    QCOMPARE(at96.toPixels(9000), 600);
    QCOMPARE(at96.toTwips(4), 60.0);
    QCOMPARE(at96.toPixels(QRect(3720, 720, 5055, 285)), QRect(248, 48, 337, 19));
    QCOMPARE(at96.toTwips(QRect(248, 48, 337, 19)), QRect(3720, 720, 5055, 285));

    const TwipScale at120(120);
    QCOMPARE(at120.twipsPerPixel(), 12.0);
    QCOMPARE(at120.toPixels(9000), 750);
}

void AutorunTest::colours()
{
    QCOMPARE(colorFromBgr(kLightFrameColor), QColor(0, 255, 255));
    QCOMPARE(colorFromBgr(kDarkFrameColor), QColor(0, 128, 255));
    QCOMPARE(colorFromBgr(kIdleLinkColor), QColor(0, 255, 0));
    QCOMPARE(bgrFromColor(QColor(0, 128, 255)), 0x00FF8000u);
}

void AutorunTest::layoutForTabRow_data()
{
    QTest::addColumn<int>("CL");
    QTest::addColumn<int>("CT");
    QTest::addColumn<float>("frameWidth");   // outer minus client, twips
    QTest::addColumn<float>("frameHeight");
    QTest::addColumn<float>("clientWidth");
    QTest::addColumn<float>("clientHeight");
    // A window with a border of 120 twips on each side and a caption of 300 twips.
    QTest::newRow("330 twips, designed") << 60 << 330 << 240.f << 420.f << 9120.f << 6390.f;
    QTest::newRow("360 twips, taller row") << 60 << 360 << 240.f << 420.f << 9120.f << 6420.f;
    QTest::newRow("360 twips, no border") << 60 << 360 << 0.f << 0.f << 9120.f << 6420.f;
}

void AutorunTest::layoutForTabRow()
{
    QFETCH(int, CL);
    QFETCH(int, CT);
    QFETCH(float, frameWidth);
    QFETCH(float, frameHeight);
    QFETCH(float, clientWidth);
    QFETCH(float, clientHeight);

    // The window starts at its design client size, 9120 x 6390.
    const StartupLayout l = autorun::startupLayout(CL, CT, 9120 + frameWidth, 6390 + frameHeight,
                                                   9120, 6390);
    QCOMPARE(l.pictureLeft, CL);
    QCOMPARE(l.pictureTop, CT);
    QCOMPARE(l.outerWidth, clientWidth + frameWidth);
    QCOMPARE(l.outerHeight, clientHeight + frameHeight);
    QCOMPARE(l.clientWidth, clientWidth);
    QCOMPARE(l.clientHeight, clientHeight);
    QCOMPARE(l.clientWidth, float(9000 + 2 * CL));
    QCOMPARE(l.clientHeight, float(CT + 6000 + CL));
}

void AutorunTest::frameOfDesignedLabels_data()
{
    QTest::addColumn<QRect>("label");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("bottom");

    const QRect kestrion(3720, 720, 5055, 285);
    const QRect link(3720, 1320, 4665, 285);
    QTest::newRow("lblKestrion raised") << kestrion << false << 3600 << 660 << 8895 << 1065;
    QTest::newRow("lblKestrion sunken") << kestrion << true << 3600 << 660 << 8895 << 1065;
    QTest::newRow("lblLink raised") << link << false << 3600 << 1260 << 8505 << 1665;
    QTest::newRow("lblLink sunken") << link << true << 3600 << 1260 << 8505 << 1665;
}

void AutorunTest::frameOfDesignedLabels()
{
    QFETCH(QRect, label);
    QFETCH(bool, pressed);
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, right);
    QFETCH(int, bottom);

    const quint32 light = pressed ? 0x00FF8000u : 0x00FFFF00u;
    const quint32 dark = pressed ? 0x00FFFF00u : 0x00FF8000u;
    const auto lines = labelFrame(qint16(label.x()), qint16(label.y()), qint16(label.width()),
                                  qint16(label.height()), pressed);
    auto check = [](const FrameLine &l, int x1, int y1, int x2, int y2, quint32 c) {
        return l.x1 == x1 && l.y1 == y1 && l.x2 == x2 && l.y2 == y2 && l.color == c;
    };
    QVERIFY2(check(lines[0], left, top, right, top, light), "Line1, top edge");
    QVERIFY2(check(lines[1], left, top, left, bottom, light), "Line2, left edge");
    QVERIFY2(check(lines[2], left, bottom, right + 1, bottom, dark), "Line3, bottom edge");
    QVERIFY2(check(lines[3], right, top, right, bottom, dark), "Line4, right edge");

    // The same through the window's DrawLabelFrame, onto the four lines.
    AutorunWindow window(TwipScale(96));
    window.DrawLabelFrame(qint16(label.x()), qint16(label.y()), qint16(label.width()),
                          qint16(label.height()), pressed);
    QVERIFY(sameLine(window.Line1, lines[0]));
    QVERIFY(sameLine(window.Line2, lines[1]));
    QVERIFY(sameLine(window.Line3, lines[2]));
    QVERIFY(sameLine(window.Line4, lines[3]));
    // The lines lie in picBackground, with the labels.
    QCOMPARE(window.Line1->parentWidget(), window.picBackground);
    // Top edge in pixels at 96 dpi: from x 240 to 593 (lblKestrion) at y 44.
    if (label.y() == 720)
        QCOMPARE(window.Line1->geometry(), QRect(240, 44, 354, 1));
}

void AutorunTest::frameIn16BitArithmetic()
{
    // 32700 + 100 + 120 does not fit in 16 bits: it wraps as a 16-bit register does.
    const auto lines = labelFrame(32700, 0, 100, 10, false);
    QCOMPARE(int(lines[0].x2), 32700 + 100 + 120 - 65536);
    QCOMPARE(int(lines[2].x2), 32700 + 100 + 121 - 65536);
    QCOMPARE(int(lines[0].x1), 32580);
    // Negative results stay negative.
    const auto nearOrigin = labelFrame(0, 0, 10, 10, false);
    QCOMPARE(int(nearOrigin[0].x1), -120);
    QCOMPARE(int(nearOrigin[0].y1), -60);
}

void AutorunTest::pagePictureFiles()
{
    QCOMPARE(pagePictureFile(1), QStringLiteral("Software.jpg"));
    QCOMPARE(pagePictureFile(2), QStringLiteral("e-contact.jpg"));
    QCOMPARE(pagePictureFile(3), QStringLiteral("e-contact.jpg"));
}

void AutorunTest::installerPath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("expected");
    QTest::newRow("root /") << "/" << QChar(u'/') << "/setup/setup.exe";
    QTest::newRow("/media/kit") << "/media/kit" << QChar(u'/') << "/media/kit/setup/setup.exe";
    QTest::newRow("root D:\\") << "D:\\" << QChar(u'\\') << "D:\\setup\\setup.exe";
    QTest::newRow("C:\\Kit") << "C:\\Kit" << QChar(u'\\') << "C:\\Kit\\setup\\setup.exe";
}

void AutorunTest::installerPath()
{
    QFETCH(QString, folder);
    QFETCH(QChar, separator);
    QFETCH(QString, expected);
    QCOMPARE(autorun::installerPath(folder, separator), expected);
    // The platform's own separator is the default.
    const QString native = QDir::toNativeSeparators(folder);
    if (separator == QDir::separator())
        QCOMPARE(autorun::installerPath(native), expected);
}

void AutorunTest::languageOfLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<Language>("language");
    QTest::newRow("zh_TW") << QLocale(QLocale::Chinese, QLocale::Taiwan) << Language::Chinese;
    QTest::newRow("zh_HK") << QLocale(QLocale::Chinese, QLocale::HongKong) << Language::Chinese;
    QTest::newRow("zh_Hant_CN")
        << QLocale(QLocale::Chinese, QLocale::TraditionalHanScript, QLocale::China) << Language::Chinese;
    QTest::newRow("zh_CN") << QLocale(QLocale::Chinese, QLocale::China) << Language::English;
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << Language::English;
    QTest::newRow("C") << QLocale::c() << Language::English;
}

void AutorunTest::languageOfLocale()
{
    QFETCH(QLocale, locale);
    QFETCH(Language, language);
    QCOMPARE(languageOf(locale), language);
}

void AutorunTest::pictureErrorTexts_data()
{
    QTest::addColumn<Language>("language");
    QTest::addColumn<PictureProblem>("problem");
    QTest::addColumn<QString>("text");
    const QString detail = QStringLiteral("Unsupported image format");
    QTest::newRow("en missing") << Language::English << PictureProblem::Missing
                                << QStringLiteral("Cannot load the picture \"Software.jpg\": File not found.");
    QTest::newRow("en unreadable")
        << Language::English << PictureProblem::Unreadable
        << QStringLiteral("Cannot load the picture \"Software.jpg\": Invalid picture (Unsupported image format).");
    // Chinese, without the reader's English words.
    QTest::newRow("zh missing") << Language::Chinese << PictureProblem::Missing
                                << QStringLiteral("無法載入圖片「Software.jpg」：找不到這個檔案。");
    QTest::newRow("zh unreadable") << Language::Chinese << PictureProblem::Unreadable
                                   << QStringLiteral("無法載入圖片「Software.jpg」：這不是可以讀取的圖片。");
}

void AutorunTest::pictureErrorTexts()
{
    QFETCH(Language, language);
    QFETCH(PictureProblem, problem);
    QFETCH(QString, text);
    const PictureError error{QStringLiteral("Software.jpg"), problem, QStringLiteral("Unsupported image format")};
    QCOMPARE(error.message(language), text);
}

// ---- The window ----

void AutorunTest::designedWindow()
{
    AutorunWindow w(TwipScale(96));
    QCOMPARE(w.objectName(), QStringLiteral("frmAutorun"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Kestrion's Data Transfer System V1.0g"));
    QCOMPARE(w.size(), QSize(608, 426));
    const Qt::WindowFlags flags = w.windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!w.windowIcon().isNull());
    QVERIFY(w.windowIcon().availableSizes().contains(QSize(32, 32)));

    QCOMPARE(w.TabStrip1->count(), 2);
    QCOMPARE(w.TabStrip1->tabText(0), QStringLiteral("Software"));
    QCOMPARE(w.TabStrip1->tabText(1), QStringLiteral("Contact"));
    QCOMPARE(w.TabStrip1->currentIndex(), 0);
    QCOMPARE(w.TabStrip1->tabPosition(), QTabWidget::North);
    QCOMPARE(w.TabStrip1->font().pointSizeF(), 9.75);
    QVERIFY(w.TabStrip1->font().bold());
    QCOMPARE(w.TabStrip1->font().families().value(0), QStringLiteral("新細明體"));
    QCOMPARE(w.TabStrip1->twips(), QRect(0, 0, 9120, 6390));

    QCOMPARE(w.picBackground->twips(), QRect(60, 330, 9000, 6000));
    QCOMPARE(w.picBackground->backColor(), 0x00808080u);
    QCOMPARE(w.picBackground->picture().size(), QSize(600, 400)); // design-time picture
    // In front of the tab strip.
    QCOMPARE(w.childAt(QPoint(300, 200)), static_cast<QWidget *>(w.picBackground));

    const struct { Label *label; QRect twips; QString text; } links[] = {
        {w.lblKestrion, QRect(3720, 720, 5055, 285), QStringLiteral("Kestrion's Data Transfer System V1.0g")},
        {w.lblLink, QRect(3720, 1320, 4665, 285), QStringLiteral("Visit Valtrona Computer Electronics Inc.")},
    };
    for (const auto &l : links) {
        QCOMPARE(l.label->parentWidget(), w.picBackground);
        QCOMPARE(l.label->twips(), l.twips);
        QCOMPARE(l.label->geometry(), TwipScale(96).toPixels(l.twips));
        QCOMPARE(l.label->text(), l.text);
        QCOMPARE(l.label->foreColor(), 0x0000FF00u);
        QCOMPARE(l.label->palette().color(QPalette::WindowText), QColor(0, 255, 0));
        QVERIFY(!l.label->wordWrap());
        QCOMPARE(l.label->font().families().value(0), QStringLiteral("Arial"));
        QCOMPARE(l.label->font().pointSizeF(), 12.0);
        QCOMPARE(l.label->font().weight(), QFont::Bold);
        QVERIFY(!l.label->autoFillBackground());
        QCOMPARE(l.label->cursor().hotSpot(), QPoint(12, 5));
        QCOMPARE(l.label->cursor().pixmap().size(), QSize(32, 32));
    }

    QCOMPARE(w.lblExplain->twips(), QRect(240, 3600, 4965, 1125));
    QCOMPARE(w.lblExplain->text(), kThreeIdeographicSpaces);
    QCOMPARE(w.lblExplain->foreColor(), 0x00FFFFFFu);
    QVERIFY(w.lblExplain->wordWrap());
    QVERIFY(w.lblExplain->alignment() & Qt::AlignLeft);
    QCOMPARE(w.lblExplain->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(w.lblExplain->font().pointSizeF(), 12.0);
    QVERIFY(w.lblExplain->font().bold());

    for (LineShape *line : {w.Line1, w.Line2, w.Line3, w.Line4}) {
        QCOMPARE(line->parentWidget(), w.picBackground);
        QVERIFY(!line->isVisibleTo(w.picBackground));
        QVERIFY(line->testAttribute(Qt::WA_TransparentForMouseEvents));
    }
    // Found by name, as the launcher names them.
    QVERIFY(w.findChild<QWidget *>(QStringLiteral("TabStrip1")));
    QVERIFY(w.findChild<QWidget *>(QStringLiteral("Line3")));
}

void AutorunTest::startupLayout()
{
    enterPictureFolder();
    auto w = loadedWindow();
    QVERIFY(w);
    // The offsets the tab strip reports (the layout reads them before the resize).
    AutorunWindow design(TwipScale(96));
    const QRect designPage = design.TabStrip1->pageAreaTwips();
    const int CL = designPage.left();
    const int CT = designPage.top();
    qInfo("tab strip page area at design size: CL %d, CT %d twips (%d, %d px)", CL, CT,
          design.TabStrip1->pageArea().left(), design.TabStrip1->pageArea().top());
    QVERIFY(CL >= 0 && CT > CL);

    const TwipScale s(96);
    QCOMPARE(w->size(), QSize(s.toPixels(9000 + 2 * CL), s.toPixels(CT + 6000 + CL)));
    // With the designed caption font (13 px high at 96 dpi) the tab strip reports the
    // designed offsets, and the window has its designed size.
    if (QFontMetrics(design.TabStrip1->font()).height() == 13) {
        QCOMPARE(CL, 60);
        QCOMPARE(CT, 330);
        QCOMPARE(w->size(), QSize(608, 426));
        QCOMPARE(w->picBackground->geometry(), QRect(4, 22, 600, 400));
        QCOMPARE(w->picBackground->twips(), QRect(60, 330, 9000, 6000));
    } else {
        qWarning("caption font is not 13 px high: designed size not checked");
    }
    QCOMPARE(w->TabStrip1->geometry(), w->rect());
    QCOMPARE(w->picBackground->twips().topLeft(), QPoint(CL, CT));
    QCOMPARE(w->picBackground->twips().size(), w->TabStrip1->pageAreaTwips().size());
    QCOMPARE(w->picBackground->geometry(), w->TabStrip1->pageArea());
    // Page "Software": both links, the picture from the working folder, unscaled.
    QCOMPARE(w->TabStrip1->currentIndex(), 0);
    QVERIFY(w->lblKestrion->isVisibleTo(w.get()));
    QVERIFY(w->lblLink->isVisibleTo(w.get()));
    QCOMPARE(w->picBackground->picture().size(), QSize(600, 400));
    QCOMPARE(QColor(w->picBackground->picture().toImage().pixel(300, 200)).blue() > 150, true);
    // Initial state.
    QCOMPARE(w->lblExplain->text(), kThreeIdeographicSpaces);
    QCOMPARE(w->lblKestrion->foreColor(), kIdleLinkColor);
    QCOMPARE(w->lblLink->foreColor(), kIdleLinkColor);
    QVERIFY(!w->Line1->isVisibleTo(w.get()));

    // Shown, the picture is drawn from the top-left corner at its natural size.
    w->showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    const QImage shot = w->picBackground->grab().toImage();
    QCOMPARE(QColor(shot.pixel(5, 5)).blue() > 150, true);
    // Resizing the window moves nothing.
    const QRect pic = w->picBackground->geometry();
    w->resize(w->width() + 50, w->height() + 30);
    QCOMPARE(w->picBackground->geometry(), pic);
    QCOMPARE(w->TabStrip1->size(), pic.size() + QSize(2 * pic.left(), pic.top() + pic.left()));
}

void AutorunTest::startupLayoutAtOtherResolution()
{
    // At 120 dpi a pixel is 12 twips: the page area stays 9000 x 6000 twips = 750 x 500 px.
    enterPictureFolder();
    AutorunWindow w(TwipScale(120));
    QVERIFY(!w.Form_Load());
    const QRect page = w.TabStrip1->pageAreaTwips();
    QCOMPARE(w.picBackground->twips().topLeft(), page.topLeft());
    QVERIFY(qAbs(w.width() - 750 - 2 * w.TabStrip1->pageArea().left()) <= 1);
}

void AutorunTest::startupLayoutWithTallerTabRow()
{
    // Another caption font makes the tab row taller: the window follows what the tab strip
    // reports, and the picture area stays 9000 x 6000 twips.
    enterPictureFolder();
    AutorunWindow w(TwipScale(96));
    QFont big = w.TabStrip1->font();
    big.setPointSizeF(14);
    w.TabStrip1->setFont(big);
    const QRect page = w.TabStrip1->pageAreaTwips();
    QVERIFY(page.top() > 330);
    QVERIFY(!w.Form_Load());
    const TwipScale s(96);
    QCOMPARE(w.size(), QSize(s.toPixels(9000 + 2 * page.left()),
                             s.toPixels(page.top() + 6000 + page.left())));
    QCOMPARE(w.picBackground->twips(), QRect(page.left(), page.top(), 9000, 6000));
}

void AutorunTest::missingPictureAtStartup()
{
    enterPictureFolder(false, true);
    AutorunWindow w(TwipScale(96));
    const auto error = w.Form_Load();
    QVERIFY(error);
    QCOMPARE(error->file, QStringLiteral("Software.jpg"));
    QCOMPARE(error->problem, PictureProblem::Missing);
    QVERIFY(!w.isVisible());

    // The picture is looked for in the working folder, not beside the program.
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    if (!QFile::exists(QStringLiteral("Software.jpg"))) {
        AutorunWindow elsewhere(TwipScale(96));
        QVERIFY(elsewhere.Form_Load());
    }
}

void AutorunTest::invalidPictureAtStartup()
{
    enterPictureFolder(false, true);
    QFile bad(m_folder.filePath(QStringLiteral("Software.jpg")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("this is not a picture");
    bad.close();
    AutorunWindow w(TwipScale(96));
    const auto error = w.Form_Load();
    QVERIFY(error);
    QCOMPARE(error->file, QStringLiteral("Software.jpg"));
    QCOMPARE(error->problem, PictureProblem::Unreadable);
    QVERIFY(!error->detail.isEmpty());
}

void AutorunTest::pageSwitchLeavesStateAlone()
{
    enterPictureFolder();
    auto w = loadedWindow();
    QVERIFY(w);
    w->lblKestrion_MouseMove();
    w->lblLink_MouseDown();
    const QRect line1 = w->Line1->geometry();

    w->TabStrip1->setCurrentIndex(1); // "Contact", as by keyboard
    QVERIFY(!w->lblKestrion->isVisibleTo(w.get()));
    QVERIFY(!w->lblLink->isVisibleTo(w.get()));
    QVERIFY(QColor(w->picBackground->picture().toImage().pixel(300, 200)).red() > 150);
    QCOMPARE(w->picBackground->picture().size(), QSize(600, 400));
    // Explanation, frame and colours unchanged.
    QCOMPARE(w->lblExplain->text(), LauncherTexts::installExplanation());
    QVERIFY(w->Line1->isVisibleTo(w->picBackground));
    QCOMPARE(w->Line1->geometry(), line1);
    QCOMPARE(w->Line1->borderColor(), kDarkFrameColor); // still sunken round lblLink
    QCOMPARE(w->lblKestrion->foreColor(), kHighlightLinkColor);
    QCOMPARE(w->lblLink->foreColor(), kHighlightLinkColor);

    w->TabStrip1->setCurrentIndex(0);
    QVERIFY(w->lblKestrion->isVisibleTo(w.get()));
    QVERIFY(w->lblLink->isVisibleTo(w.get()));
    QCOMPARE(w->lblKestrion->foreColor(), kHighlightLinkColor);
    QVERIFY(QColor(w->picBackground->picture().toImage().pixel(300, 200)).blue() > 150);
}

void AutorunTest::hoverPressAndIdle()
{
    enterPictureFolder();
    auto w = loadedWindow();
    QVERIFY(w);
    QStringList started;
    w->setStartProgramAction([&](const QString &p) { started << p; return true; });
    w->showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QWidget *win = w.get();

    const auto raisedKestrion = labelFrame(3720, 720, 5055, 285, false);
    const auto sunkenKestrion = labelFrame(3720, 720, 5055, 285, true);
    const auto raisedLink = labelFrame(3720, 1320, 4665, 285, false);
    const auto sunkenLink = labelFrame(3720, 1320, 4665, 285, true);
    auto frameIs = [&](const std::array<FrameLine, 4> &f) {
        return sameLine(w->Line1, f[0]) && sameLine(w->Line2, f[1]) && sameLine(w->Line3, f[2])
               && sameLine(w->Line4, f[3]);
    };
    auto linesHidden = [&] {
        for (LineShape *l : {w->Line1, w->Line2, w->Line3, w->Line4})
            if (l->isVisibleTo(w->picBackground))
                return false;
        return true;
    };

    // Install hovered.
    QTest::mouseMove(win, centreIn(win, w->lblKestrion));
    QCOMPARE(w->lblKestrion->foreColor(), kHighlightLinkColor);
    QCOMPARE(w->lblLink->foreColor(), kIdleLinkColor); // unchanged
    QVERIFY(frameIs(raisedKestrion));
    QCOMPARE(w->lblExplain->text(), LauncherTexts::installExplanation());

    // Install pressed, by any button: sunken; explanation unchanged; no action.
    for (Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton, Qt::LeftButton}) {
        w->lblExplain->setText(QStringLiteral("marker"));
        QTest::mousePress(win, b, {}, centreIn(win, w->lblKestrion));
        QVERIFY(frameIs(sunkenKestrion));
        QCOMPARE(w->lblKestrion->foreColor(), kHighlightLinkColor);
        QCOMPARE(w->lblExplain->text(), QStringLiteral("marker"));
        if (b != Qt::LeftButton) {
            QTest::mouseRelease(win, b, {}, centreIn(win, w->lblKestrion));
            QVERIFY(frameIs(sunkenKestrion)); // going up changes nothing
            QVERIFY(started.isEmpty());         // only the platform's click acts
        }
    }
    // A movement with the button still held turns it raised again.
    QTest::mouseMove(win, centreIn(win, w->lblKestrion) + QPoint(3, 0));
    QVERIFY(frameIs(raisedKestrion));
    QCOMPARE(w->lblExplain->text(), LauncherTexts::installExplanation());
    QTest::mouseRelease(win, Qt::LeftButton, {}, centreIn(win, w->lblKestrion) + QPoint(3, 0));
    QCOMPARE(started.size(), 1); // the click
    QVERIFY(frameIs(raisedKestrion)); // a click changes nothing on the screen

    // Idle: over the bare picture.
    QTest::mouseMove(win, w->picBackground->mapTo(win, QPoint(500, 350)));
    QCOMPARE(w->lblKestrion->foreColor(), kIdleLinkColor);
    QCOMPARE(w->lblLink->foreColor(), kIdleLinkColor);
    QCOMPARE(w->lblExplain->text(), QString());
    QVERIFY(linesHidden());

    // Web hovered and pressed.
    QTest::mouseMove(win, centreIn(win, w->lblLink));
    QCOMPARE(w->lblLink->foreColor(), kHighlightLinkColor);
    QCOMPARE(w->lblKestrion->foreColor(), kIdleLinkColor);
    QVERIFY(frameIs(raisedLink));
    QCOMPARE(w->lblExplain->text(), QStringLiteral("http://www.valtrona.example"));
    QTest::mousePress(win, Qt::RightButton, {}, centreIn(win, w->lblLink));
    QVERIFY(frameIs(sunkenLink));
    QCOMPARE(w->lblExplain->text(), QStringLiteral("http://www.valtrona.example"));
    QTest::mouseRelease(win, Qt::RightButton, {}, centreIn(win, w->lblLink));
    QVERIFY(frameIs(sunkenLink));

    // Idle again.
    QTest::mouseMove(win, w->picBackground->mapTo(win, QPoint(10, 390)));
    QCOMPARE(w->lblLink->foreColor(), kIdleLinkColor);
    QVERIFY(linesHidden());
    QCOMPARE(w->lblExplain->text(), QString());
}

void AutorunTest::pointerOverLinesAndExplanation()
{
    enterPictureFolder();
    auto w = loadedWindow();
    QVERIFY(w);
    w->showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QWidget *win = w.get();

    // Over the explanation label: it takes the pointer, nothing changes.
    QTest::mouseMove(win, centreIn(win, w->lblKestrion));
    QTest::mouseMove(win, centreIn(win, w->lblExplain));
    QCOMPARE(w->lblKestrion->foreColor(), kHighlightLinkColor);
    QVERIFY(w->Line1->isVisibleTo(w->picBackground));

    // Over a frame line: the lines take no mouse input, so this is the bare picture.
    const QPoint onTopEdge = w->Line1->mapTo(win, QPoint(w->Line1->width() / 2, 0));
    QCOMPARE(win->childAt(onTopEdge), static_cast<QWidget *>(w->picBackground));
    QTest::mouseMove(win, onTopEdge);
    QCOMPARE(w->lblKestrion->foreColor(), kIdleLinkColor);
    QVERIFY(!w->Line1->isVisibleTo(w->picBackground));
    QCOMPARE(w->lblExplain->text(), QString());

    // On "Contact" the hidden labels take nothing: their place is bare picture.
    QTest::mouseMove(win, centreIn(win, w->lblKestrion));
    QVERIFY(w->Line1->isVisibleTo(w->picBackground));
    w->TabStrip1->setCurrentIndex(1);
    const QPoint where = w->lblKestrion->mapTo(win, w->lblKestrion->rect().center());
    QTest::mouseMove(win, where + QPoint(1, 0));
    QVERIFY(!w->Line1->isVisibleTo(w->picBackground));
    QCOMPARE(w->lblKestrion->foreColor(), kIdleLinkColor);
}

void AutorunTest::jumpFromLinkToLink()
{
    enterPictureFolder();
    auto w = loadedWindow();
    QVERIFY(w);
    // No movement over the bare picture in between.
    w->lblKestrion_MouseMove();
    w->lblLink_MouseMove();
    QCOMPARE(w->lblKestrion->foreColor(), kHighlightLinkColor);
    QCOMPARE(w->lblLink->foreColor(), kHighlightLinkColor);
    QVERIFY(sameLine(w->Line1, labelFrame(3720, 1320, 4665, 285, false)[0]));
    QCOMPARE(w->lblExplain->text(), QString::fromLatin1(kWebSite));
    // Idle: lblLink takes the colour lblKestrion now has.
    w->picBackground_MouseMove();
    QCOMPARE(w->lblKestrion->foreColor(), kIdleLinkColor);
    QCOMPARE(w->lblLink->foreColor(), kIdleLinkColor);
}

void AutorunTest::everyEventRepeatsTheWork()
{
    enterPictureFolder();
    auto w = loadedWindow();
    QVERIFY(w);
    w->lblKestrion_MouseMove();
    // Something else changed behind the handler's back is put right by the next event.
    w->Line3->setBorderColor(0x123456);
    w->lblExplain->setText(QStringLiteral("changed"));
    w->lblKestrion_MouseMove();
    QCOMPARE(w->Line3->borderColor(), kDarkFrameColor);
    QCOMPARE(w->lblExplain->text(), LauncherTexts::installExplanation());
    w->picBackground_MouseMove();
    w->Line2->show();
    w->lblKestrion->setForeColor(0x0000FF00);
    w->picBackground_MouseMove();
    QVERIFY(!w->Line2->isVisibleTo(w->picBackground));
}

void AutorunTest::linksStartTheirTargets()
{
    enterPictureFolder();
    auto w = loadedWindow();
    QVERIFY(w);
    QStringList started, opened;
    // Failures are reported by the actions and ignored by the window.
    w->setStartProgramAction([&](const QString &p) { started << p; return false; });
    w->setOpenUrlAction([&](const QString &u) { opened << u; return false; });
    w->showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QWidget *win = w.get();

    QTest::mouseClick(win, Qt::LeftButton, {}, centreIn(win, w->lblKestrion));
    const QString folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    QCOMPARE(started, QStringList{autorun::installerPath(folder)});
    QVERIFY(started.first().endsWith(QDir::separator() + QStringLiteral("setup")
                                     + QDir::separator() + QStringLiteral("setup.exe")));
    QVERIFY(!started.first().contains(QString(2, QDir::separator())));
    QVERIFY(w->isVisible());

    // Each click starts a further copy.
    QTest::mouseClick(win, Qt::LeftButton, {}, centreIn(win, w->lblKestrion));
    QCOMPARE(started.size(), 2);

    // A right click is no click.
    QTest::mouseClick(win, Qt::RightButton, {}, centreIn(win, w->lblLink));
    QVERIFY(opened.isEmpty());
    QTest::mouseClick(win, Qt::LeftButton, {}, centreIn(win, w->lblLink));
    QCOMPARE(opened, QStringList{QStringLiteral("http://www.valtrona.example")});
    QVERIFY(w->isVisible());
    QCOMPARE(QApplication::activeModalWidget(), nullptr); // no message
}

void AutorunTest::installerReallyStartsDetached()
{
#ifdef Q_OS_WIN
    QSKIP("the stand-in installer is a shell script");
#else
    // A stand-in installer beside this test program: records its argument count.
    const QString setupDir = QCoreApplication::applicationDirPath() + QStringLiteral("/setup");
    QDir().mkpath(setupDir);
    const QString setup = setupDir + QStringLiteral("/setup.exe");
    const QString marker = m_folder.filePath(QStringLiteral("installer-ran"));
    QFile script(setup);
    QVERIFY(script.open(QIODevice::WriteOnly));
    // Written aside and renamed, so that the marker appears complete.
    script.write(QStringLiteral("#!/bin/sh\necho \"$#\" > '%1.part' && mv '%1.part' '%1'\n")
                     .arg(marker).toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    enterPictureFolder();
    AutorunWindow w(TwipScale(96));
    QVERIFY(!w.Form_Load());
    w.lblKestrion_Click(); // the default action: QProcess::startDetached
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);
    QFile result(marker);
    QVERIFY(result.open(QIODevice::ReadOnly));
    QCOMPARE(result.readAll().trimmed(), QByteArray("0")); // no arguments
    QDir(setupDir).removeRecursively();
#endif
}

void AutorunTest::missingInstallerIsIgnored()
{
    QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/setup")).removeRecursively();
    enterPictureFolder();
    AutorunWindow w(TwipScale(96));
    QVERIFY(!w.Form_Load());
    w.show();
    w.lblKestrion_Click(); // the default action, with nothing to start
    QTest::qWait(50);
    QVERIFY(w.isVisible());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void AutorunTest::pictureErrorOnTabChange()
{
    enterPictureFolder(true, false); // no e-contact.jpg
    auto w = loadedWindow();
    QVERIFY(w);
    int quitCode = -1;
    w->setQuitAction([&](int code) { quitCode = code; });
    w->showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));

    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, this, [&] {
        QTRY_VERIFY(qobject_cast<QMessageBox *>(QApplication::activeModalWidget()));
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->accept();
    });
    w->TabStrip1->setCurrentIndex(1);
    QCOMPARE(title, QStringLiteral("Kestrion Autorun"));
    QCOMPARE(text, QStringLiteral("Cannot load the picture \"e-contact.jpg\": File not found."));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(quitCode, 1);
}

void AutorunTest::pictureErrorOnTabChangeEndsTheProgram()
{
    enterPictureFolder(true, false);
    auto w = loadedWindow();
    QVERIFY(w);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QString title;
    QTimer::singleShot(0, this, [&] {
        w->TabStrip1->setCurrentIndex(1); // the user picks "Contact"
    });
    QTimer::singleShot(50, this, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            box->accept();
        }
    });
    // The default action ends the event loop (QCoreApplication::exit(1)), as in main().
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, [&] { loop.exit(99); });
    QCOMPARE(loop.exec(), 1);
    QCOMPARE(title, QStringLiteral("Kestrion Autorun"));
}

QTEST_MAIN(AutorunTest)
#include "tst_autorun.moc"
