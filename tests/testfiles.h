#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>

// Files for tests: written whole, read whole. Header-only, so that suites without the
// test support library (no widgets) use the same two.

// Writes `bytes` to `path` and returns the path; a test that cannot write its own file
// stops at once.
inline QString writeTestFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush())
        qFatal("cannot write the test file %s", qPrintable(path));
    return path;
}

// The whole file; empty when it is missing.
inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Bytes that differ from their neighbours and cover every value, to send and compare.
inline QByteArray sample(qsizetype size)
{
    QByteArray bytes(size, 0);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + i / 256);
    return bytes;
}
