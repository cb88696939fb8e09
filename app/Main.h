#pragma once

namespace zentimo {

// Reads which main window was in use last time and brings it up. The program's objects live until
// the application quits.
void Main();

} // namespace zentimo
