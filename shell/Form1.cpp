#include "shell/Form1.h"

namespace zentimo {

Form1::Form1(Engine& engine) : MainWindow(engine, kSmallLayout)
{
    placeSpinners(layout().spinnerExtraHeight);
}

} // namespace zentimo
