#include "transferrig.h"

#include "boardprofile.h"
#include "controls.h"
#include "messageboxes.h"
#include "boardstation.h"
#include "transfersession.h"
#include "transferwindow.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>

TransferRig::TransferRig(const BoardProfile &profile, qint64 pacing)
    : m_profile(profile)
    , m_line(pacing)
{
    m_station = std::make_unique<BoardStation>(profile.board, m_line);
    m_station->apply(PortChoice::comNumber(1));
    if (!m_line.isOpen())
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
    m_window = std::make_unique<TransferWindow>(profile, *m_station, hooks);
    m_window->show();
}

TransferRig::~TransferRig()
{
    closeMessageBoxes();
    m_window.reset();
    m_station.reset();
}

QTimer *TransferRig::quietTimer() const
{
    return m_window->session().findChild<QTimer *>(QStringLiteral("tmrDelayReceive"));
}

void TransferRig::sendPaced(const QByteArray &bytes, int bytesPerSecond)
{
    m_paced += bytes;
    m_pacedPerTick = std::max(1, bytesPerSecond * FakeLine::TickMs / 1000);
}

bool TransferRig::advanceUntil(const std::function<bool()> &done, int limitMs)
{
    for (int elapsed = 0; elapsed < limitMs && !done(); elapsed += FakeLine::TickMs) {
        if (!m_paced.isEmpty()) {
            send(m_paced.left(m_pacedPerTick));
            m_paced.remove(0, m_pacedPerTick);
        }
        m_line.advance(FakeLine::TickMs);
    }
    return done();
}

bool TransferRig::waitForBytes(qsizetype count)
{
    return advanceUntil([&] { return received().size() >= count; });
}

void TransferRig::unplug()
{
    m_paced.clear();
    m_line.drop();
    m_line.refusal = {PortError::Missing, m_line.portName(), {}, {}};
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
