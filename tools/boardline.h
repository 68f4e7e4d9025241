#pragma once

// The board's end of the line, and the name DIR/COMn under which Kestrion finds it.
//
// A pseudo-terminal (pty) is a pair of connected character devices: whatever is written
// to the "master" side can be read from the "slave" side, and the other way round. The
// slave behaves like a serial port (it has termios settings, and programs open it by its
// path, e.g. /dev/pts/7), so a program that talks to COMn cannot tell it from a real
// board on a real cable. The board keeps the master side, and DIR/COMn links to the slave.
//
// On the network the line is a TCP connection instead: the board listens on 127.0.0.1,
// takes one client at a time and writes the address, socket://127.0.0.1:PORT, into the
// regular file DIR/COMn, where Kestrion looks for boards on the network.
//
// Each opening either succeeds or ends the program through fail().

#include <filesystem>
#include <string>

// DIR/COMn and, beside it, the FIFO DIR/COMn.ctl that takes the board's commands.
struct ComPort {
    std::filesystem::path link, fifo;
};

// A pty with the line settings of the board's serial port (9600 baud, 8N1) on the slave
// side; the master side does not block.
struct PseudoTerminal {
    int master = -1;
    int slave = -1;
    std::string device;   // the slave's path
};
PseudoTerminal openPseudoTerminal();

// A socket listening on 127.0.0.1:`port` (0: any free port) that does not block;
// `address` receives socket://127.0.0.1:PORT with the port it got.
int listenOnLoopback(int port, std::string &address);

// The next client waiting on `listener`, not blocking; -1 when none is.
int nextClient(int listener);

// Makes DIR/COMn name `target`: a link to a pty's device, or with `asAddressFile` a file
// holding the board's network address; then the FIFO beside it. Both go at the end
// (removeBoardFiles()). A board that runs as COMn already, or a file that is not a
// leftover of one, is left alone and the program ends.
ComPort publishComPort(const std::filesystem::path &dir, int port, const std::string &target,
                       bool asAddressFile);
