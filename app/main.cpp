#include "app/Main.h"

#include "engine/Version.h"
#include "platform/SessionPlatform.h"

#include <QApplication>
#include <QFontDatabase>
#include <fontconfig/fontconfig.h>
#include <thread>

int main(int argc, char* argv[])
{
    // A start with options hands them to a running Zentimo and ends with its answer.
    if (const std::optional<int> answered = zentimo::handOver(argc, argv))
        return *answered;
    // The first window's fields need the font configuration, the longest read of the start; it needs no
    // application object, so it is read beside the application's own start, on the other core.
    std::thread fontConfig([] { FcInit(); });
    zentimo::SessionPlatform platform(argc, argv);
    QApplication app(platform.argc(), platform.argv());
    // Fusion paints a button's background colour on every desktop; the flashing Start button needs it.
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setApplicationName(QStringLiteral("Zentimo"));
    QApplication::setOrganizationName(QStringLiteral("Fernwick"));
    QApplication::setApplicationVersion(QLatin1String(zentimo::kVersion));
    QApplication::setDesktopFileName(QStringLiteral("example.fernwick.Zentimo"));
    zentimo::SessionPlatform::reportLimits();
    fontConfig.join();
    // Qt's list of the fonts is made beside the first window's widgets, which wait for it only once they
    // lay out a text.
    std::thread fontList([] { (void)QFontDatabase::families(); });
    zentimo::Main();
    fontList.join();
    return QApplication::exec();
}
