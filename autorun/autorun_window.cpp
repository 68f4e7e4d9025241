#include "autorun_window.h"

#include "messagebox.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QProcess>
#include <QScreen>
#include <QStyle>
#include <QUrl>

// The resources live in this static library; make sure they are linked and registered.
static void initAutorunResources()
{
    Q_INIT_RESOURCE(autorun);
}

namespace autorun {

namespace {

QFont labelFont()
{
    // Arial, 12 pt, bold (weight 700), character set 0 (Western). Metric-compatible
    // stand-ins where Arial is not installed.
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica")});
    font.setPointSizeF(12);
    font.setWeight(QFont::Bold);
    return font;
}

QFont tabFont()
{
    // "新細明體" (PMingLiU), 9.75 pt, bold, character set 136 (Big5): Qt picks the
    // family and its script coverage itself; AR PL UMing is the free equivalent.
    QFont font;
    font.setFamilies({QStringLiteral("新細明體"), QStringLiteral("PMingLiU"),
                      QStringLiteral("AR PL UMing TW"), QStringLiteral("AR PL UMing TW MBE")});
    font.setPointSizeF(9.75);
    font.setWeight(QFont::Bold);
    return font;
}

QCursor handCursor()
{
    // 32 x 32 pointing hand; the hot spot is the tip of the index finger.
    constexpr QPoint hotSpot(12, 5);
    const QPixmap hand(QStringLiteral(":/autorun/hand.png"));
    if (hand.isNull())
        return QCursor(Qt::PointingHandCursor);
    return QCursor(hand, hotSpot.x(), hotSpot.y());
}

} // namespace

QString PictureError::message(Language language) const
{
    return LauncherTexts::pictureError(language, file, problem, detail);
}

std::optional<PictureError> loadPicture(const QString &file, QPixmap *picture)
{
    if (!QFileInfo(file).isFile())
        return PictureError{file, PictureProblem::Missing, {}};
    QImageReader reader(file);
    const QImage image = reader.read();
    if (image.isNull())
        return PictureError{file, PictureProblem::Unreadable, reader.errorString()};
    *picture = QPixmap::fromImage(image);
    return std::nullopt;
}

void showPictureError(QWidget *parent, const PictureError &error)
{
    MessageBoxes::showAndWait(parent, QMessageBox::Critical, LauncherTexts::programTitle(),
                              error.message(languageOf(QLocale())));
}

AutorunWindow::AutorunWindow(const TwipScale &scale, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint),
      m_scale(scale)
{
    initAutorunResources();
    setObjectName(QStringLiteral("frmAutorun"));
    setWindowTitle(LauncherTexts::windowCaption());
    setWindowIcon(QIcon(QStringLiteral(":/autorun/icon.png")));
    // Client area as designed (replaced by Form_Load).
    resize(m_scale.toPixels(kDesignClientWidth), m_scale.toPixels(kDesignClientHeight));

    // TabStrip1: fills the client area, behind picBackground.
    TabStrip1 = new TabStrip(m_scale, this);
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    TabStrip1->setFont(tabFont());
    TabStrip1->addTab(new QWidget, LauncherTexts::softwareTab());
    TabStrip1->addTab(new QWidget, LauncherTexts::contactTab());
    TabStrip1->setCurrentIndex(0);
    TabStrip1->setTwipGeometry(QRect(0, 0, kDesignClientWidth, kDesignClientHeight));

    // picBackground: in front of the tab strip's page area.
    picBackground = new PictureBox(m_scale, this);
    picBackground->setObjectName(QStringLiteral("picBackground"));
    picBackground->setBackColor(kPictureBackColor);
    picBackground->setPicture(QPixmap(QStringLiteral(":/autorun/background.jpg")));
    picBackground->setTwipGeometry(
        QRect(kDesignPageLeft, kDesignPageTop, kPictureWidth, kPictureHeight));
    picBackground->raise();

    const QFont font = labelFont();

    lblExplain = new Label(m_scale, picBackground);
    lblExplain->setObjectName(QStringLiteral("lblExplain"));
    lblExplain->setFont(font);
    lblExplain->setForeColor(kExplainColor);
    lblExplain->setWordWrap(true);
    const QChar ideographicSpace(0x3000);
    lblExplain->setText(QString(3, ideographicSpace));   // the designed caption
    lblExplain->setTwipGeometry(QRect(240, 3600, 4965, 1125));
    // Takes the pointer (with no handler of its own), as the platform's label does: a
    // movement over it is not a movement over the bare picture.
    lblExplain->setAttribute(Qt::WA_NoMousePropagation);

    Line4 = new LineShape(m_scale, picBackground);
    Line3 = new LineShape(m_scale, picBackground);
    Line2 = new LineShape(m_scale, picBackground);
    Line1 = new LineShape(m_scale, picBackground);
    Line4->setObjectName(QStringLiteral("Line4"));
    Line3->setObjectName(QStringLiteral("Line3"));
    Line2->setObjectName(QStringLiteral("Line2"));
    Line1->setObjectName(QStringLiteral("Line1"));

    lblLink = new Label(m_scale, picBackground);
    lblLink->setObjectName(QStringLiteral("lblLink"));
    lblLink->setText(LauncherTexts::webSiteLink());
    lblLink->setTwipGeometry(QRect(3720, 1320, 4665, 285));

    lblKestrion = new Label(m_scale, picBackground);
    lblKestrion->setObjectName(QStringLiteral("lblKestrion"));
    lblKestrion->setText(LauncherTexts::windowCaption());
    lblKestrion->setTwipGeometry(QRect(3720, 720, 5055, 285));

    const QCursor hand = handCursor();
    for (Label *link : {lblKestrion, lblLink}) {
        link->setFont(font);
        link->setForeColor(kIdleLinkColor);
        link->setWordWrap(false);
        // One line in a box as tall as Arial 12 pt bold: centred vertically, it sits at the
        // top when the font is Arial and keeps its descenders when a stand-in is taller.
        link->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        link->setCursor(hand);
        link->setMouseTracking(true);
    }

    connect(TabStrip1, &QTabWidget::currentChanged, this, &AutorunWindow::TabStrip1_Click);
    connect(picBackground, &PictureBox::mouseMoved, this, &AutorunWindow::picBackground_MouseMove);
    connect(lblKestrion, &Label::mouseMoved, this, &AutorunWindow::lblKestrion_MouseMove);
    connect(lblKestrion, &Label::mouseDown, this, &AutorunWindow::lblKestrion_MouseDown);
    connect(lblKestrion, &Label::clicked, this, &AutorunWindow::lblKestrion_Click);
    connect(lblLink, &Label::mouseMoved, this, &AutorunWindow::lblLink_MouseMove);
    connect(lblLink, &Label::mouseDown, this, &AutorunWindow::lblLink_MouseDown);
    connect(lblLink, &Label::clicked, this, &AutorunWindow::lblLink_Click);

    m_quit = [](int code) { QCoreApplication::exit(code); };
    m_startProgram = [](const QString &path) { return QProcess::startDetached(path, {}); };
    m_openUrl = [](const QString &url) { return QDesktopServices::openUrl(QUrl(url)); };
}

void AutorunWindow::setQuitAction(std::function<void(int)> quit)
{
    m_quit = std::move(quit);
}

void AutorunWindow::setStartProgramAction(std::function<bool(const QString &)> start)
{
    m_startProgram = std::move(start);
}

void AutorunWindow::setOpenUrlAction(std::function<bool(const QString &)> open)
{
    m_openUrl = std::move(open);
}

std::optional<PictureError> AutorunWindow::Form_Load()
{
    // The tab strip moves to 0, 0, keeping its design size.
    QRect tabs = TabStrip1->twips();
    tabs.moveTopLeft(QPoint(0, 0));
    TabStrip1->setTwipGeometry(tabs);

    // The page area's offsets, read while the tab strip still has its design size.
    const QRect page = TabStrip1->pageAreaTwips();
    const int CL = page.left();
    const int CT = page.top();

    // The window takes the size that puts those margins around the picture. Before it is
    // first shown its outer size is its client size (the window system adds the border
    // later), so the client size that follows is the same.
    const QRect outer = m_scale.toTwips(QRect(QPoint(0, 0), frameGeometry().size()));
    const QRect client = m_scale.toTwips(QRect(QPoint(0, 0), size()));
    const StartupLayout layout = startupLayout(CL, CT, outer.width(), outer.height(),
                                               client.width(), client.height());
    QRect pic = picBackground->twips();
    pic.moveTopLeft(QPoint(layout.pictureLeft, layout.pictureTop));
    picBackground->setTwipGeometry(pic);
    resize(m_scale.toPixels(layout.clientWidth), m_scale.toPixels(layout.clientHeight));

    // The tab strip fills the client area.
    TabStrip1->setTwipGeometry(m_scale.toTwips(rect()));

    // The selected tab, the first, shows its picture.
    if (auto error = switchPage())
        return error;

    // The picture box takes the page area of the resized tab strip.
    const QRect area = TabStrip1->pageAreaTwips();
    pic = picBackground->twips();
    pic.setSize(area.size());
    picBackground->setTwipGeometry(pic);
    return std::nullopt;
}

void AutorunWindow::showCentred()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                 screen->availableGeometry()).topLeft());
    show();
}

std::optional<PictureError> AutorunWindow::switchPage()
{
    const int i = TabStrip1->currentIndex() + 1;
    lblKestrion->setVisible(i == 1);
    lblLink->setVisible(i == 1);
    QPixmap picture;
    if (auto error = loadPicture(pagePictureFile(i), &picture))
        return error;
    picBackground->setPicture(picture);
    // The explanation, the frame lines and the label colours are left as they are.
    return std::nullopt;
}

void AutorunWindow::TabStrip1_Click()
{
    if (auto error = switchPage()) {
        showPictureError(this, *error);
        m_quit(kPictureErrorExitCode);
    }
}

void AutorunWindow::DrawLabelFrame(qint16 left, qint16 top, qint16 width, qint16 height,
                                   bool pressed)
{
    const auto lines = labelFrame(left, top, width, height, pressed);
    LineShape *const shapes[4] = {Line1, Line2, Line3, Line4};
    for (int k = 0; k < 4; ++k) {
        LineShape *line = shapes[k];
        line->setX1(lines[k].x1);
        line->setX2(lines[k].x2);
        line->setY1(lines[k].y1);
        line->setY2(lines[k].y2);
        line->setBorderColor(lines[k].color);
        line->setVisible(true);
    }
}

void AutorunWindow::frameLabel(const Label *label, bool pressed)
{
    const QRect r = label->twips();
    DrawLabelFrame(qint16(r.left()), qint16(r.top()), qint16(r.width()), qint16(r.height()),
                   pressed);
}

void AutorunWindow::picBackground_MouseMove()
{
    lblKestrion->setForeColor(kIdleLinkColor);
    lblLink->setForeColor(lblKestrion->foreColor());
    lblExplain->setText(QString());
    Line1->setVisible(false);
    Line2->setVisible(false);
    Line3->setVisible(false);
    Line4->setVisible(false);
}

void AutorunWindow::lblKestrion_MouseMove()
{
    lblKestrion->setForeColor(kHighlightLinkColor);
    frameLabel(lblKestrion, false);
    lblExplain->setText(LauncherTexts::installExplanation());
}

void AutorunWindow::lblKestrion_MouseDown()
{
    lblKestrion->setForeColor(kHighlightLinkColor);
    frameLabel(lblKestrion, true);
}

void AutorunWindow::lblLink_MouseMove()
{
    lblLink->setForeColor(kHighlightLinkColor);
    frameLabel(lblLink, false);
    lblExplain->setText(QString::fromLatin1(kWebSite));
}

void AutorunWindow::lblLink_MouseDown()
{
    lblLink->setForeColor(kHighlightLinkColor);
    frameLabel(lblLink, true);
}

void AutorunWindow::lblKestrion_Click()
{
    // Failures are ignored: a missing or unstartable installer has no visible effect.
    const QString folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    (void)m_startProgram(installerPath(folder));
}

void AutorunWindow::lblLink_Click()
{
    // The document opener's result is ignored.
    (void)m_openUrl(QString::fromLatin1(kWebSite));
}

} // namespace autorun
