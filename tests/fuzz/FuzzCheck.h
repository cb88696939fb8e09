#pragma once
// What every fuzz target starts from: an invariant that aborts where libFuzzer sees it, and a private
// scratch folder in memory, because every write syncs.

#include "../Files.h"

#include <QDir>
#include <QFile>
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

// The scratch folder emptied but for one file holding the input; returns that file's path.
inline QString scratchFile(const QString& name, const QByteArray& bytes)
{
    static QTemporaryDir dir(QStringLiteral("/dev/shm/zentimo-fuzz-XXXXXX"));
    for (const QString& old : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(dir.filePath(old));
    check(test::writeFile(dir.filePath(name), bytes), "input file written");
    return dir.filePath(name);
}

} // namespace zentimo::fuzz
