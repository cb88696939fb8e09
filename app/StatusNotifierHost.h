#pragma once

namespace zentimo {

// Whether Qt puts a tray icon made now into a StatusNotifierItem host rather than an XEmbed tray. Qt asks
// the same when it makes the icon: a watcher on the session bus that has a host registered.
bool statusNotifierHostPresent();

} // namespace zentimo
