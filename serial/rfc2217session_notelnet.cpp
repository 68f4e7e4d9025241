#include "rfc2217session.h"

#include <QtGlobal>

#include <utility>

// A build without libtelnet (the Windows build: there is none for MinGW-w64) has no
// telnet layer: a server's first answer counts as a refusal of the option, so an RFC 2217
// line fails to open as with a server that does not offer it. Raw TCP lines are not
// touched.

Rfc2217Session::Rfc2217Session(std::function<void(const QByteArray &)> toConnection)
    : m_toConnection(std::move(toConnection))
{
}

Rfc2217Session::~Rfc2217Session() = default;

Rfc2217Session::Parsed Rfc2217Session::fromServer(const QByteArray &bytes)
{
    Q_UNUSED(bytes);
    Parsed parsed;
    parsed.optionRefused = true;
    return parsed;
}

void Rfc2217Session::send(const QByteArray &data)
{
    Q_UNUSED(data);
}

void Rfc2217Session::requestLineSettings()
{
}

void Rfc2217Session::purgeOutput()
{
}
