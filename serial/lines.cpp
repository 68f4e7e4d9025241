#include "lines.h"

#include "commport.h"
#include "comportmap.h"
#include "lineaddress.h"
#include "tcpline.h"

namespace {

std::unique_ptr<Line> makeAddressLine(const QString &portName, const LineAddress &address, const LineOptions &options)
{
    // The address's own time for opening takes the place of a transfer's; a probe's
    // shorter one stays.
    LineOptions lineOptions = options;
    if (address.openTimeoutMs > 0 && options.openTimeoutMs >= LineOptions::OpenTimeoutMs)
        lineOptions.openTimeoutMs = address.openTimeoutMs;
    return std::make_unique<TcpLine>(portName, address, lineOptions);
}

} // namespace

std::unique_ptr<Line> makeLine(const PortChoice &choice, PortError *error, const LineOptions &options)
{
    switch (choice.kind) {
    case PortChoice::None:
        break;
    case PortChoice::ComNumber: {
        if (const PortError fault = ComPortMap::lookupFault(choice.number); fault.kind != PortError::None) {
            if (error)
                *error = fault;
            return nullptr;
        }
        if (const QString address = ComPortMap::networkAddress(choice.number); !address.isEmpty()) {
            std::unique_ptr<Line> line = makeNetworkLine(choice.name, address, error, options);
            if (!line && error) {
                error->line = ComPortMap::portsFileLine(choice.number);
                error->file = error->line > 0 ? ComPortMap::portsFilePath() : QString();
            }
            return line;
        }
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
        return makeAddressLine(choice.name, choice.address, options);
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
            error->addressOption = parsed.option;
        }
        return nullptr;
    }
    return makeAddressLine(portName, parsed.address, options);
}
