// The board station on a fake line: applying a port choice that opens at once, later or
// not at all, the Setting command's setting aside and reopening, a port lost while idle,
// and the state it reports. (Choices that stand for different devices and servers are
// tried through the settings dialog, in tst_settings.)

#include "boardstation.h"
#include "fakeline.h"
#include "transfersession.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

PortChoice com(int number)
{
    return PortChoice::comNumber(number);
}

PortError errorOf(const QList<QVariant> &applied)
{
    return applied.at(1).value<PortError>();
}

QString writeFile(const QTemporaryDir &dir, const QByteArray &content)
{
    const QString path = dir.filePath(QStringLiteral("source.bin"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return {};
    return path;
}

} // namespace

class StationTest : public QObject {
    Q_OBJECT

private slots:
    // A choice is the station's only once it has opened; one that cannot be opened, at
    // once or later, leaves the station on the port it had, open again.
    void applyKeepsThePortInForceWhenItFails()
    {
        FakeLine line;
        BoardStation station(Board::Vxt8088, line);
        QSignalSpy applied(&station, &BoardStation::applied);
        station.apply(com(1));
        QCOMPARE(applied.size(), 1);
        QCOMPARE(errorOf(applied.takeFirst()).kind, PortError::None);
        QCOMPARE(station.state().line, StationState::Open);
        QVERIFY(station.state().port == com(1));

        line.refusal = {PortError::InUse, QStringLiteral("COM2"), {}, {}};
        station.apply(com(2));
        QCOMPARE(errorOf(applied.takeFirst()).kind, PortError::InUse);
        QVERIFY(station.port() == com(1));
        QCOMPARE(station.state().line, StationState::Failed);   // COM1 is refused too now
        line.refusal = {};

        line.opensLater = true;
        station.apply(com(3));
        QCOMPARE(station.state().line, StationState::Opening);
        QVERIFY(station.state().port == com(3));
        QVERIFY(applied.isEmpty());
        line.finishOpening({PortError::Refused, QStringLiteral("COM3"), {}, {}});
        QCOMPARE(errorOf(applied.takeFirst()).kind, PortError::Refused);
        QVERIFY(station.state().port == com(1));
        QCOMPARE(station.state().line, StationState::Opening);   // COM1 again, which answers later too
        line.finishOpening();
        QCOMPARE(station.state().line, StationState::Open);
        QVERIFY(applied.isEmpty());

        station.apply(com(4));
        line.finishOpening();
        QCOMPARE(errorOf(applied.takeFirst()).kind, PortError::None);
        QVERIFY(station.port() == com(4));
        QCOMPARE(station.state().line, StationState::Open);
    }

    // Set aside for the Setting command, the line is closed and the transfers end;
    // resume() opens the port in force again, or says why it cannot, and gives up an
    // apply that nobody waits for any more. A port selected meanwhile is opened then.
    void setAsideAndResume()
    {
        FakeLine line(1000);
        BoardStation station(Board::Vxt8052, line);
        station.apply(com(1));
        QTemporaryDir files;
        station.startDownload(writeFile(files, QByteArray(2000, 'x')));
        QVERIFY(station.state().downloading);
        QSignalSpy finished(&station.session(), &TransferSession::finished);

        station.setAside();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().value<TransferOutcome>().fault, TransferFault::PortClosedUnderTransfer);
        QCOMPARE(station.state().line, StationState::Closed);
        QVERIFY(!station.state().downloading);
        station.resume();
        QCOMPARE(station.state().line, StationState::Open);

        station.setAside();
        line.refusal = {PortError::Missing, QStringLiteral("COM1"), {}, {}};
        station.resume();
        QCOMPARE(station.state().line, StationState::Failed);
        QCOMPARE(station.state().error.kind, PortError::Missing);
        QCOMPARE(station.state().error.port, QStringLiteral("COM1"));
        line.refusal = {};

        station.setAside();
        line.opensLater = true;
        station.apply(com(2));   // OK, and the dialog left before the answer
        station.resume();
        QVERIFY(station.port() == com(1));
        QCOMPARE(station.state().line, StationState::Opening);
        line.finishOpening();
        QVERIFY(station.port() == com(1));
        QCOMPARE(station.state().line, StationState::Open);
        line.opensLater = false;

        station.setAside();
        station.select(com(5));
        QCOMPARE(station.state().line, StationState::Closed);
        station.resume();
        QCOMPARE(station.state().line, StationState::Open);
        QVERIFY(station.port() == com(5));
    }

    // Chosen without opening (kestrion-cli): the first transfer opens the port, and a
    // failure of that opening is the transfer's to tell. A line that stops working while
    // no transfer runs is told as lost, once.
    void selectedPortOpensWithTheTransferAndCanBeLost()
    {
        FakeLine line;
        BoardStation station(Board::Vxt8052, line);
        station.select(com(1));
        QTemporaryDir files;
        const QString source = writeFile(files, "abc");
        QSignalSpy finished(&station.session(), &TransferSession::finished);
        line.refusal = {PortError::Missing, QStringLiteral("COM1"), {}, {}};
        station.startDownload(source);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.takeFirst().first().value<TransferOutcome>().fault, TransferFault::PortClosed);
        QCOMPARE(station.state().line, StationState::Closed);
        line.refusal = {};

        station.startDownload(source);
        QCOMPARE(station.state().line, StationState::Open);
        QVERIFY(line.advanceUntil([&] { return !finished.isEmpty(); }));
        QVERIFY(!station.state().downloading);

        QSignalSpy states(&station, &BoardStation::stateChanged);
        line.drop();
        QCOMPARE(station.state().line, StationState::Lost);
        QCOMPARE(states.size(), 1);
        QCOMPARE(states.first().first().value<StationState>().port.name, QStringLiteral("COM1"));
    }
};

QTEST_MAIN(StationTest)
#include "tst_station.moc"
