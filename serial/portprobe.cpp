#include "portprobe.h"

#include "commport.h"

namespace VXT8088_8052 {

bool SelectCommPort(CommPort &port, int intPort, PortError *why)
{
    port.close();
    port.setCommPort(intPort);
    if (!port.open(why))
        return false;
    port.close();
    return true;
}

} // namespace VXT8088_8052
