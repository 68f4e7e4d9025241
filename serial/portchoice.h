#pragma once

#include "lineaddress.h"

#include <QMetaType>
#include <QString>

// The port a user chose, as a value: a COM number (COM1..COM15), a serial device's
// absolute path, or the address of a board on the network. It is read once, where the
// user gave it (the settings dialog's list, kestrion-cli's --port), and handed on as it
// is down to the line (see makeLine()).
//
// What a COM number stands for, a device of the table or an address (see
// ComPortMap::networkAddress()), is looked at each time its line is made: it may change
// while the program runs.
struct PortChoice {
    enum Kind {
        None,         // nothing chosen yet
        ComNumber,    // COMn: `number`
        DevicePath,   // `name` is the path
        Address,      // `address`; `name` is the address as the user wrote it
    };
    Kind kind = None;
    int number = 0;
    LineAddress address;
    QString name;   // as the user reads it: "COM5", the path, the address as written

    static PortChoice comNumber(int number);
    static PortChoice devicePath(const QString &path);
    static PortChoice networkAddress(const LineAddress &address, const QString &written);

    bool isNone() const { return kind == None; }
    // Names the same port: the same number, path or address, however written.
    bool operator==(const PortChoice &other) const;
};
Q_DECLARE_METATYPE(PortChoice)

// A port read from what the user wrote, or what is wrong with it.
struct ParsedPortChoice {
    PortChoice choice;
    // The text names no port: none of COM1..COM15 (any case), an absolute path or an
    // address.
    bool unknown = false;
    // An address written wrongly.
    AddressProblem problem = AddressProblem::None;
    bool isValid() const { return !unknown && problem == AddressProblem::None; }
};

ParsedPortChoice parsePortChoice(const QString &text);
