#pragma once
// Reads what SDL's "disk" audio driver wrote: 16-bit stereo frames, appended in real time.

#include <QFile>
#include <algorithm>
#include <cstdlib>

namespace zentimo::test {

struct DiskCapture {
    QString path;

    qint64 frames() const { return QFile(path).size() / 4; }

    struct Heard {
        qint64 first = -1, last = -1;
        qint64 longestGap = 0; // the longest quiet stretch between first and last
    };

    // Where the frames in [from, from + count) are louder than `threshold` in either channel.
    Heard heard(qint64 from, qint64 count, int threshold) const
    {
        Heard h;
        QFile f(path);
        const QByteArray raw =
            count > 0 && f.open(QIODevice::ReadOnly) && f.seek(from * 4) ? f.read(count * 4) : QByteArray();
        const auto* s = reinterpret_cast<const qint16*>(raw.constData());
        for (qint64 i = 0; i < raw.size() / 4; ++i) {
            if (std::abs(s[2 * i]) <= threshold && std::abs(s[2 * i + 1]) <= threshold)
                continue;
            if (h.first < 0)
                h.first = from + i;
            else
                h.longestGap = std::max(h.longestGap, from + i - h.last - 1);
            h.last = from + i;
        }
        return h;
    }

    struct Tone {
        double hz = 0;   // from the left channel's rising zero crossings
        double peak = 0; // the loudest sample of the quieter speaker, a fraction of full scale
        int apart = 0;   // the largest difference between the speakers in one frame
        int spikes = 0;  // left frames far from both neighbours, which stand close (the tone steps ~1,030)
    };

    Tone tone(qint64 from, qint64 count) const
    {
        QFile f(path);
        const QByteArray raw =
            count > 1 && f.open(QIODevice::ReadOnly) && f.seek(from * 4) ? f.read(count * 4) : QByteArray();
        const auto* s = reinterpret_cast<const qint16*>(raw.constData());
        const qint64 n = raw.size() / 4;
        qint64 first = -1, last = -1, rises = 0;
        int left = 0, right = 0, apart = 0, spikes = 0;
        const auto far = [](int a, int b) { return std::abs(a - b) > 4000; };
        for (qint64 i = 1; i < n; ++i) {
            apart = std::max(apart, std::abs(int(s[2 * i]) - int(s[2 * i + 1])));
            spikes += i + 1 < n && far(s[2 * i], s[2 * i - 2]) && far(s[2 * i], s[2 * i + 2]) &&
                      !far(s[2 * i - 2], s[2 * i + 2]);
            left = std::max(left, std::abs(int(s[2 * i])));
            right = std::max(right, std::abs(int(s[2 * i + 1])));
            if (s[2 * (i - 1)] < 0 && s[2 * i] >= 0) {
                first = first < 0 ? i : first;
                last = i;
                ++rises;
            }
        }
        return {rises > 1 ? (rises - 1) * 44100.0 / double(last - first) : 0, std::min(left, right) / 32768.0,
                apart, spikes};
    }
};

} // namespace zentimo::test
