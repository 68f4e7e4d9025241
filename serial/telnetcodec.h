#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QtGlobal>

// The telnet layer of an RFC 2217 line as plain values: bytes from the server in, data
// bytes and events out; data and requests in, bytes for the server out. Nothing is read
// from or written to a connection here.
//
// The client it speaks for offers the serial-port option (COM-PORT-OPTION, 44) and asks
// for BINARY both ways, so that every byte value is data; it agrees to suppress go-ahead,
// which changes nothing on the line, and refuses every other option either side offers
// (echo, compression, ...). A subnegotiation is taken only for the serial-port option once
// agreed; any other is passed over, whatever it holds. No byte of a command or of a
// subnegotiation is ever data: 0xFF data comes doubled and leaves undoubled. A
// subnegotiation longer than MaxSubnegotiation fails the codec, which then takes nothing
// more. Where the server does not send BINARY, CR NUL stands for CR; where it does not
// take BINARY, a CR goes out as CR NUL.
class TelnetCodec {
public:
    static constexpr qsizetype MaxSubnegotiation = 1024;

    enum Option : unsigned char {
        Binary = 0,
        Echo = 1,
        SuppressGoAhead = 3,
        ComPortOption = 44,
        Compress2 = 86,
    };

    struct Event {
        enum Kind {
            ComPortAccepted,         // the server agreed to the serial-port option
            ComPortRefused,          // the server refused it, or withdrew it
            ComPortAnswer,           // the server's answer to a command, or its notification
            SubnegotiationTooLong,   // the codec failed
        };
        Kind kind = ComPortAnswer;
        qsizetype dataOffset = 0;    // how much of Result::data came before the event
        unsigned char command = 0;   // ComPortAnswer: the client's command it answers
                                     // (the server's code less ServerAnswerOffset)
        QByteArray value;            // ComPortAnswer: what follows the code
    };

    struct Result {
        QByteArray data;       // the board's bytes
        QByteArray reply;      // to send to the server now (our answers to its offers)
        QList<Event> events;   // in the order they came, among the data
    };

    // The server answers a client's command with its code plus this.
    static constexpr unsigned char ServerAnswerOffset = 100;

    // Our offers, to send once connected.
    QByteArray start();
    Result feed(QByteArrayView bytes);
    // Data for the board as it goes on the connection.
    QByteArray encodeData(QByteArrayView data) const;
    // A serial-port command with its value (RFC 2217's client codes).
    static QByteArray comPortCommand(unsigned char command, QByteArrayView value);

    bool failed() const { return m_state == State::Failed; }
    bool comPortAgreed() const { return m_us[ComPortOption] == Agreement::Yes; }

private:
    enum class State { Data, Command, Option, SubOption, Sub, SubCommand, Failed };
    // One side's agreement on an option, as RFC 1143 keeps it (without its queue).
    enum class Agreement : unsigned char { No, Yes, WantYes, WantNo };

    static bool weAccept(unsigned char option);
    static bool theyMayUse(unsigned char option);
    void command(unsigned char verb, unsigned char option, Result &result);
    void takeSubByte(unsigned char byte, Result &result);
    void subnegotiationEnded(Result &result);

    State m_state = State::Data;
    unsigned char m_verb = 0;   // WILL, WONT, DO or DONT awaiting its option
    bool m_crPending = false;   // a CR came where CR NUL stands for CR
    unsigned char m_subOption = 0;
    QByteArray m_sub;
    Agreement m_us[256] = {};     // what we do
    Agreement m_them[256] = {};   // what the server does
};

// The line settings asked of the server's port, and its answers to them: the server
// answers each with what it set, which must be what was asked.
class ComPortSettings {
public:
    // RFC 2217's client commands that set the line.
    enum Command : unsigned char {
        SetBaudRate = 1,
        SetDataSize = 2,
        SetParity = 3,
        SetStopSize = 4,
    };
    static constexpr quint32 BaudRate = 9600;

    // The requests, each a command for TelnetCodec::comPortCommand(), the baud rate last.
    struct Request {
        unsigned char command;
        QByteArray value;
    };
    static QList<Request> requests();

    // Takes an answer; false when it differs from what was asked. Answers to other
    // commands, and answers of the wrong size, are passed over.
    bool take(unsigned char command, QByteArrayView value);
    bool baudRateAnswered() const { return m_baudAnswered; }

    // The settings as a serial device server's configuration writes them ("9600 8N1"):
    // what was asked, and what the server answered (where it did not answer, what was
    // asked).
    static QString asked();
    QString answered() const;

private:
    quint32 m_baud = BaudRate;
    unsigned char m_dataSize = 8;
    unsigned char m_parity = 1;   // none
    unsigned char m_stopSize = 1;
    bool m_baudAnswered = false;
};
