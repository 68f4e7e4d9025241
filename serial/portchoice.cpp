#include "portchoice.h"

#include "comportmap.h"

#include <QRegularExpression>

PortChoice PortChoice::comNumber(int number)
{
    PortChoice choice;
    choice.kind = ComNumber;
    choice.number = number;
    choice.name = QStringLiteral("COM%1").arg(number);
    return choice;
}

PortChoice PortChoice::devicePath(const QString &path)
{
    PortChoice choice;
    choice.kind = DevicePath;
    choice.name = path;
    return choice;
}

PortChoice PortChoice::networkAddress(const LineAddress &address, const QString &written)
{
    PortChoice choice;
    choice.kind = Address;
    choice.address = address;
    choice.name = written;
    return choice;
}

bool PortChoice::operator==(const PortChoice &other) const
{
    if (kind != other.kind)
        return false;
    switch (kind) {
    case None:
        return true;
    case ComNumber:
        return number == other.number;
    case DevicePath:
        return name == other.name;
    case Address:
        return address.text() == other.address.text();
    }
    return false;
}

ParsedPortChoice parsePortChoice(const QString &text)
{
    static const QRegularExpression comName(QStringLiteral("^COM([0-9]{1,2})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    ParsedPortChoice parsed;
    if (const auto match = comName.match(text); match.hasMatch()) {
        const int number = match.captured(1).toInt();
        if (number >= ComPortMap::FirstPort && number <= ComPortMap::LastPort)
            parsed.choice = PortChoice::comNumber(number);
        else
            parsed.unknown = true;
        return parsed;
    }
    if (looksLikeLineAddress(text)) {
        const ParsedLineAddress address = parseLineAddress(text);
        parsed.problem = address.problem;
        parsed.choice = PortChoice::networkAddress(address.address, text.trimmed());
        return parsed;
    }
    if (text.startsWith(QLatin1Char('/')))
        parsed.choice = PortChoice::devicePath(text);
    else
        parsed.unknown = true;
    return parsed;
}
