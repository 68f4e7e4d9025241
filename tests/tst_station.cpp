// The board station: applying a port choice (a device, a board on the network), the
// Setting command's setting aside and reopening, a port lost while idle, and the state
// it reports. The boards are pseudo-terminals linked as COMn and TCP servers on
// 127.0.0.1 behind address files.

#include "boardstation.h"
#include "ptyboard.h"
#include "testfiles.h"
#include "transfersession.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int WaitMs = 5000;

PortChoice com(int number)
{
    return PortChoice::comNumber(number);
}

} // namespace

class StationTest : public QObject {
    Q_OBJECT

private:
    // COMn stands for the address of a board on the network.
    void addressFile(int number, quint16 port)
    {
        writeTestFile(m_folder.filePath(QStringLiteral("COM%1").arg(number)),
                      QStringLiteral("socket://127.0.0.1:%1\n").arg(port).toUtf8());
    }

private slots:
    void initTestCase() { m_com = std::make_unique<ComFolder>(m_folder.path()); }

    // A choice is the station's only once it has opened; one that cannot be opened, at
    // once or later, leaves the station on the port it had, open again.
    void applyKeepsThePortInForceWhenItFails()
    {
        PtyBoard com1(m_folder.path(), 1);
        QTcpServer live, gone;
        QVERIFY(live.listen(QHostAddress::LocalHost, 0) && gone.listen(QHostAddress::LocalHost, 0));
        addressFile(3, gone.serverPort());
        gone.close();
        addressFile(4, live.serverPort());

        BoardStation station(Board::Vxt8088);
        QSignalSpy applied(&station, &BoardStation::applied);
        QSignalSpy states(&station, &BoardStation::stateChanged);
        station.apply(com(1));
        QCOMPARE(applied.size(), 1);
        QCOMPARE(applied.takeFirst().at(1).value<PortError>().kind, PortError::None);
        QCOMPARE(station.state().line, StationState::Open);
        QVERIFY(station.state().port == com(1));

        station.apply(com(2));   // nothing there
        QCOMPARE(applied.takeFirst().at(1).value<PortError>().kind, PortError::Missing);
        QVERIFY(station.port() == com(1));
        QCOMPARE(station.state().line, StationState::Open);

        states.clear();
        station.apply(com(3));   // a server that refuses, told later
        QCOMPARE(station.state().line, StationState::Opening);
        QVERIFY(station.state().port == com(3));
        QVERIFY(applied.wait(WaitMs));
        const PortError refused = applied.takeFirst().at(1).value<PortError>();
        QCOMPARE(refused.kind, PortError::Refused);
        QCOMPARE(refused.port, QStringLiteral("COM3"));
        QVERIFY(station.port() == com(1));
        QCOMPARE(station.state().line, StationState::Open);
        QVERIFY(station.state().address.isEmpty());
        QCOMPARE(states.last().first().value<StationState>(), station.state());

        station.apply(com(4));
        QVERIFY(applied.wait(WaitMs));
        QCOMPARE(applied.takeFirst().at(1).value<PortError>().kind, PortError::None);
        QVERIFY(station.port() == com(4));
        QCOMPARE(station.state().line, StationState::Open);
        QCOMPARE(station.state().address, QStringLiteral("socket://127.0.0.1:%1").arg(live.serverPort()));
        QFile::remove(m_folder.filePath(QStringLiteral("COM3")));
        QFile::remove(m_folder.filePath(QStringLiteral("COM4")));
    }

    // Set aside for the Setting command, the line is closed and the transfers end;
    // resume() opens the port in force again, or says why it cannot. A port the user did
    // not apply can be selected meanwhile, and is opened then.
    void setAsideAndResume()
    {
        auto com1 = std::make_unique<PtyBoard>(m_folder.path(), 1);
        PtyBoard com2(m_folder.path(), 2);
        BoardStation station(Board::Vxt8052);
        station.apply(com(1));
        QTemporaryDir files;
        station.startUpload(files.filePath(QStringLiteral("up.bin")));
        QVERIFY(station.state().uploading);
        QSignalSpy finished(&station.session(), &TransferSession::finished);

        station.setAside();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().value<TransferOutcome>().fault, TransferFault::PortClosedUnderTransfer);
        QCOMPARE(station.state().line, StationState::Closed);
        QVERIFY(!station.state().uploading);
        station.resume();
        QCOMPARE(station.state().line, StationState::Open);

        // Gone meanwhile: resume() says why, naming the port; another is selected.
        station.setAside();
        com1->hangUp();
        station.resume();
        QCOMPARE(station.state().line, StationState::Failed);
        QCOMPARE(station.state().error.kind, PortError::Missing);
        QCOMPARE(station.state().error.port, QStringLiteral("COM1"));
        station.setAside();
        station.select(com(2));
        QCOMPARE(station.state().line, StationState::Closed);
        station.resume();
        QCOMPARE(station.state().line, StationState::Open);
        QVERIFY(station.port() == com(2));
    }

    // Chosen without opening (kestrion-cli): the first transfer opens the port. A line
    // that stops working while no transfer runs is told as lost.
    void selectedPortOpensWithTheTransferAndCanBeLost()
    {
        PtyBoard com1(m_folder.path(), 1);
        BoardStation station(Board::Vxt8052);
        station.select(com(1));
        QCOMPARE(station.state().line, StationState::Closed);
        QTemporaryDir files;
        QSignalSpy finished(&station.session(), &TransferSession::finished);
        station.startDownload(writeTestFile(files.filePath(QStringLiteral("s.bin")), "abc"));
        QCOMPARE(station.state().line, StationState::Open);
        QTRY_COMPARE(finished.size(), 1);
        QVERIFY(!station.state().downloading);

        QSignalSpy states(&station, &BoardStation::stateChanged);
        com1.hangUp();
        QTRY_COMPARE_WITH_TIMEOUT(station.state().line, StationState::Lost, WaitMs);
        QCOMPARE(states.last().first().value<StationState>().port.name, QStringLiteral("COM1"));
        QCOMPARE(states.count(), 1);   // told once
    }

private:
    QTemporaryDir m_folder;
    std::unique_ptr<ComFolder> m_com;
};

QTEST_MAIN(StationTest)
#include "tst_station.moc"
