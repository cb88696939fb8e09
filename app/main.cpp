#include "app/Main.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    if (const std::optional<int> answered = zentimo::handOver(argc, argv))
        return *answered;
    QApplication app(argc, argv);
    // Fusion paints a button's background colour on every desktop; the flashing Start button needs it.
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setApplicationName(QStringLiteral("Zentimo"));
    QApplication::setOrganizationName(QStringLiteral("Fernwick"));
    QApplication::setApplicationVersion(QStringLiteral("3.6"));
    QApplication::setDesktopFileName(QStringLiteral("zentimo"));
    zentimo::Main();
    return QApplication::exec();
}
