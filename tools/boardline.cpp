#include "boardline.h"

#include "news.h"
#include "unlockedpty.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// The first line of an address file that a board on the network writes as DIR/COMn.
const char *const addressFilePrefix = "socket://127.0.0.1:";

bool isAddressFileOfOurs(const fs::path &path)
{
    std::ifstream file(path);
    std::string first;
    std::getline(file, first);
    return first.rfind(addressFilePrefix, 0) == 0;
}

} // namespace

PseudoTerminal openPseudoTerminal()
{
    termios tio{};
    cfmakeraw(&tio);                           // no echo, no line editing, 8-bit clean
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    tio.c_cflag &= ~(PARENB | CSTOPB | CSIZE); // no parity, one stop bit...
    tio.c_cflag |= CS8 | CLOCAL | CREAD;       // ...eight data bits: 8N1
    PseudoTerminal pty;
    char slaveName[128];
    if (UnlockedPty::open(&pty.master, &pty.slave, slaveName, &tio) < 0)
        fail(std::string("cannot make a pseudo-terminal: ") + std::strerror(errno));
    fcntl(pty.master, F_SETFL, fcntl(pty.master, F_GETFL) | O_NONBLOCK);
    fcntl(pty.master, F_SETFD, FD_CLOEXEC);
    fcntl(pty.slave, F_SETFD, FD_CLOEXEC);
    pty.device = slaveName;
    return pty;
}

int listenOnLoopback(int port, std::string &address)
{
    int listener = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    int on = 1;
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_port = htons(std::uint16_t(port));
    socketAddress.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof socketAddress;
    if (listener < 0 || setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) < 0 ||
        bind(listener, reinterpret_cast<sockaddr *>(&socketAddress), sizeof socketAddress) < 0 ||
        listen(listener, 1) < 0 ||
        getsockname(listener, reinterpret_cast<sockaddr *>(&socketAddress), &size) < 0)
        fail("cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno));
    address = addressFilePrefix + std::to_string(ntohs(socketAddress.sin_port));
    return listener;
}

int nextClient(int listener)
{
    return accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
}

ComPort publishComPort(const fs::path &dir, int port, const std::string &target,
                       bool asAddressFile)
{
    const fs::path linkPath = dir / ("COM" + std::to_string(port));
    const fs::path fifoPath = linkPath.string() + ".ctl";
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec)
        fail(dir.string() + ": " + ec.message());

    // A board already running here answers on its FIFO: opening it for writing without
    // blocking succeeds only while someone has it open for reading. A FIFO that nobody
    // reads is a leftover of a board that was killed.
    if (fs::is_fifo(fifoPath, ec)) {
        int probe = open(fifoPath.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (probe >= 0) {
            close(probe);
            fail(linkPath.string() + " belongs to a running board; choose another --port");
        }
        unlink(fifoPath.c_str());
    } else if (fs::exists(fs::symlink_status(fifoPath, ec))) {
        fail(fifoPath.string() + " exists and is not a FIFO; not replacing it");
    }
    // A link left behind by a board that was killed points at a pty that is gone or has
    // been reused, an address file at a port nobody serves: replace it. Anything else in
    // the way is somebody else's: keep it.
    if (fs::is_symlink(linkPath, ec)) {
        fs::path old = fs::read_symlink(linkPath, ec);
        if (!ec && old.string().rfind("/dev/pts/", 0) != 0)
            fail(linkPath.string() + " links to " + old.string() + "; not replacing it");
        fs::remove(linkPath, ec);
    } else if (fs::is_regular_file(linkPath, ec) && isAddressFileOfOurs(linkPath)) {
        fs::remove(linkPath, ec);
    } else if (fs::exists(linkPath, ec)) {
        fail(linkPath.string() + " exists and is not a link; not replacing it");
    }
    if (!asAddressFile) {
        fs::create_symlink(target, linkPath, ec);
    } else {
        int fd = open(linkPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        const std::string text = target + "\n";
        bool ok = fd >= 0 && write(fd, text.data(), text.size()) == ssize_t(text.size());
        ec = ok ? std::error_code() : std::error_code(errno, std::generic_category());
        if (fd >= 0 && close(fd) < 0 && ok)
            ec = std::error_code(errno, std::generic_category());
        if (fd >= 0 && ec)
            unlink(linkPath.c_str());
    }
    if (ec)
        fail(linkPath.string() + ": " + ec.message());
    removeAtEnd(linkPath);
    if (mkfifo(fifoPath.c_str(), 0600) < 0)
        fail(fifoPath.string() + ": " + std::strerror(errno));
    removeAtEnd(fifoPath);
    return {linkPath, fifoPath};
}
