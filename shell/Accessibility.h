#pragma once

namespace zentimo {

// Screen readers see the main windows as frames and the spinners as spin buttons.
void installAccessibleRoles();

} // namespace zentimo
