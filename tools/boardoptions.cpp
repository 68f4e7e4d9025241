#include "boardoptions.h"

#include "kestrionversion.h"
#include "news.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char *const usageText = R"(Usage: vxt-board [options]

A virtual VXT-8088 or VXT-8052 trainer board on a pseudo-terminal, linked as
DIR/COMn so that Kestrion, started with KESTRION_COM_DIR=DIR, finds it as port n.
With --listen it is a board on the network instead, as behind a serial device
server: it listens on a TCP port of 127.0.0.1 (raw bytes, one client at a time)
and DIR/COMn is a file that holds its address, socket://127.0.0.1:PORT.

Options:
  --board 8088|8052    the board to play (default 8088)
  --dir DIR            folder of the COMn link (default /tmp/kestrion-com)
  --port N             port number 1..15 (default 1)
  --listen PORT        serve the board on TCP port PORT of 127.0.0.1 instead of
                       a pseudo-terminal (0: any free port; the address is
                       printed and written into DIR/COMn)
  --inbox DIR          store every received download as a file in DIR
                       (download-001.bin, ...; an interrupted 8088 stream is
                       stored as download-NNN.partial.bin); without it the board
                       only prints a summary line
  --rate BYTES_PER_SEC pace uploads at this rate (default 960: 9600 baud, 8N1)
  --piece BYTES        hand a paced upload to the line this many bytes at a time
                       (default: 10 ms of line time; 1: byte by byte, as some USB
                       adapters deliver)
  --fast               send uploads as fast as the line takes them
  --quiet-ms MS        quiet time that ends an 8052 download, and after which an
                       8088 stream without its end character counts as
                       interrupted (default 500)
  --send FILE          upload FILE once, --send-delay seconds after start-up
  --send-delay SECONDS (default 5)
  --help               show this text
  --version            show the version

Commands, typed on standard input (while the board runs in the foreground) or
written to the control FIFO DIR/COMn.ctl (always):
  send FILE    upload FILE in the board's format
  raw FILE     send FILE's bytes exactly as they are (to try odd streams)
  stop         abandon the upload in progress and any queued ones
  help         list the commands
  quit         remove the link (or the address file) and end (Ctrl-C does the
               same)

Example, with the board running in the background:
  vxt-board --board 8052 --inbox /tmp/inbox &
  KESTRION_COM_DIR=/tmp/kestrion-com Kestrion      (choose VXT-8052 and COM1)
  (press Upload in Kestrion, then:)
  echo "send $PWD/program.bin" > /tmp/kestrion-com/COM1.ctl
The board reads the path itself, so give the FIFO absolute paths.
On the network, without a pseudo-terminal:
  vxt-board --board 8088 --listen 4001 &
  (the board is at socket://127.0.0.1:4001; /tmp/kestrion-com/COM1 holds that
  address, and its FIFO /tmp/kestrion-com/COM1.ctl takes the commands)
)";

// Reads a number option; anything that is not wholly a number in range is refused.
double number(const char *option, const char *text, double low, double high,
              bool whole = true)
{
    char *end = nullptr;
    double value = text ? std::strtod(text, &end) : 0;
    if (!text || end == text || *end || !(value >= low && value <= high) ||
        (whole && value != static_cast<long>(value)))
        fail(std::string(option) + " wants " + (whole ? "a whole" : "a") + " number from " +
             std::to_string(static_cast<long>(low)) + " to " +
             std::to_string(static_cast<long>(high)) + "; see --help");
    return value;
}

} // namespace

Options parseOptions(int argc, char **argv)
{
    Options opt;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        const char *value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool takesValue = true;
        if (arg == "--help" || arg == "-h") {
            std::fputs(usageText, stdout);
            std::exit(0);
        } else if (arg == "--version") {
            std::puts("vxt-board " KESTRION_VERSION);
            std::exit(0);
        } else if (arg == "--fast") {
            opt.rate = 0;
            takesValue = false;
        } else if (arg == "--board") {
            if (!value || (std::strcmp(value, "8088") && std::strcmp(value, "8052")))
                fail("--board is 8088 or 8052");
            opt.board = std::atoi(value);
        } else if (arg == "--dir" && value) {
            opt.dir = value;
        } else if (arg == "--inbox" && value) {
            opt.inbox = value;
        } else if (arg == "--send" && value) {
            opt.sendFile = value;
        } else if (arg == "--port") {
            opt.port = int(number("--port", value, 1, 15));
        } else if (arg == "--listen") {
            opt.listenPort = int(number("--listen", value, 0, 65535));
        } else if (arg == "--rate") {
            opt.rate = number("--rate", value, 1, 1e9, false);
        } else if (arg == "--piece") {
            opt.piece = std::size_t(number("--piece", value, 1, 65536));
        } else if (arg == "--quiet-ms") {
            opt.quietMs = int(number("--quiet-ms", value, 1, 600000));
        } else if (arg == "--send-delay") {
            opt.sendDelay = number("--send-delay", value, 0, 86400, false);
        } else {
            fail("unknown option or missing value: " + arg + "; see --help");
        }
        i += takesValue;
    }
    return opt;
}
