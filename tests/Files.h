#pragma once
// Whole files in and out, for tests that stage what a user or another program left on the disk.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <linux/capability.h>
#include <sys/syscall.h>
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

// Root reads and writes past any file's mode; while this lives, this thread does not.
struct WithoutRootAccess {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct kept[2]{};
    WithoutRootAccess()
    {
        ::syscall(SYS_capget, &header, kept);
        __user_cap_data_struct dropped[2] = {kept[0], kept[1]};
        dropped[0].effective &= ~(1u << CAP_DAC_OVERRIDE | 1u << CAP_DAC_READ_SEARCH);
        ::syscall(SYS_capset, &header, dropped);
    }
    ~WithoutRootAccess() { ::syscall(SYS_capset, &header, kept); }
};

} // namespace zentimo::test
