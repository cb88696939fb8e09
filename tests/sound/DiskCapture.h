#pragma once
// Reads what SDL's "disk" audio driver wrote: 16-bit stereo frames, appended in real time.

#include <QFile>
#include <QString>
#include <QVector>
#include <algorithm>
#include <cmath>
#include <sys/stat.h>

namespace zentimo::test {

class DiskCapture {
public:
    explicit DiskCapture(QString path) : m_path(std::move(path)) {}

    qint64 frames() const
    {
        struct stat st {};
        return ::stat(QFile::encodeName(m_path).constData(), &st) == 0 ? qint64(st.st_size) / 4 : 0;
    }

    // The louder channel of each frame, as a magnitude 0..32768.
    QVector<int> levels(qint64 from, qint64 count) const
    {
        QVector<int> out;
        QFile f(m_path);
        if (count <= 0 || !f.open(QIODevice::ReadOnly) || !f.seek(from * 4))
            return out;
        const QByteArray raw = f.read(count * 4);
        out.reserve(raw.size() / 4);
        const auto* s = reinterpret_cast<const qint16*>(raw.constData());
        for (qsizetype i = 0; i + 1 < raw.size() / 2; i += 2)
            out.append(std::max(std::abs(int(s[i])), std::abs(int(s[i + 1]))));
        return out;
    }

    // The first frame at or after `from` louder than `threshold`, or -1.
    qint64 firstAbove(qint64 from, int threshold) const
    {
        const QVector<int> l = levels(from, frames() - from);
        const auto it = std::find_if(l.begin(), l.end(), [&](int v) { return v > threshold; });
        return it == l.end() ? -1 : from + (it - l.begin());
    }

    // The last frame in [from, from + count) louder than `threshold`, or -1.
    qint64 lastAbove(qint64 from, qint64 count, int threshold) const
    {
        const QVector<int> l = levels(from, count);
        for (qsizetype i = l.size() - 1; i >= 0; --i) {
            if (l[i] > threshold)
                return from + i;
        }
        return -1;
    }

    // The quietest root-mean-square level of any `window`-frame stretch in [from, from + count).
    double quietestWindow(qint64 from, qint64 count, int window) const
    {
        const QVector<int> l = levels(from, count);
        double quietest = 1e9;
        for (qsizetype start = 0; start + window <= l.size(); start += window / 2) {
            double sum = 0;
            for (qsizetype i = start; i < start + window; ++i)
                sum += double(l[i]) * l[i];
            quietest = std::min(quietest, std::sqrt(sum / window));
        }
        return quietest;
    }

private:
    QString m_path;
};

} // namespace zentimo::test
