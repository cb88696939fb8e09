#pragma once
// Whole files in and out, for tests that stage what a user or another program left on the disk.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace zentimo::test {

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Makes the folder too.
inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline qint64 residentKiB()
{
    return readAll("/proc/self/statm").split(' ').value(1).toLongLong() * (::sysconf(_SC_PAGESIZE) / 1024);
}

} // namespace zentimo::test
