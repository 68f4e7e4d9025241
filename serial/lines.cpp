#include "lines.h"

#include "commport.h"
#include "comportmap.h"
#include "lineaddress.h"
#include "tcpline.h"

std::unique_ptr<Line> makeLine(const PortChoice &choice, PortError *error, const LineOptions &options)
{
    switch (choice.kind) {
    case PortChoice::None:
        break;
    case PortChoice::ComNumber: {
        if (const QString address = ComPortMap::networkAddress(choice.number); !address.isEmpty())
            return makeNetworkLine(choice.name, address, error, options);
        auto port = std::make_unique<CommPort>(options);
        port->setCommPort(choice.number);
        return port;
    }
    case PortChoice::DevicePath: {
        auto port = std::make_unique<CommPort>(options);
        port->setDevicePath(choice.name);
        return port;
    }
    case PortChoice::Address:
        return std::make_unique<TcpLine>(choice.name, choice.address, options);
    }
    if (error)
        *error = {PortError::Missing, choice.name, {}, {}};
    return nullptr;
}

std::unique_ptr<Line> makeNetworkLine(const QString &portName, const QString &address, PortError *error,
                                      const LineOptions &options)
{
    const ParsedLineAddress parsed = parseLineAddress(address);
    if (!parsed.isValid()) {
        if (error) {
            *error = {PortError::BadAddress, portName, portName == address ? QString() : address, {}};
            error->addressProblem = parsed.problem;
        }
        return nullptr;
    }
    return std::make_unique<TcpLine>(portName, parsed.address, options);
}
