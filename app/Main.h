#pragma once

#include <optional>

namespace zentimo {

// Before any window: answers --help, --version and refused options, and hands the options to a Zentimo
// already running on the session bus. Returns the exit status when this start ends here; nothing when it
// goes on to Main (no options, or no copy running).
std::optional<int> handOver(int argc, char* argv[]);

// Reads which main window was in use last time and brings it up, carries out the options of the command
// line, and offers the program on the session bus. The program's objects live until the application quits.
void Main();

} // namespace zentimo
