#include "shell/Form1b.h"

namespace zentimo {

Form1b::Form1b(Engine& engine) : MainWindow(engine, kBigLayout)
{
    placeSpinners(layout().spinnerExtraHeight);
}

} // namespace zentimo
