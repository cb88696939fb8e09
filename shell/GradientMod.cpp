#include "shell/GradientMod.h"
namespace zentimo {
void PaintGradient(QWidget* target, int red, int green, int blue, int, bool system)
{
    QPalette pal = target->palette();
    pal.setColor(QPalette::Window, system ? pal.color(QPalette::Button) : QColor(red, green, blue));
    target->setPalette(pal);
}
}
