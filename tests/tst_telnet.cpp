// The telnet layer of RFC 2217 lines by table: the server's bytes in, data, answers and
// events out, fed whole and a byte at a time; and data with commands strewn in at random.

#include "telnetcodec.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (const int value : values)
        out += char(value);
    return out;
}

// What ser2net sends on connecting: WILL and DO suppress go-ahead, WILL and DONT echo, DO
// and WILL binary, DO COM-PORT-OPTION.
const QByteArray Greeting =
    bytes({255, 251, 3, 255, 253, 3, 255, 251, 1, 255, 254, 1, 255, 253, 0, 255, 251, 0, 255, 253, 44});
const QByteArray Agreed = bytes({255, 253, 44, 255, 251, 0});   // DO COM-PORT-OPTION, WILL binary

QByteArray sub(int option, const QByteArray &body)
{
    return bytes({255, 250, option}) + body + bytes({255, 240});
}

// The events as text: "accepted@0", "answer1=00002580@3", ...
QString describe(const TelnetCodec::Event &event, qsizetype offset)
{
    static const char *const names[] = {"accepted", "refused", "answer", "too long"};
    QString text = QString::fromLatin1(names[event.kind]);
    if (event.kind == TelnetCodec::Event::ComPortAnswer)
        text += QString::number(event.command) + QLatin1Char('=') + QString::fromLatin1(event.value.toHex());
    return text + QLatin1Char('@') + QString::number(event.dataOffset + offset);
}

struct Fed {
    QByteArray data;
    QByteArray reply;
    QStringList events;
};

Fed feedInPieces(TelnetCodec &codec, const QList<QByteArray> &pieces)
{
    Fed fed;
    for (const QByteArray &piece : pieces) {
        const TelnetCodec::Result result = codec.feed(piece);
        for (const TelnetCodec::Event &event : result.events)
            fed.events << describe(event, fed.data.size());
        fed.data += result.data;
        fed.reply += result.reply;
    }
    return fed;
}

} // namespace

class TelnetTest : public QObject {
    Q_OBJECT

private slots:
    void ourOffers()
    {
        TelnetCodec codec;
        // WILL COM-PORT-OPTION, WILL binary, DO binary; offered once.
        QCOMPARE(codec.start(), bytes({255, 251, 44, 255, 251, 0, 255, 253, 0}));
        QCOMPARE(codec.start(), QByteArray());
    }

    void fromTheServer_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QStringList>("events");
        const QByteArray answer = sub(44, bytes({101, 0, 0, 0x25, 0x80}));   // 9600 baud
        QTest::newRow("ser2net's greeting")
            << Greeting << QByteArray() << bytes({255, 253, 3, 255, 251, 3, 255, 254, 1}) << QStringList{"accepted@0"};
        QTest::newRow("option refused") << bytes({255, 254, 44}) << QByteArray() << QByteArray()
                                        << QStringList{"refused@0"};
        QTest::newRow("0xFF doubled, commands passed over")
            << bytes({'a', 255, 255, 'b', 255, 241, 'c', 255, 249, 255, 242, 255, 240, 255, 7, 'd'})
            << bytes({'a', 255, 'b', 'c', 'd'}) << QByteArray() << QStringList{};
        QTest::newRow("answers among the data")
            << Agreed + "x" + answer + "y" + sub(44, bytes({112, 1})) << QByteArray("xy") << QByteArray()
            << QStringList{"accepted@0", "answer1=00002580@1", "answer12=01@2"};
        QTest::newRow("0xFF in an answer") << Agreed + sub(44, bytes({101, 0, 0, 255, 255, 255, 255})) << QByteArray()
                                           << QByteArray() << QStringList{"accepted@0", "answer1=0000ffff@0"};
        QTest::newRow("answer before the option is agreed")
            << answer + "z" << QByteArray("z") << QByteArray() << QStringList{};
        QTest::newRow("the server's requests of a client") << Agreed + sub(44, bytes({1, 0, 0, 0x25, 0x80}))
                                                           << QByteArray() << QByteArray() << QStringList{"accepted@0"};
        // Never agreed to, so never decompressed: what follows is data as it stands.
        QTest::newRow("unsolicited COMPRESS2")
            << bytes({255, 250, 86, 255, 240}) + "x\x9C\x01" + bytes({255, 251, 86, 255, 253, 86})
            << QByteArray("x\x9C\x01") << bytes({255, 254, 86, 255, 252, 86}) << QStringList{};
        QTest::newRow("other options refused")
            << bytes({255, 253, 1, 255, 251, 24, 255, 251, 44, 255, 253, 31}) << QByteArray()
            << bytes({255, 252, 1, 255, 254, 24, 255, 254, 44, 255, 252, 31}) << QStringList{};
        QTest::newRow("a command ends an unfinished subnegotiation")
            << Agreed + bytes({255, 250, 44, 101, 0, 255, 241, 'z'}) << QByteArray("z") << QByteArray()
            << QStringList{"accepted@0"};
        QTest::newRow("CR NUL stands for CR without binary")
            << bytes({255, 252, 0}) + QByteArray("a\r\0b\r\nc\r", 8) + bytes({0}) << QByteArray("a\rb\r\nc\r")
            << QByteArray() << QStringList{};
        QTest::newRow("CR NUL is data in binary")
            << Agreed + QByteArray("a\r\0b", 4) << QByteArray("a\r\0b", 4) << QByteArray() << QStringList{"accepted@0"};
        QTest::newRow("longest subnegotiation") << "a" + sub(99, QByteArray(TelnetCodec::MaxSubnegotiation, 'S')) + "b"
                                                << QByteArray("ab") << QByteArray() << QStringList{};
        // Nothing of it, nor anything after it, is data.
        QTest::newRow("subnegotiation too long") << "a" + sub(44, QByteArray(20000, 'S')) + "b" << QByteArray("a")
                                                 << QByteArray() << QStringList{"too long@1"};
        QTest::newRow("doubled 0xFF make it too long")
            << "a" + sub(44, QByteArray((TelnetCodec::MaxSubnegotiation + 1) * 2, '\xFF')) << QByteArray("a")
            << QByteArray() << QStringList{"too long@1"};
    }

    void fromTheServer()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, reply);
        QFETCH(QStringList, events);
        for (const bool byByte : {false, true}) {
            TelnetCodec codec;
            codec.start();
            QList<QByteArray> pieces;
            if (byByte) {
                for (const char c : input)
                    pieces << QByteArray(1, c);
            } else {
                pieces << input;
            }
            const Fed fed = feedInPieces(codec, pieces);
            QCOMPARE(fed.data, data);
            QCOMPARE(fed.reply, reply);
            QCOMPARE(fed.events, events);
            QCOMPARE(codec.failed(), events.contains(QStringLiteral("too long@1")));
        }
    }

    void toTheServer()
    {
        TelnetCodec codec;
        codec.start();
        // Until the server takes binary, CR goes as CR NUL; then as it is. 0xFF doubled.
        const QByteArray data = bytes({'\r', 255, 'a'});
        QCOMPARE(codec.encodeData(data), bytes({'\r', 0, 255, 255, 'a'}));
        codec.feed(bytes({255, 253, 0}));
        QCOMPARE(codec.encodeData(data), bytes({'\r', 255, 255, 'a'}));
        // 115200 baud is 00 01 C2 00; 0xFF in a value is doubled too.
        QCOMPARE(TelnetCodec::comPortCommand(1, bytes({0, 1, 0xC2, 0})),
                 bytes({255, 250, 44, 1, 0, 1, 0xC2, 0, 255, 240}));
        QCOMPARE(TelnetCodec::comPortCommand(1, bytes({0, 0, 255, 0})),
                 bytes({255, 250, 44, 1, 0, 0, 255, 255, 0, 255, 240}));
    }

    void settingsAnswers_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("answered");
        QTest::newRow("9600") << 1 << bytes({0, 0, 0x25, 0x80}) << true << "9600 8N1";
        QTest::newRow("115200") << 1 << bytes({0, 1, 0xC2, 0}) << false << "115200 8N1";
        QTest::newRow("300") << 1 << bytes({0, 0, 1, 0x2C}) << false << "300 8N1";
        QTest::newRow("7 data bits") << 2 << bytes({7}) << false << "9600 7N1";
        QTest::newRow("even parity") << 3 << bytes({3}) << false << "9600 8E1";
        QTest::newRow("unknown parity") << 3 << bytes({9}) << false << "9600 8?1";
        QTest::newRow("2 stop bits") << 4 << bytes({2}) << false << "9600 8N2";
        QTest::newRow("1.5 stop bits") << 4 << bytes({3}) << false << "9600 8N1.5";
        QTest::newRow("an answer of the wrong size") << 1 << bytes({0x25, 0x80}) << true << "9600 8N1";
        QTest::newRow("another command's answer") << 5 << bytes({2}) << true << "9600 8N1";
    }

    void settingsAnswers()
    {
        QFETCH(int, command);
        QFETCH(QByteArray, value);
        QFETCH(bool, accepted);
        QFETCH(QString, answered);
        ComPortSettings settings;
        QCOMPARE(settings.take(static_cast<unsigned char>(command), value), accepted);
        QCOMPARE(settings.answered(), answered);
        QCOMPARE(settings.baudRateAnswered(), command == 1 && value.size() == 4);
        QCOMPARE(ComPortSettings::asked(), QStringLiteral("9600 8N1"));
    }

    // Data full of 0xFF, CR and NUL with commands, negotiations and subnegotiations strewn
    // in, cut at random points: what comes out is the data, nothing more, nothing less.
    void onlyDataIsData()
    {
        QRandomGenerator random(20260);
        const QList<QByteArray> commands = {
            bytes({255, 241}), bytes({255, 249}), bytes({255, 242}), bytes({255, 240}),
            bytes({255, 251, 3}), bytes({255, 253, 86}), bytes({255, 251, 0}),
            bytes({255, 254, 44}), bytes({255, 253, 44}), bytes({255, 251, 86}),
            sub(44, bytes({101, 0, 0, 0x25, 0x80})), sub(44, bytes({112, 1})), sub(86, {}),
            sub(44, bytes({106, 255, 255})), sub(24, QByteArray(300, '\xF0'))};
        for (int round = 0; round < 300; ++round) {
            QByteArray data;
            QByteArray wire;
            const int pieces = random.bounded(1, 40);
            for (int i = 0; i < pieces; ++i) {
                if (random.bounded(3) == 0) {
                    wire += commands[random.bounded(commands.size())];
                    continue;
                }
                const int length = random.bounded(1, 30);
                for (int j = 0; j < length; ++j) {
                    const int pick = random.bounded(8);
                    const char c = pick == 0 ? '\xFF' : pick == 1 ? '\r' : pick == 2 ? '\0' : char(random.bounded(256));
                    data += c;
                    wire += c;
                    if (c == '\xFF')
                        wire += c;
                }
            }
            wire.prepend(Agreed);   // binary both ways, as ser2net agrees
            QList<QByteArray> cut;
            for (qsizetype at = 0; at < wire.size();) {
                const qsizetype length = std::min<qsizetype>(random.bounded(1, 12), wire.size() - at);
                cut << wire.mid(at, length);
                at += length;
            }
            TelnetCodec codec;
            codec.start();
            const Fed fed = feedInPieces(codec, cut);
            QCOMPARE(fed.data, data);
            QVERIFY(!codec.failed());
        }
    }
};

QTEST_GUILESS_MAIN(TelnetTest)
#include "tst_telnet.moc"
