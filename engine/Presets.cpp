#include "engine/Presets.h"

namespace zentimo {

QString presetSection(bool wakeMode)
{
    return wakeMode ? QStringLiteral("Wake Presets") : QStringLiteral("Countdown Presets");
}

QStringList readPresets(const CRegSettings& store, bool wakeMode)
{
    QStringList presets;
    for (const auto& [name, value] : store.GetAllOptions(presetSection(wakeMode)))
        presets << value;
    return presets;
}

bool savePresets(CRegSettings& store, bool wakeMode, const QStringList& presets)
{
    // One write: a crash leaves the old list or the new one, never a part of it.
    SettingPairs values;
    for (int i = 0; i < presets.size(); ++i)
        values.append({QStringLiteral("Preset%1").arg(i), presets[i]});
    return store.ReplaceSection(presetSection(wakeMode), values);
}

} // namespace zentimo
