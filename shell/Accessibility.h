#pragma once

namespace zentimo {

// Screen readers see the main windows as frames, the spinners as spin buttons and the alarm message as a
// notification.
void installAccessibleRoles();

} // namespace zentimo
