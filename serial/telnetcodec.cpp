#include "telnetcodec.h"

#include <QtEndian>

#include <utility>

namespace {

// Telnet's commands (RFC 854).
enum : unsigned char {
    SE = 240,
    SB = 250,
    WILL = 251,
    WONT = 252,
    DO = 253,
    DONT = 254,
    IAC = 255,
};
constexpr char CR = '\r';

QByteArray negotiation(unsigned char verb, unsigned char option)
{
    const char bytes[] = {char(IAC), char(verb), char(option)};
    return QByteArray(bytes, sizeof bytes);
}

TelnetCodec::Event event(TelnetCodec::Event::Kind kind, qsizetype dataOffset)
{
    TelnetCodec::Event made;
    made.kind = kind;
    made.dataOffset = dataOffset;
    return made;
}

} // namespace

bool TelnetCodec::weAccept(unsigned char option)
{
    return option == Binary || option == SuppressGoAhead || option == ComPortOption;
}

bool TelnetCodec::theyMayUse(unsigned char option)
{
    return option == Binary || option == SuppressGoAhead;
}

QByteArray TelnetCodec::start()
{
    QByteArray out;
    for (const unsigned char option : {ComPortOption, Binary}) {
        if (m_us[option] == Agreement::No) {
            m_us[option] = Agreement::WantYes;
            out += negotiation(WILL, option);
        }
    }
    if (m_them[Binary] == Agreement::No) {
        m_them[Binary] = Agreement::WantYes;
        out += negotiation(DO, Binary);
    }
    return out;
}

TelnetCodec::Result TelnetCodec::feed(QByteArrayView bytes)
{
    Result result;
    for (qsizetype i = 0; i < bytes.size() && m_state != State::Failed; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        switch (m_state) {
        case State::Data:
            if (byte == IAC) {
                m_crPending = false;
                m_state = State::Command;
            } else if (std::exchange(m_crPending, false) && byte == 0) {
                // CR NUL stands for CR.
            } else {
                result.data += char(byte);
                m_crPending = byte == CR && m_them[Binary] != Agreement::Yes;
            }
            break;
        case State::SubCommand:
            if (byte == SE) {
                subnegotiationEnded(result);
                m_state = State::Data;
                break;
            }
            if (byte == IAC) {
                m_state = State::Sub;
                takeSubByte(byte, result);
                break;
            }
            // A command inside a subnegotiation ends it unfinished; the command is taken.
            m_sub.clear();
            Q_FALLTHROUGH();
        case State::Command:
            switch (byte) {
            case IAC:
                result.data += char(IAC);
                m_state = State::Data;
                break;
            case WILL:
            case WONT:
            case DO:
            case DONT:
                m_verb = byte;
                m_state = State::Option;
                break;
            case SB:
                m_state = State::SubOption;
                break;
            default:   // no operation, go ahead, break, data mark, ...: nothing for us
                m_state = State::Data;
                break;
            }
            break;
        case State::Option:
            command(m_verb, byte, result);
            m_state = State::Data;
            break;
        case State::SubOption:
            m_subOption = byte;
            m_sub.clear();
            m_state = State::Sub;
            break;
        case State::Sub:
            if (byte == IAC)
                m_state = State::SubCommand;
            else
                takeSubByte(byte, result);
            break;
        case State::Failed:
            break;
        }
    }
    if (m_state == State::Failed)
        m_sub.clear();
    return result;
}

void TelnetCodec::takeSubByte(unsigned char byte, Result &result)
{
    m_sub += char(byte);
    if (m_sub.size() > MaxSubnegotiation) {
        result.events.append(event(Event::SubnegotiationTooLong, result.data.size()));
        m_state = State::Failed;
    }
}

// The negotiation of RFC 1143: an offer is answered once, an answer to our own offer is
// not answered again, so that neither side loops.
void TelnetCodec::command(unsigned char verb, unsigned char option, Result &result)
{
    const bool comPort = option == ComPortOption;
    auto tell = [&](Event::Kind kind) {
        if (comPort)
            result.events.append(event(kind, result.data.size()));
    };
    if (verb == WILL || verb == WONT) {
        Agreement &them = m_them[option];
        const bool will = verb == WILL;
        switch (them) {
        case Agreement::No:
            if (will && theyMayUse(option)) {
                them = Agreement::Yes;
                result.reply += negotiation(DO, option);
            } else if (will) {
                result.reply += negotiation(DONT, option);
            }
            break;
        case Agreement::Yes:
            if (!will) {
                them = Agreement::No;
                result.reply += negotiation(DONT, option);
            }
            break;
        case Agreement::WantYes:
            them = will ? Agreement::Yes : Agreement::No;
            break;
        case Agreement::WantNo:
            them = Agreement::No;
            break;
        }
        return;
    }
    Agreement &us = m_us[option];
    const bool doIt = verb == DO;
    switch (us) {
    case Agreement::No:
        if (doIt && weAccept(option)) {
            us = Agreement::Yes;
            result.reply += negotiation(WILL, option);
            tell(Event::ComPortAccepted);
        } else if (doIt) {
            result.reply += negotiation(WONT, option);
        }
        break;
    case Agreement::Yes:
        if (!doIt) {
            us = Agreement::No;
            result.reply += negotiation(WONT, option);
            tell(Event::ComPortRefused);
        }
        break;
    case Agreement::WantYes:
        us = doIt ? Agreement::Yes : Agreement::No;
        tell(doIt ? Event::ComPortAccepted : Event::ComPortRefused);
        break;
    case Agreement::WantNo:
        us = Agreement::No;
        break;
    }
}

void TelnetCodec::subnegotiationEnded(Result &result)
{
    const QByteArray sub = std::exchange(m_sub, {});
    // Only the serial-port option, once agreed, and only the server's codes.
    if (m_subOption != ComPortOption || !comPortAgreed() || sub.isEmpty())
        return;
    const auto code = static_cast<unsigned char>(sub[0]);
    if (code < ServerAnswerOffset)
        return;
    Event answer = event(Event::ComPortAnswer, result.data.size());
    answer.command = code - ServerAnswerOffset;
    answer.value = sub.mid(1);
    result.events.append(answer);
}

QByteArray TelnetCodec::encodeData(QByteArrayView data) const
{
    const bool binary = m_us[Binary] == Agreement::Yes;
    QByteArray out;
    out.reserve(data.size() + data.size() / 16 + 4);
    for (const char c : data) {
        out += c;
        if (static_cast<unsigned char>(c) == IAC)
            out += c;
        else if (c == CR && !binary)
            out += '\0';
    }
    return out;
}

QByteArray TelnetCodec::comPortCommand(unsigned char command, QByteArrayView value)
{
    const char head[] = {char(IAC), char(SB), char(ComPortOption), char(command)};
    QByteArray out(head, sizeof head);
    for (const char c : value) {
        out += c;
        if (static_cast<unsigned char>(c) == IAC)
            out += c;
    }
    out += char(IAC);
    out += char(SE);
    return out;
}

// --- The line settings ----------------------------------------------------------------

namespace {

constexpr unsigned char DataBits = 8;
constexpr unsigned char NoParity = 1;
constexpr unsigned char OneStopBit = 1;

QString settingsText(quint32 baud, unsigned char dataSize, unsigned char parity, unsigned char stopSize)
{
    static const char parities[] = "?NOEMS";
    const QChar parityLetter = QLatin1Char(parity < sizeof parities - 1 ? parities[parity] : '?');
    const QString stop = stopSize == 1 ? QStringLiteral("1")
        : stopSize == 2                ? QStringLiteral("2")
        : stopSize == 3                ? QStringLiteral("1.5")
                                       : QStringLiteral("?");
    return QStringLiteral("%1 %2%3%4").arg(baud).arg(dataSize).arg(parityLetter).arg(stop);
}

} // namespace

QList<ComPortSettings::Request> ComPortSettings::requests()
{
    QByteArray baud(sizeof(quint32), '\0');
    qToBigEndian(BaudRate, baud.data());
    // The server answers in order: by the baud rate's answer, the others have come.
    return {
        {SetDataSize, QByteArray(1, char(DataBits))},
        {SetParity, QByteArray(1, char(NoParity))},
        {SetStopSize, QByteArray(1, char(OneStopBit))},
        {SetBaudRate, baud},
    };
}

bool ComPortSettings::take(unsigned char command, QByteArrayView value)
{
    switch (command) {
    case SetBaudRate:
        if (value.size() != 4)
            return true;
        m_baud = qFromBigEndian<quint32>(value.data());
        m_baudAnswered = true;
        return m_baud == BaudRate;
    case SetDataSize:
    case SetParity:
    case SetStopSize: {
        if (value.size() != 1)
            return true;
        const auto answer = static_cast<unsigned char>(value[0]);
        unsigned char &held = command == SetDataSize ? m_dataSize : command == SetParity ? m_parity : m_stopSize;
        held = answer;
        return answer == (command == SetDataSize ? DataBits : command == SetParity ? NoParity : OneStopBit);
    }
    default:
        return true;
    }
}

QString ComPortSettings::asked()
{
    return settingsText(BaudRate, DataBits, NoParity, OneStopBit);
}

QString ComPortSettings::answered() const
{
    return settingsText(m_baud, m_dataSize, m_parity, m_stopSize);
}
