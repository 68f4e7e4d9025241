#pragma once

#include <QString>

// The program's version numbers, from project(Kestrion VERSION ...) in the top-level
// CMakeLists.txt. The third field of the file version is always 0; the fourth is the
// revision.
struct ProgramVersion
{
    int majorNumber = 0;
    int minorNumber = 0;
    int revision = 0;
};

// The version this program was built as.
ProgramVersion programVersion();

// "2.12.0.5" for 2, 12, 5: the file version, for QCoreApplication::setApplicationVersion.
QString fileVersionString(const ProgramVersion &version);

// "Kestrion's Data Transfer System V1.0 (1.00.0032)": major and minor in plain decimal,
// then again with the minor in at least two digits and the revision in at least four.
QString versionLine(const ProgramVersion &version);
