#include "lines.h"

#include "commport.h"
#include "comportmap.h"
#include "lineaddress.h"
#include "rfc2217line.h"
#include "tcpline.h"

namespace {

std::unique_ptr<Line> makeAddressLine(const QString &portName, const LineAddress &address)
{
    if (address.protocol == LineAddress::Rfc2217)
        return std::make_unique<Rfc2217Line>(portName, address);
    return std::make_unique<TcpLine>(portName, address);
}

} // namespace

std::unique_ptr<Line> makeLine(const PortChoice &choice, PortError *error)
{
    switch (choice.kind) {
    case PortChoice::None:
        break;
    case PortChoice::ComNumber: {
        if (const QString address = ComPortMap::networkAddress(choice.number); !address.isEmpty())
            return makeNetworkLine(choice.name, address, error);
        auto port = std::make_unique<CommPort>();
        port->setCommPort(choice.number);
        return port;
    }
    case PortChoice::DevicePath: {
        auto port = std::make_unique<CommPort>();
        port->setDevicePath(choice.name);
        return port;
    }
    case PortChoice::Address:
        return makeAddressLine(choice.name, choice.address);
    }
    if (error)
        *error = {PortError::Missing, choice.name, {}, {}};
    return nullptr;
}

std::unique_ptr<Line> makeNetworkLine(const QString &portName, const QString &address, PortError *error)
{
    const ParsedLineAddress parsed = parseLineAddress(address);
    if (!parsed.isValid()) {
        if (error) {
            *error = {PortError::BadAddress, portName, portName == address ? QString() : address, {}};
            error->address = parsed.problem;
        }
        return nullptr;
    }
    return makeAddressLine(portName, parsed.address);
}
