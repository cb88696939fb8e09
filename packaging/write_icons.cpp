// Build step: writes the program icon into a hicolor-style folder for installation.
//     zentimo_write_icons <folder>

#include "shell/kit/Artwork.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    // A build machine has no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (!zentimo::writeProgramIcons(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "could not write the icons into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
