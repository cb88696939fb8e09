// registry_writer PREFIX FIRST COUNT: saves PREFIX<n> = "value <n>" for n = FIRST.. into section "Stress"
// and prints each key once the store has confirmed it. COUNT 0 writes until killed.

#include "settings/CRegSettings.h"

#include <QString>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    const QString prefix = QString::fromLocal8Bit(argv[1]);
    const long first = std::strtol(argv[2], nullptr, 10);
    const long count = std::strtol(argv[3], nullptr, 10);
    zentimo::CRegSettings store = zentimo::zentimoSettings();
    for (long n = first; count == 0 || n < first + count; ++n) {
        const QString key = prefix + QString::number(n);
        if (!store.SaveSetting(QStringLiteral("Stress"), key, QStringLiteral("value %1").arg(n)))
            return 1;
        std::printf("%s\n", qPrintable(key));
        std::fflush(stdout);
    }
    return 0;
}
