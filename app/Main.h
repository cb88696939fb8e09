#pragma once

namespace zentimo {

// Reads which main window was in use last time and brings it up.
void Main();

} // namespace zentimo
