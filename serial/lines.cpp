#include "lines.h"

#include "lineaddress.h"
#include "rfc2217line.h"
#include "tcpline.h"

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
    if (parsed.address.protocol == LineAddress::Rfc2217)
        return std::make_unique<Rfc2217Line>(portName, parsed.address);
    return std::make_unique<TcpLine>(portName, parsed.address);
}
