#include "app/Main.h"

namespace zentimo {

void Main()
{
}

} // namespace zentimo
