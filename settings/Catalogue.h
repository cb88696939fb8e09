#pragma once
// Catalogue: every key of section "Options", its stored form and its default, with typed reads that
// fall back to the default when the stored text does not convert.

#include "settings/CRegSettings.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace zentimo {

enum class OptionKey {
    Size,
    ShowMessage,
    AlarmMessage,
    PlaySound,
    OnTop,
    BuiltInSound,
    UseBuiltIn,
    AutoRestart,
    LoopSound,
    BackgroundColor,
    DigitColor,
    ButtonColor,
    SoundFile
};

class Catalogue {
public:
    explicit Catalogue(CRegSettings& store); // store already has AppName/Company set

    static QString keyName(OptionKey key);
    static QString defaultText(OptionKey key);
    // The defaults in their typed forms.
    static bool defaultFlag(OptionKey key);
    static int defaultInt(OptionKey key);
    static std::uint32_t defaultColor(OptionKey key);
    // A stored colour text as 0x00BBGGRR; nothing when it is not a 32-bit number.
    static std::optional<std::uint32_t> colorFromText(const QString& text);

    QString readText(OptionKey key) const;        // the stored text or the default text
    bool readFlag(OptionKey key) const;           // "True"/"False" or a number; else the default
    int readInt(OptionKey key) const;             // a whole decimal number; else the default
    std::uint32_t readColor(OptionKey key) const; // 0x00BBGGRR (top bit: a system colour)
    bool writeFlag(OptionKey key, bool value);    // "True"/"False"; "Auto Restart" as "1"/"0"
    bool writeInt(OptionKey key, int value);
    bool writeColor(OptionKey key, std::uint32_t value); // as signed 32-bit decimal
    bool writeText(OptionKey key, const QString& value);

    // Writes from here on are held (reads see them) and stored by commitBatch() in one go: all or none.
    void beginBatch();
    bool commitBatch();

    static const QString kSection; // "Options"

private:
    CRegSettings& m_store;
    std::optional<SettingPairs> m_held;
};

} // namespace zentimo
