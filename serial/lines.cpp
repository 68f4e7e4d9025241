#include "lines.h"

#include "commport.h"
#include "comportmap.h"
#include "lineaddress.h"
#include "tcpline.h"

std::unique_ptr<Line> makeLine(const QString &name, PortError *error, const LineOptions &options)
{
    const PortTarget target = describePort(name);
    const QString portName = target.comNumber > 0 ? QStringLiteral("COM%1").arg(target.comNumber) : name.trimmed();
    if (const PortError fault = ComPortMap::lookupFault(target.comNumber); fault.kind != PortError::None) {
        if (error)
            *error = fault;
        return nullptr;
    }
    switch (target.kind) {
    case PortTarget::Unknown:
        break;
    case PortTarget::Network: {
        std::unique_ptr<Line> line = makeNetworkLine(portName, target.address, error, options);
        if (!line && error && target.comNumber > 0) {
            error->line = ComPortMap::portsFileLine(target.comNumber);
            error->file = error->line > 0 ? ComPortMap::portsFilePath() : QString();
        }
        return line;
    }
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
            error->addressProblem = parsed.problem;
            error->addressOption = parsed.option;
        }
        return nullptr;
    }
    // The address's own time for opening takes the place of a transfer's; a probe's
    // shorter one stays.
    LineOptions lineOptions = options;
    if (parsed.address.openTimeoutMs > 0 && options.openTimeoutMs >= LineOptions::OpenTimeoutMs)
        lineOptions.openTimeoutMs = parsed.address.openTimeoutMs;
    return std::make_unique<TcpLine>(portName, parsed.address, lineOptions);
}
