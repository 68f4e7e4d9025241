#pragma once

// What kestrion-cli ends with, for the scripts that run it; its manual page lists them.
namespace ExitCode {

enum : int {
    Done = 0,
    UsageError = 2,        // the command line is wrong; a hint to --help follows
    FileProblem = 3,       // the file to send or to write
    PortProblem = 4,       // the port cannot be opened, or stopped working
    NothingReceived = 5,   // upload: no data came from the board
    Unfinished = 6,        // upload: the board fell silent before the end of its data
    SignalBase = 128,      // + the signal's number: 130 for Ctrl-C, 143 for SIGTERM
};

} // namespace ExitCode
