// The wire formats by table: bytes in, bytes out, no port and no file.

#include "codecs.h"

#include <QTest>

class CodecTest : public QObject {
    Q_OBJECT

private slots:
    void everyByteThereAndBack()
    {
        QByteArray all;
        for (int value = 0; value < 256; ++value)
            all.append(char(value));
        const QByteArray text = HexEncoder::encode(all);
        QCOMPARE(text.size(), 512);
        QCOMPARE(text.left(6), QByteArray("000102"));
        QCOMPARE(text.mid(2 * 0x1A, 2), QByteArray("1A"));   // Ctrl-Z as data is two digits
        QCOMPARE(text.right(4), QByteArray("FEFF"));
        HexDecoder upper;
        QCOMPARE(upper.feed(QByteArray(text + HexEndOfStream)).bytes, all);
        HexDecoder lower;
        QCOMPARE(lower.feed(text.toLower()).bytes, all);
    }

    void hexDecoding_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("reported");
        QTest::addColumn<bool>("ended");
        QTest::addColumn<qint64>("unexpected");
        QTest::addColumn<bool>("loneDigit");
        QTest::newRow("two bytes") << QByteArray("4142\x1A") << QByteArray("AB") << 2LL << true << 0LL << false;
        QTest::newRow("lower case") << QByteArray("af\x1A") << QByteArray("\xAF") << 1LL << true << 0LL << false;
        QTest::newRow("end at once") << QByteArray("\x1A") << QByteArray() << 0LL << true << 0LL << false;
        QTest::newRow("odd digits") << QByteArray("12345\x1A") << QByteArray("\x12\x34") << 3LL << true << 0LL
                                    << true;
        QTest::newRow("line breaks pass") << QByteArray("41\r\n 4\t2\x1A") << QByteArray("AB") << 2LL << true << 0LL
                                          << false;
        QTest::newRow("junk noted") << QByteArray("4G1:") << QByteArray("A") << 1LL << false << 2LL << false;
        QTest::newRow("after the end") << QByteArray("41\x1A" "42") << QByteArray("A") << 1LL << true << 0LL
                                       << false;
        QTest::newRow("lone digit") << QByteArray("414") << QByteArray("A") << 1LL << false << 0LL << true;
    }

    void hexDecoding()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, reported);
        QFETCH(bool, ended);
        QFETCH(qint64, unexpected);
        QFETCH(bool, loneDigit);
        // Fed whole and fed a byte at a time, the result is the same.
        for (const bool byByte : {false, true}) {
            HexDecoder decoder;
            QByteArray got;
            qsizetype consumed = 0;
            if (byByte) {
                for (const char c : input) {
                    const auto result = decoder.feed(QByteArrayView(&c, 1));
                    consumed += result.consumed;
                    got += result.bytes;
                }
            } else {
                const auto result = decoder.feed(input);
                got = result.bytes;
                consumed = result.consumed;
            }
            QCOMPARE(got, bytes);
            QCOMPARE(decoder.reportedCount(), reported);
            QCOMPARE(decoder.ended(), ended);
            QCOMPARE(decoder.unexpectedCharacters(), unexpected);
            QCOMPARE(decoder.hasLoneDigit(), loneDigit);
            if (ended)
                QCOMPARE(consumed, input.indexOf('\x1A') + 1);   // nothing after the end is taken
        }
    }

    void lengthHeaderInEverySplit_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<qint64>("announced");
        QTest::newRow("3") << QByteArray("\x00\x03" "ABC", 5) << 3LL;
        QTest::newRow("0 means 65536") << QByteArray("\x00\x00" "AB", 4) << 65536LL;
        QTest::newRow("32000") << QByteArray("\x7D\x00" "XYZ", 5) << 32000LL;
        QTest::newRow("fewer than announced") << QByteArray("\x01\x00" "A", 3) << 256LL;
        QTest::newRow("more than announced") << QByteArray("\x00\x01" "ABCD", 6) << 1LL;
    }

    void lengthHeaderInEverySplit()
    {
        QFETCH(QByteArray, stream);
        QFETCH(qint64, announced);
        // Every way of cutting the stream into three reads gives the same length and data.
        for (qsizetype first = 0; first <= stream.size(); ++first) {
            for (qsizetype second = first; second <= stream.size(); ++second) {
                LengthFramedDecoder decoder;
                QByteArray data;
                int headersRead = 0;
                for (const QByteArray &piece : {stream.left(first), stream.mid(first, second - first),
                                                stream.mid(second)}) {
                    const auto result = decoder.feed(piece);
                    data += result.data;
                    headersRead += result.headerRead ? 1 : 0;
                }
                QCOMPARE(decoder.announced(), announced);
                QCOMPARE(headersRead, 1);
                QCOMPARE(data, stream.mid(2));
                QCOMPARE(decoder.dataBytes(), stream.size() - 2);
            }
        }
    }

    void percentages()
    {
        QCOMPARE(roundedPercent(50, 200), 25);
        QCOMPARE(roundedPercent(1, 200), 1);     // half a percent rounds up
        QCOMPARE(roundedPercent(2, 3), 67);
        QCOMPARE(roundedPercent(0, 0), 0);
        QCOMPARE(roundedPercent(4, 2), 200);     // more than announced goes above 100
        // A header of 1 followed by 21 MB neither wraps nor overflows.
        QCOMPARE(roundedPercent(21'000'000, 1), 99999);
        QCOMPARE(roundedPercent(qint64(1) << 40, qint64(1) << 39), 200);
    }
};

QTEST_GUILESS_MAIN(CodecTest)
#include "tst_codecs.moc"
