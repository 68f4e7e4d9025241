#include "programversion.h"

#include "kestrionversion.h"

ProgramVersion programVersion()
{
    return {KESTRION_VERSION_MAJOR, KESTRION_VERSION_MINOR, KESTRION_VERSION_TWEAK};
}

QString fileVersionString(const ProgramVersion &version)
{
    return QStringLiteral("%1.%2.0.%3")
        .arg(version.majorNumber)
        .arg(version.minorNumber)
        .arg(version.revision);
}

QString versionLine(const ProgramVersion &version)
{
    return QStringLiteral("Kestrion's Data Transfer System V%1.%2 (%1.%3.%4)")
        .arg(version.majorNumber)
        .arg(version.minorNumber)
        .arg(version.minorNumber, 2, 10, QLatin1Char('0'))
        .arg(version.revision, 4, 10, QLatin1Char('0'));
}
