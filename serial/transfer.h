#pragma once

#include "systemerror.h"

#include <QMetaType>
#include <QString>
#include <QtGlobal>

// The two boards and what a transfer reports, as data. The front ends turn these into
// titles, messages or lines of text in the user's language.

enum class Board { Vxt8088, Vxt8052 };

enum class Direction { Download, Upload };

// Why a transfer could not start or could not go on.
enum class TransferFault {
    None,
    SourceUnreadable,   // the file to send cannot be opened or read
    SourceEmpty,        // the file to send holds no byte
    SourceTooLarge,     // more than the board can take
    TargetNotAFile,     // the file to write is a folder, a device or a pipe
    TargetUnwritable,   // the file to write cannot be created or written
    TargetReadOnly,     // the file to write is marked read-only and was left alone
    PortClosed,         // the port is closed and could not be opened again
    PortClosedUnderTransfer,   // the program closed the port (the Setting command)
    PortFailed,         // the port stopped working during the transfer
};

// What is wrong with a network address (see LineAddress).
enum class AddressProblem {
    None,
    UnknownScheme,         // it begins with neither socket:// nor rfc2217://
    NoHost,                // nothing between :// and the port
    BadHostName,           // a name with characters a host name cannot have
    BadIpv4,               // digits and dots that are no IPv4 address
    BadIpv6,               // brackets around something that is no IPv6 address
    Ipv6WithoutBrackets,   // an IPv6 address must stand in brackets
    NoPort,                // no port number after the host
    BadPort,               // a port that is not a number from 1 to 65535
    HostTooLong,           // a host name of more than 253 characters
    UnknownOption,         // an option after ? that is not known
    BadTimeout,            // timeout= that is not a number of seconds above 0
};

// Why the port could not be opened, or why an open line stopped working (Line::failed()):
// the port, what stands behind it, and what was wrong.
struct PortError {
    enum Kind {
        None,
        Missing,        // no such device (on an open line: the device went away)
        InUse,          // another program holds it
        NoPermission,   // the user may not open it
        Other,          // the system's error: see system
        // A board on the network:
        BadAddress,        // the address cannot be used; see addressProblem
        HostUnknown,       // the server's name is not known
        Refused,           // the server refused the connection (nothing listens there)
        TimedOut,          // the server did not answer in time
        ConnectionLost,    // the server closed the connection; serverSaid: what it said
        NoComPortOption,   // the server does not offer RFC 2217 serial-port control
        LineSettingsRefused,      // the server set its port otherwise than asked; the
                                  // system's text: what it answered, as "115200 8N1"
        OverlongSubnegotiation,   // the server sent a telnet subnegotiation longer than
                                  // the system's text says
        TelnetServer,             // a raw address to a server port that speaks telnet
        // How the COM numbers are set up (see ComPortMap), with the folder or file in
        // `file`:
        FolderMissing,            // the folder KESTRION_COM_DIR names does not exist
        FolderUnreadable,         // that folder cannot be read
        AddressFileUnreadable,    // the address file of `port` in that folder cannot be read
        PortsFileUnreadable,      // the ports file cannot be read
        EntryIgnored,             // `line` of the ports file, `port` its text, is no COMn=ADDRESS
        NumberIgnored,            // `line` of the ports file gives `port`, beyond COM1..COM15
        NumberRepeated,           // `line` of the ports file gives `port` again; the first holds
    };
    Kind kind = None;
    QString port;         // "COM3", the device path or the address the user gave
    QString device;       // the device or the network address behind it, where that is
                          // something else
    SystemError system;   // what the system said, where it said anything
    AddressProblem addressProblem = AddressProblem::None;   // BadAddress: what is wrong
    QString addressOption = {};   // BadAddress: the option at fault, as written
    QString file = {};    // the set-up faults above, and BadAddress where the ports file
                          // gives the address: the folder or file at fault
    int line = 0;         // in `file`, from 1; 0 where no line is meant
    QString serverSaid = {};   // ConnectionLost: what the server sent before it closed, on
                               // one line, as it came (control characters included)
};
Q_DECLARE_METATYPE(PortError)

// How far a transfer has come.
struct TransferProgress {
    Direction direction = Direction::Download;
    int percent = -1;    // of the total; -1 where no total is known (the 8088 upload)
    qint64 bytes = 0;    // file bytes sent, or stored (8088: characters received / 2)
    qint64 total = -1;   // the file's length, or the length the board announced
};

// How a transfer ended. Each field means one thing, whatever the kind.
struct TransferOutcome {
    enum Kind {
        Completed,     // download: the whole stream went out; upload: the board's stream
                       // ended (its end character, or the quiet line)
        Interrupted,   // the user stopped it
        Failed,        // see fault
    };
    Direction direction = Direction::Download;
    Kind kind = Completed;
    qint64 count = 0;        // download: file bytes sent; upload: the count to report
    bool countIsUpperBound = false;   // download: the system could not tell how much of
                                      // what was queued went out; at most `count` did
    qint64 kept = -1;        // upload: bytes the target file holds; -1 when none was made
    qint64 announced = -1;   // 8052 upload: the length the board announced, once known
    qint64 unexpectedCharacters = 0;   // 8088 upload: neither digits nor line breaks
    bool loneDigit = false;            // 8088 upload: ended with a digit without its pair
    TransferFault fault = TransferFault::None;   // Failed: why
    SystemError system;    // what the system said about the fault, where it said anything
    QString port;          // the port the transfer ran on, as the user named it
    QString device;        // the device or the network address behind `port`, where the
                           // line names one
    PortError portError;   // PortClosed: why the port could not be opened; PortFailed:
                           // why the line stopped working
};

Q_DECLARE_METATYPE(TransferProgress)
Q_DECLARE_METATYPE(TransferOutcome)

// What one step of a transfer came to; used between the transfers and the session.
struct TransferStep {
    enum Kind { Continue, Completed, Failed };
    Kind kind = Continue;
    bool progressed = false;   // the progress changed in this step
    TransferFault fault = TransferFault::None;
};
