#pragma once
// Opening a sound file so that only a regular file reaches a decoder: a named pipe, a device or a folder is
// refused at once (a pipe's open would wait for a writer; a folder crashes the MIDI loader).

#include <QByteArray>
#include <QString>

namespace zentimo {

struct RegularFile {
    // A descriptor for reading (blocking again, close-on-exec), or -1 with errno set (EINVAL for a file
    // that is not a regular file).
    static int open(const QString& path);
    // The rest of the file, at most maxBytes; `whole` tells whether that was all of it. Closes nothing.
    // Asked for `whole`, a file already longer than maxBytes is not read at all.
    static QByteArray read(int fd, qint64 maxBytes, bool* whole = nullptr);
};

} // namespace zentimo
