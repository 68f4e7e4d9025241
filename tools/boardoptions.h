#pragma once

// vxt-board's command line: the options and what they ask for. --help and --version are
// answered here (status 0); an option that is wrong ends the program through fail().

#include <cstddef>
#include <filesystem>
#include <string>

// What the command line asks for; the defaults are a VXT-8088 at 9600 baud as COM1.
struct Options {
    int board = 8088;
    std::filesystem::path dir = "/tmp/kestrion-com";
    int port = 1;
    int listenPort = -1;             // --listen: the TCP port; -1 for a pseudo-terminal
    std::filesystem::path inbox;     // empty: do not store downloads
    double rate = 960;               // bytes per second; 0 means as fast as possible
    std::size_t piece = 0;           // bytes a write at a paced rate; 0: 10 ms of line time
    int quietMs = 500;
    std::string sendFile;            // --send
    double sendDelay = 5;
};

Options parseOptions(int argc, char **argv);
