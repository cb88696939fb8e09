#pragma once
#include <QWidget>
namespace zentimo {
void PaintGradient(QWidget* target, int red, int green, int blue, int direction, bool UseSystemColour);
}
