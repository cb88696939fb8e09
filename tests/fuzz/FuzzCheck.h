#pragma once
// What every fuzz target starts from: an invariant that aborts where libFuzzer sees it, and a private
// scratch folder, memory-backed where possible because every write syncs.

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace zentimo::fuzz {

inline void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

inline const QString& scratchFolder()
{
    static QTemporaryDir dir(
        (QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath()) +
        QStringLiteral("/zentimo-fuzz-XXXXXX"));
    static const QString path = dir.path();
    return path;
}

} // namespace zentimo::fuzz
