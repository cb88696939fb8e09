#include "sound/RegularFile.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentimo {

int RegularFile::open(const QString& path)
{
    if (path.isEmpty()) {
        errno = ENOENT;
        return -1;
    }
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

QByteArray RegularFile::read(int fd, qint64 maxBytes, bool* whole)
{
    QByteArray bytes;
    // Reading a file known to be too long only to refuse it would delay the caller (the alarm's fallback).
    struct stat st {};
    if (whole && ::fstat(fd, &st) == 0 && st.st_size - ::lseek(fd, 0, SEEK_CUR) > maxBytes) {
        *whole = false;
        return bytes;
    }
    constexpr qint64 kPiece = qint64{64} * 1024;
    for (;;) {
        const qint64 room = std::min(kPiece, maxBytes + 1 - bytes.size());
        if (room <= 0)
            break;
        const qsizetype at = bytes.size();
        bytes.resize(at + room);
        const ssize_t n = ::read(fd, bytes.data() + at, size_t(room));
        bytes.resize(at + std::max<ssize_t>(n, 0));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
    }
    const bool all = bytes.size() <= maxBytes;
    if (whole)
        *whole = all;
    if (!all)
        bytes.truncate(maxBytes);
    return bytes;
}

} // namespace zentimo
