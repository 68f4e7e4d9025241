#include "aboutbox.h"

#include "programversion.h"

#include <QCursor>
#include <QDesktopServices>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

// The hand cursor's hot spot: the tip of the index finger in the 32 x 32 picture.
constexpr QPoint HandHotSpot(12, 5);

QFont timesNewRoman9()
{
    QFont font(QStringLiteral("Times New Roman"), 9);
    font.setStyleHint(QFont::Serif);
    return font;
}

// The layout was measured with other fonts than ours: a label whose text does not fit its
// place grows right and down, never shrinks, so that nothing is cut off (an underline
// included).
void growToFit(QLabel *label)
{
    QSize needed = label->wordWrap()
        ? QSize(label->width(), label->heightForWidth(label->width()))
        : label->sizeHint();
    if (label->font().underline()) {
        // QPainter puts the underline a whole pixel or more below the baseline.
        const QFontMetricsF metrics(label->font());
        needed.setHeight(std::max(needed.height(),
                                  int(std::ceil(metrics.ascent()) + std::ceil(metrics.underlinePos())
                                      + std::ceil(metrics.lineWidth()))));
    }
    label->resize(label->size().expandedTo(needed));
}

QLabel *addLabel(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

AboutBox::AboutBox(QWidget *owner)
    : QDialog(owner,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                  | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Kestrion's Data Transfer System"));
    setFixedSize(460, 266);
    setModal(true);
    setSizeGripEnabled(false);

    Image1 = addLabel(this, "Image1", QRect(0, 0, 460, 72));
    Image1->setPixmap(QPixmap(QStringLiteral(":/assets/banner.jpg")));

    lblKestrion = addLabel(this, "lblKestrion", QRect(48, 88, 360, 24));

    Label1 = addLabel(this, "Label1", QRect(48, 128, 361, 65));
    Label1->setFont(timesNewRoman9());
    Label1->setWordWrap(true);
    Label1->setText(QStringLiteral(
        "VXT-8052 Kestrion is an educational training system (for 8051 serier single chip "
        "microcomputer).\n"
        "VXT-8088 Kestrion is an educational training system (for 8088 serier single chip "
        "microcomputer)."));
    growToFit(Label1);

    Label2 = addLabel(this, "Label2", QRect(48, 208, 209, 12));
    Label2->setText(QStringLiteral("Valtrona Computer Electronics Inc., Taiwan"));
    growToFit(Label2);

    lblLink = addLabel(this, "lblLink", QRect(48, 232, 110, 12));
    QFont linkFont;
    // 新細明體 where it exists; elsewhere the Ming face it is modelled on.
    linkFont.setFamilies({QStringLiteral("新細明體"), QStringLiteral("PMingLiU"),
                          QStringLiteral("AR PL UMing TW")});
    linkFont.setPointSize(9);
    linkFont.setUnderline(true);
    lblLink->setFont(linkFont);
    QPalette linkPalette = lblLink->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(Qt::blue));
    lblLink->setPalette(linkPalette);
    lblLink->setCursor(QCursor(QPixmap(QStringLiteral(":/assets/hand.png")), HandHotSpot.x(),
                               HandHotSpot.y()));
    lblLink->setText(QLatin1String(siteAddress));
    growToFit(lblLink);
    lblLink->installEventFilter(this);

    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(320, 224, 91, 21);
    cmdOK->setFont(timesNewRoman9());
    // The default button for Enter; Esc rejects the dialog, which closes it the same way.
    cmdOK->setDefault(true);
    cmdOK->setFocus();
    connect(cmdOK, &QPushButton::clicked, this, &AboutBox::accept);

    Form_Load();
}

QString AboutBox::versionText()
{
    return versionLine(programVersion()) + QLatin1Char('\n')
        + QStringLiteral("Copyright © 2026 Valtrona Computer Electronics Inc.");
}

void AboutBox::Form_Load()
{
    lblKestrion->setText(versionText());
    growToFit(lblKestrion);
}

void AboutBox::lblLink_Click()
{
    // Whether a browser could be started is not examined, and nothing is shown if not.
    QDesktopServices::openUrl(QUrl(QStringLiteral("http://") + QLatin1String(siteAddress)));
}

bool AboutBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lblLink && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton
            && lblLink->rect().contains(mouse->position().toPoint())) {
            lblLink_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
