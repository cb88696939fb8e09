#pragma once
// The Boolean texts of the settings file, the one place that knows them.

#include <QString>

namespace zentimo {

// "True" or "False".
QString boolToText(bool value);
// "true"/"false" in any case, or a number (0 is false, any other true); anything else gives fallback.
bool textToBool(const QString& text, bool fallback);

} // namespace zentimo
