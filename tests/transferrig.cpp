#include "transferrig.h"

#include "boardprofile.h"
#include "controls.h"
#include "messageboxes.h"
#include "commport.h"
#include "ptyboard.h"
#include "transfersession.h"
#include "transferwindow.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <unistd.h>

TransferRig::TransferRig(const BoardProfile &profile, qint64 pacing)
    : m_profile(profile)
{
    m_board = std::make_unique<PtyBoard>(m_dir.path(), 1);
    if (!m_board->isValid())
        return;
    m_master = m_board->masterFd();
    qputenv("KESTRION_COM_DIR", QFile::encodeName(m_dir.path()));

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read);
    QObject::connect(m_readNotifier, &QSocketNotifier::activated, [this] { readBoardEnd(); });
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write);
    m_writeNotifier->setEnabled(false);
    QObject::connect(m_writeNotifier, &QSocketNotifier::activated, [this] { writeBoardEnd(); });

    LineOptions options;
    options.pacingBytesPerSecond = pacing;
    m_port = std::make_unique<CommPort>(options);
    m_port->setCommPort(1);
    if (!m_port->open())
        return;
    TransferWindow::Hooks hooks;
    hooks.endProgram = [this] { ++endings; };
    hooks.openDocument = [this](const QUrl &url) {
        opened.append(url);
        return openerStarts;
    };
    hooks.showSettings = [this](TransferWindow &) {
        ++settingsShown;
        if (onSettings)
            onSettings();
    };
    m_window = std::make_unique<TransferWindow>(profile, *m_port, hooks);
    m_window->show();
}

TransferRig::~TransferRig()
{
    closeMessageBoxes();
    m_window.reset();
    m_port.reset();
    unplug();
    delete m_paceTimer;
}

QTimer *TransferRig::quietTimer() const
{
    return m_window->session().findChild<QTimer *>(QStringLiteral("tmrDelayReceive"));
}

void TransferRig::send(const QByteArray &bytes)
{
    m_outgoing += bytes;
    writeBoardEnd();
}

void TransferRig::sendPaced(const QByteArray &bytes, int bytesPerSecond)
{
    constexpr int TickMs = 10;
    m_paced += bytes;
    if (!m_paceTimer) {
        m_paceTimer = new QTimer;
        m_paceTimer->setTimerType(Qt::PreciseTimer);
    }
    m_paceTimer->disconnect();
    const int perTick = std::max(1, bytesPerSecond * TickMs / 1000);
    QObject::connect(m_paceTimer, &QTimer::timeout, [this, perTick] {
        send(m_paced.left(perTick));
        m_paced.remove(0, perTick);
        if (m_paced.isEmpty())
            m_paceTimer->stop();
    });
    m_paceTimer->start(TickMs);
}

void TransferRig::writeBoardEnd()
{
    while (!m_outgoing.isEmpty() && m_master >= 0) {
        const ssize_t n = ::write(m_master, m_outgoing.constData(), size_t(m_outgoing.size()));
        if (n <= 0)
            break;
        m_outgoing.remove(0, n);
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(!m_outgoing.isEmpty() && m_master >= 0);
}

void TransferRig::readBoardEnd()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        m_received.append(buffer, n);
    }
}

bool TransferRig::waitForBytes(qsizetype count, int timeoutMs)
{
    return QTest::qWaitFor([&] { return m_received.size() >= count; }, timeoutMs);
}

void TransferRig::unplug()
{
    delete m_readNotifier;
    delete m_writeNotifier;
    m_readNotifier = nullptr;
    m_writeNotifier = nullptr;
    if (m_paceTimer)
        m_paceTimer->stop();
    m_paced.clear();
    m_board->hangUp();
    m_master = -1;
}

void TransferRig::click(const char *buttonName)
{
    auto *button = control<QPushButton>(*m_window, buttonName);
    QVERIFY2(button->isEnabled(), buttonName);
    QTest::mouseClick(button, Qt::LeftButton);
}

void TransferRig::startDownload(const QString &source)
{
    control<QLineEdit>(*m_window, "txtSourceFile")->setText(source);
    click("cmdDownloadFile");
}

void TransferRig::startUpload(const QString &target)
{
    control<QLineEdit>(*m_window, "txtTargetFile")->setText(target);
    click("cmdReadyUpload");
}

void TransferRig::verifyIdle()
{
    TransferWindow &w = *m_window;
    QVERIFY(!w.session().isRunning(Direction::Download));
    QVERIFY(!w.session().isRunning(Direction::Upload));
    QCOMPARE(w.windowTitle(), m_profile.caption);
    auto *download = control<QPushButton>(w, "cmdDownloadFile");
    auto *upload = control<QPushButton>(w, "cmdReadyUpload");
    QCOMPARE(download->text(), QStringLiteral("&Download"));
    QCOMPARE(upload->text(), QStringLiteral("&Upload"));
    QCOMPARE(upload->toolTip(), QStringLiteral("Start to transfer the data"));
    for (const char *name : {"txtSourceFile", "cmdSelectSourcePath", "txtTargetFile", "cmdSelectTargetPath"})
        QVERIFY2(control<QWidget>(w, name)->isEnabled(), name);
}

QByteArray lengthHeader(int length)
{
    QByteArray bytes;
    bytes.append(char((length >> 8) & 0xFF));
    bytes.append(char(length & 0xFF));
    return bytes;
}
