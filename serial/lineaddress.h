#pragma once

#include "transfer.h"

#include <QString>
#include <QtGlobal>

// The address of a board behind a serial device server, written as embedded tools write
// it: socket://host:port for a raw TCP connection, rfc2217://host:port for the telnet
// serial-port option of RFC 2217. The host is a name, an IPv4 address or an IPv6 address
// in brackets: rfc2217://[fd00::7]:3002. A slash may close it, and options may follow a
// question mark, joined by &: rfc2217://labpi:3001/?timeout=10&ign_set_control.
//   timeout=SECONDS    how long opening may take (a number above 0, at most 3600)
//   ign_set_control    accepted and ignored: the line settings are always ours
//   logging=LEVEL      accepted and ignored
// Any other option is refused by name.
struct LineAddress {
    enum Protocol { Raw, Rfc2217 };

    static constexpr int LongestOpenTimeoutMs = 3600 * 1000;

    Protocol protocol = Raw;
    QString host;      // a name or an IP address, without brackets
    quint16 port = 0;
    int openTimeoutMs = 0;   // timeout=: how long opening may take; 0: the line's own

    // The address as written here, without its options: scheme in lower case, IPv6 in
    // brackets.
    QString text() const;
};

// An address read from text, or what is wrong with it.
struct ParsedLineAddress {
    LineAddress address;
    AddressProblem problem = AddressProblem::None;
    QString option;   // UnknownOption, BadTimeout: the option at fault, as written
    bool isValid() const { return problem == AddressProblem::None; }
};

// Reads an address; blanks around it are ignored. Only the form is judged: whether the
// host exists is for the connection to find out.
ParsedLineAddress parseLineAddress(const QString &text);

// Whether a name is meant as an address ("scheme://..."), rightly written or not.
bool looksLikeLineAddress(const QString &name);
