#include "settingsdialog.h"

#include "boardstation.h"
#include "commport.h"
#include "comportmap.h"
#include "labelfit.h"
#include "messagebox.h"
#include "portlisting.h"
#include "qtlanguage.h"
#include "settingstexts.h"
#include "transfertexts.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>

#include <algorithm>
#include <utility>

namespace {

QFont namedFont(const char *family, qreal points)
{
    QFont font(QString::fromUtf8(family));
    font.setPointSizeF(points);
    return font;
}

} // namespace

SettingsDialog::SettingsDialog(BoardStation &station)
    : QDialog(nullptr)
    , m_station(station)
{
    setObjectName(QStringLiteral("frmOption"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(QStringLiteral(":/assets/icon.png")));
    resize(249, 185);

    const QFont controlFont = font();
    auto frame = [&](const char *name, int top) {
        auto *box = new QGroupBox(this);
        box->setObjectName(QLatin1String(name));
        box->setGeometry(16, top, 217, 41);
        box->setFont(namedFont("Arial", 9));
        return box;
    };
    auto option = [&](QGroupBox *box, const char *name, const QString &text, int left, int width) {
        auto *button = new QRadioButton(text, box);
        button->setObjectName(QLatin1String(name));
        button->setGeometry(left, 16, width, 17);
        button->setFont(controlFont);   // the frame's font is for its caption only
        return button;
    };

    fmeLanguage = frame("fmeLanguage", 8);
    optEn = option(fmeLanguage, "optEn", QStringLiteral("English"), 40, 57);
    optCH = option(fmeLanguage, "optCH", QStringLiteral("繁體中文"), 120, 73);

    fmeVXT = frame("fmeVXT", 56);
    fmeVXT->setTitle(QStringLiteral("Kestrion"));
    optVXT8088 = option(fmeVXT, "optVXT8088", QStringLiteral("VXT-8088"), 40, 73);
    optVXT8052 = option(fmeVXT, "optVXT8052", QStringLiteral("VXT-8052"), 120, 73);

    lblPort = new QLabel(this);
    lblPort->setObjectName(QStringLiteral("lblPort"));
    lblPort->setGeometry(16, 112, 96, 12);

    cboCOM = new QComboBox(this);
    cboCOM->setObjectName(QStringLiteral("cboCOM"));
    cboCOM->setGeometry(120, 112, 89, 20);
    cboCOM->setEditable(false);

    m_noteArea = new QScrollArea(this);
    m_noteArea->setObjectName(QStringLiteral("portNoteArea"));
    m_noteArea->setFrameShape(QFrame::NoFrame);
    m_noteArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_noteArea->setWidgetResizable(true);
    m_noteArea->viewport()->setAutoFillBackground(false);
    lblPortNote = new QLabel;
    lblPortNote->setObjectName(QStringLiteral("lblPortNote"));
    lblPortNote->setWordWrap(true);
    lblPortNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_noteArea->setWidget(lblPortNote);
    m_noteArea->hide();
    lblPortNote->hide();

    cmdTryAgain = new QPushButton(this);
    cmdTryAgain->setObjectName(QStringLiteral("cmdTryAgain"));
    cmdTryAgain->setAutoDefault(false);
    cmdTryAgain->hide();

    cmdOK = new QPushButton(this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(40, 154, 75, 21);
    cmdOK->setFont(namedFont("Times New Roman", 9));
    cmdOK->setDefault(true);

    cmdExit = new QPushButton(this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdExit->setGeometry(136, 154, 75, 21);
    cmdExit->setFont(namedFont("Times New Roman", 9));
    cmdExit->setAutoDefault(false);

    setTabOrder(optVXT8088, optVXT8052);
    setTabOrder(optVXT8052, optEn);
    setTabOrder(optEn, optCH);
    setTabOrder(optCH, cmdOK);
    setTabOrder(cmdOK, cmdExit);
    setTabOrder(cmdExit, cboCOM);
    setTabOrder(cboCOM, cmdTryAgain);

    // The Chinese option goes on or off whenever the language selected changes.
    connect(optCH, &QRadioButton::toggled, this, &SettingsDialog::showCaptions);
    connect(cmdOK, &QPushButton::clicked, this, &SettingsDialog::cmdOK_Click);
    // From a window the station opens its port again; at start-up Exit ends the program.
    connect(cmdExit, &QPushButton::clicked, this, &SettingsDialog::reject);
    connect(cmdTryAgain, &QPushButton::clicked, this, &SettingsDialog::cmdTryAgain_Click);
    connect(&m_station, &BoardStation::applied, this,
            [this](const PortChoice &, const PortError &error) { portApplied(error); });

    resetToDesign();
    Form_Initialize();
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::resetToDesign()
{
    m_unavailablePorts.clear();
    m_devicesUnavailable.clear();
    optEn->setChecked(true);
    showCaptions();   // also when English was selected already
    optVXT8088->setChecked(true);
    for (QWidget *widget : {static_cast<QWidget *>(fmeVXT), static_cast<QWidget *>(optVXT8088),
                            static_cast<QWidget *>(optVXT8052)})
        widget->setEnabled(true);
    cboCOM->clear();

    if (const QScreen *screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void SettingsDialog::Form_Initialize()
{
    blnConfirmed = false;
    m_preferredPort = 0;
    ListCommPorts();
}

void SettingsDialog::ListCommPorts()
{
    blnPreviousPortListed = false;
    m_preferredListed = false;
    m_probe.reset();
    // The devices are tried on a port of their own: the station's line stays closed.
    CommPort devices;
    const PortListing listing = listComPorts(devices);
    for (int n : listing.ports) {
        QString device = ComPortMap::devicePath(n);
        const QString adapter = ComPortMap::adapterDescription(ComPortMap::resolvedDevicePath(n));
        if (!adapter.isEmpty())
            device += QStringLiteral(" — ") + adapter;
        addPort(n, device);
    }
    m_devicesUnavailable = listing.unavailable;
    if (listing.network.isEmpty()) {
        m_unavailablePorts = m_devicesUnavailable;
        portsListed();
        return;
    }
    // Until the list is whole; the note stays as it was meanwhile.
    cmdOK->setEnabled(false);
    cmdTryAgain->setEnabled(false);
    m_probe = std::make_unique<NetworkPortProbe>();
    connect(m_probe.get(), &NetworkPortProbe::finished, this, &SettingsDialog::networkPortsAnswered);
    connect(m_probe.get(), &NetworkPortProbe::answeredLate, this, &SettingsDialog::networkPortAnsweredLate);
    m_probe->start(listing.network);
}

void SettingsDialog::addPort(int number, const QString &toolTip)
{
    int entry = 0;
    while (entry < cboCOM->count() && cboCOM->itemData(entry).toInt() < number)
        ++entry;
    // Each entry keeps its port number as its data.
    cboCOM->insertItem(entry, QStringLiteral("COM%1").arg(number), number);
    cboCOM->setItemData(entry, toolTip, Qt::ToolTipRole);
    if (m_window && number == intPreviousPort)
        blnPreviousPortListed = true;
    if (number == m_preferredPort) {
        cboCOM->setCurrentIndex(entry);
        m_preferredListed = true;
    }
}

// The network ports that answered join the list with their address as the tooltip; the
// others are named in the note.
void SettingsDialog::networkPortsAnswered()
{
    for (const int n : m_probe->reachable())
        addPort(n, ComPortMap::networkAddress(n));
    m_unavailablePorts = m_devicesUnavailable + m_probe->unreachable();
    cmdOK->setEnabled(!m_applying);
    cmdTryAgain->setEnabled(!m_applying);
    portsListed();
}

// It joins the list, or the note tells why it gave up. From a window, the station's
// previous port that answers now is its port again, as if it had answered in time.
void SettingsDialog::networkPortAnsweredLate(int number)
{
    if (m_probe->reachable().contains(number)) {
        const bool wasListed = blnPreviousPortListed;
        addPort(number, ComPortMap::networkAddress(number));
        if (m_window && !wasListed && blnPreviousPortListed)
            m_station.select(PortChoice::comNumber(number));
    }
    m_unavailablePorts = m_devicesUnavailable + m_probe->unreachable();
    showPortNote();
}

// The list is made anew, keeping the entry chosen where it is listed again.
void SettingsDialog::cmdTryAgain_Click()
{
    if (cboCOM->currentIndex() >= 0)
        m_preferredPort = cboCOM->currentData().toInt();
    cboCOM->clear();
    ListCommPorts();
}

// With the list whole: an entry is chosen (with no port at all the list stays empty; OK
// then says that none was found): the port to preselect where there is one and it is
// listed, else the first; with none to preselect, the one the user chose meanwhile stays.
// From a window the station's port stays where
// it was when it is listed, or when nothing is, and moves to the first one listed
// otherwise (the station opens it when the dialog has closed, unless OK applies another).
void SettingsDialog::portsListed()
{
    showPortNote();
    if (cboCOM->count() > 0 && (cboCOM->currentIndex() < 0 || (m_preferredPort != 0 && !m_preferredListed)))
        cboCOM->setCurrentIndex(0);
    if (m_window && cboCOM->count() > 0 && !blnPreviousPortListed)
        m_station.select(PortChoice::comNumber(cboCOM->itemData(0).toInt()));
}

void SettingsDialog::showPortNote()
{
    constexpr int ButtonsTop = 154;   // without a note
    constexpr int NoteTop = 140;
    constexpr int NoteWidth = 217;
    // About ten lines; a longer note scrolls, so that the dialog fits a 768-pixel screen.
    constexpr int NoteMostHeight = 150;
    constexpr int Gap = 10;
    const Language language = selectedLanguage();
    const QStringList lines = SettingsTexts::portNote(language, m_unavailablePorts);
    lblPortNote->setText(lines.join(QLatin1Char('\n')));
    // Where a line speaks of several ports, each one's own sentence, with its device or
    // address, is the tooltip.
    QStringList each;
    for (const PortError &why : std::as_const(m_unavailablePorts))
        each << TransferTexts::portError(language, why);
    lblPortNote->setToolTip(each.size() > lines.size() ? each.join(QLatin1Char('\n')) : QString());
    const bool shown = !lines.isEmpty();
    lblPortNote->setVisible(shown);
    m_noteArea->setVisible(shown);
    cmdTryAgain->setVisible(shown);
    cmdTryAgain->setText(SettingsTexts::tryAgainButton(language));

    // The dialog grows by the note's height and Try Again, the buttons move below them.
    int buttonsTop = ButtonsTop;
    if (shown) {
        const int height = std::min(lblPortNote->heightForWidth(NoteWidth), NoteMostHeight);
        m_noteArea->setGeometry(16, NoteTop, NoteWidth, height);
        const int width = std::max(cmdTryAgain->sizeHint().width(), 75);
        cmdTryAgain->setGeometry(16 + NoteWidth - width, NoteTop + height + 4, width, 21);
        buttonsTop = cmdTryAgain->geometry().bottom() + 1 + Gap;
    }
    cmdOK->move(40, buttonsTop);
    cmdExit->move(136, buttonsTop);
    const int before = height();
    resize(249, buttonsTop + 31);
    move(pos() + QPoint(0, (before - height()) / 2));   // its centre stays where it was
}

// Shown from a window: the board stays, language and port start from those in force.
void SettingsDialog::Form_Load(const ProgramSettings &current)
{
    fmeVXT->setEnabled(false);
    optVXT8088->setEnabled(false);
    optVXT8052->setEnabled(false);
    if (current.blnChinese)
        optCH->setChecked(true);
    else
        optEn->setChecked(true);
    if (current.intBoard == 8088)
        optVXT8088->setChecked(true);
    else
        optVXT8052->setChecked(true);

    // The station's port: an Exit since the last OK may have moved it.
    const PortChoice &previous = m_station.port();
    intPreviousPort = qint16(previous.kind == PortChoice::ComNumber ? previous.number : 0);
    m_preferredPort = intPreviousPort;
    ListCommPorts();
}

void SettingsDialog::showFromWindow(QWidget &window, const ProgramSettings &current)
{
    m_window = &window;
    resetToDesign();
    Form_Load(current);
    setWindowModality(Qt::ApplicationModal);
    exec();
    setWindowModality(Qt::NonModal);
    m_window = nullptr;
}

Language SettingsDialog::selectedLanguage() const
{
    return optCH->isChecked() ? Language::Chinese : Language::English;
}

void SettingsDialog::showCaptions()
{
    using namespace SettingsTexts;
    const Language language = selectedLanguage();
    setWindowTitle(caption(language));
    fmeLanguage->setTitle(languageFrame(language));
    lblPort->setText(portLabel(language));
    cmdOK->setText(okButton(language));
    cmdExit->setText(exitButton(language));
    fitLabelToText(lblPort, 16, 96);
    showPortNote();
}

void SettingsDialog::cmdOK_Click()
{
    ProgramSettings chosen;
    chosen.blnChinese = optEn->isChecked() ? 0 : 1;
    useQtLanguage(chosen.language() == Language::Chinese);   // Qt's own texts follow, this warning's too
    chosen.intBoard = optVXT8088->isChecked() ? 8088 : 8052;

    const int i = cboCOM->currentIndex();
    if (cboCOM->count() == 0) {
        warn(SettingsTexts::noPortFound(chosen.language(), m_unavailablePorts));
        return;
    }
    if (i < 0) {
        warn(SettingsTexts::noPortSelected(chosen.language()));
        return;
    }

    chosen.port = PortChoice::comNumber(cboCOM->itemData(i).toInt());
    // A board on the network answers later: OK cannot be pressed again meanwhile, nor the
    // list made anew, which would try the port being opened.
    m_applying = chosen;
    cmdOK->setEnabled(false);
    cmdTryAgain->setEnabled(false);
    m_station.setBoard(chosen.board());
    m_station.apply(chosen.port);
}

// The station has opened OK's port, or says why it could not: the dialog stays open
// then, and the station stays on the port it had.
void SettingsDialog::portApplied(const PortError &error)
{
    const std::optional<ProgramSettings> chosen = std::exchange(m_applying, std::nullopt);
    if (!chosen)
        return;   // not OK's
    const bool listed = !m_probe || !m_probe->isRunning();
    cmdOK->setEnabled(listed);
    cmdTryAgain->setEnabled(listed);
    if (error.kind == PortError::None)
        confirm(*chosen);
    else
        warn(TransferTexts::portError(chosen->language(), error));
}

void SettingsDialog::confirm(const ProgramSettings &chosen)
{
    emit confirmed(chosen);

    blnConfirmed = true;
    accept();
}

void SettingsDialog::done(int result)
{
    QDialog::done(result);
    m_probe.reset();
    m_applying.reset();   // an apply under way is the station's to give up
    cmdOK->setEnabled(true);
    cmdTryAgain->setEnabled(true);
    Form_Unload();
}

// From a window, the station opens its port again when the dialog has closed.
void SettingsDialog::Form_Unload()
{
    if (m_window || blnConfirmed)
        return;
    m_station.close();   // gives up the opening OK started
    emit abandoned();
}

void SettingsDialog::warn(const QString &text)
{
    MessageBoxes::show(this, QMessageBox::Warning, TransferTexts::programTitle(), text);
}
