#include "lines.h"

#include "commport.h"
#include "lineaddress.h"
#include "tcpline.h"

std::unique_ptr<Line> makeLine(const QString &name, PortError *error, const LineOptions &options)
{
    const PortTarget target = describePort(name);
    const QString portName = target.comNumber > 0 ? QStringLiteral("COM%1").arg(target.comNumber) : name.trimmed();
    switch (target.kind) {
    case PortTarget::Unknown:
        break;
    case PortTarget::Network:
        return makeNetworkLine(portName, target.address, error, options);
    case PortTarget::Device: {
        auto port = std::make_unique<CommPort>(options);
        if (target.comNumber > 0)
            port->setCommPort(target.comNumber);
        else
            port->setDevicePath(target.device);
        return port;
    }
    }
    if (error)
        *error = {PortError::Missing, name, {}, {}};
    return nullptr;
}

std::unique_ptr<Line> makeNetworkLine(const QString &portName, const QString &address, PortError *error,
                                      const LineOptions &options)
{
    const ParsedLineAddress parsed = parseLineAddress(address);
    if (!parsed.isValid()) {
        if (error) {
            *error = {PortError::BadAddress, portName, portName == address ? QString() : address, {}};
            error->address = parsed.problem;
        }
        return nullptr;
    }
    return std::make_unique<TcpLine>(portName, parsed.address, options);
}
