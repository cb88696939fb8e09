// registry_writer PREFIX FIRST COUNT: saves PREFIX<n> = "value <n>" for n = FIRST.. into section "Stress"
// and prints each key once the store has confirmed it. COUNT 0 writes until killed.
// registry_writer PREFIX FIRST COUNT SIZE: for each n, replaces section "Stress" with PREFIX0.. = "value <n>"
// (SIZE values for an even n, one less for an odd one) and prints n once confirmed.
// registry_writer hold: takes the store's write lock, prints "held" and keeps it until killed.

#include "settings/CRegSettings.h"

#include <QFile>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc == 2 && QByteArray(argv[1]) == "hold") {
        const QByteArray lock = QFile::encodeName(zentimo::CRegSettings::defaultFilePath() + ".lock");
        const int fd = ::open(lock.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0 || ::flock(fd, LOCK_EX) != 0)
            return 1;
        std::printf("held\n");
        std::fflush(stdout);
        for (;;)
            ::pause();
    }
    if (argc != 4 && argc != 5)
        return 2;
    const QString prefix = QString::fromLocal8Bit(argv[1]);
    const long first = std::strtol(argv[2], nullptr, 10);
    const long count = std::strtol(argv[3], nullptr, 10);
    const long size = argc == 5 ? std::strtol(argv[4], nullptr, 10) : 0;
    zentimo::CRegSettings store = zentimo::zentimoSettings();
    for (long n = first; count == 0 || n < first + count; ++n) {
        const QString value = QStringLiteral("value %1").arg(n);
        QString done;
        bool saved;
        if (size > 0) {
            zentimo::SettingPairs list;
            for (long i = 0; i < size - n % 2; ++i)
                list.append({prefix + QString::number(i), value});
            saved = store.ReplaceSection(QStringLiteral("Stress"), list);
            done = QString::number(n);
        } else {
            done = prefix + QString::number(n);
            saved = store.SaveSetting(QStringLiteral("Stress"), done, value);
        }
        if (!saved) {
            std::fprintf(stderr, "not saved: %s\n", qPrintable(done));
            return 1;
        }
        std::printf("%s\n", qPrintable(done));
        std::fflush(stdout);
    }
    return 0;
}
