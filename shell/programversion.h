#pragma once

#include <QString>

// The program's version numbers, set once in the top-level CMakeLists.txt
// (project(Kestrion VERSION 1.0.0.32)). The third field of the file version is always 0;
// the fourth is the revision.
struct ProgramVersion
{
    int majorNumber = 0;
    int minorNumber = 0;
    int revision = 0;
};

// The version this program was built as.
ProgramVersion programVersion();

// "1.0.0.32": the file version, for QCoreApplication::setApplicationVersion.
QString fileVersionString(const ProgramVersion &version);

// "Kestrion's Data Transfer System V1.0 (1.00.0032)": major and minor in plain decimal,
// then again with the minor in at least two digits and the revision in at least four.
QString versionLine(const ProgramVersion &version);
