#include "app/Main.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zentimo"));
    QApplication::setOrganizationName(QStringLiteral("Fernwick"));
    QApplication::setApplicationVersion(QStringLiteral("3.6"));
    QApplication::setDesktopFileName(QStringLiteral("zentimo"));
    zentimo::Main();
    return QApplication::exec();
}
