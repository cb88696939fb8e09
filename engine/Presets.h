#pragma once
// The stored presets of a mode: Wake Mode keeps its own list, Countdown and Stopwatch Mode share one.

#include "settings/CRegSettings.h"

#include <QStringList>

namespace zentimo {

// "Wake Presets" or "Countdown Presets".
QString presetSection(bool wakeMode);
// The values in stored order.
QStringList readPresets(const CRegSettings& store, bool wakeMode);
// Replaces the section with Preset0, Preset1, ... in list order; an empty list leaves no section.
bool savePresets(CRegSettings& store, bool wakeMode, const QStringList& presets);

} // namespace zentimo
